#include "core/Blendings.Pixels.h"
#include "core/Tools.h"

namespace Blendings {

namespace {

enum class TSlide { FromTop, FromBottom, FromLeft, FromRight };

// Where one slide step scrolls and what it copies. Rectangles are
// canvas-side; source points are in the new bitmap.
struct TSlidePlan {
    TRect Scroll;
    int Dx = 0;
    int Dy = 0;
    TRect Shown; // the whole visible part of the new picture
    TPoint ShownSource;
    TRect Strip; // the newly exposed strip
    TPoint StripSource;
};

TSlidePlan PlanSlide(TSlide slide, int width, int height, int prev, int pos)
{
    const int delta = pos - prev;
    TSlidePlan p;
    switch (slide) {
    case TSlide::FromTop:
        // The right edge of the scroll stops one column short: a seam that
        // the final copy closes.
        p.Scroll = Rect(0, 0, width - 1, pos);
        p.Dy = delta;
        p.Shown = Rect(0, 0, width, pos);
        p.ShownSource = Point(0, height - pos);
        p.Strip = Rect(0, 0, width, delta);
        p.StripSource = Point(0, height - pos);
        break;
    case TSlide::FromBottom:
        p.Scroll = Rect(0, height - pos, width, height);
        p.Dy = -delta;
        p.Shown = Rect(0, height - pos, width, height);
        p.ShownSource = Point(0, 0);
        p.Strip = Rect(0, height - delta, width, height);
        p.StripSource = Point(0, prev);
        break;
    case TSlide::FromLeft:
        p.Scroll = Rect(0, 0, pos, height - 1);
        p.Dx = delta;
        p.Shown = Rect(0, 0, pos, height);
        p.ShownSource = Point(width - pos, 0);
        p.Strip = Rect(0, 0, delta, height);
        p.StripSource = Point(width - pos, 0);
        break;
    case TSlide::FromRight:
        p.Scroll = Rect(width - pos, 0, width, height);
        p.Dx = -delta;
        p.Shown = Rect(width - pos, 0, width, height);
        p.ShownSource = Point(0, 0);
        p.Strip = Rect(width - delta, 0, width, height);
        p.StripSource = Point(prev, 0);
        break;
    }
    return p;
}

void CopyFromNewTo(TCanvas& canvas, TBitmap& newBitmap, const TRect& dest, const TPoint& source)
{
    CopyFromNew(canvas, newBitmap, dest.Left, dest.Top, dest.Width(), dest.Height(), source.X, source.Y);
}

void ScrollAndRepaint(TBitmap& newBitmap, TCanvas& canvas, const TSlidePlan& plan)
{
    TRegion uncovered;
    gfx::ScrollDC(canvas, plan.Dx, plan.Dy, &plan.Scroll, &plan.Scroll, &uncovered, nullptr);
    TRect box;
    if (gfx::GetRgnBox(uncovered, box) == NULLREGION)
        return;
    gfx::SelectClipRgn(canvas, &uncovered);
    CopyFromNewTo(canvas, newBitmap, plan.Shown, plan.ShownSource);
    Tools::SetClipRect(canvas, Rect(0, 0, newBitmap.Width(), newBitmap.Height()));
}

void SlideIn(TBitmap& newBitmap, TCanvas& canvas, TSlide slide)
{
    const int width = newBitmap.Width();
    const int height = newBitmap.Height();
    const bool vertical = slide == TSlide::FromTop || slide == TSlide::FromBottom;
    const int extent = vertical ? height : width;
    const int d = std::max((extent - 1) / 30, 1);
    int pos = 0;
    while (pos < extent) {
        StartFrameClock();
        const int prev = pos;
        pos = std::min(pos + d, extent);
        const TSlidePlan plan = PlanSlide(slide, width, height, prev, pos);
        if (prev > 0)
            ScrollAndRepaint(newBitmap, canvas, plan);
        CopyFromNewTo(canvas, newBitmap, plan.Strip, plan.StripSource);
        WaitFrameClock(30);
    }
    BlendNone(newBitmap, canvas);
}

} // namespace

void Blend7(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromTop); }
void Blend8(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromBottom); }
void Blend9(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromLeft); }
void Blend10(TBitmap& b, TCanvas& c) { SlideIn(b, c, TSlide::FromRight); }

} // namespace Blendings
