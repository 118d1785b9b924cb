// The application: its message loop with the hooks, exceptions, and what
// the whole program does at once (minimise, stay-on-top windows, activation).

#include "platform/ui/Forms.h"

#include "platform/rtl/SysPaths.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/WindowSurface.h"

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
    TCustomForm::FreeReleasedForms();
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
    TCustomForm::FreeReleasedForms();
}

void TApplication::HandleMessage()
{
    try {
        // A worker's call that ran here is work done: waiting now could wait
        // for ever, since that call's wake-up was consumed with it.
        const bool ranWorkerCalls = ui::PumpPlatformEvents();
        TMsg msg;
        if (!ProcessMessage(msg) && !ranWorkerCalls)
            Idle();
    } catch (...) {
        HandleException(this);
    }
    TCustomForm::FreeReleasedForms();
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
