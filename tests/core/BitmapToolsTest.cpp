#include "core/BitmapTools.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace BitmapTools;
using Pixels = std::vector<std::uint32_t>; // 0xRRGGBB, row by row

std::unique_ptr<TBitmap> Make24(int w, int h, const Pixels& rgb)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = rgb[static_cast<std::size_t>(y * w + x)];
            rtl::PutLE24(bitmap->ScanLine(y) + x * 3, c);
        }
    return bitmap;
}

// Every pixel as 0xRRGGBB, whatever the depth.
Pixels Read(TBitmap& bitmap)
{
    Pixels out;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Canvas().Pixels(x, y) & 0xFFFFFF;
            out.push_back(static_cast<std::uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c)));
        }
    return out;
}

Pixels Grey(std::initializer_list<int> levels)
{
    Pixels out;
    for (int v : levels)
        out.push_back(static_cast<std::uint32_t>(v * 0x010101));
    return out;
}

// Counts up from 1 so that every pixel differs.
Pixels Numbered(int count)
{
    Pixels out;
    for (int i = 1; i <= count; ++i)
        out.push_back(static_cast<std::uint32_t>(i * 0x0A0301));
    return out;
}

void ExpectRect(const TRect& actual, const TRect& expected)
{
    EXPECT_TRUE(actual.Left == expected.Left && actual.Top == expected.Top && actual.Right == expected.Right &&
                actual.Bottom == expected.Bottom)
        << "(" << actual.Left << ", " << actual.Top << ", " << actual.Right << ", " << actual.Bottom << ")";
}

