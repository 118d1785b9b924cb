// The PNG reader on hand-made files for chunk order, damage and the colour
// keys no tool writes the way we need (the files tools write:
// ReaderConformanceTest).
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "ReaderTestTools.h"
#include "imageformats/PNGGraphic.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

// ---- hand-made files -------------------------------------------------------

auto Load(const Bytes& bytes) { return LoadBytes<TPNGGraphic>(bytes); }
std::string LoadError(const Bytes& bytes) { return LoadErrorOf<TPNGGraphic>(bytes); }

Bytes Chunk(const char* type, const Bytes& data)
{
    Bytes b;
    AppendBE32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    AppendBE32(b, static_cast<std::uint32_t>(crc32(0, b.data() + 4, static_cast<uInt>(data.size() + 4))));
    return b;
}

Bytes Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colorType, int compression = 0, int interlace = 0)
{
    Bytes d;
    AppendBE32(d, width);
    AppendBE32(d, height);
    for (int v : {depth, colorType, compression, 0, interlace})
        d.push_back(static_cast<std::uint8_t>(v));
    return d;
}

// A PNG from its chunks (the signature is added).
Bytes Png(std::initializer_list<Bytes> chunks)
{
    Bytes b = {137, 80, 78, 71, 13, 10, 26, 10};
    for (const Bytes& c : chunks)
        b.insert(b.end(), c.begin(), c.end());
    return b;
}

// 3 x 2 RGB rows, filter 0: red green blue / white black grey.
Bytes RgbRows() { return {0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128}; }

