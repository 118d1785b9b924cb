#include "platform/graphics/TextEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

using gfx::AcquireFont;

TEST(TextEngine, AnEmHeightAddsTheInternalLeadingToTheCell)
{
    const auto font = AcquireFont({"Liberation Sans", -16});
    const gfx::TTextMetric& m = font->Metrics();
    EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
    EXPECT_EQ(m.tmInternalLeading, m.tmHeight - 16);
    EXPECT_GT(m.tmInternalLeading, 0);
    EXPECT_GT(m.tmAscent, 3 * m.tmDescent);
    EXPECT_GT(m.tmAveCharWidth, 0);
    EXPECT_GE(m.tmMaxCharWidth, m.tmAveCharWidth);
}

TEST(TextEngine, ACellHeightIsTheWholeLine)
{
    for (int cell : {10, 20, 37}) {
        const gfx::TTextMetric& m = AcquireFont({"Liberation Sans", cell})->Metrics();
        EXPECT_EQ(m.tmHeight, cell);
        EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
        EXPECT_GT(m.tmInternalLeading, 0);
    }
    // Doubling the em doubles the cell, give or take rounding.
    const int small = AcquireFont({"Liberation Sans", -20})->Metrics().tmHeight;
    const int large = AcquireFont({"Liberation Sans", -40})->Metrics().tmHeight;
    EXPECT_NEAR(large, 2 * small, 1);
}

TEST(TextEngine, HugeSizesAreCapped)
{
    const auto huge = AcquireFont({"Liberation Sans", -2000000000});
    EXPECT_EQ(huge->Metrics().tmHeight, AcquireFont({"Liberation Sans", -1000})->Metrics().tmHeight);
    EXPECT_LE(huge->GlyphOf(U'W').Mask.size(), 1500u * 1500u);
}

TEST(TextEngine, GlyphsAreMonochromeMasks)
{
    const auto font = AcquireFont({"Liberation Sans", -24});
    const gfx::Glyph& a = font->GlyphOf(U'A');
    ASSERT_GT(a.Width, 0);
    ASSERT_GT(a.Rows, 0);
    EXPECT_EQ(a.Mask.size(), static_cast<size_t>(a.Width) * a.Rows);
    EXPECT_TRUE(std::all_of(a.Mask.begin(), a.Mask.end(), [](std::uint8_t v) { return v == 0 || v == 255; }));
    EXPECT_GT(std::count(a.Mask.begin(), a.Mask.end(), 255), a.Width);
    EXPECT_LE(a.Top, font->Metrics().tmAscent);
    EXPECT_GT(a.Advance, 0);

    const gfx::Glyph& blank = font->GlyphOf(U' ');
    EXPECT_TRUE(std::all_of(blank.Mask.begin(), blank.Mask.end(), [](std::uint8_t v) { return v == 0; }));
    EXPECT_GT(blank.Advance, 0);
}

TEST(TextEngine, BoldHasMoreInkAndUmlautsHaveGlyphs)
{
    const auto regular = AcquireFont({"Arial", -20});
    const auto bold = AcquireFont({"Arial", -20, true});
    auto ink = [](const gfx::Glyph& g) { return std::count(g.Mask.begin(), g.Mask.end(), 255); };
    EXPECT_GT(ink(bold->GlyphOf(U'W')), ink(regular->GlyphOf(U'W')));
    const gfx::Glyph& missing = regular->GlyphOf(U'\U0010FFFD');
    const gfx::Glyph& umlaut = regular->GlyphOf(U'ä');
    EXPECT_NE(umlaut.Mask, missing.Mask);
}

TEST(TextEngine, Utf8DecodingReplacesEveryBadByte)
{
    struct Case {
        std::string text;
        std::u32string expected;
    };
    const Case cases[] = {
        {"aä€😀", U"aä€😀"},
        {"\xC3", U"\uFFFD"},                               // truncated sequence
        {"\xE2\x82", U"\uFFFD\uFFFD"},                     // truncated three-byte sequence
        {"\xC0\xAF", U"\uFFFD\uFFFD"},                     // overlong form
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},           // surrogate
        {"a\x80z", U"a\uFFFDz"},                           // stray continuation byte
        {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"}, // beyond U+10FFFF
    };
    for (const Case& c : cases)
        EXPECT_EQ(gfx::DecodeUtf8(c.text), c.expected) << c.text;
}

TEST(TextEngine, FontsCanBeUsedFromSeveralThreads)
{
    // Each thread renders the same letters in fresh sizes; all must agree with
    // what one thread measures afterwards.
    auto measure = [](int height) {
        int sum = 0;
        const auto font = AcquireFont({"Liberation Serif", height});
        for (char32_t c = U'A'; c <= U'z'; ++c)
            sum += font->AdvanceOf(c) + static_cast<int>(font->GlyphOf(c).Mask.size());
        return sum;
    };
    std::vector<int> results(3 * 8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&, t] {
            for (int h = 0; h < 8; ++h)
                results[t * 8 + h] = measure(-(30 + h));
        });
    for (auto& thread : threads)
        thread.join();
    gfx::FlushFontCache();
    for (int t = 0; t < 3; ++t)
        for (int h = 0; h < 8; ++h)
            EXPECT_EQ(results[t * 8 + h], measure(-(30 + h)));
}

} // namespace
