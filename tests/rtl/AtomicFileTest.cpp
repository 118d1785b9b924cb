#include "platform/rtl/AtomicFile.h"

#include "StorageTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat info { };
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(AtomicFileTest, ReplacesTheFileAndKeepsItsPermissions)
{
    TempFolder folder;
    const std::string path = folder.File("show.vsf");
    WriteBytes(path, "old content");
    chmod(path.c_str(), 0640);
    rtl::WriteFileAtomically(path, std::string("new\0content", 11));
    EXPECT_EQ(ReadBytes(path), std::string("new\0content", 11));
    EXPECT_EQ(ModeOf(path), 0640u);

    const std::string fresh = folder.File("fresh.txt");
    const mode_t mask = umask(022);
    rtl::WriteFileAtomically(fresh, "");
    umask(mask);
    EXPECT_EQ(ReadBytes(fresh), "");
    EXPECT_EQ(ModeOf(fresh), 0644u) << "a new file gets the usual bits for the umask";
}

TEST(AtomicFileTest, SavingThroughALinkReplacesTheFileItPointsAt)
{
    TempFolder folder;
    const std::string target = folder.File("real.ini");
    const std::string link = folder.File("link.ini");
    WriteBytes(target, "old");
    std::filesystem::create_symlink("real.ini", link);
    rtl::WriteFileAtomically(link, "new");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "new");
}

TEST(AtomicFileTest, AFailedSaveLeavesTheOldFileAndNoTemporaryFile)
{
    TempFolder folder;
    EXPECT_THROW(rtl::WriteFileAtomically(folder.File("missing/x.ini"), "data"), EFCreateError);

    const std::string path = folder.File("settings.ini");
    WriteBytes(path, "old");
    const int result = RunWithFileSizeLimit(16, [&] {
        try {
            rtl::WriteFileAtomically(path, std::string(1000, 'x'));
        } catch (const EWriteError& error) {
            return error.ErrorCode == EFBIG ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

} // namespace
