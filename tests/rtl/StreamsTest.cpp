#include "platform/rtl/Streams.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Bytes(TStream& stream)
{
    TMemoryStream copy;
    copy.CopyFrom(stream, 0);
    return std::string(reinterpret_cast<const char*>(copy.Memory()), static_cast<size_t>(copy.Size()));
}

TEST(MemoryStream, GrowsAndFillsGapsAfterASeekPastTheEnd)
{
    TMemoryStream stream;
    stream.WriteBuffer("abc", 3);
    EXPECT_EQ(stream.Size(), 3);
    EXPECT_EQ(stream.Seek(2, soFromEnd), 5);
    EXPECT_EQ(stream.Size(), 3); // seeking alone does not grow
    char byte = 'x';
    EXPECT_EQ(stream.Read(&byte, 1), 0);
    stream.WriteBuffer("Z", 1);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(Bytes(stream), std::string("abc\0\0Z", 6));

    stream.SetPosition(1);
    stream.WriteBuffer("XY", 2); // overwrite in the middle
    EXPECT_EQ(Bytes(stream), std::string("aXY\0\0Z", 6));
}

TEST(MemoryStream, SeekOrigins)
{
    TStringStream stream("0123456789");
    struct Case {
        int64_t offset;
        uint16_t origin;
        int64_t position;
    };
    const Case cases[] = {
        {4, soFromBeginning, 4}, {2, soFromCurrent, 6}, {-3, soFromCurrent, 3},
        {-1, soFromEnd, 9},      {0, soFromEnd, 10},    {5, soFromEnd, 15},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stream.Seek(c.offset, c.origin), c.position);
    EXPECT_THROW(stream.Seek(-1, soFromBeginning), EInOutError);
    EXPECT_THROW(stream.Seek(-11, soFromEnd), EInOutError);
    EXPECT_THROW(stream.Seek(0, 7), EInOutError);
    EXPECT_EQ(stream.Position(), 15); // a refused seek leaves the position
}

TEST(MemoryStream, ShortReadsRaiseButPartialReadsReportTheirCount)
{
    TStringStream stream("abcd");
    char buffer[8] = {};
    stream.ReadBuffer(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_THROW(stream.ReadBuffer(buffer, 2), EReadError);
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(buffer, 8), 4);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    stream.ReadBuffer(buffer, 0); // nothing asked, nothing missing
}

