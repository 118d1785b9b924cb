#include "core/BitmapTools.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

void TBitmapProgress::SetProgress(std::int32_t value)
{
    Position = value;
    if (OnProgress)
        OnProgress(nullptr);
}

namespace BitmapTools {

std::unique_ptr<TBitmapProgress> BitmapProgress = std::make_unique<TBitmapProgress>();

namespace {

// Half to even, as every rounding of these routines.
std::int64_t N(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

std::uint8_t ClampByte(std::int64_t value)
{
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

// Reports the start, each row and the end of an operation to BitmapProgress.
class ProgressRun {
public:
    explicit ProgressRun(std::int32_t maximum)
    {
        if (BitmapProgress) {
            BitmapProgress->Maximum = maximum;
            BitmapProgress->SetProgress(0);
        }
    }
    ~ProgressRun()
    {
        if (BitmapProgress)
            BitmapProgress->SetProgress(0);
    }
    ProgressRun(const ProgressRun&) = delete;
    ProgressRun& operator=(const ProgressRun&) = delete;

    static void Step(std::int32_t done)
    {
        if (BitmapProgress)
            BitmapProgress->SetProgress(done);
    }
};

bool Is24Bit(const TBitmap& bitmap) { return !bitmap.Empty() && bitmap.BitsPerPixel() == 24; }

// Copies one pixel of any depth between rows; pixels below 8 bits are packed
// from the high bits of each byte.
void CopyPixel(const std::uint8_t* fromRow, int fromX, std::uint8_t* toRow, int toX, int bitsPerPixel)
{
    if (bitsPerPixel >= 8) {
        const int bytes = (bitsPerPixel + 7) / 8;
        std::memcpy(toRow + static_cast<std::size_t>(toX) * bytes, fromRow + static_cast<std::size_t>(fromX) * bytes,
                    static_cast<std::size_t>(bytes));
        return;
    }
    const int perByte = 8 / bitsPerPixel;
    const int mask = (1 << bitsPerPixel) - 1;
    const int fromShift = (perByte - 1 - fromX % perByte) * bitsPerPixel;
    const int toShift = (perByte - 1 - toX % perByte) * bitsPerPixel;
    const int value = (fromRow[fromX / perByte] >> fromShift) & mask;
    std::uint8_t& to = toRow[toX / perByte];
    to = static_cast<std::uint8_t>((to & ~(mask << toShift)) | (value << toShift));
}

std::unique_ptr<TBitmap> EmptyLike(const TBitmap& bitmap, int width, int height)
{
    auto result = std::make_unique<TBitmap>();
    result->SetPixelFormat(bitmap.PixelFormat());
    if (!bitmap.Palette().empty())
        result->SetPalette(bitmap.Palette());
    result->SetSize(width, height);
    return result;
}

// A quarter turn: `place` maps a source pixel to its result position.
template <typename Place> std::unique_ptr<TBitmap> RotateQuarter(TBitmap& bitmap, Place place)
{
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    auto result = EmptyLike(bitmap, h, w);
    const int bits = bitmap.BitsPerPixel();
    ProgressRun progress(h);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const TPoint to = place(x, y, w, h);
            CopyPixel(row, x, result->ScanLine(to.Y), to.X, bits);
        }
        ProgressRun::Step(y + 1);
    }
    return result;
}

struct TKernel {
    int Width;
    int Height;
    std::int32_t Weights[15][15];
};

// A size x size kernel of equal weights.
TKernel Uniform(int size)
{
    TKernel kernel{size, size, {}};
    for (int i = 0; i < size; ++i)
        for (int k = 0; k < size; ++k)
            kernel.Weights[i][k] = 1;
    return kernel;
}

std::int32_t WeightSum(const TKernel& kernel)
{
    std::int32_t sum = 0;
    for (int i = 0; i < kernel.Height; ++i)
        for (int k = 0; k < kernel.Width; ++k)
            sum += kernel.Weights[i][k];
    return sum;
}

// Source rows widened by the kernel's radius on both sides (edge pixels
// repeated), so that every tap reads a contiguous run of bytes. Only the
// rows under the kernel are kept; each source row is widened once.
class TPaddedRows {
public:
    TPaddedRows(const TBitmap& bitmap, int radiusX, int height)
        : bitmap_(bitmap), radius_(radiusX), width_(bitmap.Width()),
          rowBytes_(static_cast<std::size_t>(width_ + 2 * radiusX) * 3),
          rows_(static_cast<std::size_t>(height), std::vector<std::uint8_t>(rowBytes_)),
          sources_(static_cast<std::size_t>(height), -1)
    { }

