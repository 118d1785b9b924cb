// The Photo-CD reader against hand-made image and overview packs, its chroma
// doubling, and the Huffman correction decoder of the higher resolutions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ReaderTestTools.h"
#include "imageformats/PCDDecoder.h"
#include "imageformats/PCDGraphic.h"

using namespace imagetest;

namespace {

constexpr int kWidth = 768, kHeight = 512, kSector = 2048;

using Sample = std::function<std::uint8_t(int x, int y)>;

// A pack with the base image's row pairs: two luma rows, then a half row of
// each chroma component (chroma sample x of pair k covers pixels 2x, 2x+1 of
// rows 2k, 2k+1).
Bytes Pack(bool overview, std::uint8_t orientation, const Sample& luma, const Sample& chroma1, const Sample& chroma2)
{
    const int firstSector = overview ? 5 : 96;
    Bytes b(static_cast<std::size_t>(firstSector) * kSector, 0);
    if (overview)
        std::memcpy(b.data(), "PCD_OPA", 7);
    else
        std::memcpy(b.data() + kSector, "PCD_IPI", 7);
    if (!overview)
        b[3586] = orientation;
    b[10] = 0x01;
    b[11] = 0x02;
    for (int k = 0; k < kHeight / 2; ++k) {
        for (int y = 2 * k; y < 2 * k + 2; ++y)
            for (int x = 0; x < kWidth; ++x)
                b.push_back(luma(x, y));
        for (int x = 0; x < kWidth / 2; ++x)
            b.push_back(chroma1(x, k));
        for (int x = 0; x < kWidth / 2; ++x)
            b.push_back(chroma2(x, k));
    }
    return b;
}

// Neutral chroma: the picture is the luma as grey.
std::uint8_t NeutralC1(int, int) { return 156; }
std::uint8_t NeutralC2(int, int) { return 137; }
std::uint8_t LumaOf(int x, int y) { return static_cast<std::uint8_t>((x * 7 + y * 3) & 0xFF); }

// PhotoYCC to RGB by the converter's formula: luma weights 0.2125, 0.7154,
// 0.0721, chroma offsets 156 (first) and 137 (second), rounding ties to even.
std::uint32_t ExpectedRGB(int y, int c1, int c2)
{
    const float kr = 0.2125f, kg = 0.7154f, kb = 0.0721f;
    const float f1 = 2 - 2 * kr, f2 = kr * f1 / kg, f3 = 2 - 2 * kb, f4 = kb * f3 / kg;
    auto r = [](float v) { return static_cast<int>(std::nearbyint(v)); };
    auto clamp = [](int v) { return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    const float cr = static_cast<float>(c2 - 137), cb = static_cast<float>(c1 - 156);
    return clamp(y + r(cr * f1)) << 16 | clamp(y - r(cb * f4) - r(cr * f2)) << 8 | clamp(y + r(cb * f3));
}

std::uint32_t PixelAt(TBitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
    return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

std::uint32_t Grey(int v) { return static_cast<std::uint32_t>(v * 0x010101); }

TEST(PCDReader, OrientationTurnsThePicture)
{
    struct Case {
        std::uint8_t Orientation;
        int Width, Height;
        // Where source pixel (x, y) lands.
        int (*TargetX)(int x, int y);
        int (*TargetY)(int x, int y);
    };
    const Case cases[] = {
        {0, 768, 512, [](int x, int) { return x; }, [](int, int y) { return y; }},
        {2, 768, 512, [](int x, int) { return x; }, [](int, int y) { return y; }},
        {1, 512, 768, [](int, int y) { return y; }, [](int x, int) { return 767 - x; }},
        {3, 512, 768, [](int, int y) { return 511 - y; }, [](int x, int) { return x; }},
    };
    for (const Case& c : cases) {
        auto picture = LoadBytes<TPCDGraphic>(Pack(false, c.Orientation, LumaOf, NeutralC1, NeutralC2));
        ASSERT_EQ(picture->Width(), c.Width) << int(c.Orientation);
        ASSERT_EQ(picture->Height(), c.Height);
        ASSERT_EQ(picture->PixelFormat(), pf24bit);
        for (auto [x, y] : {std::pair{0, 0}, {767, 0}, {0, 511}, {767, 511}, {100, 37}, {5, 400}})
            EXPECT_EQ(PixelAt(*picture, c.TargetX(x, y), c.TargetY(x, y)), Grey(LumaOf(x, y)))
                << int(c.Orientation) << " at " << x << "," << y;
    }
}

TEST(PCDReader, ChromaOfARowPairIsDoubledWithRounding)
{
    // Only pair 0, chroma sample 0, is coloured; its neighbours get the means.
    auto c1 = [](int x, int k) -> std::uint8_t { return x == 0 && k == 0 ? 200 : 156; };
    auto c2 = [](int x, int k) -> std::uint8_t { return x == 0 && k == 0 ? 100 : 137; };
    auto luma = [](int, int) -> std::uint8_t { return 120; };
    auto picture = LoadBytes<TPCDGraphic>(Pack(true, 0, luma, c1, c2));
    EXPECT_TRUE(picture->ImageProperties().OverviewPack);
    EXPECT_EQ(PixelAt(*picture, 0, 0), ExpectedRGB(120, 200, 100));
    EXPECT_EQ(PixelAt(*picture, 1, 0), ExpectedRGB(120, 178, 119)); // (200 + 156 + 1) / 2, (100 + 137 + 1) / 2
    EXPECT_EQ(PixelAt(*picture, 0, 1), ExpectedRGB(120, 178, 119));
    EXPECT_EQ(PixelAt(*picture, 1, 1), ExpectedRGB(120, 167, 128)); // (200 + 3 x 156 + 2) / 4
    EXPECT_EQ(PixelAt(*picture, 2, 2), Grey(120));
}

TEST(PCDReader, PixelDoublingOfABlock)
{
    // 2 x 2 samples in rows 4 apart, doubled in place.
    std::vector<std::uint8_t> plane = {10, 20, 0, 0, 30, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PCDGraphic::DoublePixels(plane.data(), 2, 2, 4);
    EXPECT_EQ(plane,
              (std::vector<std::uint8_t>{10, 15, 20, 20,   // spread row 0
                                         20, 28, 35, 35,   // means of rows 0 and 2
                                         30, 40, 50, 50,   // spread row 1
                                         30, 40, 50, 50})) // the last row repeated
        << "rounding or the last column";
}

TEST(PCDReader, PropertiesReportTheResolutionStep)
{
    const Bytes pack = Pack(false, 1, LumaOf, NeutralC1, NeutralC2);
    TMemoryStream stream;
    stream.WriteBuffer(pack.data(), static_cast<std::int64_t>(pack.size()));
    struct Case {
        int Step;
        std::uint32_t Width, Height;
        TCompressionType Compression;
    };
    // Turned by a quarter: width and height swap.
    const Case cases[] = {{0, 128, 192, ctNone},
                          {2, 512, 768, ctNone},
                          {3, 1024, 1536, ctPCDHuffmann},
                          {5, 4096, 6144, ctPCDHuffmann},
                          {9, 4096, 6144, ctPCDHuffmann}};
    for (const Case& c : cases) {
        stream.SetPosition(0);
        TPCDGraphic graphic;
        ASSERT_TRUE(graphic.ReadImageProperties(stream, c.Step));
        const TImageProperties& p = graphic.ImageProperties();
        EXPECT_EQ(p.Width, c.Width) << c.Step;
        EXPECT_EQ(p.Height, c.Height) << c.Step;
        EXPECT_EQ(p.Compression, c.Compression) << c.Step;
        EXPECT_EQ(p.Orientation, 1);
        EXPECT_EQ(p.PCDVersion, 0x0102);
        EXPECT_EQ(p.ColorScheme, csPhotoYCC);
    }
    stream.SetPosition(0);
    EXPECT_TRUE(TPCDGraphic::CanLoad(stream));
    EXPECT_EQ(stream.Position(), 0);
}

TEST(PCDReader, DamagedPacksRaiseThePictureError)
{
    Bytes pack = Pack(false, 0, LumaOf, NeutralC1, NeutralC2);
    const Bytes truncated(pack.begin(), pack.end() - 1);
    Bytes unsigned_ = pack;
    unsigned_[kSector] = 'X';
    const Bytes headerOnly(pack.begin(), pack.begin() + 6200);
    EXPECT_EQ(LoadErrorOf<TPCDGraphic>(truncated), "Stream Lesefehler in PCD Datei.");
    EXPECT_EQ(LoadErrorOf<TPCDGraphic>(headerOnly), "Stream Lesefehler in PCD Datei.");
    EXPECT_EQ(LoadErrorOf<TPCDGraphic>(unsigned_),
              "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes PCD Bildformat.");
    EXPECT_EQ(LoadErrorOf<TPCDGraphic>(Bytes(100, 0)),
              "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes PCD Bildformat.");
}

// ---- the correction decoder ------------------------------------------------

// Bits written most significant first.
class BitWriter {
public:
    void Put(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 0)
                bytes_.push_back(0);
            if (value >> i & 1)
                bytes_.back() |= static_cast<std::uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    void Bytes8(std::initializer_list<int> values)
    {
        for (int v : values)
            Put(static_cast<std::uint32_t>(v), 8);
    }
    // The sync pattern and the row header: plane in the top 2 bits, 13-bit row.
    void Row(int plane, int row)
    {
        Put(0xFFFFFE, 24);
        Put(static_cast<std::uint32_t>(plane), 2);
        Put(static_cast<std::uint32_t>(row), 13);
        Put(0, 1);
    }
    Bytes Done(std::size_t padding = 8)
    {
        Bytes b = bytes_;
        b.resize(b.size() + padding, 0);
        return b;
    }

private:
    Bytes bytes_;
    int used_ = 0;
};

struct CodeEntry {
    int Length;
    std::uint16_t Code; // left-aligned
    std::int8_t Correction;
};

void Table(BitWriter& w, const std::vector<CodeEntry>& entries)
{
    w.Bytes8({static_cast<int>(entries.size()) - 1});
    for (const CodeEntry& e : entries)
        w.Bytes8({e.Length - 1, e.Code >> 8, e.Code & 0xFF, std::uint8_t(e.Correction)});
}

// '0' lowers by one, '10' raises by ten, '110' raises by one.
const std::vector<CodeEntry> kCodes = {{1, 0x0000, -1}, {2, 0x8000, 10}, {3, 0xC000, 1}};

int RunDecoder(const Bytes& data, std::uint8_t* const (&planes)[3], int rowLength, int rows)
{
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
    stream.SetPosition(0);
    TPCDDecoder decoder(stream);
    const auto* source = reinterpret_cast<const std::uint8_t*>(planes);
    std::uint8_t* dest = nullptr;
    return decoder.Decode(source, dest, rowLength, rows);
}

TEST(PCDDecoder, CorrectionsAreClampedToAByte)
{
    BitWriter w;
    Table(w, kCodes);
    w.Row(0, 1);
    w.Put(0b0'10'0'10'110, 9); // row 1 of 4 pixels, then one past the row
    w.Put(0b111, 3);           // no code: skipped up to the next sync
    w.Row(0, 2);               // the end row
    std::vector<std::uint8_t> luma = {0, 0, 0, 0, 100, 255, 0, 7}, c1(4), c2(4);
    std::uint8_t* const planes[3] = {luma.data(), c1.data(), c2.data()};
    EXPECT_EQ(RunDecoder(w.Done(), planes, 4, 2), 4);
    EXPECT_EQ(luma, (std::vector<std::uint8_t>{0, 0, 0, 0, 99, 255, 0, 17}));
}

TEST(PCDDecoder, LongRowsUseATableForEachPlane)
{
    // Row length above 1536: three tables, chroma rows at row / 2.
    const int rowLength = 1600;
    BitWriter w;
    Table(w, kCodes);
    Table(w, {{1, 0x8000, 5}});
    Table(w, {{2, 0x4000, -3}});
    w.Row(2, 3); // first chroma, row 3 -> chroma row 1
    w.Put(0b11, 2);
    w.Row(3, 0); // second chroma, row 0
    w.Put(0b01, 2);
    w.Row(1, 0); // plane code 1 stops
    w.Put(0b0000, 4);
    std::vector<std::uint8_t> luma(rowLength * 4, 50), c1(rowLength * 2, 50), c2(rowLength * 2, 50);
    std::uint8_t* const planes[3] = {luma.data(), c1.data(), c2.data()};
    EXPECT_EQ(RunDecoder(w.Done(), planes, rowLength, 4), 3);
    EXPECT_EQ(c1[rowLength], 55);
    EXPECT_EQ(c1[rowLength + 1], 55);
    EXPECT_EQ(c1[0], 50);
    EXPECT_EQ(c2[0], 47);
    EXPECT_EQ(luma[0], 50);
}

TEST(PCDDecoder, BadDataEndsQuietlyOrWithTheReadError)
{
    std::vector<std::uint8_t> luma(8, 9), c1(4), c2(4);
    std::uint8_t* const planes[3] = {luma.data(), c1.data(), c2.data()};
    BitWriter tooLong;
    Table(tooLong, {{17, 0, 1}});
    EXPECT_EQ(RunDecoder(tooLong.Done(), planes, 4, 2), 0);
    // Corrections past the plane are dropped.
    BitWriter past;
    Table(past, kCodes);
    past.Row(0, 1);
    past.Put(0, 6); // six pixels in a row of four, the last two beyond the plane
    past.Row(0, 2);
    EXPECT_EQ(RunDecoder(past.Done(), planes, 4, 2), 4);
    EXPECT_EQ(luma, (std::vector<std::uint8_t>{9, 9, 9, 9, 8, 8, 8, 8}));
    // No end row before the data runs out.
    BitWriter open;
    Table(open, kCodes);
    open.Row(0, 0);
    open.Put(0, 3);
    EXPECT_THROW(RunDecoder(open.Done(2), planes, 4, 2), EInvalidGraphic);
}

} // namespace
