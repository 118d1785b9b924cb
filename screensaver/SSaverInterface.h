#pragma once

// What the launcher asked the screen saver to do: the mode read from the
// command line, the window given with it, and the mouse travel that ends the
// saver. Passwords are the business of the locker that starts the saver, so
// the password services let every check pass and change nothing.

#include "platform/ui/Messages.h"

#include <cstdint>

enum TScreenSaverMode : std::uint8_t {
    ssmNone = 0,           // an unknown switch: nothing happens
    ssmSettings = 1,       // the settings dialog
    ssmPasswordChange = 2, // left to the system's locker
    ssmPreview = 3,        // drawn inside the given window
    ssmRun = 4             // the screen saver itself
};

namespace SSaverInterface {

extern TScreenSaverMode Mode;
extern std::uint32_t WindowNumber; // the window given on the command line; 0 none
extern std::int32_t MouseThreshold;

// Sets Mode and WindowNumber from the command line. A window number that is
// not a number leaves mode none, so a mistyped command does nothing.
void ParseScreenSaverMode();
// The window number given with the switch: the first argument that is not a
// switch, else the switch's own text after its first digit-free characters;
// "" counts as 0. Raises EConvertError for text that is not a number.
std::uint32_t GetWindowNumberParam(char Letter);

void ChangeScreenSaverPassword();
bool VerifyScreenSaverPassword(HWND Window);
// Keeps other screen savers and power saving from starting while On.
void SetScreenSaverRunning(bool On);

// Runs the mode read from the command line to its end.
void StartScreenSaverPackage();

} // namespace SSaverInterface
