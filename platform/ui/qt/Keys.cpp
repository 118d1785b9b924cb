#include "platform/ui/qt/Keys.h"

namespace ui {

WORD VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers)
{
    bool keypad = (modifiers & Qt::KeypadModifier) != 0;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<WORD>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<WORD>(keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : 0;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    default: return 0;
    }
}

int QtKeyOf(WORD vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk < VK_F1 + 24)
        return Qt::Key_F1 + (vk - VK_F1);
    static const int keys[] = {
        Qt::Key_Escape,  Qt::Key_Tab,   Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Insert,   Qt::Key_Delete,
        Qt::Key_Pause,   Qt::Key_Print, Qt::Key_Clear,     Qt::Key_Home,   Qt::Key_End,      Qt::Key_Left,
        Qt::Key_Up,      Qt::Key_Right, Qt::Key_Down,      Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Shift,
        Qt::Key_Control, Qt::Key_Alt,   Qt::Key_Meta,      Qt::Key_Menu,   Qt::Key_Space,
    };
    for (int key : keys)
        if (VirtualKeyOf(key, {}) == vk)
            return key;
    return 0;
}

Qt::KeyboardModifiers ModifiersOf(TShiftState shift)
{
    Qt::KeyboardModifiers mods;
    if (shift.Contains(ssShift))
        mods |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl))
        mods |= Qt::ControlModifier;
    if (shift.Contains(ssAlt))
        mods |= Qt::AltModifier;
    return mods;
}

} // namespace ui
