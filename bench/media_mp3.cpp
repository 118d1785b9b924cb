// Processor load of MP3 playback: user + system time over wall time while
// ten seconds of music play through TMediaPlayer to SDL's dummy driver,
// against the same stream decoded by the MPEG library into a null sink at
// the same real-time pace. Goal: ours <= 0.02.
#include "platform/media/MediaPlayer.h"
#include "platform/rtl/Threads.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

namespace {

const std::string kMusic = std::string(VISTELO_SOURCE_DIR) + "/tests/fixtures/media/music.mp3";
std::map<std::string, double> loads;

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs `play` and records processor time over wall time as the iteration's
// (manual) time, so the pair lines compare loads.
template <typename Play> void MeasureLoad(benchmark::State& state, const char* side, Play&& play)
{
    for (auto _ : state) {
        const double cpuStart = ProcessorSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        play();
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
        const double load = (ProcessorSeconds() - cpuStart) / wall.count();
        loads[side] = load;
        state.SetIterationTime(load);
    }
}

void Ours(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    MeasureLoad(state, "ours", [&] {
        TMediaPlayer player(nullptr);
        player.FileName = kMusic;
        player.Open();
        player.Play();
        while (player.Mode() == mpPlaying)
            rtl::CheckSynchronize(100);
    });
}

void Reference(benchmark::State& state)
{
    MeasureLoad(state, "reference", [&] {
        mpg123_init();
        mpg123_handle* handle = mpg123_new(nullptr, nullptr);
        mpg123_open(handle, kMusic.c_str());
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(handle, &rate, &channels, &encoding);
        std::vector<unsigned char> buffer(4096);
        size_t done = 0;
        double played = 0;
        const auto start = std::chrono::steady_clock::now();
        while (mpg123_read(handle, buffer.data(), buffer.size(), &done) == MPG123_OK) {
            benchmark::DoNotOptimize(buffer.data());
            played += static_cast<double>(done) / (2.0 * channels * rate); // 16-bit samples
            std::this_thread::sleep_until(start + std::chrono::duration<double>(played));
        }
        mpg123_close(handle);
        mpg123_delete(handle);
    });
}

BENCHMARK(Ours)->Name("mp3_playback_cpu/ours")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Reference)->Name("mp3_playback_cpu/reference")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The run options add suffixes to the benchmark names, so this prints the
// pair line itself: loads, not times, and the ratio as the pair lines give it.
struct LoadReport {
    ~LoadReport()
    {
        if (!loads.count("ours") || !loads.count("reference") || loads["ours"] <= 0)
            return;
        std::printf("mp3_playback_cpu ours=%.4f reference=%.4f ratio=%.2f\n", loads["ours"], loads["reference"],
                    loads["reference"] / loads["ours"]);
        std::printf("mp3_playback_cpu: processor seconds per second played, goal ours <= 0.02: %s\n",
                    loads["ours"] <= 0.02 ? "ok" : "TOO HIGH");
    }
} loadReport;

} // namespace
