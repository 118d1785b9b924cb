#pragma once

// A drawn monitor: a grey body with a bevelled bezel around a recessed
// screen area, a stand and a power lamp. The placement dialog and the
// scanner's import dialog show their miniature screens in it.

#include "platform/graphics/Color.h"
#include "platform/graphics/Types.h"

class TCanvas;
class TGraphicControl;

namespace MonitorGfx {

// The silver of the monitor's body.
inline constexpr TColor MonitorColor = 0xC0C0C0;
inline constexpr TColor LampColor = 0x00FF00;

// Paints the monitor over Width x Height of the canvas around Screen, the
// screen area (the bezel is as high below it as above it).
void DrawMonitor(TCanvas& Canvas, int Width, int Height, const TRect& Screen);

} // namespace MonitorGfx

// Paints the monitor on the control around the screen rectangle.
void DrawMonitor(TGraphicControl& Control, const TRect& Screen);
