#pragma once

// Turning a bitmap by any angle with bilinear interpolation. The target
// keeps the source's size: corners that turn out of the picture are cut
// off, and what has no source pixel gets the fill colour.

class TBitmap;

namespace BitmapRotate {

// The colour of target pixels without a source (kept until changed).
void SetRotateFillColor(int red, int green, int blue);

// Turns source by angle radians about (centreX, centreY) into target, which
// takes the source's size and depth (24 or 32 bits; other depths are turned
// as 24-bit). Rows count from the bottom of the picture, so a positive angle
// turns counter-clockwise on screen. The fourth byte of 32-bit pixels is not
// written. False, and nothing changed, when source and target are the same
// bitmap.
bool RotateBitmapBilinear(const TBitmap& source, TBitmap& target, int centreX, int centreY, double angle);

} // namespace BitmapRotate
