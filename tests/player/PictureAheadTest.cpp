// A slide's picture loaded on a worker before the window asks for it: handed
// over only when it is the picture asked for and decoded as a load for the
// window's own area would decode it.

#include "ShowFixture.h"

#include "core/PictureAhead.h"
#include "core/Setup.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"

#include <fstream>

using namespace showtest;

namespace {

class PictureAhead : public ShowFixture {
protected:
    // A JPEG of width x height in the test folder.
    std::string Jpeg(const std::string& name, int width, int height)
    {
        TBitmap pixels(width, height, pf24bit);
        pixels.Canvas().Brush.Color = clTeal;
        pixels.Canvas().FillRect(Rect(0, 0, width, height));
        TJPEGImage jpeg;
        jpeg.Assign(&pixels);
        const std::string path = (folder_ / name).string();
        jpeg.SaveToFile(path);
        return path;
    }
};

TEST_F(PictureAhead, IsTakenOnlyForItsPictureDecodedAlike)
{
    // 1600 x 1200 decodes at half size for an area up to 800 x 600, at full
    // size for a larger one.
    TVistelo& show = NewShow(2);
    show.Pictures[0]->FileName = Jpeg("gross.jpg", 1600, 1200);
    const std::string bmp = show.Pictures[1]->FileName;
    struct Case {
        const char* what;
        std::int32_t startIndex;
        int startWidth, startHeight; // the area the load ahead expected
        std::int32_t takeIndex;
        std::string takeName;
        int takeWidth, takeHeight; // the area the window has
        int shownWidth;            // of the picture handed over, 0: none
    };
    const std::string jpeg = show.Pictures[0]->FileName;
    const Case cases[] = {
        {"the same area", 0, 800, 600, 0, jpeg, 800, 600, 800},
        {"another area, the same scale", 0, 800, 600, 0, jpeg, 700, 500, 800},
        {"an area that needs every pixel", 0, 800, 600, 0, jpeg, 1000, 700, 0},
        {"another entry", 0, 800, 600, 1, jpeg, 800, 600, 0},
        {"another file", 0, 800, 600, 0, bmp, 800, 600, 0},
        {"a picture of another format", 1, 800, 600, 1, bmp, 1000, 700, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Setup::OrigWidth = Setup::OrigHeight = -1;
        std::unique_ptr<TPictureAhead> ahead = TPictureAhead::StartForSlide(show, c.startIndex, Setup::VisteloFilename,
                                                                            c.startWidth, c.startHeight);
        ASSERT_NE(ahead, nullptr);
        std::unique_ptr<TPicture> picture;
        ahead->Take(c.takeIndex, c.takeName,
                    PictureLoading::SlideLoadOptions(*show.Pictures[c.takeIndex], c.takeWidth, c.takeHeight), picture);
        if (c.shownWidth == 0) {
            EXPECT_EQ(picture, nullptr);
            continue;
        }
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Width(), c.shownWidth);
        // The picture's own size, as a load on the main thread sets it.
        EXPECT_EQ(Setup::OrigWidth, c.startIndex == 0 ? 1600 : 8);
        EXPECT_EQ(Setup::OrigHeight, c.startIndex == 0 ? 1200 : 6);
    }
}

TEST_F(PictureAhead, AFileThatDoesNotLoadIsLeftToTheWindowToReport)
{
    TVistelo& show = NewShow(1);
    show.Pictures[0]->FileName = (folder_ / "kaputt.jpg").string();
    std::ofstream(show.Pictures[0]->FileName) << "not a picture";
    std::unique_ptr<TPictureAhead> ahead = TPictureAhead::StartForSlide(show, 0, Setup::VisteloFilename, 800, 600);
    ASSERT_NE(ahead, nullptr);
    std::unique_ptr<TPicture> picture;
    ahead->Take(0, show.Pictures[0]->FileName, PictureLoading::SlideLoadOptions(*show.Pictures[0], 800, 600), picture);
    EXPECT_EQ(picture, nullptr);
}

TEST_F(PictureAhead, AnEntryWithoutAPictureFoundStartsNothing)
{
    TVistelo& show = NewShow(3);
    show.Pictures[0]->ShowImage = false;
    show.Pictures[1]->FileName.clear();
    show.Pictures[2]->FileName = (folder_ / "fehlt.jpg").string();
    for (std::int32_t index : {0, 1, 2, 3, -1})
        EXPECT_EQ(TPictureAhead::StartForSlide(show, index, Setup::VisteloFilename, 800, 600), nullptr) << index;
}

} // namespace
