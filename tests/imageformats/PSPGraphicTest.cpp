// The Paintshop Pro reader against hand-made files (no tool at hand writes
// the format): block layouts of version 3 and of later versions, the three
// channel packings, palettes, grey, alpha and layers without raster data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ReaderTestTools.h"
#include "imageformats/PSPGraphic.h"

using namespace imagetest;

namespace {

void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

enum Packing { kRaw = 0, kRunLength = 1, kDeflate = 2, kJpeg = 3 };

// Run-length packets as the format stores them: runs of two or more as
// 128 + n and the byte, everything else as one-byte literals.
Bytes RunLength(const Bytes& raw)
{
    Bytes out;
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t n = 1;
        while (i + n < raw.size() && raw[i + n] == raw[i] && n < 127)
            ++n;
        if (n >= 2) {
            out.push_back(static_cast<std::uint8_t>(128 + n));
            out.push_back(raw[i]);
        } else {
            out.push_back(1);
            out.push_back(raw[i]);
        }
        i += n;
    }
    return out;
}

struct Channel {
    unsigned Kind; // 0 composite, 1 red, 2 green, 3 blue
    Bytes Plane;   // channel row size x height bytes, unpacked
};

struct Layer {
    unsigned Type = 0; // 0 (and 1 from version 4 on) is a raster layer
    std::vector<Channel> Channels;
};

// A file of the given major version, written the way the format lays out
// its blocks: attributes, an optional palette, one layer block.
class PspFile {
public:
    PspFile(unsigned version, std::uint32_t width, std::uint32_t height, unsigned depth, Packing packing,
            bool grey = false)
        : version_(version), packing_(packing)
    {
        Bytes header(32, 0);
        std::memcpy(header.data(), "Paint Shop Pro Image File\n\x1a", 27);
        AppendLE16(header, version);
        AppendLE16(header, 0);
        Append(bytes_, header);
        Bytes a;
        AppendLE32(a, width);
        AppendLE32(a, height);
        const double resolution = 72.0;
        a.resize(a.size() + 8);
        std::memcpy(&a[8], &resolution, 8);
        a.push_back(1); // per inch
        AppendLE16(a, packing);
        AppendLE16(a, depth);
        AppendLE16(a, 1); // planes
        AppendLE32(a, depth <= 8 ? 1u << depth : 0);
        a.push_back(grey ? 1 : 0);
        a.resize(42, 0);
        Block(0, Leaf(a));
    }

    PspFile& Palette(const std::vector<std::uint32_t>& rgb)
    {
        Bytes p;
        AppendLE32(p, static_cast<std::uint32_t>(rgb.size()));
        for (std::uint32_t c : rgb) { // blue first, then a reserved byte
            p.push_back(static_cast<std::uint8_t>(c));
            p.push_back(static_cast<std::uint8_t>(c >> 8));
            p.push_back(static_cast<std::uint8_t>(c >> 16));
            p.push_back(0);
        }
        Block(2, Leaf(p));
        return *this;
    }

    PspFile& Layers(const std::vector<Layer>& layers)
    {
        Bytes block;
        for (const Layer& layer : layers) {
            Bytes info;
            if (version_ == 3) {
                info.resize(256, 'n');
            } else {
                Bytes named;
                AppendLE16(named, 5);
                Append(named, {'E', 'b', 'e', 'n', 'e'});
                info = Leaf(named);
            }
            Bytes details(115, 0);
            details[0] = static_cast<std::uint8_t>(layer.Type);
            Append(info, details);
            AppendLE16(info, 1);
            AppendLE16(info, static_cast<unsigned>(layer.Channels.size()));
            for (const Channel& c : layer.Channels)
                Append(info, SubBlock(5, ChannelContents(c)));
            Append(block, SubBlock(4, info));
        }
        Block(3, block);
        return *this;
    }

    // A block this reader does not know, to be passed over.
    PspFile& Other()
    {
        Block(9, Bytes(7, 0xEE));
        return *this;
    }

    Bytes Done() const { return bytes_; }

private:
    Bytes Header(unsigned id, std::size_t length) const
    {
        Bytes h = {'~', 'B', 'K', 0};
        AppendLE16(h, id);
        if (version_ == 3)
            AppendLE32(h, static_cast<std::uint32_t>(length));
        AppendLE32(h, static_cast<std::uint32_t>(length));
        return h;
    }
    Bytes SubBlock(unsigned id, const Bytes& contents) const
    {
        Bytes b = Header(id, contents.size());
        Append(b, contents);
        return b;
    }
    void Block(unsigned id, const Bytes& contents) { Append(bytes_, SubBlock(id, contents)); }
    // From version 4 on, leaf contents begin with their size.
    Bytes Leaf(const Bytes& contents) const
    {
        if (version_ == 3)
            return contents;
        Bytes b;
        AppendLE32(b, static_cast<std::uint32_t>(contents.size() + 4));
        Append(b, contents);
        return b;
    }
    Bytes ChannelContents(const Channel& c) const
    {
        const Bytes packed = packing_ == kRunLength ? RunLength(c.Plane)
            : packing_ == kDeflate                  ? Deflate(c.Plane)
                                                    : c.Plane;
        Bytes b;
        AppendLE32(b, static_cast<std::uint32_t>(packed.size()));
        AppendLE32(b, static_cast<std::uint32_t>(c.Plane.size()));
        AppendLE16(b, 0);
        AppendLE16(b, c.Kind);
        Append(b, packed);
        return Leaf(b);
    }

