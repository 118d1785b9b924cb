#include "player/Preview.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SmoothBitmap.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Messages.h"
#include "platform/ui/ScrollBox.h"
#include "widgets/KSCtrls.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_CLASS(TPreviewForm)

double ZoomFaktor = 1.0;
double ZoomSteps = 0.25;

namespace {
constexpr int ToolBarHeight = 26;
constexpr int ToolButtonWidth = 25;
// The free space kept around the picture on each side.
constexpr int Margin = 2;

// Where the middle of the visible part lies, as a fraction of the range.
double CentreFraction(TControlScrollBar& bar, int viewSize)
{
    return bar.Range() > 0 ? (bar.Position() + viewSize / 2.0) / bar.Range() : 0.5;
}

void ScrollToFraction(TControlScrollBar& bar, int viewSize, double fraction)
{
    if (bar.Range() > viewSize)
        bar.SetPosition(static_cast<int>(std::lround(fraction * bar.Range() - viewSize / 2.0)));
}
} // namespace

TPreviewForm::TPreviewForm(TComponent* AOwner) : TForm(AOwner), picture_(std::make_unique<TPicture>())
{
    SetCaption("Vorschau");
    SetPosition(poDesigned);
    KeyPreview = true;

    ToolPanel = new TPanel(this);
    ToolPanel->SetParent(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetHeight(ToolBarHeight);
    ToolPanel->SetBevelOuter(bvNone);

    ZoomInBtn = AddToolButton("+", "Vergrößern", 0);
    ZoomInBtn->OnClick = [this](TObject*) { ZoomIn(); };
    ZoomOutBtn = AddToolButton("-", "Verkleinern", 1);
    ZoomOutBtn->OnClick = [this](TObject*) { ZoomOut(); };
    OriginalSizeBtn = AddToolButton("1:1", "Originalgröße", 2);
    OriginalSizeBtn->OnClick = [this](TObject*) { ActualSize(); };
    SmoothBtn = AddToolButton("S", "Schnelle Vorschau ein bzw. aus", 3);
    SmoothBtn->SetGroupIndex(1);
    SmoothBtn->SetAllowAllUp(true);
    SmoothBtn->OnClick = [this](TObject* Sender) { SmoothBtnClick(Sender); };
    CloseBtn = AddToolButton("X", "Vorschaufenster schließen", 4);
    CloseBtn->OnClick = [this](TObject*) { Close(); };

    ScrollBox = new TScrollBox(this);
    ScrollBox->SetParent(this);
    ScrollBox->SetAlign(alClient);
    PreviewImage = new TImage(this);
    PreviewImage->SetParent(ScrollBox);
    PreviewImage->SetBounds(Margin, Margin, 1, 1);

    OnKeyPress = [this](TObject* Sender, char32_t& Key) { FormKeyPress(Sender, Key); };
    OnKeyUp = [this](TObject* Sender, WORD& Key, TShiftState Shift) { FormKeyUp(Sender, Key, Shift); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TPreviewForm::~TPreviewForm() = default;

TKsSpeedButton* TPreviewForm::AddToolButton(const std::string& Caption, const std::string& Hint, int Index)
{
    auto* button = new TKsSpeedButton(this);
    button->SetParent(ToolPanel);
    button->SetBounds(Margin + Index * ToolButtonWidth, 1, ToolButtonWidth - 1, ToolBarHeight - 2);
    button->SetCaption(Caption);
    button->Hint = Hint;
    button->SetShowHint(true);
    return button;
}

void TPreviewForm::Execute(TPicInfoObject* Entry)
{
    const std::string file = PictureLoading::RelFileName(Entry->FileName, Setup::VisteloFilename);
    const std::string name = file.empty() ? Entry->FileName : file;
    if (PictureLoading::LoadPicture(name, Setup::VisteloFilename, *picture_) != leOK || picture_->Width() <= 0 ||
        picture_->Height() <= 0) {
        ui::ShowMessage("Das Bild \"" + name + "\" kann nicht geladen werden.");
        Release();
        return;
    }
    ZoomFaktor = 1.0;
    SetImageSize();
    SetSize();
    const bool smoothable = dynamic_cast<TSmoothBitmap*>(picture_->Graphic()) != nullptr;
    SmoothBtn->SetDown(Setup::FastPreview);
    SmoothBtn->SetEnabled(smoothable);
    if (smoothable)
        SmoothBtnClick(SmoothBtn);
    SetCaption("Vorschau [" + rtl::ExtractFileName(name) + "]");
    ShowModal();
}

void TPreviewForm::SetImageSize()
{
    const int width = std::max(1, static_cast<int>(std::lround(picture_->Width() * ZoomFaktor)));
    const int height = std::max(1, static_cast<int>(std::lround(picture_->Height() * ZoomFaktor)));
    if (auto* smooth = dynamic_cast<TSmoothBitmap*>(picture_->Graphic()))
        smooth->Smooth = !Setup::FastPreview;
    TBitmap shown(width, height, pf24bit);
    if (TGraphic* graphic = picture_->Graphic())
        shown.Canvas().StretchDraw(Rect(0, 0, width, height), *graphic);
    PreviewImage->Picture().SetGraphic(&shown);
    PreviewImage->SetBounds(Margin - ScrollBox->HorzScrollBar().ScrollPos(),
                            Margin - ScrollBox->VertScrollBar().ScrollPos(), width, height);
    ScrollBox->HorzScrollBar().SetRange(width + 2 * Margin);
    ScrollBox->VertScrollBar().SetRange(height + 2 * Margin);
}

void TPreviewForm::SetSize()
{
    const int toolWidth = 2 * Margin + 5 * ToolButtonWidth;
    int width = std::max(PreviewImage->Width() + 2 * Margin, toolWidth);
    int height = PreviewImage->Height() + 2 * Margin + ToolBarHeight;
    SetClientWidth(width);
    SetClientHeight(height);
    const TRect work = Screen->WorkAreaRect();
    width = Width();
    height = Height();
    if (width > work.Width() || height > work.Height())
        SetBounds(work.Left, work.Top, std::min(width, work.Width()), std::min(height, work.Height()));
    else
        SetBounds(work.Left + (work.Width() - width) / 2, work.Top + (work.Height() - height) / 2, width, height);
}

void TPreviewForm::ZoomIn()
{
    const int viewWidth = ScrollBox->ClientRect().Width();
    const int viewHeight = ScrollBox->ClientRect().Height();
    const double x = CentreFraction(ScrollBox->HorzScrollBar(), viewWidth);
    const double y = CentreFraction(ScrollBox->VertScrollBar(), viewHeight);
    ZoomFaktor += ZoomSteps;
    SetImageSize();
    ScrollToFraction(ScrollBox->HorzScrollBar(), viewWidth, x);
    ScrollToFraction(ScrollBox->VertScrollBar(), viewHeight, y);
}

void TPreviewForm::ZoomOut()
{
    // Compared with a little slack: quarter steps add up exactly in binary,
    // but other step sizes might not.
    if (ZoomFaktor - ZoomSteps < ZoomSteps - 1e-9)
        return;
    ZoomFaktor -= ZoomSteps;
    SetImageSize();
}

void TPreviewForm::ActualSize()
{
    ZoomFaktor = 1.0;
    SetImageSize();
}

void TPreviewForm::SmoothBtnClick(TObject*)
{
    Setup::FastPreview = SmoothBtn->Down();
    if (dynamic_cast<TSmoothBitmap*>(picture_->Graphic()))
        SetImageSize();
}

void TPreviewForm::FormKeyPress(TObject*, char32_t& Key)
{
    if (Key == U'+')
        ZoomIn();
    else if (Key == U'-')
        ZoomOut();
    else
        return;
    Key = 0;
}

void TPreviewForm::FormKeyUp(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_ESCAPE)
        Close();
}

void TPreviewForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }
