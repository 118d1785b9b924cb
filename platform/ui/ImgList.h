#pragma once

// Image lists: many small pictures of one size, each with a mask of its
// see-through pixels, drawn onto any canvas. One image may also be the drag
// image that follows the mouse over windows while something is dragged.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/rtl/Classes.h"
#include "platform/ui/Messages.h"

class TBitmap;

enum TDrawingStyle : std::uint8_t { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType : std::uint8_t { itImage, itMask };

class TImageList : public TComponent {
    DECLARE_CLASS(TImageList, TComponent)
public:
    explicit TImageList(TComponent* AOwner);
    TImageList(int AWidth, int AHeight);
    ~TImageList() override;

    // Changing the size of the images empties the list.
    int Width() const { return width_; }
    void SetWidth(int Value);
    int Height() const { return height_; }
    void SetHeight(int Value);
    int Count() const;

    // Without Masked every pixel of an image is drawn.
    bool Masked = true;
    // clNone: see-through pixels show what lies below; else they get this colour.
    TColor BkColor = clNone;
    TDrawingStyle DrawingStyle = dsNormal;
    TImageType ImageType = itImage;

    // A picture wider than the list's width adds one image per full width
    // (at least one); a narrower or lower one fills the image from its top
    // left and leaves the rest see-through. Mask pixels that are white mark
    // see-through pixels; without a mask every pixel is opaque. Returns the
    // index of the first image added.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Pixels of MaskColor become see-through; clDefault takes the picture's
    // own transparent colour, clNone adds without see-through pixels.
    int AddMasked(TBitmap& Image, TColor MaskColor);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap& NewImage, TColor MaskColor);
    void Delete(int Index);
    void Clear();
    void Assign(const TPersistent* Source) override;

    // Draws the image with its top left at (X, Y). A disabled image is drawn
    // in greys. itMask draws the mask: opaque pixels black, the others white.
    void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas& Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);
    // The image on a bitmap of the list's size, see-through pixels in BkColor
    // (black with clNone).
    void GetBitmap(int Index, TBitmap& Image);
    // Whether a pixel of an image is opaque.
    bool Opaque(int Index, int X, int Y) const;

    // The list reports added, replaced, deleted and cleared images.
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    struct Image;
    void CheckIndex(int Index) const;
    Image MakeImage(TBitmap& Source, int SourceX, const std::vector<bool>* Opaque) const;
    std::vector<Image> ImagesOf(TBitmap& Source, const std::vector<bool>* Opaque) const;
    void DrawMasked(TCanvas& Canvas, int X, int Y, const Image& Picture, TColor Background);
    void DrawDisabled(TCanvas& Canvas, int X, int Y, const Image& Picture);
    void DrawMask(TCanvas& Canvas, int X, int Y, const Image& Picture);

    int width_ = 16;
    int height_ = 16;
    std::vector<Image> images_;
};

using HIMAGELIST = TImageList*;

namespace ui {

// The drag image: one image of a list follows the mouse while a drag goes
// on. BeginDrag copies the image (the list may change or go meanwhile), so
// the drag image stays valid until EndDrag. DragEnter shows it over a
// window (nullptr: the screen) at a point relative to that window's
// rectangle; DragMove moves it there; DragLeave takes it off again.
bool ImageList_BeginDrag(HIMAGELIST List, int Index, int HotSpotX, int HotSpotY);
bool ImageList_DragEnter(HWND Lock, int X, int Y);
bool ImageList_DragMove(int X, int Y);
bool ImageList_DragLeave(HWND Lock);
void ImageList_EndDrag();
// Shows or hides the image without leaving the window it is over.
bool ImageList_DragShowNolock(bool Show);
// Puts an image of another list (a cursor) onto the drag image, its top
// left at (DX, DY) from the drag image's hot spot.
bool ImageList_SetDragCursorImage(HIMAGELIST List, int Index, int DX, int DY);
// The list holding the drag image while a drag goes on (nullptr otherwise);
// Point gets the drag position, HotSpot the image's hot spot.
HIMAGELIST ImageList_GetDragImage(TPoint* Point, TPoint* HotSpot);

// For the layer and tests: whether the drag image is on screen and where.
bool DragImageVisible();
TRect DragImageScreenRect();

} // namespace ui
