// tga_decode_{raw24,rle24,rle8,rle32}: TTargaGraphic reading a 2400 x 1800
// Truevision file from memory against ImageMagick's library reading the same
// bytes, both on one thread. The files are written once at start by the
// library's own writer (top-down, so neither reader flips rows).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <magick/MagickCore.h>

#include "imageformats/TargaGraphic.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr int kWidth = 2400;
constexpr int kHeight = 1800;

// Smooth gradients with flat patches and fine noise: runs of every length.
std::vector<std::uint8_t> MakeFile(TPixelFormat format, bool compressed) {
  TTargaGraphic tga;
  tga.SetPixelFormat(pf24bit);
  tga.SetSize(kWidth, kHeight);
  std::uint32_t noise = 99;
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* row = tga.ScanLine(y);
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const bool flat = ((x / 64) + (y / 64)) % 3 == 0;
      const int grain = flat ? 0 : static_cast<int>(noise >> 30);
      row[3 * x] = static_cast<std::uint8_t>(flat ? 40 : x * 255 / kWidth + grain);
      row[3 * x + 1] = static_cast<std::uint8_t>(flat ? 120 : y * 255 / kHeight);
      row[3 * x + 2] = static_cast<std::uint8_t>(flat ? 200 : (x + y) / 16 + grain);
    }
  }
  tga.SetPixelFormat(format);
  TMemoryStream stream;
  tga.SaveToStream(stream, compressed);
  const auto* p = static_cast<const std::uint8_t*>(stream.Memory());
  return {p, p + stream.Size()};
}

void Ours(benchmark::State& state, const std::vector<std::uint8_t>& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    TTargaGraphic tga;
    tga.LoadFromStream(stream);
    benchmark::DoNotOptimize(tga.ScanLine(kHeight - 1));
  }
}

void Reference(benchmark::State& state, const std::vector<std::uint8_t>& file) {
  static const bool started = [] {
    MagickCoreGenesis(nullptr, MagickFalse);
    SetMagickResourceLimit(ThreadResource, 1);
    return true;
  }();
  benchmark::DoNotOptimize(started);
  ExceptionInfo* exception = AcquireExceptionInfo();
  ImageInfo* info = AcquireImageInfo();
  std::strcpy(info->magick, "TGA");
  std::strcpy(info->filename, "tga:bench");
  for (auto _ : state) {
    Image* image = BlobToImage(info, file.data(), file.size(), exception);
    if (!image) {
      state.SkipWithError("ImageMagick could not read the file");
      break;
    }
    benchmark::DoNotOptimize(image);
    DestroyImage(image);
  }
  DestroyImageInfo(info);
  DestroyExceptionInfo(exception);
}

[[maybe_unused]] const bool registered = [] {
  struct Figure {
    const char* Name;
    TPixelFormat Format;
    bool Compressed;
  };
  for (const Figure& f : {Figure{"tga_decode_raw24", pf24bit, false}, Figure{"tga_decode_rle24", pf24bit, true},
                          Figure{"tga_decode_rle8", pf8bit, true}, Figure{"tga_decode_rle32", pf32bit, true}}) {
    const Figure figure = f;
    auto file = std::make_shared<std::vector<std::uint8_t>>();
    auto bytes = [file, figure]() -> const std::vector<std::uint8_t>& {
      if (file->empty()) *file = MakeFile(figure.Format, figure.Compressed);
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
