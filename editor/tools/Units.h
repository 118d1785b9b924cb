#pragma once

// Millimetres and device pixels for one device resolution at a time: the
// screen's, or the printer's while its metrics are read and a page printed.

namespace Units {

extern double DpiX;
extern double DpiY;

void SetDeviceResolution(int dpiX, int dpiY);
// The screen's pixels per inch on both axes.
void ResetScreenResolution();

double MmToPixelX(double mm);
double MmToPixelY(double mm);
double PixelToMmX(double pixels);
double PixelToMmY(double pixels);

} // namespace Units
