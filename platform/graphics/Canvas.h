#pragma once
// TCanvas draws on a pixel surface with the raster rules of the classic
// desktop: no anti-aliasing, right and bottom edges of rectangles left out,
// the end point of a line left out. Coordinates are logical; the device point
// is logical - WindowOrg + ViewportOrg. Everything is clipped to the surface
// and to the clip region (device coordinates).
//
// The canvas's text colour is Font.Color and its background colour
// Brush.Color: 1-bit pictures copied onto colour take the text colour for 0
// bits and the background colour for 1 bits; colour copied onto 1 bit turns
// the source canvas's background colour white and all else black. Hatched
// brushes paint their lines only. Pen.Mode applies to the outlines and
// interiors of shapes, not to FillRect, FrameRect or FloodFill.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"
#include "platform/graphics/Types.h"

class TBitmap;
class TGraphic;
namespace gfx::raster {
class BrushPattern;
}

// Raster operations of block copies: (pattern, source, destination) -> result.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGECOPY = 0x00C000CA;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATPAINT = 0x00FB0A09;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFillStyle { fsSurface, fsBorder };

class TPen {
public:
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

class TBrush {
public:
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    // A pattern tiled from the device origin; not owned, overrides Style.
    TBitmap* Bitmap = nullptr;
};

class TCanvas {
public:
    TCanvas();
    explicit TCanvas(TPixelSurface* surface);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas();

    TPixelSurface* Surface() const { return surface_; }
    void SetSurface(TPixelSurface* surface) { surface_ = surface; }
    bool HandleAllocated() const { return surface_ != nullptr; }

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TCopyMode CopyMode = cmSrcCopy;
    int StretchMode = COLORONCOLOR;
    int PolyFillMode = ALTERNATE;

    // Lines and shapes (pen outline, brush interior).
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(const TPoint& p) { penPos_ = p; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    // Brush fills (pen mode not applied).
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void FillRegion(const TRegion& region); // region in logical coordinates
    void FloodFill(int x, int y, TColor color, TFillStyle style);
    void DrawFocusRect(const TRect& r);

    TColor Pixels(int x, int y); // -1 outside the surface or clip
    void SetPixels(int x, int y, TColor color);

    // Block copies in CopyMode (StretchMode decides how sizes differ).
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const TRect& rect, TGraphic& graphic);
    void BrushCopy(const TRect& dest, TBitmap& bitmap, const TRect& sourceRect, TColor color);

    // Text: defined with the text engine.
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);

    // Paints a coverage mask (one byte per pixel, 0 = none, 255 = full) in
    // `color` with its top-left at logical (x, y), clipped.
    void DrawGlyphMask(int x, int y, const std::uint8_t* mask, int width, int height, std::ptrdiff_t stride,
                       TColor color);

    // Clipping in logical coordinates; ClipRect is the box of what may be drawn.
    TRect ClipRect();
    bool HasClipRegion() const { return clip_ != nullptr; }
    // The clip region in device coordinates (nullptr: only the surface bounds).
    const TRegion* ClipRegion() const { return clip_.get(); }
    void SetClipRegion(const TRegion* deviceRegion);
    void IntersectClipRect(const TRect& logical);
    void ExcludeClipRect(const TRect& logical);

    TPoint WindowOrg() const { return windowOrg_; }
    void SetWindowOrg(const TPoint& p) { windowOrg_ = p; }
    TPoint ViewportOrg() const { return viewportOrg_; }
    void SetViewportOrg(const TPoint& p) { viewportOrg_ = p; }
    TPoint LogicalToDevice(int x, int y) const
    {
        return {x - windowOrg_.X + viewportOrg_.X, y - windowOrg_.Y + viewportOrg_.Y};
    }

    // Save/restore of pen, brush, modes, clip and origins; ids count from 1.
    int SaveState();
    bool RestoreState(int id); // negative: relative to the newest

    // Paths (only lines): collected between BeginPath and EndPath, then made
    // the clip region.
    void BeginPath();
    void EndPath();
    bool SelectClipPath(int mode);

