#include "core/PictureLoading.h"

#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/ImgList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

using namespace PictureLoading;

void ExpectRect(const TRect& a, const TRect& e, const char* what)
{
    EXPECT_TRUE(a.Left == e.Left && a.Top == e.Top && a.Right == e.Right && a.Bottom == e.Bottom)
        << what << ": (" << a.Left << ", " << a.Top << ", " << a.Right << ", " << a.Bottom << ")";
}

TEST(PictureLoadingTest, JpegScaleNeverBelowTheBox)
{
    struct Case {
        int boxWidth, boxHeight;
        TJPEGScale scale;
    } cases[] = {
        {80, 60, jsEighth},       {800, 600, jsQuarter},    {1600, 1200, jsHalf},
        {2500, 1000, jsFullSize}, {500, 375, jsEighth},     {501, 375, jsQuarter},
        {2000, 1500, jsHalf},     {2000, 1501, jsFullSize}, {0, 0, jsEighth},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JpegScaleFor(4000, 3000, c.boxWidth, c.boxHeight), c.scale) << c.boxWidth << "x" << c.boxHeight;
}

TEST(PictureLoadingTest, PicPosTable)
{
    struct Case {
        const char* what;
        int pw, ph;
        bool stretch, proportions;
        TSizePercent sizePercent;
        TSpecialPlacement placement;
        TPlacementRectExt placementRect;
        TRect expected;
    } cases[] = {
        {"fit centred", 100, 50, true, true, pNone, spCenter, {0, 0, 1, 1}, Rect(0, 50, 400, 250)},
        {"natural bottom right", 100, 50, false, false, pNone, spBottomRight, {0, 0, 1, 1}, Rect(300, 250, 400, 300)},
        {"stretched", 100, 50, true, false, pNone, spTopLeft, {0, 0, 1, 1}, Rect(0, 0, 400, 300)},
        {"top centre", 100, 50, false, false, pNone, spTopCenter, {0, 0, 1, 1}, Rect(150, 0, 250, 50)},
        {"top right", 100, 50, false, false, pNone, spTopRight, {0, 0, 1, 1}, Rect(300, 0, 400, 50)},
        {"right centre", 100, 50, false, false, pNone, spRightCenter, {0, 0, 1, 1}, Rect(300, 125, 400, 175)},
        {"bottom centre", 100, 50, false, false, pNone, spBottomCenter, {0, 0, 1, 1}, Rect(150, 250, 250, 300)},
        {"bottom left", 100, 50, false, false, pNone, spBottomLeft, {0, 0, 1, 1}, Rect(0, 250, 100, 300)},
        {"left centre", 100, 50, false, false, pNone, spLeftCenter, {0, 0, 1, 1}, Rect(0, 125, 100, 175)},
        {"too large, centred: pinned", 800, 600, false, false, pNone, spCenter, {0, 0, 1, 1}, Rect(0, 0, 800, 600)},
        {"too large, bottom right",
         800,
         600,
         false,
         false,
         pNone,
         spBottomRight,
         {0, 0, 1, 1},
         Rect(-400, -300, 400, 300)},
        {"user box", 100, 50, false, false, pNone, spUser, {0.5, 0.5, 1, 1}, Rect(250, 200, 350, 250)},
        {"user box sizes", 100, 50, false, false, pPicture, spUser, {0.5, 0.5, 1, 1}, Rect(200, 150, 400, 300)},
        {"window percent", 100, 50, false, false, pWindow, spTopLeft, {0, 0, 0.5, 0.5}, Rect(0, 0, 200, 150)},
        {"picture percent", 100, 50, false, true, pPicture, spCenter, {0, 0, 2, 2}, Rect(100, 100, 300, 200)},
        {"no height", 100, 0, true, true, pNone, spTopLeft, {0, 0, 1, 1}, Rect(0, 0, 1, 0)},
        {"no width", 0, 50, true, true, pNone, spTopLeft, {0, 0, 1, 1}, Rect(0, 0, 0, 1)},
    };
    for (const Case& c : cases) {
        TPicInfoObject entry;
        entry.Stretch = c.stretch;
        entry.Proportions = c.proportions;
        entry.SizePercent = c.sizePercent;
        entry.Placement = c.placement;
        entry.PicPlacement = c.placementRect;
        ExpectRect(PicPos(c.pw, c.ph, entry, 400, 300), c.expected, c.what);
    }
}

