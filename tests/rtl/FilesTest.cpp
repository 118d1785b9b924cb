#include "platform/rtl/Files.h"

#include "rtl/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace {

// A fresh folder per test, removed afterwards.
class FileRoutines : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& content = "")
    {
        std::filesystem::create_directories(std::filesystem::path(dir + name).parent_path());
        std::ofstream(dir + name, std::ios::binary) << content;
    }

    void SetModified(const std::string& name, std::tm local, long nanoseconds)
    {
        local.tm_isdst = -1;
        const timespec times[2] = {{std::mktime(&local), nanoseconds}, {std::mktime(&local), nanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir + name).c_str(), times, 0), 0);
    }

    std::vector<std::string> Find(const std::string& mask, int attr)
    {
        std::vector<std::string> names;
        TSearchRec rec;
        for (int result = FindFirst(dir + mask, attr, rec); result == 0; result = FindNext(rec))
            names.push_back(rec.Name);
        FindClose(rec);
        return names;
    }

    TempFolder temp;
    const std::string dir = temp.Path().string() + "/";
};

std::tm LocalTime(int year, int month, int day, int hour, int min, int sec)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    return t;
}

int32_t Packed(int year, int month, int day, int hour, int min, int sec)
{
    return static_cast<int32_t>(static_cast<uint32_t>(year - 1980) << 25 | month << 21 | day << 16 | hour << 11 |
                                min << 5 | sec / 2);
}

TEST_F(FileRoutines, FileAgePacksLocalTimeAndDropsTheOddSecond)
{
    Write("a.jpg", "x");
    SetModified("a.jpg", LocalTime(2021, 3, 14, 15, 9, 27), 900000000);
    EXPECT_EQ(FileAge(dir + "a.jpg"), Packed(2021, 3, 14, 15, 9, 26));

    SetModified("a.jpg", LocalTime(2043, 12, 31, 23, 59, 58), 0);
    EXPECT_EQ(FileAge(dir + "a.jpg"), Packed(2043, 12, 31, 23, 59, 58));
}

TEST_F(FileRoutines, FileAgeOfYearsDosCannotHoldIsClampedNotMissing)
{
    Write("old.jpg");
    SetModified("old.jpg", LocalTime(1970, 1, 2, 0, 0, 0), 0);
    EXPECT_EQ(FileAge(dir + "old.jpg"), Packed(1980, 1, 1, 0, 0, 0));
    SetModified("old.jpg", LocalTime(12000, 5, 1, 0, 0, 0), 0);
    EXPECT_EQ(FileAge(dir + "old.jpg"), Packed(2107, 12, 31, 23, 59, 58));
}

TEST_F(FileRoutines, MissingFilesAndFoldersHaveNoAgeOrSize)
{
    Write("five.bin", "12345");
    EXPECT_EQ(rtl::FileSizeOf(dir + "five.bin"), 5);
    EXPECT_EQ(FileAge(dir + "missing.jpg"), -1);
    EXPECT_EQ(rtl::FileSizeOf(dir + "missing.jpg"), -1);
    EXPECT_EQ(FileAge(dir), -1);
    EXPECT_EQ(rtl::FileSizeOf(dir), -1);
    EXPECT_TRUE(FileExists(dir + "five.bin"));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(DirectoryExists(dir + "five.bin"));
    EXPECT_FALSE(FileExists(""));
}

TEST(MatchesMask, Table)
{
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"Bild.JPG", "*.jpg", true},
        {"bild.jpeg", "*.jpg", false},
        {"README", "*.*", true}, // "*.*" takes names without a dot too
        {"foto", "foto.*", true},
        {"foto1.jpg", "foto?.*", true},
        {"archiv.tar.gz", "*.gz", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"ß.txt", "?.txt", true},      // "?" is one character, not one byte
        {"ÄRGER.TXT", "ärger*", true}, // umlauts compare without case
        {"aa", "a*a*a", false},
        {"aaa", "a*a*a", true},
        {"abcabd", "*abd", true}, // the star must give back what it took
        {"*x", "*", true},        // a star in the name is no star of the mask
        {"x", "", false},
        {"", "*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rtl::MatchesMask(c.name, c.mask), c.matches) << c.name << " against " << c.mask;
}

