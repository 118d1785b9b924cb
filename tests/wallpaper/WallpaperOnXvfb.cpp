// Two ticks of the change on a bare X session (a private X server): the
// root window's pixmap and its picture change with each.

#include "wallpaper/WallPaperShow.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/ui/EventLoop.h"
#include "wallpaper/WallpaperScratch.h"

// Last: Xlib's macros and its Screen type clash with the names above.
#include "tests/support/XvfbSession.h"

#include <X11/Xatom.h>

namespace {

// The root window's pixmap as its property names it; 0 when none.
Pixmap RootPixmapOf(Display* display)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_XROOTPMAP_ID", False), 0, 1,
                           False, XA_PIXMAP, &type, &format, &count, &after, &data) == Success &&
        data) {
        if (count == 1)
            pixmap = *reinterpret_cast<Pixmap*>(data);
        XFree(data);
    }
    return pixmap;
}

TEST(WallpaperOnXvfb, TwoTicksOnABareXSessionChangeTheRootPixmapAndItsPicture)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const xvfb::TPrivateServer server(200, 150, 181);
    ASSERT_NE(server.Connection(), nullptr);
    const testenv::TScopedVariable display("DISPLAY", server.Name());
    const testenv::TScopedVariable desktop("XDG_CURRENT_DESKTOP", "");
    ui::EnsurePlatform();
    TWallpaperScratch scratch;
    TComponent owner(nullptr);
    TWallPaperShow changer(&owner); // with the desktop's own setter
    WallPaperSetup::ShowFilename = scratch.WriteShow("Farben.vsf", {RGB(255, 0, 0), RGB(0, 0, 255)});
    changer.StartShow();
    ASSERT_TRUE(changer.HasPictures());

    xvfb::TScreenshot shot;
    std::vector<Pixmap> pixmaps;
    for (const std::array<int, 3> colour : {std::array<int, 3>{255, 0, 0}, std::array<int, 3>{0, 0, 255}}) {
        changer.WallPaperTimerTimer(true);
        pixmaps.push_back(RootPixmapOf(server.Connection()));
        ASSERT_TRUE(server.Grab(shot));
        EXPECT_TRUE(xvfb::NearColour(shot.At(100, 75), colour, 8));
    }
    EXPECT_NE(pixmaps[0], 0u);
    EXPECT_NE(pixmaps[1], pixmaps[0]);
}

} // namespace