TEST(PictureLoadingTest, NormalRectRoundsHalvesToEven)
{
    ExpectRect(GetNormalRect({0.5, 0.5, 0.5, 1}, 3, 5), Rect(2, 2, 2, 5), "halves");
}

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Setup::SaveSharedData(saved_);
        dir_ = fs::temp_directory_path() / ("vistelo-pictures-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "home");
        fs::create_directories(dir_ / "Show");
        Setup::HomeDir = (dir_ / "home").string() + "/";
    }
    void TearDown() override
    {
        Setup::RestoreSharedData(saved_);
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& relative) const { return (dir_ / relative).string(); }
    void Make(const std::string& relative, const std::string& bytes = "x") const
    {
        std::ofstream(Path(relative), std::ios::binary) << bytes;
    }
    bool Run(const std::string& command) const { return std::system(command.c_str()) == 0; }

    fs::path dir_;

private:
    TSharedData saved_;
};

TEST_F(PictureFiles, RelFileNameFindsMovedShowsPictures)
{
    const std::string show = Path("Show/show.vsf");
    Make("Show/a.jpg");
    Make("home/b.jpg");
    Make("home/c.jpg");
    Make("Show/c.jpg");
    EXPECT_EQ(RelFileName("D:\\Bilder\\a.jpg", show), Path("Show/a.jpg"));
    EXPECT_EQ(RelFileName("D:\\Bilder\\A.JPG", show), Path("Show/a.jpg")); // letter case as stored on Windows
    EXPECT_EQ(RelFileName("b.jpg", show), Path("home/b.jpg"));
    EXPECT_EQ(RelFileName("Bilder\\b.jpg", show), Path("home/b.jpg"));
    EXPECT_EQ(RelFileName("c.jpg", show), Path("home/c.jpg")); // the name itself comes first
    EXPECT_EQ(RelFileName(Path("Show/a.jpg"), ""), Path("Show/a.jpg"));
    EXPECT_EQ(RelFileName("D:\\Bilder\\missing.jpg", show), "");
    EXPECT_EQ(RelFileName("", show), "");
}

TEST_F(PictureFiles, LoadPictureReportsErrors)
{
    TPicture picture;
    EXPECT_EQ(LoadPicture(Path("none.bmp"), "", picture), leInvalidGraphic);
    Make("x.unknownext", "data");
    EXPECT_EQ(LoadPicture(Path("x.unknownext"), "", picture), leInvalidGraphic);
    Make("broken.jpg", std::string("\xFF\xD8\xFF\xE0garbage", 12));
    EXPECT_EQ(LoadPicture(Path("broken.jpg"), "", picture), leInvalidGraphic);
}

TEST_F(PictureFiles, LoadPictureMakesASmoothBitmap)
{
    ASSERT_TRUE(Run("convert -size 30x20 gradient:red-blue BMP3:" + Path("p.bmp")));
    for (bool lowMemory : {false, true}) {
        Setup::SmoothScale = !lowMemory;
        Setup::LowMemory = lowMemory;
        TPicture picture;
        ASSERT_EQ(LoadPicture(Path("p.bmp"), "", picture), leOK);
        auto* bitmap = dynamic_cast<TSmoothBitmap*>(picture.Graphic());
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Smooth, !lowMemory);
        EXPECT_EQ(bitmap->DrawToBuffer, !lowMemory);
        EXPECT_EQ(bitmap->PixelFormat(), pf24bit);
        EXPECT_EQ(Setup::OrigWidth, 30);
        EXPECT_EQ(Setup::OrigHeight, 20);
    }
}

