#include "editor/tools/Units.h"

#include "platform/ui/Forms.h"

namespace Units {

double DpiX = 96;
double DpiY = 96;

namespace {

double pixelsPerMmX = 96 / 25.4;
double pixelsPerMmY = 96 / 25.4;
double mmPerPixelX = 25.4 / 96;
double mmPerPixelY = 25.4 / 96;

} // namespace

void SetDeviceResolution(int dpiX, int dpiY)
{
    DpiX = dpiX;
    DpiY = dpiY;
    pixelsPerMmX = dpiX / 25.4;
    pixelsPerMmY = dpiY / 25.4;
    mmPerPixelX = 25.4 / dpiX;
    mmPerPixelY = 25.4 / dpiY;
}

void ResetScreenResolution()
{
    const int ppi = Screen ? Screen->PixelsPerInch : 96;
    SetDeviceResolution(ppi, ppi);
}

double MmToPixelX(double mm) { return mm * pixelsPerMmX; }
double MmToPixelY(double mm) { return mm * pixelsPerMmY; }
double PixelToMmX(double pixels) { return pixels * mmPerPixelX; }
double PixelToMmY(double pixels) { return pixels * mmPerPixelY; }

} // namespace Units
