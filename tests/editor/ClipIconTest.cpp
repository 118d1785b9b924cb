// The icon cut down to the image that suits the screen, at that image's size.

#include "editor/controls/ClipIcon.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"
#include "tests/support/IconFiles.h"

using namespace ClipIcon;

namespace {

std::unique_ptr<TIcon> Loaded(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(stream);
    return icon;
}

struct ChoiceCase {
    const char* Name;
    std::vector<std::uint16_t> Colors; // per entry, in file order
    int ScreenColors;
    int Expected;
};

// Each entry gets its own side (8, 16, 24, ...) so the image read tells
// which entry was chosen.
std::vector<iconfiles::Image> Images(const std::vector<std::uint16_t>& colors)
{
    std::vector<iconfiles::Image> images;
    for (size_t i = 0; i < colors.size(); ++i)
        images.push_back({static_cast<int>(8 * (i + 1)), 4, colors[i], 0, 0, 0});
    return images;
}

TEST(ClipIconTest, TheEntryChosenForTheScreen)
{
    const ChoiceCase cases[] = {
        {"256 colours on a 256-colour screen", {16, 256}, 256, 1},
        {"colour count 0 on a true-colour screen at once", {16, 0, 256}, 0, 1},
        {"nothing fits a true-colour screen: entry 0", {16, 256}, 0, 0},
        {"an equal count wins over an earlier fit", {2, 16}, 16, 1},
        {"later counts above the first fit replace it", {2, 16, 8}, 256, 2},
        {"a later count above the screen's replaces the fit too", {16, 1024}, 256, 1},
        {"a later smaller count does not", {16, 2}, 256, 0},
        {"counts above the screen's before any fit are passed", {1024, 16}, 256, 1},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<std::uint8_t> file = iconfiles::File(Images(c.Colors));
        const std::unique_ptr<TIcon> icon = ReadIconOfRealSize(file, c.ScreenColors);
        EXPECT_EQ(icon->Width(), 8 * (c.Expected + 1));
        EXPECT_EQ(icon->Height(), 8 * (c.Expected + 1));
    }
}

TEST(ClipIconTest, ScreenColourCounts)
{
    EXPECT_EQ(ScreenColorCount(8), 256);
    EXPECT_EQ(ScreenColorCount(4), 16);
    EXPECT_EQ(ScreenColorCount(24), 0);
    EXPECT_EQ(ScreenColorCount(32), 0);
}

TEST(ClipIconTest, TheIconKeepsTheChosenImageAtItsOwnSize)
{
    // The icon class draws the image nearest 32 x 32 (the 16-colour one);
    // the real-size icon holds the true-colour 48 x 48 image in its colour.
    const std::unique_ptr<TIcon> icon = Loaded(iconfiles::File({
        {32, 4, 16, 0, 0, 0},
        {48, 32, 0, 0x20, 0x40, 0xC0},
    }));
    ASSERT_EQ(icon->Width(), 32);

    const std::unique_ptr<TIcon> real = MakeIconOfRealSize(*icon);
    int width = 0, height = 0;
    MeasureIcon(real.get(), width, height);
    EXPECT_EQ(width, 48);
    EXPECT_EQ(height, 48);
    ASSERT_NE(real->Image(), nullptr);
    const std::uint8_t* pixel = real->Image()->ScanLine(24) + 24 * 3;
    EXPECT_EQ(pixel[0], 0x20);
    EXPECT_EQ(pixel[1], 0x40);
    EXPECT_EQ(pixel[2], 0xC0);

    // The source is left as it was.
    EXPECT_EQ(icon->Width(), 32);
}

TEST(ClipIconTest, WithoutAnIconTheMeasureIsTheDesktopIconSize)
{
    int width = 0, height = 0;
    MeasureIcon(nullptr, width, height);
    EXPECT_EQ(width, TIcon::DefaultSize);
    EXPECT_EQ(height, TIcon::DefaultSize);
    TIcon empty;
    width = height = 0;
    MeasureIcon(&empty, width, height);
    EXPECT_EQ(width, TIcon::DefaultSize);
    EXPECT_EQ(height, TIcon::DefaultSize);
    EXPECT_THROW(MakeIconOfRealSize(empty), EInvalidGraphic);
}

TEST(ClipIconTest, DamagedFilesAreRejected)
{
    const std::vector<std::uint8_t> good = iconfiles::File({{16, 32, 0, 1, 2, 3}});
    auto with = [&](size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> b = good;
        if (bytes == 2)
            rtl::PutLE16(&b[at], static_cast<std::uint16_t>(value));
        else
            rtl::PutLE32(&b[at], value);
        return b;
    };
    const struct {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
    } cases[] = {
        {"empty", {}},
        {"header cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 5)},
        {"a cursor file", with(2, 2, 2)},
        {"no images", with(4, 0, 2)},
        {"directory cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)},
        {"more entries than the directory holds", with(4, 2, 2)},
        {"image offset into the directory", with(6 + 12, 8, 4)},
        {"image offset past the end", with(6 + 12, 0xFFFFFFF0u, 4)},
        {"image size past the end", with(6 + 8, 0xFFFFFFF0u, 4)},
        {"image too small for its bitmap header", with(6 + 8, 12, 4)},
        {"bitmap larger than its image", with(22 + 4, 4000, 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadIconOfRealSize(c.Bytes, 0), EInvalidGraphic);
    }
}

} // namespace
