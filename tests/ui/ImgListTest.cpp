#include "platform/ui/ImgList.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "tests/ui/UiFixture.h"

namespace {

// A strip of `count` 4 x 4 cells: cell i is filled with colours[i] and has
// a fuchsia top-left pixel as its see-through key.
std::unique_ptr<TBitmap> Strip(const std::vector<TColor>& colours)
{
    auto strip = std::make_unique<TBitmap>(static_cast<int>(colours.size()) * 4, 4, pf24bit);
    TCanvas& canvas = strip->Canvas();
    for (size_t i = 0; i < colours.size(); ++i) {
        canvas.Brush.Color = colours[i];
        canvas.FillRect(Bounds(static_cast<int>(i) * 4, 0, 4, 4));
        canvas.SetPixels(static_cast<int>(i) * 4, 0, clFuchsia);
    }
    return strip;
}

// A 6 x 6 target filled with one colour.
std::unique_ptr<TBitmap> Target(TColor colour)
{
    auto target = std::make_unique<TBitmap>(6, 6, pf24bit);
    target->Canvas().Brush.Color = colour;
    target->Canvas().FillRect(Bounds(0, 0, 6, 6));
    return target;
}

TEST(ImgListTest, AddMaskedCutsAStripIntoImagesAndKeysOutTheColour)
{
    TImageList list(4, 4);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    auto strip = Strip({clRed, clLime, clBlue});
    EXPECT_EQ(list.AddMasked(*strip, clFuchsia), 0);
    EXPECT_EQ(list.AddMasked(*strip, clFuchsia), 3);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(changes, 2);

    auto target = Target(clWhite);
    list.Draw(target->Canvas(), 1, 1, 2);
    EXPECT_EQ(target->Canvas().Pixels(1, 1), clWhite) << "the key pixel is see-through";
    EXPECT_EQ(target->Canvas().Pixels(2, 1), clBlue);
    EXPECT_EQ(target->Canvas().Pixels(4, 4), clBlue);
    EXPECT_EQ(target->Canvas().Pixels(5, 5), clWhite) << "nothing outside the image";
    EXPECT_FALSE(list.Opaque(2, 0, 0));
    EXPECT_TRUE(list.Opaque(2, 1, 0));
}

TEST(ImgListTest, TheMaskColourIsMatchedWithRedAndBlueInTheirPlaces)
{
    // Red and blue swapped would key out the blue pixel instead of the red one.
    TBitmap picture(2, 1, pf24bit);
    picture.Canvas().SetPixels(0, 0, clRed);
    picture.Canvas().SetPixels(1, 0, clBlue);
    TImageList list(2, 1);
    ASSERT_EQ(list.AddMasked(picture, clRed), 0);
    EXPECT_FALSE(list.Opaque(0, 0, 0));
    EXPECT_TRUE(list.Opaque(0, 1, 0));
}

TEST(ImgListTest, MaskSourcesDecideWhichPixelsAreSeeThrough)
{
    struct Case {
        const char* name;
        std::function<int(TImageList&, TBitmap&)> add;
        bool keyOpaque;     // the fuchsia top-left pixel
        bool outsideOpaque; // a pixel the 4 x 4 picture does not cover
    };
    const Case cases[] = {
        {"no mask bitmap", [](TImageList& l, TBitmap& b) { return l.Add(&b, nullptr); }, true, false},
        {"mask colour none", [](TImageList& l, TBitmap& b) { return l.AddMasked(b, clNone); }, true, false},
        {"picture's own colour",
         [](TImageList& l, TBitmap& b) {
             b.SetTransparentColor(clFuchsia);
             return l.AddMasked(b, clDefault);
         },
         false, false},
        {"mask bitmap",
         [](TImageList& l, TBitmap& b) {
             TBitmap mask(4, 4, pf24bit);
             mask.Canvas().Brush.Color = clBlack;
             mask.Canvas().FillRect(Bounds(0, 0, 4, 4));
             mask.Canvas().SetPixels(0, 0, clWhite);
             return l.Add(&b, &mask);
         },
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TImageList list(5, 5); // wider and higher than the picture
        auto picture = Strip({clRed});
        EXPECT_EQ(c.add(list, *picture), 0);
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Opaque(0, 0, 0), c.keyOpaque);
        EXPECT_TRUE(list.Opaque(0, 1, 1));
        EXPECT_EQ(list.Opaque(0, 4, 4), c.outsideOpaque);
    }
}

TEST(ImgListTest, DrawingStylesAndTypesDecideWhatSeeThroughPixelsShow)
{
    struct Case {
        const char* name;
        bool masked;
        TColor bkColor;
        TDrawingStyle style;
        TImageType type;
        TColor keyPixel;   // what the see-through pixel shows
        TColor solidPixel; // what an opaque pixel shows
    };
    const Case cases[] = {
        {"transparent", true, clNone, dsNormal, itImage, clWhite, clRed},
        {"background colour", true, clYellow, dsNormal, itImage, clYellow, clRed},
        {"transparent style ignores the background", true, clYellow, dsTransparent, itImage, clWhite, clRed},
        {"unmasked list draws every pixel", false, clNone, dsNormal, itImage, clBlack, clRed},
        {"the mask itself", true, clNone, dsNormal, itMask, clWhite, clBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TImageList list(4, 4);
        list.AddMasked(*Strip({clRed}), clFuchsia);
        list.Masked = c.masked;
        list.BkColor = c.bkColor;
        auto target = Target(clWhite);
        list.Draw(target->Canvas(), 0, 0, 0, c.style, c.type);
        EXPECT_EQ(target->Canvas().Pixels(0, 0), c.keyPixel);
        EXPECT_EQ(target->Canvas().Pixels(2, 2), c.solidPixel);
    }
}

TEST(ImgListTest, DisabledImagesAreGreyAndKeepTheirMask)
{
    TImageList list(4, 4);
    list.AddMasked(*Strip({clRed}), clFuchsia);
    auto target = Target(clWhite);
    list.Draw(target->Canvas(), 0, 0, 0, false);
    EXPECT_EQ(target->Canvas().Pixels(0, 0), clWhite);
    TColor grey = target->Canvas().Pixels(2, 2);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_NE(grey, clWhite);
}

TEST(ImgListTest, IndexesOutsideTheListAreRejectedOrDrawNothing)
{
    TImageList list(4, 4);
    list.AddMasked(*Strip({clRed, clLime}), clFuchsia);
    auto target = Target(clWhite);
    list.Draw(target->Canvas(), 0, 0, 2);
    list.Draw(target->Canvas(), 0, 0, -1);
    EXPECT_EQ(target->Canvas().Pixels(2, 2), clWhite);
    TBitmap picture(4, 4, pf24bit);
    EXPECT_THROW(list.Delete(2), EInvalidOperation);
    EXPECT_THROW(list.Replace(-1, &picture, nullptr), EInvalidOperation);
    EXPECT_THROW(list.GetBitmap(5, picture), EInvalidOperation);
    EXPECT_EQ(list.Count(), 2);
    TBitmap empty;
    EXPECT_EQ(list.AddMasked(empty, clFuchsia), -1);
    EXPECT_EQ(list.Count(), 2);
}

TEST(ImgListTest, ReplaceDeleteAndResizeChangeTheImages)
{
    TImageList list(4, 4);
    list.AddMasked(*Strip({clRed, clLime, clBlue}), clFuchsia);
    list.ReplaceMasked(1, *Strip({clYellow}), clNone);
    TBitmap picture;
    list.GetBitmap(1, picture);
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Canvas().Pixels(0, 0), clFuchsia) << "nothing keyed out";
    EXPECT_EQ(picture.Canvas().Pixels(1, 1), clYellow);

    list.Delete(0);
    ASSERT_EQ(list.Count(), 2);
    list.GetBitmap(1, picture);
    EXPECT_EQ(picture.Canvas().Pixels(1, 1), clBlue);

    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.SetWidth(4);
    EXPECT_EQ(list.Count(), 2) << "the same size keeps the images";
    list.SetHeight(8);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 1);
}

