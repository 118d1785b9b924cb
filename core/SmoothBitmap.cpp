#include "core/SmoothBitmap.h"

#include "core/BitmapTools.h"
#include "core/Tools.h"
#include "imageformats/FormatGraphic.h"
#include "imageformats/FormatRegistrations.h"
#include "imageformats/ParallelJobs.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <cmath>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

IMPLEMENT_CLASS(TSmoothBitmap)

// Scaling state of one draw: what every row shares.
struct TSmoothBitmap::TScaleState {
    int DestWidth = 0;
    int DestHeight = 0;
    float Xs = 0;
    float Ys = 0;
    std::vector<int> ColumnMap;
    std::vector<float> ColumnFraction; // how far each column lies past its left neighbour
    std::unique_ptr<TBitmap> Target;   // the buffer, or the one-row bitmap
    bool Buffered = false;
    TCanvas* Canvas = nullptr;
    TPoint Origin;
};

// The source rows one run of destination rows last interpolated.
struct TSmoothBitmap::TRowCache {
    explicit TRowCache(int destWidth)
        : Lefts(static_cast<std::size_t>(destWidth)), Rights(static_cast<std::size_t>(destWidth)),
          Upper(static_cast<std::size_t>(destWidth)), Lower(static_cast<std::size_t>(destWidth))
    { }
    std::vector<std::uint32_t> Lefts; // one source row's neighbours of each column
    std::vector<std::uint32_t> Rights;
    std::vector<std::uint32_t> Upper;
    std::vector<std::uint32_t> Lower;
    int CachedRow = 268435455; // no row
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

// Blends count pixel pairs, each with its own fraction f[i] (or one fraction
// for all when f has a single entry), exactly as Blend does: the same single
// precision steps, rounded to the nearest, halves to even. Four channels at a
// time on SSE2; the fourth is zero in both pixels and stays so.
void BlendPixels(const std::uint32_t* from, const std::uint32_t* to, const float* f, bool oneFraction, int count,
                 std::uint32_t* out)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto channels = [zero](std::uint32_t pixel) {
        const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(pixel));
        return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
    };
    for (; i + 1 < count; i += 2) {
        __m128i result[2];
        for (int k = 0; k < 2; ++k) {
            const __m128 a = channels(from[i + k]);
            const __m128 b = channels(to[i + k]);
            const __m128 fraction = _mm_set1_ps(oneFraction ? f[0] : f[i + k]);
            result[k] = _mm_cvtps_epi32(_mm_add_ps(_mm_mul_ps(fraction, _mm_sub_ps(b, a)), a));
        }
        const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(result[0], result[1]), zero);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), packed);
    }
#endif
    for (; i < count; ++i)
        out[i] = Blend(from[i], to[i], oneFraction ? f[0] : f[i]);
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
    state.ColumnFraction.resize(static_cast<std::size_t>(state.DestWidth));
    for (int i = 0; i < state.DestWidth; ++i) {
        const int k = std::min(static_cast<int>(static_cast<float>(i) * state.Xs), lastLeft);
        state.ColumnMap[static_cast<std::size_t>(i)] = k;
        state.ColumnFraction[static_cast<std::size_t>(i)] = static_cast<float>(i) * state.Xs - static_cast<float>(k);
    }
}

bool TSmoothBitmap::SmoothScaleRows(TScaleState& state, TCanvas& canvas, const TRect& rect)
{
    state.Buffered = DrawToBuffer && !RowMode;
    state.Canvas = &canvas;
    state.Origin = Point(rect.Left, rect.Top);
    try {
        state.Target = std::make_unique<TBitmap>(state.DestWidth, state.Buffered ? state.DestHeight : 1, pf32bit);
        const double start = NowTime();
        if (state.Buffered) {
            ScaleBands(state);
            state.Target->PixelsChanged(Rect(0, 0, state.DestWidth, state.DestHeight));
        } else {
            TRowCache cache(state.DestWidth);
            ScaleRows(state, 0, state.DestHeight, cache);
        }
        ReportDrawTime(start);
        return true;
    } catch (...) {
        state.Target.reset();
        return false;
    }
}

void TSmoothBitmap::ScaleRows(TScaleState& state, int first, int end, TRowCache& cache)
{
    // No yield between rows: on a busy machine each one may hand the core
    // away for a whole time slice, and the slide waits for every row.
    for (int a = first; a < end; ++a)
        SmoothScaleRow(state, cache, a);
}

// The rows of a buffered draw depend on the source alone, so bands of them
// are made on several cores at once: a slide-sized picture takes a fraction
// of the time. Each worker keeps a cache of its own; a row comes out the
// same whichever rows were made before it.
void TSmoothBitmap::ScaleBands(TScaleState& state)
{
    constexpr int BandRows = 64;
    constexpr std::int64_t PixelsWorthSharing = 1 << 18;
    const std::size_t bands = static_cast<std::size_t>((state.DestHeight + BandRows - 1) / BandRows);
    const bool share = static_cast<std::int64_t>(state.DestWidth) * state.DestHeight >= PixelsWorthSharing;
    const unsigned workers = share ? ParallelJobs::Workers(bands) : 1;
    std::vector<std::unique_ptr<TRowCache>> caches(workers);
    ParallelJobs::Run(bands, workers, [&](std::size_t band, unsigned worker) {
        if (!caches[worker])
            caches[worker] = std::make_unique<TRowCache>(state.DestWidth);
        const int first = static_cast<int>(band) * BandRows;
        ScaleRows(state, first, std::min(first + BandRows, state.DestHeight), *caches[worker]);
    });
}

// Source row sourceRow interpolated horizontally to the destination width.
void TSmoothBitmap::InterpolateSourceRow(const TScaleState& state, TRowCache& cache, int sourceRow,
                                         std::uint32_t* out) const
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
        std::uint32_t* lefts = cache.Lefts.data();
        std::uint32_t* rights = cache.Rights.data();
        for (int i = 0; i < dw - 1; ++i) {
            const int k = state.ColumnMap[static_cast<std::size_t>(i)];
            if (k != previousK && previousK >= 0)
                left = right;
            if (k != previousK)
                right = SourcePixel(row, k + 1);
            previousK = k;
            lefts[i] = left;
            rights[i] = right;
        }
        BlendPixels(lefts, rights, state.ColumnFraction.data(), false, dw - 1, out);
    }
    out[dw - 1] = SourcePixel(row, width - 1);
}

void TSmoothBitmap::SmoothScaleRow(TScaleState& state, TRowCache& cache, int a)
{
    const float exact = static_cast<float>(a) * state.Ys;
    const int sy = std::min(static_cast<int>(exact), Height() - 1);
    const float fy = exact - static_cast<float>(sy);
    TBitmap& target = *state.Target;
    auto* out = reinterpret_cast<std::uint32_t*>(target.ScanLine(state.Buffered ? a : 0));
    try {
        if (sy != cache.CachedRow) {
            const int lower = std::min(sy + 1, Height() - 1);
            if (sy == cache.CachedRow + 1) {
                cache.Upper.swap(cache.Lower);
            } else {
                // Each buffer ends with the last pixel of its own source row,
                // so the right edge does not depend on how rows were reached.
                InterpolateSourceRow(state, cache, sy, cache.Upper.data());
            }
            InterpolateSourceRow(state, cache, lower, cache.Lower.data());
            cache.CachedRow = sy;
        }
        BlendPixels(cache.Upper.data(), cache.Lower.data(), &fy, true, state.DestWidth, out);
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
