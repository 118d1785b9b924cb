// The portable map reader on header forms and sample ranges written by hand
// (the variants tools write: ReaderConformanceTest).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ImageTools.h"
#include "imageformats/PPMGraphic.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

std::unique_ptr<TPPMGraphic> Load(const std::string& text)
{
    TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(0);
    auto graphic = std::make_unique<TPPMGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

TEST(PPMReader, HeaderNumbersMayShareTheMagicLineAndCarryComments)
{
    const std::string body("\x01\x02\x03\x04\x05\x06", 6);
    for (const std::string header :
         {"P6 2 1 255\n", "P6\n# made by hand\n2 # width\n1\n#x\n255\n", "P6\r\n2 1\r\n255\n"}) {
        auto ppm = Load(header + body);
        ASSERT_EQ(ppm->Width(), 2) << header;
        ASSERT_EQ(ppm->PixelFormat(), pf24bit);
        const std::uint8_t* row = ppm->ScanLine(0);
        EXPECT_EQ(row[0], 3) << header; // blue first
        EXPECT_EQ(row[2], 1);
        EXPECT_EQ(row[5], 4);
    }
}

TEST(PPMReader, PlainBitmapTakesOneCharacterPerPixelAndIsInverted)
{
    auto pbm = Load("P1\n10 1\n0110 1\n00001\n");
    ASSERT_EQ(pbm->PixelFormat(), pf1bit);
    EXPECT_EQ(pbm->ScanLine(0)[0], 0x68);
    EXPECT_EQ(pbm->ScanLine(0)[1], 0x40);
    EXPECT_EQ(pbm->Palette()[0], 0xFFFFFFu);
    EXPECT_EQ(pbm->Palette()[1], 0x000000u);
}

TEST(PPMReader, SamplesAreScaledFromTheirMaximum)
{
    auto pgm = Load("P2 3 1 15\n0 15 7\n");
    EXPECT_EQ(pgm->ScanLine(0)[1], 255);
    EXPECT_EQ(pgm->ScanLine(0)[2], 119);
    auto wide = Load(std::string("P5 2 1 65535\n\xFF\xFF\x80\x00", 17));
    EXPECT_EQ(wide->ScanLine(0)[0], 255);
    EXPECT_EQ(wide->ScanLine(0)[1], 128);
}

TEST(PPMReader, DamagedFilesRaiseThePictureError)
{
    const std::string damaged[] = {
        std::string("P6\n4 4\n255\n\x01\x02", 13), // body ends early
        "P3\n2 1\n255\n1 2 3 4\n",                 // plain samples missing
        "P5\n2 1\n0\nab",                          // maximum 0
        "P5\n2 1\n70000\nabcd",                    // maximum beyond 16 bits
        "P6\n60000 60000\n255\nxyz",               // huge picture, tiny body
        "P7\n2 1\n255\nab",                        // unknown kind
        "Q6 1 1 255\nabc",                         // no magic
        "P2\n99999999999 1\n255\n1",               // number overflow
    };
    for (const std::string& text : damaged)
        EXPECT_THROW(Load(text), EInvalidGraphic) << text;
}

} // namespace
