// A show file read, and its first picture decoding, before the player's
// toolkit starts: handed over once, to the start that plays that file.

#include "ShowFixture.h"

#include "core/PictureAhead.h"
#include "core/ShowStartAhead.h"
#include "editor/app/PicInfoUnit.h"

#include <fstream>

using namespace showtest;

namespace {

class ShowStartAheadTest : public ShowFixture {
protected:
    // A show file of count pictures.
    std::string ShowFile(int count, bool fullScreen)
    {
        TConfigVistelo show;
        show.StartFullScreen = fullScreen;
        for (int i = 0; i < count; ++i)
            show.AddDia(*Entry(Picture("p" + std::to_string(i) + ".bmp", Colour(i))));
        const std::string path = (folder_ / "vorab.vsf").string();
        EXPECT_TRUE(show.SaveToFile(path));
        return path;
    }
};

TEST_F(ShowStartAheadTest, IsHandedOverOnceAndOnlyForItsFile)
{
    const std::string file = ShowFile(3, true);
    ShowStartAhead::Prepare(file, TSize{800, 600});
    EXPECT_EQ(ShowStartAhead::Claim(file + ".other"), nullptr);
    const std::unique_ptr<TShowStartAhead> prepared = ShowStartAhead::Claim(file);
    ASSERT_NE(prepared, nullptr);
    ASSERT_NE(prepared->Show, nullptr);
    EXPECT_EQ(prepared->Show->Count, 3);
    ASSERT_NE(prepared->FirstPicture, nullptr);
    EXPECT_TRUE(prepared->FirstPicture->IsFor(0, prepared->Show->Pictures[0]->FileName));
    EXPECT_EQ(ShowStartAhead::Claim(file), nullptr);
}

TEST_F(ShowStartAheadTest, PreparesNothingOfAFileThatDoesNotReadAndNoPictureWithoutAScreen)
{
    const std::string broken = (folder_ / "kaputt.vsf").string();
    std::ofstream(broken) << "kein Vistelo";
    ShowStartAhead::Prepare(broken, TSize{800, 600});
    EXPECT_EQ(ShowStartAhead::Claim(broken), nullptr);

    const std::string file = ShowFile(1, true);
    ShowStartAhead::Prepare(file, std::nullopt);
    const std::unique_ptr<TShowStartAhead> prepared = ShowStartAhead::Claim(file);
    ASSERT_NE(prepared, nullptr);
    EXPECT_NE(prepared->Show, nullptr);
    EXPECT_EQ(prepared->FirstPicture, nullptr);
}

TEST_F(ShowStartAheadTest, TheExpectedAreaIsTheScreenOrTheSizeableWindow)
{
    TVistelo& show = NewShow(1);
    show.StartFullScreen = true;
    EXPECT_EQ(ShowStartAhead::ExpectedPictureArea(show, {1920, 1080}), (TSize{1920, 1080}));
    show.StartFullScreen = false;
    EXPECT_EQ(ShowStartAhead::ExpectedPictureArea(show, {1920, 1080}), (TSize{1536, 864}));
}

} // namespace
