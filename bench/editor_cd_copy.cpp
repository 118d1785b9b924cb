// cd_copy_pictures: the compilation assistant copying the pictures of a show
// (40 pictures of 3 MiB, 120 MiB) into a CD folder's picture folder, keeping
// their dates and modes, against cp copying the same files with the same
// care (--preserve=mode,timestamps) in one call, as a user would by hand.
// Each round copies into a fresh folder that is removed afterwards.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/VisteloNPics.h"
#include "editor/tools/CDAssistentLogic.h"

namespace {

namespace fs = std::filesystem;

constexpr int Pictures = 40;
constexpr size_t PictureSize = 3 * 1024 * 1024;

class PictureShow {
public:
    PictureShow() : root_(fs::temp_directory_path() / ("vistelo-bench-cd-" + std::to_string(getpid())))
    {
        fs::create_directories(root_ / "Bilder");
        std::string bytes(PictureSize, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((i * 2654435761u) >> 24);
        for (int p = 0; p < Pictures; ++p) {
            const fs::path file = root_ / "Bilder" / ("Bild" + std::to_string(p) + ".jpg");
            std::ofstream(file, std::ios::binary) << bytes;
            TPicInfoObject entry;
            entry.FileName = file.string();
            entry.ShowImage = true;
            show_.AddDia(entry);
            files_ += " '" + file.string() + "'";
        }
    }
    ~PictureShow() { fs::remove_all(root_); }

    const TVistelo& Show() const { return show_; }
    std::string ShowFile() const { return (root_ / "Bilder" / "Urlaub.vsf").string(); }
    const std::string& QuotedFiles() const { return files_; }
    std::string Target() const { return (root_ / "CD" / "Pictures").string(); }
    void FreshTarget() const
    {
        fs::remove_all(root_ / "CD");
        fs::create_directories(Target());
    }

private:
    fs::path root_;
    TVistelo show_;
    std::string files_;
};

PictureShow& Show()
{
    static PictureShow show;
    return show;
}

void CopyOurs(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Show().FreshTarget();
        state.ResumeTiming();
        CDAssistentLogic::TFileCopier copier(Show().Target(), nullptr);
        TVistelo target;
        if (CDAssistentLogic::CopyShowPictures(Show().Show(), Show().ShowFile(), false, true, copier, &target,
                                               nullptr) != 0)
            state.SkipWithError("copy failed");
    }
}

void CopyReference(benchmark::State& state)
{
    const std::string command = "cp --preserve=mode,timestamps" + Show().QuotedFiles() + " '" + Show().Target() + "'";
    for (auto _ : state) {
        state.PauseTiming();
        Show().FreshTarget();
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp failed");
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("cd_copy_pictures/ours", CopyOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("cd_copy_pictures/reference", CopyReference)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
