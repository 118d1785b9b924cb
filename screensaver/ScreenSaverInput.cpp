#include "screensaver/ScreenSaverInput.h"

#include <cstdlib>

namespace {

constexpr WPARAM CommandMask = 0xFFF0;

bool IsKey(UINT Message)
{
    return Message == WM_KEYDOWN || Message == WM_KEYUP || Message == WM_SYSKEYDOWN || Message == WM_SYSKEYUP;
}

bool IsButton(UINT Message)
{
    switch (Message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return true;
    default: return false;
    }
}

} // namespace

TInputReaction TScreenSaverInput::React(UINT Message, WPARAM WParam, TPoint Cursor)
{
    if (Message == WM_CLOSE)
        return irClose;
    if (Preview)
        return irPass;
    if (IsKey(Message) || IsButton(Message))
        return irClose;
    switch (Message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE: return (WParam & 0xFFFF) == 0 && !IgnoreOtherApplications ? irClose : irHandled;
    case WM_SYSCOMMAND: {
        const WPARAM command = WParam & CommandMask;
        return command == SC_SCREENSAVE || command == SC_CLOSE ? irHandled : irPass;
    }
    case WM_MOUSEMOVE: return PointerMoved(Cursor);
    default: return irPass;
    }
}

TInputReaction TScreenSaverInput::PointerMoved(TPoint Cursor)
{
    if (Origin.X == -1) {
        Origin = Cursor;
        return irHandled;
    }
    if (std::abs(Cursor.X - Origin.X) > Threshold || std::abs(Cursor.Y - Origin.Y) > Threshold)
        return irClose;
    return irHandled;
}
