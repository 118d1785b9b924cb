#include "platform/ui/RootPixmap.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/DesktopWallpaper.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

// Last: Xlib defines macros (None, Status) that clash with the names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ui {

namespace {

// The picture drawn at the screen's size the way the request places it.
std::unique_ptr<TBitmap> ScreenPicture(const TWallpaperRequest& Request, int Width, int Height)
{
    TPicture picture;
    try {
        picture.LoadFromFile(Request.FileName);
    } catch (const Exception&) {
        return nullptr;
    }
    TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Width() <= 0 || graphic->Height() <= 0)
        return nullptr;
    auto screen = std::make_unique<TBitmap>(Width, Height, pf24bit);
    TCanvas& canvas = screen->Canvas();
    canvas.Brush.Color = RGB(0, 0, 0);
    canvas.FillRect(Rect(0, 0, Width, Height));
    const int w = graphic->Width();
    const int h = graphic->Height();
    switch (Request.Style) {
    case TWallpaperStyle::Stretched: canvas.StretchDraw(Rect(0, 0, Width, Height), *graphic); break;
    case TWallpaperStyle::Centered: canvas.Draw((Width - w) / 2, (Height - h) / 2, *graphic); break;
    case TWallpaperStyle::Scaled: {
        const double scale = std::min(static_cast<double>(Width) / w, static_cast<double>(Height) / h);
        const int sw = std::max(1, static_cast<int>(w * scale));
        const int sh = std::max(1, static_cast<int>(h * scale));
        canvas.StretchDraw(Bounds((Width - sw) / 2, (Height - sh) / 2, sw, sh), *graphic);
        break;
    }
    }
    return screen;
}

// The position of a colour channel in a pixel of the visual: its mask's
// lowest set bit and its width.
struct TChannel {
    int Shift = 0;
    int Bits = 0;
};

TChannel ChannelOf(unsigned long Mask)
{
    TChannel channel;
    while (Mask && !(Mask & 1)) {
        Mask >>= 1;
        ++channel.Shift;
    }
    while (Mask & 1) {
        Mask >>= 1;
        ++channel.Bits;
    }
    return channel;
}

unsigned long Place(std::uint8_t Value, TChannel Channel)
{
    if (Channel.Bits <= 0)
        return 0;
    const unsigned long scaled = Channel.Bits >= 8 ? static_cast<unsigned long>(Value) << (Channel.Bits - 8)
                                                   : static_cast<unsigned long>(Value) >> (8 - Channel.Bits);
    return scaled << Channel.Shift;
}

// Errors of the requests below (a replaced pixmap's owner already gone) are
// expected; the default handler would end the program.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

std::mutex& XlibLock()
{
    static std::mutex lock;
    return lock;
}

class TErrorsIgnored {
public:
    TErrorsIgnored() : previous_(XSetErrorHandler(IgnoreError)) { }
    ~TErrorsIgnored() { XSetErrorHandler(previous_); }
    TErrorsIgnored(const TErrorsIgnored&) = delete;
    TErrorsIgnored& operator=(const TErrorsIgnored&) = delete;

private:
    XErrorHandler previous_;
};

Pixmap PixmapOf(Display* Connection, const TBitmap& Picture)
{
    const int screen = DefaultScreen(Connection);
    Visual* visual = DefaultVisual(Connection, screen);
    const int depth = DefaultDepth(Connection, screen);
    const int width = Picture.Width();
    const int height = Picture.Height();
    XImage* image = XCreateImage(Connection, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image)
        return 0;
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        return 0;
    }
    const TChannel red = ChannelOf(visual->red_mask);
    const TChannel green = ChannelOf(visual->green_mask);
    const TChannel blue = ChannelOf(visual->blue_mask);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = Picture.ScanLine(y); // B, G, R
        for (int x = 0; x < width; ++x, row += 3)
            XPutPixel(image, x, y, Place(row[2], red) | Place(row[1], green) | Place(row[0], blue));
    }
    const Window root = RootWindow(Connection, screen);
    const Pixmap pixmap = XCreatePixmap(Connection, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                        static_cast<unsigned>(depth));
    GC gc = XCreateGC(Connection, pixmap, 0, nullptr);
    XPutImage(Connection, pixmap, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(Connection, gc);
    XDestroyImage(image);
    return pixmap;
}

// The pixmap a root window property names, or 0.
Pixmap PropertyPixmap(Display* Connection, Window Root, Atom Property)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(Connection, Root, Property, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (type == XA_PIXMAP && format == 32 && count == 1)
            pixmap = *reinterpret_cast<Pixmap*>(data);
        XFree(data);
    }
    return pixmap;
}

// A pixmap left by an earlier change is freed with the connection that kept
// it, which holds nothing else.
void FreeReplacedPixmap(Display* Connection, Window Root, Atom RootPixmap, Atom SetRootPixmap)
{
    const Pixmap shown = PropertyPixmap(Connection, Root, RootPixmap);
    const Pixmap kept = PropertyPixmap(Connection, Root, SetRootPixmap);
    if (kept && kept == shown)
        XKillClient(Connection, kept);
}

} // namespace

bool SetRootPixmap(const TWallpaperRequest& Request, const std::string& DisplayName)
{
    if (Request.FileName.empty())
        return false;
    std::lock_guard<std::mutex> guard(XlibLock());
    Display* connection = XOpenDisplay(DisplayName.empty() ? nullptr : DisplayName.c_str());
    if (!connection)
        return false;
    const int screen = DefaultScreen(connection);
    const std::unique_ptr<TBitmap> picture = ScreenPicture(Request, DisplayWidth(connection, screen),
                                                           DisplayHeight(connection, screen));
    const Pixmap pixmap = picture ? PixmapOf(connection, *picture) : 0;
    if (!pixmap) {
        XCloseDisplay(connection);
        return false;
    }
    const Window root = RootWindow(connection, screen);
    const Atom rootPixmap = XInternAtom(connection, "_XROOTPMAP_ID", False);
    const Atom setRootPixmap = XInternAtom(connection, "ESETROOT_PMAP_ID", False);
    {
        const TErrorsIgnored ignored;
        XGrabServer(connection);
        FreeReplacedPixmap(connection, root, rootPixmap, setRootPixmap);
        XSync(connection, False);
        XUngrabServer(connection);
        XSync(connection, False);
    }
    XSetWindowBackgroundPixmap(connection, root, pixmap);
    XClearWindow(connection, root);
    for (const Atom property : {rootPixmap, setRootPixmap})
        XChangeProperty(connection, root, property, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XSetCloseDownMode(connection, RetainPermanent);
    XFlush(connection);
    XCloseDisplay(connection);
    return true;
}

} // namespace ui
