#pragma once

// What the tests of the real editor on a private X server share: starting it
// from a program folder of the test's own, finding its window by title,
// sending it keys, waiting for what it does and reading saved shows back.
// Include it last, after NoTipsAtStart.h and XvfbSession.h (Xlib defines
// macros such as Bool).

#include "tests/editor/NoTipsAtStart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace editor_xvfb {

namespace fs = std::filesystem;

inline std::string ShowDump(const fs::path& file)
{
    std::string out;
    const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + VISTELO_SHOWDUMP + " '" + file.string() +
        "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// The top-level window whose title holds the text (0: none yet).
inline Window FindWindow(Display* display, const std::string& title)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], netName, 0, 1024, False, utf8, &type, &format, &items, &after,
                               &data) == Success &&
            data) {
            if (std::string(reinterpret_cast<char*>(data), items).find(title) != std::string::npos)
                found = children[i];
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

// A key with Ctrl held, as the keyboard would send it to the window.
inline void SendCtrlKey(Display* display, Window window, KeySym key)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    for (int type : {KeyPress, KeyRelease}) {
        XKeyEvent event{};
        event.type = type;
        event.display = display;
        event.window = window;
        event.root = DefaultRootWindow(display);
        event.subwindow = 0;
        event.time = CurrentTime;
        event.x = event.y = event.x_root = event.y_root = 1;
        event.same_screen = True;
        event.state = ControlMask;
        event.keycode = XKeysymToKeycode(display, key);
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent*>(&event));
    }
    XFlush(display);
}

// Waits up to the time for the condition, checking every 200 ms.
inline bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit)
{
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < limit) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return condition();
}

// The top-level window once its title holds the text (0: not within a minute).
inline Window WaitForWindow(Display* display, const std::string& title)
{
    Window window = 0;
    WaitFor([&] { return (window = FindWindow(display, title)) != 0; }, std::chrono::seconds(60));
    return window;
}

// A program folder of the test's own: the editor's home folder is its
// program's folder, and it writes the player's ini there. The program is
// linked in (copied where linking fails); everything else beside it,
// libraries and the player package among them, is reached through links.
inline fs::path OwnProgramFolder(const fs::path& folder)
{
    const fs::path program(VISTELO_PROGRAM);
    const fs::path home = folder / "program";
    fs::create_directories(home);
    std::error_code linkFailed;
    fs::create_hard_link(program, home / program.filename(), linkFailed);
    if (linkFailed)
        fs::copy_file(program, home / program.filename());
    for (const fs::directory_entry& entry : fs::directory_iterator(program.parent_path())) {
        const fs::path name = entry.path().filename();
        if (name != program.filename() && name != "Rollavin.ini")
            fs::create_symlink(entry.path(), home / name);
    }
    return home / program.filename();
}

inline ino_t Inode(const fs::path& file)
{
    struct stat info { };
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

// The environment the editor starts in: the server's, with a registry and a
// data folder inside the test's folder and no tip of the day at the start.
inline std::vector<std::string> EditorEnv(std::vector<std::string> serverEnv, const fs::path& folder)
{
    serverEnv.push_back("ASAN_OPTIONS=detect_leaks=0");
    serverEnv.push_back("VISTELO_REGISTRY=" + (folder / "registry.reg").string());
    TurnTipsOff(folder / "registry.reg");
    serverEnv.push_back("XDG_DATA_HOME=" + (folder / "data").string());
    return serverEnv;
}

// Ctrl+S until the show file is written anew (the save renames a complete
// file over it, so its inode changes). The key is sent again until it takes:
// the start step's logo window may still be up and take the first key itself.
inline bool SavedByCtrlS(Display* display, Window window, const fs::path& show, ino_t written)
{
    int tries = 0;
    return WaitFor(
        [&] {
            if (Inode(show) != written && Inode(show) != 0)
                return true;
            if (tries++ % 5 == 0)
                SendCtrlKey(display, window, XK_s);
            return false;
        },
        std::chrono::seconds(40));
}

} // namespace editor_xvfb
