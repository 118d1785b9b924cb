// The TIFF reader against libtiff's own decode (tiffcp -c none, read by
// ImageMagick) on files written by libtiff's tools, ImageMagick and Python's
// imaging library; hand-made directories for the damaged cases; the EPS
// preview reader on ImageMagick's binary EPS.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "ReaderTestTools.h"
#include "imageformats/TIFFGraphic.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

bool HaveTools() {
  return HaveTool(kMagick) && HaveTool("tiffcp") && HaveTool("pamtotiff") &&
         RunShell("/usr/bin/python3 -c 'import PIL'");
}

struct ToolCase {
  const char* Name;
  const char* Make;  // writes out.tif from src.ppm (base.tif is src.ppm uncompressed)
};

#define BASE "convert-im6.q16 src.ppm -compress None base.tif && "
#define BILEVEL "convert-im6.q16 src.ppm -monochrome -depth 1 -compress None bw.tif && "
#define PIL(args) "/usr/bin/python3 -c \"from PIL import Image; Image.open('src.ppm')" args "\""
const ToolCase kToolCases[] = {
    {"rgb_none_little_endian", BASE "tiffcp -L -c none base.tif out.tif"},
    {"rgb_none_big_endian", BASE "tiffcp -B -c none base.tif out.tif"},
    {"rgb_short_last_strip", BASE "tiffcp -c none -r 7 base.tif out.tif"},
    {"rgb_lzw", BASE "tiffcp -c lzw base.tif out.tif"},
    {"rgb_lzw_predictor", BASE "tiffcp -c lzw:2 -r 5 base.tif out.tif"},
    {"rgb_deflate", BASE "tiffcp -c zip base.tif out.tif"},
    {"rgb_deflate_predictor_big_endian", BASE "tiffcp -B -c zip:2 base.tif out.tif"},
    {"rgb_packbits", BASE "tiffcp -c packbits -r 4 base.tif out.tif"},
    {"rgb_packbits_imagemagick", "convert-im6.q16 src.ppm -compress RLE out.tif"},
    {"rgb_deflate_tag_32946", BASE "tiffcp -c zip base.tif out.tif && tiffset -s 259 32946 out.tif"},
    {"rgb16_deflate_predictor", "convert-im6.q16 src.ppm -depth 16 -compress Zip -define tiff:predictor=2 out.tif"},
    {"rgba", "convert-im6.q16 src.ppm -alpha set -channel A -fx 'i/w' -compress LZW out.tif"},
    {"grey8", "convert-im6.q16 src.ppm -colorspace Gray -compress None out.tif"},
    {"grey16_big_endian", "convert-im6.q16 src.ppm -colorspace Gray -depth 16 -endian MSB -compress LZW out.tif"},
    {"grey_alpha", "convert-im6.q16 src.ppm -colorspace Gray -alpha set -channel A -fx 0.5 -compress None out.tif"},
    {"grey2_netpbm", "ppmtopgm src.ppm | pnmdepth 3 | pamtotiff -lzw > out.tif"},
    {"grey4_netpbm", "ppmtopgm src.ppm | pnmdepth 15 | pamtotiff -packbits > out.tif"},
    {"bilevel", "convert-im6.q16 src.ppm -monochrome -compress None out.tif"},
    {"bilevel_min_is_white",
     "convert-im6.q16 src.ppm -monochrome -define quantum:polarity=min-is-white -compress None out.tif"},
    {"grey_min_is_white",
     "convert-im6.q16 src.ppm -colorspace Gray -define quantum:polarity=min-is-white -compress None out.tif"},
    {"palette4", "convert-im6.q16 src.ppm -colors 16 -type Palette -depth 4 -compress None out.tif"},
    {"palette8", "convert-im6.q16 src.ppm -colors 200 -type Palette -compress LZW out.tif"},
    {"pil_lzw", PIL(".save('out.tif', compression='tiff_lzw')")},
    {"pil_deflate", PIL(".save('out.tif', compression='tiff_adobe_deflate')")},
    {"pil_packbits_grey", PIL(".convert('L').save('out.tif', compression='packbits')")},
    {"pil_palette", PIL(".quantize(50).save('out.tif')")},
    {"tiled", BASE "tiffcp -t -c none base.tif out.tif"},
    {"tiled_lzw_predictor_big_endian", BASE "tiffcp -B -t -w 16 -l 32 -c lzw:2 base.tif out.tif"},
    {"tiled_bilevel_packbits", BILEVEL "tiffcp -t -w 16 -l 16 -c packbits bw.tif out.tif"},
    {"tiled_palette4", "convert-im6.q16 src.ppm -colors 16 -type Palette -depth 4 -compress None p.tif && "
                       "tiffcp -t -w 32 -l 16 p.tif out.tif"},
    {"fax_g3_1d", BILEVEL "tiffcp -c g3:1d bw.tif out.tif"},
    {"fax_g3_1d_fill_strips", BILEVEL "tiffcp -c g3:1d:fill -r 5 bw.tif out.tif"},
    {"fax_g3_1d_lsb_first", BILEVEL "tiffcp -c g3:1d -f lsb2msb bw.tif out.tif"},
    {"fax_g3_imagemagick", "convert-im6.q16 src.ppm -monochrome -compress Fax out.tif"},
    {"fax_g3_netpbm", "ppmtopgm src.ppm | pgmtopbm | pamtotiff -g3 > out.tif"},
    {"fax_mh_pil", PIL(".convert('1').save('out.tif', compression='tiff_ccitt')")},
    {"fax_g3_pil", PIL(".convert('1').save('out.tif', compression='group3')")},
};

