// The TIFF reader on hand-made directories for the damaged cases and the
// runs no tool writes, checked against libtiff's own decode where it reads
// them; the EPS preview reader on ImageMagick's binary EPS (the files tools
// write: ReaderConformanceTest).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

#include "ImageTools.h"
#include "ReaderTestTools.h"
#include "imageformats/TIFFGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

bool HaveTools()
{
    return HaveTool(kMagick) && HaveTool("tiffcp") && HaveTool("pamtotiff") &&
        RunShell("/usr/bin/python3 -c 'import PIL'");
}

// ---- hand-made files -------------------------------------------------------

auto Load(const Bytes& bytes) { return LoadBytes<TTIFFGraphic>(bytes); }
std::string LoadError(const Bytes& bytes) { return LoadErrorOf<TTIFFGraphic>(bytes); }

// A little-endian TIFF: header, pixel data at 8, then one directory.
struct TiffBuilder {
    Bytes Data;
    std::vector<std::array<std::uint32_t, 4>> Entries; // tag, type, count, value

    explicit TiffBuilder(Bytes pixels) : Data(std::move(pixels)) { }
    TiffBuilder& Tag(std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value)
    {
        Entries.push_back({tag, type, count, value});
        return *this;
    }
    Bytes Build() const
    {
        Bytes b = {'I', 'I', 42, 0, 0, 0, 0, 0};
        b.insert(b.end(), Data.begin(), Data.end());
        if (b.size() % 2)
            b.push_back(0);
        const std::uint32_t ifd = static_cast<std::uint32_t>(b.size());
        rtl::PutLE32(&b[4], ifd);
        auto put = [&](std::uint32_t v, int bytes) {
            if (bytes == 2)
                AppendLE16(b, static_cast<std::uint16_t>(v));
            else
                AppendLE32(b, v);
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
TiffBuilder Grey3x2()
{
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

TEST(TIFFReader, RowsPerStripBeyondTheHeightAndAStripEndingAtTheFileEnd)
{
    // RowsPerStrip 1000 and a byte count beyond the data: the strip holds what
    // the image needs and what the file has.
    TiffBuilder t = Grey3x2();
    t.Entries[6][3] = 1000;
    t.Entries[7][3] = 600;
    auto tiff = Load(t.Build());
    EXPECT_EQ(tiff->ScanLine(1)[2], 60);
    EXPECT_EQ(tiff->Palette()[60], 0x3C3C3Cu);
}

TEST(TIFFReader, PackedRgbStripCutShortLeavesItsUnfinishedRowsBlack)
{
    // 4 x 3 RGB, one PackBits strip: a literal for the first row, then one
    // for the second row that the strip's byte count cuts after 5 bytes.
    Bytes packed = {11};
    for (std::uint8_t i = 1; i <= 12; ++i)
        packed.push_back(i);
    packed.push_back(11);
    for (std::uint8_t i = 0; i < 5; ++i)
        packed.push_back(0xEE);
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

TEST(TIFFReader, DeflateStripCutShortKeepsTheRowsItHolds)
{
    // 4 x 3 RGB in one deflate strip, stored without compression so that the
    // byte count can cut the stream inside the last row.
    Bytes rows(36);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<std::uint8_t>(i + 1);
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    Bytes packed(size);
    ASSERT_EQ(compress2(packed.data(), &size, rows.data(), static_cast<uLong>(rows.size()), 0), Z_OK);
    packed.resize(size);
    // Zlib header, block header, two rows and three bytes of the third.
    const std::uint32_t cut = 2 + 5 + 24 + 3;
    for (const std::uint32_t byteCount : {static_cast<std::uint32_t>(packed.size()), cut}) {
        SCOPED_TRACE(byteCount);
        const Bytes file = TiffBuilder(packed)
                               .Tag(256, 3, 1, 4)
                               .Tag(257, 3, 1, 3)
                               .Tag(258, 3, 1, 8)
                               .Tag(259, 3, 1, 8)
                               .Tag(262, 3, 1, 2)
                               .Tag(273, 4, 1, 8)
                               .Tag(277, 3, 1, 3)
                               .Tag(278, 3, 1, 3)
                               .Tag(279, 4, 1, byteCount)
                               .Build();
        auto tiff = Load(file);
        const int rowsKept = byteCount == cut ? 2 : 3;
        for (int y = 0; y < 3; ++y) {
            Bytes expected(12, 0);
            for (int x = 0; x < 4 && y < rowsKept; ++x)
                for (int c = 0; c < 3; ++c)
                    expected[3 * x + c] = rows[12 * y + 3 * x + 2 - c];
            EXPECT_EQ(Bytes(tiff->ScanLine(y), tiff->ScanLine(y) + 12), expected) << "row " << y;
        }
    }
}

// A picture large enough to be inflated on several cores: each strip comes
// out as it would alone, a damaged one too, however the strips are shared
// out, from memory and from a file alike.
TEST(TIFFReader, ManyDeflateStripsOfOnePictureKeepTheirRowsAndTheirDamage)
{
    constexpr std::uint32_t width = 640, height = 600, rowsPerStrip = 16, bytesPerLine = 3 * width;
    constexpr std::uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    constexpr std::uint32_t cutStrip = 10, badChecksumStrip = 20, keptRowsOfCut = 5;
    Bytes rows(std::size_t{bytesPerLine} * height);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<std::uint8_t>((i * 7) ^ (i / bytesPerLine) ^ (i % 3 == 0 ? 0x55 : 0));
    for (const int predictor : {1, 2}) {
        SCOPED_TRACE(predictor);
        // With the predictor each sample is stored as its difference to the
        // same sample of the pixel before.
        Bytes stored = rows;
        if (predictor == 2)
            for (std::uint32_t y = 0; y < height; ++y)
                for (std::uint32_t i = bytesPerLine - 1; i >= 3; --i)
                    stored[y * bytesPerLine + i] = static_cast<std::uint8_t>(stored[y * bytesPerLine + i] -
                                                                             stored[y * bytesPerLine + i - 3]);
        Bytes data;
        std::vector<std::uint32_t> offsets, counts;
        for (std::uint32_t s = 0; s < strips; ++s) {
            const std::uint32_t first = s * rowsPerStrip, count = std::min(rowsPerStrip, height - first);
            const Bytes plain(stored.begin() + std::ptrdiff_t{first} * bytesPerLine,
                              stored.begin() + std::ptrdiff_t{first + count} * bytesPerLine);
            uLongf size = compressBound(static_cast<uLong>(plain.size()));
            Bytes packed(size);
            // The cut strip is stored without compression, so that its cut
            // falls after a known number of rows.
            ASSERT_EQ(
                compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()), s == cutStrip ? 0 : 6),
                Z_OK);
            packed.resize(size);
            if (s == cutStrip)
                packed.resize(2 + 5 + keptRowsOfCut * bytesPerLine + 100);
            if (s == badChecksumStrip)
                packed.back() ^= 0xFF;
            offsets.push_back(static_cast<std::uint32_t>(8 + data.size()));
            counts.push_back(static_cast<std::uint32_t>(packed.size()));
            data.insert(data.end(), packed.begin(), packed.end());
        }
        const auto offsetsAt = static_cast<std::uint32_t>(8 + data.size());
        for (const std::uint32_t v : offsets)
            AppendLE32(data, v);
        const auto countsAt = static_cast<std::uint32_t>(8 + data.size());
        for (const std::uint32_t v : counts)
            AppendLE32(data, v);
        const Bytes file = TiffBuilder(data)
                               .Tag(256, 3, 1, width)
                               .Tag(257, 3, 1, height)
                               .Tag(258, 3, 1, 8)
                               .Tag(259, 3, 1, 8)
                               .Tag(262, 3, 1, 2)
                               .Tag(273, 4, strips, offsetsAt)
                               .Tag(277, 3, 1, 3)
                               .Tag(278, 3, 1, rowsPerStrip)
                               .Tag(279, 4, strips, countsAt)
                               .Tag(317, 3, 1, static_cast<std::uint32_t>(predictor))
                               .Build();
        ScratchDir dir;
        WriteFileBytes(dir / "many.tif", file);
        auto fromMemory = Load(file);
        auto fromFile = std::make_unique<TTIFFGraphic>();
        fromFile->LoadFromFile(dir / "many.tif");
        for (TTIFFGraphic* tiff : {fromMemory.get(), fromFile.get()}) {
            ASSERT_EQ(tiff->Height(), static_cast<int>(height));
            int wrongRows = 0;
            for (std::uint32_t y = 0; y < height; ++y) {
                const bool lost = y / rowsPerStrip == cutStrip && y % rowsPerStrip >= keptRowsOfCut;
                Bytes expected(bytesPerLine, 0);
                for (std::uint32_t x = 0; x < width && !lost; ++x)
                    for (int c = 0; c < 3; ++c)
                        expected[3 * x + c] = rows[std::size_t{y} * bytesPerLine + 3 * x + 2 - c];
                const std::uint8_t* line = tiff->ScanLine(static_cast<int>(y));
                if (Bytes(line, line + bytesPerLine) != expected && ++wrongRows <= 3)
                    ADD_FAILURE() << "row " << y;
            }
            EXPECT_EQ(wrongRows, 0);
        }
    }
}

TEST(TIFFReader, DamagedDirectoriesRaiseThePictureError)
{
    const std::string invalid = "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes TIF/TIFF Bildformat.";
    const std::string unsupportedCompression =
        "Bild konnte nicht geladen werden. Das Kompressionsformat ist nicht unterstützt für TIF/TIFF Dateien.";
    struct Case {
        const char* Name;
        std::function<void(TiffBuilder&)> Damage;
        std::string Message;
        std::string Reason;
    };
    const Case cases[] = {
        {"no compression tag", [](TiffBuilder& t) { t.Entries.erase(t.Entries.begin() + 3); }, unsupportedCompression,
         "rrCompression"},
        {"no strip byte counts", [](TiffBuilder& t) { t.Entries.erase(t.Entries.begin() + 7); }, invalid,
         "rrStripTable"},
        {"zero width", [](TiffBuilder& t) { t.Entries[0][3] = 0; }, invalid, "rrHeader"},
        {"3 bits per sample", [](TiffBuilder& t) { t.Entries[2][3] = 3; }, "Ungültiges Farbformat in TIF/TIFF Bild.",
         "rrColorFormat"},
        {"colour map larger than 256 colours",
         [](TiffBuilder& t) {
             t.Entries[4][3] = 3;
             t.Tag(320, 3, 3 * 300, 8);
         },
         "Bild konnte nicht geladen werden. Palette in TIF/TIFF Datei ist ungültig.", "rrPalette"},
        {"strip offsets beyond the file",
         [](TiffBuilder& t) {
             t.Entries[5] = {273, 4, 2, 0x7FFFFFF0};
         },
         "Stream Lesefehler in TIF/TIFF Datei.", "rrTruncated"},
        {"huge picture",
         [](TiffBuilder& t) {
             t.Entries[0] = {256, 4, 1, 0x7FFFFFFF};
         },
         invalid, "rrDataTooShort"},
    };
    for (const Case& c : cases) {
        TiffBuilder t = Grey3x2();
        c.Damage(t);
        EXPECT_EQ(LoadError(t.Build()), c.Message) << c.Name;
        EXPECT_EQ(RefusalOf<TTIFFGraphic>(t.Build()), c.Reason) << c.Name;
    }
}

TEST(TIFFReader, CieLabTakesLightnessAsBytesAndChromaAsSignedBytes)
{
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

TEST(TIFFReader, ResolutionInCentimetresIsReportedPerInch)
{
    TiffBuilder t = Grey3x2();
    Bytes file = t.Tag(282, 5, 1, 0).Tag(296, 3, 1, 3).Build();
    // The rational sits behind the directory: 100 / 1.
    const std::uint32_t at = static_cast<std::uint32_t>(file.size());
    for (std::uint32_t v : {100u, 1u})
        AppendLE32(file, v);
    const std::size_t entry = file.size() - 8 - 4 - 2 * 12 + 8; // value field of tag 282
    rtl::PutLE32(&file[entry], at);
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
    stream.SetPosition(0);
    TTIFFGraphic tiff;
    ASSERT_TRUE(tiff.ReadImageProperties(stream, 0));
    EXPECT_FLOAT_EQ(tiff.ImageProperties().XResolution, 254.0f);
}

TEST(TIFFReader, CanLoadChecksByteOrderVersionAndFirstDirectory)
{
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
    std::vector<std::uint8_t> Expected; // grey values, row by row
};

const HandMadeCase kHandMadeCases[] = {
    // Rows of white 3, black 5 and of white 8; each row starts on an even byte.
    {"mh_word_aligned",
     8,
     2,
     1,
     32771,
     0,
     {0x83, 0x00, 0x98, 0x00},
     {255, 255, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255}},
    {"mh_byte_aligned",
     8,
     2,
     1,
     2,
     0,
     {0x83, 0x98},
     {255, 255, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255}},
    // Raw 5, deltas 0, 0, +1; raw 2, a run of 2, raw 2; raw 7, 3-bit deltas +3 and -3, runs of 0 and 1.
    // (No run ends a row here: libtiff's decoder drops such a run's last bytes.)
    {"thunderscan",
     4,
     3,
     4,
     32809,
     1,
     {0xC5, 0x41, 0xC2, 0x02, 0xC2, 0xC7, 0x9D, 0x00, 0x01},
     {0x55, 0x55, 0x55, 0x66, 0x22, 0x22, 0x22, 0x22, 0x77, 0xAA, 0x77, 0x77}},
};

class TIFFHandMadeTest : public ::testing::TestWithParam<HandMadeCase> { };

TEST_P(TIFFHandMadeTest, DecodesToItsRuns)
{
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
        for (int x = 0; x < grey.Width(); ++x)
            ours.push_back(grey.ScanLine(y)[3 * x]);
    EXPECT_EQ(ours, c.Expected);

    if (!HaveTool("tiffcp") || !HaveTool(kMagick))
        return;
    ScratchDir dir;
    WriteFileBytes(dir / "in.tif", file);
    ASSERT_TRUE(RunIn(dir, "tiffcp -c none in.tif plain.tif && magick plain.tif -depth 8 pgm:ref.pgm"));
    EXPECT_EQ(ReadPnm(dir / "ref.pgm").Pixels, c.Expected) << "libtiff decodes it otherwise";
}

INSTANTIATE_TEST_SUITE_P(Files, TIFFHandMadeTest, ::testing::ValuesIn(kHandMadeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- EPS -------------------------------------------------------------------

Bytes EpsAround(const Bytes& tiff, std::uint32_t previewOffset)
{
    Bytes b = {0xC5, 0xD0, 0xD3, 0xC6};
    b.resize(30, 0);
    rtl::PutLE32(&b[20], previewOffset);
    rtl::PutLE32(&b[24], static_cast<std::uint32_t>(tiff.size()));
    b.resize(previewOffset, '%');
    b.insert(b.end(), tiff.begin(), tiff.end());
    return b;
}

TEST(EPSReader, PreviewOfImageMagicksBinaryEps)
{
    if (!HaveTools())
        GTEST_SKIP();
    ScratchDir dir;
    WritePnm(dir / "src.ppm", TestPicture());
    if (!RunIn(dir, "magick src.ppm EPT2:out.eps"))
        GTEST_SKIP() << "no EPT writer";
    const Bytes eps = ReadFileBytes(dir / "out.eps");
    ASSERT_GT(eps.size(), 30u);
    const std::uint32_t offset = rtl::GetLE32(&eps[20]);
    const std::uint32_t length = rtl::GetLE32(&eps[24]);
    WriteFileBytes(dir / "preview.tif", Bytes(eps.begin() + offset, eps.begin() + offset + length));
    ASSERT_TRUE(RunIn(dir, "tiffcp -c none preview.tif plain.tif && magick plain.tif -alpha off -depth 8 ppm:ref.ppm"));
    ASSERT_TRUE(Picdecode(dir, "out.eps", "ours.ppm"));
    const Pnm ours = ReadPnm(dir / "ours.ppm");
    ASSERT_GT(ours.Width, 0);
    EXPECT_TRUE(ours == ReadPnm(dir / "ref.ppm"));
}

TEST(EPSReader, HeaderChecks)
{
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

} // namespace
