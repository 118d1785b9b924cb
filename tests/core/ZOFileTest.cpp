#include "core/ZOFile.h"

#include "ContainerBytes.h"
#include "platform/rtl/Math.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using namespace ContainerBytes;

namespace {

std::string ErrorText(const std::string& fileName, const std::string& text)
{
    return "\nBei der Arbeit mit der Datei \"" + fileName + "\" trat folgender Fehler auf:\n\n" + text;
}

// The message of the EZOFileError that action raises; "" when it raises none.
std::string RaisedText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EZOFileError& e) {
        return e.Message;
    }
    return "";
}

// Walks every chunk of a container the way readers do.
std::vector<s_chunk_header> WalkChunks(c_zofile& zo)
{
    std::vector<s_chunk_header> chunks;
    for (std::int32_t i = 0; i < zo.chunkcount; ++i) {
        const std::int64_t start = zo.get_file_position();
        s_chunk_header chunk;
        zo.read_chunk_header(chunk);
        chunks.push_back(chunk);
        zo.set_file_position(start + chunk.length);
    }
    return chunks;
}

class ZOFileTest : public ScratchFolder { };

TEST_F(ZOFileTest, ContainerWithoutChunksIsItsHeaderAlone)
{
    const std::string name = PathOf("empty.zo");
    {
        c_zofile zo(name, zoCreate);
    }
    const std::vector<std::uint8_t> expected{0x5A, 0x4F, 0x53, 0x46, 0, 0, 0, 0, 0x01, 0x00, 0x01, 0x00, 0, 0, 0, 0,
                                             0,    0,    0,    0,    0, 0, 0, 0, 0,    0,    0,    0,    0, 0, 0, 0};
    EXPECT_EQ(Read("empty.zo"), expected);
}

TEST_F(ZOFileTest, ChunkStepsWriteLengthIdAndCountIntoTheFile)
{
    const std::string name = PathOf("one.zo");
    {
        c_zofile zo(name, zoCreate);
        zo.header.headervalue = 513;
        zo.set_format(1281);
        zo.set_fileformatversion(513);
        const std::int64_t start = zo.write_dummy_chunk_header();
        zo.write_int(7);
        zo.write_bool(true);
        zo.write_string("ab");
        const std::int64_t end = zo.get_file_position();
        const std::int32_t length = zo.get_length(start);
        EXPECT_EQ(length, 12 + 4 + 1 + 6);
        zo.set_file_position(start);
        zo.write_chunk_header(256, length);
        zo.write_chunk();
        zo.set_file_position(end);
        zo.close();
    }
    const Bytes expected = Bytes().Header(513, 1281, 1, 513).Chunk(256, Bytes().I32(7).U8(1).Str("ab"));
    EXPECT_EQ(Read("one.zo"), expected.data);
}

TEST_F(ZOFileTest, HeaderCountsOnlyCompletedChunks)
{
    const std::string name = PathOf("broken.zo");
    {
        c_zofile zo(name, zoCreate);
        const std::int64_t first = zo.write_dummy_chunk_header();
        zo.write_int(1);
        const std::int32_t length = zo.get_length(first);
        zo.set_file_position(first);
        zo.write_chunk_header(300, length);
        zo.write_chunk();
        zo.set_file_position(first + length);
        // A second chunk broken off after its placeholder and one field.
        zo.write_dummy_chunk_header();
        zo.write_int(2);
    }
    const Bytes expected =
        Bytes().Header(zoDefaultHeaderValue, 0, 1, 0).Chunk(300, Bytes().I32(1)).Raw("CHNK").I32(0).I32(0).I32(2);
    EXPECT_EQ(Read("broken.zo"), expected.data);
}