TEST(ImgListTest, AssignCopiesImagesThatOutliveTheSource)
{
    TImageList copy(1, 1);
    {
        TImageList source(4, 4);
        source.AddMasked(*Strip({clRed, clLime}), clFuchsia);
        copy.Assign(&source);
    }
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Width(), 4);
    auto target = Target(clWhite);
    copy.Draw(target->Canvas(), 0, 0, 1);
    EXPECT_EQ(target->Canvas().Pixels(0, 0), clWhite);
    EXPECT_EQ(target->Canvas().Pixels(1, 1), clLime);
}

class DragImageTest : public UiTest {
protected:
    void TearDown() override
    {
        ui::ImageList_EndDrag();
        UiTest::TearDown();
    }
};

TEST_F(DragImageTest, FollowsTheMouseOverTheLockedWindowFromBeginToEnd)
{
    TForm* form = NewForm(200, 150);
    form->Show();
    Turn();
    auto list = std::make_unique<TImageList>(4, 4);
    list->AddMasked(*Strip({clRed, clLime}), clFuchsia);

    EXPECT_FALSE(ui::ImageList_BeginDrag(list.get(), 2, 0, 0));
    EXPECT_FALSE(ui::ImageList_DragEnter(form->Handle(), 5, 5)) << "no drag begun";
    ASSERT_TRUE(ui::ImageList_BeginDrag(list.get(), 1, 2, 3));
    list.reset(); // the drag keeps its own copy
    EXPECT_FALSE(ui::DragImageVisible()) << "shown only once over a window";

    ASSERT_TRUE(ui::ImageList_DragEnter(form->Handle(), 50, 40));
    const TPoint origin = ui::test::ShownWindow(form).FrameOrigin;
    ASSERT_TRUE(ui::DragImageVisible());
    EXPECT_EQ(ui::DragImageScreenRect(), Bounds(origin.X + 48, origin.Y + 37, 4, 4));

    ui::ImageList_DragMove(60, 70);
    EXPECT_EQ(ui::DragImageScreenRect().TopLeft(), TPoint(origin.X + 58, origin.Y + 67));
    TPoint at, hotSpot;
    HIMAGELIST image = ui::ImageList_GetDragImage(&at, &hotSpot);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(at, TPoint(60, 70));
    EXPECT_EQ(hotSpot, TPoint(2, 3));
    auto target = Target(clWhite);
    image->Draw(target->Canvas(), 0, 0, 0);
    EXPECT_EQ(target->Canvas().Pixels(1, 1), clLime);
    EXPECT_EQ(target->Canvas().Pixels(0, 0), clWhite);

    ui::ImageList_DragShowNolock(false);
    EXPECT_FALSE(ui::DragImageVisible());
    ui::ImageList_DragShowNolock(true);
    EXPECT_TRUE(ui::DragImageVisible());

    EXPECT_FALSE(ui::ImageList_DragLeave(nullptr)) << "another window than the locked one";
    EXPECT_TRUE(ui::ImageList_DragLeave(form->Handle()));
    EXPECT_FALSE(ui::DragImageVisible());
    EXPECT_NE(ui::ImageList_GetDragImage(nullptr, nullptr), nullptr) << "the drag goes on";

    ui::ImageList_EndDrag();
    EXPECT_EQ(ui::ImageList_GetDragImage(nullptr, nullptr), nullptr);
}

TEST_F(DragImageTest, CursorImageGrowsTheDragImageAndMovesItsHotSpot)
{
    TImageList list(4, 4);
    list.AddMasked(*Strip({clRed}), clFuchsia);
    TImageList cursor(4, 4);
    cursor.AddMasked(*Strip({clBlue}), clFuchsia);
    ASSERT_TRUE(ui::ImageList_BeginDrag(&list, 0, 0, 0));
    ASSERT_TRUE(ui::ImageList_DragEnter(nullptr, 100, 100));
    EXPECT_EQ(ui::DragImageScreenRect(), Bounds(100, 100, 4, 4));
    // The cursor left and above the hot spot: the picture grows that way and
    // the hot spot stays at the drag position.
    ASSERT_TRUE(ui::ImageList_SetDragCursorImage(&cursor, 0, -2, -2));
    EXPECT_EQ(ui::DragImageScreenRect(), Bounds(98, 98, 6, 6));
}

} // namespace
