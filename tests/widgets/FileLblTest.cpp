#include "widgets/FileLbl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/EventLoop.h"

namespace {

TEST(FileLblTest, BreakApartKeepsEmptyPieces)
{
    struct Case {
        std::string text;
        std::vector<std::string> pieces;
    } cases[] = {
        {"C:\\Bilder\\bild.jpg", {"C:", "Bilder", "bild.jpg"}},
        {"a\\\\b", {"a", "", "b"}},
        {"\\a\\", {"", "a", ""}},
        {"bild.jpg", {"bild.jpg"}},
        {"", {""}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Add("vorher");
        FileLbl::sBreakApart(c.text, "\\", list);
        std::vector<std::string> got;
        for (int i = 1; i < list.Count(); ++i)
            got.push_back(list.Strings(i));
        EXPECT_EQ(got, c.pieces) << c.text;
    }
}

class FileLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        label_.Font().SetName("Liberation Sans");
        label_.Font().SetHeight(-19);
        measure_.Canvas().Font.Assign(&label_.Font());
    }

    int W(const std::string& s) { return measure_.Canvas().TextWidth(s); }

    TFileLabel label_{nullptr};
    TBitmap measure_{1, 1};
};

TEST_F(FileLabelTest, PathIsShortenedToTheWidth)
{
    const std::string path = "C:\\Bilder\\Urlaub\\2000\\bild.jpg";
    const std::string relative = "Bilder\\Urlaub\\2000\\bild.jpg";
    const int oneDirectory = W("C:\\") + W("...\\") + W("bild.jpg") + std::max(W("2000\\"), W("Bilder\\"));
    struct Case {
        std::string fileName;
        int width;
        TDirection direction;
        std::string caption;
    } cases[] = {
        {path, W(path) + 5, drFromLeft, path},
        // The file name alone is wider than the label: no "..." then.
        {path, W("bild.jpg") + 2, drFromLeft, "bild.jpg"},
        // Room for the ellipsis but not for the drive.
        {path, W("...\\bild.jpg") + W("C:") / 2, drFromLeft, "...\\bild.jpg"},
        {path, oneDirectory, drFromLeft, "C:\\...\\2000\\bild.jpg"},
        {path, oneDirectory, drFromRight, "C:\\Bilder\\...\\bild.jpg"},
        // Without a drive there is no head: the first part may be kept.
        {relative, W("...\\") + W("bild.jpg") + W("Bilder\\") + 1, drFromRight, "Bilder\\...\\bild.jpg"},
        {"", 10, drFromLeft, ""},
    };
    for (const Case& c : cases) {
        label_.SetFileName(c.fileName);
        label_.SetDirection(c.direction);
        label_.SetBounds(0, 0, c.width, 20);
        EXPECT_EQ(label_.Caption(), c.caption) << c.fileName << " in " << c.width;
    }
}

TEST_F(FileLabelTest, CaptionFollowsWidthNameAndSeparator)
{
    label_.SetBounds(0, 0, W("...\\c.txt") + 2, 20);
    label_.SetFileName("aaaa\\bbbb\\c.txt");
    EXPECT_EQ(label_.Caption(), "...\\c.txt");
    label_.SetWidth(W("aaaa\\bbbb\\c.txt") + 1);
    EXPECT_EQ(label_.Caption(), "aaaa\\bbbb\\c.txt");

    label_.SetWidth(W(".../c.txt") + 2);
    label_.SetFileName("aaaa/bbbb/c.txt");
    label_.SetSeparator("/");
    EXPECT_EQ(label_.Caption(), ".../c.txt");
}

} // namespace
