// ini_read: open a large settings file and look up values in it, with
// TIniFile against QSettings in its ini format. Every round touches the file
// first, so both read and parse it again rather than reuse an earlier result.
#include "platform/rtl/IniFiles.h"

#include <QSettings>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Sections = 500;
constexpr int KeysPerSection = 40;
constexpr int LookupStep = 20; // every 20th key is looked up: 1000 lookups

std::string SectionName(int s) { return "Section" + std::to_string(s); }

std::string KeyName(int k) { return "Key" + std::to_string(k); }

// About 20000 keys in 500 sections, written once per run.
class LargeIniFile {
public:
    LargeIniFile() : path_("/tmp/vistelo-bench-" + std::to_string(getpid()) + ".ini")
    {
        std::ofstream out(path_, std::ios::binary);
        for (int s = 0; s < Sections; ++s) {
            out << "[" << SectionName(s) << "]\r\n";
            for (int k = 0; k < KeysPerSection; ++k)
                out << KeyName(k) << "=value " << s * KeysPerSection + k << " of the picture show\r\n";
            out << "\r\n";
        }
    }
    ~LargeIniFile() { std::remove(path_.c_str()); }

    const std::string& Path() const { return path_; }

    // A new modification time, so no reader can take its cached content.
    void Touch()
    {
        timespec times[2];
        clock_gettime(CLOCK_REALTIME, &times[0]);
        times[0].tv_nsec = (times[0].tv_nsec + ++generation_) % 1000000000;
        times[1] = times[0];
        utimensat(AT_FDCWD, path_.c_str(), times, 0);
    }

private:
    std::string path_;
    long generation_ = 0;
};

LargeIniFile& File()
{
    static LargeIniFile file;
    return file;
}

void IniReadOurs(benchmark::State& state)
{
    size_t found = 0;
    for (auto _ : state) {
        File().Touch();
        TIniFile ini(File().Path());
        for (int s = 0; s < Sections; ++s)
            for (int k = s % LookupStep; k < KeysPerSection; k += LookupStep)
                found += ini.ReadString(SectionName(s), KeyName(k), "").size();
    }
    benchmark::DoNotOptimize(found);
}

void IniReadReference(benchmark::State& state)
{
    size_t found = 0;
    for (auto _ : state) {
        File().Touch();
        QSettings ini(QString::fromStdString(File().Path()), QSettings::IniFormat);
        for (int s = 0; s < Sections; ++s)
            for (int k = s % LookupStep; k < KeysPerSection; k += LookupStep)
                found += ini.value(QString::fromStdString(SectionName(s) + "/" + KeyName(k))).toString().size();
    }
    benchmark::DoNotOptimize(found);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("ini_read/ours", IniReadOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ini_read/reference", IniReadReference)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