    unsigned version_;
    Packing packing_;
    Bytes bytes_;
};

// 3 x 2 pixels: red, green, blue planes and what the bitmap must hold.
const Bytes kRed = {255, 0, 0, 10, 10, 10};
const Bytes kGreen = {0, 255, 0, 20, 20, 20};
const Bytes kBlue = {0, 0, 255, 30, 30, 200};

std::vector<Channel> ColourChannels() { return {{1, kRed}, {2, kGreen}, {3, kBlue}}; }

// The picture as 0xRRGGBB values, row by row.
std::vector<std::uint32_t> Colours(TBitmap& picture)
{
    TBitmap copy;
    copy.Assign(&picture);
    copy.SetPixelFormat(pf24bit);
    std::vector<std::uint32_t> out;
    for (int y = 0; y < copy.Height(); ++y)
        for (int x = 0; x < copy.Width(); ++x) {
            const std::uint8_t* p = copy.ScanLine(y) + 3 * x;
            out.push_back(static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]));
        }
    return out;
}

const std::vector<std::uint32_t> kColourPicture = {0xFF0000, 0x00FF00, 0x0000FF, 0x0A141E, 0x0A141E, 0x0A14C8};

struct ColourCase {
    const char* Name;
    unsigned Version;
    Packing How;
};

class PSPColour : public ::testing::TestWithParam<ColourCase> { };

// Every channel after the first must come through as well: with deflate each
// channel is a stream of its own.
TEST_P(PSPColour, ChannelsOfEveryPackingAndVersion)
{
    const ColourCase& c = GetParam();
    const Bytes file = PspFile(c.Version, 3, 2, 24, c.How).Other().Layers({{0, ColourChannels()}}).Done();
    auto picture = LoadBytes<TPSPGraphic>(file);
    EXPECT_EQ(picture->PixelFormat(), pf24bit);
    EXPECT_EQ(Colours(*picture), kColourPicture);
}

