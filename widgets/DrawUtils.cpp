#include "widgets/DrawUtils.h"

#include <unistd.h>

#include "platform/rtl/Threads.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

namespace DrawUtils {

std::string MinimizeText(const std::string& Text, TCanvas& Canvas, int MaxWidth)
{
    if (Canvas.TextWidth(Text) <= MaxWidth)
        return Text;
    const std::string ellipsis = "...";
    const int length = static_cast<int>(Text.size());
    for (int i = 1; i <= length; ++i) {
        int keep = length - i - 1;
        if (keep <= 0)
            break;
        std::string candidate = Text.substr(0, static_cast<std::size_t>(keep)) + ellipsis;
        if (Canvas.TextWidth(candidate) <= MaxWidth)
            return candidate;
    }
    return ellipsis;
}

namespace {

// Paints Color where the glyph has the outline colour, shifted by (dx, dy);
// the rest of Dest stays as it is.
void PaintWhereOutline(TBitmap& Glyph, TColor Outline, TBitmap& Dest, TColor Color, int dx, int dy)
{
    TCanvas& source = Glyph.Canvas();
    TCanvas& dest = Dest.Canvas();
    const TColor outlineRgb = ColorToRGB(Outline);
    const TColor paint = ColorToRGB(Color);
    for (int y = 0; y < Glyph.Height(); ++y)
        for (int x = 0; x < Glyph.Width(); ++x)
            if (source.Pixels(x, y) == outlineRgb)
                dest.SetPixels(x + dx, y + dy, paint);
}

} // namespace

std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap& FOriginal, TColor OutlineColor, TColor BackColor,
                                                TColor HighlightColor, TColor ShadowColor, bool DrawHighlight)
{
    auto result = std::make_unique<TBitmap>(FOriginal.Width(), FOriginal.Height());
    TCanvas& canvas = result->Canvas();
    canvas.Brush.Color = BackColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, result->Width(), result->Height()));
    // A monochrome glyph draws with its 0 bits, which read as black.
    TColor outline = FOriginal.Monochrome() ? clBlack : OutlineColor;
    if (DrawHighlight)
        PaintWhereOutline(FOriginal, outline, *result, HighlightColor, 1, 1);
    PaintWhereOutline(FOriginal, outline, *result, ShadowColor, 0, 0);
    return result;
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap& FOriginal, TColor OutlineColor)
{
    return CreateDisabledBitmapEx(FOriginal, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

namespace {

// Opens the parent's own painting (a protected virtual) to the copy.
struct ParentPainter : TWinControl {
    using TWinControl::PaintWindow;
};

} // namespace

void CopyParentImage(TControl* Control, TCanvas& Dest)
{
    TWinControl* parent = Control ? Control->Parent() : nullptr;
    if (!parent)
        return;
    const TRect bounds = Control->BoundsRect();
    parent->ControlState.Include(csPaintCopy);
    try {
        {
            TCanvasStateScope state(Dest);
            TPoint vp = Dest.ViewportOrg();
            Dest.SetViewportOrg({vp.X - bounds.Left, vp.Y - bounds.Top});
            Dest.IntersectClipRect(parent->ClientRect());
            parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&Dest), 0);
            void (TWinControl::*paintWindow)(TCanvas&) = &ParentPainter::PaintWindow;
            (parent->*paintWindow)(Dest);
        }
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* sibling = parent->Controls(i);
            if (sibling == Control)
                break;
            if (dynamic_cast<TWinControl*>(sibling) || !sibling->Visible())
                continue;
            const TRect other = sibling->BoundsRect();
            if (gfx::IntersectRect(other, bounds).IsEmpty())
                continue;
            sibling->ControlState.Include(csPaintCopy);
            TCanvasStateScope state(Dest);
            TPoint vp = Dest.ViewportOrg();
            Dest.SetViewportOrg({vp.X + other.Left - bounds.Left, vp.Y + other.Top - bounds.Top});
            Dest.IntersectClipRect(Rect(0, 0, other.Width(), other.Height()));
            try {
                sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&Dest), 0);
            } catch (...) {
                sibling->ControlState.Exclude(csPaintCopy);
                throw;
            }
            sibling->ControlState.Exclude(csPaintCopy);
        }
    } catch (...) {
        parent->ControlState.Exclude(csPaintCopy);
        throw;
    }
    parent->ControlState.Exclude(csPaintCopy);
}

namespace {

std::function<void()>& BeepHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

void Beep()
{
    if (BeepHandler()) {
        BeepHandler()();
        return;
    }
    // The terminal's bell is the one sound every desktop passes on.
    if (isatty(STDERR_FILENO))
        (void)!write(STDERR_FILENO, "\a", 1);
}

void SetBeepHandlerForTests(std::function<void()> Handler)
{
    BeepHandler() = std::move(Handler);
}

bool IsForegroundTask()
{
    return rtl::IsMainThread() && Application && Application->Active();
}

} // namespace DrawUtils
