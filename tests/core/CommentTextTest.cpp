#include "core/CommentText.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasText.h"
#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using namespace CommentText;

constexpr TColor kText = clWhite;
constexpr TColor kEffect1 = clRed;
constexpr TColor kEffect2 = clBlue;
constexpr unsigned kFlags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
const std::string kComment = "Am Strand bei Nacht";

// The picture a comment is drawn on: black, 200 x 60, font of 20 px.
struct Picture {
    Picture() : bitmap(200, 60) { bitmap.Canvas().Font.SetHeight(20); }
    std::set<std::pair<int, int>> PixelsOf(TColor colour)
    {
        std::set<std::pair<int, int>> pixels;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (bitmap.Canvas().Pixels(x, y) == colour)
                    pixels.insert({x, y});
        return pixels;
    }
    TBitmap bitmap;
};

std::set<std::pair<int, int>> Draw(TCommentEffects effect, Picture& picture, int height = -1)
{
    TRect rect = Rect(10, 10, 190, 50);
    DrawCommentText(picture.bitmap.Canvas(), rect, height, kComment, kFlags, effect, kText, kEffect1, kEffect2);
    return picture.PixelsOf(kText);
}

// The text alone, in the text colour, at the rectangle moved by (dx, dy).
std::set<std::pair<int, int>> Plain(int dx, int dy)
{
    Picture picture;
    TRect rect = Rect(10 + dx, 10 + dy, 190 + dx, 50 + dy);
    DrawCommentText(picture.bitmap.Canvas(), rect, -1, kComment, kFlags, ceNone, kText, kEffect1, kEffect2);
    return picture.PixelsOf(kText);
}

TEST(CommentTextTest, EachEffectPutsTheTextAndItsOutline)
{
    const auto atOrigin = Plain(0, 0);
    const auto atOneOne = Plain(1, 1);
    ASSERT_FALSE(atOrigin.empty()) << "no glyphs drawn";
    struct Case {
        TCommentEffects effect;
        bool movedByOne;
        bool effect1, effect2;
    } cases[] = {
        {ceNone, false, false, false},
        {ceShadow, false, true, false},
        {ceBorder, true, true, false},
        {ce3DBorder, true, true, true},
    };
    for (const Case& c : cases) {
        Picture picture;
        // The text's own pass comes last, so its pixels are exactly those of
        // the plain text at the final offset.
        EXPECT_EQ(Draw(c.effect, picture), c.movedByOne ? atOneOne : atOrigin) << int(c.effect);
        EXPECT_EQ(picture.PixelsOf(kEffect1).empty(), !c.effect1) << int(c.effect);
        EXPECT_EQ(picture.PixelsOf(kEffect2).empty(), !c.effect2) << int(c.effect);
    }
}

TEST(CommentTextTest, CommentEffectsMatchTextEffects)
{
    const std::pair<TCommentEffects, TTextEffect> pairs[] = {
        {ceNone, teNone}, {ceShadow, teShadow}, {ceBorder, teBorder}, {ce3DBorder, teBorder3D}};
    for (const auto& [comment, textEffect] : pairs) {
        Picture viaComment, viaFont;
        Draw(comment, viaComment);
        TFont font;
        font.Assign(viaFont.bitmap.Canvas().Font);
        font.SetColor(kText);
        DrawTextWithEffects(viaFont.bitmap.Canvas(), font, Rect(10, 10, 190, 50), -1, kComment, kFlags, textEffect,
                            kEffect1, kEffect2);
        for (TColor colour : {kText, kEffect1, kEffect2})
            EXPECT_EQ(viaComment.PixelsOf(colour), viaFont.PixelsOf(colour)) << int(comment);
    }
}

TEST(CommentTextTest, FontsScaleByTheLargerRatioWithHalvesToEven)
{
    const int defaultHeight = TPicInfoObject().CommentFont->Height(); // Arial, 14 pt
    ASSERT_EQ(defaultHeight, -19);
    struct Case {
        const char* what;
        bool scale;
        int referenceWidth, referenceHeight, clientWidth, clientHeight, height, scaled;
    };
    const Case cases[] = {
        {"made at 1280x720, played at 1920x1080", true, 1280, 720, 1920, 1080, defaultHeight, -28}, // -28.5
        {"a positive half", true, 1280, 720, 1920, 1080, 19, 28},
        {"a half whose even neighbour lies further out", true, 1280, 720, 1920, 1080, -21, -32}, // -31.5
        {"the width ratio is larger", true, 800, 600, 1600, 600, -19, -38},
        {"the height ratio is larger", true, 800, 600, 800, 1500, -20, -50},
        {"smaller screen", true, 1920, 1080, 1280, 720, -19, -13}, // -12.67
        {"same size", true, 1280, 720, 1280, 720, -19, -19},
        {"scaling off", false, 1280, 720, 1920, 1080, -19, -19},
        {"reference size unknown", true, -1, 720, 1920, 1080, -19, -19},
        {"reference size zero", true, 1280, 0, 1920, 1080, -19, -19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TVistelo show;
        show.ScaleFontToScreen = c.scale;
        show.ReferenceWidth = c.referenceWidth;
        show.ReferenceHeight = c.referenceHeight;
        EXPECT_EQ(ScaledFontHeight(show, c.height, c.clientWidth, c.clientHeight), c.scaled);
    }
}

TEST(CommentTextTest, NegativeHeightIsItsAbsoluteValue)
{
    Picture negative, positive;
    Draw(ceBorder, negative, -28);
    Draw(ceBorder, positive, 28);
    EXPECT_EQ(negative.bitmap.Canvas().Font.Height(), 28);
    EXPECT_EQ(negative.PixelsOf(kText), positive.PixelsOf(kText));
    EXPECT_EQ(negative.PixelsOf(kEffect1), positive.PixelsOf(kEffect1));
}

TEST(CommentTextTest, CalcRectGivesTheFinalPassRectangleAndDrawsNothing)
{
    Picture picture;
    TRect measured = Rect(10, 10, 190, 50);
    gfx::DrawText(picture.bitmap.Canvas(), kComment, measured, kFlags | DT_CALCRECT);
    for (TTextEffect effect : {teNone, teShadow, teBorder, teBorder3D}) {
        TFont font;
        font.SetHeight(20);
        TRect rect = Rect(10, 10, 190, 50);
        CustomDrawTextWithEffects(picture.bitmap.Canvas(), font, rect, -1, kComment, kFlags | DT_CALCRECT, effect,
                                  kEffect1, kEffect2);
        const int moved = (effect == teBorder || effect == teBorder3D) ? 1 : 0;
        EXPECT_EQ(rect.Left, measured.Left + moved) << effect;
        EXPECT_EQ(rect.Top, measured.Top + moved) << effect;
        EXPECT_EQ(rect.Right, measured.Right + moved) << effect;
        EXPECT_EQ(rect.Bottom, measured.Bottom + moved) << effect;
        const TRect untouched = Rect(10, 10, 190, 50);
        TRect copy = untouched;
        DrawTextWithEffects(picture.bitmap.Canvas(), font, copy, -1, kComment, kFlags | DT_CALCRECT, effect, kEffect1,
                            kEffect2);
        EXPECT_EQ(copy.Right, 190);
    }
    EXPECT_TRUE(picture.PixelsOf(kEffect1).empty());
}

} // namespace
