// The Paintbrush reader on hand-made files for the headers no tool writes,
// and damaged files (the files tools write: ReaderConformanceTest).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ImageTools.h"
#include "imageformats/PCXGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

// ---- hand-made files -------------------------------------------------------

struct PcxBuilder {
    std::vector<std::uint8_t> Bytes = std::vector<std::uint8_t>(128, 0);
    PcxBuilder(int version, int encoding, int bits, int planes, int width, int height, int bytesPerLine,
               int manufacturer = 10)
    {
        Bytes[0] = static_cast<std::uint8_t>(manufacturer);
        Bytes[1] = static_cast<std::uint8_t>(version);
        Bytes[2] = static_cast<std::uint8_t>(encoding);
        Bytes[3] = static_cast<std::uint8_t>(bits);
        Word(8, width - 1);
        Word(10, height - 1);
        Bytes[65] = static_cast<std::uint8_t>(planes);
        Word(66, bytesPerLine);
    }
    void Word(int at, int value) { rtl::PutLE16(&Bytes[at], static_cast<std::uint16_t>(value)); }
    PcxBuilder& Add(std::initializer_list<int> bytes)
    {
        for (int b : bytes)
            Bytes.push_back(static_cast<std::uint8_t>(b));
        return *this;
    }
};

std::unique_ptr<TPCXGraphic> Load(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto graphic = std::make_unique<TPCXGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

TEST(PCXReader, Version3TakesTheSystemColoursAndManufacturer205Loads)
{
    // 4 pixels of 4 bits, stored (encoding 0): indices 1, 9, 14, 15.
    PcxBuilder file(3, 0, 4, 1, 4, 1, 2, 205);
    auto pcx = Load(file.Add({0x19, 0xEF}).Bytes);
    ASSERT_EQ(pcx->PixelFormat(), pf4bit);
    EXPECT_EQ(pcx->ScanLine(0)[0], 0x19);
    EXPECT_EQ(pcx->ScanLine(0)[1], 0xEF);
    EXPECT_EQ(pcx->Palette()[1], 0x800000u);
    EXPECT_EQ(pcx->Palette()[9], 0xFF0000u);
    EXPECT_EQ(pcx->Palette()[14], 0x00FFFFu);
}

TEST(PCXReader, PaletteInfo2GivesGreyAndAMissingTrailerLeavesTheDefault)
{
    PcxBuilder grey(5, 0, 8, 1, 2, 1, 2);
    grey.Word(68, 2);
    auto pcx = Load(grey.Add({0x10, 0xFE}).Bytes);
    ASSERT_EQ(pcx->PixelFormat(), pf8bit);
    EXPECT_EQ(pcx->ScanLine(0)[0], 0x10);
    EXPECT_EQ(pcx->Palette()[0x10], 0x101010u);
    EXPECT_EQ(pcx->Palette()[0xFE], 0xFEFEFEu);

    auto plain = Load(PcxBuilder(5, 0, 8, 1, 2, 1, 2).Add({0x10, 0xFE}).Bytes);
    EXPECT_EQ(plain->ScanLine(0)[1], 0xFE);
    EXPECT_EQ(plain->Palette().size(), 256u);
}

TEST(PCXReader, RunsMayCrossRowEnds)
{
    // 3 x 2 pixels of 8 bits, rows of 4 bytes: one run of 8 bytes covers both.
    auto pcx = Load(PcxBuilder(5, 1, 8, 1, 3, 2, 4).Add({0xC8, 0x07}).Bytes);
    EXPECT_EQ(pcx->ScanLine(1)[2], 0x07);
}

TEST(PCXReader, DamagedFilesRaiseThePictureError)
{
    const std::vector<std::vector<std::uint8_t>> damaged = {
        PcxBuilder(5, 1, 8, 1, 16, 16, 16).Add({0xCF, 1, 0xCF, 2}).Bytes, // run-length data ends early
        PcxBuilder(5, 0, 8, 1, 16, 2, 16).Add({1, 2, 3}).Bytes,           // stored rows missing
        PcxBuilder(5, 1, 8, 1, 16, 1, 16, 11).Add({0xD0, 0}).Bytes,       // unknown manufacturer
        PcxBuilder(5, 1, 16, 1, 4, 1, 8).Add({0xC8, 0}).Bytes,            // 16-bit pixels
        PcxBuilder(5, 1, 8, 1, 16, 1, 4).Add({0xD0, 0}).Bytes,            // lines shorter than the width
        PcxBuilder(5, 1, 1, 1, 65535, 65535, 8192).Add({0xFF, 0}).Bytes,  // huge picture, tiny data
        std::vector<std::uint8_t>(100, 10),                               // no full header
    };
    for (std::size_t i = 0; i < damaged.size(); ++i)
        EXPECT_THROW(Load(damaged[i]), EInvalidGraphic) << i;
}

TEST(PCXReader, CanLoadChecksTheHeaderAndKeepsThePosition)
{
    PcxBuilder good(5, 1, 8, 1, 2, 1, 2);
    good.Add({0, 0});
    PcxBuilder badVersion(4, 1, 8, 1, 2, 1, 2);
    badVersion.Add({0, 0});
    for (auto [bytes, expected] : {std::pair{good.Bytes, true}, std::pair{badVersion.Bytes, false}}) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        EXPECT_EQ(TPCXGraphic::CanLoad(stream), expected);
        EXPECT_EQ(stream.Position(), 0);
    }
}

} // namespace
