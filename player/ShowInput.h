#pragma once

// How the playback window reacts to the user: keys (also those the comments
// box passes on), mouse clicks on the picture, the cursor hidden while it
// stands still over the picture, and the screen saver kept off while the
// show plays.

#include "platform/ui/Forms.h"

#include <cstdint>

class TShowForm;

class TShowInput {
public:
    // Installs the message hook that keeps the screen saver off; the hook
    // installed before is put back when the object goes.
    explicit TShowInput(TShowForm& Form);
    ~TShowInput();
    TShowInput(const TShowInput&) = delete;
    TShowInput& operator=(const TShowInput&) = delete;

    TMessageEvent SavedOnMessage;
    TPoint MousePos{-1, -1};
    std::uint32_t MouseStillSince = 0;
    bool CursorVisible = true;

    void FormKeyUp(WORD& Key, TShiftState Shift);
    void FormKeyPress(char32_t& Key);
    // Left button: the navigation bar on or off; right button: full screen
    // or a window.
    void DiaImageMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseCaptureTimerTimer();
    void ShowMessageHandler(TMsg& Msg, bool& Handled);
    // Shows the cursor again if it is hidden.
    void ShowCursorAgain();

private:
    TShowForm& form_;
};
