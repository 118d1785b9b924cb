// Transitions and picture loading:
// - transition_step_NN: effect NN drawn at 3840 x 2160 without waiting
//   against its nominal duration (ratio = step length / drawing time of one
//   step; at least 5 wanted);
// - transition_run_NN: the whole effect at 1920 x 1080 on the real clock
//   against its nominal duration, steps x step length, where a step lasts at
//   least the 11 ms of its sleep and one poll (at least 0.91 wanted);
// - load_jpeg_24mp: LoadPicture of a 6000 x 4000 JPEG for a 1920 x 1080 area
//   against `djpeg -scale 1/2` of the same file (at least 0.77 wanted);
// - smooth_stretch: TSmoothBitmap drawn from 1920 x 1080 to 2560 x 1440
//   against ImageMagick's bilinear resize on one thread (at least 1 wanted).
#include "core/Blendings.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysPaths.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void FillNoise(TBitmap& bitmap, unsigned seed)
{
    std::minstd_rand gen(seed);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width() * 3; ++x)
            row[x] = static_cast<uint8_t>(gen() >> 8);
    }
}

struct Pictures {
    Pictures(int width, int height) : newBitmap(width, height), oldBitmap(width, height), screen(width, height)
    {
        FillNoise(newBitmap, 1);
        FillNoise(oldBitmap, 2);
    }
    TBitmap newBitmap;
    TBitmap oldBitmap;
    TBitmap screen;
};

// Runs effect n with the fake clock on what the screen shows; returns the steps it took and the real
// seconds spent drawing.
std::pair<int, double> RunWithFakeClock(Pictures& p, int n)
{
    int steps = 0;
    rtl::SetClockForTests(0, [&](uint32_t ms) {
        if (ms == 10)
            ++steps;
    });
    const auto start = Clock::now();
    Blendings::BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), n);
    const double seconds = SecondsSince(start);
    rtl::ResetClock();
    return {steps, seconds};
}

Pictures& Big()
{
    static Pictures pictures(3840, 2160);
    return pictures;
}

Pictures& FullHd()
{
    static Pictures pictures(1920, 1080);
    return pictures;
}

// Both sides of a transition pair run the whole effect once per iteration:
// the drawing alone (fake clock) or on the real clock, against a real sleep
// of the nominal duration, steps x step length. The ratio of the step pair is
// thus the step length over the drawing time of one step.
int StepsOf(Pictures& p, int n)
{
    static std::map<std::pair<int, int>, int> counted;
    int& steps = counted[{p.newBitmap.Width(), n}];
    if (steps == 0)
        steps = RunWithFakeClock(p, n).first;
    return steps;
}

void SleepNominal(benchmark::State& state, Pictures& p, int n, int shortestStep = 0)
{
    const int ms = StepsOf(p, n) * std::max(Blendings::BlendingEffects[static_cast<size_t>(n)].StepMs, shortestStep);
    for (auto _ : state)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void StepOurs(benchmark::State& state, int n)
{
    Pictures& p = Big();
    for (auto _ : state) {
        state.PauseTiming();
        p.screen.Assign(&p.oldBitmap);
        state.ResumeTiming();
        RunWithFakeClock(p, n);
    }
}

void StepNominal(benchmark::State& state, int n) { SleepNominal(state, Big(), n); }

void RunOurs(benchmark::State& state, int n)
{
    Pictures& p = FullHd();
    for (auto _ : state) {
        state.PauseTiming();
        p.screen.Assign(&p.oldBitmap);
        state.ResumeTiming();
        Blendings::BlendNr(p.newBitmap, &p.oldBitmap, p.screen.Canvas(), n);
    }
}

// A step sleeps 10 ms and then polls at least once.
void RunNominal(benchmark::State& state, int n) { SleepNominal(state, FullHd(), n, 11); }

std::string TempFile(const std::string& name)
{
    return rtl::TempDir() + "vistelo-bench-" + std::to_string(getpid()) + "-" + name;
}

const std::string& BigJpeg()
{
    static const std::string file = [] {
        const std::string name = TempFile("24mp.jpg");
        const std::string command = "convert -size 6000x4000 plasma:fractal -seed 3 -quality 90 " + name;
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "cannot make %s\n", name.c_str());
        return name;
    }();
    return file;
}

void LoadOurs(benchmark::State& state)
{
    Setup::SpeedUpJPEGPreview = true;
    Setup::ReduceSize = true;
    Setup::WidthMaxRed = 1920;
    Setup::HeightMaxRed = 1080;
    const std::string& file = BigJpeg();
    for (auto _ : state) {
        TPicture picture;
        if (PictureLoading::LoadPicture(file, "", picture) != leOK || picture.Width() != 3000)
            state.SkipWithError("the picture did not load at half size");
    }
}

void LoadReference(benchmark::State& state)
{
    const std::string command = "djpeg -scale 1/2 -outfile /dev/null " + BigJpeg();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("djpeg failed");
}

TSmoothBitmap& StretchSource()
{
    static TSmoothBitmap bitmap(1920, 1080);
    static const bool filled = (FillNoise(bitmap, 5), true);
    (void)filled;
    return bitmap;
}

void StretchOurs(benchmark::State& state)
{
    TSmoothBitmap& source = StretchSource();
    TBitmap target(2560, 1440);
    for (auto _ : state)
        target.Canvas().StretchDraw(Rect(0, 0, 2560, 1440), source);
}

void StretchReference(benchmark::State& state)
{
    static const std::string raw = [] {
        const std::string name = TempFile("stretch.bgr");
        TSmoothBitmap& source = StretchSource();
        std::ofstream out(name, std::ios::binary);
        for (int y = 0; y < source.Height(); ++y)
            out.write(reinterpret_cast<const char*>(source.ScanLine(y)), source.Width() * 3);
        return name;
    }();
    const std::string command = "MAGICK_THREAD_LIMIT=1 convert -size 1920x1080 -depth 8 bgr:" + raw +
        " -filter triangle -resize 2560x1440! bgr:/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("convert failed");
}

std::string Figure(const char* kind, int n)
{
    char name[48];
    std::snprintf(name, sizeof name, "%s_%02d", kind, n);
    return name;
}

const bool registered = [] {
    for (int n = 2; n < 32; ++n) {
        benchmark::RegisterBenchmark((Figure("transition_step", n) + "/ours").c_str(), StepOurs, n)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((Figure("transition_step", n) + "/reference").c_str(), StepNominal, n)
            ->Unit(benchmark::kMillisecond);
    }
    for (int n = 2; n < 32; ++n) {
        benchmark::RegisterBenchmark((Figure("transition_run", n) + "/ours").c_str(), RunOurs, n)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((Figure("transition_run", n) + "/reference").c_str(), RunNominal, n)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("load_jpeg_24mp/ours", LoadOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("load_jpeg_24mp/reference", LoadReference)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("smooth_stretch/ours", StretchOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("smooth_stretch/reference", StretchReference)->Unit(benchmark::kMillisecond);
    return true;
}();

struct Cleanup {
    ~Cleanup()
    {
        std::remove(TempFile("24mp.jpg").c_str());
        std::remove(TempFile("stretch.bgr").c_str());
    }
} cleanup;

} // namespace
