#include "imageformats/Resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "imageformats/GraphicColor.h"
#include "platform/graphics/Bitmap.h"

namespace Resample {

namespace {

float Sinc(float t)
{
    if (t == 0)
        return 1;
    const float x = std::numbers::pi_v<float> * t;
    return std::sin(x) / x;
}

struct Contributor {
    std::int32_t Weight;
    std::int32_t Pixel;
};

// The contributors of one target pixel with the sum of their weights.
struct ContributorEntry {
    std::vector<Contributor> Items;
    std::int32_t Total = 0;
};

std::int32_t RoundWeight(float value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

// Reflects an index at the edges, then clamps it: a side narrower than the
// kernel's reach reflects past the other edge.
std::int32_t SourceIndex(std::int64_t j, std::int64_t size)
{
    if (j < 0)
        j = -j;
    else if (j >= size)
        j = 2 * size - 1 - j;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(j, 0, size - 1));
}

std::vector<ContributorEntry> Contributors(std::uint32_t sourceSize, std::uint32_t targetSize, TResamplingFilter filter,
                                           float radius)
{
    const float scale = sourceSize == 1 || targetSize == 1
        ? static_cast<float>(targetSize) / static_cast<float>(sourceSize)
        : static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
    const bool reducing = scale < 1;
    const float width = reducing ? radius / scale : radius;
    std::vector<ContributorEntry> list(targetSize);
    for (std::uint32_t i = 0; i < targetSize; ++i) {
        const float centre = static_cast<float>(i) / scale;
        const auto first = static_cast<std::int64_t>(std::floor(centre - width));
        const auto last = static_cast<std::int64_t>(std::ceil(centre + width));
        ContributorEntry& entry = list[i];
        for (std::int64_t j = first; j <= last; ++j) {
            const float distance = centre - static_cast<float>(j);
            const std::int32_t weight = reducing ? RoundWeight(Kernel(filter, distance * scale) * scale * 256)
                                                 : RoundWeight(Kernel(filter, distance) * 256);
            if (weight == 0)
                continue;
            entry.Items.push_back({weight, SourceIndex(j, sourceSize)});
            entry.Total += weight;
        }
    }
    return list;
}

std::uint8_t Finish(std::int32_t sum, std::int32_t total)
{
    if (total != 0)
        return GraphicColor::ClampByte(sum / total);
    return GraphicColor::ClampByte(static_cast<std::int32_t>(static_cast<std::uint32_t>(sum) >> 8));
}

// Source rows to work rows of the target width.
void HorizontalPass(const TBitmap& source, TBitmap& work, const std::vector<ContributorEntry>& columns)
{
    const int rows = source.Height();
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = source.ScanLine(y);
        std::uint8_t* out = work.ScanLine(y);
        for (const ContributorEntry& entry : columns) {
            std::int32_t b = 0, g = 0, r = 0;
            for (const Contributor& c : entry.Items) {
                const std::uint8_t* p = in + 3 * c.Pixel;
                b += c.Weight * p[0];
                g += c.Weight * p[1];
                r += c.Weight * p[2];
            }
            out[0] = Finish(b, entry.Total);
            out[1] = Finish(g, entry.Total);
            out[2] = Finish(r, entry.Total);
            out += 3;
        }
    }
}

// Work rows to target rows: each target row adds whole work rows, so the
// pass walks memory row by row.
void VerticalPass(const TBitmap& work, TBitmap& target, const std::vector<ContributorEntry>& rows)
{
    const std::size_t bytes = static_cast<std::size_t>(target.Width()) * 3;
    std::vector<std::int32_t> sums(bytes);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::fill(sums.begin(), sums.end(), 0);
        for (const Contributor& c : rows[i].Items) {
            const std::uint8_t* in = work.ScanLine(c.Pixel);
            const std::int32_t w = c.Weight;
            for (std::size_t x = 0; x < bytes; ++x)
                sums[x] += w * in[x];
        }
        std::uint8_t* out = target.ScanLine(static_cast<int>(i));
        const std::int32_t total = rows[i].Total;
        for (std::size_t x = 0; x < bytes; ++x)
            out[x] = Finish(sums[x], total);
    }
}

} // namespace

float DefaultRadius(TResamplingFilter filter)
{
    switch (filter) {
    case sfBox: return 0.5f;
    case sfTriangle:
    case sfHermite: return 1.0f;
    case sfBell: return 1.5f;
    case sfSpline:
    case sfMitchell: return 2.0f;
    case sfLanczos3: return 3.0f;
    }
    return 1.0f;
}

float Kernel(TResamplingFilter filter, float x)
{
    const float a = std::fabs(x);
    switch (filter) {
    case sfBox: return x > -0.5f && x <= 0.5f ? 1.0f : 0.0f;
    case sfTriangle: return a < 1 ? 1 - a : 0;
    case sfHermite: return a < 1 ? (2 * a - 3) * a * a + 1 : 0;
    case sfBell:
        if (a < 0.5f)
            return 0.75f - a * a;
        if (a < 1.5f)
            return 0.5f * (a - 1.5f) * (a - 1.5f);
        return 0;
    case sfSpline:
        if (a < 1)
            return 0.5f * a * a * a - a * a + 2.0f / 3.0f;
        if (a < 2)
            return (2 - a) * (2 - a) * (2 - a) / 6;
        return 0;
    case sfLanczos3: return a < 3 ? Sinc(x) * Sinc(x / 3) : 0;
    case sfMitchell:
        if (a < 1)
            return (7 * a * a * a - 12 * a * a + 16.0f / 3.0f) / 6;
        if (a < 2)
            return (-7.0f / 3.0f * a * a * a + 12 * a * a - 20 * a + 32.0f / 3.0f) / 6;
        return 0;
    }
    return 0;
}

void Stretch(std::uint32_t newWidth, std::uint32_t newHeight, TResamplingFilter filter, float radius, TBitmap& source,
             TBitmap& target)
{
    target.SetSize(0, 0);
    target.SetPixelFormat(pf24bit);
    target.SetSize(static_cast<int>(newWidth), static_cast<int>(newHeight));
    source.SetPixelFormat(pf24bit);
    const auto sw = static_cast<std::uint32_t>(source.Width()), sh = static_cast<std::uint32_t>(source.Height());
    if (sw == 0 || sh == 0 || newWidth == 0 || newHeight == 0)
        return;
    // Beyond its own reach a kernel is 0: a larger radius adds only zero
    // weights, so it is capped there to keep the work bounded.
    if (!(radius > 0) || radius > DefaultRadius(filter))
        radius = DefaultRadius(filter);

    TBitmap work(static_cast<int>(newWidth), static_cast<int>(sh), pf24bit);
    HorizontalPass(source, work, Contributors(sw, newWidth, filter, radius));
    VerticalPass(work, target, Contributors(sh, newHeight, filter, radius));
}

void Stretch(std::uint32_t newWidth, std::uint32_t newHeight, TResamplingFilter filter, float radius, TBitmap& source)
{
    TBitmap result;
    Stretch(newWidth, newHeight, filter, radius, source, result);
    source.Assign(&result);
}

} // namespace Resample
