// What the playback window draws: the slide rendered ahead equals the slide
// drawn directly, comments in the picture and in the navigation bar, font
// scaling to the reference size, plain slides and the first transition.

#include "ShowFixture.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/Jpeg.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace showtest;

namespace {

class ShowDisplay : public ShowFixture {
protected:
    static bool SameBitmap(TBitmap& a, TBitmap& b)
    {
        if (a.Width() != b.Width() || a.Height() != b.Height())
            return false;
        for (int y = 0; y < a.Height(); ++y)
            if (std::memcmp(a.ScanLine(y), b.ScanLine(y), static_cast<size_t>(a.Width()) * 3) != 0)
                return false;
        return true;
    }

    static void FillPicture(TBitmap& bitmap, TColor colour)
    {
        bitmap.Canvas().Brush.Color = colour;
        bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
    }

    // The rectangle spanned by the pixels near colour (a decoded JPEG is
    // not exact).
    static TRect Extent(TBitmap& bitmap, TColor colour)
    {
        TRect extent = Rect(bitmap.Width(), bitmap.Height(), 0, 0);
        const int want[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
        for (int y = 0; y < bitmap.Height(); ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < bitmap.Width(); ++x) {
                const std::uint8_t* pixel = row + 3 * x;
                if (std::abs(pixel[0] - want[0]) + std::abs(pixel[1] - want[1]) + std::abs(pixel[2] - want[2]) > 12)
                    continue;
                extent.Left = std::min(extent.Left, x);
                extent.Top = std::min(extent.Top, y);
                extent.Right = std::max(extent.Right, x + 1);
                extent.Bottom = std::max(extent.Bottom, y + 1);
            }
        }
        return extent;
    }

    static int CountColour(TBitmap& bitmap, TColor colour)
    {
        int count = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                count += bitmap.Canvas().Pixels(x, y) == colour;
        return count;
    }

    static void Comment(TPicInfoObject& entry, const std::string& text, TCommentPlacement placement)
    {
        entry.Comments = text;
        entry.ShowComments = true;
        entry.CommentPlacement = placement;
        entry.CommentEffects = ceNone;
        entry.CommentAlignment = caCenter;
        entry.CommentFont = std::make_unique<TFont>();
        entry.CommentFont->SetName("Arial");
        entry.CommentFont->SetHeight(-20);
        entry.CommentFont->SetColor(clWhite);
    }

