#include "core/Setup.h"

#include "ContainerBytes.h"
#include "core/Blendings.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Resources.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>

using namespace ContainerBytes;

namespace {

TEST(SetupTest, HomeDirIsTheProgramFolderWithATrailingSlash)
{
    const std::string programFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(Setup::HomeDir, programFolder);
}

TEST(SetupTest, NestedStartUpsAndShutDownsLeaveTheStateToTheOutermost)
{
    const std::string home = Setup::HomeDir;
    Setup::InitializeUnit();
    EXPECT_EQ(Setup::HomeDir, home);
    Setup::FinalizeUnit();
    EXPECT_EQ(Setup::HomeDir, home);
    EXPECT_EQ(Setup::WinBackgroundFilename, "Vistelo - Hintergrundbild.bmp");
}

TEST(SetupTest, RestoreSharedDataBringsBackTheSnapshotButNotTheDefaults)
{
    const bool smooth = Setup::SmoothScale;
    const std::string home = Setup::HomeDir;
    const std::int32_t pause = Setup::stdPause;
    const auto blendings = Blendings::RandomBlendings;

    TSharedData snapshot;
    Setup::SaveSharedData(snapshot);
    Setup::SmoothScale = !smooth;
    Setup::HomeDir = "/elsewhere/";
    Blendings::RandomBlendings[7] = !blendings[7];
    Setup::VisteloFilename = "/shows/a.vsf";
    Setup::stdPause = pause + 1;
    Setup::RestoreSharedData(snapshot);

    EXPECT_EQ(Setup::SmoothScale, smooth);
    EXPECT_EQ(Setup::HomeDir, home);
    EXPECT_EQ(Blendings::RandomBlendings, blendings);
    EXPECT_EQ(Setup::VisteloFilename, snapshot.VisteloFilename);
    EXPECT_EQ(Setup::stdPause, pause + 1);
    Setup::stdPause = pause;
}

class CalcDateSumTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        const char* zone = std::getenv("TZ");
        savedZone = zone ? std::optional<std::string>(zone) : std::nullopt;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (savedZone)
            ::setenv("TZ", savedZone->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
        Setup::CatalogThumbWidth = 80;
        Setup::CatalogThumbHeight = 60;
        ScratchFolder::TearDown();
    }

    // A file of size bytes changed at 2001-02-03 04:05:06 UTC.
    std::string MakeFile(const std::string& name, std::size_t size)
    {
        const std::string path = Write(name, std::vector<std::uint8_t>(size, 'x'));
        std::tm when{};
        when.tm_year = 2001 - 1900;
        when.tm_mon = 1;
        when.tm_mday = 3;
        when.tm_hour = 4;
        when.tm_min = 5;
        when.tm_sec = 6;
        const utimbuf times{::timegm(&when), ::timegm(&when)};
        EXPECT_EQ(::utime(path.c_str(), &times), 0);
        return path;
    }

    std::optional<std::string> savedZone;
};

TEST_F(CalcDateSumTest, StampIsPackedTimePlusRecordsPlusThumbSize)
{
    const std::int32_t packed = 0x2A4320A3; // 2001-02-03 04:05:06
    const std::string file = MakeFile("a.jpg", 300);
    EXPECT_EQ(Setup::CalcDateSum(file, false), packed + 2);
    EXPECT_EQ(Setup::CalcDateSum(file, true), 709042481); // + 80 + 60
}

TEST_F(CalcDateSumTest, WholeRecordsOf128BytesCount)
{
    const std::int32_t empty = Setup::CalcDateSum(MakeFile("0.jpg", 0), false);
    EXPECT_EQ(Setup::CalcDateSum(MakeFile("127.jpg", 127), false), empty);
    EXPECT_EQ(Setup::CalcDateSum(MakeFile("128.jpg", 128), false), empty + 1);
}

TEST_F(CalcDateSumTest, MissingFileIsMinusOneAndTheSumWraps)
{
    EXPECT_EQ(Setup::CalcDateSum(PathOf("missing.jpg"), true), -1);
    Setup::CatalogThumbWidth = 0x7FFFFFFF;
    Setup::CatalogThumbHeight = 0x7FFFFFFF;
    const std::string file = MakeFile("a.jpg", 0);
    // 0x2A4320A3 + 2 * 0x7FFFFFFF wraps to 0x2A4320A1.
    EXPECT_EQ(Setup::CalcDateSum(file, true), 0x2A4320A1);
}

TEST(SetupResourceTest, LoadJPEGFromResourceFillsOrCreatesThePicture)
{
    static const std::uint8_t stream[] = {0xFF, 0xD8, 0x11, 0x22, 0xFF, 0xD9};
    const HMODULE module = rtl::HInstance();
    rtl::ResourceRegistration registration(module, {{RT_RCDATA, "SETUPTESTLOGO", stream, sizeof stream}});

    std::unique_ptr<TJPEGImage> jpeg;
    Setup::LoadJPEGFromResource(module, "SETUPTESTLOGO", jpeg);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->Data(), std::vector<std::uint8_t>(std::begin(stream), std::end(stream)));

    TJPEGImage* held = jpeg.get();
    Setup::LoadJPEGFromResource(module, "SETUPTESTLOGO", jpeg);
    EXPECT_EQ(jpeg.get(), held);
    EXPECT_THROW(Setup::LoadJPEGFromResource(module, "NOSUCHLOGO", jpeg), EResNotFound);
}

} // namespace
