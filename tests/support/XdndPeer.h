#pragma once

// The other program of a drag and drop on a private X server: a drop window
// that takes what a program under test drags out, and a drag source that
// drops file names on a program's window. Both speak the X drag-and-drop
// protocol (version 5) with plain Xlib, so what they see is what any other
// desktop program would see. The pointer is moved and pressed through the
// XTEST extension, as the user's mouse would be. Header-only, like
// XvfbSession.h; include it after the project's headers (Xlib defines
// macros such as Bool and None).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace xdnd {

constexpr long Version = 5;

struct TAtoms {
    explicit TAtoms(Display* display)
    {
        const auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
        Aware = atom("XdndAware");
        Enter = atom("XdndEnter");
        Position = atom("XdndPosition");
        StatusReply = atom("XdndStatus");
        Leave = atom("XdndLeave");
        Drop = atom("XdndDrop");
        Finished = atom("XdndFinished");
        Selection = atom("XdndSelection");
        ActionCopy = atom("XdndActionCopy");
        TypeList = atom("XdndTypeList");
        UriList = atom("text/uri-list");
        Targets = atom("TARGETS");
        Received = atom("VISTELO_TEST_DROP");
    }
    Atom Aware, Enter, Position, StatusReply, Leave, Drop, Finished, Selection, ActionCopy, TypeList, UriList, Targets,
        Received;
};

inline void SendClientMessage(Display* display, Window to, Atom type, const std::array<long, 5>& data)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = to;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i)
        event.xclient.data.l[i] = data[static_cast<std::size_t>(i)];
    XSendEvent(display, to, False, NoEventMask, &event);
    XFlush(display);
}

// Handles the events waiting for our windows until the condition holds or
// the time runs out; the handler sees each event.
inline bool Pump(Display* display, const std::function<void(XEvent&)>& handle, const std::function<bool()>& done,
                 std::chrono::milliseconds limit)
{
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (std::chrono::steady_clock::now() - start > limit)
            return false;
        if (XPending(display) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        handle(event);
    }
    return true;
}

// A window of its own at the given place on the screen that takes drops
// and keeps the dropped text/uri-list.
class TDropWindow {
public:
    TDropWindow(Display* display, int x, int y, int width, int height) : display_(display), atoms_(display)
    {
        XSetWindowAttributes attributes{};
        attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
        attributes.event_mask = PropertyChangeMask | StructureNotifyMask;
        window_ = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel | CWEventMask, &attributes);
        XStoreName(display, window_, "Ablage");
        const long version = Version;
        XChangeProperty(display, window_, atoms_.Aware, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&version), 1);
        XMapRaised(display, window_);
        XSync(display, False);
    }
    ~TDropWindow() { XDestroyWindow(display_, window_); }
    TDropWindow(const TDropWindow&) = delete;
    TDropWindow& operator=(const TDropWindow&) = delete;

    Window Id() const { return window_; }
    // The drag's source window offered the type list with text/uri-list.
    bool OfferedUriList = false;
    // A position message was answered: the pointer is over us, a release drops.
    bool Hovered = false;
    // The text/uri-list of the drop, once one came.
    bool Dropped = false;
    std::string UriList;

    void Handle(XEvent& event)
    {
        if (event.type == ClientMessage && event.xclient.window == window_)
            HandleMessage(event.xclient);
        else if (event.type == SelectionNotify && event.xselection.requestor == window_)
            ReadDrop(event.xselection);
    }