    // The widened source row y (clamped to the picture), kept in `slot`.
    const std::uint8_t* Row(int slot, int y)
    {
        const int source = std::clamp(y, 0, bitmap_.Height() - 1);
        std::vector<std::uint8_t>& row = rows_[static_cast<std::size_t>(slot)];
        int& held = sources_[static_cast<std::size_t>(slot)];
        if (held != source) {
            const std::uint8_t* from = bitmap_.ScanLine(source);
            std::memcpy(row.data() + static_cast<std::size_t>(radius_) * 3, from, static_cast<std::size_t>(width_) * 3);
            for (int i = 0; i < radius_; ++i) {
                std::memcpy(row.data() + static_cast<std::size_t>(i) * 3, from, 3);
                std::memcpy(row.data() + static_cast<std::size_t>(radius_ + width_ + i) * 3,
                            from + static_cast<std::size_t>(width_ - 1) * 3, 3);
            }
            held = source;
        }
        return row.data();
    }

private:
    const TBitmap& bitmap_;
    int radius_;
    int width_;
    std::size_t rowBytes_;
    std::vector<std::vector<std::uint8_t>> rows_;
    std::vector<int> sources_;
};

// acc[j] += weight * from[j]: blocks of a fixed length, which the compiler
// turns into vector code at every optimisation level.
void AddWeighted(std::int32_t* acc, const std::uint8_t* from, std::int32_t weight, std::size_t count)
{
    constexpr std::size_t Block = 16;
    std::size_t j = 0;
    for (; j + Block <= count; j += Block)
        for (std::size_t t = 0; t < Block; ++t)
            acc[j + t] += weight * from[j + t];
    for (; j < count; ++j)
        acc[j] += weight * from[j];
}

// Each output byte is the weighted sum of the kernel's cells around it (edge
// pixels repeated outward), divided by the sum of the weights. The sums of a
// row are gathered tap by tap over whole rows, which the compiler turns into
// vector code; the division is a table of quotients.
std::unique_ptr<TBitmap> FilterBitmapKernel(const TBitmap& bitmap, const TKernel& kernel)
{
    const std::int32_t sum = WeightSum(kernel);
    if (!Is24Bit(bitmap) || sum <= 0)
        return nullptr;
    try {
        const int w = bitmap.Width();
        const int h = bitmap.Height();
        auto result = EmptyLike(bitmap, w, h);
        const int rx = kernel.Width / 2;
        const int ry = kernel.Height / 2;
        struct Tap {
            int Row, Column;
            std::int32_t Weight;
        };
        std::vector<Tap> taps;
        for (int i = 0; i < kernel.Height; ++i)
            for (int k = 0; k < kernel.Width; ++k)
                if (kernel.Weights[i][k] != 0)
                    taps.push_back({i, k, kernel.Weights[i][k]});
        std::int32_t largest = 0;
        for (const Tap& tap : taps)
            largest += std::max(tap.Weight, 0) * 255;
        std::vector<std::uint8_t> quotient(static_cast<std::size_t>(largest) + 1);
        for (std::size_t a = 0; a < quotient.size(); ++a)
            quotient[a] = ClampByte(static_cast<std::int64_t>(a) / sum);
        const bool negative = std::any_of(taps.begin(), taps.end(), [](const Tap& t) { return t.Weight < 0; });
        TPaddedRows padded(bitmap, rx, kernel.Height);
        const std::size_t bytes = static_cast<std::size_t>(w) * 3;
        std::vector<std::int32_t> acc(bytes);
        std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(kernel.Height));
        ProgressRun progress(h);
        for (int y = 0; y < h; ++y) {
            for (int i = 0; i < kernel.Height; ++i) {
                // Slots by source row, so a row stays in its slot while the
                // kernel moves down over it.
                const int source = y - ry + i;
                const int slot = ((source % kernel.Height) + kernel.Height) % kernel.Height;
                rows[static_cast<std::size_t>(i)] = padded.Row(slot, source);
            }
            std::fill(acc.begin(), acc.end(), 0);
            std::int32_t* a = acc.data();
            for (const Tap& tap : taps) {
                const std::uint8_t* from = rows[static_cast<std::size_t>(tap.Row)] +
                    static_cast<std::size_t>(tap.Column) * 3;
                AddWeighted(a, from, tap.Weight, bytes);
            }
            std::uint8_t* out = result->ScanLine(y);
            if (negative)
                for (std::size_t j = 0; j < bytes; ++j)
                    out[j] = ClampByte(a[j] / sum);
            else
                for (std::size_t j = 0; j < bytes; ++j)
                    out[j] = quotient[static_cast<std::size_t>(a[j])];
            ProgressRun::Step(y + 1);
        }
        return result;
    } catch (...) {
        return nullptr;
    }
}

using GammaTable = std::array<std::uint8_t, 256>;

// 255 * (i / 255)^exponent, kept in 0..255: a negative exponent makes 0
// infinite and a NaN exponent is meaningless, neither may reach the
// integer conversion.
GammaTable MakeGammaTable(double exponent)
{
    GammaTable table{};
    for (int i = 0; i < 256; ++i) {
        double value = 255.0 * std::pow(i / 255.0, exponent);
        if (!(value >= 0.0))
            value = 0.0;
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(N(std::min(value, 255.0)));
    }
    return table;
}

// Two neighbouring bytes through one lookup: `low` maps the first byte,
// `high` the second.
using PairTable = std::vector<std::uint16_t>;

PairTable MakePairTable(const GammaTable& low, const GammaTable& high)
{
    PairTable pairs(65536);
    for (std::size_t h = 0; h < 256; ++h)
        for (std::size_t l = 0; l < 256; ++l)
            pairs[h << 8 | l] = static_cast<std::uint16_t>(high[h] << 8 | low[l]);
    return pairs;
}

inline void MapPair(std::uint8_t* p, const std::uint16_t* pairs)
{
    const std::uint16_t mapped = pairs[p[0] | p[1] << 8];
    p[0] = static_cast<std::uint8_t>(mapped);
    p[1] = static_cast<std::uint8_t>(mapped >> 8);
}

// tables[c] is applied to byte c of every pixel. Large pictures go two bytes
// per lookup: six bytes (two pixels) are the pairs (0, 1), (2, 0), (1, 2).
void ApplyTables(TBitmap& bitmap, const std::array<GammaTable, 3>& tables)
{
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const GammaTable t0 = tables[0];
    const GammaTable t1 = tables[1];
    const GammaTable t2 = tables[2];
    const bool paired = static_cast<std::int64_t>(w) * h >= 65536;
    const PairTable p01 = paired ? MakePairTable(t0, t1) : PairTable();
    const PairTable p20 = paired ? MakePairTable(t2, t0) : PairTable();
    const PairTable p12 = paired ? MakePairTable(t1, t2) : PairTable();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        int x = 0;
        if (paired)
            for (; x + 1 < w; x += 2, p += 6) {
                MapPair(p, p01.data());
                MapPair(p + 2, p20.data());
                MapPair(p + 4, p12.data());
            }
        for (; x < w; ++x, p += 3) {
            p[0] = t0[p[0]];
            p[1] = t1[p[1]];
            p[2] = t2[p[2]];
        }
    }
    bitmap.PixelsChanged(Rect(0, 0, w, h));
}

