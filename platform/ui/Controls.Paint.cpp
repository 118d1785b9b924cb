// Painting: a window's paint (background, its own paint, the graphic
// children on top), graphic controls drawn on their parent's window and
// controls that paint themselves.

#include "platform/ui/Controls.h"

#include "platform/ui/WindowSurface.h"

void TWinControl::Invalidate()
{
    if (surface_)
        surface_->Invalidate(nullptr);
}

void TWinControl::InvalidateRect(const TRect* R)
{
    if (surface_ && !(ComponentState() & csDestroying))
        surface_->Invalidate(R);
}

void TWinControl::Update()
{
    if (surface_)
        surface_->PaintInvalidArea();
}

void TWinControl::PaintHandler(TCanvas& DC)
{
    if (!ControlStyle.Contains(csOpaque))
        Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&DC), 0);
    PaintWindow(DC);
    PaintControls(DC, nullptr);
}

void TWinControl::PaintWindow(TCanvas&) { }

void TWinControl::EraseBackground(TCanvas& DC)
{
    DC.Brush.Color = Color();
    DC.Brush.Style = bsSolid;
    DC.FillRect(ClientRect());
}

void TWinControl::PaintControls(TCanvas& DC, TControl* First)
{
    auto it = First ? std::find(controls_.begin(), controls_.end(), First) : controls_.begin();
    for (; it != controls_.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->Visible())
            continue;
        TRect bounds = c->BoundsRect();
        if (gfx::IntersectRect(bounds, DC.ClipRect()).IsEmpty())
            continue;
        TCanvasStateScope state(DC);
        DC.IntersectClipRect(bounds);
        TPoint vp = DC.ViewportOrg();
        DC.SetViewportOrg({vp.X + bounds.Left, vp.Y + bounds.Top});
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&DC), 0);
    }
}

// ---------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) { }

TGraphicControl::~TGraphicControl()
{
    Destroying();
    SetParent(nullptr);
}

void TGraphicControl::PrepareCanvas()
{
    TWinControl* p = Parent();
    if (!p || !p->WindowSurface()) {
        canvas_.SetSurface(nullptr);
        return;
    }
    canvas_.SetSurface(p->WindowSurface());
    canvas_.SetClipRegion(nullptr);
    canvas_.SetWindowOrg({0, 0});
    canvas_.SetViewportOrg({Left(), Top()});
    canvas_.IntersectClipRect(ClientRect());
}

TCanvas* TGraphicControl::Canvas()
{
    if (paintCanvas_)
        return paintCanvas_;
    PrepareCanvas();
    return &canvas_;
}

void TGraphicControl::PaintInto(TCanvas* DC)
{
    TPaintCanvasScope scope(paintCanvas_, DC);
    Paint();
}

void TGraphicControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        if (Message.WParam) {
            PaintInto(reinterpret_cast<TCanvas*>(Message.WParam));
        } else {
            PrepareCanvas();
            if (canvas_.HandleAllocated())
                PaintInto(&canvas_);
        }
        return;
    }
    TControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) { }

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas()
{
    if (paintCanvas_)
        return paintCanvas_;
    HandleNeeded();
    return &WindowSurface()->Canvas();
}

void TCustomControl::PaintWindow(TCanvas& DC)
{
    TPaintCanvasScope scope(paintCanvas_, &DC);
    Paint();
}