INSTANTIATE_TEST_SUITE_P(Files, PSPColour,
                         ::testing::Values(ColourCase{"v3_raw", 3, kRaw}, ColourCase{"v3_rle", 3, kRunLength},
                                           ColourCase{"v3_deflate", 3, kDeflate}, ColourCase{"v5_raw", 5, kRaw},
                                           ColourCase{"v5_rle", 5, kRunLength}, ColourCase{"v5_deflate", 5, kDeflate}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PSPReader, LayersWithoutRasterDataArePassedOver)
{
    const Layer vector{2, {{1, Bytes(6, 99)}, {2, Bytes(6, 99)}, {3, Bytes(6, 99)}}};
    auto v5 = LoadBytes<TPSPGraphic>(PspFile(5, 3, 2, 24, kRaw).Layers({vector, {1, ColourChannels()}}).Done());
    EXPECT_EQ(Colours(*v5), kColourPicture);
    // Version 3 knows only type 0 as raster.
    const Layer typeOne{1, {{1, Bytes(6, 99)}, {2, Bytes(6, 99)}, {3, Bytes(6, 99)}}};
    auto v3 = LoadBytes<TPSPGraphic>(PspFile(3, 3, 2, 24, kRaw).Layers({typeOne, {0, ColourChannels()}}).Done());
    EXPECT_EQ(Colours(*v3), kColourPicture);
}

TEST(PSPReader, IndexedAndGreyLayersUseTheCompositeChannel)
{
    // 8-bit indexed: the palette block's entries are stored blue first.
    auto indexed = LoadBytes<TPSPGraphic>(
        PspFile(5, 3, 1, 8, kRunLength).Palette({0x102030, 0xA0B0C0, 0xFFFFFF}).Layers({{0, {{0, {1, 0, 2}}}}}).Done());
    EXPECT_EQ(indexed->PixelFormat(), pf8bit);
    EXPECT_EQ(Colours(*indexed), (std::vector<std::uint32_t>{0xA0B0C0, 0x102030, 0xFFFFFF}));
    // 4 bits: rows of width / 2 + 1 bytes, high nibble first.
    auto four = LoadBytes<TPSPGraphic>(PspFile(5, 3, 2, 4, kRaw)
                                           .Palette({0x000000, 0x0000FF, 0x00FF00, 0xFF0000})
                                           .Layers({{0, {{0, {0x12, 0x30, 0x32, 0x10}}}}})
                                           .Done());
    EXPECT_EQ(four->PixelFormat(), pf4bit);
    EXPECT_EQ(Colours(*four), (std::vector<std::uint32_t>{0x0000FF, 0x00FF00, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF}));
    // 1 bit: rows of whole bytes.
    auto one = LoadBytes<TPSPGraphic>(
        PspFile(3, 3, 1, 1, kRaw).Palette({0x000000, 0xFFFFFF}).Layers({{0, {{0, {0xA0}}}}}).Done());
    EXPECT_EQ(one->PixelFormat(), pf1bit);
    EXPECT_EQ(Colours(*one), (std::vector<std::uint32_t>{0xFFFFFF, 0x000000, 0xFFFFFF}));
    // A grey-flagged file needs no palette block.
    auto grey = LoadBytes<TPSPGraphic>(PspFile(5, 3, 1, 8, kDeflate, true).Layers({{0, {{0, {0, 128, 255}}}}}).Done());
    EXPECT_EQ(grey->ImageProperties().ColorScheme, csG);
    EXPECT_EQ(Colours(*grey), (std::vector<std::uint32_t>{0x000000, 0x808080, 0xFFFFFF}));
}

TEST(PSPReader, AFourthColourChannelBecomesAlpha)
{
    std::vector<Channel> channels = ColourChannels();
    channels.push_back({0, {255, 128, 0, 1, 2, 3}});
    auto picture = LoadBytes<TPSPGraphic>(PspFile(5, 3, 2, 24, kRunLength).Layers({{0, channels}}).Done());
    ASSERT_EQ(picture->PixelFormat(), pf32bit);
    EXPECT_TRUE(picture->ImageProperties().HasAlpha);
    const std::uint8_t* row = picture->ScanLine(0);
    EXPECT_EQ(row[0], 0); // blue, green, red, alpha
    EXPECT_EQ(row[2], 255);
    EXPECT_EQ(row[3], 255);
    EXPECT_EQ(row[7], 128);
    EXPECT_EQ(picture->ScanLine(1)[11], 3);
}

TEST(PSPReader, PropertiesOfTheAttributesBlock)
{
    TMemoryStream stream;
    const Bytes file = PspFile(5, 3, 2, 24, kDeflate).Layers({{0, ColourChannels()}}).Done();
    stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
    stream.SetPosition(0);
    EXPECT_TRUE(TPSPGraphic::CanLoad(stream));
    EXPECT_EQ(stream.Position(), 0);
    TPSPGraphic graphic;
    ASSERT_TRUE(graphic.ReadImageProperties(stream, 0));
    const TImageProperties& p = graphic.ImageProperties();
    EXPECT_EQ(p.Version, 5u);
    EXPECT_EQ(p.Width, 3u);
    EXPECT_EQ(p.Height, 2u);
    EXPECT_EQ(p.Compression, ctLZ77);
    EXPECT_EQ(p.ColorScheme, csRGB);
    EXPECT_EQ(p.BitsPerPixel, 24);
    EXPECT_FLOAT_EQ(p.XResolution, 72.0f);

    Bytes old = file;
    old[32] = 2; // major version 2
    TMemoryStream oldStream;
    oldStream.WriteBuffer(old.data(), static_cast<std::int64_t>(old.size()));
    oldStream.SetPosition(0);
    EXPECT_FALSE(TPSPGraphic::CanLoad(oldStream));
}

Bytes WithByte(Bytes b, std::size_t at, std::uint8_t value)
{
    b.at(at) = value;
    return b;
}

TEST(PSPReader, DamagedOrUnsupportedFilesRaiseThePictureError)
{
    const Bytes good = PspFile(5, 3, 2, 24, kRaw).Layers({{0, ColourChannels()}}).Done();
    struct Case {
        const char* Name;
        Bytes File;
        const char* Message;
    };
    const Case cases[] = {
        {"truncated channel", Bytes(good.begin(), good.end() - 4), "Stream Lesefehler in PSP Datei."},
        {"no data at all", PspFile(5, 3, 2, 24, kRaw).Done(), "Stream Lesefehler in PSP Datei."},
        {"no raster layer",
         PspFile(5, 3, 2, 24, kRaw).Layers({{2, {{1, Bytes(6, 9)}, {2, Bytes(6, 9)}, {3, Bytes(6, 9)}}}}).Done(),
         "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes PSP Bildformat."},
        {"jpeg channels", PspFile(5, 3, 2, 24, kJpeg).Layers({{0, ColourChannels()}}).Done(),
         "Bild konnte nicht geladen werden. Das Kompressionsformat ist nicht unterstützt für PSP Dateien."},
        {"16 bits", PspFile(5, 3, 2, 16, kRaw).Layers({{0, {{0, Bytes(12, 0)}}}}).Done(),
         "Ungültiges Farbformat in PSP Bild."},
        {"palette of 257", PspFile(5, 3, 1, 8, kRaw).Palette(std::vector<std::uint32_t>(257, 0)).Done(),
         "Bild konnte nicht geladen werden. Palette in PSP Datei ist ungültig."},
        {"huge size, little data", WithByte(WithByte(good, 53, 0x7F), 57, 0x7F), "Stream Lesefehler in PSP Datei."},
        {"no signature", WithByte(good, 0, 'X'),
         "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes PSP Bildformat."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadErrorOf<TPSPGraphic>(c.File), c.Message) << c.Name;
}

} // namespace
