#include "platform/graphics/Stretch.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/ByteOrder.h"

namespace gfx::stretch {
namespace {

// Box-filter weights are fixed point with this many fractional bits; each
// output pixel's weights sum to exactly 1 << kWeightBits.
constexpr int kWeightBits = 14;
// Horizontal results keep 6 bits of fraction for the vertical pass.
constexpr int kHorizontalShift = kWeightBits - 6;
constexpr int kVerticalShift = kWeightBits + 6;

int Clamp(int value, int limit) { return std::clamp(value, 0, limit - 1); }

// Source index hit by the centre of scaled pixel i.
int NearestIndex(int i, int start, int sourceExtent, int destExtent)
{
    return start + static_cast<int>((2LL * i + 1) * sourceExtent / (2LL * destExtent));
}

// For each output pixel: the source pixels it covers and their share of it.
struct Taps {
    std::vector<int> First;  // into Index/Weight, one more entry than pixels
    std::vector<int> Index;  // clamped source coordinate
    std::vector<int> Weight; // sums to 1 << kWeightBits per pixel
    int MaxCount = 0;

    Taps(int windowStart, int windowEnd, int start, int sourceExtent, int destExtent, bool mirror, int limit)
    {
        for (int i = windowStart; i < windowEnd; ++i) {
            First.push_back(static_cast<int>(Index.size()));
            const long long p = mirror ? destExtent - 1 - i : i;
            // Output pixel p covers [p * src, (p + 1) * src) in units where one
            // source pixel is destExtent wide.
            const long long from = p * sourceExtent, to = (p + 1) * sourceExtent;
            const long long j0 = from / destExtent, j1 = (to + destExtent - 1) / destExtent;
            int sum = 0, largest = -1, largestWeight = -1;
            for (long long j = j0; j < j1; ++j) {
                const long long overlap = std::min(to, (j + 1) * destExtent) - std::max(from, j * destExtent);
                const int weight = static_cast<int>((overlap << kWeightBits) / sourceExtent);
                if (weight > largestWeight) {
                    largestWeight = weight;
                    largest = static_cast<int>(Index.size());
                }
                Index.push_back(Clamp(start + static_cast<int>(j), limit));
                Weight.push_back(weight);
                sum += weight;
            }
            Weight[largest] += (1 << kWeightBits) - sum;
            MaxCount = std::max(MaxCount, static_cast<int>(Index.size()) - First.back());
        }
        First.push_back(static_cast<int>(Index.size()));
    }
};

// One source row averaged horizontally: three channels (B, G, R) per output
// pixel, scaled by 64.
template <int BytesPerPixel> void AverageRow(const std::uint8_t* row, const Taps& taps, std::uint16_t* out)
{
    const int count = static_cast<int>(taps.First.size()) - 1;
    const int* index = taps.Index.data();
    const int* weight = taps.Weight.data();
    constexpr std::uint32_t round = 1u << (kHorizontalShift - 1);
    for (int i = 0; i < count; ++i) {
        std::uint32_t b = round, g = round, r = round;
        for (int k = taps.First[i]; k < taps.First[i + 1]; ++k) {
            const std::uint8_t* p = row + index[k] * BytesPerPixel;
            const std::uint32_t w = static_cast<std::uint32_t>(weight[k]);
            b += p[0] * w;
            g += p[1] * w;
            r += p[2] * w;
        }
        out[3 * i] = static_cast<std::uint16_t>(b >> kHorizontalShift);
        out[3 * i + 1] = static_cast<std::uint16_t>(g >> kHorizontalShift);
        out[3 * i + 2] = static_cast<std::uint16_t>(r >> kHorizontalShift);
    }
}

// Horizontal averages of source rows, kept for the few rows that the next
// output rows still need.
class RowCache {
public:
    RowCache(const TPixelBuffer& source, const Taps& columns, int slots)
        : source_(source), columns_(columns), width_(static_cast<int>(columns.First.size()) - 1)
    {
        rows_.assign(slots, -1);
        data_.resize(static_cast<size_t>(slots) * width_ * 3);
        if (source.BitsPerPixel != 24 && source.BitsPerPixel != 32)
            converted_.resize(source.Width);
    }

