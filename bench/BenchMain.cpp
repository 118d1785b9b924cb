// Runs the registered benchmarks and prints, for every figure measured both
// as "<figure>/ours" and "<figure>/reference", one line
//   <figure> ours=<time> reference=<time> ratio=<reference time / our time>
// so a ratio above 1 means we are faster.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

class RatioReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                std::fprintf(stderr, "%s: %s\n", run.benchmark_name().c_str(), run.error_message.c_str());
                continue;
            }
            // The registered name alone: settings such as a fixed iteration
            // count or manual timing would add suffixes to the full name.
            const std::string name = run.run_name.function_name;
            const auto slash = name.rfind('/');
            if (slash == std::string::npos)
                continue;
            const std::string figure = name.substr(0, slash);
            const std::string side = name.substr(slash + 1);
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (side == "ours")
                figures_[figure].ours = seconds;
            else if (side == "reference")
                figures_[figure].reference = seconds;
        }
    }

    void Finalize() override
    {
        for (const auto& [figure, times] : figures_) {
            if (times.ours <= 0 || times.reference <= 0)
                continue;
            std::printf("%s ours=%s reference=%s ratio=%.2f\n", figure.c_str(), Format(times.ours).c_str(),
                        Format(times.reference).c_str(), times.reference / times.ours);
        }
        std::fflush(stdout);
    }

private:
    struct Times {
        double ours = 0;
        double reference = 0;
    };

    static std::string Format(double seconds)
    {
        char text[32];
        if (seconds >= 1e-3)
            std::snprintf(text, sizeof text, "%.3fms", seconds * 1e3);
        else
            std::snprintf(text, sizeof text, "%.3fus", seconds * 1e6);
        return text;
    }

    std::map<std::string, Times> figures_;
};

} // namespace

int main(int argc, char** argv)
{
    // Windows made in this process are measured, never looked at; programs
    // started under a display server are given their platform explicitly.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
