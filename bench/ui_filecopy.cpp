// folder_copy: copy a folder of pictures (120 files of 256 KiB, 30 MiB) with
// the desktop file operation against cp -r, as a user would copy it by hand.
// Each round copies into a fresh target that is removed afterwards.
#include "platform/ui/ShellApi.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int Files = 120;
constexpr size_t FileSize = 256 * 1024;

class PictureFolder {
public:
    PictureFolder() : root_(fs::temp_directory_path() / ("vistelo-bench-copy-" + std::to_string(getpid())))
    {
        fs::create_directories(root_ / "Bilder");
        std::string bytes(FileSize, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((i * 2654435761u) >> 24);
        for (int f = 0; f < Files; ++f)
            std::ofstream(root_ / "Bilder" / ("Bild" + std::to_string(f) + ".jpg"), std::ios::binary) << bytes;
    }
    ~PictureFolder() { fs::remove_all(root_); }

    std::string Source() const { return (root_ / "Bilder").string(); }
    std::string Target() const { return (root_ / "Kopie").string(); }
    void ClearTarget() const { fs::remove_all(Target()); }

private:
    fs::path root_;
};

PictureFolder& Folder()
{
    static PictureFolder folder;
    return folder;
}

void FolderCopyOurs(benchmark::State& state)
{
    for (auto _ : state) {
        ui::SHFILEOPSTRUCT op;
        op.Func = FO_COPY;
        op.From = {Folder().Source()};
        op.To = {Folder().Target()};
        op.Flags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
        op.OnProgress = [](const ui::TFileOpProgress&) { return true; };
        if (ui::SHFileOperation(op) != 0)
            state.SkipWithError("copy failed");
        state.PauseTiming();
        Folder().ClearTarget();
        state.ResumeTiming();
    }
}

void FolderCopyReference(benchmark::State& state)
{
    const std::string command = "cp -r '" + Folder().Source() + "' '" + Folder().Target() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp failed");
        state.PauseTiming();
        Folder().ClearTarget();
        state.ResumeTiming();
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("folder_copy/ours", FolderCopyOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("folder_copy/reference", FolderCopyReference)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