void Dither(TBitmap& bitmap, int bytesPerPixel)
{
    if (bitmap.Empty() || bitmap.BitsPerPixel() != bytesPerPixel * 8)
        return;
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    ProgressRun progress(h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x, p += bytesPerPixel)
            for (int c = 0; c < 3; ++c) {
                // From 56 on the range is 1 or less and Random gives 0: the
                // byte stays as it is.
                if (p[c] < 247 && Random(8 - p[c] / 8) > 0)
                    p[c] = static_cast<std::uint8_t>(p[c] + 8);
            }
        ProgressRun::Step(y + 1);
    }
    bitmap.PixelsChanged(Rect(0, 0, w, h));
}

// Runs `change` on every B,G,R pixel of a 24-bit bitmap, reporting rows.
template <typename Change> void ForEachPixel24(TBitmap& bitmap, Change change)
{
    if (!Is24Bit(bitmap))
        return;
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    ProgressRun progress(h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3)
            change(p);
        ProgressRun::Step(y + 1);
    }
    bitmap.PixelsChanged(Rect(0, 0, w, h));
}

} // namespace

std::unique_ptr<TBitmap> PicToBMP(TPicture& picture)
{
    TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Empty())
        return nullptr;
    auto bitmap = std::make_unique<TBitmap>();
    if (dynamic_cast<TBitmap*>(graphic) || dynamic_cast<TJPEGImage*>(graphic)) {
        bitmap->Assign(graphic);
    } else {
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetSize(graphic->Width(), graphic->Height());
        bitmap->Canvas().Draw(0, 0, *graphic);
    }
    return bitmap;
}

