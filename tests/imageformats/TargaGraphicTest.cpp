// The Truevision reader on hand-made files for the variants no tool writes
// and damaged files, and the writer read back by the reader and ImageMagick
// (the files tools write: ReaderConformanceTest).
#include <gtest/gtest.h>

#include <cstring>

#include "ImageTools.h"
#include "imageformats/TargaGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

Pnm TopFiveBits(Pnm pnm)
{
    for (auto& b : pnm.Pixels)
        b = static_cast<std::uint8_t>(b >> 3);
    return pnm;
}

// ---- hand-made files -------------------------------------------------------

struct TgaBuilder {
    std::vector<std::uint8_t> Bytes;
    TgaBuilder(std::uint8_t mapType, std::uint8_t type, std::uint16_t mapLength, std::uint8_t entrySize,
               std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t descriptor,
               std::uint8_t idLength = 0)
    {
        Bytes = {idLength, mapType, type, 0, 0, 0, 0, entrySize, 0, 0, 0, 0, 0, 0, 0, 0, depth, descriptor};
        rtl::PutLE16(&Bytes[5], mapLength);
        rtl::PutLE16(&Bytes[12], width);
        rtl::PutLE16(&Bytes[14], height);
        Bytes.resize(Bytes.size() + idLength, 'i');
    }
    TgaBuilder& Add(std::initializer_list<int> bytes)
    {
        for (int b : bytes)
            Bytes.push_back(static_cast<std::uint8_t>(b));
        return *this;
    }
};

std::unique_ptr<TTargaGraphic> Load(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto graphic = std::make_unique<TTargaGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

std::uint32_t Pixel24(TBitmap& bitmap, int x, int y)
{
    TBitmap copy;
    copy.Assign(&bitmap);
    copy.SetPixelFormat(pf24bit);
    const std::uint8_t* p = copy.ScanLine(y) + 3 * x;
    return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

TEST(TargaReader, Depth15KeepsTwoBytesPerPixelAndTopDownOrder)
{
    // 2 x 2, top-down: red, blue / green, white as 5-5-5 words.
    auto tga = Load(TgaBuilder(0, 2, 0, 0, 2, 2, 15, 0x20).Add({0x00, 0x7C, 0x1F, 0x00, 0xE0, 0x03, 0xFF, 0x7F}).Bytes);
    EXPECT_EQ(tga->PixelFormat(), pf15bit);
    EXPECT_EQ(Pixel24(*tga, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel24(*tga, 1, 0), 0x0000FFu);
    EXPECT_EQ(Pixel24(*tga, 0, 1), 0x00FF00u);
    EXPECT_EQ(Pixel24(*tga, 1, 1), 0xFFFFFFu);
}

TEST(TargaReader, BottomUpFileFillsTheLastRowFirst)
{
    auto tga = Load(TgaBuilder(0, 3, 0, 0, 1, 3, 8, 0).Add({10, 20, 30}).Bytes);
    EXPECT_EQ(tga->ScanLine(0)[0], 30);
    EXPECT_EQ(tga->ScanLine(2)[0], 10);
    EXPECT_EQ(tga->Palette().size(), 256u);
    EXPECT_EQ(tga->Palette()[30], 0x1E1E1Eu);
}

TEST(TargaReader, ColourMapsOfEveryEntrySize)
{
    // Two entries each: red and green; the pixels are 1 then 0.
    struct MapCase {
        std::uint8_t EntrySize;
        std::initializer_list<int> Map;
    };
    const MapCase cases[] = {
        {15, {0x00, 0x7C, 0xE0, 0x03}},
        {16, {0x00, 0x7C, 0xE0, 0x03}},
        {24, {0, 0, 255, 0, 255, 0}},
        {32, {0, 0, 255, 128, 0, 255, 0, 7}},
    };
    for (const MapCase& c : cases) {
        SCOPED_TRACE(int{c.EntrySize});
        auto tga = Load(TgaBuilder(1, 1, 2, c.EntrySize, 2, 1, 8, 0x20).Add(c.Map).Add({1, 0}).Bytes);
        ASSERT_EQ(tga->PixelFormat(), pf8bit);
        const std::uint32_t red = c.EntrySize <= 16 ? 0xF80000u : 0xFF0000u;
        const std::uint32_t green = c.EntrySize <= 16 ? 0x00F800u : 0x00FF00u;
        EXPECT_EQ(tga->Palette()[0], red);
        EXPECT_EQ(tga->Palette()[1], green);
        EXPECT_EQ(tga->ScanLine(0)[0], 1);
        EXPECT_EQ(tga->ScanLine(0)[1], 0);
    }
}

TEST(TargaReader, MapOnATrueColourPictureIsSkipped)
{
    auto tga = Load(TgaBuilder(1, 2, 2, 24, 1, 1, 24, 0).Add({1, 2, 3, 4, 5, 6}).Add({0x10, 0x20, 0x30}).Bytes);
    EXPECT_EQ(tga->PixelFormat(), pf24bit);
    EXPECT_EQ(Pixel24(*tga, 0, 0), 0x302010u);
}

TEST(TargaReader, PixelBeyondTheMapNamesABlackEntry)
{
    auto tga = Load(TgaBuilder(1, 1, 1, 24, 2, 1, 8, 0).Add({255, 255, 255}).Add({0, 200}).Bytes);
    ASSERT_EQ(tga->Palette().size(), 256u);
    EXPECT_EQ(Pixel24(*tga, 1, 0), 0u);
    EXPECT_EQ(Pixel24(*tga, 0, 0), 0xFFFFFFu);
}

TEST(TargaReader, RunLengthPacketsMayCrossRowEnds)
{
    // 3 x 2 grey, top-down: a run of 4 sevens, then a raw packet of 2.
    auto tga = Load(TgaBuilder(0, 11, 0, 0, 3, 2, 8, 0x20).Add({0x83, 7, 0x01, 8, 9}).Bytes);
    const std::uint8_t* top = tga->ScanLine(0);
    const std::uint8_t* bottom = tga->ScanLine(1);
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2], bottom[0], bottom[1], bottom[2]}),
              (std::vector<int>{7, 7, 7, 7, 8, 9}));
    // 24-bit raw packet crossing: 2 x 2 from one packet of 4 pixels.
    auto rgb = Load(TgaBuilder(0, 10, 0, 0, 2, 2, 24, 0x20).Add({0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).Bytes);
    EXPECT_EQ(Pixel24(*rgb, 1, 1), 0x0C0B0Au);
}

