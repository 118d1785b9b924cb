#include "platform/ui/ScreenProbe.h"

#include <memory>

// Last: Xlib defines macros (Bool, None, Status) that clash with other names.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace ui {
namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// The size of the monitor an output shows, if it shows one.
std::optional<TSize> OutputSize(Display* display, XRRScreenResources* resources, RROutput output)
{
    std::optional<TSize> size;
    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
    if (!info)
        return size;
    if (info->crtc != 0) {
        if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc)) {
            if (crtc->width > 0 && crtc->height > 0)
                size = TSize{static_cast<int>(crtc->width), static_cast<int>(crtc->height)};
            XRRFreeCrtcInfo(crtc);
        }
    }
    XRRFreeOutputInfo(info);
    return size;
}

std::optional<TSize> MonitorSize(Display* display)
{
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase))
        return std::nullopt;
    const Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources)
        return std::nullopt;
    std::optional<TSize> size;
    if (const RROutput primary = XRRGetOutputPrimary(display, root); primary != 0)
        size = OutputSize(display, resources, primary);
    for (int i = 0; !size && i < resources->noutput; ++i)
        size = OutputSize(display, resources, resources->outputs[i]);
    XRRFreeScreenResources(resources);
    return size;
}

} // namespace

std::optional<TSize> PrimaryScreenSizeBeforeStart()
{
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display)
        return std::nullopt;
    if (std::optional<TSize> monitor = MonitorSize(display.get()))
        return monitor;
    const int screen = DefaultScreen(display.get());
    return TSize{DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)};
}

} // namespace ui