    const std::uint16_t* Get(int y)
    {
        for (size_t s = 0; s < rows_.size(); ++s)
            if (rows_[s] == y)
                return Slot(s);
        const size_t s = next_++ % rows_.size();
        rows_[s] = y;
        std::uint16_t* out = Slot(s);
        if (source_.BitsPerPixel == 24) {
            AverageRow<3>(source_.Row(y), columns_, out);
        } else if (source_.BitsPerPixel == 32) {
            AverageRow<4>(source_.Row(y), columns_, out);
        } else {
            ReadRow(source_, 0, y, source_.Width, converted_.data());
            AverageRow<4>(reinterpret_cast<const std::uint8_t*>(converted_.data()), columns_, out);
        }
        return out;
    }

private:
    std::uint16_t* Slot(size_t s) { return data_.data() + s * width_ * 3; }

    const TPixelBuffer& source_;
    const Taps& columns_;
    int width_;
    std::vector<int> rows_;
    std::vector<std::uint16_t> data_;
    std::vector<std::uint32_t> converted_;
    size_t next_ = 0;
};

TPixelBuffer View(std::vector<std::uint32_t>& out, const TRect& window)
{
    TPixelBuffer view;
    view.Bits = reinterpret_cast<std::uint8_t*>(out.data());
    view.Width = window.Width();
    view.Height = window.Height();
    view.Stride = static_cast<std::ptrdiff_t>(view.Width) * 4;
    view.BitsPerPixel = 32;
    return view;
}

} // namespace

TPixelBuffer Nearest(const TPixelBuffer& source, const Request& q, std::vector<std::uint32_t>& out)
{
    const TRect& w = q.Window;
    out.assign(static_cast<size_t>(w.Width()) * w.Height(), 0);
    std::vector<int> columns(w.Width());
    for (int i = w.Left; i < w.Right; ++i) {
        const int p = q.MirrorX ? q.DestWidth - 1 - i : i;
        columns[i - w.Left] = Clamp(NearestIndex(p, q.SourceX, q.SourceWidth, q.DestWidth), source.Width);
    }
    const int bytes = source.BitsPerPixel == 24 || source.BitsPerPixel == 32 ? source.BitsPerPixel / 8 : 0;
    for (int j = w.Top; j < w.Bottom; ++j) {
        const int p = q.MirrorY ? q.DestHeight - 1 - j : j;
        const int y = Clamp(NearestIndex(p, q.SourceY, q.SourceHeight, q.DestHeight), source.Height);
        std::uint32_t* row = out.data() + static_cast<size_t>(j - w.Top) * w.Width();
        const std::uint8_t* src = source.Row(y);
        for (int i = 0; i < w.Width(); ++i) {
            if (bytes) {
                row[i] = rtl::GetLE24(src + columns[i] * bytes);
            } else {
                row[i] = ReadPixel(source, columns[i], y);
            }
        }
    }
    return View(out, w);
}

TPixelBuffer Halftone(const TPixelBuffer& source, const Request& q, std::vector<std::uint32_t>& out)
{
    const TRect& w = q.Window;
    out.assign(static_cast<size_t>(w.Width()) * w.Height(), 0);
    const Taps columns(w.Left, w.Right, q.SourceX, q.SourceWidth, q.DestWidth, q.MirrorX, source.Width);
    const Taps rows(w.Top, w.Bottom, q.SourceY, q.SourceHeight, q.DestHeight, q.MirrorY, source.Height);
    RowCache cache(source, columns, rows.MaxCount + 1);
    const int width = w.Width();
    std::vector<std::uint32_t> sum(static_cast<size_t>(width) * 3);
    for (int j = 0; j < w.Height(); ++j) {
        std::fill(sum.begin(), sum.end(), 1u << (kVerticalShift - 1));
        for (int k = rows.First[j]; k < rows.First[j + 1]; ++k) {
            const std::uint16_t* h = cache.Get(rows.Index[k]);
            const std::uint32_t weight = static_cast<std::uint32_t>(rows.Weight[k]);
            for (int c = 0; c < width * 3; ++c)
                sum[c] += h[c] * weight;
        }
        std::uint32_t* row = out.data() + static_cast<size_t>(j) * width;
        for (int i = 0; i < width; ++i)
            row[i] = (sum[3 * i] >> kVerticalShift) | ((sum[3 * i + 1] >> kVerticalShift) << 8) |
                ((sum[3 * i + 2] >> kVerticalShift) << 16);
    }
    return View(out, w);
}

} // namespace gfx::stretch
