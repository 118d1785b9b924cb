#pragma once
// Resampling of a source rectangle to another size: nearest neighbour
// (colour-on-colour) and area averaging (halftone). The result is a part of
// the scaled picture as 32-bit pixels, ready for a block copy.

#include <cstdint>
#include <vector>

#include "platform/graphics/Surface.h"

namespace gfx::stretch {

// The source rectangle (SourceX, SourceY, SourceWidth, SourceHeight) scaled to
// DestWidth x DestHeight, mirrored as asked, of which the part `Window` (in
// scaled coordinates, inside 0..DestWidth x 0..DestHeight) is produced. All
// extents are positive. Source coordinates outside the buffer repeat its edge.
struct Request {
    int SourceX = 0, SourceY = 0, SourceWidth = 0, SourceHeight = 0;
    int DestWidth = 0, DestHeight = 0;
    bool MirrorX = false, MirrorY = false;
    TRect Window;
};

// Fills `out` (window-sized, 32-bit rows) and returns a buffer viewing it.
TPixelBuffer Nearest(const TPixelBuffer& source, const Request& request, std::vector<std::uint32_t>& out);
TPixelBuffer Halftone(const TPixelBuffer& source, const Request& request, std::vector<std::uint32_t>& out);

} // namespace gfx::stretch
