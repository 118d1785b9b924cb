#pragma once

// The two storage objects of the settings functions, each on a scratch file
// of the test's own: an ini file and a registry ini object on a private hive.

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "rtl/StorageTestSupport.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

class ScratchStores {
public:
    explicit ScratchStores(const std::string& registryKey)
        : hive_(temp.File("hive.reg")), ini(temp.File("test.ini")), registry(registryKey)
    { }

    std::array<TObject*, 2> Both() { return {&ini, &registry}; }

private:
    // Points the registry at the hive file for the object's lifetime.
    class HiveOverride {
    public:
        explicit HiveOverride(const std::string& file)
        {
            if (const char* previous = std::getenv("VISTELO_REGISTRY"))
                previous_ = previous;
            ::setenv("VISTELO_REGISTRY", file.c_str(), 1);
        }
        ~HiveOverride()
        {
            if (previous_)
                ::setenv("VISTELO_REGISTRY", previous_->c_str(), 1);
            else
                ::unsetenv("VISTELO_REGISTRY");
        }

    private:
        std::optional<std::string> previous_;
    };

public:
    TempFolder temp;

private:
    HiveOverride hive_;

public:
    TIniFile ini;
    TRegIniFile registry;
};
