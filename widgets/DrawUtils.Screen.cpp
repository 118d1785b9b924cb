#include "widgets/DrawUtils.h"

#include <algorithm>

#include "platform/ui/Forms.h"

// The screen's picture; every change goes on to the forms under it.
class TScreenCanvas::TScreenSurface : public TPixelSurface {
public:
    TScreenSurface() : image_(Screen->Width(), Screen->Height())
    {
        TCanvas& canvas = image_.Canvas();
        canvas.Brush.Color = clBlack;
        canvas.FillRect(Rect(0, 0, image_.Width(), image_.Height()));
        for (TCustomForm* form : ShownForms()) {
            const TRect place = ClientPlace(form);
            canvas.CopyRect(place, *form->Canvas(), Rect(0, 0, place.Width(), place.Height()));
        }
    }

    TPixelBuffer PixelBuffer() override { return image_.PixelBuffer(); }

    void PixelsChanged(const TRect& Area) override
    {
        for (TCustomForm* form : ShownForms()) {
            const TRect place = ClientPlace(form);
            const TRect part = gfx::IntersectRect(Area, place);
            if (part.IsEmpty())
                continue;
            form->Canvas()->CopyRect(gfx::OffsetRect(part, -place.Left, -place.Top), image_.Canvas(), part);
        }
    }

private:
    static std::vector<TCustomForm*> ShownForms()
    {
        std::vector<TCustomForm*> forms;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->Showing())
                forms.push_back(Screen->Forms(i));
        return forms;
    }
    static TRect ClientPlace(TCustomForm* Form)
    {
        const TPoint origin = Form->ClientOrigin();
        return Bounds(origin.X, origin.Y, Form->ClientWidth(), Form->ClientHeight());
    }

    TBitmap image_;
};

TScreenCanvas::TScreenCanvas() { CreateHandle(); }

TScreenCanvas::~TScreenCanvas() { FreeHandle(); }

void TScreenCanvas::CreateHandle()
{
    if (surface_)
        return;
    surface_ = std::make_unique<TScreenSurface>();
    SetSurface(surface_.get());
}

void TScreenCanvas::FreeHandle()
{
    SetSurface(nullptr);
    surface_.reset();
}

void TScreenCanvas::SetOrigin(int X, int Y) { SetWindowOrg({-X, -Y}); }

namespace DrawUtils {

void PaintInverseRect(const TPoint& RectOrg, const TPoint& RectEnd)
{
    TScreenCanvas screen;
    const TRect r = Rect(std::min(RectOrg.X, RectEnd.X), std::min(RectOrg.Y, RectEnd.Y), std::max(RectOrg.X, RectEnd.X),
                         std::max(RectOrg.Y, RectEnd.Y));
    gfx::PatBlt(screen, r.Left, r.Top, r.Width(), r.Height(), DSTINVERT);
}

void DrawInvertFrame(const TRect& ScreenRect, int Width)
{
    TScreenCanvas screen;
    TRect r = ScreenRect;
    for (int i = 0; i < Width; ++i) {
        screen.DrawFocusRect(r);
        r = gfx::InflateRect(r, -1, -1);
    }
}

} // namespace DrawUtils