std::size_t FirstBitmapByte(TBitmap& bitmap, std::uint8_t*& first)
{
    first = nullptr;
    if (bitmap.Empty())
        return 0;
    std::uint8_t* const top = bitmap.ScanLine(0);
    std::uint8_t* const bottom = bitmap.ScanLine(bitmap.Height() - 1);
    first = std::min(top, bottom);
    const std::size_t rowBytes = (static_cast<std::size_t>(bitmap.Width()) * GetBitsPerPixel(bitmap) + 7) / 8;
    return static_cast<std::size_t>(std::max(top, bottom) - first) + rowBytes;
}

TColor Darken(TColor color, std::uint8_t n)
{
    const TColor rgb = ColorToRGB(color);
    const auto darker = [n](int byte) { return std::max(byte - n, 0); };
    return RGB(darker(GetRValue(rgb)), darker(GetGValue(rgb)), darker(GetBValue(rgb)));
}

TColor DarkenPercent(TColor color, int percent)
{
    const TColor rgb = ColorToRGB(color);
    const auto scaled = [percent](int byte) { return ClampByte(N(static_cast<double>(byte) * percent * 0.01)); };
    return RGB(scaled(GetRValue(rgb)), scaled(GetGValue(rgb)), scaled(GetBValue(rgb)));
}

std::unique_ptr<TBitmap> RotateBitmapFree(TBitmap& bitmap, double angle, int centreX, int centreY, TColor background)
{
    // Work on 24-bit pixels whatever the source's depth.
    std::unique_ptr<TBitmap> converted;
    TBitmap* source = &bitmap;
    if (bitmap.BitsPerPixel() != 24) {
        converted = std::make_unique<TBitmap>();
        converted->Assign(&bitmap);
        converted->SetPixelFormat(pf24bit);
        source = converted.get();
    }
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    auto result = std::make_unique<TBitmap>();
    result->SetPixelFormat(pf24bit);
    result->SetSize(w, h);
    const std::uint32_t rgb = gfx::ColorToPixelRGB(background);
    const std::uint8_t fill[3] = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                  static_cast<std::uint8_t>(rgb)};
    const double theta = -angle * std::numbers::pi / 180.0;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    ProgressRun progress(h);
    int done = 0;
    // Offsets from the centre are doubled so that pixel centres are integers.
    for (int y = h - 1; y >= 0; --y) {
        std::uint8_t* out = result->ScanLine(y);
        const double dy = 2.0 * y - 2.0 * centreY + 1;
        for (int x = w - 1; x >= 0; --x) {
            const double dx = 2.0 * x - 2.0 * centreX + 1;
            const std::int64_t sx = (N(dx * c - dy * s) - 1) / 2 + centreX;
            const std::int64_t sy = (N(dx * s + dy * c) - 1) / 2 + centreY;
            const std::uint8_t* from = fill;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                from = source->ScanLine(static_cast<int>(sy)) + sx * 3;
            std::memcpy(out + static_cast<std::size_t>(x) * 3, from, 3);
        }
        ProgressRun::Step(++done);
    }
    return result;
}

