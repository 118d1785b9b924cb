#include "core/SmoothBitmap.h"

#include "core/BitmapTools.h"
#include "core/Tools.h"
#include "imageformats/FormatGraphic.h"
#include "imageformats/FormatRegistrations.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <cmath>
#include <memory>

IMPLEMENT_CLASS(TSmoothBitmap)

// Scaling state of one draw.
struct TSmoothBitmap::TScaleState {
    int DestWidth = 0;
    int DestHeight = 0;
    float Xs = 0;
    float Ys = 0;
    std::vector<int> ColumnMap;
    std::vector<std::uint32_t> Upper;
    std::vector<std::uint32_t> Lower;
    int CachedRow = 268435455;       // no row
    std::unique_ptr<TBitmap> Target; // the buffer, or the one-row bitmap
    bool Buffered = false;
    TCanvas* Canvas = nullptr;
    TPoint Origin;
};

namespace {

// Nearest integer, halves to even (the default rounding mode).
inline std::uint32_t Nearest(float x) { return static_cast<std::uint32_t>(std::lrintf(x)); }

inline std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

inline std::uint32_t Blend(std::uint32_t from, std::uint32_t to, float f)
{
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const float a = static_cast<float>(Channel(from, shift));
        const float b = static_cast<float>(Channel(to, shift));
        result |= Nearest(f * (b - a) + a) << shift;
    }
    return result;
}

inline std::uint32_t SourcePixel(const std::uint8_t* row, int x) { return rtl::GetLE24(row + 3 * x); }

// Step of the source per destination pixel; 0 when the source has one pixel.
float Step(int source, int dest)
{
    if (source < 2)
        return 0;
    return 1.0f / (static_cast<float>(dest - 1) / static_cast<float>(source - 1));
}

double NowTime() { return rtl::Now(); }

} // namespace

void TSmoothBitmap::Assign(const TPersistent* source)
{
    TBitmap::Assign(source);
    if (const auto* smooth = dynamic_cast<const TSmoothBitmap*>(source))
        Smooth = smooth->Smooth;
}

void TSmoothBitmap::ReportDrawTime(double start)
{
    if (OnDrawTime)
        OnDrawTime(this, Tools::SubTime(NowTime(), start));
}

void TSmoothBitmap::DrawInherited(TCanvas& canvas, const TRect& rect)
{
    const double start = NowTime();
    TBitmap::Draw(canvas, rect);
    ReportDrawTime(start);
}

void TSmoothBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    const int dw = rect.Right - rect.Left;
    const int dh = rect.Bottom - rect.Top;
    // A destination of one pixel (or mirrored) has no interpolation steps.
    if (!Smooth || BitmapTools::GetBitsPerPixel(*this) != 24 || (Width() == dw && Height() == dh) || Empty() ||
        dw < 2 || dh < 2) {
        DrawInherited(canvas, rect);
        return;
    }
    TScaleState state;
    state.DestWidth = dw;
    state.DestHeight = dh;
    PrepareSmoothScale(state);
    const bool made = SmoothScaleRows(state, canvas, rect);
    if (!DrawToBuffer || RowMode)
        return;
    if (made)
        gfx::BitBlt(canvas, rect.Left, rect.Top, dw, dh, &state.Target->Canvas(), 0, 0, SRCCOPY);
    else
        TBitmap::Draw(canvas, rect);
}

void TSmoothBitmap::PrepareSmoothScale(TScaleState& state) const
{
    state.Xs = Step(Width(), state.DestWidth);
    state.Ys = Step(Height(), state.DestHeight);
    state.ColumnMap.resize(static_cast<std::size_t>(state.DestWidth));
    // A rounding step of the float product must not reach the last pixel:
    // the right neighbour k + 1 has to exist.
    const int lastLeft = std::max(Width() - 2, 0);
    for (int i = 0; i < state.DestWidth; ++i)
        state.ColumnMap[static_cast<std::size_t>(i)] = std::min(static_cast<int>(static_cast<float>(i) * state.Xs),
                                                                lastLeft);
}

bool TSmoothBitmap::SmoothScaleRows(TScaleState& state, TCanvas& canvas, const TRect& rect)
{
    state.Buffered = DrawToBuffer && !RowMode;
    state.Canvas = &canvas;
    state.Origin = Point(rect.Left, rect.Top);
    try {
        state.Target = std::make_unique<TBitmap>(state.DestWidth, state.Buffered ? state.DestHeight : 1, pf32bit);
        const double start = NowTime();
        state.Upper.assign(static_cast<std::size_t>(state.DestWidth), 0);
        state.Lower.assign(static_cast<std::size_t>(state.DestWidth), 0);
        // No yield between rows: on a busy machine each one may hand the core
        // away for a whole time slice, and the slide waits for every row.
        for (int a = 0; a < state.DestHeight; ++a)
            SmoothScaleRow(state, a);
        if (state.Buffered)
            state.Target->PixelsChanged(Rect(0, 0, state.DestWidth, state.DestHeight));
        ReportDrawTime(start);
        return true;
    } catch (...) {
        state.Target.reset();
        return false;
    }
}

// Source row sourceRow interpolated horizontally to the destination width.
void TSmoothBitmap::InterpolateSourceRow(const TScaleState& state, int sourceRow, std::uint32_t* out) const
{
    const std::uint8_t* row = ScanLine(sourceRow);
    const int dw = state.DestWidth;
    const int width = Width();
    if (width < 2) {
        std::fill(out, out + dw - 1, SourcePixel(row, 0));
    } else {
        // The left neighbour is the previous column's right neighbour once k
        // moves on: when shrinking it is not pixel k itself.
        std::uint32_t left = SourcePixel(row, 0);
        std::uint32_t right = 0;
        int previousK = -1;
        for (int i = 0; i < dw - 1; ++i) {
            const int k = state.ColumnMap[static_cast<std::size_t>(i)];
            if (k != previousK && previousK >= 0)
                left = right;
            if (k != previousK)
                right = SourcePixel(row, k + 1);
            previousK = k;
            const float fx = static_cast<float>(i) * state.Xs - static_cast<float>(k);
            out[i] = Blend(left, right, fx);
        }
    }
    out[dw - 1] = SourcePixel(row, width - 1);
}

void TSmoothBitmap::SmoothScaleRow(TScaleState& state, int a)
{
    const float exact = static_cast<float>(a) * state.Ys;
    const int sy = std::min(static_cast<int>(exact), Height() - 1);
    const float fy = exact - static_cast<float>(sy);
    TBitmap& target = *state.Target;
    auto* out = reinterpret_cast<std::uint32_t*>(target.ScanLine(state.Buffered ? a : 0));
    try {
        if (sy != state.CachedRow) {
            const int lower = std::min(sy + 1, Height() - 1);
            if (sy == state.CachedRow + 1) {
                state.Upper.swap(state.Lower);
            } else {
                // Each buffer ends with the last pixel of its own source row,
                // so the right edge does not depend on how rows were reached.
                InterpolateSourceRow(state, sy, state.Upper.data());
            }
            InterpolateSourceRow(state, lower, state.Lower.data());
            state.CachedRow = sy;
        }
        for (int i = 0; i < state.DestWidth; ++i)
            out[i] = Blend(state.Upper[static_cast<std::size_t>(i)], state.Lower[static_cast<std::size_t>(i)], fy);
    } catch (...) {
        DeliverRow(state, a);
        throw;
    }
    DeliverRow(state, a);
}

void TSmoothBitmap::DeliverRow(TScaleState& state, int a)
{
    if (state.Buffered)
        return;
    TBitmap& target = *state.Target;
    target.PixelsChanged(Rect(0, 0, state.DestWidth, 1));
    if (RowMode) {
        if (RowCallback)
            RowCallback(this, a, &target);
        return;
    }
    gfx::BitBlt(*state.Canvas, state.Origin.X, state.Origin.Y + a, state.DestWidth, 1, &target.Canvas(), 0, 0, SRCCOPY);
}

namespace SmoothBitmap {

void RegSmoothBitmap()
{
    // The picture formats' table registers the plain bitmap for "bmp" when it
    // starts. Starting it here first (a later start only counts) makes this
    // registration the last one whatever order the units start in, and
    // entering it in the table lets the table's clean-up withdraw it too.
    if (!FileFormatList)
        FormatRegistrations::Initialize();
    FileFormatList->RegisterFileFormat("bmp", "Bitmaps", "", TFormatTypes{ftRaster}, true,
                                       TSmoothBitmap::StaticClass());
}

} // namespace SmoothBitmap
