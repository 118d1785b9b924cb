#include "core/FontTools.h"

#include "platform/graphics/Font.h"
#include "platform/rtl/ByteOrder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(FontToolsTest, SameFontNameScores)
{
    struct Case {
        const char* entry;
        const char* face;
        int score;
    } cases[] = {
        {"", "Arial", 0},
        {"Arial (TrueType)", "", 0},
        {"Arial (TrueType)", "Arial", 1},
        {"ARIAL (TrueType)", "arial", 1},       // the same name ignores case
        {"  Arial   (TrueType)", " Arial ", 1}, // blanks around the names do not count
        {"Arial Bold (TrueType)", "Arial", 2},  // one word of the entry is in the face
        {"Arial Bold Italic (TrueType)", "Arial", 2},
        {"Courier New Bold (TrueType)", "Courier New", 3},  // two words of the entry are in the face
        {"ARIAL BOLD (TrueType)", "Arial", 0},              // "occurs in" keeps case
        {"Arial Narrow (TrueType)", "Arial Black", 99},     // only the face's first word
        {"Arial ArialBlack (TrueType)", "Arial Black", 98}, // "Arial", then "ArialBlack"
        {"Verdana (TrueType)", "Arial", 0},
        {"Arialish (TrueType)", "Arial", 0}, // a face inside a longer word is no hit
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontTools::SameFontName(c.entry, c.face), c.score) << c.entry << " / " << c.face;
}

TEST(FontToolsTest, FontDataOfNoFontIsMinusOne)
{
    std::vector<std::uint8_t> blob{1, 2, 3};
    EXPECT_EQ(FontTools::CreateFontData(nullptr, blob), -1);
    EXPECT_TRUE(blob.empty());
}

TEST(FontToolsTest, InterpretFontDataRejectsBlobsItCannotHold)
{
    TFont font;
    font.SetName("Arial");
    std::vector<std::uint8_t> blob;
    ASSERT_EQ(FontTools::CreateFontData(&font, blob), 22);
    EXPECT_TRUE(FontTools::InterpretFontData(blob));

    std::vector<std::uint8_t> cut(blob.begin(), blob.end() - 1);
    EXPECT_FALSE(FontTools::InterpretFontData(cut));
    EXPECT_FALSE(FontTools::InterpretFontData(std::vector<std::uint8_t>(16, 0)));
    blob[8] = 6; // a name one byte longer than the blob holds
    EXPECT_FALSE(FontTools::InterpretFontData(blob));
}

TEST(FontToolsTest, AbsurdSizesAreClampedToWhatAFontCanHave)
{
    TFont font;
    std::vector<std::uint8_t> blob;
    FontTools::CreateFontData(&font, blob);
    const std::size_t sizeAt = blob.size() - 5;
    for (const auto& [stored, expected] : {std::pair{0x7FFFFFFF, 65536}, std::pair{-0x7FFFFFFF - 1, -65536}}) {
        rtl::PutLE32(&blob[sizeAt], static_cast<std::uint32_t>(stored));
        const std::unique_ptr<TFont> read = FontTools::InterpretFontData(blob);
        ASSERT_TRUE(read);
        EXPECT_NEAR(read->Size(), expected, 1) << stored;
    }
}

TEST(FontToolsTest, AssignFontCopiesColourFaceSizeAndStyleOnly)
{
    TFont source;
    source.SetName("Liberation Serif");
    source.SetSize(23);
    source.SetColor(0x123456);
    source.SetStyle({fsUnderline, fsStrikeOut});
    source.SetCharset(SYMBOL_CHARSET);
    source.SetPitch(fpFixed);

    auto target = std::make_unique<TFont>();
    FontTools::AssignFont(target, &source);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Name(), "Liberation Serif");
    EXPECT_EQ(target->Size(), 23);
    EXPECT_EQ(target->Color(), 0x123456);
    EXPECT_EQ(target->Style(), TFontStyles({fsUnderline, fsStrikeOut}));
    EXPECT_EQ(target->Charset(), TFont().Charset());
    EXPECT_EQ(target->Pitch(), TFont().Pitch());

    TFont* kept = target.get();
    FontTools::AssignFont(target, nullptr);
    EXPECT_EQ(target.get(), kept);
}

TEST(FontToolsTest, GetFontFilenameReturnsTheBestScoredFilesOnly)
{
    TFont font;
    font.SetName("Liberation Sans");
    const std::vector<std::string> files = FontTools::GetFontFilename(font);
    if (files.empty())
        GTEST_SKIP() << "Liberation Sans is not installed";
    // "Liberation Sans" (1) beats "Liberation Sans Bold", "... Narrow" (2 and up).
    for (const std::string& file : files) {
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
        EXPECT_EQ(std::filesystem::path(file).filename(), "LiberationSans-Regular.ttf") << file;
    }

    font.SetName("No Such Face Anywhere");
    EXPECT_TRUE(FontTools::GetFontFilename(font).empty());
}

} // namespace