std::unique_ptr<TBitmap> Rotate90DegreesCounterClockwise(TBitmap& bitmap)
{
    return RotateQuarter(bitmap, [](int x, int y, int w, int) { return Point(y, w - 1 - x); });
}

std::unique_ptr<TBitmap> Rotate270DegreesCounterClockwise(TBitmap& bitmap)
{
    return RotateQuarter(bitmap, [](int x, int y, int, int h) { return Point(h - 1 - y, x); });
}

void VertMirrorBitmap(TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    const int w = bitmap.Width();
    const int bits = bitmap.BitsPerPixel();
    ProgressRun progress(w);
    // One column is kept aside while its partner moves over.
    std::vector<std::uint8_t> column(static_cast<std::size_t>(gfx::BitmapRowStride(1, bits)));
    for (int a = 0; a <= (w - 1) / 2; ++a) {
        const int b = w - 1 - a;
        for (int y = 0; y < bitmap.Height(); ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            CopyPixel(row, a, column.data(), 0, bits);
            CopyPixel(row, b, row, a, bits);
            CopyPixel(column.data(), 0, row, b, bits);
        }
        ProgressRun::Step(2 * a);
    }
    bitmap.PixelsChanged(Rect(0, 0, w, bitmap.Height()));
}

void HorzMirrorBitmap(TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    const int h = bitmap.Height();
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.RowStride());
    ProgressRun progress(h);
    std::vector<std::uint8_t> row(rowBytes);
    for (int a = 0; a <= (h - 1) / 2; ++a) {
        std::uint8_t* top = bitmap.ScanLine(a);
        std::uint8_t* bottom = bitmap.ScanLine(h - 1 - a);
        std::memcpy(row.data(), top, rowBytes);
        std::memmove(top, bottom, rowBytes);
        std::memcpy(bottom, row.data(), rowBytes);
        ProgressRun::Step(2 * a);
    }
    bitmap.PixelsChanged(Rect(0, 0, bitmap.Width(), h));
}

void MirrorBitmap(TBitmap& bitmap, bool horz, bool vert)
{
    if (vert)
        VertMirrorBitmap(bitmap);
    if (horz)
        HorzMirrorBitmap(bitmap);
}

void CropBitmap(TBitmap& bitmap, const TRect& rect)
{
    const int w = std::max(RectTools::RectWidth(rect), 0);
    const int h = std::max(RectTools::RectHeight(rect), 0);
    if (rect.Left != 0 || rect.Top != 0) {
        TCanvas& canvas = bitmap.Canvas();
        gfx::BitBlt(canvas, 0, 0, w, h, &canvas, rect.Left, rect.Top, SRCCOPY);
    }
    bitmap.SetSize(w, h);
}

void InvertBitmap(TBitmap& bitmap, const TRect& rect)
{
    gfx::PatBlt(bitmap.Canvas(), rect.Left, rect.Top, RectTools::RectWidth(rect), RectTools::RectHeight(rect),
                DSTINVERT);
}

void RGBBitmap24Bit(TBitmap& bitmap, int red, int green, int blue)
{
    const int offsets[3] = {blue, green, red};
    ForEachPixel24(bitmap, [&offsets](std::uint8_t* p) {
        for (int c = 0; c < 3; ++c)
            p[c] = ClampByte(std::int64_t{p[c]} + offsets[c]);
    });
}

