#include "platform/graphics/Icon.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"
#include "tests/graphics/ToolOutput.h"

namespace {

using tooltest::ReadBytes;
using tooltest::Shell;

void Load(TIcon& icon, const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    icon.LoadFromStream(stream);
}

void Put16(std::vector<std::uint8_t>& b, size_t at, std::uint16_t v) { rtl::PutLE16(&b[at], v); }
void Put32(std::vector<std::uint8_t>& b, size_t at, std::uint32_t v) { rtl::PutLE32(&b[at], v); }

// An 8 x 8 icon of one bit per pixel: the right half green, the left half
// black with the AND mask set (background shows).
std::vector<std::uint8_t> MonochromeIcon()
{
    const size_t image = 6 + 16;
    const size_t size = 40 + 8 + 8 * 4 + 8 * 4;
    std::vector<std::uint8_t> b(image + size, 0);
    Put16(b, 2, 1);
    Put16(b, 4, 1);
    b[6] = b[7] = 8;
    Put16(b, 6 + 4, 1);
    Put16(b, 6 + 6, 1);
    Put32(b, 6 + 8, static_cast<std::uint32_t>(size));
    Put32(b, 6 + 12, static_cast<std::uint32_t>(image));
    Put32(b, image, 40);
    Put32(b, image + 4, 8);
    Put32(b, image + 8, 16);
    Put16(b, image + 12, 1);
    Put16(b, image + 14, 1);
    Put32(b, image + 44, 0x0000FF00); // palette entry 1: green (B,G,R,0)
    for (int row = 0; row < 8; ++row) {
        b[image + 48 + 4 * row] = 0x0F; // XOR: index 1 on the right
        b[image + 80 + 4 * row] = 0xF0; // AND: left half transparent
    }
    return b;
}

class IconTest : public ::testing::Test {
protected:
    // A page of one colour to draw icons on.
    static std::unique_ptr<TBitmap> Page(int w, int h, TColor color)
    {
        auto page = std::make_unique<TBitmap>(w, h, pf24bit);
        page->Canvas().Brush.Color = color;
        page->Canvas().FillRect({0, 0, w, h});
        return page;
    }

    std::string MadeByImageMagick(const std::string& arguments, const std::string& name)
    {
        const std::string path = dir.File(name);
        Shell("convert " + arguments + " ICO:" + path);
        return path;
    }

    tooltest::ScratchFolder dir;
};

TEST_F(IconTest, TheImageNearestTheRequestedSizeIsChosen)
{
    const std::string path = MadeByImageMagick(
        "-size 48x48 xc:none -fill blue -draw 'rectangle 8,8 39,39' -define icon:auto-resize=16,32,48,256",
        "sizes.ico");
    TIcon icon;
    icon.LoadFromFile(path);
    EXPECT_EQ(icon.Width(), TIcon::DefaultSize);
    struct Case {
        int requested, chosen;
    };
    for (const Case c : {Case{16, 16}, Case{20, 16}, Case{48, 48}, Case{40, 32}, Case{256, 48}}) {
        icon.SetSize(c.requested, c.requested);
        EXPECT_EQ(icon.Width(), c.chosen) << c.requested;
        EXPECT_EQ(icon.Height(), c.chosen) << c.requested;
    }
}

TEST_F(IconTest, DrawingLetsTheBackgroundShowWhereTheMaskSaysSo)
{
    const std::string path = MadeByImageMagick("-size 32x32 xc:none -fill blue -draw 'rectangle 8,8 23,23'",
                                               "square.ico");
    TIcon icon;
    icon.LoadFromFile(path);
    EXPECT_TRUE(icon.Transparent());
    auto page = Page(32, 32, clWhite);
    page->Canvas().Draw(0, 0, icon);
    EXPECT_EQ(page->Canvas().Pixels(16, 16), clBlue);
    EXPECT_EQ(page->Canvas().Pixels(2, 2), clWhite);
    EXPECT_EQ(page->Canvas().Pixels(8, 8), clBlue);
    EXPECT_EQ(page->Canvas().Pixels(7, 8), clWhite);

    auto large = Page(64, 64, clYellow);
    large->Canvas().StretchDraw({0, 0, 64, 64}, icon);
    EXPECT_EQ(large->Canvas().Pixels(32, 32), clBlue);
    EXPECT_EQ(large->Canvas().Pixels(4, 60), clYellow);
}

TEST_F(IconTest, AnAndMaskOfAPaletteIconIsApplied)
{
    TIcon icon;
    Load(icon, MonochromeIcon());
    ASSERT_EQ(icon.Width(), 8);
    auto page = Page(8, 8, clRed);
    page->Canvas().Draw(0, 0, icon);
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(page->Canvas().Pixels(1, y), clRed) << y;
        EXPECT_EQ(page->Canvas().Pixels(6, y), clLime) << y;
    }
}

TEST_F(IconTest, TheBytesAreSavedUnchanged)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(MadeByImageMagick("-size 16x16 xc:red", "red.ico"));
    TIcon icon;
    Load(icon, bytes);
    icon.SetSize(16, 16);
    TMemoryStream out;
    icon.SaveToStream(out);
    EXPECT_EQ(std::vector<std::uint8_t>(out.Memory(), out.Memory() + out.Size()), bytes);
}

TEST_F(IconTest, PngImagesAndDamagedFilesAreRefusedCleanly)
{
    std::vector<std::vector<std::uint8_t>> bad = {ReadBytes(MadeByImageMagick("-size 256x256 xc:red", "png.ico")), {}};
    const std::vector<std::uint8_t> good = MonochromeIcon();
    for (size_t length = 1; length < good.size(); length += 3)
        bad.emplace_back(good.begin(), good.begin() + length);
    auto patched = [&](size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> b = good;
        if (bytes == 2)
            Put16(b, at, value);
        else
            Put32(b, at, value);
        bad.push_back(b);
    };
    patched(4, 0xFFFF, 2);          // more images than the file holds
    patched(6 + 12, 0x7FFFFFF0, 4); // image offset beyond the end
    patched(6 + 8, 0xFFFFFFFF, 4);  // image size beyond the end
    patched(22 + 4, 0, 4);          // width 0
    patched(22 + 4, 100000, 4);     // width far beyond an icon
    patched(22 + 8, 0xFFFFFFF0, 4); // negative height
    patched(22 + 14, 7, 2);         // 7 bits per pixel
    patched(22 + 16, 1, 4);         // compressed
    patched(22, 0xFFFFFF00, 4);     // header size beyond the image
    patched(2, 2, 2);               // a cursor, not an icon
    for (const auto& bytes : bad) {
        TIcon icon;
        EXPECT_THROW(Load(icon, bytes), EInvalidGraphic) << bytes.size() << " bytes";
        EXPECT_TRUE(icon.Empty());
        EXPECT_EQ(icon.Width(), 0);
    }
}

TEST(Metafile, IsKnownButCannotBeRead)
{
    TMetafile metafile;
    TMemoryStream stream;
    stream.WriteBuffer("\xD7\xCD\xC6\x9A", 4);
    stream.SetPosition(0);
    EXPECT_THROW(metafile.LoadFromStream(stream), EInvalidGraphic);
    EXPECT_TRUE(metafile.Empty());
}

} // namespace
