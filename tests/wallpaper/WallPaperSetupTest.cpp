// "Wallpaper.ini": its keys, defaults and the rotated quit password.

#include "wallpaper/WallPaperSetup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/Tools.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysPaths.h"
#include "wallpaper/WallpaperScratch.h"

namespace {

using namespace WallPaperSetup;

TEST(WallPaperSetupTest, AFirstStartHasAMinuteIntervalNoPasswordAndNoShow)
{
    const TWallpaperScratch scratch;
    UserInterval = 1;
    DefaultSettings();
    LoadSettings();
    EXPECT_TRUE(UseUserInterval);
    EXPECT_EQ(UserInterval, 60000);
    EXPECT_FALSE(UseQuitPassword);
    EXPECT_EQ(QuitPassword, "");
    EXPECT_EQ(ShowFilename, "");
    EXPECT_EQ(ShowPos, 0);
}

TEST(WallPaperSetupTest, TheSixKeysAreWrittenInOrderWithThePasswordRotated)
{
    const TWallpaperScratch scratch;
    UseUserInterval = false;
    UserInterval = 30000;
    UseQuitPassword = true;
    QuitPassword = "Abc-123 Zz";
    ShowFilename = "/home/anna/Urlaub.vsf";
    ShowPos = 4;
    SaveSettings();
    EXPECT_EQ(IniFileName(), rtl::ConfigDir() + "Wallpaper.ini");
    EXPECT_EQ(scratch.IniText(),
              "[Wallpaper-Vistelo]\r\n"
              "UseUserInterval=0\r\n"
              "UserInterval=30000\r\n"
              "UseQuitPassword=1\r\n"
              "QuitPassword=Nop-123 Mm\r\n"
              "VisteloFilename=/home/anna/Urlaub.vsf\r\n"
              "VisteloPos=4\r\n");
    DefaultSettings();
    LoadSettings();
    EXPECT_FALSE(UseUserInterval);
    EXPECT_EQ(UserInterval, 30000);
    EXPECT_TRUE(UseQuitPassword);
    EXPECT_EQ(QuitPassword, "Abc-123 Zz");
    EXPECT_EQ(ShowFilename, "/home/anna/Urlaub.vsf");
    EXPECT_EQ(ShowPos, 4);
}

TEST(WallPaperSetupTest, OnlyAsciiLettersOfThePasswordAreRotated)
{
    EXPECT_EQ(Tools::Rot13("Abc-123 Zz"), "Nop-123 Mm");
    EXPECT_EQ(Tools::Rot13("Gr\xC3\xBC\xC3\x9F"
                           "e"),
              "Te\xC3\xBC\xC3\x9F"
              "r");
}

TEST(WallPaperSetupTest, MissingKeysKeepTheValuesThere)
{
    const TWallpaperScratch scratch;
    rtl::ForceDirectories(rtl::ConfigDir());
    std::ofstream(IniFileName()) << "[Wallpaper-Vistelo]\r\nUserInterval=15000\r\nUseQuitPassword=7\r\n";
    ShowPos = 3;
    ShowFilename = "/a.vsf";
    LoadSettings();
    EXPECT_EQ(UserInterval, 15000);
    EXPECT_TRUE(UseQuitPassword) << "any number but 0 is true";
    EXPECT_EQ(ShowPos, 3);
    EXPECT_EQ(ShowFilename, "/a.vsf");
}

} // namespace
