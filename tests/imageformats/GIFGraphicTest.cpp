// The GIF reader on byte rewrites of the files tools write, for the table
// and descriptor variants no tool writes (the files themselves:
// ReaderConformanceTest).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "ReaderTestTools.h"
#include "imageformats/GIFGraphic.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

bool HaveTools()
{
    return HaveTool(kMagick) && HaveTool("giftopnm") && HaveTool("pamtogif") &&
        RunShell("/usr/bin/python3 -c 'import PIL'");
}

// Decodes out.gif with giftopnm (first image) and with picdecode.
void ExpectSameAsGiftopnm(const ScratchDir& dir)
{
    ASSERT_TRUE(RunIn(dir, "giftopnm out.gif | ppmtoppm > ref.ppm"));
    ASSERT_TRUE(Picdecode(dir, "out.gif", "ours.ppm"));
    const Pnm ours = ReadPnm(dir / "ours.ppm"), reference = ReadPnm(dir / "ref.ppm");
    ASSERT_GT(reference.Width, 0);
    EXPECT_EQ(ours.Width, reference.Width);
    EXPECT_EQ(ours.Height, reference.Height);
    EXPECT_TRUE(ours == reference);
}

// ---- rewrites of a tool's file ----------------------------------------------

auto Load(const Bytes& bytes) { return LoadBytes<TGIFGraphic>(bytes); }
std::string LoadError(const Bytes& bytes) { return LoadErrorOf<TGIFGraphic>(bytes); }

// Where the parts of a GIF start: global table, image descriptor, local
// table, LZW code size.
struct GifLayout {
    std::size_t GlobalTable = 13, GlobalTableBytes = 0, Descriptor = 0, LocalTable = 0, LocalTableBytes = 0,
                CodeSize = 0;

    explicit GifLayout(const Bytes& b)
    {
        if (b[10] & 0x80)
            GlobalTableBytes = 3u << ((b[10] & 7) + 1);
        std::size_t at = GlobalTable + GlobalTableBytes;
        while (b[at] == 0x21) {
            at += 2;
            while (b[at] != 0)
                at += b[at] + 1u;
            ++at;
        }
        Descriptor = at + 1;
        LocalTable = Descriptor + 9;
        if (b[Descriptor + 8] & 0x80)
            LocalTableBytes = 3u << ((b[Descriptor + 8] & 7) + 1);
        CodeSize = LocalTable + LocalTableBytes;
    }
};

Bytes MakeGif(const ScratchDir& dir, const std::string& make)
{
    WritePnm(dir / "src.ppm", TestPicture());
    EXPECT_TRUE(RunIn(dir, make));
    return ReadFileBytes(dir / "out.gif");
}

TEST(GIFReader, GlobalTableMovedIntoALocalOneGivesTheSamePicture)
{
    if (!HaveTools())
        GTEST_SKIP();
    ScratchDir dir;
    const Bytes original = MakeGif(dir, "pnmquant 100 src.ppm | pamtogif > out.gif");
    const GifLayout l(original);
    ASSERT_GT(l.GlobalTableBytes, 0u);
    ASSERT_EQ(l.LocalTableBytes, 0u);
    Bytes moved(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(l.GlobalTable));
    moved[10] = static_cast<std::uint8_t>(moved[10] & 0x70); // no global table
    moved.insert(moved.end(), original.begin() + static_cast<std::ptrdiff_t>(l.GlobalTable + l.GlobalTableBytes),
                 original.begin() + static_cast<std::ptrdiff_t>(l.LocalTable));
    moved.back() = static_cast<std::uint8_t>(0x80 | (original[10] & 7)); // local table of the same size
    moved.insert(moved.end(), original.begin() + static_cast<std::ptrdiff_t>(l.GlobalTable),
                 original.begin() + static_cast<std::ptrdiff_t>(l.GlobalTable + l.GlobalTableBytes));
    moved.insert(moved.end(), original.begin() + static_cast<std::ptrdiff_t>(l.CodeSize), original.end());
    WriteFileBytes(dir / "out.gif", moved);
    ExpectSameAsGiftopnm(dir);
    auto gif = Load(moved);
    EXPECT_TRUE(gif->ImageProperties().LocalColorTable);
}

TEST(GIFReader, LocalTableReplacesTheFirstEntriesAndTheLargerTableIsKept)
{
    // 2 x 1 picture: global table of 4 (red, green, blue, white), local table of
    // 2 (black, grey); the pixels are indices 1 and 3.
    const Bytes file = {'g', 'i', 'f',  '8', '9', 'a', 2,   0,   1,   0,   0x81, 0,    0,    255, 0,  0,
                        0,   255, 0,    0,   0,   255, 255, 255, 255, ',', 0,    0,    0,    0,   2,  0,
                        1,   0,   0x80, 0,   0,   0,   128, 128, 128, 2,   2,    0xCC, 0x0A, 0,   ';'};
    // Codes (3 bits, LSB first): clear 4, 1, 3, end 5 -> 0b101'011'001'100.
    auto gif = Load(file);
    ASSERT_EQ(gif->Width(), 2);
    EXPECT_EQ(gif->ImageProperties().Version, 89u);
    EXPECT_EQ(gif->ImageProperties().BitsPerSample, 1);
    EXPECT_EQ(gif->Palette()[0], 0x000000u);
    EXPECT_EQ(gif->Palette()[1], 0x808080u);
    EXPECT_EQ(gif->Palette()[2], 0x0000FFu);
    EXPECT_EQ(gif->Palette()[3], 0xFFFFFFu);
    EXPECT_EQ(gif->ScanLine(0)[0], 1);
    EXPECT_EQ(gif->ScanLine(0)[1], 3);
}

