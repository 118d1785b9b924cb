#pragma once
// Scaling a picture to a new size with one of seven filter kernels, in two
// separable passes with integer weights (kernel x 256). The first and last
// pixels of source and target map onto each other. Any thread may stretch.

#include <cstdint>

class TBitmap;

enum TResamplingFilter : std::uint8_t { sfBox, sfTriangle, sfHermite, sfBell, sfSpline, sfLanczos3, sfMitchell };

namespace Resample {

// The kernel's own radius (used when a radius of 0 is given).
float DefaultRadius(TResamplingFilter filter);
// The kernel's value at distance x.
float Kernel(TResamplingFilter filter, float x);

// Target becomes a 24-bit picture of the new size filled from the source;
// the source is made 24-bit first. A side of 0 leaves the target empty at
// that size.
void Stretch(std::uint32_t newWidth, std::uint32_t newHeight, TResamplingFilter filter, float radius, TBitmap& source,
             TBitmap& target);
// Scales the source in place.
void Stretch(std::uint32_t newWidth, std::uint32_t newHeight, TResamplingFilter filter, float radius, TBitmap& source);

} // namespace Resample
