#pragma once

// Keeping the screen on while something plays: for as long as a TKeepAwake
// lives, the desktop is asked not to blank the screen, start its screen saver
// or lock it. Two requests go out, each where it can be answered: the
// freedesktop screen-saver service on the session bus (desktops that run one
// blank and lock through it), and the X server's own screen saver, suspended
// on X11. Both are released when the object goes.

#include <cstdint>
#include <memory>
#include <string>

namespace ui {

class TKeepAwake {
public:
    // Application and Reason are what the desktop may show about the request.
    TKeepAwake(const std::string& Application, const std::string& Reason);
    ~TKeepAwake();
    TKeepAwake(const TKeepAwake&) = delete;
    TKeepAwake& operator=(const TKeepAwake&) = delete;

    // The screen-saver service on the session bus took the request (its
    // cookie is kept to release it).
    bool ServiceInhibited() const;
    // The X server suspended its screen saver for this program.
    bool XSaverSuspended() const;

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

} // namespace ui
