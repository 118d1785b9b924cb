#include "editor/app/PicPreview.h"

#include "editor/app/PicInfoTools.h"

#include <algorithm>
#include <cmath>

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Math.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ScrollBox.h"
#include "widgets/KSCtrls.h"

IMPLEMENT_CLASS(TPicPreviewForm)

namespace PicPreview {

double ZoomFaktor = 1.0;

double ZoomedIn(double Zoom, int PictureWidth, int PictureHeight)
{
    const double next = Zoom + ZoomSteps;
    if (std::max(PictureWidth, PictureHeight) * next > LargestZoomedSide)
        return Zoom;
    return next;
}

double ZoomedOut(double Zoom) { return Zoom - ZoomSteps >= ZoomSteps ? Zoom - ZoomSteps : Zoom; }

TSize ZoomedSize(int Width, int Height, double Zoom)
{
    return {static_cast<int>(rtl::Round(Width * Zoom)), static_cast<int>(rtl::Round(Height * Zoom))};
}

int CentredPosition(int Position, int View, int OldRange, int NewRange)
{
    if (NewRange <= View || OldRange <= 0)
        return 0;
    const double middle = (Position + View / 2.0) / OldRange;
    const int position = static_cast<int>(rtl::Round(middle * NewRange - View / 2.0));
    return std::clamp(position, 0, NewRange - View);
}

TRect PlaceInWorkArea(TSize WindowSize, const TRect& WorkArea)
{
    if (WindowSize.cx > WorkArea.Width() || WindowSize.cy > WorkArea.Height())
        return WorkArea;
    const int left = WorkArea.Left + (WorkArea.Width() - WindowSize.cx) / 2;
    const int top = WorkArea.Top + (WorkArea.Height() - WindowSize.cy) / 2;
    return Bounds(left, top, WindowSize.cx, WindowSize.cy);
}

} // namespace PicPreview

namespace {

TKsSpeedButton* ToolButton(TPicPreviewForm* Form, TPanel* Bar, int Index, const std::string& Caption,
                           const std::string& Hint)
{
    auto* button = new TKsSpeedButton(Form);
    button->SetParent(Bar);
    button->SetBounds(2 + Index * 30, 2, 28, 26);
    button->SetCaption(Caption);
    button->SetFlat(true);
    button->Hint = Hint;
    button->SetShowHint(true);
    return button;
}

} // namespace

TPicPreviewForm::TPicPreviewForm(TComponent* AOwner) : TForm(AOwner), picture_(std::make_unique<TPicture>())
{
    SetCaption("Vorschau");
    SetPosition(poDesigned);
    ToolBar = new TPanel(this);
    ToolBar->SetParent(this);
    ToolBar->SetAlign(alTop);
    ToolBar->SetHeight(30);
    ToolBar->SetBevelOuter(bvNone);
    ToolBar->SetCaption("");
    ZoomInBtn = ToolButton(this, ToolBar, 0, "+", "Vergrößern");
    ZoomInBtn->OnClick = [this](TObject*) { ZoomIn(); };
    ZoomOutBtn = ToolButton(this, ToolBar, 1, "-", "Verkleinern");
    ZoomOutBtn->OnClick = [this](TObject*) { ZoomOut(); };
    OriginalSizeBtn = ToolButton(this, ToolBar, 2, "1:1", "Originalgröße");
    OriginalSizeBtn->OnClick = [this](TObject*) { OriginalSize(); };
    SmoothBtn = ToolButton(this, ToolBar, 3, "S", "Schnelle Vorschau ein bzw. aus");
    SmoothBtn->SetGroupIndex(1);
    SmoothBtn->SetAllowAllUp(true);
    SmoothBtn->OnClick = [this](TObject*) { SmoothBtnClick(); };
    PrintBtn = ToolButton(this, ToolBar, 4, "D", "Bild drucken");
    PrintBtn->OnClick = [this](TObject*) { PrintBtnClick(); };
    CloseBtn = ToolButton(this, ToolBar, 5, "X", "Vorschaufenster schließen");
    CloseBtn->OnClick = [this](TObject*) { Close(); };

    ScrollBox = new TScrollBox(this);
    ScrollBox->SetParent(this);
    ScrollBox->SetAlign(alClient);
    ScrollBox->SetColor(clBtnFace);
    PreviewImage = new TImage(this);
    PreviewImage->SetParent(ScrollBox);
    PreviewImage->SetBounds(0, 0, 1, 1);

    KeyPreview = true;
    OnKeyPress = [this](TObject*, char32_t& Key) {
        if (Key == U'+')
            ZoomIn();
        else if (Key == U'-')
            ZoomOut();
        else
            return;
        Key = 0;
    };
    OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
        if (Key != VK_ESCAPE)
            return;
        Key = 0;
        Close();
    };
}

