#pragma once

// The editor programs the tests start come up without the tip of the day:
// its modal window would take the keys and drops meant for the main window.
// Include it before the X headers (they define macros such as None).

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/rtl/Registry.h"

namespace editor_xvfb {

// Writes "no tips at the start" into the registry file the editor will read.
inline void TurnTipsOff(const std::filesystem::path& registryFile)
{
    const char* previous = std::getenv("VISTELO_REGISTRY");
    const std::string saved = previous ? previous : "";
    setenv("VISTELO_REGISTRY", registryFile.c_str(), 1);
    {
        TRegistry registry;
        // The editor's key (its header does not mix with the X headers).
        EXPECT_TRUE(registry.OpenKey("\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)", true));
        registry.WriteBool("ShowTips", false);
    }
    if (previous)
        setenv("VISTELO_REGISTRY", saved.c_str(), 1);
    else
        unsetenv("VISTELO_REGISTRY");
}

} // namespace editor_xvfb