TEST(TargaReader, StreamIsLeftBehindTheEncodedRows)
{
    std::vector<std::uint8_t> bytes = TgaBuilder(0, 11, 0, 0, 4, 1, 8, 0).Add({0x83, 5}).Bytes;
    const auto end = static_cast<std::int64_t>(bytes.size());
    bytes.insert(bytes.end(), {'T', 'R', 'A', 'I', 'L'});
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    TTargaGraphic tga;
    tga.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), end);
}

TEST(TargaReader, DamagedFilesRaiseThePictureError)
{
    struct BadCase {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        const char* Message;
    };
    const std::string invalid = "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes TGA Bildformat.";
    const std::string readError = "Stream Lesefehler in TGA Datei.";
    const BadCase cases[] = {
        {"no image data (type 0)", TgaBuilder(0, 0, 0, 0, 2, 2, 8, 0).Add({1, 2, 3, 4}).Bytes, invalid.c_str()},
        {"type 4", TgaBuilder(0, 4, 0, 0, 2, 2, 8, 0).Add({1, 2, 3, 4}).Bytes, invalid.c_str()},
        {"type 8", TgaBuilder(0, 8, 0, 0, 2, 2, 24, 0).Add({1, 2, 3, 4}).Bytes, invalid.c_str()},
        {"type 12", TgaBuilder(0, 12, 0, 0, 2, 2, 24, 0).Add({1, 2, 3, 4}).Bytes, invalid.c_str()},
        {"zero width", TgaBuilder(0, 2, 0, 0, 0, 2, 24, 0).Bytes, invalid.c_str()},
        {"grey at 24 bits", TgaBuilder(0, 3, 0, 0, 1, 1, 24, 0).Add({1, 2, 3}).Bytes, invalid.c_str()},
        {"depth 12", TgaBuilder(0, 2, 0, 0, 1, 1, 12, 0).Add({1, 2}).Bytes, invalid.c_str()},
        {"colour map type 2", TgaBuilder(2, 2, 0, 0, 1, 1, 24, 0).Add({1, 2, 3}).Bytes, invalid.c_str()},
        {"short header", {0, 0, 2, 0, 0}, readError.c_str()},
        {"truncated id field", TgaBuilder(0, 2, 0, 0, 1, 1, 24, 0).Bytes, readError.c_str()},
        {"truncated raw row", TgaBuilder(0, 2, 0, 0, 2, 2, 24, 0).Add({1, 2, 3, 4, 5, 6, 7}).Bytes, readError.c_str()},
        {"truncated colour map", TgaBuilder(1, 1, 200, 24, 1, 1, 8, 0).Add({1, 2, 3}).Bytes, readError.c_str()},
        {"huge picture, tiny file", TgaBuilder(0, 3, 0, 0, 65535, 65535, 8, 0).Add({1}).Bytes, readError.c_str()},
        {"truncated run-length data", TgaBuilder(0, 11, 0, 0, 200, 2, 8, 0).Add({0x85, 1, 0x7F, 1, 2}).Bytes,
         readError.c_str()},
        {"run packet without its pixel", TgaBuilder(0, 10, 0, 0, 1, 1, 24, 0).Add({0x80, 1, 2}).Bytes,
         readError.c_str()},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            Load(c.Bytes);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
    }
    // An id field of its full length is skipped even when the header's own
    // fields would fit into it.
    auto tga = Load(TgaBuilder(0, 3, 0, 0, 1, 1, 8, 0, 255).Add({42}).Bytes);
    EXPECT_EQ(tga->ScanLine(0)[0], 42);
}

