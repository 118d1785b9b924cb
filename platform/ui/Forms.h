#pragma once

// Forms, the application and the screen: top-level windows with their
// modal loop, the message loop of the program with its hooks, and what is
// known about the display (size, work area, cursors).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Icon.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ScrollBox.h"

enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TEnumSet<TBorderIcon>;
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TPosition : std::uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TMainMenu;

class TCustomForm : public TScrollingWinControl {
    DECLARE_CLASS(TCustomForm, TScrollingWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Fires OnDestroy once. The destructor calls it, but only after the
    // destructors of derived forms have run: a derived form whose OnDestroy
    // handler uses its own members calls it first in its destructor.
    void BeforeDestruction();

    void Show();
    void Hide();
    // Shows the form and runs the message loop until ModalResult is set (or
    // the application terminates); returns the ModalResult. Modal loops nest.
    virtual TModalResult ShowModal();
    // Asks CloseQuery, then OnClose decides what happens: hide, free (later,
    // with Release), minimise or nothing. Closing the main form ends the
    // application.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages being handled are done.
    void Release();

    TModalResult ModalResult = mrNone;
    bool KeyPreview = false;

    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle Value);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons Value);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState Value);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition Value) { position_ = Value; }
    TIcon& Icon() { return *icon_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* Control);
    bool Active() const { return active_; }
    bool Modal() const { return modalLevel_ > 0; }
    // Dots per inch the form was designed at.
    int PixelsPerInch = 96;

    // The menu of the form: its shortcuts work on every control of the form.
    // The menus unit knows the class; the setter is a template so this header
    // needs only its name.
    TMainMenu* Menu() const { return menu_; }
    template <class Menu> void SetMenu(Menu* Value) { SetMenuComponent(Value, Value); }
    void SetMenu(std::nullptr_t) { SetMenuComponent(nullptr, nullptr); }

    // The form's own surface (drawing outside a paint stays until flushed).
    TCanvas* Canvas();
    // Puts what was drawn on the canvas on the screen now.
    void FlushCanvas();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void SetVisible(bool Value) override;
    bool Showing() const override;
    // Asks the window (WM_GETMINMAXINFO) and its Constraints again for the
    // sizes the user's resizing may reach; hooks that answer the query call
    // this when their answer changes.
    void UpdateSizeLimits();
    void UpdateShowing() override;
    // Below the menu bar: the bar takes its room from the client area.
    TRect ClientRect() const override;

    // Brings the window's frame, stay-on-top state and window state in line
    // with the properties.
    void ApplyWindowFlags();
    void ApplyWindowState();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void PaintWindow(TCanvas& DC) override;
    // The menu bar aligns first, above the client area.
    TRect AlignRect() const override;
    // The user's resizing keeps to the limits too.
    void ConstraintsChanged() override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void Loaded() override;

    friend class TApplication;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void SetMenuComponent(TMainMenu* Menu, TComponent* Component);
    // Frees the forms whose Release waited for the end of the message
    // being handled (the application's loop calls it).
    static void FreeReleasedForms();
    void ApplyIcon();
    void ApplySizeLimits();
    int MenuBarHeight() const;
    void PlaceOnScreen();
    void CloseModal();

    TFormStyle formStyle_ = fsNormal;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TWindowState windowState_ = wsNormal;
    TPosition position_ = poDesigned;
    std::unique_ptr<TIcon> icon_;
    TWinControl* activeControl_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TComponent* menuComponent_ = nullptr;
    bool active_ = false;
    int modalLevel_ = 0;
    bool placed_ = false;
    bool destroyFired_ = false;
    TCanvas* paintCanvas_ = nullptr;
};

class TForm : public TCustomForm {
    DECLARE_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner);
};

using TFormClass = TClass;

// A message as TApplication::OnMessage sees it.
using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
    DECLARE_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize();
    // Creates a form owned by the application and stores it in Reference
    // (the first one becomes the main form).
    template <class T> void CreateForm(T*& Reference)
    {
        Reference = new T(this);
        if (!mainForm_)
            mainForm_ = Reference;
    }
    // Shows the main form and handles messages until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every message that is waiting, without waiting for more.
    void ProcessMessages();
    // Handles one message, or waits for one after the idle work.
    void HandleMessage();

    // Shows the exception's text in a message box (silent for EAbort),
    // unless OnException takes it. Call it inside a catch block.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* Form) { mainForm_ = Form; }
    std::string Title;
    std::string ExeName() const;
    std::string Hint;
    bool ShowHint = true;
    int HintPause = 500;
    int HelpContext = 0;

    void Minimize();
    void Restore();
    bool IsMinimized() const { return minimized_; }
    // Takes stay-on-top windows down while a foreign window must come first,
    // and puts them back.
    void NormalizeTopMosts();
    void RestoreTopMosts();
    bool Active() const { return active_; }
    bool TopMostsNormalized() const { return topMostLevel_ > 0; }
    // The hidden window of the application.
    HWND Handle();

    TMessageEvent OnMessage;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

    // Called when the window system changes the application's activation.
    void ActivationChanged(bool active);

private:
    bool ProcessMessage(TMsg& Msg);
    void Idle();
    void WndProc(TMessage& Message);

    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool minimized_ = false;
    bool active_ = false;
    int topMostLevel_ = 0;
    HWND handle_ = nullptr;
};

class TScreen : public TComponent {
    DECLARE_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch = 96;

    // The cursor of the whole application (crDefault: each control's own).
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    // Cursor shapes by number; programs add their own numbers (DefineCursor).
    // A value is a handle made by ui::CreateCursorFromBitmap; numbers without
    // one show the built-in shape of that number.
    std::uintptr_t Cursors(int Index) const;
    void SetCursors(int Index, std::uintptr_t Handle);

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int Index) const;
    TCustomForm* ActiveForm() const { return activeForm_; }

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);

    TCursor cursor_ = crDefault;
    std::map<int, std::uintptr_t> cursors_;
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;

// SetWindowPos placement and flags.
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;

constexpr UINT SPI_GETWORKAREA = 0x0030;

namespace ui {

// A cursor handle for Screen->SetCursors from a picture (pixels of the
// bitmap's transparent colour are see-through when it is Transparent).
std::uintptr_t CreateCursorFromBitmap(TBitmap& Image, int HotX, int HotY);

bool GetCursorPos(TPoint& Point);
bool SetCursorPos(int X, int Y);
// The cursor shows while the counter is >= 0; returns the new counter.
int ShowCursor(bool Show);

// Moves, sizes and orders a window; HWND_TOPMOST / HWND_NOTOPMOST switch the
// stay-on-top state.
bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags);
bool IsWindowTopMost(HWND Wnd);
bool ShowWindow(HWND Wnd, int CmdShow);
bool IsWindowVisible(HWND Wnd);
bool IsIconic(HWND Wnd);
// Finds a top-level window of this program by class name and/or caption
// (empty: any). Windows of other programs, like the desktop's task bar,
// are never found.
HWND FindWindow(const std::string& ClassName, const std::string& WindowName);
// SPI_GETWORKAREA fills the TRect pointed to by Param.
bool SystemParametersInfo(UINT Action, UINT UiParam, void* Param, UINT WinIni);

} // namespace ui

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
