// Forms: showing, closing and the modal loop, their messages, and the
// window calls on forms (stay on top, show states, finding windows). Their
// windows, the application and the screen are in Forms.*.cpp.

#include "platform/ui/Forms.h"

#include <algorithm>
#include <set>

#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/WindowSurface.h"

IMPLEMENT_CLASS(TCustomForm)
IMPLEMENT_CLASS(TForm)
IMPLEMENT_CLASS(TApplication)
IMPLEMENT_CLASS(TScreen)

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {

// Windows asked to stay on top with SetWindowPos, besides fsStayOnTop forms.
std::set<HWND>& TopMostWindows()
{
    static auto* set = new std::set<HWND>;
    return *set;
}

// Forms whose Release waits for the end of the message being handled.
std::vector<TCustomForm*>& ReleasedForms()
{
    static auto* list = new std::vector<TCustomForm*>;
    return *list;
}

// Gives the control the focus also where the layer has it as focused but the
// window system moved its focus away (as it does when it activates a window).
void Focus(TWinControl& Control)
{
    if (ui::GetFocus() != Control.Handle())
        ui::ChangeFocus(Control.Handle());
    else if (Control.WindowSurface())
        Control.WindowSurface()->TakeFocus();
}

void FocusActiveControl(TCustomForm& Form)
{
    if (TWinControl* control = Form.ActiveControl(); control && control->CanFocus())
        Focus(*control);
    else if (Form.HandleAllocated())
        Focus(Form);
}

// Enter presses the button that has the focus, else the default button;
// Escape presses the cancel button. Buttons the user cannot reach (hidden or
// disabled) press nothing, nor do the keys with Shift, Ctrl or Alt.
bool PressDialogButton(TCustomForm& Form, WPARAM Key, LPARAM KeyData)
{
    if ((Key != VK_RETURN && Key != VK_ESCAPE) || ui::KeyDataToShiftState(KeyData).Intersects({ssShift, ssCtrl, ssAlt}))
        return false;
    auto* focused = dynamic_cast<TButton*>(TWinControl::FindControl(ui::GetFocus()));
    if (focused && focused->ParentForm() != &Form)
        focused = nullptr;
    for (TWinControl* control : Form.TabOrderList()) {
        auto* button = dynamic_cast<TButton*>(control);
        if (!button || !button->CanFocus())
            continue;
        const bool takes = Key == VK_RETURN ? (focused ? button == focused : button->Default) : button->Cancel;
        if (takes) {
            button->Click();
            return true;
        }
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner), icon_(std::make_unique<TIcon>())
{
    icon_->OnChange = [this](TObject*) { ApplyIcon(); };
    SetVisibleFlag(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    if (Screen)
        Screen->AddForm(this);
}

void TCustomForm::BeforeDestruction()
{
    if (destroyFired_)
        return;
    destroyFired_ = true;
    Destroying();
    DoDestroy();
}

TCustomForm::~TCustomForm()
{
    BeforeDestruction();
    std::erase(ReleasedForms(), this);
    if (Application && Application->MainForm() == this)
        Application->SetMainForm(nullptr);
    if (Screen)
        Screen->RemoveForm(this);
    TopMostWindows().erase(HandleAllocated() ? Handle() : nullptr);
}

void TCustomForm::Loaded()
{
    TScrollingWinControl::Loaded();
    DoCreate();
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (OnDestroy)
        OnDestroy(this);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

TCanvas* TCustomForm::Canvas()
{
    if (paintCanvas_)
        return paintCanvas_;
    HandleNeeded();
    return &WindowSurface()->Canvas();
}

void TCustomForm::FlushCanvas()
{
    if (WindowSurface())
        WindowSurface()->Flush();
}

void TCustomForm::PaintWindow(TCanvas& DC)
{
    TPaintCanvasScope scope(paintCanvas_, &DC);
    Paint();
}

void TCustomForm::SetMenuComponent(TMainMenu* Menu, TComponent* Component)
{
    if (Menu == menu_)
        return;
    if (menuComponent_)
        menuComponent_->RemoveFreeNotification(this);
    if (menu_)
        menu_->ShowOn(nullptr);
    menu_ = Menu;
    menuComponent_ = Component;
    if (menuComponent_)
        menuComponent_->FreeNotification(this);
    if (menu_)
        menu_->ShowOn(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == menuComponent_) {
        menu_ = nullptr;
        menuComponent_ = nullptr;
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control && (!ContainsControl(Control) || Control == this))
        throw EInvalidOperation("Invalid control for the form's active control");
    activeControl_ = Control;
    if (Control && active_)
        ui::ChangeFocus(Control->Handle());
}

bool TCustomForm::Showing() const { return Visible() && WindowSurface() && WindowSurface()->IsShown(); }

void TCustomForm::SetVisible(bool Value)
{
    if (Visible() == Value)
        return;
    if (Value) {
        HandleNeeded();
        PlaceOnScreen();
        DoShow();
    } else {
        DoHide();
    }
    TControl::SetVisible(Value);
    if (Value)
        ApplySizeLimits();
    UpdateShowing();
}

void TCustomForm::UpdateShowing()
{
    if (!Visible()) {
        if (WindowSurface())
            WindowSurface()->SetShown(false);
        return;
    }
    HandleNeeded();
    ApplyWindowState();
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Controls(i)))
            w->UpdateShowing();
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (WindowSurface())
        WindowSurface()->Activate();
}

void TCustomForm::Hide() { SetVisible(false); }

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || !Enabled() || Modal())
        throw EInvalidOperation("Cannot make a visible window modal");
    HandleNeeded();
    ++modalLevel_;
    ModalResult = mrNone;
    bool wasModal = WindowSurface()->ApplicationModal();
    WindowSurface()->SetApplicationModal(true);
    auto finish = [&] {
        --modalLevel_;
        if (WindowSurface())
            WindowSurface()->SetApplicationModal(wasModal);
    };
    try {
        Show();
        // The keyboard works at once: the first control in tab order has the
        // focus unless the form chose one. The window system activates the
        // window later, or not at all without a window manager.
        if (!activeControl_)
            activeControl_ = FindNextControl(nullptr, true, true);
        FocusActiveControl(*this);
        do {
            Application->HandleMessage();
            if (Application->Terminated())
                ModalResult = mrCancel;
            else if (ModalResult != mrNone)
                CloseModal();
        } while (ModalResult == mrNone);
        Hide();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return ModalResult;
}

void TCustomForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        ModalResult = mrNone;
    else if (action == caFree)
        Release();
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close()
{
    if (Modal()) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    default: Release(); break;
    }
}

