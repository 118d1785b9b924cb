// Alignment: children aligned to the sides and the client area, anchored
// children following their parent's size.

#include "platform/ui/Controls.h"

#include <algorithm>

#include "platform/ui/WindowSurface.h"

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign()
{
    if (alignLevel_ > 0 && --alignLevel_ == 0 && alignPending_)
        Realign();
}

void TWinControl::Realign()
{
    if (alignLevel_ > 0 || (ComponentState() & csDestroying)) {
        alignPending_ = true;
        return;
    }
    alignPending_ = false;
    TRect rect = AlignRect();
    AlignControls(nullptr, rect);
}

namespace {

// The edge a control keeps when aligned: controls nearer to the side they
// align to are placed first.
int AlignOrderKey(const TControl* c, TAlign align)
{
    switch (align) {
    case alTop: return c->Top();
    case alBottom: return -(c->Top() + c->Height());
    case alLeft: return c->Left();
    case alRight: return -(c->Left() + c->Width());
    default: return 0;
    }
}

} // namespace

void TWinControl::AlignControls(TControl*, TRect& Rect)
{
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Visible() && c->Align() == align)
                list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](const TControl* a, const TControl* b) {
            return AlignOrderKey(a, align) < AlignOrderKey(b, align);
        });
        for (TControl* c : list) {
            int w = std::max(Rect.Width(), 0);
            int h = std::max(Rect.Height(), 0);
            switch (align) {
            case alTop:
                c->SetBoundsQuietly(Rect.Left, Rect.Top, w, c->Height());
                Rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBoundsQuietly(Rect.Left, Rect.Bottom - c->Height(), w, c->Height());
                Rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBoundsQuietly(Rect.Left, Rect.Top, c->Width(), h);
                Rect.Left += c->Width();
                break;
            case alRight:
                c->SetBoundsQuietly(Rect.Right - c->Width(), Rect.Top, c->Width(), h);
                Rect.Right -= c->Width();
                break;
            default: c->SetBoundsQuietly(Rect.Left, Rect.Top, w, h); break;
            }
        }
    }
}

void TWinControl::ApplyAnchors(int oldWidth, int oldHeight)
{
    int dx = ClientWidth() - oldWidth;
    int dy = ClientHeight() - oldHeight;
    if (dx == 0 && dy == 0)
        return;
    for (TControl* c : controls_) {
        if (c->Align() != alNone)
            continue;
        TAnchors a = c->Anchors();
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w += dx;
            else
                l += dx;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h += dy;
            else
                t += dy;
        }
        c->SetBoundsQuietly(l, t, w, h);
    }
}

void TWinControl::BoundsChanged(const TRect& oldBounds)
{
    int oldClientW = oldBounds.Width() - (Width() - ClientWidth());
    int oldClientH = oldBounds.Height() - (Height() - ClientHeight());
    if (surface_)
        surface_->SetGeometry(BoundsRect());
    if (oldBounds.Width() != Width() || oldBounds.Height() != Height()) {
        ApplyAnchors(oldClientW, oldClientH);
        Realign();
    }
    TControl::BoundsChanged(oldBounds);
}
