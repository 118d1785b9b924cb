#include "widgets/FileUtil.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ShellApi.h"
#include "rtl/StorageTestSupport.h"
#include "widgets/Dateutil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

TEST(FileUtilNames, WindowsStyleFolderNames)
{
    const struct {
        const char* in;
        const char* normal;
        const char* noBackslash;
    } cases[] = {
        {"", "", ""},
        {"C", "C:\\", "C"},
        {"C:", "C:", "C:"},
        {"C:\\", "C:\\", "C:\\"},
        {"C:\\Bilder", "C:\\Bilder\\", "C:\\Bilder"},
        {"C:\\Bilder\\", "C:\\Bilder\\", "C:\\Bilder"},
        {"\\", "\\", "\\"},
        {"1", "1\\", "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileUtil::NormalDir(c.in), c.normal) << c.in;
        EXPECT_EQ(FileUtil::RemoveBackSlash(c.in), c.noBackslash) << c.in;
    }
    EXPECT_EQ(FileUtil::RemoveBackSlash("C:\\Bilder\\\\"), "C:\\Bilder\\");
}

TEST(FileUtilNames, ValidFileName)
{
    for (const char* good : {"bild.jpg", "bild?.jpg", "*.jpg", "Meine Bilder/a b.vsf"})
        EXPECT_TRUE(FileUtil::ValidFileName(good)) << good;
    for (const char* bad : {"", "a<b", "a>b", "a\"b", "a[1]", "a]", "a|b"})
        EXPECT_FALSE(FileUtil::ValidFileName(bad)) << bad;
}

// Records what a copy tells its progress control.
struct ProgressLog : TCopyProgress {
    std::vector<std::string> calls;
    void SetProgressMax(int64_t v) override { calls.push_back("max " + std::to_string(v)); }
    void SetProgressMin(int64_t v) override { calls.push_back("min " + std::to_string(v)); }
    void SetProgressValue(int64_t v) override { calls.push_back("value " + std::to_string(v)); }
};

class FileUtilFiles : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return temp.File(name); }
    void Make(const std::string& name, const std::string& bytes = "x")
    {
        std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
        WriteBytes(Path(name), bytes);
    }
    bool Exists(const std::string& name) const
    {
        return std::filesystem::exists(std::filesystem::symlink_status(Path(name)));
    }
    void SetReadOnly(const std::string& name) { ::chmod(Path(name).c_str(), 0444); }

    TempFolder temp;
};

TEST_F(FileUtilFiles, CopyReportsProgressAndKeepsTheDate)
{
    const std::string content(8192, 'a');
    Make("src.bin", content);
    const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Path("src.bin").c_str(), times, 0), 0);
    ProgressLog progress;
    FileUtil::CopyFile(Path("src.bin"), Path("neu/dest.bin"), &progress);
    EXPECT_EQ(ReadBytes(Path("neu/dest.bin")), content);
    // Two reads: the second one finds the end.
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"max 8192", "min 0", "value 0", "value 8192", "value 8192", "value 0"}));
    EXPECT_EQ(FileUtil::FileDateTime(Path("neu/dest.bin")), FileUtil::FileDateTime(Path("src.bin")));
}

TEST_F(FileUtilFiles, CopyIntoAFolderAndOfLargerFiles)
{
    std::string content(20000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    Make("src.bin", content);
    std::filesystem::create_directory(Path("ziel"));
    FileUtil::CopyFile(Path("src.bin"), Path("ziel"));
    EXPECT_EQ(ReadBytes(Path("ziel/src.bin")), content);
}

TEST_F(FileUtilFiles, CopyFailuresNameTheFile)
{
    try {
        FileUtil::CopyFile(Path("fehlt.bin"), Path("dest.bin"));
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find("fehlt.bin"), std::string::npos) << e.Message;
    }
    Make("src.bin", "neu");
    Make("dest.bin", "alt");
    if (::geteuid() != 0) {
        SetReadOnly("dest.bin");
        EXPECT_THROW(FileUtil::CopyFile(Path("src.bin"), Path("dest.bin")), EFCreateError);
        EXPECT_EQ(ReadBytes(Path("dest.bin")), "alt");
    }
    FileUtil::CopyFileEx(Path("src.bin"), Path("dest.bin"), true, false);
    EXPECT_EQ(ReadBytes(Path("dest.bin")), "neu");
}