TEST(TargaReader, CanLoadChecksTheHeaderAndKeepsThePosition)
{
    struct Case {
        std::vector<std::uint8_t> Bytes;
        bool Expected;
    };
    const Case cases[] = {
        {TgaBuilder(0, 2, 0, 24, 1, 1, 24, 0).Add({1, 2, 3}).Bytes, true},
        {TgaBuilder(0, 2, 0, 0, 1, 1, 24, 0).Add({1, 2, 3}).Bytes, false}, // entry size 0, as tools write
        {TgaBuilder(0, 9, 0, 16, 1, 1, 8, 0).Add({1}).Bytes, true},
        {TgaBuilder(0, 4, 0, 24, 1, 1, 8, 0).Add({1}).Bytes, false},
        {TgaBuilder(2, 2, 0, 24, 1, 1, 24, 0).Add({1, 2, 3}).Bytes, false},
        {TgaBuilder(0, 2, 0, 24, 1, 1, 12, 0).Add({1, 2, 3}).Bytes, false},
        {TgaBuilder(0, 2, 0, 24, 1, 1, 24, 0).Bytes, false}, // 18 bytes only
    };
    for (const Case& c : cases) {
        TMemoryStream stream;
        stream.WriteBuffer("xx", 2);
        stream.WriteBuffer(c.Bytes.data(), static_cast<std::int64_t>(c.Bytes.size()));
        stream.SetPosition(2);
        EXPECT_EQ(TTargaGraphic::CanLoad(stream), c.Expected);
        EXPECT_EQ(TTargaGraphic::StaticClass()->CanLoad(stream), c.Expected);
        EXPECT_EQ(stream.Position(), 2);
    }
}

TEST(TargaReader, ReportsProgressPerRow)
{
    std::vector<std::string> log;
    TMemoryStream stream;
    const auto bytes = TgaBuilder(0, 3, 0, 0, 2, 4, 8, 0).Add({1, 2, 3, 4, 5, 6, 7, 8}).Bytes;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    TTargaGraphic tga;
    tga.OnProgress = [&](TObject*, TProgressStage stage, std::uint8_t percent, bool, const TRect& r,
                         const std::string& msg) {
        log.push_back(std::to_string(stage) + ":" + std::to_string(percent) + ":" + std::to_string(r.Top) + ":" + msg);
    };
    tga.LoadFromStream(stream);
    EXPECT_EQ(log,
              (std::vector<std::string>{"0:0:0:Vorbereitung...", "2:0:0:", "0:0:0:Übertragung...",
                                        "1:0:0:", "1:25:1:", "1:50:2:", "1:75:3:", "2:0:4:"}));
}

// ---- the writer ------------------------------------------------------------

std::unique_ptr<TBitmap> BitmapOf(const Pnm& pnm, TPixelFormat format)
{
    auto bitmap = std::make_unique<TBitmap>(pnm.Width, pnm.Height, pf24bit);
    for (int y = 0; y < pnm.Height; ++y)
        for (int x = 0; x < pnm.Width; ++x) {
            std::uint8_t* p = bitmap->ScanLine(y) + 3 * x;
            p[0] = pnm.At(x, y)[2];
            p[1] = pnm.At(x, y)[1];
            p[2] = pnm.At(x, y)[0];
        }
    bitmap->SetPixelFormat(format);
    return bitmap;
}