TEST_F(ZOFileTest, ReaderWalksChunksByCountAndReadsEveryFieldKind)
{
    const Bytes fields = Bytes()
                             .I32(-5)
                             .U8(1)
                             .U8(0)
                             .Str("")
                             .Str("ab")
                             .Str(std::string_view("a\0b", 3))
                             .Str("\xE4")                         // "ä" in Windows-1252
                             .Str("Spa\xDF\x85")                  // "Spaß…" in Windows-1252, valid UTF-8 by chance
                             .Str("\xEF\xBB\xBF\xC3\xA4\xCE\xA9") // "äΩ" stored as UTF-8 after the mark
                             .I32(2)
                             .Raw({0xA9, 0x03, 0x78, 0x00}) // wide "Ωx"
                             .I32(3)
                             .Raw({0x61, 0x00, 0x00, 0x00, 0x62, 0x00}) // wide "a", cut at the zero
                             .I32(2)
                             .Raw({0x00, 0xD8, 0x41, 0x00}) // an unpaired surrogate, then "A"
                             .Raw({1, 2, 3})
                             .Raw("unread tail");
    const Bytes copyright = Bytes().Str("T").Str("A").Str("C");
    const std::string name = Write("fields.zo",
                                   Bytes()
                                       .Header(65537, 1025, 3, 7)
                                       .Chunk(4711, Bytes().Raw("skipped"))
                                       .Chunk(256, fields)
                                       .Chunk(zoCopyrightChunkId, copyright)
                                       .Raw("bytes after the last counted chunk"));
    c_zofile zo(name, zoRead);
    EXPECT_EQ(zo.header.format, 1025);
    EXPECT_EQ(zo.header.fileformatversion, 7);
    ASSERT_EQ(zo.chunkcount, 3);
    for (std::int32_t i = 0; i < zo.chunkcount; ++i) {
        const std::int64_t start = zo.get_file_position();
        s_chunk_header chunk;
        zo.read_chunk_header(chunk);
        if (chunk.id == 256) {
            EXPECT_EQ(zo.read_int(), -5);
            EXPECT_TRUE(zo.read_bool());
            EXPECT_FALSE(zo.read_bool());
            EXPECT_EQ(zo.read_string(), "");
            EXPECT_EQ(zo.read_string(), "ab");
            EXPECT_EQ(zo.read_string(), "a");
            EXPECT_EQ(zo.read_string(), "ä");
            EXPECT_EQ(zo.read_string(), "Spaß…");
            EXPECT_EQ(zo.read_string(), "äΩ");
            EXPECT_EQ(zo.read_widestring(), "Ωx");
            EXPECT_EQ(zo.read_widestring(), "a");
            EXPECT_EQ(zo.read_widestring(), "\uFFFDA");
            std::uint8_t data[3] = {};
            zo.read_data(data, 3);
            EXPECT_EQ(data[2], 3);
        } else if (chunk.id == zoCopyrightChunkId) {
            s_copyright_information info;
            zo.read_copyright_chunk(info);
            EXPECT_EQ(info.title + info.author + info.copyright, "TAC");
        }
        zo.set_file_position(start + chunk.length);
    }
}

TEST_F(ZOFileTest, TextIsStoredAsWindows1252WhereItFitsElseAsUtf8AfterTheMark)
{
    const std::string name = PathOf("text.zo");
    {
        c_zofile zo(name, zoCreate);
        zo.write_string("ä€");
        zo.write_string("Ω");
        zo.write_widestring("Ωx");
        zo.write_widestring("\xFF"); // not UTF-8
        zo.close();
    }
    const Bytes expected = Bytes()
                               .Header(zoDefaultHeaderValue, 0, 0, 0)
                               .Str("\xE4\x80")
                               .Str("\xEF\xBB\xBF\xCE\xA9")
                               .I32(2)
                               .Raw({0xA9, 0x03, 0x78, 0x00})
                               .I32(1)
                               .Raw({0xFD, 0xFF});
    EXPECT_EQ(Read("text.zo"), expected.data);
}

TEST_F(ZOFileTest, CopyrightChunkIsWrittenByTheChunkStepsAndLeavesThePositionBehindIt)
{
    const std::string name = PathOf("copyright.zo");
    {
        c_zofile zo(name, zoCreate);
        zo.write_copyright_chunk({"Titel", "Autor", "(c)"});
        zo.write_int(99);
        zo.close();
    }
    const Bytes expected = Bytes()
                               .Header(zoDefaultHeaderValue, 0, 1, 0)
                               .Chunk(zoCopyrightChunkId, Bytes().Str("Titel").Str("Autor").Str("(c)"))
                               .I32(99);
    EXPECT_EQ(Read("copyright.zo"), expected.data);
}