TPicPreviewForm::~TPicPreviewForm() = default;

bool TPicPreviewForm::Execute(TPicInfoObject& Entry)
{
    entry_ = &Entry;
    if (PictureLoading::LoadPicture(Entry.FileName, Setup::VisteloFilename, *picture_) != leOK ||
        !picture_->Graphic()) {
        const std::string resolved = PictureLoading::RelFileName(Entry.FileName, Setup::VisteloFilename);
        ui::ShowMessage(CannotLoadMessage(resolved.empty() ? Entry.FileName : resolved));
        return false;
    }
    PicPreview::ZoomFaktor = 1.0;
    SetImageSize();
    SetSize();
    SmoothBtn->SetDown(Setup::FastPreview);
    const bool smooth = dynamic_cast<TSmoothBitmap*>(picture_->Graphic()) != nullptr;
    SmoothBtn->SetEnabled(smooth);
    if (smooth)
        SmoothBtnClick();
    SetCaption("Vorschau [" + ExtractFileName(Entry.FileName) + "]");
    ShowModal();
    return true;
}

void TPicPreviewForm::SetImageSize()
{
    const TSize size = PicPreview::ZoomedSize(picture_->Width(), picture_->Height(), PicPreview::ZoomFaktor);
    TBitmap& shown = PreviewImage->Picture().Bitmap();
    shown.SetPixelFormat(pf24bit);
    shown.SetSize(std::max(1, size.cx), std::max(1, size.cy));
    if (auto* smooth = dynamic_cast<TSmoothBitmap*>(picture_->Graphic()))
        smooth->Smooth = !Setup::FastPreview;
    if (TGraphic* graphic = picture_->Graphic())
        shown.Canvas().StretchDraw(Rect(0, 0, size.cx, size.cy), *graphic);
    PreviewImage->SetBounds(PreviewImage->Left(), PreviewImage->Top(), size.cx, size.cy);
    PreviewImage->Invalidate();
    ScrollBox->HorzScrollBar().SetRange(size.cx);
    ScrollBox->VertScrollBar().SetRange(size.cy);
}

void TPicPreviewForm::SetSize()
{
    SetClientWidth(std::max(picture_->Width() + 4, ToolBar->Width() > 0 ? 6 * 30 + 4 : 0));
    SetClientHeight(picture_->Height() + 4 + ToolBar->Height());
    const TRect bounds = PicPreview::PlaceInWorkArea({Width(), Height()}, Screen->WorkAreaRect());
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
}

void TPicPreviewForm::Zoom(double NewZoom)
{
    TControlScrollBar& horz = ScrollBox->HorzScrollBar();
    TControlScrollBar& vert = ScrollBox->VertScrollBar();
    const int oldWidth = PreviewImage->Width();
    const int oldHeight = PreviewImage->Height();
    const int x = horz.Position();
    const int y = vert.Position();
    PicPreview::ZoomFaktor = NewZoom;
    SetImageSize();
    horz.SetPosition(PicPreview::CentredPosition(x, ScrollBox->ClientWidth(), oldWidth, PreviewImage->Width()));
    vert.SetPosition(PicPreview::CentredPosition(y, ScrollBox->ClientHeight(), oldHeight, PreviewImage->Height()));
}

void TPicPreviewForm::ZoomIn()
{
    Zoom(PicPreview::ZoomedIn(PicPreview::ZoomFaktor, picture_->Width(), picture_->Height()));
}

void TPicPreviewForm::ZoomOut() { Zoom(PicPreview::ZoomedOut(PicPreview::ZoomFaktor)); }

void TPicPreviewForm::OriginalSize()
{
    PicPreview::ZoomFaktor = 1.0;
    SetImageSize();
}

void TPicPreviewForm::SmoothBtnClick()
{
    Setup::FastPreview = SmoothBtn->Down();
    if (dynamic_cast<TSmoothBitmap*>(picture_->Graphic()))
        SetImageSize();
}

void TPicPreviewForm::PrintBtnClick()
{
    if (entry_)
        PicInfoTools::PrintPicture(*entry_, picture_.get());
}
