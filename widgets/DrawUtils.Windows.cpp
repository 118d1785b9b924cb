#include "widgets/DrawUtils.h"

#include <algorithm>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

namespace DrawUtils {

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

bool IsForegroundTask() { return rtl::IsMainThread() && Application && Application->Active(); }

void KillMessage(HWND Wnd, UINT Msg)
{
    TMsg message;
    if (ui::PeekMessage(message, Wnd, Msg, Msg, PM_REMOVE) && message.message == WM_QUIT)
        ui::PostQuitMessage(static_cast<int>(message.wParam));
}

void Delay(std::uint32_t Ms)
{
    const std::uint32_t start = rtl::GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        const std::uint32_t now = rtl::GetTickCount();
        if (now < start || now - start >= Ms)
            return;
        rtl::Sleep(1);
    }
}

void CenterControl(TControl* Control)
{
    if (!Control)
        return;
    int areaWidth, areaHeight;
    if (Control->Parent()) {
        areaWidth = Control->Parent()->ClientWidth();
        areaHeight = Control->Parent()->ClientHeight();
    } else {
        areaWidth = Screen->Width();
        areaHeight = Screen->Height();
    }
    Control->SetBounds(std::max((areaWidth - Control->Width()) / 2, 0),
                       std::max((areaHeight - Control->Height()) / 2, 0), Control->Width(), Control->Height());
}

TRect ScreenWorkArea()
{
    TRect area;
    if (ui::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0) && !area.IsEmpty())
        return area;
    return Rect(0, 0, Screen->Width(), Screen->Height());
}

void CenterWindow(TWinControl* Wnd)
{
    if (!Wnd)
        return;
    const int screenW = Screen->Width(), screenH = Screen->Height();
    int left = (screenW - Wnd->Width()) / 2;
    int top = (screenH - Wnd->Height()) / 2;
    // Back into the screen where it sticks out; the left and top edges win.
    left = std::max(std::min(left, screenW - Wnd->Width()), 0);
    top = std::max(std::min(top, screenH - Wnd->Height()), 0);
    Wnd->SetBounds(left, top, Wnd->Width(), Wnd->Height());
}

void MergeForm(TWinControl* Container, TCustomForm* Form, TAlign Align, bool Show)
{
    if (!Container || !Form)
        return;
    Container->DisableAlign();
    try {
        Form->Hide();
        Form->SetBorderStyle(bsNone);
        Form->SetBorderIcons({});
        Form->SetParent(Container);
        if (Align != alNone)
            Form->SetAlign(Align);
        else {
            const TRect client = Container->ClientRect();
            Form->SetBounds(Form->Left() + client.Left, Form->Top() + client.Top, Form->Width(), Form->Height());
        }
        Form->SetVisible(Show);
    } catch (...) {
        Container->EnableAlign();
        throw;
    }
    Container->EnableAlign();
}

std::string WindowClassName(HWND Wnd)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control)
        return {};
    return control->ClassName().substr(0, 255);
}

void ShowWinNoAnimate(HWND Wnd, int CmdShow)
{
    // Windows here appear and go without animation.
    ui::ShowWindow(Wnd, CmdShow);
}

namespace {

void BringToForeground(TWinControl* Control)
{
    if (auto* form = dynamic_cast<TCustomForm*>(Control)) {
        form->BringToFront();
        if (form->CanFocus())
            form->SetFocus();
    } else {
        Control->BringToFront();
    }
}

} // namespace

bool SwitchToWindow(HWND Wnd, bool Restore)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control || !control->Enabled())
        return false;
    BringToForeground(control);
    if (!Restore)
        return true;
    if (!control->Visible())
        return false;
    auto* form = dynamic_cast<TCustomForm*>(control);
    if (form && form->WindowState() != wsMaximized)
        form->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
    if (control->CanFocus())
        control->SetFocus();
    return true;
}

void ActivateWindow(HWND Wnd)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control)
        return;
    ShowWinNoAnimate(Wnd, SW_SHOW);
    BringToForeground(control);
}

HWND FindPrevInstance(const std::string& MainFormClass, const std::string& ATitle)
{
    if (MainFormClass.empty() && ATitle.empty())
        return nullptr;
    return ui::FindWindow(MainFormClass, ATitle);
}

bool ActivatePrevInstance(const std::string& MainFormClass, const std::string& ATitle)
{
    HWND found = FindPrevInstance(MainFormClass, ATitle);
    if (!found)
        return false;
    ActivateWindow(found);
    return true;
}

} // namespace DrawUtils
