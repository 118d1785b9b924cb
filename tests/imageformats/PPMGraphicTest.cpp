// The portable map reader against netpbm and ImageMagick on every variant
// they write, plus header forms and sample ranges written by hand.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ImageTools.h"
#include "imageformats/PPMGraphic.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

struct ToolCase {
  const char* Name;
  const char* Make;  // writes out.ppm (any kind) from src.ppm
};

const ToolCase kToolCases[] = {
    {"raw_p6", "cp src.ppm out.ppm"},
    {"raw_p5", "ppmtopgm src.ppm > out.ppm"},
    {"raw_p4", "ppmtopgm src.ppm | pgmtopbm > out.ppm"},
    {"plain_p3", "pnmtoplainpnm src.ppm > out.ppm"},
    {"plain_p2", "ppmtopgm src.ppm | pnmtoplainpnm > out.ppm"},
    {"plain_p1_no_separators", "ppmtopgm src.ppm | pgmtopbm | pnmtoplainpnm > out.ppm"},
    {"magick_plain_p1", "convert-im6.q16 src.ppm -monochrome -compress none pbm:out.ppm"},
    {"magick_plain_p2", "convert-im6.q16 src.ppm -colorspace Gray -compress none pgm:out.ppm"},
    {"magick_plain_p3", "convert-im6.q16 src.ppm -compress none ppm:out.ppm"},
    {"magick_raw_p4", "convert-im6.q16 src.ppm -monochrome pbm:out.ppm"},
    {"magick_16bit_p6", "convert-im6.q16 src.ppm -depth 16 ppm:out.ppm"},
    {"maxval_15", "pamdepth 15 src.ppm > out.ppm"},
};

class PPMToolTest : public ::testing::TestWithParam<ToolCase> {};

TEST_P(PPMToolTest, DecodesLikeTheReferenceDecoder) {
  if (!HaveTool(kMagick) || !HaveTool("pnmtoplainpnm")) GTEST_SKIP() << "tools missing";
  const ToolCase& c = GetParam();
  ScratchDir dir;
  WritePnm(dir / "src.ppm", TestPicture());
  const std::string in = "cd '" + (dir / "") + "' && ";
  ASSERT_TRUE(RunShell(in + c.Make)) << c.Make;
  ASSERT_TRUE(RunShell(in + "pnmtopnm out.ppm | pamdepth 255 | ppmtoppm > ref.ppm"));
  ASSERT_TRUE(RunShell(std::string(VISTELO_PICDECODE) + " " + (dir / "out.ppm") + " " + (dir / "ours.ppm")));
  const Pnm ours = ReadPnm(dir / "ours.ppm");
  ASSERT_EQ(ours.Width, 37);
  ASSERT_EQ(ours.Height, 23);
  EXPECT_TRUE(ours == ReadPnm(dir / "ref.ppm"));
}

INSTANTIATE_TEST_SUITE_P(Files, PPMToolTest, ::testing::ValuesIn(kToolCases),
                         [](const auto& info) { return std::string(info.param.Name); });

std::unique_ptr<TPPMGraphic> Load(const std::string& text) {
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  stream.SetPosition(0);
  auto graphic = std::make_unique<TPPMGraphic>();
  graphic->LoadFromStream(stream);
  return graphic;
}

TEST(PPMReader, HeaderNumbersMayShareTheMagicLineAndCarryComments) {
  const std::string body("\x01\x02\x03\x04\x05\x06", 6);
  for (const std::string header : {"P6 2 1 255\n", "P6\n# made by hand\n2 # width\n1\n#x\n255\n", "P6\r\n2 1\r\n255\n"}) {
    auto ppm = Load(header + body);
    ASSERT_EQ(ppm->Width(), 2) << header;
    ASSERT_EQ(ppm->PixelFormat(), pf24bit);
    const std::uint8_t* row = ppm->ScanLine(0);
    EXPECT_EQ(row[0], 3) << header;  // blue first
    EXPECT_EQ(row[2], 1);
    EXPECT_EQ(row[5], 4);
  }
}

TEST(PPMReader, PlainBitmapTakesOneCharacterPerPixelAndIsInverted) {
  auto pbm = Load("P1\n10 1\n0110 1\n00001\n");
  ASSERT_EQ(pbm->PixelFormat(), pf1bit);
  EXPECT_EQ(pbm->ScanLine(0)[0], 0x68);
  EXPECT_EQ(pbm->ScanLine(0)[1], 0x40);
  EXPECT_EQ(pbm->Palette()[0], 0xFFFFFFu);
  EXPECT_EQ(pbm->Palette()[1], 0x000000u);
}

TEST(PPMReader, SamplesAreScaledFromTheirMaximum) {
  auto pgm = Load("P2 3 1 15\n0 15 7\n");
  EXPECT_EQ(pgm->ScanLine(0)[1], 255);
  EXPECT_EQ(pgm->ScanLine(0)[2], 119);
  auto wide = Load(std::string("P5 2 1 65535\n\xFF\xFF\x80\x00", 17));
  EXPECT_EQ(wide->ScanLine(0)[0], 255);
  EXPECT_EQ(wide->ScanLine(0)[1], 128);
}

TEST(PPMReader, DamagedFilesRaiseThePictureError) {
  const std::string damaged[] = {
      std::string("P6\n4 4\n255\n\x01\x02", 13),  // body ends early
      "P3\n2 1\n255\n1 2 3 4\n",                  // plain samples missing
      "P5\n2 1\n0\nab",                           // maximum 0
      "P5\n2 1\n70000\nabcd",                     // maximum beyond 16 bits
      "P6\n60000 60000\n255\nxyz",                // huge picture, tiny body
      "P7\n2 1\n255\nab",                         // unknown kind
      "Q6 1 1 255\nabc",                          // no magic
      "P2\n99999999999 1\n255\n1",                // number overflow
  };
  for (const std::string& text : damaged) EXPECT_THROW(Load(text), EInvalidGraphic) << text;
}

}  // namespace