class TIFFToolTest : public ::testing::TestWithParam<ToolCase> {};

TEST_P(TIFFToolTest, DecodesLikeLibtiff) {
  if (!HaveTools()) GTEST_SKIP() << "ImageMagick, libtiff's tools, netpbm or PIL missing";
  ScratchDir dir;
  WritePnm(dir / "src.ppm", TestPicture());
  const std::string in = "cd '" + (dir / "") + "' && ";
  ASSERT_TRUE(RunShell(in + GetParam().Make)) << GetParam().Make;
  ASSERT_TRUE(RunShell(in + "tiffcp -c none out.tif plain.tif && convert-im6.q16 plain.tif -alpha off -depth 8 "
                            "ppm:ref.ppm"));
  ASSERT_TRUE(RunShell(std::string(VISTELO_PICDECODE) + " " + (dir / "out.tif") + " " + (dir / "ours.ppm")));
  const Pnm ours = ReadPnm(dir / "ours.ppm");
  ASSERT_EQ(ours.Width, 37);
  ASSERT_EQ(ours.Height, 23);
  EXPECT_TRUE(ours == ReadPnm(dir / "ref.ppm"));
}

INSTANTIATE_TEST_SUITE_P(Files, TIFFToolTest, ::testing::ValuesIn(kToolCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// JPEG strips: libjpeg's own decode (through libtiff) is the reference, up
// to rounding differences of the colour conversion; so are uncompressed
// YCbCr rows.
const ToolCase kJPEGCases[] = {
    {"jpeg_ycbcr_subsampled", BASE "tiffcp -c jpeg -r 16 base.tif out.tif"},
    {"jpeg_rgb", BASE "tiffcp -c jpeg:r -r 8 base.tif out.tif"},
    {"jpeg_imagemagick", "convert-im6.q16 src.ppm -compress JPEG out.tif"},
    {"jpeg_grey", "convert-im6.q16 src.ppm -colorspace Gray -compress JPEG out.tif"},
    {"jpeg_pil", PIL(".save('out.tif', compression='jpeg')")},
    {"ycbcr_pil", PIL(".convert('YCbCr').save('out.tif', compression='tiff_lzw')")},
};
#undef BASE
#undef BILEVEL
#undef PIL

class TIFFJPEGTest : public ::testing::TestWithParam<ToolCase> {};

// CMYK: libtiff's own conversion to RGB is the reference; it rounds as the
// colour manager does.
TEST(TIFFReader, CmykDecodesLikeLibtiffsRgbConversion) {
  if (!HaveTools()) GTEST_SKIP();
  for (const char* make : {"convert-im6.q16 src.ppm -depth 8 -colorspace CMYK -compress LZW out.tif",
                           "/usr/bin/python3 -c \"from PIL import Image; "
                           "Image.open('src.ppm').convert('CMYK').save('out.tif', compression='packbits')\""}) {
    SCOPED_TRACE(make);
    ScratchDir dir;
    WritePnm(dir / "src.ppm", TestPicture());
    const std::string in = "cd '" + (dir / "") + "' && ";
    ASSERT_TRUE(RunShell(in + make));
    ASSERT_TRUE(RunShell(in + "tiff2rgba out.tif rgba.tif && convert-im6.q16 rgba.tif -alpha off -depth 8 ppm:ref.ppm"));
    ASSERT_TRUE(RunShell(std::string(VISTELO_PICDECODE) + " " + (dir / "out.tif") + " " + (dir / "ours.ppm")));
    const Pnm ours = ReadPnm(dir / "ours.ppm");
    ASSERT_EQ(ours.Width, 37);
    EXPECT_TRUE(ours == ReadPnm(dir / "ref.ppm"));
  }
}

TEST_P(TIFFJPEGTest, DecodesLikeLibtiffWithinOne) {
  if (!HaveTools()) GTEST_SKIP() << "ImageMagick, libtiff's tools, netpbm or PIL missing";
  ScratchDir dir;
  WritePnm(dir / "src.ppm", TestPicture());
  const std::string in = "cd '" + (dir / "") + "' && ";
  ASSERT_TRUE(RunShell(in + GetParam().Make)) << GetParam().Make;
  ASSERT_TRUE(RunShell(in + "tiffcp -c none out.tif plain.tif && convert-im6.q16 plain.tif -depth 8 ppm:ref.ppm"));
  ASSERT_TRUE(RunShell(std::string(VISTELO_PICDECODE) + " " + (dir / "out.tif") + " " + (dir / "ours.ppm")));
  const Pnm ours = ReadPnm(dir / "ours.ppm");
  const Pnm ref = ReadPnm(dir / "ref.ppm");
  ASSERT_EQ(ours.Width, 37);
  ASSERT_EQ(ours.Height, 23);
  ASSERT_EQ(ours.Pixels.size(), ref.Pixels.size());
  int worst = 0;
  for (std::size_t i = 0; i < ours.Pixels.size(); ++i) worst = std::max(worst, std::abs(ours.Pixels[i] - ref.Pixels[i]));
  EXPECT_LE(worst, 1);
}

INSTANTIATE_TEST_SUITE_P(Files, TIFFJPEGTest, ::testing::ValuesIn(kJPEGCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct RefusedCase {
  const char* Name;
  const char* Make;
  const char* Message;
};

const char* const kUnsupportedCompression =
    "Bild konnte nicht geladen werden. Das Kompressionsformat ist nicht unterstützt für TIF/TIFF Dateien.";
const char* const kUnsupportedImage = "Bild konnte nicht geladen werden. Nicht unterstütztes TIF/TIFF Bildformat.";

const RefusedCase kRefusedCases[] = {
    {"tiled_jpeg", "tiffcp -t -c jpeg base.tif out.tif", kUnsupportedCompression},
    {"separate_planes", "tiffcp -p separate -c none base.tif out.tif", kUnsupportedImage},
    {"group4", "convert-im6.q16 base.tif -monochrome -compress Group4 out.tif", kUnsupportedCompression},
    {"group3_2d", "convert-im6.q16 base.tif -monochrome out.pbm && tiffcp -c g3:2d out.pbm out.tif || "
                  "(pamtotiff -g3 -2d out.pbm > out.tif)",
     kUnsupportedCompression},
    {"old_compression_tag_missing", "tiffcp -c none base.tif out.tif && tiffset -s 259 32947 out.tif",
     kUnsupportedCompression},
};

class TIFFRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

// Variants the reader does not decode raise the picture error instead of
// giving an empty or scrambled picture.
TEST_P(TIFFRefusedTest, RaisesThePictureError) {
  if (!HaveTools()) GTEST_SKIP();
  ScratchDir dir;
  WritePnm(dir / "src.ppm", TestPicture());
  ASSERT_TRUE(RunShell("cd '" + (dir / "") + "' && convert-im6.q16 src.ppm -compress None base.tif && " +
                       GetParam().Make));
  TFileStream stream(dir / "out.tif", fmOpenRead);
  TTIFFGraphic tiff;
  try {
    tiff.LoadFromStream(stream);
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message, GetParam().Message);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, TIFFRefusedTest, ::testing::ValuesIn(kRefusedCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- hand-made files -------------------------------------------------------

auto Load(const Bytes& bytes) { return LoadBytes<TTIFFGraphic>(bytes); }
std::string LoadError(const Bytes& bytes) { return LoadErrorOf<TTIFFGraphic>(bytes); }

// A little-endian TIFF: header, pixel data at 8, then one directory.
struct TiffBuilder {
  Bytes Data;
  std::vector<std::array<std::uint32_t, 4>> Entries;  // tag, type, count, value

  explicit TiffBuilder(Bytes pixels) : Data(std::move(pixels)) {}
  TiffBuilder& Tag(std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value) {
    Entries.push_back({tag, type, count, value});
    return *this;
  }
  Bytes Build() const {
    Bytes b = {'I', 'I', 42, 0, 0, 0, 0, 0};
    b.insert(b.end(), Data.begin(), Data.end());
    if (b.size() % 2) b.push_back(0);
    const std::uint32_t ifd = static_cast<std::uint32_t>(b.size());
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<std::uint8_t>(ifd >> (8 * i));
    auto put = [&](std::uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(static_cast<std::uint32_t>(Entries.size()), 2);
    for (const auto& e : Entries) {
      put(e[0], 2);
      put(e[1], 2);
      put(e[2], 4);
      put(e[3], 4);
    }
    put(0, 4);
    return b;
  }
};

// 3 x 2 grey, 8 bits, one strip at offset 8.
TiffBuilder Grey3x2() {
  return std::move(TiffBuilder({10, 20, 30, 40, 50, 60})
                       .Tag(256, 3, 1, 3)
                       .Tag(257, 3, 1, 2)
                       .Tag(258, 3, 1, 8)
                       .Tag(259, 3, 1, 1)
                       .Tag(262, 3, 1, 1)
                       .Tag(273, 4, 1, 8)
                       .Tag(278, 3, 1, 2)
                       .Tag(279, 4, 1, 6));
}

TEST(TIFFReader, RowsPerStripBeyondTheHeightAndAStripEndingAtTheFileEnd) {
  // RowsPerStrip 1000 and a byte count beyond the data: the strip holds what
  // the image needs and what the file has.
  TiffBuilder t = Grey3x2();
  t.Entries[6][3] = 1000;
  t.Entries[7][3] = 600;
  auto tiff = Load(t.Build());
  EXPECT_EQ(tiff->ScanLine(1)[2], 60);
  EXPECT_EQ(tiff->Palette()[60], 0x3C3C3Cu);
}

TEST(TIFFReader, PackedRgbStripCutShortLeavesItsUnfinishedRowsBlack) {
  // 4 x 3 RGB, one PackBits strip: a literal for the first row, then one
  // for the second row that the strip's byte count cuts after 5 bytes.
  Bytes packed = {11};
  for (std::uint8_t i = 1; i <= 12; ++i) packed.push_back(i);
  packed.push_back(11);
  for (std::uint8_t i = 0; i < 5; ++i) packed.push_back(0xEE);
  const auto byteCount = static_cast<std::uint32_t>(packed.size());
  const Bytes file = TiffBuilder(packed)
                         .Tag(256, 3, 1, 4)
                         .Tag(257, 3, 1, 3)
                         .Tag(258, 3, 1, 8)
                         .Tag(259, 3, 1, 32773)
                         .Tag(262, 3, 1, 2)
                         .Tag(273, 4, 1, 8)
                         .Tag(277, 3, 1, 3)
                         .Tag(278, 3, 1, 3)
                         .Tag(279, 4, 1, byteCount)
                         .Build();
  auto tiff = Load(file);
  const Bytes firstRow(tiff->ScanLine(0), tiff->ScanLine(0) + 12);
  EXPECT_EQ(firstRow, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
  for (int y = 1; y < 3; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(Bytes(tiff->ScanLine(y), tiff->ScanLine(y) + 12), Bytes(12, 0));
  }
}

TEST(TIFFReader, DamagedDirectoriesRaiseThePictureError) {
  const std::string invalid = "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes TIF/TIFF Bildformat.";
  struct Case {
    const char* Name;
    std::function<void(TiffBuilder&)> Damage;
    std::string Message;
  };
  const Case cases[] = {
      {"no compression tag", [](TiffBuilder& t) { t.Entries.erase(t.Entries.begin() + 3); },
       kUnsupportedCompression},
      {"no strip byte counts", [](TiffBuilder& t) { t.Entries.erase(t.Entries.begin() + 7); }, invalid},
      {"zero width", [](TiffBuilder& t) { t.Entries[0][3] = 0; }, invalid},
      {"3 bits per sample", [](TiffBuilder& t) { t.Entries[2][3] = 3; }, "Ungültiges Farbformat in TIF/TIFF Bild."},
      {"colour map larger than 256 colours",
       [](TiffBuilder& t) {
         t.Entries[4][3] = 3;
         t.Tag(320, 3, 3 * 300, 8);
       },
       "Bild konnte nicht geladen werden. Palette in TIF/TIFF Datei ist ungültig."},
      {"strip offsets beyond the file", [](TiffBuilder& t) { t.Entries[5] = {273, 4, 2, 0x7FFFFFF0}; },
       "Stream Lesefehler in TIF/TIFF Datei."},
      {"huge picture", [](TiffBuilder& t) { t.Entries[0] = {256, 4, 1, 0x7FFFFFFF}; }, invalid},
  };
  for (const Case& c : cases) {
    TiffBuilder t = Grey3x2();
    c.Damage(t);
    EXPECT_EQ(LoadError(t.Build()), c.Message) << c.Name;
  }
}

TEST(TIFFReader, CieLabTakesLightnessAsBytesAndChromaAsSignedBytes) {
  // Expected colours from the conversion's formulas: a blue-grey, a light
  // red beyond the red range, and a dark colour on the linear branch.
  const Bytes lab = {107, 255, 222, 200, 40, 10, 15, 30, 226};
  const Bytes file = TiffBuilder(lab)
                         .Tag(256, 3, 1, 3)
                         .Tag(257, 3, 1, 1)
                         .Tag(258, 3, 1, 8)
                         .Tag(259, 3, 1, 1)
                         .Tag(262, 3, 1, 8)
                         .Tag(273, 4, 1, 8)
                         .Tag(277, 3, 1, 3)
                         .Tag(278, 3, 1, 1)
                         .Tag(279, 4, 1, 9)
                         .Build();
  auto tiff = Load(file);
  EXPECT_EQ(Bytes(tiff->ScanLine(0), tiff->ScanLine(0) + 9), (Bytes{81, 35, 6, 116, 94, 255, 7, 0, 5}));
}

TEST(TIFFReader, ResolutionInCentimetresIsReportedPerInch) {
  TiffBuilder t = Grey3x2();
  Bytes file = t.Tag(282, 5, 1, 0).Tag(296, 3, 1, 3).Build();
  // The rational sits behind the directory: 100 / 1.
  const std::uint32_t at = static_cast<std::uint32_t>(file.size());
  for (std::uint32_t v : {100u, 1u})
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  const std::size_t entry = file.size() - 8 - 4 - 2 * 12 + 8;  // value field of tag 282
  for (int i = 0; i < 4; ++i) file[entry + i] = static_cast<std::uint8_t>(at >> (8 * i));
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
  stream.SetPosition(0);
  TTIFFGraphic tiff;
  ASSERT_TRUE(tiff.ReadImageProperties(stream, 0));
  EXPECT_FLOAT_EQ(tiff.ImageProperties().XResolution, 254.0f);
}

TEST(TIFFReader, CanLoadChecksByteOrderVersionAndFirstDirectory) {
  const Bytes good = Grey3x2().Build();
  Bytes badVersion = good, farDirectory = good;
  badVersion[2] = 43;
  farDirectory[7] = 0x7F;
  for (const auto& [bytes, expected] :
       {std::pair{good, true}, std::pair{badVersion, false}, std::pair{farDirectory, false}}) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    EXPECT_EQ(TTIFFGraphic::CanLoad(stream), expected);
    EXPECT_EQ(stream.Position(), 0);
  }
}

// Fax and ThunderScan data no tool at hand writes, checked against libtiff's
// decode where its tools are installed.
struct HandMadeCase {
  const char* Name;
  std::uint32_t Width, Height, BitsPerSample, Compression, Photometric;
  Bytes Data;
  std::vector<std::uint8_t> Expected;  // grey values, row by row
};

const HandMadeCase kHandMadeCases[] = {
    // Rows of white 3, black 5 and of white 8; each row starts on an even byte.
    {"mh_word_aligned", 8, 2, 1, 32771, 0, {0x83, 0x00, 0x98, 0x00},
     {255, 255, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255}},
    {"mh_byte_aligned", 8, 2, 1, 2, 0, {0x83, 0x98}, {255, 255, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255}},
    // Raw 5, deltas 0, 0, +1; raw 2, a run of 2, raw 2; raw 7, 3-bit deltas +3 and -3, runs of 0 and 1.
    // (No run ends a row here: libtiff's decoder drops such a run's last bytes.)
    {"thunderscan", 4, 3, 4, 32809, 1, {0xC5, 0x41, 0xC2, 0x02, 0xC2, 0xC7, 0x9D, 0x00, 0x01},
     {0x55, 0x55, 0x55, 0x66, 0x22, 0x22, 0x22, 0x22, 0x77, 0xAA, 0x77, 0x77}},
};

class TIFFHandMadeTest : public ::testing::TestWithParam<HandMadeCase> {};

TEST_P(TIFFHandMadeTest, DecodesToItsRuns) {
  const HandMadeCase& c = GetParam();
  const Bytes file = TiffBuilder(c.Data)
                         .Tag(256, 3, 1, c.Width)
                         .Tag(257, 3, 1, c.Height)
                         .Tag(258, 3, 1, c.BitsPerSample)
                         .Tag(259, 3, 1, c.Compression)
                         .Tag(262, 3, 1, c.Photometric)
                         .Tag(273, 4, 1, 8)
                         .Tag(278, 3, 1, c.Height)
                         .Tag(279, 4, 1, static_cast<std::uint32_t>(c.Data.size()))
                         .Build();
  auto tiff = Load(file);
  TBitmap grey;
  grey.Assign(tiff.get());
  grey.SetPixelFormat(pf24bit);
  std::vector<std::uint8_t> ours;
  for (int y = 0; y < grey.Height(); ++y)
    for (int x = 0; x < grey.Width(); ++x) ours.push_back(grey.ScanLine(y)[3 * x]);
  EXPECT_EQ(ours, c.Expected);

  if (!HaveTool("tiffcp") || !HaveTool(kMagick)) return;
  ScratchDir dir;
  WriteFileBytes(dir / "in.tif", file);
  ASSERT_TRUE(RunShell("cd '" + (dir / "") + "' && tiffcp -c none in.tif plain.tif && " +
                       "convert-im6.q16 plain.tif -depth 8 pgm:ref.pgm"));
  EXPECT_EQ(ReadPnm(dir / "ref.pgm").Pixels, c.Expected) << "libtiff decodes it otherwise";
}

INSTANTIATE_TEST_SUITE_P(Files, TIFFHandMadeTest, ::testing::ValuesIn(kHandMadeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- EPS -------------------------------------------------------------------

Bytes EpsAround(const Bytes& tiff, std::uint32_t previewOffset) {
  Bytes b = {0xC5, 0xD0, 0xD3, 0xC6};
  b.resize(30, 0);
  auto set = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  set(20, previewOffset);
  set(24, static_cast<std::uint32_t>(tiff.size()));
  b.resize(previewOffset, '%');
  b.insert(b.end(), tiff.begin(), tiff.end());
  return b;
}

TEST(EPSReader, PreviewOfImageMagicksBinaryEps) {
  if (!HaveTools()) GTEST_SKIP();
  ScratchDir dir;
  WritePnm(dir / "src.ppm", TestPicture());
  const std::string in = "cd '" + (dir / "") + "' && ";
  if (!RunShell(in + "convert-im6.q16 src.ppm EPT2:out.eps")) GTEST_SKIP() << "no EPT writer";
  const Bytes eps = ReadFileBytes(dir / "out.eps");
  ASSERT_GT(eps.size(), 30u);
  const std::uint32_t offset = eps[20] | eps[21] << 8 | eps[22] << 16 | static_cast<std::uint32_t>(eps[23]) << 24;
  const std::uint32_t length = eps[24] | eps[25] << 8 | eps[26] << 16 | static_cast<std::uint32_t>(eps[27]) << 24;
  WriteFileBytes(dir / "preview.tif", Bytes(eps.begin() + offset, eps.begin() + offset + length));
  ASSERT_TRUE(RunShell(in + "tiffcp -c none preview.tif plain.tif && convert-im6.q16 plain.tif -alpha off -depth 8 "
                            "ppm:ref.ppm"));
  ASSERT_TRUE(RunShell(std::string(VISTELO_PICDECODE) + " " + (dir / "out.eps") + " " + (dir / "ours.ppm")));
  const Pnm ours = ReadPnm(dir / "ours.ppm");
  ASSERT_GT(ours.Width, 0);
  EXPECT_TRUE(ours == ReadPnm(dir / "ref.ppm"));
}

TEST(EPSReader, HeaderChecks) {
  const Bytes tiff = Grey3x2().Build();
  const Bytes good = EpsAround(tiff, 40);
  Bytes badMagic = good, previewInHeader = good, noLength = good;
  badMagic[0] = 0;
  previewInHeader[20] = 20;
  noLength[24] = noLength[25] = 0;
  struct Case {
    const char* Name;
    Bytes File;
    bool CanLoad;
    std::string Error;
  };
  const std::string eps = "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes EPS Bildformat.";
  const Case cases[] = {
      {"good", good, true, "no error"},
      {"wrong magic", badMagic, false, eps},
      {"preview inside the header", previewInHeader, false, eps},
      {"preview length 0", noLength, false, eps},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    stream.WriteBuffer(c.File.data(), static_cast<std::int64_t>(c.File.size()));
    stream.SetPosition(0);
    EXPECT_EQ(TEPSGraphic::CanLoad(stream), c.CanLoad) << c.Name;
    TEPSGraphic graphic;
    std::string error = "no error";
    try {
      graphic.LoadFromStream(stream);
    } catch (const EInvalidGraphic& e) {
      error = e.Message;
    }
    EXPECT_EQ(error, c.Error) << c.Name;
    if (c.CanLoad) {
      EXPECT_EQ(graphic.ScanLine(1)[0], 40);
    }
  }
}

}  // namespace
