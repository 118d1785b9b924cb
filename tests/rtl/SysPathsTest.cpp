#include "platform/rtl/SysPaths.h"

#include "platform/rtl/Files.h"
#include "rtl/StorageTestSupport.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(SysPaths, ProgramDirHoldsTheRunningProgram)
{
    const std::string file = rtl::ProgramFile();
    const std::string dir = rtl::ProgramDir();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(file.substr(0, dir.size()), dir);
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(ExtractFileName(file), "test_rtl");
}

TEST(SysPaths, XdgFoldersFollowTheEnvironmentAndIgnoreRelativeValues)
{
    testenv::TScopedVariable home("HOME", "/home/tester");
    {
        testenv::TScopedVariable config("XDG_CONFIG_HOME", "/xdg/config");
        testenv::TScopedVariable data("XDG_DATA_HOME", "/xdg/data/");
        EXPECT_EQ(rtl::ConfigDir(), "/xdg/config/vistelo/");
        EXPECT_EQ(rtl::DataDir(), "/xdg/data/vistelo/");
    }
    testenv::TScopedVariable config("XDG_CONFIG_HOME", "relative/config");
    testenv::TScopedVariable data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(rtl::ConfigDir(), "/home/tester/.config/vistelo/");
    EXPECT_EQ(rtl::DataDir(), "/home/tester/.local/share/vistelo/");
}

TEST(SysPaths, TempDirHasATrailingSlash)
{
    {
        testenv::TScopedVariable temp("TMPDIR", "/var/tmp");
        EXPECT_EQ(rtl::TempDir(), "/var/tmp/");
    }
    testenv::TScopedVariable temp("TMPDIR", std::nullopt);
    EXPECT_EQ(rtl::TempDir(), "/tmp/");
}

TEST(SysPaths, WritableFolders)
{
    TempFolder temp;
    const std::string dir = temp.Path().string() + "/";
    EXPECT_TRUE(rtl::IsWritableDir(dir));
    EXPECT_FALSE(rtl::IsWritableDir(dir + "missing/"));
    EXPECT_FALSE(rtl::IsWritableDir(""));
    if (::getuid() != 0) { // the superuser may write anywhere
        ::chmod(dir.c_str(), 0555);
        EXPECT_FALSE(rtl::IsWritableDir(dir));
        ::chmod(dir.c_str(), 0755);
    }

    // The build folder is writable, so it is the Windows folder.
    EXPECT_EQ(rtl::WindowsDir(), rtl::ProgramDir());
}

} // namespace