private:
    void HandleMessage(const XClientMessageEvent& message)
    {
        source_ = static_cast<Window>(message.data.l[0]);
        if (message.message_type == atoms_.Enter) {
            OfferedUriList = false;
            if (message.data.l[1] & 1)
                OfferedUriList = SourceTypesHold(atoms_.UriList);
            for (int i = 2; i < 5; ++i)
                OfferedUriList = OfferedUriList || static_cast<Atom>(message.data.l[i]) == atoms_.UriList;
        } else if (message.message_type == atoms_.Position) {
            Hovered = true;
            SendClientMessage(
                display_, source_, atoms_.StatusReply,
                {static_cast<long>(window_), OfferedUriList ? 1L : 0L, 0, 0, static_cast<long>(atoms_.ActionCopy)});
        } else if (message.message_type == atoms_.Leave) {
            Hovered = false;
        } else if (message.message_type == atoms_.Drop) {
            XConvertSelection(display_, atoms_.Selection, atoms_.UriList, atoms_.Received, window_,
                              static_cast<Time>(message.data.l[2]));
            XFlush(display_);
        }
    }

    bool SourceTypesHold(Atom wanted)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool found = false;
        if (XGetWindowProperty(display_, source_, atoms_.TypeList, 0, 1024, False, XA_ATOM, &type, &format, &count,
                               &after, &data) == Success &&
            data) {
            const auto* types = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count; ++i)
                found = found || types[i] == wanted;
            XFree(data);
        }
        return found;
    }

    void ReadDrop(const XSelectionEvent& selection)
    {
        if (selection.property != 0) {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, window_, atoms_.Received, 0, 1 << 20, True, AnyPropertyType, &type,
                                   &format, &count, &after, &data) == Success &&
                data) {
                UriList.assign(reinterpret_cast<const char*>(data), count);
                XFree(data);
            }
        }
        Dropped = true;
        SendClientMessage(display_, source_, atoms_.Finished,
                          {static_cast<long>(window_), UriList.empty() ? 0L : 1L,
                           static_cast<long>(UriList.empty() ? 0 : atoms_.ActionCopy), 0, 0});
    }

    Display* display_;
    TAtoms atoms_;
    Window window_ = 0;
    Window source_ = 0;
};

// Drops a text/uri-list on a program's top-level window at a point of the
// screen, without moving the pointer: enter, position, and drop once the
// window accepted.
class TDragSource {
public:
    TDragSource(Display* display, std::string uriList) : display_(display), atoms_(display), data_(std::move(uriList))
    {
        window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display, atoms_.Selection, window_, CurrentTime);
        XSync(display, False);
    }
    ~TDragSource() { XDestroyWindow(display_, window_); }
    TDragSource(const TDragSource&) = delete;
    TDragSource& operator=(const TDragSource&) = delete;

    bool Accepted = false;
    bool Finished = false;
    // The program fetched the data.
    bool Fetched = false;

    // Enters the target and moves over (x, y) until it accepts, then drops
    // and waits for its end. False when the target never accepted or finished.
    bool DropOn(Window target, int x, int y, std::chrono::milliseconds limit)
    {
        SendClientMessage(display_, target, atoms_.Enter,
                          {static_cast<long>(window_), Version << 24, static_cast<long>(atoms_.UriList), 0, 0});
        const auto handle = [this](XEvent& event) { Handle(event); };
        for (int step = 0; step < 20 && !Accepted; ++step) {
            SendClientMessage(display_, target, atoms_.Position,
                              {static_cast<long>(window_), 0, (static_cast<long>(x) << 16) | (y + step % 2),
                               CurrentTime, static_cast<long>(atoms_.ActionCopy)});
            Pump(
                display_, handle, [this] { return answered_; }, limit / 20);
            answered_ = false;
        }
        if (!Accepted) {
            SendClientMessage(display_, target, atoms_.Leave, {static_cast<long>(window_), 0, 0, 0, 0});
            return false;
        }
        SendClientMessage(display_, target, atoms_.Drop, {static_cast<long>(window_), 0, CurrentTime, 0, 0});
        return Pump(
            display_, handle, [this] { return Finished; }, limit);
    }

private:
    void Handle(XEvent& event)
    {
        if (event.type == ClientMessage && event.xclient.window == window_) {
            if (event.xclient.message_type == atoms_.StatusReply) {
                answered_ = true;
                Accepted = (event.xclient.data.l[1] & 1) != 0;
            } else if (event.xclient.message_type == atoms_.Finished) {
                Finished = true;
            }
        } else if (event.type == SelectionRequest) {
            Answer(event.xselectionrequest);
        }
    }

    void Answer(const XSelectionRequestEvent& request)
    {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.display = display_;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = request.property ? request.property : request.target;
        if (request.target == atoms_.UriList) {
            XChangeProperty(display_, request.requestor, reply.xselection.property, atoms_.UriList, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data_.data()), static_cast<int>(data_.size()));
            Fetched = true;
        } else if (request.target == atoms_.Targets) {
            const Atom targets[] = {atoms_.Targets, atoms_.UriList};
            XChangeProperty(display_, request.requestor, reply.xselection.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 2);
        } else {
            reply.xselection.property = 0;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
        XFlush(display_);
    }

    Display* display_;
    TAtoms atoms_;
    std::string data_;
    Window window_ = 0;
    bool answered_ = false;
};

// The pointer as the user's mouse moves it.
inline void MovePointer(Display* display, int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XFlush(display);
}

inline void PressLeftButton(Display* display, bool down)
{
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XFlush(display);
}

} // namespace xdnd
