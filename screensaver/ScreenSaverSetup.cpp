#include "screensaver/ScreenSaverSetup.h"

#include "core/Setup.h"
#include "platform/rtl/Registry.h"

#include <exception>
#include <functional>

namespace ScreenSaverSetup {

const char* const SettingsKey = "\\Software\\Ostrelind\\VisteloScreenSaver\\1.0";

bool Mute = false;
std::string Filename;
bool IgnoreOtherApplications = false;

namespace {

// One value's read or write; a failure skips that value only.
void Guarded(const std::function<void()>& Access)
{
    try {
        Access();
    } catch (const std::exception&) {
    }
}

} // namespace

void ReadScreenSaverSettings()
{
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(SettingsKey))
        return;
    Guarded([&] { Mute = reg.ReadBool("Mute"); });
    Guarded([&] {
        // A string is read only where one is stored: a missing value keeps the file.
        if (reg.ValueExists("Filename"))
            Filename = reg.ReadString("Filename");
    });
    Guarded([&] { IgnoreOtherApplications = reg.ReadBool("IgnoreOtherApplications"); });
}

void WriteScreenSaverSettings()
{
    TRegistry reg;
    bool opened = false;
    Guarded([&] { opened = reg.OpenKey(SettingsKey, true); });
    if (!opened)
        return;
    Guarded([&] { reg.WriteBool("Mute", Mute); });
    Guarded([&] { reg.WriteString("Filename", Filename); });
    Guarded([&] { reg.WriteBool("IgnoreOtherApplications", IgnoreOtherApplications); });
    Guarded([&] { reg.WriteString("Path", Setup::HomeDir); });
}

} // namespace ScreenSaverSetup
