#include "widgets/BorderLabel.h"

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Setters.h"

IMPLEMENT_CLASS(TBorderLabel)

namespace {

struct Pass {
    int dx, dy;
};
// The outline: the text at the four diagonal neighbours, then in place.
constexpr Pass OutlinePasses[] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
// Disabled: shadow up and to the sides, highlight down-right, face on top.
constexpr Pass DisabledShadowPasses[] = {{1, -1}, {-1, -1}, {-1, 1}};

} // namespace

TBorderLabel::TBorderLabel(TComponent* AOwner) : TCustomLabel(AOwner) { }

void TBorderLabel::SetBorderColor(TColor Value)
{
    if (rtl::AssignIfChanged(borderColor_, Value))
        Invalidate();
}

void TBorderLabel::DoDrawText(TRect& Rect, unsigned Flags)
{
    if (Flags & DT_CALCRECT) {
        TCustomLabel::DoDrawText(Rect, Flags);
        return;
    }
    if (!ShowAccelChar())
        Flags |= DT_NOPREFIX;
    TCanvas& canvas = *Canvas();
    canvas.Font.Assign(Font());
    const std::string text = LabelText();
    auto drawAt = [&](TColor Color, int dx, int dy) {
        TRect place = gfx::OffsetRect(Rect, dx, dy);
        canvas.Font.SetColor(Color);
        gfx::DrawText(canvas, text, place, Flags);
    };
    if (Enabled()) {
        for (const Pass& pass : OutlinePasses)
            drawAt(borderColor_, pass.dx, pass.dy);
        drawAt(Font().Color(), 0, 0);
    } else {
        for (const Pass& pass : DisabledShadowPasses)
            drawAt(clBtnShadow, pass.dx, pass.dy);
        drawAt(clBtnHighlight, 1, 1);
        drawAt(clBtnFace, 0, 0);
    }
}
