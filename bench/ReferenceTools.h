#pragma once
// Shared pieces of the picture-reader benchmarks: the size and pattern of
// the test pictures, our reader's load loop over a memory stream, the bytes
// of a file a reference library wrote, and the registration of a
// "<figure>/ours" and "<figure>/reference" pair over one file that is made
// when either of them first runs.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "platform/rtl/Streams.h"

namespace benchtools {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 2400;
constexpr int kHeight = 1800;

// Red, green and blue of pixel (x, y): gradients with flat 64-pixel patches
// and two bits of noise, so that packed data has runs of every length.
// `noise` moves on one step per pixel.
inline std::array<std::uint8_t, 3> PatternPixel(int x, int y, std::uint32_t& noise)
{
    noise = noise * 1664525u + 1013904223u;
    const bool flat = ((x / 64) + (y / 64)) % 3 == 0;
    const int grain = flat ? 0 : static_cast<int>(noise >> 30);
    return {static_cast<std::uint8_t>(flat ? 40 : x * 255 / kWidth + grain),
            static_cast<std::uint8_t>(flat ? 120 : y * 255 / kHeight),
            static_cast<std::uint8_t>(flat ? 200 : (x + y) / 16 + grain)};
}

// Our reader loading `file` from memory in every iteration; a picture that
// does not load ends the figure with an error.
template <class Reader> void LoadLoop(benchmark::State& state, const Bytes& file)
{
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
    for (auto _ : state) {
        stream.SetPosition(0);
        Reader picture;
        picture.LoadFromStream(stream);
        if (picture.Height() != kHeight) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(picture.ScanLine(kHeight - 1));
    }
}

// The bytes `write` puts into the file it is given the name of; the file is
// removed afterwards.
inline Bytes WrittenFile(const std::function<void(const char* path)>& write)
{
    char path[] = "/tmp/vistelo-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return {};
    close(fd);
    write(path);
    Bytes file;
    if (FILE* in = std::fopen(path, "rb")) {
        std::uint8_t buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
            file.insert(file.end(), buffer, buffer + n);
        std::fclose(in);
    }
    std::remove(path);
    return file;
}

using Run = std::function<void(benchmark::State&, const Bytes&)>;

// Registers "<name>/ours" and "<name>/reference" (in milliseconds) over the
// file `make` returns.
inline void RegisterPair(const std::string& name, std::function<Bytes()> make, Run ours, Run reference)
{
    auto file = std::make_shared<Bytes>();
    auto bytes = [file, make = std::move(make)]() -> const Bytes& {
        if (file->empty())
            *file = make();
        return *file;
    };
    benchmark::RegisterBenchmark((name + "/ours").c_str(), [bytes, ours](benchmark::State& s) {
        ours(s, bytes());
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/reference").c_str(), [bytes, reference](benchmark::State& s) {
        reference(s, bytes());
    })->Unit(benchmark::kMillisecond);
}

} // namespace benchtools