TEST_F(PictureFiles, LoadPictureDecodesJpegsOnlyAsLargeAsTheOptionsAllow)
{
    ASSERT_TRUE(Run("convert -size 800x600 gradient:white-green -quality 90 " + Path("big.jpg")));
    // The shared settings stand for what a host set up; explicit options
    // overrule them and leave them as they are.
    struct Case {
        const char* what;
        bool speedUp;
        bool sharedReduce;
        bool explicitOptions;
        TPictureLoadOptions options;
        int width, height;
    };
    const Case cases[] = {
        {"reduced to the box", true, false, true, {true, 100, 75}, 100, 75},
        {"every pixel", true, true, true, {false, 100, 75}, 800, 600},
        {"quicker decoding not allowed", false, false, true, {true, 100, 75}, 800, 600},
        {"shared settings reduce", true, true, false, {}, 100, 75},
        {"shared settings keep every pixel", true, false, false, {}, 800, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Setup::SpeedUpJPEGPreview = c.speedUp;
        Setup::ReduceSize = c.sharedReduce;
        Setup::WidthMaxRed = 100;
        Setup::HeightMaxRed = 75;
        TPicture picture;
        ASSERT_EQ(c.explicitOptions ? LoadPicture(Path("big.jpg"), "", picture, c.options)
                                    : LoadPicture(Path("big.jpg"), "", picture),
                  leOK);
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
        EXPECT_EQ(Setup::OrigWidth, 800);
        EXPECT_NE(dynamic_cast<TSmoothBitmap*>(picture.Graphic()), nullptr);
        EXPECT_EQ(Setup::ReduceSize, c.sharedReduce);
        EXPECT_EQ(Setup::WidthMaxRed, 100);
        EXPECT_EQ(Setup::HeightMaxRed, 75);
    }
}

TEST_F(PictureFiles, AStretchedSlideIsDecodedForItsPlacementBox)
{
    // For a slide area of 100 x 75.
    struct Case {
        const char* what;
        bool stretch;
        TSizePercent sizePercent;
        TSpecialPlacement placement;
        TPlacementRectExt box;
        TPictureLoadOptions options;
        int decodedWidth; // of the 800 x 600 JPEG
    };
    const Case cases[] = {
        {"the area", true, pNone, spCenter, {0, 0, 1, 1}, {true, 100, 75}, 100},
        {"a user box twice the area", true, pNone, spUser, {-0.5, -0.5, 1.5, 1.5}, {true, 200, 150}, 200},
        {"a percent box twice the area", true, pWindow, spCenter, {0, 0, 2, 2}, {true, 200, 150}, 200},
        {"a user box wins over a box of the picture", true, pPicture, spUser, {0, 0, 4, 4}, {true, 400, 300}, 400},
        {"a box of the picture", true, pPicture, spCenter, {0, 0, 0.1, 0.1}, {}, 800},
        {"not stretched", false, pWindow, spUser, {0, 0, 0.5, 0.5}, {}, 800},
        {"an empty user box", true, pNone, spUser, {0.5, 0.5, 0.5, 0.5}, {}, 800},
        {"an inverted user box", true, pNone, spUser, {1, 1, 0, 0}, {}, 800},
    };
    ASSERT_TRUE(Run("convert -size 800x600 gradient:white-green -quality 90 " + Path("big.jpg")));
    Setup::SpeedUpJPEGPreview = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPicInfoObject entry;
        entry.Stretch = c.stretch;
        entry.SizePercent = c.sizePercent;
        entry.Placement = c.placement;
        entry.PicPlacement = c.box;
        const TPictureLoadOptions options = SlideLoadOptions(entry, 100, 75);
        EXPECT_EQ(options.ReduceSize, c.options.ReduceSize);
        if (c.options.ReduceSize) {
            EXPECT_EQ(options.WidthMaxRed, c.options.WidthMaxRed);
            EXPECT_EQ(options.HeightMaxRed, c.options.HeightMaxRed);
        }
        TPicture picture;
        ASSERT_EQ(LoadPicture(Path("big.jpg"), "", picture, options), leOK);
        EXPECT_EQ(picture.Width(), c.decodedWidth);
    }
    EXPECT_FALSE(SlideLoadOptions(TPicInfoObject(), 0, 0).ReduceSize);
}

TEST_F(PictureFiles, LoadErrorPlaceholderHasTheAreaSize)
{
    TPicture picture;
    PicLoadError(picture, 120, 80, leOutOfMemory);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 120);
    EXPECT_EQ(picture.Height(), 80);
}

} // namespace