std::vector<std::uint8_t> Save(TTargaGraphic& tga, bool compressed)
{
    TMemoryStream stream;
    tga.SaveToStream(stream, compressed);
    const auto* p = static_cast<const std::uint8_t*>(stream.Memory());
    return {p, p + stream.Size()};
}

Pnm PnmOf(TBitmap& bitmap)
{
    TBitmap copy;
    copy.Assign(&bitmap);
    copy.SetPixelFormat(pf24bit);
    Pnm pnm{copy.Width(), copy.Height(), 3, {}};
    for (int y = 0; y < copy.Height(); ++y)
        for (int x = 0; x < copy.Width(); ++x) {
            const std::uint8_t* p = copy.ScanLine(y) + 3 * x;
            pnm.Pixels.insert(pnm.Pixels.end(), {p[2], p[1], p[0]});
        }
    return pnm;
}

TEST(TargaWriter, HeaderFieldsOfEachKind)
{
    TTargaGraphic tga;
    tga.Assign(BitmapOf(TestPicture(5, 3), pf8bit).get());
    std::vector<std::uint8_t> bytes = Save(tga, true);
    ASSERT_GE(bytes.size(), 18u + 768u);
    EXPECT_EQ(bytes[1], 1); // colour map present
    EXPECT_EQ(bytes[2], 9); // colour-mapped, run-length encoded
    EXPECT_EQ(bytes[5] | bytes[6] << 8, 256);
    EXPECT_EQ(bytes[7], 24);
    EXPECT_EQ(bytes[16], 8);
    EXPECT_EQ(bytes[17], 0x20); // rows are written top first
    const std::uint32_t entry1 = tga.Palette()[1];
    EXPECT_EQ(bytes[18 + 3], static_cast<std::uint8_t>(entry1));
    EXPECT_EQ(bytes[18 + 5], static_cast<std::uint8_t>(entry1 >> 16));

    tga.Assign(BitmapOf(TestPicture(5, 3), pf24bit).get());
    bytes = Save(tga, false);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes[5] | bytes[6] << 8, 256);
    EXPECT_EQ(bytes[7], 24);
    EXPECT_EQ(bytes[12] | bytes[13] << 8, 5);
    EXPECT_EQ(bytes[14] | bytes[15] << 8, 3);
    EXPECT_EQ(bytes[16], 24);
    EXPECT_EQ(bytes.size(), 18u + 5 * 3 * 3);
}

TEST(TargaWriter, FourBitPictureBecomesEightBit)
{
    TTargaGraphic tga;
    tga.Assign(BitmapOf(TestPicture(5, 3), pf4bit).get());
    const Pnm before = PnmOf(tga);
    const std::vector<std::uint8_t> bytes = Save(tga, true);
    EXPECT_EQ(tga.PixelFormat(), pf8bit);
    EXPECT_EQ(bytes[16], 8);
    EXPECT_TRUE(PnmOf(tga) == before);
}

TEST(TargaWriter, EmptyPictureWritesNothing)
{
    TTargaGraphic tga;
    EXPECT_TRUE(Save(tga, true).empty());
}

TEST(TargaWriter, RoundTripThroughOurReaderAndImageMagick)
{
    const bool magick = HaveTool(kMagick);
    const Pnm picture = TestPicture();
    for (TPixelFormat format : {pf8bit, pf15bit, pf16bit, pf24bit, pf32bit})
        for (bool compressed : {false, true}) {
            SCOPED_TRACE(std::to_string(format) + (compressed ? " compressed" : " raw"));
            TTargaGraphic tga;
            tga.Assign(BitmapOf(picture, format).get());
            Pnm expected = PnmOf(tga);
            const std::vector<std::uint8_t> bytes = Save(tga, compressed);
            auto back = Load(bytes);
            const bool fiveBit = format == pf15bit || format == pf16bit;
            Pnm ours = PnmOf(*back);
            if (fiveBit) {
                expected = TopFiveBits(expected);
                ours = TopFiveBits(ours);
            }
            EXPECT_TRUE(ours == expected);
            if (!magick)
                continue;
            ScratchDir dir;
            WriteFileBytes(dir / "w.tga", bytes);
            ASSERT_TRUE(RunIn(dir, "magick w.tga -auto-orient -depth 8 ppm:ref.ppm"));
            Pnm reference = ReadPnm(dir / "ref.ppm");
            if (fiveBit)
                reference = TopFiveBits(reference);
            EXPECT_TRUE(reference == ours);
        }
}

} // namespace
