// A form's window: its frame, title, icon, state, the sizes the user may
// give it, and its place on the screen.

#include "platform/ui/Forms.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/Menus.h"
#include "platform/ui/WindowSurface.h"

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    if (borderStyle_ != bsNone)
        Params.Style |= WS_CAPTION;
    if (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin)
        Params.Style |= WS_THICKFRAME;
    if (borderIcons_.Contains(biSystemMenu))
        Params.Style |= WS_SYSMENU;
    if (formStyle_ == fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;
    if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin)
        Params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params)
{
    TScrollingWinControl::CreateWindowHandle(Params);
    ApplyWindowFlags();
    WindowSurface()->SetTitle(Caption());
    ApplyIcon();
    ApplySizeLimits();
}

void TCustomForm::ConstraintsChanged()
{
    ApplySizeLimits();
    TScrollingWinControl::ConstraintsChanged();
}

void TCustomForm::UpdateSizeLimits() { ApplySizeLimits(); }

// The window system keeps the user's resizing within the limits: those of
// Constraints and those the window gives when asked with WM_GETMINMAXINFO.
void TCustomForm::ApplySizeLimits()
{
    if (!WindowSurface())
        return;
    constexpr int unlimited = ui::UnlimitedWindowSize;
    MINMAXINFO info{};
    info.ptMinTrackSize = TPoint{0, 0};
    info.ptMaxTrackSize = TPoint{unlimited, unlimited};
    Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));

    const TSizeConstraints& c = Constraints();
    const int minWidth = std::max({c.MinWidth(), info.ptMinTrackSize.X, 0});
    const int minHeight = std::max({c.MinHeight(), info.ptMinTrackSize.Y, 0});
    const int maxWidth = std::min(c.MaxWidth() > 0 ? c.MaxWidth() : unlimited,
                                  info.ptMaxTrackSize.X > 0 ? info.ptMaxTrackSize.X : unlimited);
    const int maxHeight = std::min(c.MaxHeight() > 0 ? c.MaxHeight() : unlimited,
                                   info.ptMaxTrackSize.Y > 0 ? info.ptMaxTrackSize.Y : unlimited);
    WindowSurface()->SetSizeLimits(std::min(minWidth, unlimited), std::min(minHeight, unlimited),
                                   std::max(maxWidth, minWidth), std::max(maxHeight, minHeight));
}

int TCustomForm::MenuBarHeight() const
{
    TWinControl* bar = menu_ ? menu_->MenuBar() : nullptr;
    return bar && bar->Visible() ? bar->Height() : 0;
}

TRect TCustomForm::ClientRect() const
{
    TRect r = TScrollingWinControl::ClientRect();
    r.Top = std::min(MenuBarHeight(), r.Bottom);
    return r;
}

TRect TCustomForm::AlignRect() const
{
    TRect r = ClientRect();
    r.Top = 0;
    return r;
}

void TCustomForm::ApplyIcon()
{
    if (!WindowSurface())
        return;
    if (icon_->Empty()) {
        WindowSurface()->SetIcon(nullptr, clNone);
        return;
    }
    // Drawn over a key colour that becomes transparent, since icons draw
    // through their mask.
    const TColor key = RGB(255, 0, 254);
    TBitmap image;
    image.SetSize(icon_->Width(), icon_->Height());
    image.Canvas().Brush.Color = key;
    image.Canvas().FillRect(Rect(0, 0, icon_->Width(), icon_->Height()));
    icon_->Draw(image.Canvas(), Rect(0, 0, icon_->Width(), icon_->Height()));
    WindowSurface()->SetIcon(&image, key);
}

void TCustomForm::ApplyWindowFlags()
{
    if (!WindowSurface())
        return;
    using TKind = ui::TWindowFrame::TKind;
    ui::TWindowFrame frame;
    switch (borderStyle_) {
    case bsNone: frame.Kind = TKind::Frameless; break;
    case bsDialog: frame.Kind = TKind::Dialog; break;
    case bsToolWindow:
    case bsSizeToolWin: frame.Kind = TKind::Tool; break;
    default: break;
    }
    frame.TitleBar = borderStyle_ != bsNone;
    frame.SystemMenu = frame.TitleBar && borderIcons_.Contains(biSystemMenu);
    frame.MinimizeButton = frame.TitleBar && borderIcons_.Contains(biMinimize) && borderStyle_ != bsDialog;
    frame.MaximizeButton = frame.TitleBar && borderIcons_.Contains(biMaximize) && borderStyle_ != bsDialog;
    frame.StayOnTop = ui::IsWindowTopMost(Handle()) && !Application->TopMostsNormalized();
    if (WindowSurface()->Reframe(frame))
        ApplyWindowState();
}

void TCustomForm::ApplyWindowState()
{
    using ui::TShowState;
    switch (windowState_) {
    case wsMinimized: WindowSurface()->ShowInState(TShowState::Minimized); break;
    case wsMaximized:
        // A borderless maximised window covers the whole screen.
        WindowSurface()->ShowInState(borderStyle_ == bsNone ? TShowState::FullScreen : TShowState::Maximized);
        break;
    default: WindowSurface()->ShowInState(TShowState::Normal); break;
    }
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (rtl::AssignIfChanged(formStyle_, Value))
        ApplyWindowFlags();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (rtl::AssignIfChanged(borderStyle_, Value))
        ApplyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (rtl::AssignIfChanged(borderIcons_, Value))
        ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    if (!rtl::AssignIfChanged(windowState_, Value))
        return;
    if (Showing())
        ApplyWindowState();
}

void TCustomForm::PlaceOnScreen()
{
    if (placed_)
        return;
    placed_ = true;
    TRect area = Screen->WorkAreaRect();
    TCustomForm* centreOn = nullptr;
    if (position_ == poMainFormCenter && Application->MainForm() != this)
        centreOn = Application->MainForm();
    if (position_ == poOwnerFormCenter)
        centreOn = dynamic_cast<TCustomForm*>(Owner());
    if (position_ == poScreenCenter || position_ == poDesktopCenter ||
        (centreOn == nullptr && (position_ == poMainFormCenter || position_ == poOwnerFormCenter)))
        SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(),
                  Height());
    else if (centreOn)
        SetBounds(centreOn->Left() + (centreOn->Width() - Width()) / 2,
                  centreOn->Top() + (centreOn->Height() - Height()) / 2, Width(), Height());
}
