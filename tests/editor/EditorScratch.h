#pragma once

// A scratch world for the editor's tests: a temporary folder that holds the
// registry file and the desktop's data folder, and program starts recorded
// instead of run. Everything is put back when the object goes.

#include "platform/ui/ShellApi.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class EditorScratch {
public:
    EditorScratch()
        : folder_(std::filesystem::temp_directory_path() /
                  ("vistelo_editor_" + std::to_string(::getpid()) + "_" + std::to_string(++counter_)))
    {
        std::filesystem::create_directories(folder_);
        Remember("VISTELO_REGISTRY", (folder_ / "registry.reg").string());
        Remember("XDG_DATA_HOME", (folder_ / "data").string());
        ui::SetLauncherForTests([this](const ui::TLaunch& launch) {
            Launches.push_back(launch);
            return true;
        });
    }
    ~EditorScratch()
    {
        ui::SetLauncherForTests(nullptr);
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    EditorScratch(const EditorScratch&) = delete;
    EditorScratch& operator=(const EditorScratch&) = delete;

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    std::string DataHome() const { return (folder_ / "data").string() + "/"; }

    std::vector<ui::TLaunch> Launches;

private:
    void Remember(const std::string& name, const std::string& value)
    {
        const char* previous = std::getenv(name.c_str());
        saved_.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    static inline int counter_ = 0;
    std::filesystem::path folder_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