std::unique_ptr<TBitmap> MedianFilterBitmap24Bit(const TBitmap& bitmap)
{
    return FilterBitmapKernel(bitmap, Uniform(3));
}

std::unique_ptr<TBitmap> MedianStrongFilterBitmap24Bit(const TBitmap& bitmap)
{
    return FilterBitmapKernel(bitmap, Uniform(5));
}

std::unique_ptr<TBitmap> GaussFilterBitmap24Bit(const TBitmap& bitmap)
{
    return FilterBitmapKernel(bitmap, {3, 3, {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}}});
}

std::unique_ptr<TBitmap> BlurFilterBitmap24Bit(const TBitmap& bitmap)
{
    return FilterBitmapKernel(bitmap, {5, 5, {{1, 1, 1, 0, 0}, {1, 0, 1, 0, 0}, {1, 1, 1, 0, 0}}});
}

std::unique_ptr<TBitmap> BlurMediumFilterBitmap24Bit(const TBitmap& bitmap)
{
    return FilterBitmapKernel(
        bitmap, {5, 5, {{0, 1, 1, 1, 0}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {0, 1, 1, 1, 0}}});
}

std::unique_ptr<TBitmap> BlurStrongFilterBitmap24Bit(const TBitmap& bitmap)
{
    return FilterBitmapKernel(bitmap,
                              {7,
                               7,
                               {{0, 0, 1, 1, 1, 0, 0},
                                {0, 1, 0, 0, 0, 1, 0},
                                {1, 0, 0, 0, 0, 0, 1},
                                {1, 0, 0, 0, 0, 0, 1},
                                {1, 0, 0, 0, 0, 0, 1},
                                {0, 1, 0, 0, 0, 1, 0},
                                {0, 0, 1, 1, 1, 0, 0}}});
}

void GammaBitmap24Bit(TBitmap& bitmap, double red, double green, double blue)
{
    if (!Is24Bit(bitmap))
        return;
    ProgressRun progress(bitmap.Height());
    ApplyTables(bitmap, {MakeGammaTable(5.0 - blue), MakeGammaTable(5.0 - green), MakeGammaTable(5.0 - red)});
}

void GammaBitmap24BitInvert(TBitmap& bitmap, double red, double green, double blue)
{
    if (!Is24Bit(bitmap))
        return;
    const auto inverse = [](double g) {
        const GammaTable forward = MakeGammaTable(g);
        GammaTable table{};
        for (int x = 0; x < 256; ++x)
            table[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(255 -
                                                                           forward[static_cast<std::size_t>(255 - x)]);
        return table;
    };
    ProgressRun progress(bitmap.Height());
    ApplyTables(bitmap, {inverse(blue), inverse(green), inverse(red)});
}

void GrayScaleBitmap24Bit(TBitmap& bitmap)
{
    ForEachPixel24(bitmap, [](std::uint8_t* p) {
        const std::uint8_t grey = ClampByte(N(0.3 * p[2] + 0.59 * p[1] + 0.11 * p[0]));
        p[0] = p[1] = p[2] = grey;
    });
}

void DitherBitmap24To16(TBitmap& bitmap) { Dither(bitmap, 3); }

void DitherBitmap32To16(TBitmap& bitmap) { Dither(bitmap, 4); }

void InvertBitmap24BPP(TBitmap& bitmap)
{
    ForEachPixel24(bitmap, [](std::uint8_t* p) {
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>(255 - p[c]);
    });
}

TColor HSVToRGB(const THSV& hsv)
{
    const int v = hsv.V;
    if (hsv.S == 0)
        return RGB(v, v, v);
    const int s = hsv.S;
    // A negative hue counts round the circle like a positive one.
    const int h = ((hsv.H % 360) + 360) % 360;
    const int f = h % 60;
    const int p = v * (255 - s) / 255;
    const int q = v * (255 - f * s / 60) / 255;
    const int t = v * (255 - (60 - f) * s / 60) / 255;
    switch (h / 60) {
    case 0: return RGB(v, t, p);
    case 1: return RGB(q, v, p);
    case 2: return RGB(p, v, t);
    case 3: return RGB(p, q, v);
    case 4: return RGB(t, p, v);
    default: return RGB(v, p, q);
    }
}

TColor InvertColor(TColor color) { return ColorToRGB(color) ^ 0x00FFFFFF; }

TColor MakeVisibleColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    // Near middle grey every byte lies close to its inverse, so the inverse
    // would not stand out; the distance counts in both directions.
    const auto nearGrey = [](int byte) { return std::abs(byte - (255 - byte)) < 30; };
    if (nearGrey(GetRValue(rgb)) && nearGrey(GetGValue(rgb)) && nearGrey(GetBValue(rgb)))
        return GetRValue(rgb) >= 128 ? clWhite : clBlack;
    return InvertColor(rgb);
}

