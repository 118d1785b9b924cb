// record_cpu: the processor time a recording takes, against a budget of 2 %
// of the time it runs. The recorder records 3 seconds of 22050 Hz 16-bit
// stereo from SDL's file-backed capture device, paced as a sound card
// delivers, into a WAV file; "ours" is the process's processor time over the
// recording, "reference" the budget, so a ratio of 1 or more keeps within it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/AudioIO.h"
#include "platform/media/WAVTools.h"
#include "platform/rtl/Threads.h"

namespace {

namespace fs = std::filesystem;

struct Measured {
    double CpuSeconds = 0;
    double WallSeconds = 0;
    bool Ok = false;
};

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

const Measured& Recording()
{
    static const Measured measured = [] {
        Measured m;
        const fs::path folder = fs::temp_directory_path() / ("vistelo-bench-record-" + std::to_string(getpid()));
        fs::create_directories(folder);
        {
            std::vector<char> input(22050 * 4 * 4, 0);
            for (std::size_t i = 0; i < input.size(); ++i)
                input[i] = static_cast<char>(i * 7);
            std::ofstream((folder / "in.raw").string(), std::ios::binary).write(input.data(), input.size());
        }
        setenv("SDL_AUDIODRIVER", "disk", 1);
        unsetenv("SDL_DISKAUDIODELAY"); // paced as a sound card
        setenv("SDL_DISKAUDIOFILE", (folder / "out.raw").c_str(), 1);
        setenv("SDL_DISKAUDIOFILEIN", (folder / "in.raw").c_str(), 1);

        TAudioIn audio(nullptr);
        audio.SetStereo(true);
        audio.SetFrameRate(22050);
        std::unique_ptr<WAVTools::TWAVFileWriter> writer;
        bool stopped = false;
        audio.OnStart = [&](TObject*) {
            writer = std::make_unique<WAVTools::TWAVFileWriter>((folder / "take.wav").string());
        };
        audio.OnBufferFilled = [&](std::uint8_t* buffer, int size) {
            writer->Append(buffer, size);
            WAVTools::ComputeSampleLevel(buffer, size, 2, false, true);
            return true;
        };
        audio.OnStop = [&](TObject*) {
            writer->Finish({-1, 22050, 16, true});
            stopped = true;
        };
        const double cpuStart = ProcessCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        if (audio.Start(TAudioIO::WaveMapper)) {
            while (std::chrono::steady_clock::now() - wallStart < std::chrono::seconds(3))
                rtl::CheckSynchronize(50);
            audio.StopAtOnce();
            while (!stopped && std::chrono::steady_clock::now() - wallStart < std::chrono::seconds(5))
                rtl::CheckSynchronize(50);
            m.Ok = stopped && writer && writer->DataSize() > 0;
        }
        m.CpuSeconds = ProcessCpuSeconds() - cpuStart;
        m.WallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        fs::remove_all(folder);
        return m;
    }();
    return measured;
}

void Ours(benchmark::State& state)
{
    const Measured& m = Recording();
    for (auto _ : state) {
        if (!m.Ok) {
            state.SkipWithError("the recording did not run");
            break;
        }
        state.SetIterationTime(m.CpuSeconds);
    }
}

void Budget(benchmark::State& state)
{
    const Measured& m = Recording();
    for (auto _ : state)
        state.SetIterationTime(0.02 * m.WallSeconds);
}

[[maybe_unused]] const bool registered = [] {
    benchmark::RegisterBenchmark("record_cpu/ours", Ours)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("record_cpu/reference", Budget)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