void TCustomForm::Release()
{
    auto& list = ReleasedForms();
    if (std::find(list.begin(), list.end(), this) == list.end())
        list.push_back(this);
    ui::PostMessage(nullptr, WM_NULL, 0, 0); // the loop frees it after this message
}

void TCustomForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CLOSE: Close(); return;
    case WM_ACTIVATE:
        if (LOWORD(Message.WParam) != WA_INACTIVE) {
            active_ = true;
            Screen->SetActiveForm(this);
            Activate();
            FocusActiveControl(*this);
        } else {
            active_ = false;
            Deactivate();
        }
        return;
    case WM_SIZE:
        if (Message.WParam == SIZE_MINIMIZED)
            windowState_ = wsMinimized;
        else if (Message.WParam == SIZE_MAXIMIZED)
            windowState_ = wsMaximized;
        else if (WindowSurface() && !WindowSurface()->IsFullScreen())
            windowState_ = wsNormal;
        break;
    case CM_DIALOGKEY:
        if (Message.WParam == VK_TAB && !ui::GetShiftState().Contains(ssCtrl)) {
            Message.Result = SelectNext(activeControl_, !ui::GetShiftState().Contains(ssShift), true) ? 1 : 0;
            return;
        }
        Broadcast(Message);
        // Default and cancel buttons answer Enter and Escape, also on panels.
        if (Message.Result == 0 && PressDialogButton(*this, Message.WParam, Message.LParam))
            Message.Result = 1;
        return;
    case CM_TEXTCHANGED:
        if (WindowSurface())
            WindowSurface()->SetTitle(Caption());
        break;
    default: break;
    }
    TScrollingWinControl::Dispatch(Message);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) { }

void TCustomForm::FreeReleasedForms()
{
    auto& list = ReleasedForms();
    while (!list.empty()) {
        TCustomForm* form = list.back();
        list.pop_back();
        form->BeforeDestruction();
        delete form;
    }
}

// ---------------------------------------------------------------------------
// Window services

namespace ui {

bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control)
        return false;
    if (!(Flags & SWP_NOZORDER)) {
        auto* form = dynamic_cast<TCustomForm*>(control);
        if (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
            if (InsertAfter == HWND_TOPMOST)
                TopMostWindows().insert(Wnd);
            else
                TopMostWindows().erase(Wnd);
            if (form)
                form->ApplyWindowFlags();
        } else if (InsertAfter == HWND_BOTTOM) {
            control->WindowSurface()->Lower();
        } else if (InsertAfter == HWND_TOP) {
            control->WindowSurface()->Raise();
        }
    }
    int x = (Flags & SWP_NOMOVE) ? control->Left() : X;
    int y = (Flags & SWP_NOMOVE) ? control->Top() : Y;
    int cx = (Flags & SWP_NOSIZE) ? control->Width() : CX;
    int cy = (Flags & SWP_NOSIZE) ? control->Height() : CY;
    control->SetBounds(x, y, cx, cy);
    if (Flags & SWP_SHOWWINDOW)
        ShowWindow(Wnd, (Flags & SWP_NOACTIVATE) ? SW_SHOWNOACTIVATE : SW_SHOW);
    if (Flags & SWP_HIDEWINDOW)
        ShowWindow(Wnd, SW_HIDE);
    return true;
}

bool IsWindowTopMost(HWND Wnd)
{
    if (TopMostWindows().count(Wnd))
        return true;
    auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(Wnd));
    return form && form->FormStyle() == fsStayOnTop;
}

bool ShowWindow(HWND Wnd, int CmdShow)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control)
        return false;
    bool wasVisible = control->Visible();
    auto* form = dynamic_cast<TCustomForm*>(control);
    switch (CmdShow) {
    case SW_HIDE: control->SetVisible(false); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        if (form)
            form->SetWindowState(wsMinimized);
        control->SetVisible(true);
        break;
    case SW_SHOWMAXIMIZED:
        if (form)
            form->SetWindowState(wsMaximized);
        control->SetVisible(true);
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (form)
            form->SetWindowState(wsNormal);
        control->SetVisible(true);
        break;
    default: control->SetVisible(true); break;
    }
    return wasVisible;
}

bool IsWindowVisible(HWND Wnd)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    return control && control->Showing();
}

bool IsIconic(HWND Wnd)
{
    auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(Wnd));
    return form && form->WindowState() == wsMinimized;
}

HWND FindWindow(const std::string& ClassName, const std::string& WindowName)
{
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (!f->HandleAllocated())
            continue;
        if (!ClassName.empty() && !f->ClassType()->ClassNameIs(ClassName))
            continue;
        if (!WindowName.empty() && f->Caption() != WindowName)
            continue;
        return f->Handle();
    }
    return nullptr;
}

} // namespace ui