TPixelFormat CalcPixelFormat(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
    }
}

int GetBitsPerPixel(const TBitmap& bitmap)
{
    // A device bitmap's surface is the bitmap itself, so its depth is the
    // device's depth.
    return bitmap.BitsPerPixel();
}

void GetExactRec32BPP(TBitmap& bitmap, TColor color, TRect& rect)
{
    rect = Rect(0, 0, 0, 0);
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (bitmap.Empty())
        return;
    const TColor wanted = ColorToRGB(color) & 0x00FFFFFF;
    TCanvas& canvas = bitmap.Canvas();
    const auto differs = [&](int x, int y) { return (canvas.Pixels(x, y) & 0x00FFFFFF) != wanted; };
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        int x = 0;
        while (x < w && !differs(x, y))
            ++x;
        if (x == w)
            continue;
        left = std::min(left, x);
        int last = w - 1;
        while (!differs(last, y))
            --last;
        right = std::max(right, last);
        if (top < 0)
            top = y;
        bottom = y;
    }
    if (top >= 0)
        rect = Rect(left, top, right, bottom);
}

std::uint32_t Convert16To32RGB(T16BPPColor color)
{
    const std::uint32_t red = (color >> 10) & 0x1F;
    const std::uint32_t green = (color >> 5) & 0x1F;
    const std::uint32_t blue = color & 0x1F;
    return (red * 8) << 16 | (green * 8) << 8 | blue * 8;
}

void FillLong(void* memory, std::size_t count, std::uint32_t value)
{
    auto* words = static_cast<std::uint8_t*>(memory);
    for (std::size_t i = 0; i < count; ++i)
        rtl::PutLE32(words + i * 4, value);
}

void Fill24BitRGB(void* memory, std::size_t count, std::uint8_t byte0, std::uint8_t byte1, std::uint8_t byte2)
{
    auto* p = static_cast<std::uint8_t*>(memory);
    for (std::size_t i = 0; i < count; ++i, p += 3) {
        p[0] = byte0;
        p[1] = byte1;
        p[2] = byte2;
    }
}

void MoveLong(const void* source, void* dest, std::size_t count) { std::memmove(dest, source, count * 4); }

std::uint32_t ScanLineRGB32Bit(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue;
}

std::uint32_t TColor2ScanLineRGB32Bit(TColor color)
{
    return ScanLineRGB32Bit(static_cast<std::uint8_t>(GetRValue(color)), static_cast<std::uint8_t>(GetGValue(color)),
                            static_cast<std::uint8_t>(GetBValue(color)));
}

std::unique_ptr<TBitmap> Create32BitBitmap(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(width, height);
    return bitmap;
}

void LoadIconFromResource(const std::string& resourceName, TIcon& icon)
{
    TResourceStream stream(nullptr, resourceName, RT_ICON);
    icon.LoadFromStream(stream);
}

void LoadIconFromResourceID(int resourceId, TIcon& icon)
{
    TResourceStream stream(nullptr, "#" + std::to_string(resourceId), RT_GROUP_ICON);
    icon.LoadFromStream(stream);
}

} // namespace BitmapTools