TEST_F(FileRoutines, FindFirstListsInByteOrderAndFiltersByAttribute)
{
    Write("b.jpg", "bb");
    Write("a.JPG", "a");
    Write("c.txt");
    Write(".hidden.jpg");
    std::filesystem::create_directory(dir + "sub.jpg");

    EXPECT_EQ(Find("*.jpg", 0), (std::vector<std::string>{"a.JPG", "b.jpg"}));
    EXPECT_EQ(Find("*.jpg", faDirectory), (std::vector<std::string>{"a.JPG", "b.jpg", "sub.jpg"}));
    EXPECT_EQ(Find("*.*", faAnyFile), (std::vector<std::string>{".hidden.jpg", "a.JPG", "b.jpg", "c.txt", "sub.jpg"}));
    EXPECT_TRUE(Find("*.gif", faAnyFile).empty());

    TSearchRec rec;
    ASSERT_EQ(FindFirst(dir + "b.jpg", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 2);
    EXPECT_EQ(rec.Attr & (faArchive | faDirectory), faArchive);
    EXPECT_EQ(rec.Time, FileAge(dir + "b.jpg"));
    EXPECT_NE(FindNext(rec), 0);
    FindClose(rec);

    ASSERT_EQ(FindFirst(dir + "sub.jpg", faDirectory, rec), 0);
    EXPECT_NE(rec.Attr & faDirectory, 0);
    FindClose(rec);

    EXPECT_NE(FindFirst(dir + "missing/*.*", faAnyFile, rec), 0);

    Write("A.JPG", "twin");
    EXPECT_EQ(Find("a.JPG", 0), (std::vector<std::string>{"a.JPG", "A.JPG"})); // the exact name first
    EXPECT_EQ(Find("B.JPG", 0), (std::vector<std::string>{"b.jpg"}));
}

// Scans like the system's folder scan: recursive through folders; a scan that
// follows a link back up would never end (the depth check turns that into a failure).
void Scan(const std::string& folder, int depth, std::vector<std::string>& files)
{
    ASSERT_LT(depth, 8) << "scan went round in circles at " << folder;
    TSearchRec rec;
    for (int result = FindFirst(folder + "*.*", faAnyFile, rec); result == 0; result = FindNext(rec)) {
        if (rec.Attr & faDirectory)
            Scan(folder + rec.Name + "/", depth + 1, files);
        else
            files.push_back(folder + rec.Name);
    }
    FindClose(rec);
}

TEST_F(FileRoutines, ScanningNeverFollowsLinksBackIntoItsOwnPath)
{
    Write("show/pics/a.jpg");
    Write("elsewhere/b.jpg");
    std::filesystem::create_directory_symlink(dir + "show", dir + "show/pics/up");
    std::filesystem::create_directory_symlink(dir + "show/pics", dir + "show/pics/self");
    std::filesystem::create_directory_symlink(dir + "elsewhere", dir + "show/pics/more");
    // Two folders linking to each other make a loop no single link shows.
    std::filesystem::create_directory_symlink(dir + "show", dir + "elsewhere/back");

    std::vector<std::string> files;
    Scan(dir + "show/", 0, files);
    EXPECT_EQ(files, (std::vector<std::string>{dir + "show/pics/a.jpg", dir + "show/pics/more/b.jpg"}));
}

TEST_F(FileRoutines, RenameNeverReplacesAnotherFile)
{
    Write("x.txt", "old x");
    Write("y.txt", "keep me");
    EXPECT_FALSE(RenameFile(dir + "x.txt", dir + "y.txt"));
    std::ifstream y(dir + "y.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(y), {}), "keep me");
    EXPECT_TRUE(RenameFile(dir + "x.txt", dir + "z.txt"));
    EXPECT_TRUE(FileExists(dir + "z.txt"));
    EXPECT_FALSE(FileExists(dir + "x.txt"));
}

TEST_F(FileRoutines, DeleteAndFolderRoutinesReportFailure)
{
    Write("f.txt");
    EXPECT_FALSE(DeleteFile(dir));
    EXPECT_TRUE(DeleteFile(dir + "f.txt"));
    EXPECT_FALSE(DeleteFile(dir + "f.txt"));
    EXPECT_TRUE(CreateDir(dir + "d"));
    EXPECT_FALSE(CreateDir(dir + "d"));
    Write("d/inner.txt");
    EXPECT_FALSE(RemoveDir(dir + "d"));
    EXPECT_TRUE(DeleteFile(dir + "d/inner.txt"));
    EXPECT_TRUE(RemoveDir(dir + "d"));
}

TEST_F(FileRoutines, ForceDirectoriesCreatesEveryMissingParent)
{
    EXPECT_TRUE(ForceDirectories(dir + "a/b/c/"));
    EXPECT_TRUE(DirectoryExists(dir + "a/b/c"));
    EXPECT_TRUE(ForceDirectories(dir + "a/b")); // already there
    Write("file");
    EXPECT_FALSE(ForceDirectories(dir + "file/sub"));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST(PathStrings, SplitTable)
{
    struct Case {
        const char* name;
        const char* path;
        const char* dir;
        const char* file;
        const char* ext;
        const char* drive;
    };
    const Case cases[] = {
        {R"(C:\Bilder\Urlaub.jpg)", R"(C:\Bilder\)", R"(C:\Bilder)", "Urlaub.jpg", ".jpg", "C:"},
        {R"(C:\Urlaub.jpg)", R"(C:\)", R"(C:\)", "Urlaub.jpg", ".jpg", "C:"},
        {"C:Urlaub.jpg", "C:", "C:", "Urlaub.jpg", ".jpg", "C:"},
        {R"(\\server\share\dir\a.b.jpg)", R"(\\server\share\dir\)", R"(\\server\share\dir)", "a.b.jpg", ".jpg",
         R"(\\server\share)"},
        {R"(\\server\share\a.jpg)", R"(\\server\share\)", R"(\\server\share)", "a.jpg", ".jpg", R"(\\server\share)"},
        {"/home/user/bilder.alt/README", "/home/user/bilder.alt/", "/home/user/bilder.alt", "README", "", ""},
        {"/a.txt", "/", "/", "a.txt", ".txt", ""},
        {"Bilder/", "Bilder/", "Bilder", "", "", ""},
        {R"(mixed\dir/x.Y)", R"(mixed\dir/)", R"(mixed\dir)", "x.Y", ".Y", ""},
        {"/home/u/12:30 Uhr.jpg", "/home/u/", "/home/u", "12:30 Uhr.jpg", ".jpg", ""},
        {"archiv.tar.gz", "", "", "archiv.tar.gz", ".gz", ""},
        {"", "", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
        EXPECT_EQ(ExtractFileDrive(c.name), c.drive) << c.name;
    }
}

TEST(PathStrings, ChangeFileExtTouchesOnlyTheFilePart)
{
    EXPECT_EQ(ChangeFileExt(R"(C:\a.b\file)", ".txt"), R"(C:\a.b\file.txt)");
    EXPECT_EQ(ChangeFileExt("/x/bild.jpg", ".bmp"), "/x/bild.bmp");
    EXPECT_EQ(ChangeFileExt("bild.jpg", ""), "bild");
}

TEST(PathStrings, TrailingDelimiters)
{
    const std::pair<const char*, const char*> include[] = {
        {"", ""}, {"/a", "/a/"}, {"/a/", "/a/"}, {R"(C:\a\)", R"(C:\a\)"}};
    for (const auto& [in, out] : include)
        EXPECT_EQ(IncludeTrailingPathDelimiter(in), out) << in;
    const std::pair<const char*, const char*> exclude[] = {
        {"/a/", "/a"}, {"/a", "/a"}, {"/", "/"}, {R"(C:\)", R"(C:\)"}, {R"(C:\a\)", R"(C:\a)"}, {"a//", "a/"}};
    for (const auto& [in, out] : exclude)
        EXPECT_EQ(ExcludeTrailingPathDelimiter(in), out) << in;
}

TEST(PathStrings, ExtractRelativePathTable)
{
    const char* cases[][3] = {
        {R"(C:\a\b\x.txt)", R"(C:\a\c\y.txt)", R"(..\c\y.txt)"},
        {R"(C:\a\)", R"(C:\a\y.txt)", "y.txt"},
        {R"(C:\A\B\)", R"(c:\a\b\sub\y.txt)", R"(sub\y.txt)"},
        {R"(C:\a\x.txt)", R"(D:\a\y.txt)", R"(D:\a\y.txt)"},
        {"/home/u/show.vis", "/home/u/pics/a.jpg", "pics/a.jpg"},
        {"/home/u/shows/", "/data/a.jpg", "../../../data/a.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractRelativePath(c[0], c[1]), c[2]) << c[0] << " -> " << c[1];
}

TEST(PathStrings, ExpandFileNameFoldsDotsWithoutTouchingTheDisk)
{
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
    EXPECT_EQ(ExpandFileName("/../.."), "/");
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(ExpandFileName("x/../y.txt"), IncludeTrailingPathDelimiter(cwd) + "y.txt");
}

} // namespace
