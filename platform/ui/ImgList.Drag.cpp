// The drag image of image lists: one image that follows the mouse over
// windows while something is dragged.

#include "platform/ui/ImgList.h"

#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Surface.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Controls.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/WindowSurface.h"

namespace ui {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

struct DragImageState {
    std::unique_ptr<TImageList> Image; // one image: the dragged one
    TPoint HotSpot;
    std::unique_ptr<TImageList> Cursor;
    TPoint CursorOffset;
    HWND Lock = nullptr;
    bool Entered = false;
    bool Shown = false;
    TPoint Position; // relative to the lock window's rectangle
};

DragImageState& Drag()
{
    static DragImageState state;
    return state;
}

// The screen position of a window's top left corner (its frame's for a
// top-level window; the screen's origin for none).
TPoint WindowOrigin(HWND window)
{
    if (!window)
        return {};
    TWinControl* control = TWinControl::FindControl(window);
    if (!control || !control->WindowSurface())
        return {};
    return control->WindowSurface()->FrameOrigin().value_or(TPoint{});
}

void ShowDragWindow()
{
    DragImageState& drag = Drag();
    bool visible = drag.Image && drag.Entered && drag.Shown;
    if (!visible) {
        backend::HideDragImage();
        return;
    }
    TPoint origin = WindowOrigin(drag.Lock);
    backend::ShowDragImage(*drag.Image, drag.HotSpot, drag.Cursor.get(), drag.CursorOffset,
                           {origin.X + drag.Position.X, origin.Y + drag.Position.Y});
}

// A list of one image: a copy of the list's image Index with its mask.
std::unique_ptr<TImageList> CopyOfImage(TImageList& list, int index)
{
    auto copy = std::make_unique<TImageList>(list.Width(), list.Height());
    TBitmap picture;
    list.GetBitmap(index, picture);
    TBitmap mask(list.Width(), list.Height(), pf24bit);
    TPixelBuffer maskPixels = mask.PixelBuffer();
    for (int y = 0; y < list.Height(); ++y)
        for (int x = 0; x < list.Width(); ++x)
            gfx::WritePixel(maskPixels, x, y, list.Opaque(index, x, y) ? 0 : kWhite);
    copy->Add(&picture, &mask);
    return copy;
}

} // namespace

bool ImageList_BeginDrag(HIMAGELIST List, int Index, int HotSpotX, int HotSpotY)
{
    if (!List || Index < 0 || Index >= List->Count())
        return false;
    EnsurePlatform();
    ImageList_EndDrag();
    DragImageState& drag = Drag();
    drag.Image = CopyOfImage(*List, Index);
    drag.HotSpot = {HotSpotX, HotSpotY};
    drag.Shown = true;
    return true;
}

bool ImageList_DragEnter(HWND Lock, int X, int Y)
{
    DragImageState& drag = Drag();
    if (!drag.Image)
        return false;
    drag.Lock = Lock;
    drag.Entered = true;
    drag.Shown = true;
    drag.Position = {X, Y};
    ShowDragWindow();
    return true;
}

bool ImageList_DragMove(int X, int Y)
{
    DragImageState& drag = Drag();
    if (!drag.Image)
        return false;
    drag.Position = {X, Y};
    if (drag.Entered)
        ShowDragWindow();
    return true;
}

bool ImageList_DragLeave(HWND Lock)
{
    DragImageState& drag = Drag();
    if (!drag.Image || !drag.Entered || drag.Lock != Lock)
        return false;
    drag.Entered = false;
    drag.Lock = nullptr;
    ShowDragWindow();
    return true;
}

void ImageList_EndDrag()
{
    backend::DestroyDragImage();
    Drag() = DragImageState{};
}

bool ImageList_DragShowNolock(bool Show)
{
    DragImageState& drag = Drag();
    if (!drag.Image)
        return false;
    drag.Shown = Show;
    ShowDragWindow();
    return true;
}

bool ImageList_SetDragCursorImage(HIMAGELIST List, int Index, int DX, int DY)
{
    DragImageState& drag = Drag();
    if (!drag.Image || !List || Index < 0 || Index >= List->Count())
        return false;
    drag.Cursor = CopyOfImage(*List, Index);
    drag.CursorOffset = {DX, DY};
    if (drag.Entered)
        ShowDragWindow();
    return true;
}

HIMAGELIST ImageList_GetDragImage(TPoint* Point, TPoint* HotSpot)
{
    DragImageState& drag = Drag();
    if (!drag.Image)
        return nullptr;
    if (Point)
        *Point = drag.Position;
    if (HotSpot)
        *HotSpot = drag.HotSpot;
    return drag.Image.get();
}

bool DragImageVisible() { return backend::DragImageShown(); }

TRect DragImageScreenRect() { return DragImageVisible() ? backend::DragImageRect() : TRect{}; }

} // namespace ui
