#pragma once

// Which input ends the screen saver. Running, any key or mouse button, a
// close, the pointer travelling more than the threshold from the first
// position seen, and (unless other applications are to be ignored) the
// window losing the activation end it; the commands that would start another
// screen saver or close the window the system's way are swallowed. In the
// preview only a close ends it: the settings window around it stays usable.

#include "platform/ui/Messages.h"

#include <cstdint>

enum TInputReaction : std::uint8_t {
    irPass,    // the window handles the message as usual
    irHandled, // the message is taken and goes no further
    irClose    // the screen saver is to end (the message goes no further)
};

class TScreenSaverInput {
public:
    bool Preview = false;
    bool IgnoreOtherApplications = false;
    std::int32_t Threshold = 5;
    TPoint Origin{-1, -1}; // x = -1: no pointer position seen yet

    // The reaction to a message of the saver's window (or of any of its
    // controls); Cursor is the pointer's screen position when it was sent.
    TInputReaction React(UINT Message, WPARAM WParam, TPoint Cursor);

private:
    TInputReaction PointerMoved(TPoint Cursor);
};
