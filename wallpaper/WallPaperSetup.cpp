#include "wallpaper/WallPaperSetup.h"

#include "core/Tools.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysPaths.h"

namespace WallPaperSetup {

bool UseUserInterval = true;
std::int32_t UserInterval = 60000;
bool UseQuitPassword = false;
std::string QuitPassword;
std::string ShowFilename;
std::int32_t ShowPos = 0;

std::string IniFileName() { return rtl::ConfigDir() + IniName; }

void LoadSettings()
{
    TIniFile ini(IniFileName());
    UseUserInterval = ini.ReadBool(Section, "UseUserInterval", UseUserInterval);
    UserInterval = ini.ReadInteger(Section, "UserInterval", UserInterval);
    UseQuitPassword = ini.ReadBool(Section, "UseQuitPassword", UseQuitPassword);
    QuitPassword = Tools::Rot13(ini.ReadString(Section, "QuitPassword", Tools::Rot13(QuitPassword)));
    ShowFilename = ini.ReadString(Section, "VisteloFilename", ShowFilename);
    ShowPos = ini.ReadInteger(Section, "VisteloPos", ShowPos);
}

void SaveSettings()
{
    rtl::ForceDirectories(rtl::ConfigDir());
    TIniFile ini(IniFileName());
    ini.WriteBool(Section, "UseUserInterval", UseUserInterval);
    ini.WriteInteger(Section, "UserInterval", UserInterval);
    ini.WriteBool(Section, "UseQuitPassword", UseQuitPassword);
    ini.WriteString(Section, "QuitPassword", Tools::Rot13(QuitPassword));
    ini.WriteString(Section, "VisteloFilename", ShowFilename);
    ini.WriteInteger(Section, "VisteloPos", ShowPos);
}

void DefaultSettings()
{
    UseUserInterval = true;
    UserInterval = 60000;
    UseQuitPassword = false;
    QuitPassword.clear();
    ShowFilename.clear();
    ShowPos = 0;
}

} // namespace WallPaperSetup
