#include "platform/rtl/WinPaths.h"

#include "platform/rtl/Files.h"
#include "rtl/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

// A show folder as it arrives from a Windows machine: the letter case on disk
// differs from the names stored in the show.
class StoredPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        Touch("Bilder/Urlaub/Strand.JPG");
        Touch("Musik/lied.mp3");
    }

    void Touch(const std::string& name)
    {
        std::filesystem::create_directories(std::filesystem::path(base + name).parent_path());
        std::ofstream(base + name) << name;
    }

    static std::string Backslashed(std::string path)
    {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    TempFolder temp;
    const std::string base = temp.Path().string() + "/";
};

TEST_F(StoredPaths, WrongCaseAndBackslashesFindTheFile)
{
    const std::string strand = base + "Bilder/Urlaub/Strand.JPG";
    const std::pair<std::string, std::string> cases[] = {
        {R"(Bilder\Urlaub\Strand.JPG)", base},                          // exact, relative
        {R"(bilder\URLAUB\strand.jpg)", base},                          // every component in the wrong case
        {R"(D:\bilder\urlaub\strand.jpg)", base},                       // drive: the rest below the base
        {R"(\\server\share\Bilder\Urlaub\strand.jpg)", base},           // network drive likewise
        {R"(\Bilder\Urlaub\Strand.jpg)", base},                         // rooted without drive
        {"C:" + Backslashed(base) + R"(BILDER\Urlaub\Strand.jpg)", ""}, // drive root is "/"
        {base + "bilder/urlaub/STRAND.JPG", ""},                        // native absolute name
    };
    for (const auto& [stored, baseDir] : cases)
        EXPECT_EQ(rtl::ResolveStoredPath(stored, baseDir), strand) << stored;
}

TEST_F(StoredPaths, ParentStepsAndMissingNames)
{
    const std::string found = rtl::ResolveStoredPath(R"(..\MUSIK\Lied.MP3)", base + "Bilder");
    EXPECT_TRUE(FileExists(found)) << found;
    EXPECT_EQ(ExtractFileName(found), "lied.mp3");

    EXPECT_EQ(rtl::ResolveStoredPath(R"(D:\Bilder\Urlaub\Fehlt.jpg)", base), "");
    EXPECT_EQ(rtl::ResolveStoredPath(R"(Urlaub\Strand.jpg)", base), ""); // wrong folder
    EXPECT_EQ(rtl::ResolveStoredPath("", base), "");
}

TEST_F(StoredPaths, ExactNameWinsAndCaseTwinsResolveTheSameWayEveryTime)
{
    Touch("Bilder/a.jpg");
    Touch("Bilder/A.JPG");
    EXPECT_EQ(rtl::ResolveStoredPath(R"(Bilder\a.jpg)", base), base + "Bilder/a.jpg");
    EXPECT_EQ(rtl::ResolveStoredPath(R"(Bilder\A.JPG)", base), base + "Bilder/A.JPG");
    EXPECT_EQ(rtl::ResolveStoredPath(R"(Bilder\a.JPG)", base), base + "Bilder/A.JPG"); // first in byte order
}

TEST_F(StoredPaths, ResolveFileCaseKeepsAFolderMark)
{
    EXPECT_EQ(rtl::ResolveFileCase(base + "bilder/urlaub/"), base + "Bilder/Urlaub/");
    EXPECT_EQ(rtl::ResolveFileCase(base + "bilder/urlaub"), base + "Bilder/Urlaub");
    EXPECT_EQ(rtl::ResolveFileCase(base + "bilder/strand.jpg/x"), "");
}

} // namespace
