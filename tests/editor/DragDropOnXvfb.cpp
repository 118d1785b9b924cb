// Drag and drop between the real editor and another program, under a private
// Xvfb server without a window manager. The other program is the test
// itself, speaking the X drag-and-drop protocol: a picture dragged out of the
// editor's preview arrives in its drop window as a file URI, and a file it
// drops on the editor joins the picture list (the saved show holds it).
// Skipped only where Xvfb is not installed.

#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "tests/editor/NoTipsAtStart.h"
#include "tests/support/QuadrantPattern.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

// Last: Xlib defines macros such as Bool and None.
#include "tests/editor/EditorOnXvfb.h"
#include "tests/support/XdndPeer.h"
#include "tests/support/XvfbSession.h"

namespace fs = std::filesystem;

using namespace editor_xvfb;

namespace {

constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 800;
// A colour nothing else on the screen has: where it shows, the preview is.
constexpr std::array<int, 3> Lilac{200, 30, 160};

void WriteSolidPicture(const fs::path& file, const std::array<int, 3>& rgb)
{
    TBitmap picture(320, 240, pf24bit);
    picture.Canvas().Brush.Color = RGB(rgb[0], rgb[1], rgb[2]);
    picture.Canvas().FillRect(Rect(0, 0, 320, 240));
    picture.SaveToFile(file.string());
}

// The middle of the area the colour covers on the screen.
bool FindColour(const xvfb::TScreenshot& shot, const std::array<int, 3>& rgb, int& x, int& y)
{
    int left = shot.Width, top = shot.Height, right = -1, bottom = -1;
    for (int row = 0; row < shot.Height; row += 2)
        for (int column = 0; column < shot.Width; column += 2)
            if (xvfb::NearColour(shot.At(column, row), rgb, 8)) {
                left = std::min(left, column);
                right = std::max(right, column);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    if (right - left < 20 || bottom - top < 20)
        return false;
    x = (left + right) / 2;
    y = (top + bottom) / 2;
    return true;
}

void Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

} // namespace

TEST(DragDropOnXvfb, APictureDraggedOutArrivesAsAFileUriAndADroppedFileJoinsTheList)
{
    if (!xvfb::OnPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";

    const fs::path folder = fs::temp_directory_path() / ("vistelo_dnd_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    WriteSolidPicture(folder / "Flieder.bmp", Lilac);
    WriteSolidPicture(folder / "Neu.bmp", {20, 120, 40});
    const fs::path show = folder / "Flieder.vsf";
    {
        TConfigVistelo document;
        pattern::MakeOneSlideShow(document, "Flieder.bmp");
        ASSERT_TRUE(document.SaveToFile(show.string()));
    }

    const xvfb::TPrivateServer server(ScreenWidth, ScreenHeight, 141);
    ASSERT_NE(server.Connection(), nullptr) << "Xvfb did not start";
    Display* display = server.Connection();
    const fs::path program = OwnProgramFolder(folder);
    xvfb::TChildProcess editor({program.string(), show.string()}, EditorEnv(server.ClientEnv(), folder));
    ASSERT_TRUE(editor.Started());

    const Window window = WaitForWindow(display, "Vistelo [Flieder.vsf]");
    ASSERT_NE(window, Window{0}) << "the editor did not show the opened show";

    // Ctrl+A marks the picture, and the preview shows it.
    int previewX = 0, previewY = 0;
    int tries = 0;
    xvfb::TScreenshot shot;
    ASSERT_TRUE(WaitFor(
        [&] {
            if (server.Grab(shot) && FindColour(shot, Lilac, previewX, previewY))
                return true;
            if (tries++ % 5 == 0)
                SendCtrlKey(display, window, XK_a);
            return false;
        },
        std::chrono::seconds(40)))
        << "the preview did not show the marked picture";

    // Out: press on the preview, move past the threshold and over to the
    // drop window, release there.
    xdnd::TDropWindow dropWindow(display, ScreenWidth - 220, 20, 200, 200);
    const auto handle = [&](XEvent& event) { dropWindow.Handle(event); };
    const auto pump = [&](int milliseconds) {
        xdnd::Pump(
            display, handle, [] { return false; }, std::chrono::milliseconds(milliseconds));
    };
    xdnd::MovePointer(display, previewX, previewY);
    Sleep(200);
    xdnd::PressLeftButton(display, true);
    Sleep(200);
    for (int step = 1; step <= 6; ++step) {
        xdnd::MovePointer(display, previewX + 3 * step, previewY);
        pump(80);
    }
    const int dropX = ScreenWidth - 120, dropY = 120;
    for (int step = 1; step <= 20; ++step) {
        xdnd::MovePointer(display, previewX + (dropX - previewX) * step / 20,
                          previewY + (dropY - previewY) * step / 20);
        pump(60);
    }
    for (int wiggle = 0; wiggle < 50 && !dropWindow.Hovered; ++wiggle) {
        xdnd::MovePointer(display, dropX + wiggle % 3, dropY);
        pump(100);
    }
    EXPECT_TRUE(dropWindow.Hovered) << "the drag never reached the drop window";
    xdnd::PressLeftButton(display, false);
    xdnd::Pump(
        display, handle, [&] { return dropWindow.Dropped; }, std::chrono::seconds(15));
    EXPECT_TRUE(dropWindow.OfferedUriList);
    EXPECT_NE(dropWindow.UriList.find("file://" + (folder / "Flieder.bmp").string()), std::string::npos)
        << dropWindow.UriList;

    // In: a file dropped on the preview's panel joins the list; saving shows it.
    const std::string saved = ShowDump(show);
    xdnd::TDragSource source(display, "file://" + (folder / "Neu.bmp").string() + "\r\n");
    EXPECT_TRUE(source.DropOn(window, previewX, previewY, std::chrono::seconds(20))) << "the editor took no drop";
    EXPECT_TRUE(source.Fetched) << "the editor never read the dropped names";
    Sleep(500);
    EXPECT_TRUE(SavedByCtrlS(display, window, show, Inode(show))) << "Ctrl+S did not save the show";
    const std::string dump = ShowDump(show);
    EXPECT_NE(dump.find("Neu.bmp"), std::string::npos) << dump;
    EXPECT_NE(dump.find("Flieder.bmp"), std::string::npos) << "the copy kept the dragged picture: " << dump;
    EXPECT_NE(dump, saved);
    editor.Stop();
    fs::remove_all(folder);
}
