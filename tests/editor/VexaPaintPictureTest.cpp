#include "editor/tools/VexaPaintPicture.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Dialogs.h"
#include "tests/ui/UiFixture.h"

namespace {

// Byte c of pixel (x, y): distinct per pixel.
std::uint8_t Value(int x, int y, int c) { return static_cast<std::uint8_t>(40 * y + 8 * x + c); }

std::unique_ptr<TBitmap> Numbered(int width, int height, TPixelFormat format = pf24bit)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, format);
    const int bytes = bitmap->BitsPerPixel() / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bytes; ++x)
            bitmap->ScanLine(y)[x] = Value(x / bytes, y, x % bytes);
    return bitmap;
}

std::vector<std::uint8_t> Pixels(TBitmap& bitmap)
{
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(bitmap.Width()),
                                    static_cast<std::uint8_t>(bitmap.Height())};
    for (int y = 0; y < bitmap.Height(); ++y)
        bytes.insert(bytes.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width() * 3);
    return bytes;
}

class VexaPaintPictureTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        picture.OnBeforeChange = [this] { events.push_back("frame off"); };
        picture.OnChanged = [this] { events.push_back("changed"); };
        picture.OnUndoChanged = [this](bool canUndo) { undoButton = canUndo; };
        picture.Reset(*Numbered(5, 3));
        events.clear();
    }

    TVexaPaintPicture picture;
    std::vector<std::string> events;
    bool undoButton = true;
};

} // namespace

TEST_F(VexaPaintPictureTest, UndoGoesBackOneStepAndThenHasNothingLeft)
{
    EXPECT_FALSE(undoButton) << "a new picture has nothing to undo";
    const auto original = Pixels(picture.Bitmap());
    picture.MirrorVertical();
    EXPECT_EQ(events, (std::vector<std::string>{"frame off", "changed"}));
    EXPECT_TRUE(undoButton);
    const auto mirrored = Pixels(picture.Bitmap());
    EXPECT_NE(mirrored, original);
    picture.GrayScale();
    picture.Undo();
    EXPECT_EQ(Pixels(picture.Bitmap()), mirrored) << "back to the state after the first operation";
    EXPECT_FALSE(undoButton);
    picture.Undo();
    EXPECT_EQ(Pixels(picture.Bitmap()), mirrored) << "a second undo has no copy to go back to";
}

TEST_F(VexaPaintPictureTest, QuarterTurnsAndTheHalfTurnMovePixelsClockwise)
{
    picture.Rotate90();
    ASSERT_EQ(picture.Bitmap().Width(), 3);
    ASSERT_EQ(picture.Bitmap().Height(), 5);
    // Turned right: the bottom-left source pixel is now the top-left one.
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[0], Value(0, 2, 0));
    picture.Undo();
    picture.Rotate270();
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[0], Value(4, 0, 0)) << "turned left: the top-right pixel";
    picture.Undo();
    picture.Rotate180();
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[0], Value(4, 2, 0));
}

TEST_F(VexaPaintPictureTest, FreeRotationTurnsRightAndAWholeTurnLeavesThePictureAlone)
{
    picture.Reset(*Numbered(4, 4));
    const auto original = Pixels(picture.Bitmap());
    for (double degrees : {0.0, 360.0}) {
        picture.RotateFree(degrees, clWhite);
        EXPECT_EQ(Pixels(picture.Bitmap()), original) << degrees;
        EXPECT_FALSE(undoButton) << "nothing to undo after " << degrees;
    }
    picture.RotateFree(90, clRed);
    // Right by 90 about (2, 2): source (X, Y) lands on (3 - Y, X - 1); the
    // bottom row has no source and is red.
    EXPECT_NEAR(picture.Bitmap().ScanLine(0)[0], Value(1, 3, 0), 1);
    EXPECT_NEAR(picture.Bitmap().ScanLine(2)[3 * 3], Value(3, 0, 0), 1);
    EXPECT_NEAR(picture.Bitmap().ScanLine(3)[2], 0xFF, 1);
    EXPECT_EQ(picture.Bitmap().ScanLine(3)[0], 0x00);
    EXPECT_TRUE(undoButton);
}

TEST_F(VexaPaintPictureTest, InvertChangesTheMarkedRectangleOrTheWholePicture)
{
    picture.Invert(Rect(1, 1, 2, 2));
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[3], 255 - Value(1, 1, 0));
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[0], Value(0, 0, 0));
    picture.Invert(TRect{});
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[0], 255 - Value(0, 0, 0));
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[3], Value(1, 1, 0));
}

TEST_F(VexaPaintPictureTest, AFilterReplacesThePictureWithItsResult)
{
    picture.Filter(pfGauss);
    // The middle pixel of the middle row: 1-2-1 weights over its neighbours.
    const int expected = (Value(1, 0, 0) + 2 * Value(2, 0, 0) + Value(3, 0, 0) + 2 * Value(1, 1, 0) +
                          4 * Value(2, 1, 0) + 2 * Value(3, 1, 0) + Value(1, 2, 0) + 2 * Value(2, 2, 0) +
                          Value(3, 2, 0)) /
        16;
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[6], expected);
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

// A filter that has no result (here: a picture of palette indices) must not
// leave an empty picture behind.
TEST_F(VexaPaintPictureTest, AFailedFilterKeepsThePictureAndItsUndoCopyAndSaysSo)
{
    picture.Reset(*Numbered(6, 4, pf8bit));
    picture.MirrorHorizontal();
    const std::vector<std::uint8_t> before(picture.Bitmap().ScanLine(0), picture.Bitmap().ScanLine(0) + 6);
    const auto row = [&] {
        return std::vector<std::uint8_t>(picture.Bitmap().ScanLine(0), picture.Bitmap().ScanLine(0) + 6);
    };
    for (TPaintFilter filter : {pfMedian, pfMedianStrong, pfGauss, pfBlur, pfBlurMedium, pfBlurStrong}) {
        ui::ClearRecordedDialogs();
        picture.Filter(filter);
        ASSERT_EQ(picture.Bitmap().Width(), 6);
        ASSERT_EQ(picture.Bitmap().Height(), 4);
        EXPECT_EQ(row(), before);
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Fehler beim Ausführen der Operation!");
        EXPECT_TRUE(picture.CanUndo());
    }
    picture.Undo();
    EXPECT_EQ(picture.Bitmap().Width(), 6);
    EXPECT_EQ(row(), before);
}

TEST_F(VexaPaintPictureTest, AdjustmentsChangeTheColoursAsOneUndoableStep)
{
    picture.ApplyRGB(10, 0, 0);
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[2], Value(0, 0, 2) + 10);
    picture.Undo();
    picture.ApplyBC(100, 0);
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[1], 255);
    picture.Undo();
    picture.ApplyGamma(5, 5, 5, false);
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[1], 255);
    picture.Undo();
    picture.ApplyGamma(0, 0, 0, true);
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[1], 0);
    picture.Undo();
    EXPECT_EQ(picture.Bitmap().ScanLine(1)[1], Value(0, 1, 1));
}

TEST_F(VexaPaintPictureTest, CropKeepsTheRectangle)
{
    picture.Crop(Rect(1, 1, 4, 3));
    ASSERT_EQ(picture.Bitmap().Width(), 3);
    ASSERT_EQ(picture.Bitmap().Height(), 2);
    EXPECT_EQ(picture.Bitmap().ScanLine(0)[0], Value(1, 1, 0));
}
