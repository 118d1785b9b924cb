#pragma once

// The picture editor's view arithmetic: the zoom ladder 1:16 ... 1:2, 1:1,
// 2:1 ... 16:1, the caption and status texts, and the conversion of the
// selection between screen and picture pixels.

#include <string>

#include "platform/graphics/Types.h"

namespace VexaPaintView {

// A zoom step: n > 0 is n:1, n < 0 is 1:-n (never 0 or -1).
constexpr int MinZoomStep = -16;
constexpr int MaxZoomStep = 16;

int ZoomIn(int step);
int ZoomOut(int step);
double ZoomFactor(int step);

// "Bild bearbeiten (Vergrößerung %d:1)%s" or "(Vergrößerung 1:%d)%s" with
// " [name]" in file mode.
std::string Caption(int step, const std::string& fileName);
// "%d x %d (%.1f KB)".
std::string SizeText(int width, int height);
// "(X: %d, Y: %d) -> (X: %d, Y: %d) (%dx%d)".
std::string SelectionText(const TRect& selection);
// "(X: %d, Y: %d)".
std::string PointText(int x, int y);

// The normalised screen rectangle in picture pixels (each co-ordinate
// divided by the zoom, rounded to the nearest).
TRect ToPicture(const TRect& screen, double zoom);
// Picture pixels on the screen (truncated).
TRect ToScreen(const TRect& picture, double zoom);
// The dragged rectangle kept inside a box of width x height.
TRect ClampToBox(const TRect& rect, int width, int height);

} // namespace VexaPaintView