TEST_F(ZOFileTest, UpdateModeAppendsAChunkAndRewritesTheCount)
{
    const std::string name = Write("update.zo", Bytes().Header(256, 1282, 1, 256).Chunk(256, Bytes().I32(1)));
    {
        c_zofile zo(name, zoUpdate);
        zo.set_file_position(zo.get_file_size());
        const std::int64_t start = zo.write_dummy_chunk_header();
        zo.write_bool(true);
        const std::int32_t length = zo.get_length(start);
        zo.set_file_position(start);
        zo.write_chunk_header(257, length);
        zo.write_chunk();
        zo.close();
    }
    const Bytes expected = Bytes().Header(256, 1282, 2, 256).Chunk(256, Bytes().I32(1)).Chunk(257, Bytes().U8(1));
    EXPECT_EQ(Read("update.zo"), expected.data);
}

TEST_F(ZOFileTest, OpeningFailuresRaiseTheirCodes)
{
    const std::string missing = PathOf("missing.zo");
    const std::string shortHeader = Write("short.zo", std::vector<std::uint8_t>(31, 0));
    const std::string empty = Write("empty.zo", std::vector<std::uint8_t>{});
    std::vector<std::uint8_t> otherMagic = Bytes().Header(1, 1, 0, 1).data;
    otherMagic[3] = 'X';
    const std::string foreign = Write("foreign.zo", otherMagic);
    const std::string noFolder = PathOf("no/such/folder.zo");
    struct Case {
        std::string file;
        std::int32_t mode;
        std::string text;
    } cases[] = {
        {missing, 0, "Unbekannter Dateimodus!"},
        {missing, 4, "Unbekannter Dateimodus!"},
        {missing, zoRead, "Datei kann nicht gefunden werden!"},
        {missing, zoUpdate, "Datei kann nicht gefunden werden!"},
        {noFolder, zoCreate, "Datei konnte nicht erstellt werden!"},
        {shortHeader, zoRead, "Fehler beim Lesen der Datei!"},
        {empty, zoRead, "Fehler beim Lesen der Datei!"},
        {foreign, zoRead, "Keine ZOSF-Datei!"},
        {foreign, zoUpdate, "Keine ZOSF-Datei!"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RaisedText([&] { c_zofile zo(c.file, c.mode); }), ErrorText(c.file, c.text))
            << c.file << " mode " << c.mode;
}

TEST_F(ZOFileTest, AFileThatExistsButCannotBeOpenedRaisesMinus2)
{
    // A socket exists in the folder but cannot be opened as a file, also for root.
    const std::string name = PathOf("socket.zo");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(name.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, name.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(RaisedText([&] { c_zofile zo(name, zoRead); }), ErrorText(name, "Datei kann nicht geöffnet werden!"));
    ::close(fd);
}

TEST_F(ZOFileTest, DamagedChunkHeadersRaiseMinus5OrMinus8)
{
    struct Case {
        const char* what;
        Bytes chunk;
        const char* text;
    } cases[] = {
        {"other magic", Bytes().Raw("CHNX").I32(256).I32(12), "Falscher Chunkheader!"},
        {"length below the header", Bytes().Raw("CHNK").I32(256).I32(11), "Falscher Chunkheader!"},
        {"length zero", Bytes().Raw("CHNK").I32(256).I32(0), "Falscher Chunkheader!"},
        {"negative length", Bytes().Raw("CHNK").I32(256).I32(-12), "Falscher Chunkheader!"},
        {"cut header", Bytes().Raw("CHNK").I32(256), "Fehler beim Lesen der Datei!"},
    };
    for (const Case& c : cases) {
        const std::string name = Write("chunk.zo", Bytes().Header(1, 1, 1, 1).Raw(c.chunk.data));
        c_zofile zo(name, zoRead);
        EXPECT_EQ(RaisedText([&] { WalkChunks(zo); }), ErrorText(name, c.text)) << c.what;
    }
}

TEST_F(ZOFileTest, CountsTheFileCannotHoldAreReadErrorsWithoutAllocating)
{
    const std::string readError = "Fehler beim Lesen der Datei!";
    struct Case {
        const char* what;
        Bytes field;
        std::function<void(c_zofile&)> read;
    } cases[] = {
        {"huge string", Bytes().I32(0x7FFFFFFF).Raw("abc"), [](c_zofile& zo) { zo.read_string(); }},
        {"negative string", Bytes().I32(-1).Raw("abc"), [](c_zofile& zo) { zo.read_string(); }},
        {"string one byte short", Bytes().I32(4).Raw("abc"), [](c_zofile& zo) { zo.read_string(); }},
        {"huge wide string", Bytes().I32(0x40000000).Raw("abcd"), [](c_zofile& zo) { zo.read_widestring(); }},
        {"wide string one unit short", Bytes().I32(2).Raw("abc"), [](c_zofile& zo) { zo.read_widestring(); }},
        {"negative wide string", Bytes().I32(-2), [](c_zofile& zo) { zo.read_widestring(); }},
        {"huge block", Bytes().Raw("abc"), [](c_zofile& zo) { zo.read_bytes(0x7FFFFFFF); }},
        {"negative block", Bytes().Raw("abc"), [](c_zofile& zo) { zo.read_bytes(-1); }},
        {"data past the end", Bytes().Raw("abc"),
         [](c_zofile& zo) {
             std::uint8_t buffer[4];
             zo.read_data(buffer, 4);
         }},
        {"integer past the end", Bytes().Raw("abc"), [](c_zofile& zo) { zo.read_int(); }},
        {"bool at the end", Bytes(), [](c_zofile& zo) { zo.read_bool(); }},
    };
    for (const Case& c : cases) {
        const std::string name = Write("field.zo", Bytes().Header(1, 1, 0, 1).Raw(c.field.data));
        c_zofile zo(name, zoRead);
        EXPECT_EQ(RaisedText([&] { c.read(zo); }), ErrorText(name, readError)) << c.what;
    }
}

TEST_F(ZOFileTest, EveryCodeHasItsText)
{
    const std::pair<std::int32_t, const char*> table[] = {
        {0, "kein Fehler"},
        {-1, "Unbekannter Dateimodus!"},
        {-2, "Datei kann nicht geöffnet werden!"},
        {-3, "Datei kann nicht gefunden werden!"},
        {-4, "Keine ZOSF-Datei!"},
        {-5, "Falscher Chunkheader!"},
        {-6, "Falsches Dateiformat!"},
        {-7, "Datei konnte nicht erstellt werden!"},
        {-8, "Fehler beim Lesen der Datei!"},
        {-9, "Fehler beim Schreiben der Datei!"},
        {-10, "Unbekannter Fehler!"},
        {1, "Unbekannter Fehler!"},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(c_zofile::error_message(code), text) << code;

    const std::string name = Write("any.zo", Bytes().Header(1, 1, 0, 1));
    c_zofile zo(name, zoRead);
    try {
        zo.user_error(zoErrWrongFormat);
        FAIL() << "user_error returned";
    } catch (const EZOFileError& e) {
        EXPECT_EQ(e.FileName, name);
        EXPECT_EQ(e.Message, ErrorText(name, "Falsches Dateiformat!"));
        EXPECT_STREQ(e.what(), e.Message.c_str());
    }
}

TEST_F(ZOFileTest, FailedWritesRaiseOnCloseAndTheDestructorStaysQuiet)
{
    // Every write to /dev/full fails, however late the buffered bytes reach it.
    auto writeChunk = [](c_zofile& zo) {
        const std::int64_t start = zo.write_dummy_chunk_header();
        zo.write_string(std::string(100000, 'x'));
        const std::int32_t length = zo.get_length(start);
        zo.set_file_position(start);
        zo.write_chunk_header(256, length);
        zo.write_chunk();
    };
    const std::string full = "/dev/full";
    EXPECT_EQ(RaisedText([&] {
                  c_zofile zo(full, zoCreate);
                  writeChunk(zo);
                  zo.close();
              }),
              ErrorText(full, "Fehler beim Schreiben der Datei!"));
    EXPECT_NO_THROW({
        c_zofile zo(full, zoCreate);
        try {
            writeChunk(zo);
        } catch (const EZOFileError&) {
        }
    });
}

TEST_F(ZOFileTest, PositionsAndAClosedContainer)
{
    const std::string name = Write("pos.zo", Bytes().Header(1, 1, 0, 1).I32(10).I32(20).I32(30));
    c_zofile zo(name, zoRead);
    EXPECT_EQ(zo.get_file_position(), 32);
    EXPECT_EQ(zo.get_file_size(), 44);
    zo.Skip(4);
    EXPECT_EQ(zo.read_int(), 20);
    EXPECT_EQ(zo.bytes_left(), 4);
    zo.set_file_position(32);
    EXPECT_EQ(zo.read_int(), 10);
    zo.set_file_position(100);
    EXPECT_EQ(zo.bytes_left(), 0);
    EXPECT_NE(RaisedText([&] { zo.read_int(); }), "");

    zo.close();
    EXPECT_EQ(zo.mode, zoClosed);
    EXPECT_EQ(zo.get_file_position(), -1);
    EXPECT_EQ(zo.get_file_size(), -1);
    zo.set_file_position(40);
    zo.Skip(4);
    EXPECT_EQ(zo.get_file_position(), -1);
    EXPECT_NO_THROW(zo.close());
}

TEST_F(ZOFileTest, LargeFieldsAndBackwardSeeksReadBackExactly)
{
    // Larger than the container's buffers, mixed with small fields.
    std::vector<std::uint8_t> block(200000);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    const std::string name = PathOf("large.zo");
    {
        c_zofile zo(name, zoCreate);
        for (std::int32_t i = 0; i < 30000; ++i)
            zo.write_int(i);
        zo.write_data(block.data(), static_cast<std::int32_t>(block.size()));
        zo.write_int(-1);
        zo.close();
    }
    c_zofile zo(name, zoRead);
    EXPECT_EQ(zo.get_file_size(), 32 + 30000 * 4 + 200000 + 4);
    zo.set_file_position(32 + 4 * 29999);
    EXPECT_EQ(zo.read_int(), 29999);
    std::vector<std::uint8_t> back(block.size());
    zo.read_data(back.data(), static_cast<std::int32_t>(back.size()));
    EXPECT_EQ(back, block);
    EXPECT_EQ(zo.read_int(), -1);
    zo.set_file_position(32 + 4 * 12345);
    EXPECT_EQ(zo.read_int(), 12345);
    zo.set_file_position(32 + 30000 * 4 + 70000);
    EXPECT_EQ(zo.read_bytes(3), std::vector<std::uint8_t>(block.begin() + 70000, block.begin() + 70003));
}

TEST_F(ZOFileTest, EveryTruncationOfAContainerRaisesAContainerError)
{
    const Bytes whole = Bytes()
                            .Header(513, 1281, 2, 513)
                            .Chunk(256, Bytes().I32(5).Str("Text").U8(1))
                            .Chunk(257, Bytes().Str("äb").I32(2).Raw({0x41, 0, 0x42, 0}));
    auto readAll = [](const std::string& name) {
        c_zofile zo(name, zoRead);
        for (std::int32_t i = 0; i < zo.chunkcount; ++i) {
            s_chunk_header chunk;
            zo.read_chunk_header(chunk);
            if (chunk.id == 256) {
                zo.read_int();
                zo.read_string();
                zo.read_bool();
            } else {
                zo.read_string();
                zo.read_widestring();
            }
        }
    };
    EXPECT_NO_THROW(readAll(Write("whole.zo", whole)));
    for (std::size_t length = 0; length < whole.data.size(); ++length) {
        const std::vector<std::uint8_t> cut(whole.data.begin(), whole.data.begin() + static_cast<long>(length));
        const std::string name = Write("cut.zo", cut);
        EXPECT_NE(RaisedText([&] { readAll(name); }), "") << "cut at " << length;
    }
}

TEST_F(ZOFileTest, ExtendedFloatsTravelAsTenByteDataFields)
{
    struct Case {
        double value;
        std::vector<std::uint8_t> stored; // empty: only the round trip is checked
    } cases[] = {
        {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {0.5, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
        {-2.5, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
        {0.25, {}},
        {1.0 / 3.0, {}},
        {std::numeric_limits<double>::denorm_min(), {}},
    };
    const std::string name = PathOf("floats.zo");
    {
        c_zofile zo(name, zoCreate);
        for (const Case& c : cases) {
            std::uint8_t bytes[10];
            rtl::DoubleToExtended(c.value, bytes);
            zo.write_data(bytes, 10);
        }
        zo.close();
    }
    c_zofile zo(name, zoRead);
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bytes = zo.read_bytes(10);
        if (!c.stored.empty()) {
            EXPECT_EQ(bytes, c.stored) << c.value;
        }
        EXPECT_EQ(rtl::ExtendedToDouble(bytes.data()), c.value);
    }
}

} // namespace
