// tiff_decode_{none,lzw,lzw_predictor,deflate,packbits}: TTIFFGraphic reading
// a 2400 x 1800 RGB TIFF from memory against libtiff (every strip through
// TIFFReadEncodedStrip) on the same bytes. libtiff writes the files once.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstring>
#include <vector>

#include "bench/ReferenceTools.h"
#include "imageformats/TIFFGraphic.h"

namespace {

using namespace benchtools;

struct Figure {
    const char* Name;
    int Compression;
    int Predictor;
};

Bytes MakeFile(const Figure& f)
{
    return WrittenFile([&f](const char* path) {
        TIFF* tiff = TIFFOpen(path, "w");
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, f.Compression);
        if (f.Predictor != 1)
            TIFFSetField(tiff, TIFFTAG_PREDICTOR, f.Predictor);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
        std::vector<std::uint8_t> row(std::size_t{kWidth} * 3);
        std::uint32_t noise = 3;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const auto rgb = PatternPixel(x, y, noise);
                std::copy(rgb.begin(), rgb.end(), &row[3 * static_cast<std::size_t>(x)]);
            }
            TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0);
        }
        TIFFClose(tiff);
    });
}

// libtiff's client procedures over a byte vector.
struct Memory {
    const benchtools::Bytes* File;
    toff_t At = 0;
};
tmsize_t ReadProc(thandle_t h, void* data, tmsize_t size)
{
    auto* m = static_cast<Memory*>(h);
    const toff_t n = std::min<toff_t>(static_cast<toff_t>(size),
                                      m->File->size() - std::min<toff_t>(m->At, m->File->size()));
    std::memcpy(data, m->File->data() + m->At, n);
    m->At += n;
    return static_cast<tmsize_t>(n);
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t SeekProc(thandle_t h, toff_t offset, int whence)
{
    auto* m = static_cast<Memory*>(h);
    m->At = whence == SEEK_SET ? offset : whence == SEEK_CUR ? m->At + offset : m->File->size() + offset;
    return m->At;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<Memory*>(h)->File->size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) { }

void Reference(benchmark::State& state, const Bytes& file)
{
    TIFFSetWarningHandler(nullptr);
    for (auto _ : state) {
        Memory memory{&file};
        TIFF* tiff = TIFFClientOpen("bench", "rm", &memory, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                    UnmapProc);
        if (!tiff) {
            state.SkipWithError("libtiff could not read the file");
            break;
        }
        std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * 3);
        const tstrip_t strips = TIFFNumberOfStrips(tiff);
        const tmsize_t stripSize = TIFFStripSize(tiff);
        for (tstrip_t s = 0; s < strips; ++s)
            TIFFReadEncodedStrip(tiff, s, pixels.data() + std::size_t{s} * static_cast<std::size_t>(stripSize), -1);
        benchmark::DoNotOptimize(pixels.data());
        TIFFClose(tiff);
    }
}

[[maybe_unused]] const bool registered = [] {
    for (const Figure& f :
         {Figure{"tiff_decode_none", COMPRESSION_NONE, 1}, Figure{"tiff_decode_lzw", COMPRESSION_LZW, 1},
          Figure{"tiff_decode_lzw_predictor", COMPRESSION_LZW, 2},
          Figure{"tiff_decode_deflate", COMPRESSION_ADOBE_DEFLATE, 1},
          Figure{"tiff_decode_packbits", COMPRESSION_PACKBITS, 1}})
        RegisterPair(
            f.Name, [f] { return MakeFile(f); }, LoadLoop<TTIFFGraphic>, Reference);
    return true;
}();

} // namespace
