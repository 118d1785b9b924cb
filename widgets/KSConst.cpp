#include "widgets/KSConst.h"

#include <array>
#include <string_view>

#include "platform/rtl/Modules.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Messages.h"

namespace {

// '#' outline (black), '.' fill (white), blank see-through.
constexpr std::array<std::string_view, 22> HandRows = {
    "        ##          ", "       #..#         ", "       #..#         ", "       #..#         ",
    "       #..#         ", "       #..###       ", "       #..#..###    ", "       #..#..#..##  ",
    "       #..#..#..#.# ", "    ## #..#..#..#..#", "   #..##........#..#", "   #...#...........#",
    "    #..............#", "    #..............#", "     #.............#", "     #............# ",
    "      #...........# ", "      #..........#  ", "       #.........#  ", "       #.........#  ",
    "       ###########  ", "                    ",
};

constexpr std::array<std::string_view, 22> DragRows = {
    "#           ", "##          ", "#.#         ", "#..#        ", "#...#       ",  "#....#      ",
    "#.....#     ", "#......#    ", "#.......#   ", "#........#  ", "#.....#####  ", "#..#..#     ",
    "#.# #..#    ", "##  #..#    ", "#    #..#   ", "     #..#   ", "      ##    ",  "   ######## ",
    "   #......# ", "   #......# ", "   #......# ", "   ######## ",
};

template <std::size_t N> std::unique_ptr<TBitmap> Paint(const std::array<std::string_view, N>& Rows)
{
    constexpr int Size = 32;
    auto image = std::make_unique<TBitmap>(Size, Size);
    TCanvas& canvas = image->Canvas();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clFuchsia;
    canvas.FillRect(Rect(0, 0, Size, Size));
    for (std::size_t y = 0; y < Rows.size(); ++y)
        for (std::size_t x = 0; x < Rows[y].size(); ++x) {
            const char c = Rows[y][x];
            if (c != ' ')
                canvas.SetPixels(static_cast<int>(x), static_cast<int>(y), c == '#' ? clBlack : clWhite);
        }
    image->SetTransparentColor(clFuchsia);
    image->SetTransparent(true);
    return image;
}

bool& Registered()
{
    static bool registered = false;
    return registered;
}

// The shapes need the running user interface, so the library's start posts
// itself a message that the first turn of the message loop hands on.
HWND& StartWindow()
{
    static HWND window = nullptr;
    return window;
}

void Start()
{
    StartWindow() = ui::AllocateHWnd([](TMessage& Message) {
        if (Message.Msg == WM_USER)
            KSConst::RegisterCursors();
    });
    ui::PostMessage(StartWindow(), WM_USER, 0, 0);
}

void Finish()
{
    KSConst::UnregisterCursors();
    if (StartWindow())
        ui::DeallocateHWnd(StartWindow());
    StartWindow() = nullptr;
}

const bool moduleInit = (rtl::RegisterModuleInit(Start, Finish), true);

} // namespace

namespace KSConst {

std::unique_ptr<TBitmap> HandCursorImage() { return Paint(HandRows); }
std::unique_ptr<TBitmap> DragCursorImage() { return Paint(DragRows); }

void RegisterCursors()
{
    if (Registered() || !Screen)
        return;
    Screen->SetCursors(crHandCur, ui::CreateCursorFromBitmap(*HandCursorImage(), HandHotSpot.X, HandHotSpot.Y));
    Screen->SetCursors(crDragCur, ui::CreateCursorFromBitmap(*DragCursorImage(), DragHotSpot.X, DragHotSpot.Y));
    Registered() = true;
}

void UnregisterCursors()
{
    if (!Registered() || !Screen)
        return;
    // A number holding the arrow's value counts as free again.
    const std::uintptr_t free = Screen->Cursors(crArrow);
    Screen->SetCursors(crHandCur, free);
    Screen->SetCursors(crDragCur, free);
    Registered() = false;
}

} // namespace KSConst