    // Serialises drawing from several threads.
    void Lock()
    {
        lock_.lock();
        ++lockCount_;
    }
    void Unlock()
    {
        --lockCount_;
        lock_.unlock();
    }
    bool TryLock();
    int LockCount() const { return lockCount_; }

    // Device clip: the surface bounds intersected with the clip region.
    TRegion DeviceClip();
    TRect ToDevice(const TRect& logical) const;
    // Tells the surface that pixels inside `deviceArea` were drawn.
    void NotifyChanged(const TRect& deviceArea);
    // The brush as block copies and fills lay it.
    gfx::raster::BrushPattern BrushFill();

protected:
    // Called after pixels changed (device rectangle).
    virtual void Changed(const TRect& deviceArea);

private:
    class Painter;
    struct SavedState;
    enum class ArcKind { Arc, Pie, Chord };
    // Makes the region of a shape inside a device box (inset = pen width taken off).
    using ShapeMaker = std::function<TRegion(const TRect& box, int inset)>;

    bool PixelVisible(const TPixelBuffer& buffer, const TPoint& devicePoint) const;
    static TRegion WideLineShape(TPoint a, TPoint b, int width);
    void DrawLineDevice(TPoint a, TPoint b, bool includeEnd);
    void DrawOutlineRegion(const TRegion& frame);
    void DrawStyledOutline(const TRect& box);
    void FillShape(const TRegion& interior);
    void DrawClosedShape(const TRect& logicalBox, const ShapeMaker& make);
    void DrawArcShape(ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    TPixelSurface* surface_ = nullptr;
    std::unique_ptr<TRegion> clip_;
    TPoint windowOrg_;
    TPoint viewportOrg_;
    TPoint penPos_;
    std::vector<SavedState> saved_;
    std::vector<std::vector<TPoint>> path_;
    bool inPath_ = false;
    std::recursive_mutex lock_;
    int lockCount_ = 0;
};

// Device capabilities of a canvas's surface.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

namespace gfx {

// The familiar device calls on canvases. Coordinates are logical of the
// respective canvas. They return false when nothing could be done.
bool BitBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* source, int sx, int sy, std::uint32_t rop);
bool StretchBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* source, int sx, int sy, int sw, int sh,
                std::uint32_t rop);
bool PatBlt(TCanvas& dest, int x, int y, int width, int height, std::uint32_t rop);
// Moves the pixels of `scroll` (clipped to `clip` when given) by (dx, dy) and
// reports the uncovered area that needs repainting as region and box.
bool ScrollDC(TCanvas& canvas, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
              TRect* updateBox);
int SetStretchBltMode(TCanvas& canvas, int mode);
// Copies `sourceRect` of the bitmap scaled into `destRect` (logical), leaving
// the destination where the source pixel has the colour `transparent`.
void TransparentStretchBlt(TCanvas& dest, const TRect& destRect, TBitmap& bitmap, const TRect& sourceRect,
                           TColor transparent);

// BITSPIXEL: the surface's depth (15-bit counts as 16); LOGPIXELS*: 96;
// HORZRES/VERTRES: the surface's size; 0 for anything else or no surface.
int GetDeviceCaps(TCanvas& canvas, int index);

int SaveDC(TCanvas& canvas);
bool RestoreDC(TCanvas& canvas, int id);
int SelectClipRgn(TCanvas& canvas, const TRegion* deviceRegion);
int GetClipBox(TCanvas& canvas, TRect& box);
int IntersectClipRect(TCanvas& canvas, int left, int top, int right, int bottom);
int ExcludeClipRect(TCanvas& canvas, int left, int top, int right, int bottom);
bool SetWindowOrgEx(TCanvas& canvas, int x, int y, TPoint* previous);
bool SetViewportOrgEx(TCanvas& canvas, int x, int y, TPoint* previous);

// Text drawing with DT_* flags; defined with the text engine.
int DrawText(TCanvas& canvas, const std::string& text, TRect& rect, unsigned flags);

} // namespace gfx
