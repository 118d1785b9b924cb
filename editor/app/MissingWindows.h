#pragma once

// The windows the main window's commands open that this build does not have
// yet. Their commands say so in a message instead of doing nothing; once a
// window is built its command opens it and its entry leaves this list.

#include <string>

namespace MissingWindows {

enum TMissingWindow {
    mwShowOptions,
};

// "… ist noch nicht verfügbar." for the window.
std::string NotAvailableText(TMissingWindow Window);
// Shows that text in a message.
void SayNotAvailable(TMissingWindow Window);

} // namespace MissingWindows