namespace {

TEST_F(PictureFiles, ThumbnailsOfShowEntriesFitTheBoxAndLoadOnce)
{
    ASSERT_TRUE(Run("convert -size 900x30 gradient:red-blue -quality 90 " + Path("Show/wide.jpg")));
    Setup::VisteloFilename = Path("Show/show.vsf");
    Setup::CatalogThumbWidth = 80;
    Setup::CatalogThumbHeight = 60;
    // The loader's shared reduction is the host's; thumbnails pass their own.
    Setup::ReduceSize = true;
    Setup::WidthMaxRed = 7;
    Setup::HeightMaxRed = 5;

    TPicInfoObject entry;
    entry.FileName = "D:\\Bilder\\WIDE.jpg"; // as a show made on Windows stores it
    EXPECT_TRUE(entry.CreateThumbNail(80, 60, false, false));
    EXPECT_TRUE(Setup::ReduceSize);
    EXPECT_EQ(Setup::WidthMaxRed, 7);
    EXPECT_EQ(Setup::HeightMaxRed, 5);
    ASSERT_NE(entry.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(entry.Thumbnail.GetThumbnail()->Width(), 80);
    EXPECT_GE(entry.Thumbnail.GetThumbnail()->Height(), 1);
    EXPECT_NE(entry.DateSum, -1);
    EXPECT_FALSE(entry.CreateThumbNail(80, 60, true, false)); // unchanged file: kept

    TPicInfoObject missing;
    missing.FileName = "fehlt.jpg";
    EXPECT_TRUE(missing.CreateThumbNail(80, 60, false, false));
    EXPECT_EQ(missing.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(missing.DateSum, -1);
}

TEST(PictureLoadingTest, ShowPicCanvasDrawsAsTheEntryWouldShow)
{
    struct Case {
        const char* what;
        bool stretch, proportions, forceStretch;
        TRect expected;
    } cases[] = {
        {"neither: natural size, centred", false, false, false, Rect(10, 10, 30, 20)},
        {"forced stretch keeps proportions", false, false, true, Rect(0, 5, 40, 25)},
        {"stretch without proportions fills", true, false, false, Rect(0, 0, 40, 30)},
        {"stretch with proportions", true, true, false, Rect(0, 5, 40, 25)},
        {"proportions only: natural size", false, true, false, Rect(10, 10, 30, 20)},
    };
    TBitmap picture(20, 10);
    picture.Canvas().Brush.Color = clRed;
    picture.Canvas().FillRect(Rect(0, 0, 20, 10));
    for (const Case& c : cases) {
        TPicInfoObject entry;
        entry.Stretch = c.stretch;
        entry.Proportions = c.proportions;
        entry.Placement = spCenter;
        entry.BackgroundColor = clBlue;
        TBitmap screen(40, 30);
        ShowPicCanvas(screen.Canvas(), 40, 30, picture, entry, c.forceStretch);
        EXPECT_EQ(entry.Proportions, c.proportions) << c.what << ": the entry itself changed";
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= c.expected.Left && x < c.expected.Right && y >= c.expected.Top &&
                    y < c.expected.Bottom;
                ASSERT_EQ(screen.Canvas().Pixels(x, y), inside ? clRed : clBlue) << c.what << " at " << x << "," << y;
            }
    }
}

TEST(PictureLoadingTest, FillImageListFromBitmapResources)
{
    // IL_FULL: 16 x 16 white, magenta at (0, 0), green at (5, 5).
    // IL_SMALL: 8 x 6 green, black at (0, 0).
    TImageList list(16, 16);
    TBitmap stale(16, 16);
    list.Add(&stale, nullptr);
    const std::vector<TImageListItem> items = {CreateILI("IL_FULL", -1), CreateILI("IL_SMALL", -1),
                                               CreateILI("IL_FULL", clWhite), CreateILI("IL_FULL", clNone)};
    EXPECT_EQ(items[2].ResName, "IL_FULL");
    EXPECT_EQ(items[2].Color, clWhite);
    FillImageList(list, nullptr, items);
    ASSERT_EQ(list.Count(), 4);

    struct Case {
        const char* what;
        int index, x, y;
        bool opaque;
    } cases[] = {
        {"top-left colour is see-through", 0, 0, 0, false},
        {"other colours stay", 0, 1, 1, true},
        {"other colours stay", 0, 5, 5, true},
        {"small: frame in its top-left colour", 1, 0, 0, false},
        {"small: frame", 1, 15, 15, false},
        {"small: centred at (4, 5)", 1, 4, 5, false},
        {"small: centred at (4, 5)", 1, 5, 5, true},
        {"small: centred at (4, 5)", 1, 11, 10, true},
        {"small: centred at (4, 5)", 1, 12, 10, false},
        {"small: centred at (4, 5)", 1, 11, 11, false},
        {"given colour", 2, 1, 1, false},
        {"given colour", 2, 0, 0, true},
        {"without a mask", 3, 0, 0, true},
        {"without a mask", 3, 1, 1, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.Opaque(c.index, c.x, c.y), c.opaque) << c.what << " " << c.index << ": " << c.x << "," << c.y;
    TBitmap image;
    list.GetBitmap(1, image);
    EXPECT_EQ(image.Canvas().Pixels(5, 6), clLime);

    // A list smaller than the bitmap takes its top-left part.
    TImageList tiny(4, 4);
    FillImageList(tiny, nullptr, {CreateILI("IL_SMALL", clNone)});
    ASSERT_EQ(tiny.Count(), 1);
    tiny.GetBitmap(0, image);
    EXPECT_EQ(image.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(image.Canvas().Pixels(3, 3), clLime);

    EXPECT_THROW(FillImageList(list, nullptr, {CreateILI("NO_SUCH_BITMAP", -1)}), EResNotFound);
}

} // namespace
