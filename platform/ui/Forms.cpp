#include "platform/ui/Forms.h"

#include <algorithm>
#include <set>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Menus.h"
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

void FreeReleasedForms()
{
    auto& list = ReleasedForms();
    while (!list.empty()) {
        TCustomForm* form = list.back();
        list.pop_back();
        form->BeforeDestruction();
        delete form;
    }
}

int cursorCounter = 0;

void ApplyApplicationCursor()
{
    ui::backend::ShowApplicationCursor(cursorCounter < 0, Screen ? Screen->Cursor() : crDefault);
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
    bool topMost = formStyle_ == fsStayOnTop || TopMostWindows().count(Handle()) != 0;
    frame.StayOnTop = topMost && !Application->TopMostsNormalized();
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
    if (formStyle_ == Value)
        return;
    formStyle_ = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (borderStyle_ == Value)
        return;
    borderStyle_ = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (borderIcons_ == Value)
        return;
    borderIcons_ = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    if (windowState_ == Value)
        return;
    windowState_ = Value;
    if (Showing())
        ApplyWindowState();
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

bool TCustomForm::Showing() const
{
    return Visible() && WindowSurface() && WindowSurface()->IsShown();
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
    if (position_ == poScreenCenter || position_ == poDesktopCenter || (centreOn == nullptr &&
        (position_ == poMainFormCenter || position_ == poOwnerFormCenter)))
        SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
    else if (centreOn)
        SetBounds(centreOn->Left() + (centreOn->Width() - Width()) / 2,
                  centreOn->Top() + (centreOn->Height() - Height()) / 2, Width(), Height());
}

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
    case WM_CLOSE:
        Close();
        return;
    case WM_ACTIVATE:
        if (LOWORD(Message.WParam) != WA_INACTIVE) {
            active_ = true;
            Screen->SetActiveForm(this);
            Activate();
            if (activeControl_ && activeControl_->CanFocus())
                ui::ChangeFocus(activeControl_->Handle());
            else if (HandleAllocated())
                ui::ChangeFocus(Handle());
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
        // Default and cancel buttons answer Enter and Escape.
        Broadcast(Message);
        return;
    case CM_TEXTCHANGED:
        if (WindowSurface())
            WindowSurface()->SetTitle(Caption());
        break;
    default:
        break;
    }
    TScrollingWinControl::Dispatch(Message);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    ui::SetExceptionHandler([this](TObject* Sender) { HandleException(Sender); });
    ui::SetApplicationStateHandler([this](bool active) { ActivationChanged(active); });
}

TApplication::~TApplication()
{
    if (handle_)
        ui::DeallocateHWnd(handle_);
}

void TApplication::Initialize() { ui::EnsurePlatform(); }

HWND TApplication::Handle()
{
    if (!handle_)
        handle_ = ui::AllocateHWnd([this](TMessage& m) { WndProc(m); });
    return handle_;
}

void TApplication::WndProc(TMessage& Message)
{
    Message.Result = ui::DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
}

std::string TApplication::ExeName() const { return rtl::ProgramFile(); }