TEST(BitmapToolsTest, ColourRoutines)
{
    struct Case {
        const char* what;
        TColor actual, expected;
    } cases[] = {
        {"darken clamps at 0", Darken(RGB(10, 100, 255), 20), RGB(0, 80, 235)},
        {"darken drops the high byte", Darken(0x02000000 | RGB(30, 30, 30), 10), RGB(20, 20, 20)},
        {"darken 0", Darken(RGB(1, 2, 3), 0), RGB(1, 2, 3)},
        {"half, ties to even", DarkenPercent(RGB(3, 5, 255), 50), RGB(2, 2, 128)},
        {"above 100 brightens up to 255", DarkenPercent(RGB(100, 200, 0), 200), RGB(200, 255, 0)},
        {"negative percent is black", DarkenPercent(RGB(100, 200, 50), -20), RGB(0, 0, 0)},
        {"invert", InvertColor(RGB(0, 128, 255)), RGB(255, 127, 0)},
        {"invert keeps the high byte", InvertColor(0x02000000 | RGB(0, 0, 0)), 0x02FFFFFF},
        {"invert resolves system colours", InvertColor(clBtnFace), ColorToRGB(clBtnFace) ^ 0xFFFFFF},
        {"visible: grey 128 -> white", MakeVisibleColor(RGB(128, 128, 128)), clWhite},
        {"visible: grey 127 -> black", MakeVisibleColor(RGB(127, 127, 127)), clBlack},
        {"visible: near grey decided by red", MakeVisibleColor(RGB(127, 140, 115)), clBlack},
        {"visible: red -> cyan", MakeVisibleColor(clRed), RGB(0, 255, 255)},
        {"visible: black -> white", MakeVisibleColor(clBlack), clWhite},
        {"visible: white -> black", MakeVisibleColor(clWhite), clBlack},
        {"visible: one byte far from grey", MakeVisibleColor(RGB(128, 128, 200)), RGB(127, 127, 55)},
        {"hsv green", HSVToRGB({120, 255, 255}), RGB(0, 255, 0)},
        {"hsv grey when unsaturated", HSVToRGB({200, 0, 128}), RGB(128, 128, 128)},
        {"hsv red", HSVToRGB({0, 255, 255}), RGB(255, 0, 0)},
        {"hsv 360 is 0", HSVToRGB({360, 255, 255}), RGB(255, 0, 0)},
        {"hsv orange", HSVToRGB({30, 255, 255}), RGB(255, 128, 0)},
        {"hsv sector 1", HSVToRGB({90, 255, 200}), RGB(100, 200, 0)},
        {"hsv sector 3", HSVToRGB({210, 255, 255}), RGB(0, 128, 255)},
        {"hsv sector 5, half saturated", HSVToRGB({330, 128, 255}), RGB(255, 127, 191)},
        {"hsv negative hue goes round", HSVToRGB({-240, 255, 255}), RGB(0, 255, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(BitmapToolsTest, PixelWords)
{
    struct Case {
        const char* what;
        std::uint32_t actual, expected;
    } cases[] = {
        {"16 -> 32 all set", Convert16To32RGB(0x7FFF), 0xF8F8F8},
        {"16 -> 32 red field", Convert16To32RGB(0x7C00), 0xF80000},
        {"16 -> 32 green field", Convert16To32RGB(0x03E0), 0x00F800},
        {"16 -> 32 lowest blue", Convert16To32RGB(0x0001), 0x000008},
        {"16 -> 32 top bit unused", Convert16To32RGB(0x8000), 0},
        {"scan line word", ScanLineRGB32Bit(0x12, 0x34, 0x56), 0x123456},
        {"colour to word", TColor2ScanLineRGB32Bit(RGB(0x12, 0x34, 0x56)), 0x123456},
        {"colour to word ignores the high byte", TColor2ScanLineRGB32Bit(clBtnFace), 0x0F0000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(BitmapToolsTest, PixelFormatsAndDepths)
{
    struct Case {
        int bits;
        TPixelFormat format;
    } cases[] = {{1, pf1bit}, {4, pf4bit}, {8, pf8bit}, {15, pf15bit}, {16, pf16bit}, {24, pf24bit}, {32, pf32bit}};
    for (const Case& c : cases) {
        EXPECT_EQ(CalcPixelFormat(c.bits), c.format) << c.bits;
        TBitmap bitmap(2, 2, c.format);
        EXPECT_EQ(GetBitsPerPixel(bitmap), c.bits) << c.bits;
    }
    for (int bits : {0, 2, 12, 48, -1})
        EXPECT_EQ(CalcPixelFormat(bits), pfCustom) << bits;
    TBitmap device(2, 2, pfDevice);
    EXPECT_EQ(GetBitsPerPixel(device), 24);
}

TEST(BitmapToolsTest, QuarterTurnsMapEveryPixel)
{
    // 2 wide, 3 high:  1 2 / 3 4 / 5 6
    auto source = Make24(2, 3, Numbered(6));
    const Pixels p = Read(*source);
    auto left = Rotate90DegreesCounterClockwise(*source);
    ASSERT_EQ(left->Width(), 3);
    ASSERT_EQ(left->Height(), 2);
    EXPECT_EQ(Read(*left), (Pixels{p[1], p[3], p[5], p[0], p[2], p[4]}));
    auto right = Rotate270DegreesCounterClockwise(*source);
    ASSERT_EQ(right->Width(), 3);
    ASSERT_EQ(right->Height(), 2);
    EXPECT_EQ(Read(*right), (Pixels{p[4], p[2], p[0], p[5], p[3], p[1]}));
}

TEST(BitmapToolsTest, QuarterTurnsKeepThePixelFormat)
{
    // Packed pixels of 1 and 4 bits and palette indexes must move as whole pixels.
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf32bit}) {
        TBitmap source(3, 2, format);
        source.Canvas().Brush.Color = clBlack;
        source.Canvas().FillRect(Rect(0, 0, 3, 2));
        source.Canvas().SetPixels(0, 0, clWhite);
        source.Canvas().SetPixels(2, 1, clWhite);
        auto turned = Rotate90DegreesCounterClockwise(source);
        EXPECT_EQ(turned->PixelFormat(), format);
        EXPECT_EQ(turned->Palette(), source.Palette());
        const Pixels s = Read(source);
        ASSERT_NE(s[0], s[1]);
        // (x, y) -> (y, W - 1 - x)
        EXPECT_EQ(Read(*turned), (Pixels{s[2], s[5], s[1], s[4], s[0], s[3]})) << format;
    }
}

TEST(BitmapToolsTest, FreeRotation)
{
    const Pixels p = Numbered(8); // 4 wide, 2 high
    auto source = Make24(4, 2, p);
    auto same = RotateBitmapFree(*source, 0, 2, 1, clRed);
    EXPECT_EQ(Read(*same), p);

    // A quarter turn of a wide picture about its centre leaves the left and
    // right columns to the background.
    auto turned = RotateBitmapFree(*source, 90, 2, 1, RGB(1, 2, 3));
    ASSERT_EQ(turned->Width(), 4);
    ASSERT_EQ(turned->Height(), 2);
    EXPECT_EQ(turned->PixelFormat(), pf24bit);
    const std::uint32_t bg = 0x010203;
    EXPECT_EQ(Read(*turned), (Pixels{bg, p[5], p[1], bg, bg, p[6], p[2], bg}));

    auto half = RotateBitmapFree(*source, 180, 2, 1, clBlack);
    EXPECT_EQ(Read(*half), (Pixels{p[7], p[6], p[5], p[4], p[3], p[2], p[1], p[0]}));

    // Any source depth is read as 24-bit pixels.
    TBitmap indexed(2, 1, pf8bit);
    indexed.Canvas().SetPixels(0, 0, clWhite);
    indexed.Canvas().SetPixels(1, 0, clBlack);
    auto fromIndexed = RotateBitmapFree(indexed, 0, 1, 0, clRed);
    EXPECT_EQ(Read(*fromIndexed), (Pixels{0xFFFFFF, 0}));
}

TEST(BitmapToolsTest, Mirrors)
{
    struct Case {
        const char* what;
        int w, h;
        bool horz, vert;
        std::vector<int> expected; // indexes into Numbered()
    } cases[] = {
        {"vertical, width 5", 5, 1, false, true, {4, 3, 2, 1, 0}},
        {"vertical, width 4, two rows", 4, 2, false, true, {3, 2, 1, 0, 7, 6, 5, 4}},
        {"vertical, width 1", 1, 2, false, true, {0, 1}},
        {"horizontal, height 3", 1, 3, true, false, {2, 1, 0}},
        {"horizontal, 2 x 2", 2, 2, true, false, {2, 3, 0, 1}},
        {"both: a half turn", 3, 2, true, true, {5, 4, 3, 2, 1, 0}},
        {"neither", 2, 1, false, false, {0, 1}},
    };
    for (const Case& c : cases) {
        const Pixels p = Numbered(c.w * c.h);
        auto bitmap = Make24(c.w, c.h, p);
        MirrorBitmap(*bitmap, c.horz, c.vert);
        Pixels expected;
        for (int i : c.expected)
            expected.push_back(p[static_cast<std::size_t>(i)]);
        EXPECT_EQ(Read(*bitmap), expected) << c.what;
    }
    TBitmap packed(5, 1, pf4bit);
    for (int x = 0; x < 5; ++x)
        packed.Canvas().SetPixels(x, 0, x == 1 ? clWhite : clBlack);
    VertMirrorBitmap(packed);
    EXPECT_EQ(Read(packed), (Pixels{0, 0, 0, 0xFFFFFF, 0}));
    TBitmap empty;
    VertMirrorBitmap(empty);
    HorzMirrorBitmap(empty);
    EXPECT_TRUE(empty.Empty());
}

TEST(BitmapToolsTest, CropMovesTheRectangleToTheOrigin)
{
    struct Case {
        const char* what;
        TRect rect;
        int w, h;
        std::vector<int> expected;
    } cases[] = {
        {"inner part", Rect(1, 1, 3, 3), 2, 2, {5, 6, 9, 10}},
        {"overlapping source to the right", Rect(1, 0, 4, 3), 3, 3, {1, 2, 3, 5, 6, 7, 9, 10, 11}},
        {"overlapping source below", Rect(0, 1, 4, 3), 4, 2, {4, 5, 6, 7, 8, 9, 10, 11}},
        {"at the origin: only the size", Rect(0, 0, 2, 1), 2, 1, {0, 1}},
        {"whole", Rect(0, 0, 4, 3), 4, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    };
    for (const Case& c : cases) {
        const Pixels p = Numbered(12); // 4 x 3
        auto bitmap = Make24(4, 3, p);
        CropBitmap(*bitmap, c.rect);
        ASSERT_EQ(bitmap->Width(), c.w) << c.what;
        ASSERT_EQ(bitmap->Height(), c.h) << c.what;
        Pixels expected;
        for (int i : c.expected)
            expected.push_back(p[static_cast<std::size_t>(i)]);
        EXPECT_EQ(Read(*bitmap), expected) << c.what;
    }
    auto bitmap = Make24(2, 2, Numbered(4));
    CropBitmap(*bitmap, Rect(2, 2, 1, 1)); // inverted: nothing left, no crash
    EXPECT_TRUE(bitmap->Empty());
}

TEST(BitmapToolsTest, PerPixelChanges)
{
    struct Case {
        const char* what;
        void (*change)(TBitmap&);
        Pixels before, after;
    } cases[] = {
        {"invert rectangle",
         [](TBitmap& b) { InvertBitmap(b, Rect(1, 0, 3, 1)); },
         {0x000000, 0x102030, 0xFFFFFF, 0x123456},
         {0x000000, 0xEFDFCF, 0x000000, 0x123456}},
        {"invert all bytes",
         InvertBitmap24BPP,
         {0x000000, 0x102030, 0xFFFFFF, 0x123456},
         {0xFFFFFF, 0xEFDFCF, 0x000000, 0xEDCBA9}},
        {"offsets clamp both ways",
         [](TBitmap& b) { RGBBitmap24Bit(b, 20, -20, 300); },
         {0x000000, 0x102030, 0xFFFFFF, 0xF0F010},
         {0x1400FF, 0x240CFF, 0xFFEBFF, 0xFFDCFF}},
        {"grey scale, ties to even",
         GrayScaleBitmap24Bit,
         {0x6496C8, 0xFF0000, 0x00FF00, 0x0000FF},
         Grey({140, 76, 150, 28})},
        {"grey scale of grey", GrayScaleBitmap24Bit, Grey({0, 1, 128, 255}), Grey({0, 1, 128, 255})},
        {"gamma 4 keeps", [](TBitmap& b) { GammaBitmap24Bit(b, 4, 4, 4); }, Grey({0, 1, 128, 255}),
         Grey({0, 1, 128, 255})},
        {"gamma 5 is white", [](TBitmap& b) { GammaBitmap24Bit(b, 5, 5, 5); }, Grey({0, 1, 128, 255}),
         Grey({255, 255, 255, 255})},
        {"gamma 3 squares", [](TBitmap& b) { GammaBitmap24Bit(b, 3, 3, 3); }, Grey({0, 1, 128, 255}),
         Grey({0, 0, 64, 255})},
        {"gamma beyond 5 stays in range", [](TBitmap& b) { GammaBitmap24Bit(b, 7, 7, 7); }, Grey({0, 1, 128, 255}),
         Grey({255, 255, 255, 255})},
        {"gamma per channel: first value is red",
         [](TBitmap& b) { GammaBitmap24Bit(b, 5, 4, 3); },
         Grey({0, 128}),
         {0xFF0000, 0xFF8040}},
        {"inverse gamma 1 keeps", [](TBitmap& b) { GammaBitmap24BitInvert(b, 1, 1, 1); }, Grey({0, 1, 128, 255}),
         Grey({0, 1, 128, 255})},
        {"inverse gamma 0 is black", [](TBitmap& b) { GammaBitmap24BitInvert(b, 0, 0, 0); }, Grey({0, 1, 128, 255}),
         Grey({0, 0, 0, 0})},
        {"inverse gamma 2", [](TBitmap& b) { GammaBitmap24BitInvert(b, 2, 2, 2); }, Grey({0, 128, 255}),
         Grey({0, 192, 255})},
        {"inverse gamma below 0 stays in range", [](TBitmap& b) { GammaBitmap24BitInvert(b, -1, -1, -1); },
         Grey({0, 128, 255}), Grey({0, 0, 0})},
    };
    for (const Case& c : cases) {
        auto bitmap = Make24(static_cast<int>(c.before.size()), 1, c.before);
        c.change(*bitmap);
        EXPECT_EQ(Read(*bitmap), c.after) << c.what;
    }
}

// Large pictures go through the curves two bytes at a time; every byte must
// still get its own channel's curve, the odd last pixel of a row included.
TEST(BitmapToolsTest, GammaOfALargePictureMatchesThatOfItsRows)
{
    const int w = 301;
    const int h = 218;
    TBitmap large(w, h);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * 3; ++i)
            large.ScanLine(y)[i] = static_cast<std::uint8_t>(i * 7 + y * 13);
    GammaBitmap24Bit(large, 3.1, 4.6, 2.2);
    for (int y = 0; y < h; y += 31) {
        TBitmap row(w, 1);
        for (int i = 0; i < w * 3; ++i)
            row.ScanLine(0)[i] = static_cast<std::uint8_t>(i * 7 + y * 13);
        GammaBitmap24Bit(row, 3.1, 4.6, 2.2);
        ASSERT_EQ(std::memcmp(row.ScanLine(0), large.ScanLine(y), static_cast<std::size_t>(w) * 3), 0) << "row " << y;
    }
}

TEST(BitmapToolsTest, TwentyFourBitRoutinesLeaveOtherDepthsAlone)
{
    void (*changes[])(TBitmap&) = {
        InvertBitmap24BPP,
        GrayScaleBitmap24Bit,
        DitherBitmap24To16,
        [](TBitmap& b) { RGBBitmap24Bit(b, 9, 9, 9); },
        [](TBitmap& b) { GammaBitmap24Bit(b, 5, 5, 5); },
        [](TBitmap& b) { GammaBitmap24BitInvert(b, 0, 0, 0); },
    };
    for (auto change : changes) {
        TBitmap bitmap(3, 1, pf8bit);
        bitmap.Canvas().SetPixels(1, 0, clWhite);
        change(bitmap);
        EXPECT_EQ(Read(bitmap), (Pixels{0, 0xFFFFFF, 0}));
    }
    TBitmap narrow(3, 1, pf8bit);
    EXPECT_EQ(MedianFilterBitmap24Bit(narrow), nullptr);
    EXPECT_EQ(GaussFilterBitmap24Bit(TBitmap()), nullptr);
}

TEST(BitmapToolsTest, Filters)
{
    using Filter = std::unique_ptr<TBitmap> (*)(const TBitmap&);
    const Filter all[] = {MedianFilterBitmap24Bit, MedianStrongFilterBitmap24Bit, GaussFilterBitmap24Bit,
                          BlurFilterBitmap24Bit,   BlurMediumFilterBitmap24Bit,   BlurStrongFilterBitmap24Bit};
    for (Filter filter : all) {
        // One pixel fills every cell; a flat colour is a flat colour.
        auto single = Make24(1, 1, {0x8040C3});
        EXPECT_EQ(Read(*filter(*single)), (Pixels{0x8040C3}));
        auto flat = Make24(3, 2, Pixels(6, 0x11C863));
        auto result = filter(*flat);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->PixelFormat(), pf24bit);
        EXPECT_EQ(Read(*result), Pixels(6, 0x11C863));
    }

    struct Case {
        const char* what;
        Filter filter;
        int w, h;
        Pixels source, expected;
    } cases[] = {
        // The bright centre of a 3 x 3 lies in every window exactly once (the
        // edges repeat); 100 / 9 truncates.
        {"median 3 x 3", MedianFilterBitmap24Bit, 3, 3, Grey({0, 0, 0, 0, 100, 0, 0, 0, 0}),
         Grey({11, 11, 11, 11, 11, 11, 11, 11, 11})},
        {"median 5 x 5", MedianStrongFilterBitmap24Bit, 3, 3, Grey({0, 0, 0, 0, 100, 0, 0, 0, 0}),
         Grey({4, 4, 4, 4, 4, 4, 4, 4, 4})},
        {"gauss weights", GaussFilterBitmap24Bit, 3, 3, Grey({0, 0, 0, 0, 160, 0, 0, 0, 0}),
         Grey({10, 20, 10, 20, 40, 20, 10, 20, 10})},
        // The blur ring lies up and left of the pixel, its hole on (x-1, y-1);
        // 80 / 8 per ring cell.
        {"blur ring and weight 8", BlurFilterBitmap24Bit, 4, 4, Grey({0, 0, 0, 0, 0, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         Grey({0, 0, 0, 0, 0, 10, 10, 10, 0, 10, 0, 10, 0, 10, 10, 10})},
    };
    for (const Case& c : cases) {
        auto source = Make24(c.w, c.h, c.source);
        auto result = c.filter(*source);
        ASSERT_NE(result, nullptr) << c.what;
        EXPECT_EQ(Read(*result), c.expected) << c.what;
        EXPECT_EQ(Read(*source), c.source) << c.what << ": source changed";
    }
}

TEST(BitmapToolsTest, DitherAddsEightOnlyBelowTheThreshold)
{
    rtl::SetRandomSeed(7);
    const Pixels levels = Grey({0, 8, 40, 55, 56, 100, 246, 247, 255});
    for (int depth : {24, 32}) {
        TBitmap bitmap(static_cast<int>(levels.size()), 40, depth == 24 ? pf24bit : pf32bit);
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                std::uint8_t* p = bitmap.ScanLine(y) + x * depth / 8;
                std::memset(p, static_cast<int>(levels[static_cast<std::size_t>(x)] & 0xFF), 3);
                if (depth == 32)
                    p[3] = 0x5A;
            }
        depth == 24 ? DitherBitmap24To16(bitmap) : DitherBitmap32To16(bitmap);
        int raisedLowBytes = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                const std::uint8_t* p = bitmap.ScanLine(y) + x * depth / 8;
                const int before = static_cast<int>(levels[static_cast<std::size_t>(x)] & 0xFF);
                for (int c = 0; c < 3; ++c) {
                    if (before >= 56)
                        EXPECT_EQ(p[c], before) << x;
                    else
                        EXPECT_TRUE(p[c] == before || p[c] == before + 8) << x;
                    raisedLowBytes += before == 0 && p[c] == 8;
                }
                if (depth == 32) {
                    EXPECT_EQ(p[3], 0x5A);
                }
            }
        // Byte 0 is raised with a chance of 7 in 8.
        EXPECT_GT(raisedLowBytes, 80) << depth;
    }
}

TEST(BitmapToolsTest, ExactRectangleOfDifferentPixels)
{
    struct Case {
        const char* what;
        std::vector<TPoint> marks;
        TRect expected;
    } cases[] = {
        {"none", {}, Rect(0, 0, 0, 0)},
        {"one", {{2, 1}}, Rect(2, 1, 2, 1)},
        {"two corners", {{3, 0}, {0, 2}}, Rect(0, 0, 3, 2)},
        {"one row, both ends", {{1, 1}, {3, 1}}, Rect(1, 1, 3, 1)},
        {"left in a lower row", {{2, 0}, {1, 2}, {3, 1}}, Rect(1, 0, 3, 2)},
    };
    for (const Case& c : cases) {
        TBitmap bitmap(4, 3, pf32bit);
        bitmap.Canvas().Brush.Color = clBtnFace;
        bitmap.Canvas().FillRect(Rect(0, 0, 4, 3));
        for (const TPoint& p : c.marks)
            bitmap.Canvas().SetPixels(p.X, p.Y, clRed);
        TRect rect = Rect(9, 9, 9, 9);
        GetExactRec32BPP(bitmap, clBtnFace, rect);
        ExpectRect(rect, c.expected);
    }
    TBitmap empty;
    TRect rect = Rect(9, 9, 9, 9);
    GetExactRec32BPP(empty, clBlack, rect);
    ExpectRect(rect, Rect(0, 0, 0, 0));
}

TEST(BitmapToolsTest, MemoryRoutines)
{
    std::uint32_t words[5] = {1, 2, 3, 4, 5};
    FillLong(words + 1, 3, 0xDEADBEEF);
    EXPECT_EQ((std::vector<std::uint32_t>(words, words + 5)),
              (std::vector<std::uint32_t>{1, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF, 5}));
    std::uint32_t moved[5] = {1, 2, 3, 4, 5};
    MoveLong(moved, moved + 1, 4); // overlapping
    EXPECT_EQ((std::vector<std::uint32_t>(moved, moved + 5)), (std::vector<std::uint32_t>{1, 1, 2, 3, 4}));
    std::uint8_t bytes[8] = {};
    Fill24BitRGB(bytes + 1, 2, 7, 8, 9);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes, bytes + 8)), (std::vector<std::uint8_t>{0, 7, 8, 9, 7, 8, 9, 0}));
    auto bitmap = Create32BitBitmap(3, 2);
    EXPECT_EQ(bitmap->Width(), 3);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
}

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BitmapProgress->OnProgress = [this](TObject*) {
            positions.push_back(BitmapProgress->Position);
            maximum = BitmapProgress->Maximum;
        };
    }
    void TearDown() override { BitmapProgress->OnProgress = nullptr; }

    std::vector<int> positions;
    int maximum = 0;
};