Bytes TinyGif()
{
    return {'G', 'I', 'F', '8', '7', 'a', 2, 0, 1, 0, 0x81, 0, 0, 255,  0, 0, 0,    255,  0, 0,  0,
            255, 255, 255, 255, ',', 0,   0, 0, 0, 2, 0,    1, 0, 0x00, 2, 2, 0xCC, 0x0A, 0, ';'};
}

TEST(GIFReader, DescriptorSizeZeroTakesTheScreenSize)
{
    Bytes file = TinyGif();
    file[30] = 0; // image width 0
    auto gif = Load(file);
    EXPECT_EQ(gif->Width(), 2);
    EXPECT_EQ(gif->ScanLine(0)[1], 3);
}

TEST(GIFReader, EveryExtensionKindIsSkipped)
{
    Bytes file = TinyGif();
    const Bytes extensions = {
        0x21, 0x01, 12, 0,   0,   0,   0,   8,   0,   8,   0,   8,   8,   1,   0, 3, 'a', 'b', 'c', 0, // plain text
        0x21, 0xF9, 4,  1,   0,   0,   2,   0,                                                         // control
        0x21, 0xFE, 2,  'h', 'i', 0,                                                                   // comment
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0,   0,   0};
    file.insert(file.begin() + 25, extensions.begin(), extensions.end());
    auto gif = Load(file);
    EXPECT_EQ(gif->ScanLine(0)[0], 1);
    EXPECT_EQ(gif->ScanLine(0)[1], 3);
}

TEST(GIFReader, BadFilesRaiseThePictureError)
{
    const std::string invalid = "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes GIF Bildformat.";
    const Bytes tiny = TinyGif();
    Bytes trailerOnly(tiny.begin(), tiny.begin() + 25);
    trailerOnly.push_back(';');
    Bytes codeSize12 = TinyGif();
    codeSize12[35] = 12;
    Bytes codeSize0 = TinyGif();
    codeSize0[35] = 0;
    Bytes notGif = TinyGif();
    notGif[0] = 'J';
    Bytes shortTable(tiny.begin(), tiny.begin() + 20);
    EXPECT_EQ(LoadError(trailerOnly), invalid);
    EXPECT_EQ(LoadError(codeSize12), invalid);
    EXPECT_EQ(LoadError(codeSize0), invalid);
    EXPECT_EQ(LoadError(notGif), invalid);
    EXPECT_EQ(LoadError(shortTable), "Stream Lesefehler in GIF Datei.");
}

TEST(GIFReader, CutDataKeepsTheRowsDecodedSoFar)
{
    if (!HaveTools())
        GTEST_SKIP();
    // The last row of the picture is stored last in both orders; with half
    // the data it stays at index 0 while the first row is complete.
    for (const char* make :
         {"pnmquant 256 src.ppm | pamtogif > out.gif", "pnmquant 256 src.ppm | pamtogif -interlace > out.gif"}) {
        SCOPED_TRACE(make);
        ScratchDir dir;
        const Bytes whole = MakeGif(dir, make);
        const std::size_t dataStart = GifLayout(whole).CodeSize;
        const Bytes cut(whole.begin(),
                        whole.begin() + static_cast<std::ptrdiff_t>(dataStart + (whole.size() - dataStart) / 2));
        auto full = Load(whole);
        auto part = Load(cut);
        ASSERT_EQ(part->Height(), 23);
        EXPECT_EQ(std::vector<std::uint8_t>(part->ScanLine(0), part->ScanLine(0) + 37),
                  std::vector<std::uint8_t>(full->ScanLine(0), full->ScanLine(0) + 37));
        const std::vector<std::uint8_t> black(37, 0);
        ASSERT_NE(std::vector<std::uint8_t>(full->ScanLine(21), full->ScanLine(21) + 37), black);
        EXPECT_EQ(std::vector<std::uint8_t>(part->ScanLine(21), part->ScanLine(21) + 37), black);
    }
}

TEST(GIFReader, CanLoadIgnoresLetterCase)
{
    for (const auto& [signature, expected] : {std::pair{"gIf", true}, std::pair{"GIX", false}}) {
        Bytes file = TinyGif();
        std::copy(signature, signature + 3, file.begin());
        TMemoryStream stream;
        stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
        stream.SetPosition(0);
        EXPECT_EQ(TGIFGraphic::CanLoad(stream), expected) << signature;
        EXPECT_EQ(stream.Position(), 0);
    }
}

} // namespace
