// One wallpaper program per user: the lock, and the real program started
// twice, the second ending at once, and after the first was killed.

#include "wallpaper/OnlyStartOnce.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/support/XvfbSession.h"
#include "wallpaper/WallpaperScratch.h"

namespace {

using OnlyStartOnce::TInstanceLock;

TEST(OnlyStartOnceTest, TheLockIsHeldOnceAndFreedWithItsHolder)
{
    const TWallpaperScratch scratch;
    EXPECT_EQ(OnlyStartOnce::LockFileName(), scratch.File("Quendrix 3.5.lock"));
    {
        const TInstanceLock first(OnlyStartOnce::LockFileName());
        EXPECT_TRUE(first.Held());
        const TInstanceLock second(OnlyStartOnce::LockFileName());
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.OtherInstanceRuns());
    }
    const TInstanceLock third(OnlyStartOnce::LockFileName());
    EXPECT_TRUE(third.Held());
    const TInstanceLock unwritable(scratch.File("kein Ordner/x.lock"));
    EXPECT_FALSE(unwritable.Held());
    EXPECT_FALSE(unwritable.OtherInstanceRuns()) << "no lock file blocks nothing";
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

TEST(OnlyStartOnceTest, ASecondProgramEndsAtOnceAndAKilledFirstBlocksNothing)
{
    const TWallpaperScratch scratch;
    const std::vector<std::string> env{
        "XDG_RUNTIME_DIR=" + scratch.File(""), "XDG_CONFIG_HOME=" + scratch.File("config"),
        "XDG_DATA_HOME=" + scratch.File("data"), "QT_QPA_PLATFORM=offscreen", "ASAN_OPTIONS=detect_leaks=0"};
    const std::string lock = OnlyStartOnce::LockFileName();
    // The program makes the lock file and locks it at once. (Probing the
    // lock from here while a program starts would take it from that one.)
    const auto locked = [&](xvfb::TChildProcess& program) {
        const bool made = WaitFor([&] { return std::filesystem::exists(lock) || !program.Running(); },
                                  std::chrono::seconds(60));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return made && program.Running();
    };
    // A second program must end by itself, with exit code 0.
    const auto endsAtOnce = [&] {
        xvfb::TChildProcess second({WALLPAPER_PROGRAM}, env);
        const bool ended = WaitFor([&] { return !second.Running(); }, std::chrono::seconds(30));
        return ended && second.Wait();
    };

    xvfb::TChildProcess first({WALLPAPER_PROGRAM}, env);
    ASSERT_TRUE(locked(first)) << "the first program does not run";
    EXPECT_TRUE(TInstanceLock(lock).OtherInstanceRuns());
    EXPECT_TRUE(endsAtOnce());
    EXPECT_TRUE(first.Running()) << "the first keeps running";

    ::kill(first.Id(), SIGKILL);
    first.Wait();
    EXPECT_FALSE(TInstanceLock(lock).OtherInstanceRuns()) << "the lock went with the killed program";
    std::filesystem::remove(lock);
    xvfb::TChildProcess third({WALLPAPER_PROGRAM}, env);
    ASSERT_TRUE(locked(third)) << "a killed first blocks the next";
    EXPECT_TRUE(endsAtOnce());
    EXPECT_TRUE(third.Running());
}

} // namespace
