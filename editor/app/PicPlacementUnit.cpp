#include "editor/app/PicPlacementUnit.h"

#include <algorithm>
#include <cmath>

#include "editor/app/Config.h"
#include "editor/app/MonitorGfx.h"
#include "editor/app/SizeRect.h"
#include "platform/rtl/Math.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TPicPlacementDlg)

namespace PicPlacementUnit {

namespace {

double Fraction(double Value, double Otherwise) { return std::isfinite(Value) ? Value : Otherwise; }

int Scaled(double Fraction, int Size)
{
    // Far outside the area a placement means nothing to show; it must not
    // overflow the control's coordinates either.
    constexpr double Reach = 1000.0;
    return static_cast<int>(rtl::Round(std::clamp(Fraction, -Reach, Reach) * Size));
}

} // namespace

TRect PlacementToBounds(const TPlacementRectExt& Placement, int Width, int Height)
{
    const double left = Fraction(Placement.Left, 0);
    const double top = Fraction(Placement.Top, 0);
    const double right = Fraction(Placement.Right, 1);
    const double bottom = Fraction(Placement.Bottom, 1);
    return Bounds(Scaled(left, Width), Scaled(top, Height), Scaled(right - left, Width), Scaled(bottom - top, Height));
}

TPlacementRectExt BoundsToPlacement(const TRect& Bounds, int Width, int Height)
{
    if (Width <= 0 || Height <= 0)
        return {0, 0, 1, 1};
    const double width = Width;
    const double height = Height;
    return {Bounds.Left / width, Bounds.Top / height, Bounds.Right / width, Bounds.Bottom / height};
}

} // namespace PicPlacementUnit

namespace {

// The miniature screen: 4:3 like the full-screen show.
constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 240;
constexpr int Bezel = 22;
constexpr int MonitorWidth = ScreenWidth + 2 * Bezel;
constexpr int MonitorHeight = ScreenHeight + 2 * Bezel + 60;

template <class T> void SetUpRectangle(T* Rectangle, TWinControl* Parent)
{
    Rectangle->SetParent(Parent);
    Rectangle->AllowMove = true;
    Rectangle->SetAnimateBorder(true);
    Rectangle->SetGripSize(5);
    Rectangle->MinWidth = 10;
    Rectangle->MinHeight = 10;
}

} // namespace

TPicPlacementDlg::TPicPlacementDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Bild(er) plazieren");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(MonitorWidth + 24);
    SetClientHeight(120 + MonitorHeight + 45);

    TextLabel = new TLabel(this);
    TextLabel->SetParent(this);
    TextLabel->SetAutoSize(false);
    TextLabel->SetWordWrap(true);
    TextLabel->SetBounds(12, 8, MonitorWidth, 108);

    Panel3 = new TPanel(this);
    Panel3->SetParent(this);
    Panel3->SetBevelOuter(bvNone);
    Panel3->SetCaption("");
    Panel3->SetBounds(12, 120, MonitorWidth, MonitorHeight);
    ComputerPaintBox = new TPaintBox(this);
    ComputerPaintBox->SetParent(Panel3);
    ComputerPaintBox->SetAlign(alClient);
    ComputerPaintBox->OnPaint = [this](TObject*) { ComputerPaintBoxPaint(); };

    ScreenPanel = new TPanel(this);
    ScreenPanel->SetParent(Panel3);
    ScreenPanel->SetBevelOuter(bvNone);
    ScreenPanel->SetCaption("");
    ScreenPanel->SetBounds(Bezel, Bezel, ScreenWidth, ScreenHeight);
    ImagePanel = new TPanel(this);
    ImagePanel->SetParent(ScreenPanel);
    ImagePanel->SetAlign(alClient);
    ImagePanel->SetBevelOuter(bvNone);
    ImagePanel->SetCaption("");
    ImagePanel->SetColor(clBlack);
    Image = new TImage(this);
    Image->SetParent(ImagePanel);
    Image->SetAlign(alClient);
    Image->SetStretch(true);

    SizeRect = new TSizeRect(this);
    SetUpRectangle(SizeRect, ImagePanel);
    SizeRect->SetTransparent(true);
    SizeRectDoubleBuffer = new TSizeRectDoubleBuffer(this);
    SetUpRectangle(SizeRectDoubleBuffer, ImagePanel);

    const int buttonTop = ClientHeight() - 35;
    OKBtn = new TButton(this);
    OKBtn->SetParent(this);
    OKBtn->SetCaption("&OK");
    OKBtn->ModalResult = mrOk;
    OKBtn->Default = true;
    OKBtn->SetBounds(ClientWidth() - 276, buttonTop, 84, 25);
    CancelBtn = new TButton(this);
    CancelBtn->SetParent(this);
    CancelBtn->SetCaption("&Abbrechen");
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;
    CancelBtn->SetBounds(ClientWidth() - 184, buttonTop, 84, 25);
    HelpBtn = new TButton(this);
    HelpBtn->SetParent(this);
    HelpBtn->SetCaption("&Hilfe");
    HelpBtn->SetBounds(ClientWidth() - 92, buttonTop, 80, 25);
    HelpBtn->OnClick = [](TObject*) { ui::ShowMessage(TAAForm::NoHelpMessage); };
}

TPicPlacementDlg::~TPicPlacementDlg() = default;

TControl* TPicPlacementDlg::PlacementControl() const
{
    if (UseDoubleBuffer)
        return SizeRectDoubleBuffer;
    return SizeRect;
}

bool TPicPlacementDlg::Execute()
{
    // Only the rectangle of the chosen mode stays.
    if (UseDoubleBuffer && SizeRect) {
        delete SizeRect;
        SizeRect = nullptr;
    } else if (!UseDoubleBuffer && SizeRectDoubleBuffer) {
        delete SizeRectDoubleBuffer;
        SizeRectDoubleBuffer = nullptr;
    }
    TControl* control = PlacementControl();
    if (!control)
        return false;
    control->BringToFront();
    const int width = ImagePanel->ClientWidth();
    const int height = ImagePanel->ClientHeight();
    control->SetBoundsRect(PicPlacementUnit::PlacementToBounds(Placement, width, height));
    if (ShowModal() != mrOk)
        return false;
    Placement = PicPlacementUnit::BoundsToPlacement(control->BoundsRect(), width, height);
    return true;
}

void TPicPlacementDlg::ComputerPaintBoxPaint() { DrawMonitor(*ComputerPaintBox, ScreenPanel->BoundsRect()); }