TEST_F(FileUtilFiles, CopyOntoItselfKeepsTheFile)
{
    Make("a/src.bin", "Inhalt");
    EXPECT_THROW(FileUtil::CopyFile(Path("a/src.bin"), Path("a")), EFCreateError);
    EXPECT_THROW(FileUtil::CopyFile(Path("a/src.bin"), Path("a/../a/src.bin")), EFCreateError);
    EXPECT_EQ(ReadBytes(Path("a/src.bin")), "Inhalt");
}

TEST_F(FileUtilFiles, MoveReportsTheOutcome)
{
    Make("a.txt", "A");
    EXPECT_TRUE(FileUtil::MoveFile(Path("a.txt"), Path("b.txt")));
    EXPECT_FALSE(Exists("a.txt"));
    EXPECT_EQ(ReadBytes(Path("b.txt")), "A");
    EXPECT_FALSE(FileUtil::MoveFile(Path("fehlt.txt"), Path("c.txt")));
    EXPECT_TRUE(FileUtil::MoveFileEx(Path("b.txt"), Path("c.txt"), true));
    EXPECT_EQ(ReadBytes(Path("c.txt")), "A");
}

TEST_F(FileUtilFiles, SizesDatesAndAttributes)
{
    Make("f.txt", "12345");
    std::filesystem::create_directory(Path("dir"));
    EXPECT_EQ(FileUtil::GetFileSize(Path("f.txt")), 5);
    EXPECT_EQ(FileUtil::GetFileSize(Path("dir")), -1);
    EXPECT_EQ(FileUtil::GetFileSize(Path("fehlt")), -1);
    EXPECT_EQ(FileUtil::FileDateTime(Path("fehlt")), Dateutil::NullDate);
    EXPECT_NE(FileUtil::FileDateTime(Path("f.txt")), Dateutil::NullDate);
    EXPECT_TRUE(FileUtil::DirExists(Path("dir")));
    EXPECT_FALSE(FileUtil::DirExists(Path("f.txt")));
    EXPECT_FALSE(FileUtil::DirExists(""));
    EXPECT_TRUE(FileUtil::HasAttr(Path("dir"), faDirectory));
    EXPECT_FALSE(FileUtil::HasAttr(Path("f.txt"), faDirectory));
    EXPECT_FALSE(FileUtil::HasAttr(Path("f.txt"), faReadOnly));
    SetReadOnly("f.txt");
    EXPECT_TRUE(FileUtil::HasAttr(Path("f.txt"), faReadOnly | faArchive));
    EXPECT_FALSE(FileUtil::HasAttr(Path("fehlt"), 0));
}

TEST_F(FileUtilFiles, DeleteFilesByMask)
{
    Make("a.jpg");
    Make("b.JPG");
    Make(".c.jpg");
    Make("d.txt");
    std::filesystem::create_directory(Path("e.jpg"));
    EXPECT_TRUE(FileUtil::DeleteFiles(Path("*.jpg")));
    EXPECT_FALSE(Exists("a.jpg"));
    EXPECT_FALSE(Exists("b.JPG"));
    EXPECT_TRUE(Exists(".c.jpg"));
    EXPECT_TRUE(Exists("d.txt"));
    EXPECT_TRUE(Exists("e.jpg"));
    EXPECT_FALSE(FileUtil::DeleteFiles(Path("*.png")));

    TStringList masks;
    EXPECT_TRUE(FileUtil::DeleteFilesEx(masks));
    masks.Add(Path("*.txt"));
    masks.Add(Path("*.png"));
    EXPECT_FALSE(FileUtil::DeleteFilesEx(masks));
    EXPECT_FALSE(Exists("d.txt"));
}

TEST_F(FileUtilFiles, ClearDirEmptiesTheTree)
{
    Make("tree/a.txt");
    Make("tree/sub/b.txt");
    Make("tree/sub/deeper/c.txt");
    Make("tree/.hidden/d.txt");
    SetReadOnly("tree/sub/b.txt");
    EXPECT_TRUE(FileUtil::ClearDir(Path("tree"), false));
    EXPECT_TRUE(Exists("tree"));
    EXPECT_FALSE(Exists("tree/a.txt"));
    EXPECT_FALSE(Exists("tree/sub/b.txt"));
    EXPECT_TRUE(Exists("tree/sub/deeper")); // folders stay unless asked
    EXPECT_TRUE(Exists("tree/.hidden/d.txt"));
    std::filesystem::remove_all(Path("tree/.hidden"));
    EXPECT_TRUE(FileUtil::ClearDir(Path("tree"), true));
    EXPECT_FALSE(Exists("tree"));
    EXPECT_FALSE(FileUtil::ClearDir(Path("tree"), true));
}

TEST_F(FileUtilFiles, ClearDirRemovesLinksNotWhatTheyPointTo)
{
    Make("outside/keep.txt");
    Make("tree/a.txt");
    std::filesystem::create_directory_symlink(Path("outside"), Path("tree/link"));
    EXPECT_TRUE(FileUtil::ClearDir(Path("tree"), true));
    EXPECT_FALSE(Exists("tree"));
    EXPECT_TRUE(Exists("outside/keep.txt"));
}

TEST_F(FileUtilFiles, ClearDirNeverTouchesTheRoot)
{
    EXPECT_FALSE(FileUtil::ClearDir("/", true));
    EXPECT_FALSE(FileUtil::ClearDir("/.", false));
    EXPECT_TRUE(std::filesystem::exists("/tmp"));
}

TEST_F(FileUtilFiles, ByteRangeLocks)
{
    Make("lock.bin", std::string(100, 'x'));
    const int fd = ::open(Path("lock.bin").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(FileUtil::FileLock(fd, 10, 20), 0);
    EXPECT_EQ(FileUtil::FileUnlock(fd, 10, 20), 0);
    EXPECT_NE(FileUtil::FileLock(-1, 0, 1), 0);
    ::close(fd);
}

TEST_F(FileUtilFiles, LongAndShortNamesAreTheNames)
{
    Make("Meine Bilder/Urlaub 2000.jpg");
    const std::string full = Path("Meine Bilder/Urlaub 2000.jpg");
    EXPECT_EQ(FileUtil::ShortToLongFileName(full), "Urlaub 2000.jpg");
    EXPECT_EQ(FileUtil::LongToShortFileName(full), "Urlaub 2000.jpg");
    EXPECT_EQ(FileUtil::ShortToLongFileName(Path("fehlt.jpg")), "");
    EXPECT_EQ(FileUtil::ShortToLongPath(full), full);
    EXPECT_EQ(FileUtil::LongToShortPath(Path("Meine Bilder")), Path("Meine Bilder"));
}

// --- the desktop's file operations, the folder browser and links ---

class FileUtilShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::BeginDialogScript();
    }
    void TearDown() override { ui::EndDialogScript(); }
    std::string Path(const std::string& name) const { return temp.File(name); }
    void Make(const std::string& name, const std::string& bytes = "x")
    {
        std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
        WriteBytes(Path(name), bytes);
    }
    TempFolder temp;
};

TEST_F(FileUtilShell, FileOperatorSplitsItsTextsButListsKeepNamesWhole)
{
    Make("a.txt", "a");
    Make("b.txt", "b");
    Make("c;d.txt", "cd");
    Make("c", "not me");
    Make("d.txt", "not me either");
    std::filesystem::create_directories(Path("out"));
    TKsFileOperator op(nullptr);
    op.Source = Path("a.txt") + ";" + Path("b.txt");
    op.Destination = Path("out");
    op.Options = {flSilent};
    EXPECT_TRUE(op.Execute());
    EXPECT_EQ(ReadBytes(Path("out/a.txt")), "a");
    EXPECT_EQ(ReadBytes(Path("out/b.txt")), "b");

    op.Operation = foDelete;
    op.Options = {flSilent, flNoConfirmation};
    EXPECT_TRUE(op.ExecuteOn({Path("c;d.txt")}, {}));
    EXPECT_FALSE(std::filesystem::exists(Path("c;d.txt")));
    EXPECT_EQ(ReadBytes(Path("c")), "not me");
    EXPECT_EQ(ReadBytes(Path("d.txt")), "not me either");
    EXPECT_FALSE(op.Aborted());
}