void TApplication::Run()
{
    ui::EnsurePlatform();
    if (mainForm_)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::Terminate()
{
    terminated_ = true;
    ui::PostQuitMessage(0);
}

bool TApplication::ProcessMessage(TMsg& Msg)
{
    if (!ui::PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    if (OnMessage)
        OnMessage(Msg, handled);
    if (!handled) {
        ui::TranslateMessage(Msg);
        ui::DispatchMessage(Msg);
    }
    FreeReleasedForms();
    return true;
}

void TApplication::ProcessMessages()
{
    try {
        ui::PumpPlatformEvents();
        TMsg msg;
        while (ProcessMessage(msg)) {
        }
    } catch (...) {
        HandleException(this);
    }
    FreeReleasedForms();
}

void TApplication::HandleMessage()
{
    try {
        ui::PumpPlatformEvents();
        TMsg msg;
        if (!ProcessMessage(msg))
            Idle();
    } catch (...) {
        HandleException(this);
    }
    FreeReleasedForms();
}

void TApplication::Idle()
{
    bool done = true;
    if (OnIdle)
        OnIdle(this, done);
    if (done && !terminated_)
        ui::WaitForEvents();
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr error = std::current_exception();
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // Silent by design: the action was given up on purpose.
    } catch (Exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (const std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(Sender, wrapped);
        else
            ShowException(wrapped);
    } catch (...) {
        Exception wrapped("Unbekannter Fehler");
        if (OnException)
            OnException(Sender, wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::ShowException(const std::exception& E)
{
    std::string text = E.what();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    MessageBox(text, Title, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags)
{
    HWND owner = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr;
    return ui::MessageBox(owner, Text, Caption.empty() ? Title : Caption, Flags);
}

void TApplication::Minimize()
{
    if (minimized_)
        return;
    minimized_ = true;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (TCustomForm* f = Screen->Forms(i); f->Showing())
            f->WindowSurface()->ShowInState(ui::TShowState::Minimized);
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Restore()
{
    if (!minimized_)
        return;
    minimized_ = false;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (TCustomForm* f = Screen->Forms(i); f->Visible() && f->WindowSurface())
            f->ApplyWindowState();
    if (OnRestore)
        OnRestore(this);
}

void TApplication::NormalizeTopMosts()
{
    if (topMostLevel_++ == 0)
        for (int i = 0; i < Screen->FormCount(); ++i)
            Screen->Forms(i)->ApplyWindowFlags();
}

void TApplication::RestoreTopMosts()
{
    if (topMostLevel_ > 0 && --topMostLevel_ == 0)
        for (int i = 0; i < Screen->FormCount(); ++i)
            Screen->Forms(i)->ApplyWindowFlags();
}

void TApplication::ActivationChanged(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (TCustomForm* f = Screen->Forms(i); f->HandleAllocated())
            ui::SendMessage(f->Handle(), WM_ACTIVATEAPP, active ? 1 : 0, 0);
    TNotifyEvent& event = active ? OnActivate : OnDeactivate;
    if (event)
        event(this);
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

int TScreen::Width() const { return ui::backend::ScreenRect(false).Width(); }
int TScreen::Height() const { return ui::backend::ScreenRect(false).Height(); }
TRect TScreen::WorkAreaRect() const { return ui::backend::ScreenRect(true); }

void TScreen::SetCursor(TCursor Value)
{
    if (cursor_ == Value)
        return;
    cursor_ = Value;
    ApplyApplicationCursor();
}

std::uintptr_t TScreen::Cursors(int Index) const
{
    auto it = cursors_.find(Index);
    if (it != cursors_.end())
        return it->second;
    // Built-in shapes answer with their own number; unknown ones with the arrow.
    return Index <= 0 && Index >= crSizeAll ? static_cast<std::uintptr_t>(static_cast<std::intptr_t>(Index))
                                            : static_cast<std::uintptr_t>(static_cast<std::intptr_t>(crArrow));
}

void TScreen::SetCursors(int Index, std::uintptr_t Handle) { cursors_[Index] = Handle; }

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return forms_[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* Form) { forms_.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form)
{
    std::erase(forms_, Form);
    if (activeForm_ == Form)
        activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form)
{
    activeForm_ = Form;
    // The most recently active form comes first.
    std::erase(forms_, Form);
    forms_.insert(forms_.begin(), Form);
}

// ---------------------------------------------------------------------------
// Window services

namespace ui {

int ShowCursor(bool Show)
{
    int before = cursorCounter;
    cursorCounter += Show ? 1 : -1;
    if ((before < 0) != (cursorCounter < 0))
        ApplyApplicationCursor();
    return cursorCounter;
}

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

bool SystemParametersInfo(UINT Action, UINT, void* Param, UINT)
{
    if (Action != SPI_GETWORKAREA || !Param)
        return false;
    *static_cast<TRect*>(Param) = Screen->WorkAreaRect();
    return true;
}

} // namespace ui