std::uint32_t Pixel(TPNGGraphic& png, int x, int y)
{
    const std::uint8_t* p = png.ScanLine(y) + 3 * x;
    return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

TEST(PNGReader, ImageDataSpreadOverOneByteChunksWithLowerCaseNames)
{
    const Bytes data = Deflate(RgbRows());
    Bytes file = Png({Chunk("IHDR", Ihdr(3, 2, 8, 2))});
    for (std::size_t i = 0; i < data.size(); ++i) {
        const Bytes c = Chunk(i % 2 ? "idat" : "IDAT", Bytes{data[i]});
        file.insert(file.end(), c.begin(), c.end());
    }
    const Bytes end = Chunk("IEND", {});
    file.insert(file.end(), end.begin(), end.end());
    auto png = Load(file);
    EXPECT_EQ(Pixel(*png, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(*png, 2, 0), 0x0000FFu);
    EXPECT_EQ(Pixel(*png, 2, 1), 0x808080u);
}

TEST(PNGReader, AncillaryUnknownChunksAreSkippedCriticalOnesRefused)
{
    const Bytes ihdr = Chunk("IHDR", Ihdr(3, 2, 8, 2)), idat = Chunk("IDAT", Deflate(RgbRows())),
                iend = Chunk("IEND", {});
    EXPECT_EQ(Pixel(*Load(Png({ihdr, Chunk("xyZw", {1, 2, 3}), idat, Chunk("teXt", {'a'}), iend})), 1, 0), 0x00FF00u);
    EXPECT_EQ(LoadError(Png({ihdr, Chunk("XYZW", {1}), idat, iend})),
              "PNG Bild konnte nicht geladen werden. Unerwarteter, aber als kritisch markierter Chunk gefunden.");
}

TEST(PNGReader, DamagedFilesRaiseTheirMessages)
{
    const Bytes ihdr = Chunk("IHDR", Ihdr(3, 2, 8, 2)), idat = Chunk("IDAT", Deflate(RgbRows())),
                iend = Chunk("IEND", {});
    Bytes badCrc = Png({ihdr, idat, iend});
    badCrc[badCrc.size() - 12 - 5] ^= 1; // the last byte of the IDAT CRC
    Bytes filter5 = RgbRows();
    filter5[0] = 5;
    Bytes extraStream = Deflate(RgbRows());
    const Bytes second = Deflate({0, 1, 2});
    extraStream.insert(extraStream.end(), second.begin(), second.end());
    Bytes hugeChunk = Png({ihdr});
    AppendBE32(hugeChunk, 0x7FFFFFF0u);
    hugeChunk.insert(hugeChunk.end(), {'I', 'D', 'A', 'T', 1, 2, 3});
    const Bytes cut = Png({ihdr, idat, iend});

    struct DamageCase {
        const char* Name;
        Bytes File;
        std::string Message;
    };
    const DamageCase cases[] = {
        {"crc", badCrc, "Bild konnte nicht geladen werden. Ein CRC Fehler ist in der PNG Datei aufgetreten."},
        {"filter type 5", Png({ihdr, Chunk("IDAT", Deflate(filter5)), iend}),
         "Bild konnte nicht geladen werden. Kompressionsfehler in PNG Datei gefunden."},
        {"not deflate data", Png({ihdr, Chunk("IDAT", {1, 2, 3, 4, 5, 6}), iend}),
         "Bild konnte nicht geladen werden. Kompressionsfehler in PNG Datei gefunden."},
        {"second stream in the chunk", Png({ihdr, Chunk("IDAT", extraStream), iend}),
         "Bild konnte nicht geladen werden. Zuviele komprimierte Daten in PNG Datei gefunden."},
        {"compression method 1", Png({Chunk("IHDR", Ihdr(3, 2, 8, 2, 1)), idat, iend}),
         "Bild konnte nicht geladen werden. Das Kompressionsformat ist nicht unterstützt für PNG Dateien."},
        {"palette length", Png({Chunk("IHDR", Ihdr(3, 2, 8, 3)), Chunk("PLTE", {1, 2, 3, 4}), idat, iend}),
         "Bild konnte nicht geladen werden. Palette in PNG Datei ist ungültig."},
        {"palette picture without palette", Png({Chunk("IHDR", Ihdr(3, 2, 8, 3)), idat, iend}),
         "Bild konnte nicht geladen werden. Palette in PNG Datei ist ungültig."},
        {"colour type 2 with 4 bits", Png({Chunk("IHDR", Ihdr(3, 2, 4, 2)), idat, iend}),
         "Ungültiges Farbformat in PNG Bild."},
        {"zero width", Png({Chunk("IHDR", Ihdr(0, 2, 8, 2)), idat, iend}),
         "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes PNG Bildformat."},
        {"no image data", Png({ihdr, iend}),
         "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes PNG Bildformat."},
        {"chunk longer than the file", hugeChunk, "Stream Lesefehler in PNG Datei."},
        {"cut inside the image data", Bytes(cut.begin(), cut.begin() + 45), "Stream Lesefehler in PNG Datei."},
    };
    for (const DamageCase& c : cases)
        EXPECT_EQ(LoadError(c.File), c.Message) << c.Name;
}

TEST(PNGReader, ShortImageDataLeavesTheBackgroundBelowTheRowsRead)
{
    // Only the first row is in the stream; bKGD asks for a blue background.
    Bytes firstRow = RgbRows();
    firstRow.resize(10);
    Bytes blue;
    for (int v : {0, 0, 0, 0, 0, 255})
        blue.push_back(static_cast<std::uint8_t>(v));
    auto png = Load(Png(
        {Chunk("IHDR", Ihdr(3, 2, 8, 2)), Chunk("bKGD", blue), Chunk("IDAT", Deflate(firstRow)), Chunk("IEND", {})}));
    EXPECT_EQ(Pixel(*png, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(*png, 0, 1), 0x0000FFu);
    EXPECT_EQ(Pixel(*png, 2, 1), 0x0000FFu);
    // Without bKGD the background is white.
    auto white = Load(Png({Chunk("IHDR", Ihdr(3, 2, 8, 2)), Chunk("IDAT", Deflate(firstRow)), Chunk("IEND", {})}));
    EXPECT_EQ(Pixel(*white, 1, 1), 0xFFFFFFu);
}

TEST(PNGReader, ImageDataWithRowsBeyondThePictureShowsItsRows)
{
    // The stream goes on after the last row; the rows of the picture load
    // all the same, in one chunk and spread over two.
    Bytes longer = RgbRows();
    longer.insert(longer.end(), {0, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    const Bytes data = Deflate(longer);
    const Bytes half1(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(data.size() / 2));
    const Bytes half2(data.begin() + static_cast<std::ptrdiff_t>(data.size() / 2), data.end());
    const Bytes ihdr = Chunk("IHDR", Ihdr(3, 2, 8, 2)), iend = Chunk("IEND", {});
    for (const Bytes& file :
         {Png({ihdr, Chunk("IDAT", data), iend}), Png({ihdr, Chunk("IDAT", half1), Chunk("IDAT", half2), iend})}) {
        auto png = Load(file);
        EXPECT_EQ(Pixel(*png, 0, 0), 0xFF0000u);
        EXPECT_EQ(Pixel(*png, 2, 0), 0x0000FFu);
        EXPECT_EQ(Pixel(*png, 0, 1), 0xFFFFFFu);
        EXPECT_EQ(Pixel(*png, 2, 1), 0x808080u);
    }
}

TEST(PNGReader, FileWithoutEndChunkStillShowsItsPicture)
{
    auto png = Load(Png({Chunk("IHDR", Ihdr(3, 2, 8, 2)), Chunk("IDAT", Deflate(RgbRows()))}));
    EXPECT_EQ(Pixel(*png, 1, 1), 0x000000u);
    EXPECT_EQ(Pixel(*png, 0, 1), 0xFFFFFFu);
}

TEST(PNGReader, GreyColourKeysOfSmallDepthsAreScaledToTheGreyPalette)
{
    // 4 x 1 grey of 2 bits: 0, 1, 2, 3; tRNS names 2, bKGD 1.
    auto png = Load(Png({Chunk("IHDR", Ihdr(4, 1, 2, 0)), Chunk("tRNS", {0, 2}), Chunk("bKGD", {0, 1}),
                         Chunk("IDAT", Deflate({0, 0x1B})), Chunk("IEND", {})}));
    EXPECT_EQ(png->PixelFormat(), pf4bit);
    EXPECT_TRUE(png->Transparent());
    EXPECT_EQ(png->TransparentColor(), static_cast<TColor>(0xAAAAAA));
    const std::uint8_t* row = png->ScanLine(0);
    const std::uint32_t third = png->Palette()[row[1] >> 4];
    EXPECT_EQ(third, 0xAAAAAAu);
}

TEST(PNGReader, RgbColourKeyBecomesTheTransparentColour)
{
    Bytes key;
    for (int v : {0, 0x12, 0, 0x34, 0, 0x56})
        key.push_back(static_cast<std::uint8_t>(v));
    auto png = Load(Png(
        {Chunk("IHDR", Ihdr(3, 2, 8, 2)), Chunk("tRNS", key), Chunk("IDAT", Deflate(RgbRows())), Chunk("IEND", {})}));
    EXPECT_TRUE(png->Transparent());
    EXPECT_EQ(png->TransparentColor(), RGB(0x12, 0x34, 0x56));
}

TEST(PNGReader, GammaChunkIsAppliedToColourRows)
{
    // File gamma 1/2.2 with display gamma 2.2 leaves the values as they are;
    // file gamma 1.0 brightens mid grey.
    Bytes oneOver22, one;
    AppendBE32(oneOver22, 45455);
    AppendBE32(one, 100000);
    auto same = Load(Png({Chunk("IHDR", Ihdr(3, 2, 8, 2)), Chunk("gAMA", oneOver22), Chunk("IDAT", Deflate(RgbRows())),
                          Chunk("IEND", {})}));
    EXPECT_EQ(Pixel(*same, 2, 1), 0x808080u);
    auto linear = Load(Png(
        {Chunk("IHDR", Ihdr(3, 2, 8, 2)), Chunk("gAMA", one), Chunk("IDAT", Deflate(RgbRows())), Chunk("IEND", {})}));
    EXPECT_TRUE(linear->ImageProperties().Options.Contains(ioUseGamma));
    EXPECT_GT(Pixel(*linear, 2, 1) & 0xFF, 0x80u);
    EXPECT_EQ(Pixel(*linear, 0, 0), 0xFF0000u);
}

TEST(PNGReader, CanLoadWantsTheSignature)
{
    const Bytes good = Png({Chunk("IHDR", Ihdr(3, 2, 8, 2))});
    Bytes bad = good;
    bad[1] = 'p';
    for (const auto& [bytes, expected] : {std::pair{good, true}, std::pair{bad, false}}) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        EXPECT_EQ(TPNGGraphic::CanLoad(stream), expected);
        EXPECT_EQ(stream.Position(), 0);
    }
}

} // namespace