TEST_F(ProgressTest, ReportsRowsThenZero)
{
    struct Case {
        const char* what;
        void (*operation)(TBitmap&);
        int maximum;
        std::vector<int> positions;
    } cases[] = {
        {"grey scale counts rows", GrayScaleBitmap24Bit, 3, {0, 1, 2, 3, 0}},
        {"vertical mirror counts twice the pair", VertMirrorBitmap, 5, {0, 0, 2, 4, 0}},
        {"horizontal mirror", HorzMirrorBitmap, 3, {0, 0, 2, 0}},
        {"gamma reports start and end", [](TBitmap& b) { GammaBitmap24Bit(b, 3, 3, 3); }, 3, {0, 0}},
        {"free rotation", [](TBitmap& b) { RotateBitmapFree(b, 10, 1, 1, clBlack); }, 3, {0, 1, 2, 3, 0}},
        {"filter", [](TBitmap& b) { BlurFilterBitmap24Bit(b); }, 3, {0, 1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        positions.clear();
        auto bitmap = Make24(5, 3, Numbered(15));
        c.operation(*bitmap);
        EXPECT_EQ(maximum, c.maximum) << c.what;
        EXPECT_EQ(positions, c.positions) << c.what;
    }
}

TEST(BitmapToolsTest, WorksWithoutAProgressObject)
{
    auto saved = std::move(BitmapProgress);
    auto bitmap = Make24(2, 1, Grey({10, 20}));
    InvertBitmap24BPP(*bitmap);
    BitmapProgress = std::move(saved);
    EXPECT_EQ(Read(*bitmap), Grey({245, 235}));
}

TEST(BitmapToolsTest, IconsFromResources)
{
    TIcon byName;
    LoadIconFromResource("RED16", byName);
    EXPECT_EQ(byName.Width(), 16);
    ASSERT_NE(byName.Image(), nullptr);
    EXPECT_EQ(const_cast<TBitmap*>(byName.Image())->Canvas().Pixels(3, 3) & 0xFFFFFF, clRed);
    TIcon byNumber;
    LoadIconFromResourceID(101, byNumber);
    EXPECT_EQ(byNumber.Height(), 16);
    TIcon missing;
    EXPECT_THROW(LoadIconFromResource("NO_SUCH_ICON", missing), EResNotFound);
    EXPECT_THROW(LoadIconFromResourceID(102, missing), EResNotFound);
}

} // namespace
