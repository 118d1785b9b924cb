#pragma once

// The geometry of the size rectangle: where its grips are, which grip a
// point hits, and how a drag moves its edges: turned inside out, kept inside
// its parent and above its minimum size, and held at its starting
// proportions. Rectangles are in the parent's coordinates and may be
// inverted (left > right) while a drag runs.

#include "platform/graphics/Types.h"
#include "platform/ui/Controls.h"

namespace SizeRectDrag {

enum TZone : int {
    zTopLeft,
    zTopRight,
    zBottomLeft,
    zBottomRight,
    zTop,
    zBottom,
    zLeft,
    zRight,
    zMove,
};

// The square of a grip (zones 0 to 7) within a rectangle of Width x Height,
// in the rectangle's own coordinates; right and bottom included.
TRect GripRect(int Width, int Height, int GripSize, TZone Zone);
// The grip under a point of the rectangle's own coordinates, zMove when none.
TZone HitTest(int Width, int Height, int GripSize, TPoint At);
// The cursor shown over a zone while no drag runs.
TCursor ZoneCursor(TZone Zone, bool AllowMove);
// The point of R a dragged grip stands on: its corner, the middle of its
// edge, or the centre for a move.
TPoint GripPoint(const TRect& R, TZone Zone);

// An inverted R is put right way round and the zone mirrored with it, so
// that a left edge dragged past the right one goes on as the right edge.
TZone Mirror(TRect& R, TZone Zone);
// Moves the edges the zone drags by (dx, dy).
void MoveEdges(TRect& R, TZone Zone, int dx, int dy);

struct TLimits {
    int MinWidth = 10;
    int MinHeight = 10;
    int ParentWidth = 0;
    int ParentHeight = 0;
};
// Keeps R at least the minimum size and inside the parent; a moved
// rectangle keeps its size at the parent's edges.
void Limit(TRect& R, TZone Zone, const TLimits& Limits);
// Holds R at the width:height ratio of Start, adjusting the edge the zone
// leaves free. A start without width or height has no ratio to keep.
void Proportion(TRect& R, TZone Zone, const TRect& Start);

} // namespace SizeRectDrag
