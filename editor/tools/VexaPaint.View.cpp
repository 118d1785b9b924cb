// The picture editor's view: zoom, painting, the selection frame and the
// mouse.

#include <algorithm>
#include <cmath>

#include "core/RectTools.h"
#include "editor/app/VisteloSetup.h"
#include "editor/tools/VexaPaint.h"
#include "editor/tools/VexaPaintView.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Files.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"

double TVexaPaintForm::Zoom() const { return VexaPaintView::ZoomFactor(zoomStep_); }

void TVexaPaintForm::SetZoomStep(int Step)
{
    if (Step == zoomStep_)
        return;
    zoomStep_ = Step;
    UpdateView();
}

void TVexaPaintForm::UpdateView()
{
    EraseFrame();
    TBitmap& bitmap = picture_.Bitmap();
    const double zoom = Zoom();
    const int width = static_cast<int>(bitmap.Width() * zoom);
    const int height = static_cast<int>(bitmap.Height() * zoom);
    ScrollBox->HorzScrollBar().SetPosition(0);
    ScrollBox->VertScrollBar().SetPosition(0);
    ScrollBox->HorzScrollBar().SetRange(width);
    ScrollBox->VertScrollBar().SetRange(height);
    const int clientWidth = ScrollBox->ClientWidth();
    const int clientHeight = ScrollBox->ClientHeight();
    PaintBox->SetBounds(clientWidth > width ? (clientWidth - width) / 2 : 0,
                        clientHeight > height ? (clientHeight - height) / 2 : 0, width, height);
    SetCaption(VexaPaintView::Caption(zoomStep_, fileMode_ ? rtl::ExtractFileName(fileName_) : std::string()));
    StatusBar->Panels(1).Text = VexaPaintView::SizeText(bitmap.Width(), bitmap.Height());
    StatusBar->UpdatePanels();
    screenSelection_ = VexaPaintView::ToScreen(pictureSelection_, zoom);
    PaintBox->Invalidate();
    DrawFrame();
}

void TVexaPaintForm::PictureChanged()
{
    UpdateView();
    TBitmap& bitmap = picture_.Bitmap();
    const TRect client{0, 0, PreviewPanel->ClientWidth(), PreviewPanel->ClientHeight()};
    const TRect fitted = RectTools::ProportionalScale(TRect{0, 0, bitmap.Width(), bitmap.Height()}, client, true);
    PreviewBox->SetBounds(fitted.Left, fitted.Top, fitted.Width(), fitted.Height());
    PreviewBox->Invalidate();
}

void TVexaPaintForm::PaintPicture(TPaintBox* Box)
{
    TBitmap& bitmap = picture_.Bitmap();
    if (bitmap.Empty())
        return;
    TCanvas& canvas = *Box->Canvas();
    gfx::SetStretchBltMode(canvas, COLORONCOLOR);
    VisteloSetup::DrawBitmapScaled(bitmap, canvas, 0, 0, Box->Width(), Box->Height());
    if (Box == PaintBox && !frameRect_.IsEmpty()) {
        canvas.Brush.Style = bsClear;
        canvas.Pen.Style = psSolid;
        canvas.Pen.Color = clBlack;
        canvas.Rectangle(frameRect_);
        canvas.Pen.Style = psDot;
        canvas.Pen.Color = clWhite;
        canvas.Rectangle(frameRect_);
        canvas.Pen.Style = psSolid;
    }
}

// The frame is drawn with the picture: remembering where it goes and
// repainting is enough to draw and to erase it.
void TVexaPaintForm::DrawFrame()
{
    const TRect rect = VexaPaintView::ToScreen(pictureSelection_, Zoom());
    if (rect.IsEmpty())
        return;
    frameRect_ = rect;
    PaintBox->Invalidate();
}

void TVexaPaintForm::EraseFrame()
{
    if (frameRect_.IsEmpty())
        return;
    frameRect_ = TRect{};
    PaintBox->Invalidate();
}

void TVexaPaintForm::ClearSelection()
{
    EraseFrame();
    selectionState_ = ssNone;
    screenSelection_ = TRect{};
    pictureSelection_ = TRect{};
}

void TVexaPaintForm::PaintBoxMouseMove(TShiftState Shift, int X, int Y)
{
    const double zoom = Zoom();
    if (Shift.Contains(ssLeft)) {
        TRect rect = screenSelection_;
        if (selectionState_ != ssDragging) {
            rect = TRect{X, Y, X, Y};
            selectionState_ = ssDragging;
        } else {
            rect.Right = X;
            rect.Bottom = Y;
            // Auto-scroll when the mouse leaves the visible part.
            const TPoint inBox = ScrollBox->ScreenToClient(PaintBox->ClientToScreen(Point(X, Y)));
            const int cw = ScrollBox->ClientWidth();
            const int ch = ScrollBox->ClientHeight();
            TControlScrollBar& h = ScrollBox->HorzScrollBar();
            TControlScrollBar& v = ScrollBox->VertScrollBar();
            if (inBox.X < 2)
                h.SetPosition(h.Position() + std::min(-std::abs(inBox.X), -2));
            else if (inBox.X > cw - 2)
                h.SetPosition(h.Position() + std::max(std::abs(inBox.X - cw), 2));
            if (inBox.Y < 2)
                v.SetPosition(v.Position() + std::min(-std::abs(inBox.Y), -2));
            else if (inBox.Y > ch - 2)
                v.SetPosition(v.Position() + std::max(std::abs(inBox.Y - ch), 2));
        }
        rect = VexaPaintView::ClampToBox(rect, PaintBox->Width(), PaintBox->Height());
        if (!(rect == screenSelection_)) {
            screenSelection_ = rect;
            pictureSelection_ = VexaPaintView::ToPicture(rect, zoom);
            EraseFrame();
            DrawFrame();
        }
    }
    StatusBar->Panels(0).Text = selectionState_ == ssDragging
        ? VexaPaintView::SelectionText(pictureSelection_)
        : VexaPaintView::PointText(static_cast<int>(std::nearbyint(X / zoom)),
                                   static_cast<int>(std::nearbyint(Y / zoom)));
    StatusBar->UpdatePanels();
}

void TVexaPaintForm::PaintBoxMouseUp(TMouseButton Button, int, int)
{
    if (Button == mbRight) {
        ClearSelection();
        return;
    }
    if (selectionState_ == ssDragging) {
        selectionState_ = ssMarked;
        screenSelection_ = VexaPaintView::ToScreen(pictureSelection_, Zoom());
        DrawFrame();
    }
}
