// The real program at the end of the session: a SIGTERM ends it with its
// settings saved, without asking for the quit password.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/rtl/Files.h"
#include "platform/rtl/SysPaths.h"
#include "tests/support/XvfbSession.h"
#include "wallpaper/OnlyStartOnce.h"
#include "wallpaper/WallpaperScratch.h"

namespace {

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

TEST(WallpaperProgramTest, TheEndOfTheSessionSavesTheSettingsWithoutAskingForThePassword)
{
    TWallpaperScratch scratch;
    const std::string show = scratch.WriteShow("Drei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    rtl::ForceDirectories(rtl::ConfigDir());
    std::ofstream(WallPaperSetup::IniFileName())
        << "[Wallpaper-Vistelo]\r\nUserInterval=600000\r\nUseQuitPassword=1\r\nQuitPassword=Trurvz\r\n"
        << "VisteloFilename=" << show << "\r\nVisteloPos=2\r\n";
    const std::vector<std::string> env{
        "XDG_RUNTIME_DIR=" + scratch.File(""), "XDG_CONFIG_HOME=" + scratch.File("config"),
        "XDG_DATA_HOME=" + scratch.File("data"), "QT_QPA_PLATFORM=offscreen", "ASAN_OPTIONS=detect_leaks=0"};
    xvfb::TChildProcess program({WALLPAPER_PROGRAM}, env);
    const std::string lock = OnlyStartOnce::LockFileName();
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(lock) || !program.Running(); }, std::chrono::seconds(60)));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(program.Running());

    ::kill(program.Id(), SIGTERM);
    EXPECT_TRUE(WaitFor([&] { return !program.Running(); }, std::chrono::seconds(30))) << "it asks for the password";
    EXPECT_TRUE(program.Wait()) << "exit code 0";
    EXPECT_EQ(scratch.IniText(),
              "[Wallpaper-Vistelo]\r\n"
              "UserInterval=600000\r\n"
              "UseQuitPassword=1\r\n"
              "QuitPassword=Trurvz\r\n"
              "VisteloFilename=" +
                  show +
                  "\r\n"
                  "VisteloPos=2\r\n"
                  "UseUserInterval=1\r\n");
}

} // namespace
