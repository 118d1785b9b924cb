#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "platform/graphics/TextEngine.h"
#include "tests/graphics/ToolOutput.h"

namespace {

TEST(Font, SizeAndHeightFollowTheSignRulesAt96Dpi)
{
    struct Case {
        int points;
        int height;
    };
    // Size -> Height: -round(points * 96 / 72), halves away from zero.
    for (const Case c : {Case{8, -11}, Case{10, -13}, Case{12, -16}, Case{14, -19}, Case{9, -12}, Case{-15, 20},
                         Case{0, 0}, Case{2000000000, 1}}) { // an overflow gives the platform's -1
        TFont font;
        font.SetSize(c.points);
        EXPECT_EQ(font.Height(), c.height) << c.points << " pt";
    }
    // Height -> Size: -round(height * 72 / 96); a cell height gives a negative size.
    for (const Case c : {Case{8, -11}, Case{12, -16}, Case{2, -2}, Case{1, -1}, Case{-15, 20}, Case{-2, 2}, Case{0, 0},
                         Case{1610612736, std::numeric_limits<int>::min()}}) {
        TFont font;
        font.SetHeight(c.height);
        EXPECT_EQ(font.Size(), c.points) << c.height << " px";
    }
}

TEST(Font, OnChangeFiresOncePerRealChange)
{
    TFont font;
    int changes = 0;
    TObject* sender = nullptr;
    font.OnChange = [&](TObject* s) {
        ++changes;
        sender = s;
    };
    font.SetName("Arial"); // the default: no change
    font.SetSize(font.Size());
    EXPECT_EQ(changes, 0);
    font.SetStyle({fsBold, fsUnderline});
    font.SetColor(clRed);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(sender, &font);

    TFont other;
    other.SetName("Times New Roman");
    other.SetHeight(-30);
    other.SetOrientation(900);
    changes = 0;
    font.Assign(&other);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(font.Name(), "Times New Roman");
    EXPECT_EQ(font.Height(), -30);
    EXPECT_EQ(font.Style(), TFontStyles{});
    EXPECT_EQ(font.Color(), other.Color());
    EXPECT_EQ(font.Orientation(), 900);
    font.Assign(&other);
    EXPECT_EQ(changes, 1);
}

TEST(Font, AssigningSomethingElseIsAConversionError)
{
    TFont font;
    TPersistent notAFont;
    EXPECT_THROW(font.Assign(&notAFont), EConvertError);
}

TEST(Font, StylesAreBitsInTheStoredOrder)
{
    EXPECT_EQ((TFontStyles{fsBold, fsItalic}).Bits(), 3);
    EXPECT_EQ((TFontStyles{fsUnderline, fsStrikeOut}).Bits(), 12);
    EXPECT_EQ(TFontStyles::FromBits(0xFF).Bits(), 0x0F);
    TFontStyles styles = TFontStyles::FromBits(5);
    EXPECT_TRUE(styles.Contains(fsBold));
    EXPECT_FALSE(styles.Contains(fsItalic));
    EXPECT_TRUE(styles.Contains(fsUnderline));
    EXPECT_EQ((styles - TFontStyles{fsBold}).Bits(), 4);
}

TEST(Font, DocumentFacesResolveToTheirMetricCompatibleFaces)
{
    struct Case {
        const char* requested;
        const char* installed;
    };
    for (const Case c : {Case{"Arial", "Liberation Sans"}, Case{"arial", "Liberation Sans"},
                         Case{"Times New Roman", "Liberation Serif"}, Case{"Courier New", "Liberation Mono"},
                         Case{"Liberation Serif", "Liberation Serif"}}) {
        EXPECT_EQ(gfx::ResolvedFamily({c.requested, -16}), c.installed) << c.requested;
    }
    const auto bold = gfx::AcquireFont({"Arial", -16, true, false});
    EXPECT_NE(bold->FileName().find("LiberationSans-Bold"), std::string::npos) << bold->FileName();
}

TEST(Font, FontFilesOfAFaceComeBestMatchFirst)
{
    auto named = [](const std::vector<std::string>& files) {
        std::vector<std::string> names;
        for (const auto& f : files)
            names.push_back(std::filesystem::path(f).filename().string());
        return names;
    };
    // The face itself beats its styles and the wider family ("Sans Narrow").
    EXPECT_EQ(named(gfx::FindFontFiles("Liberation Sans")), std::vector<std::string>{"LiberationSans-Regular.ttf"});
    EXPECT_EQ(named(gfx::FindFontFiles("liberation sans bold")), std::vector<std::string>{"LiberationSans-Bold.ttf"});
    EXPECT_TRUE(gfx::FindFontFiles("No Such Face Anywhere").empty());
    EXPECT_TRUE(gfx::FindFontFiles("").empty());
}

TEST(Font, AddedFontFilesAreFoundUntilRemoved)
{
    tooltest::ScratchFolder dir;
    const std::string copy = dir.File("ShowFont.ttf");
    const auto regular = gfx::FindFontFiles("Liberation Serif");
    ASSERT_EQ(regular.size(), 1u);
    std::filesystem::copy_file(regular.front(), copy);
    const std::string notAFont = dir.File("readme.ttf");
    tooltest::WriteBytes(notAFont, {'n', 'o', ' ', 'f', 'o', 'n', 't'});

    EXPECT_FALSE(gfx::AddFontFile(notAFont));
    ASSERT_TRUE(gfx::AddFontFile(copy));
    auto found = gfx::FindFontFiles("Liberation Serif");
    EXPECT_NE(std::find(found.begin(), found.end(), copy), found.end());
    // The system's list stays what is installed, without the fonts of a show.
    auto listsCopy = [&](const std::vector<gfx::InstalledFont>& fonts) {
        return std::any_of(fonts.begin(), fonts.end(), [&](const gfx::InstalledFont& f) { return f.File == copy; });
    };
    EXPECT_TRUE(listsCopy(gfx::InstalledFonts()));
    EXPECT_FALSE(listsCopy(gfx::SystemFonts()));
    EXPECT_FALSE(gfx::SystemFonts().empty());
    EXPECT_TRUE(gfx::RemoveFontFile(copy));
    found = gfx::FindFontFiles("Liberation Serif");
    EXPECT_EQ(std::find(found.begin(), found.end(), copy), found.end());
    EXPECT_FALSE(gfx::RemoveFontFile(copy));
}

} // namespace
