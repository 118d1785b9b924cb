// tiff_decode_{none,lzw,lzw_predictor,deflate,packbits}: TTIFFGraphic reading
// a 2400 x 1800 RGB TIFF from memory against libtiff (every strip through
// TIFFReadEncodedStrip) on the same bytes. libtiff writes the files once.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "imageformats/TIFFGraphic.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr int kWidth = 2400;
constexpr int kHeight = 1800;

struct Figure {
  const char* Name;
  int Compression;
  int Predictor;
};

std::vector<std::uint8_t> MakeFile(const Figure& f) {
  char path[] = "/tmp/vistelo-bench-tiff-XXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  TIFF* tiff = TIFFOpen(path, "w");
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, f.Compression);
  if (f.Predictor != 1) TIFFSetField(tiff, TIFFTAG_PREDICTOR, f.Predictor);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
  std::vector<std::uint8_t> row(std::size_t{kWidth} * 3);
  std::uint32_t noise = 3;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const bool flat = ((x / 64) + (y / 64)) % 3 == 0;
      const int grain = flat ? 0 : static_cast<int>(noise >> 30);
      row[3 * x] = static_cast<std::uint8_t>(flat ? 40 : x * 255 / kWidth + grain);
      row[3 * x + 1] = static_cast<std::uint8_t>(flat ? 120 : y * 255 / kHeight);
      row[3 * x + 2] = static_cast<std::uint8_t>(flat ? 200 : (x + y) / 16 + grain);
    }
    TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0);
  }
  TIFFClose(tiff);
  std::vector<std::uint8_t> file;
  if (FILE* in = std::fopen(path, "rb")) {
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) file.insert(file.end(), buffer, buffer + n);
    std::fclose(in);
  }
  std::remove(path);
  return file;
}

// libtiff's client procedures over a byte vector.
struct Memory {
  const std::vector<std::uint8_t>* Bytes;
  toff_t At = 0;
};
tmsize_t ReadProc(thandle_t h, void* data, tmsize_t size) {
  auto* m = static_cast<Memory*>(h);
  const toff_t n = std::min<toff_t>(static_cast<toff_t>(size), m->Bytes->size() - std::min<toff_t>(m->At, m->Bytes->size()));
  std::memcpy(data, m->Bytes->data() + m->At, n);
  m->At += n;
  return static_cast<tmsize_t>(n);
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
  auto* m = static_cast<Memory*>(h);
  m->At = whence == SEEK_SET ? offset : whence == SEEK_CUR ? m->At + offset : m->Bytes->size() + offset;
  return m->At;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<Memory*>(h)->Bytes->size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

void Ours(benchmark::State& state, const std::vector<std::uint8_t>& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    TTIFFGraphic tiff;
    tiff.LoadFromStream(stream);
    benchmark::DoNotOptimize(tiff.ScanLine(kHeight - 1));
  }
}

void Reference(benchmark::State& state, const std::vector<std::uint8_t>& file) {
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
  for (const Figure& f : {Figure{"tiff_decode_none", COMPRESSION_NONE, 1},
                          Figure{"tiff_decode_lzw", COMPRESSION_LZW, 1},
                          Figure{"tiff_decode_lzw_predictor", COMPRESSION_LZW, 2},
                          Figure{"tiff_decode_deflate", COMPRESSION_ADOBE_DEFLATE, 1},
                          Figure{"tiff_decode_packbits", COMPRESSION_PACKBITS, 1}}) {
    const Figure figure = f;
    auto file = std::make_shared<std::vector<std::uint8_t>>();
    auto bytes = [file, figure]() -> const std::vector<std::uint8_t>& {
      if (file->empty()) *file = MakeFile(figure);
      return *file;
    };
    benchmark::RegisterBenchmark((std::string(f.Name) + "/ours").c_str(),
                                 [bytes](benchmark::State& s) { Ours(s, bytes()); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string(f.Name) + "/reference").c_str(),
                                 [bytes](benchmark::State& s) { Reference(s, bytes()); })
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
