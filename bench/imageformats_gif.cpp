// gif_decode_{plain,interlaced}: TGIFGraphic reading a 2400 x 1800 GIF from
// memory against giflib (DGifSlurp of the same bytes). giflib writes the
// files once.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

#include "bench/ReferenceTools.h"
#include "imageformats/GIFGraphic.h"

namespace {

using namespace benchtools;

struct Memory {
    const benchtools::Bytes* File;
    std::size_t At = 0;
};

int WriteTo(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

int ReadFrom(GifFileType* gif, GifByteType* data, int length)
{
    auto* in = static_cast<Memory*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), in->File->size() - in->At);
    std::memcpy(data, in->File->data() + in->At, n);
    in->At += n;
    return static_cast<int>(n);
}

// Bands of index gradients with flat patches and noise, 256 colours.
Bytes MakeFile(bool interlaced)
{
    Bytes file;
    int error = 0;
    GifFileType* gif = EGifOpen(&file, &WriteTo, &error);
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i), static_cast<GifByteType>(i * 7)};
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, interlaced, nullptr);
    std::vector<GifByteType> row(kWidth);
    std::uint32_t noise = 5;
    // giflib wants interlaced rows in pass order.
    std::vector<int> order;
    if (interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}})
            for (int y = start; y < kHeight; y += step)
                order.push_back(y);
    } else {
        for (int y = 0; y < kHeight; ++y)
            order.push_back(y);
    }
    for (int y : order) {
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const bool flat = ((x / 64) + (y / 64)) % 3 == 0;
            row[x] = static_cast<GifByteType>(flat ? 40 : (x + y) * 255 / (kWidth + kHeight) + (noise >> 30));
        }
        EGifPutLine(gif, row.data(), kWidth);
    }
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    return file;
}

void Reference(benchmark::State& state, const Bytes& file)
{
    for (auto _ : state) {
        Memory memory{&file};
        int error = 0;
        GifFileType* gif = DGifOpen(&memory, &ReadFrom, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib could not read the file");
            if (gif)
                DGifCloseFile(gif, &error);
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
}

[[maybe_unused]] const bool registered = [] {
    for (const auto& [name, interlaced] :
         {std::pair{"gif_decode_plain", false}, std::pair{"gif_decode_interlaced", true}}) {
        const bool mode = interlaced;
        RegisterPair(
            name, [mode] { return MakeFile(mode); }, LoadLoop<TGIFGraphic>, Reference);
    }
    return true;
}();

} // namespace