TEST_F(FileUtilShell, ShellCopyMoveRenamesInOneFolderAndAbortsWhenDeclined)
{
    Make("x/a.txt", "a");
    FileUtil::ShellCopyMove(Path("x/a.txt"), Path("x/b.txt"), false, true, false);
    EXPECT_EQ(ReadBytes(Path("x/b.txt")), "a");
    EXPECT_FALSE(std::filesystem::exists(Path("x/a.txt")));
    Make("y/b.txt", "old");
    ui::ScriptAnswer(mrNo);
    EXPECT_THROW(FileUtil::ShellCopyMove(Path("x/b.txt"), Path("y/b.txt"), true, true, false), EAbort);
    EXPECT_EQ(ReadBytes(Path("y/b.txt")), "old");
    EXPECT_EQ(ReadBytes(Path("x/b.txt")), "a");
    EXPECT_THROW(FileUtil::ShellCopyMove(Path("none"), Path("y"), false, false, false), EAbort);
    ui::ScriptAnswer(mrNo);
    EXPECT_THROW(FileUtil::CopyFileEx(Path("x/b.txt"), Path("y/b.txt"), false, true), EAbort) << "asked, declined";
    EXPECT_EQ(ReadBytes(Path("y/b.txt")), "old");
    EXPECT_EQ(ui::ScriptedAnswersLeft(), 0);
    FileUtil::CopyFileEx(Path("x/b.txt"), Path("y/b.txt"), true, true);
    EXPECT_EQ(ReadBytes(Path("y/b.txt")), "a");
    EXPECT_TRUE(FileUtil::MoveFileEx(Path("x/b.txt"), Path("y/b.txt"), true));
    EXPECT_FALSE(std::filesystem::exists(Path("x/b.txt")));
}

TEST_F(FileUtilShell, BrowseDirectoryTakesTheChoiceWithoutATrailingSlash)
{
    const struct {
        int result;
        std::string answer;
        bool chosen;
        std::string folder;
    } cases[] = {
        {IDOK, "/home/u/Bilder/", true, "/home/u/Bilder"},
        {IDOK, "/", true, "/"},
        {IDCANCEL, "", false, "/start"},
    };
    for (const auto& c : cases) {
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(c.result, c.answer);
        std::string folder = "/start";
        EXPECT_EQ(FileUtil::BrowseDirectory(folder, "Ordner wählen", 0), c.chosen);
        EXPECT_EQ(folder, c.folder);
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Caption, "Ordner wählen");
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Value, "/start");
    }
    std::string computer = "server";
    EXPECT_FALSE(FileUtil::BrowseComputer(computer, "Computer", 0));
    EXPECT_EQ(computer, "server");
}

TEST_F(FileUtilShell, FileLinksAreDesktopEntriesInTheSpecialFolder)
{
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    Make("bin/Wallpaper", "#!/bin/sh\n");
    ::chmod(Path("bin/Wallpaper").c_str(), 0755);
    FileUtil::CreateFileLink(Path("bin/Wallpaper"), "WallPaper-Vistelo", CSIDL_STARTUP);
    const std::string entry = ReadBytes(Path("config/autostart/WallPaper-Vistelo.desktop"));
    EXPECT_NE(entry.find("Exec=" + Path("bin/Wallpaper") + "\n"), std::string::npos) << entry;
    FileUtil::DeleteFileLink("WallPaper-Vistelo", CSIDL_STARTUP);
    EXPECT_FALSE(std::filesystem::exists(Path("config/autostart/WallPaper-Vistelo.desktop")));
    EXPECT_THROW(FileUtil::CreateFileLink(Path("bin/Wallpaper"), "x", CSIDL_NETWORK), Exception);
    if (saved)
        ::setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
