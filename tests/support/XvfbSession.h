#pragma once

// The real programs on a private X server, for the tests and benchmarks that
// start them: child processes with their own environment, an Xvfb server of a
// chosen screen size on a display nobody uses, screenshots of its root window
// and the placement of the windows on it. Header-only, so that a test program
// and a benchmark can share it without a library of their own.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace xvfb {

// True when program can be started from a folder of PATH.
inline bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

// A started program, ended (and reaped) when the object goes.
class TChildProcess {
public:
    // The given variables ("NAME=value") replace inherited ones of the same name.
    TChildProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
    {
        std::vector<std::string> env = extraEnv;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('=') + 1);
            if (std::none_of(extraEnv.begin(), extraEnv.end(),
                             [&](const std::string& given) { return given.compare(0, name.size(), name) == 0; }))
                env.push_back(entry);
        }
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        spawned_ = posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0;
        if (!spawned_)
            pid_ = 0;
    }
    ~TChildProcess() { Stop(); }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    bool Started() const { return spawned_; }
    pid_t Id() const { return pid_; }
    bool Running()
    {
        if (!pid_)
            return false;
        if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = 0;
            return false;
        }
        return true;
    }
    // Waits for the end; false when it ended otherwise than by exit(0).
    bool Wait()
    {
        if (pid_ && ::waitpid(pid_, &status_, 0) == pid_)
            pid_ = 0;
        return ExitedCleanly();
    }
    // Once it has ended: true when by exit(0).
    bool ExitedCleanly() const { return !pid_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0; }
    // Asks the program to end, and makes it end when it does not within 5 s.
    void Stop()
    {
        if (!Running())
            return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 500 && Running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (Running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
            pid_ = 0;
        }
    }

private:
    pid_t pid_ = 0;
    int status_ = -1;
    bool spawned_ = false;
};

// A screenshot: RGB bytes, row after row.
struct TScreenshot {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
    std::array<int, 3> At(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + x) * 3;
        return {Rgb[i], Rgb[i + 1], Rgb[i + 2]};
    }
};

// True when every channel of a pixel read off the screen lies within the
// tolerance of the colour drawn: scaling and dithering move it a little.
inline bool NearColour(const std::array<int, 3>& got, const std::array<int, 3>& want, int tolerance = 40)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > tolerance)
            return false;
    return true;
}

// Where a window lies on the screen.
struct TWindowBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TWindowBox&, const TWindowBox&) = default;
};

// An Xvfb server with one screen of width x height x 24 on the first free
// display from firstDisplay on, and a connection to it; both end with the object.
class TPrivateServer {
public:
    TPrivateServer(int width, int height, int firstDisplay) : width_(width), height_(height)
    {
        namespace fs = std::filesystem;
        for (int n = firstDisplay; n < firstDisplay + 100 && !display_; ++n) {
            const std::string number = std::to_string(n);
            if (fs::exists(std::string("/tmp/.X").append(number).append("-lock")) ||
                fs::exists(std::string("/tmp/.X11-unix/X").append(number)))
                continue;
            name_ = std::string(":").append(number);
            server_ = std::make_unique<TChildProcess>(
                std::vector<std::string>{"Xvfb", name_, "-screen", "0",
                                         std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten",
                                         "tcp"},
                std::vector<std::string>{});
            for (int i = 0; i < 200 && server_->Running() && !display_; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                display_ = XOpenDisplay(name_.c_str());
            }
            if (!display_)
                server_.reset(); // another server took the display first, or this one failed
        }
    }
    ~TPrivateServer()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    TPrivateServer(const TPrivateServer&) = delete;
    TPrivateServer& operator=(const TPrivateServer&) = delete;

    Display* Connection() const { return display_; }
    const std::string& Name() const { return name_; }

    // What a program needs to draw on this server with the desktop toolkit
    // and without a sound device.
    std::vector<std::string> ClientEnv() const
    {
        return {"DISPLAY=" + name_, "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy"};
    }

    // The whole root window; false when the server does not answer.
    bool Grab(TScreenshot& shot) const
    {
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(width_),
                                  static_cast<unsigned>(height_), AllPlanes, ZPixmap);
        if (!image)
            return false;
        shot.Width = width_;
        shot.Height = height_;
        shot.Rgb.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
        std::uint8_t* out = shot.Rgb.data();
        // A 24-bit screen keeps its pixels as 32-bit words, red in the high
        // byte: read them straight; any other layout pixel by pixel.
        const bool words = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
            image->blue_mask == 0xFF && image->byte_order == LSBFirst;
        for (int y = 0; y < height_; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line);
            for (int x = 0; x < width_; ++x) {
                const unsigned long pixel = words ? row[x] : XGetPixel(image, x, y);
                *out++ = static_cast<std::uint8_t>((pixel >> 16) & 0xFF);
                *out++ = static_cast<std::uint8_t>((pixel >> 8) & 0xFF);
                *out++ = static_cast<std::uint8_t>(pixel & 0xFF);
            }
        }
        XDestroyImage(image);
        return true;
    }

    // The windows on the screen (mapped children of the root), in stacking
    // order from the bottom.
    std::vector<TWindowBox> ShownWindows() const
    {
        std::vector<TWindowBox> boxes;
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return boxes;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable)
                boxes.push_back({attributes.x, attributes.y, attributes.width, attributes.height});
        }
        if (children)
            XFree(children);
        return boxes;
    }

private:
    int width_;
    int height_;
    std::string name_;
    std::unique_ptr<TChildProcess> server_;
    Display* display_ = nullptr;
};

} // namespace xvfb
