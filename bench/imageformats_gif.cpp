// gif_decode_{plain,interlaced}: TGIFGraphic reading a 2400 x 1800 GIF from
// memory against giflib (DGifSlurp of the same bytes). giflib writes the
// files once.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "imageformats/GIFGraphic.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr int kWidth = 2400;
constexpr int kHeight = 1800;

struct Memory {
  const std::vector<std::uint8_t>* Bytes;
  std::size_t At = 0;
};

int WriteTo(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

int ReadFrom(GifFileType* gif, GifByteType* data, int length) {
  auto* in = static_cast<Memory*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), in->Bytes->size() - in->At);
  std::memcpy(data, in->Bytes->data() + in->At, n);
  in->At += n;
  return static_cast<int>(n);
}

// Bands of index gradients with flat patches and noise, 256 colours.
std::vector<std::uint8_t> MakeFile(bool interlaced) {
  std::vector<std::uint8_t> file;
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
      for (int y = start; y < kHeight; y += step) order.push_back(y);
  } else {
    for (int y = 0; y < kHeight; ++y) order.push_back(y);
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

void Ours(benchmark::State& state, const std::vector<std::uint8_t>& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    TGIFGraphic gif;
    gif.LoadFromStream(stream);
    benchmark::DoNotOptimize(gif.ScanLine(kHeight - 1));
  }
}

void Reference(benchmark::State& state, const std::vector<std::uint8_t>& file) {
  for (auto _ : state) {
    Memory memory{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&memory, &ReadFrom, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
      state.SkipWithError("giflib could not read the file");
      if (gif) DGifCloseFile(gif, &error);
      break;
    }
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
  }
}

[[maybe_unused]] const bool registered = [] {
  for (const auto& [name, interlaced] : {std::pair{"gif_decode_plain", false}, std::pair{"gif_decode_interlaced", true}}) {
    const bool mode = interlaced;
    auto file = std::make_shared<std::vector<std::uint8_t>>();
    auto bytes = [file, mode]() -> const std::vector<std::uint8_t>& {
      if (file->empty()) *file = MakeFile(mode);
      return *file;
    };
    benchmark::RegisterBenchmark((std::string(name) + "/ours").c_str(),
                                 [bytes](benchmark::State& s) { Ours(s, bytes()); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string(name) + "/reference").c_str(),
                                 [bytes](benchmark::State& s) { Reference(s, bytes()); })
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
