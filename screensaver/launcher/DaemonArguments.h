#pragma once

// The command lines of X11 screen-saver daemons in the module's own terms:
// "-root" runs the saver, "-window-id <id>" (hex with 0x, or decimal) draws
// into the given window as the preview does, and so does the window a daemon
// names in XSCREENSAVER_WINDOW when no switch says otherwise. Everything
// else is handed on as it stands.

#include <optional>
#include <string>
#include <vector>

namespace DaemonArguments {

// A window id as daemons write it; nothing for text that is not one or does
// not fit 32 bits.
std::optional<unsigned long> ParseWindowId(const std::string& Text);

// The arguments for the module. EnvWindow is XSCREENSAVER_WINDOW (nullptr
// when unset). Error is set, and the result empty, for a window id that is
// not one.
std::vector<std::string> Translate(const std::vector<std::string>& Args, const char* EnvWindow, std::string& Error);

} // namespace DaemonArguments
