// The animation control's stock clips, drawn frame by frame: a sheet of
// paper flies in an arc from a folder to a folder (copying) or into a waste
// bin (deleting).

#include "platform/ui/AnimateClips.h"

#include <cmath>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/ui/ComCtrls.h"

namespace {

constexpr int ClipFrames = 12;
constexpr int ClipWidth = 160;
constexpr int ClipHeight = 60;
constexpr int ClipInterval = 80; // ms
constexpr TColor GroundColor = 0xF0F0F0;
constexpr TColor FolderColor = 0x40C0F0;
constexpr TColor BinColor = 0x909090;

void DrawFolder(TCanvas& canvas, int left, int bottom)
{
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = FolderColor;
    canvas.Rectangle(left, bottom - 26, left + 14, bottom - 20); // the tab
    canvas.Rectangle(left, bottom - 22, left + 36, bottom);
}

void DrawBin(TCanvas& canvas, int left, int bottom)
{
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = BinColor;
    canvas.Polygon({{left, bottom - 26}, {left + 30, bottom - 26}, {left + 26, bottom}, {left + 4, bottom}});
    for (int x = left + 9; x < left + 24; x += 6) {
        canvas.MoveTo(x, bottom - 22);
        canvas.LineTo(x, bottom - 4);
    }
}

void DrawSheet(TCanvas& canvas, int left, int top)
{
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clWhite;
    canvas.Rectangle(left, top, left + 14, top + 18);
    for (int y = top + 4; y < top + 16; y += 4) {
        canvas.MoveTo(left + 3, y);
        canvas.LineTo(left + 11, y);
    }
}

void DrawFrame(TCanvas& canvas, TCommonAVI clip, int frame)
{
    const int x0 = frame * ClipWidth;
    canvas.Brush.Color = GroundColor;
    canvas.FillRect(Rect(x0, 0, x0 + ClipWidth, ClipHeight));
    const int bottom = ClipHeight - 4;
    DrawFolder(canvas, x0 + 8, bottom);
    if (clip == aviCopyFile)
        DrawFolder(canvas, x0 + ClipWidth - 44, bottom);
    else
        DrawBin(canvas, x0 + ClipWidth - 40, bottom);
    // The sheet rises out of the first folder and falls into the target.
    const double t = static_cast<double>(frame) / (ClipFrames - 1);
    const int from = 19;
    const int to = ClipWidth - 33;
    const int x = x0 + from + static_cast<int>(std::lround((to - from) * t));
    const int y = bottom - 30 - static_cast<int>(std::lround(std::sin(t * 3.14159265358979) * 22));
    DrawSheet(canvas, x, y);
}

} // namespace

namespace ui {

void LoadCommonAVI(TAnimate& Animate, TCommonAVI Clip)
{
    TBitmap& frames = Animate.Frames();
    if (Clip == aviNone) {
        frames.SetSize(0, 0);
        Animate.SetFrameCount(1);
        return;
    }
    frames.SetPixelFormat(pf24bit);
    frames.SetSize(ClipWidth * ClipFrames, ClipHeight);
    for (int frame = 0; frame < ClipFrames; ++frame)
        DrawFrame(frames.Canvas(), Clip, frame);
    Animate.SetInterval(ClipInterval);
    Animate.SetFrameCount(ClipFrames); // tells the control its frames changed
}

} // namespace ui
