#pragma once

// Window messages: the handles, message records and constants that the
// system's code reacts to, the process-wide message queue of the main thread
// and the raw window procedures behind every handle.
//
// A handle names a window (a control's window or a hidden message window).
// Each window has a raw window procedure that can be read and replaced, so
// code can subclass a window and pass messages on with CallWindowProc.
// Messages that come from the user (keys, mouse) are posted to the queue and
// reach the windows when the loop dispatches them; everything else is sent.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/graphics/Types.h"

struct HWND__;
using HWND = HWND__*;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;

// The message as a control's WindowProc and message handlers see it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// The record of WM_GETMINMAXINFO (its LParam points to one): the sizes the
// user's resizing and maximising may reach.
struct MINMAXINFO {
    TPoint ptReserved;
    TPoint ptMaxSize;
    TPoint ptMaxPosition;
    TPoint ptMinTrackSize;
    TPoint ptMaxTrackSize;
};

// The message as the queue holds it.
struct TMsg {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    TPoint pt;
    // The character a key-down produces; TranslateMessage posts it as WM_CHAR.
    char32_t keyChar = 0;
    // The modifier keys and buttons held when the input happened (the bits
    // of TShiftState), since there is no keyboard state to ask later.
    std::uint8_t shiftState = 0;
};
using MSG = TMsg;

// A control's replaceable message method.
using TWndMethod = std::function<void(TMessage& Message)>;

// A raw window procedure. Procedures are compared by identity, so a
// subclassing hook can tell whether its own procedure is still installed.
using TWindowProcFunction = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
using WNDPROC = std::shared_ptr<const TWindowProcFunction>;

// Parameter packing as on the original platform.
constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>(static_cast<std::uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi)
{
    return static_cast<WPARAM>(static_cast<std::uint32_t>(MAKELPARAM(lo, hi)));
}
// Signed coordinates of a mouse message.
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<std::int16_t>(l & 0xFFFF); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<std::int16_t>((l >> 16) & 0xFFFF); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<std::int16_t>((w >> 16) & 0xFFFF); }

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
// An edit's formatting rectangle (LParam: a TRect*); EM_SETRECTNP sets it
// without repainting.
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;

constexpr UINT WM_USER = 0x0400;
// Up-down controls: the position (LParam) set without a notification.
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT WM_APP = 0x8000;

// Notifications of the control layer.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 40;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 43;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;

// WM_ACTIVATE states.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND codes.
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// WM_HSCROLL / WM_VSCROLL requests.
constexpr WPARAM SB_LINEUP = 0;
constexpr WPARAM SB_LINELEFT = 0;
constexpr WPARAM SB_LINEDOWN = 1;
constexpr WPARAM SB_LINERIGHT = 1;
constexpr WPARAM SB_PAGEUP = 2;
constexpr WPARAM SB_PAGELEFT = 2;
constexpr WPARAM SB_PAGEDOWN = 3;
constexpr WPARAM SB_PAGERIGHT = 3;
constexpr WPARAM SB_THUMBPOSITION = 4;
constexpr WPARAM SB_THUMBTRACK = 5;
constexpr WPARAM SB_TOP = 6;
constexpr WPARAM SB_BOTTOM = 7;
constexpr WPARAM SB_ENDSCROLL = 8;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// Key state flags of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// WM_NCHITTEST answers.
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;

// Virtual keys.
constexpr WORD VK_LBUTTON = 0x01;
constexpr WORD VK_RBUTTON = 0x02;
constexpr WORD VK_CANCEL = 0x03;
constexpr WORD VK_MBUTTON = 0x04;
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_CLEAR = 0x0C;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_SNAPSHOT = 0x2C;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr WORD VK_LWIN = 0x5B;
constexpr WORD VK_RWIN = 0x5C;
constexpr WORD VK_APPS = 0x5D;
constexpr WORD VK_NUMPAD0 = 0x60;
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SEPARATOR = 0x6C;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F24 = 0x87;
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;
constexpr WORD VK_OEM_PLUS = 0xBB;
constexpr WORD VK_OEM_COMMA = 0xBC;
constexpr WORD VK_OEM_MINUS = 0xBD;
constexpr WORD VK_OEM_PERIOD = 0xBE;

// PeekMessage removal.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

namespace ui {

// Raw windows. A window is registered with its procedure; messages sent or
// dispatched to it go through that procedure.
HWND CreateRawWindow(WNDPROC proc);
// Sends WM_DESTROY, drops the window's queued messages and timers and forgets
// the handle. Unknown handles are ignored.
void DestroyRawWindow(HWND wnd);
bool IsWindow(HWND wnd);
WNDPROC MakeWindowProc(TWindowProcFunction fn);
WNDPROC GetWindowProc(HWND wnd);
// Installs a new procedure and returns the previous one (nullptr when the
// handle is unknown).
WNDPROC SetWindowProc(HWND wnd, WNDPROC proc);
LRESULT CallWindowProc(const WNDPROC& proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// What a window does with a message nobody handled: WM_CLOSE destroys it,
// WM_QUERYENDSESSION agrees, everything else answers 0.
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls the window's procedure at once; 0 for unknown handles.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Appends to the queue; false for a handle that is neither nullptr (a thread
// message) nor a window. May be called from any thread.
bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Posts a message record as the window system delivers input: with its
// time, cursor position and produced character.
void PostInputMessage(const TMsg& msg);
// Posts WM_QUIT with the exit code.
void PostQuitMessage(int exitCode);
// Looks at the first queued message for the window (nullptr: any) whose id is
// in [filterMin, filterMax] (both 0: any id) and takes it out with PM_REMOVE.
// Due timers produce WM_TIMER messages as on the original platform.
bool PeekMessage(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Posts WM_CHAR (WM_SYSCHAR) for a key-down that produces a character.
bool TranslateMessage(const TMsg& msg);
// Hands a queued message to its window's procedure.
LRESULT DispatchMessage(const TMsg& msg);
// The number of queued messages (for tests and diagnostics).
int QueuedMessageCount();

// The position and time recorded for the message being handled.
TPoint GetMessagePos();
DWORD GetMessageTime();
// The modifier state recorded with the input message being handled.
std::uint8_t GetMessageShiftState();

// Called whenever a message is posted, from the posting thread: the event
// loop uses it to wake up.
void SetPostWakeup(std::function<void()> wakeup);

} // namespace ui