    // A copy of the slide at position once it is on screen; cacheAhead
    // tells whether that slide waited in the cache before it came.
    std::unique_ptr<TBitmap> SlideAt(std::int32_t position, bool* cacheAhead = nullptr)
    {
        std::unique_ptr<TBitmap> copy;
        TShowForm& form = Form();
        Run([&] { return copy != nullptr; }, 60000,
            [&] {
                if (form.Stepper.Show->CurrentIndex == position && !form.Stepper.PositionSet && !copy) {
                    copy = std::make_unique<TBitmap>();
                    copy->Assign(form.Display->SlideBitmap.get());
                } else if (cacheAhead && form.Stepper.Show->CurrentIndex == position - 1) {
                    *cacheAhead = form.Display->NextBitmapIndex == position;
                }
            });
        EXPECT_NE(copy, nullptr);
        return copy ? std::move(copy) : std::make_unique<TBitmap>();
    }
};

TEST_F(ShowDisplay, TheSlideRenderedAheadIsTheSlideDrawnDirectly)
{
    TVistelo& show = NewShow(3, 500);
    show.Pictures[1]->Stretch = false;
    show.Pictures[1]->Center = true;
    show.Pictures[1]->BackgroundColor = clNavy;
    Comment(*show.Pictures[1], "Zweites Bild", cpPictureBottom);
    Start();
    // The second slide waits in the cache, complete with its comment.
    bool cacheAhead = false;
    const std::unique_ptr<TBitmap> cached = SlideAt(1, &cacheAhead);
    EXPECT_TRUE(cacheAhead);

    // Drawn again without the cache, the slide is the same.
    delete ShowForm;
    ShowForm = nullptr;
    steps_.clear();
    TShowForm& again = Start();
    again.Stepper.SetVisteloPos(1, false); // dropping the cache
    const std::unique_ptr<TBitmap> direct = SlideAt(1);
    EXPECT_TRUE(SameBitmap(*cached, *direct));
    EXPECT_GT(CountColour(*direct, clWhite), 0); // the comment is there
    EXPECT_GT(CountColour(*direct, clNavy), 0);  // and the background around the picture
}

TEST_F(ShowDisplay, OnlyAStretchedJpegMayLoseThePixelsTheSlideCannotShow)
{
    // A photo four times the slide area in each direction. Stretched into the
    // slide it fills the area; shown at its own size, or at a fifth of
    // itself, every pixel of it counts.
    constexpr int PictureWidth = 4 * 687;
    constexpr int PictureHeight = 4 * 442;
    const TColor colour = RGB(40, 160, 220);
    const std::string file = (folder_ / "gross.jpg").string();
    {
        TBitmap pixels(PictureWidth, PictureHeight, pf24bit);
        FillPicture(pixels, colour);
        TJPEGImage jpeg;
        jpeg.Assign(&pixels);
        jpeg.SaveToFile(file);
    }
    struct Case {
        bool stretch;
        TSizePercent sizing;
        int width; // of the placed picture, 0: the slide area
        int height;
    };
    const Case cases[] = {
        {true, pNone, 0, 0},
        {false, pNone, PictureWidth, PictureHeight},
        {true, pPicture, PictureWidth / 5, PictureHeight / 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stretch " << c.stretch << " sizing " << int(c.sizing));
        delete ShowForm;
        ShowForm = nullptr;
        steps_.clear();
        TVistelo& show = NewShow(1, 500);
        TPicInfoObject& entry = *show.Pictures[0];
        entry.FileName = file;
        entry.Stretch = c.stretch;
        entry.SizePercent = c.sizing;
        entry.PicPlacement = {0, 0, 0.2, 0.2};
        // The loader's reduction switch belongs to whoever set it.
        Setup::ReduceSize = false;
        Setup::WidthMaxRed = 77;
        Setup::HeightMaxRed = 55;
        TShowForm& form = Start();
        Run([&] { return !Positions().empty(); });
        const int areaWidth = form.DiaScrollBox->ClientWidth();
        const int areaHeight = form.DiaScrollBox->ClientHeight();
        // Small enough for a reduced decode to be possible at all.
        ASSERT_LE(areaWidth, PictureWidth / 2);
        ASSERT_LE(areaHeight, PictureHeight / 2);
        const TRect shown = Extent(*form.Display->SlideBitmap, colour);
        EXPECT_NEAR(shown.Width(), c.width ? c.width : areaWidth, 1);
        EXPECT_NEAR(shown.Height(), c.height ? c.height : areaHeight, 1);
        EXPECT_FALSE(Setup::ReduceSize);
        EXPECT_EQ(Setup::WidthMaxRed, 77);
        EXPECT_EQ(Setup::HeightMaxRed, 55);
    }
}

TEST_F(ShowDisplay, AResizeDropsTheCacheAndRendersTheNextSlideAgain)
{
    NewShow(3, 500);
    TShowForm& form = Start();
    Run([&] { return !Positions().empty(); });
    ASSERT_EQ(form.Display->NextBitmapIndex, 1);
    form.SetBounds(form.Left(), form.Top(), form.Width() - 40, form.Height() - 30);
    // Rendered again for the new size.
    ASSERT_EQ(form.Display->NextBitmapIndex, 1);
    EXPECT_EQ(form.Display->NextBitmap->Width(), form.Display->SlideBitmap->Width());
    EXPECT_EQ(form.Display->SlideBitmap->Width(), form.DiaScrollBox->ClientWidth());
    EXPECT_EQ(SlideColour(), Colour(0)); // the stretched slide was drawn again
}

TEST_F(ShowDisplay, NavigationBarCommentsGoToTheLabelWhetherShownOrNot)
{
    struct Case {
        std::string comment;
        bool showComments;
        bool showFilename;
        std::string message;
        bool filenameShown;
    };
    const Case cases[] = {
        {"Im Balken", true, true, "Im Balken", false},
        {"Im Balken", false, true, "Im Balken", false},
        {"", true, true, "", true},
        {"Im Balken", true, false, "Im Balken", false},
    };
    for (const Case& c : cases) {
        steps_.clear();
        TVistelo& show = NewShow(2, 500);
        show.ShowFilenameInNavigationBar = c.showFilename;
        Comment(*show.Pictures[0], c.comment, cpNavBar);
        show.Pictures[0]->ShowComments = c.showComments;
        Comment(*show.Pictures[1], "Nicht im Balken", cpPictureTop);
        TShowForm& form = Start();
        Run([&] { return !Positions().empty(); });
        // The label shows the slide on screen, not the one rendered ahead.
        EXPECT_EQ(form.MessageLabel->Caption(), c.message) << c.comment << c.showComments;
        EXPECT_EQ(!form.FilenameLabel->FileName().empty(), c.filenameShown) << c.comment << c.showComments;
        EXPECT_EQ(CountColour(*form.Display->SlideBitmap, clWhite), 0); // nothing drawn into the picture
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowDisplay, CommentFontsScaleByTheLargerRatioToTheReferenceSize)
{
    // Played at twice the reference width and the reference height, the
    // comment looks as one of twice the height played without scaling.
    std::unique_ptr<TBitmap> slides[2];
    for (int scaled = 0; scaled < 2; ++scaled) {
        steps_.clear();
        TVistelo& show = NewShow(1, 500);
        show.Pictures[0]->FileName.clear();
        show.Pictures[0]->BackgroundColor = clBlack;
        Comment(*show.Pictures[0], "Gross", cpPictureMiddle);
        TShowForm& form = Start();
        show.ScaleFontToScreen = scaled == 1;
        show.ReferenceWidth = form.DiaScrollBox->ClientWidth() / 2;
        show.ReferenceHeight = form.DiaScrollBox->ClientHeight();
        if (scaled == 0)
            show.Pictures[0]->CommentFont->SetHeight(-40);
        ASSERT_EQ(form.DiaScrollBox->ClientWidth() % 2, 0);
        Run([&] { return !Positions().empty(); });
        slides[scaled] = std::make_unique<TBitmap>();
        slides[scaled]->Assign(form.Display->SlideBitmap.get());
        delete ShowForm;
        ShowForm = nullptr;
    }
    EXPECT_GT(CountColour(*slides[0], clWhite), 0);
    EXPECT_TRUE(SameBitmap(*slides[0], *slides[1]));
}

TEST_F(ShowDisplay, ASlideWithoutPictureIsItsBackgroundColour)
{
    TVistelo& show = NewShow(2, 500);
    show.Pictures[0]->FileName.clear();
    show.Pictures[0]->BackgroundColor = clTeal;
    TShowForm& form = Start();
    Run([&] { return !Positions().empty(); });
    TBitmap& slide = *form.Display->SlideBitmap;
    EXPECT_EQ(CountColour(slide, clTeal), slide.Width() * slide.Height());
}

TEST_F(ShowDisplay, TheFirstCrossFadeStartsFromBlackAndEndsOnTheSlide)
{
    TVistelo& show = NewShow(2, 500);
    show.UseBlendings = true;
    show.Pictures[0]->Blending = 30; // a cross-fade needs the picture before
    std::vector<TColor> seen;
    rtl::SetClockForTests(100000, [&](std::uint32_t) {
        if (ShowForm && ShowForm->DiaScrollBox->HandleAllocated()) {
            TCanvas& screen = *ShowForm->DiaImage->Canvas();
            seen.push_back(screen.Pixels(ShowForm->DiaImage->Width() / 2, ShowForm->DiaImage->Height() / 2));
        }
    });
    TShowForm& form = Start();
    Run([&] { return !Positions().empty(); });
    ASSERT_GE(seen.size(), 2u);
    // Red fades in from black: the first steps are dark, red grows.
    const TColor first = seen.front();
    EXPECT_LT(first & 0xFF, 0x80);
    EXPECT_EQ(form.DiaImage->Canvas()->Pixels(form.DiaImage->Width() / 2, form.DiaImage->Height() / 2), clRed);
    EXPECT_FALSE(form.Display->FirstSlide);
}

} // namespace