TEST(MemoryStream, SetSizeTruncatesAndLimitsThePosition)
{
    TStringStream stream("abcdef");
    stream.Seek(0, soFromEnd);
    stream.SetSize(2);
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(stream.DataString(), "ab");
    stream.SetSize(4);
    EXPECT_EQ(stream.DataString(), std::string("ab\0\0", 4));
    EXPECT_THROW(stream.SetSize(-1), EInOutError);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, SizesBeyondTheLimitRaiseOutOfMemoryWithoutAllocating)
{
    TMemoryStream stream;
    EXPECT_THROW(stream.SetSize(int64_t{1} << 40), EOutOfMemory);
    stream.Seek(std::numeric_limits<int64_t>::max(), soFromBeginning);
    EXPECT_THROW(stream.WriteBuffer("x", 1), EOutOfMemory);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(StringStream, ReadsAndWritesStrings)
{
    TStringStream stream("Grüße");
    EXPECT_EQ(stream.ReadString(3), "Gr\xC3");
    EXPECT_EQ(stream.ReadString(100),
              "\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(stream.ReadString(5), "");
    stream.SetPosition(2);
    stream.WriteString("ue");
    EXPECT_EQ(stream.DataString(), "Grueße");
}

TEST(Stream, CopyFromCopiesAWholeSourceOrPartFromItsPosition)
{
    TStringStream source("0123456789");
    TMemoryStream target;
    source.SetPosition(7);
    EXPECT_EQ(target.CopyFrom(source, 0), 10); // 0: all, from the start
    source.SetPosition(2);
    EXPECT_EQ(target.CopyFrom(source, 3), 3);
    EXPECT_EQ(Bytes(target), "0123456789234");
    EXPECT_THROW(target.CopyFrom(source, 6), EReadError); // only 5 left

    const std::string big(200000, 'q');
    TStringStream large(big);
    TMemoryStream copy;
    copy.CopyFrom(large, 0);
    EXPECT_EQ(Bytes(copy), big);
}

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/rtl-streams-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string ReadFile(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void WriteFile(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }

    fs::path dir_;
};

TEST_F(FileStreamTest, CreateMakesAnEmptyFileOrTruncatesAnOldOne)
{
    WriteFile("old.bin", "old contents");
    {
        TFileStream stream(Path("old.bin"), fmCreate | fmShareExclusive);
        EXPECT_EQ(stream.Size(), 0);
        stream.WriteBuffer("neu", 3);
        stream.SetPosition(0);
        char back[3];
        stream.ReadBuffer(back, 3); // fmCreate opens for reading too
        EXPECT_EQ(std::string(back, 3), "neu");
    }
    EXPECT_EQ(ReadFile("old.bin"), "neu");
    {
        TFileStream created(Path("new.bin"), fmCreate);
    }
    EXPECT_TRUE(fs::exists(Path("new.bin")));
}

TEST_F(FileStreamTest, OpenModesKeepTheContentsAndLimitAccess)
{
    WriteFile("data.bin", "0123456789");
    {
        TFileStream writer(Path("data.bin"), fmOpenWrite | fmShareDenyNone);
        EXPECT_EQ(writer.Size(), 10);
        writer.Seek(-2, soFromEnd);
        writer.WriteBuffer("XYZ", 3);
        char byte;
        writer.SetPosition(0);
        EXPECT_THROW(writer.Read(&byte, 1), EReadError);
    }
    EXPECT_EQ(ReadFile("data.bin"), "01234567XYZ");
    {
        TFileStream reader(Path("data.bin"), fmOpenRead | fmShareDenyWrite);
        char buffer[20];
        EXPECT_EQ(reader.Read(buffer, 20), 11);
        EXPECT_THROW(reader.WriteBuffer("a", 1), EWriteError);
        reader.SetPosition(5);
        EXPECT_THROW(reader.ReadBuffer(buffer, 7), EReadError);
    }
    {
        TFileStream both(Path("data.bin"), fmOpenReadWrite);
        both.SetSize(4);
        both.Seek(0, soFromEnd);
        both.WriteBuffer("!", 1);
        both.SetPosition(0);
        char buffer[5];
        both.ReadBuffer(buffer, 5);
        EXPECT_EQ(std::string(buffer, 5), "0123!");
    }
}

TEST_F(FileStreamTest, FailuresNameTheFile)
{
    try {
        TFileStream missing(Path("missing.bin"), fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find("missing.bin"), std::string::npos) << e.Message;
        EXPECT_EQ(e.ErrorCode, ENOENT);
    }
    EXPECT_THROW(TFileStream(Path("no/such/dir.bin"), fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir_.string(), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(Path("missing.bin"), fmOpenReadWrite), EInOutError);
}

TEST_F(FileStreamTest, MemoryStreamsLoadAndSaveFiles)
{
    const std::string bytes("\0\x01\xFFGrüße\r\n", 11);
    WriteFile("in.bin", bytes);
    TMemoryStream stream;
    stream.LoadFromFile(Path("in.bin"));
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(Bytes(stream), bytes);
    stream.SaveToFile(Path("out.bin"));
    EXPECT_EQ(ReadFile("out.bin"), bytes);

    TFileStream file(Path("out.bin"), fmOpenRead);
    file.SetPosition(5);
    TMemoryStream fromStream;
    fromStream.LoadFromStream(file); // always the whole stream
    EXPECT_EQ(Bytes(fromStream), bytes);
    EXPECT_THROW(stream.LoadFromFile(Path("missing.bin")), EFOpenError);
}

} // namespace
