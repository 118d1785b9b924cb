#include "widgets/DrawUtils.h"

#include <algorithm>

#include "platform/ui/ImgList.h"

namespace DrawUtils {

namespace {

constexpr auto PaletteRelativeFlag = static_cast<std::uint32_t>(kPaletteRelative);

// Paints Color where the glyph has the outline colour, shifted by (dx, dy);
// the rest of Dest stays as it is.
void PaintWhereOutline(TBitmap& Glyph, TColor Outline, TBitmap& Dest, TColor Color, int dx, int dy)
{
    TCanvas& source = Glyph.Canvas();
    TCanvas& dest = Dest.Canvas();
    const TColor outlineRgb = ColorToRGB(Outline);
    const TColor paint = ColorToRGB(Color);
    for (int y = 0; y < Glyph.Height(); ++y)
        for (int x = 0; x < Glyph.Width(); ++x)
            if (source.Pixels(x, y) == outlineRgb)
                dest.SetPixels(x + dx, y + dy, paint);
}

int MulDiv(int Number, int Numerator, int Denominator)
{
    const long long product = static_cast<long long>(Number) * Numerator;
    // Rounded half away from zero, as the platform's routine does.
    const long long half = (product >= 0) == (Denominator >= 0) ? Denominator / 2 : -Denominator / 2;
    return static_cast<int>((product + half) / Denominator);
}

TColor Blend(TColor First, TColor Second, int Step, int Steps)
{
    const TColor a = ColorToRGB(First), b = ColorToRGB(Second);
    auto channel = [&](int From, int To) { return From + MulDiv(Step, To - From, Steps); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

} // namespace

std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap& FOriginal, TColor OutlineColor, TColor BackColor,
                                                TColor HighlightColor, TColor ShadowColor, bool DrawHighlight)
{
    auto result = std::make_unique<TBitmap>(FOriginal.Width(), FOriginal.Height());
    TCanvas& canvas = result->Canvas();
    canvas.Brush.Color = BackColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, result->Width(), result->Height()));
    // A monochrome glyph draws with its 0 bits, which read as black.
    TColor outline = FOriginal.Monochrome() ? clBlack : OutlineColor;
    if (DrawHighlight)
        PaintWhereOutline(FOriginal, outline, *result, HighlightColor, 1, 1);
    PaintWhereOutline(FOriginal, outline, *result, ShadowColor, 0, 0);
    return result;
}

void DrawBitmapTransparent(TCanvas& Dest, int X, int Y, TBitmap& Bitmap, TColor TransparentColor)
{
    StretchBitmapRectTransparent(Dest, X, Y, 0, 0, TRect{}, Bitmap, TransparentColor);
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap& FOriginal, TColor OutlineColor)
{
    return CreateDisabledBitmapEx(FOriginal, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void AssignBitmapCell(TBitmap& Source, TBitmap& Target, int Columns, int Rows, int Index)
{
    Columns = std::max(Columns, 1);
    Rows = std::max(Rows, 1);
    Index = std::max(Index, 0);
    const int width = Source.Width() / Columns;
    const int height = Source.Height() / Rows;
    Target.SetSize(width, height);
    const TRect cell = Bounds((Index % Columns) * width, (Index / Columns) * height, width, height);
    Target.Canvas().CopyMode = cmSrcCopy;
    Target.Canvas().CopyRect(Rect(0, 0, width, height), Source.Canvas(), cell);
    Target.SetTransparentColor(Source.TransparentColor());
    Target.SetTransparent(Source.Transparent());
}

void StretchBitmapRectTransparent(TCanvas& Dest, int X, int Y, int Width, int Height, const TRect& Source,
                                  TBitmap& Bitmap, TColor TransparentColor)
{
    TRect source = Source;
    if (source.Width() < 1 || source.Height() < 1)
        source = Rect(0, 0, Bitmap.Width(), Bitmap.Height());
    if (Width < 1)
        Width = source.Width();
    if (Height < 1)
        Height = source.Height();
    const TRect target = Bounds(X, Y, Width, Height);
    if (TransparentColor == clNone) {
        Dest.CopyRect(target, Bitmap.Canvas(), source);
        return;
    }
    TColor key;
    if (Bitmap.Monochrome())
        key = clWhite;
    else if (TransparentColor == clDefault)
        key = Bitmap.Canvas().Pixels(0, Bitmap.Height() - 1);
    else
        key = ColorToRGB(static_cast<TColor>(static_cast<std::uint32_t>(TransparentColor) & ~PaletteRelativeFlag));
    gfx::TransparentStretchBlt(Dest, target, Bitmap, source, key);
}

void DrawBitmapRectTransparent(TCanvas& Dest, int X, int Y, const TRect& Source, TBitmap& Bitmap,
                               TColor TransparentColor)
{
    StretchBitmapRectTransparent(Dest, X, Y, 0, 0, Source, Bitmap, TransparentColor);
}

void ImageListDrawDisabled(TImageList& Images, TCanvas& Canvas, int X, int Y, int Index, TColor HighlightColor,
                           TColor GrayColor, bool DrawHighlight)
{
    auto paint = [&](TColor Color, int DX, int DY) {
        const TColor rgb = ColorToRGB(Color);
        for (int y = 0; y < Images.Height(); ++y)
            for (int x = 0; x < Images.Width(); ++x)
                if (Images.Opaque(Index, x, y))
                    Canvas.SetPixels(X + x + DX, Y + y + DY, rgb);
    };
    if (DrawHighlight)
        paint(HighlightColor, 1, 1);
    paint(GrayColor, 0, 0);
}

std::unique_ptr<TBitmap> ChangeBitmapColor(TBitmap& Bitmap, TColor Color, TColor NewColor)
{
    auto result = std::make_unique<TBitmap>(Bitmap.Width(), Bitmap.Height());
    TCanvas& canvas = result->Canvas();
    canvas.Brush.Color = NewColor;
    canvas.Brush.Style = bsSolid;
    const TRect all = Rect(0, 0, Bitmap.Width(), Bitmap.Height());
    canvas.FillRect(all);
    canvas.BrushCopy(all, Bitmap, all, Color);
    return result;
}

std::unique_ptr<TBitmap> CreateTwoColorsBrushPattern(TColor Color1, TColor Color2)
{
    auto pattern = std::make_unique<TBitmap>(8, 8);
    TCanvas& canvas = pattern->Canvas();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            canvas.SetPixels(x, y, (x % 2) == (y % 2) ? Color2 : Color1);
    return pattern;
}

void GradientFillRect(TCanvas& Canvas, const TRect& ARect, TColor StartColor, TColor EndColor, TFillDirection Direction,
                      int Colors)
{
    if (ARect.IsEmpty())
        return;
    Canvas.Brush.Style = bsSolid;
    if (Colors < 2) {
        Canvas.Brush.Color = StartColor;
        Canvas.FillRect(ARect);
        return;
    }
    const bool vertical = Direction == fdTopToBottom || Direction == fdBottomToTop;
    const bool forward = Direction == fdTopToBottom || Direction == fdLeftToRight;
    const TColor first = forward ? StartColor : EndColor;
    const TColor last = forward ? EndColor : StartColor;
    const int extent = vertical ? ARect.Height() : ARect.Width();
    const int bands = std::max(2, std::min(Colors, extent));
    const int band = extent / bands;
    auto stripe = [&](int From, int To) {
        return vertical ? Rect(ARect.Left, ARect.Top + From, ARect.Right, ARect.Top + To)
                        : Rect(ARect.Left + From, ARect.Top, ARect.Left + To, ARect.Bottom);
    };
    if (band > 0)
        for (int i = 0; i < bands; ++i) {
            Canvas.Brush.Color = Blend(first, last, i, bands - 1);
            Canvas.FillRect(stripe(i * band, (i + 1) * band));
        }
    if (band * bands < extent) {
        Canvas.Brush.Color = last;
        Canvas.FillRect(stripe(band * bands, extent));
    }
}

void ShadeRect(TCanvas& Canvas, const TRect& ARect)
{
    // Rows 11, 22, 44, 88 (hex) of an 8 x 8 pattern laid from the origin.
    const TRect clip = gfx::IntersectRect(ARect, Canvas.ClipRect());
    for (int y = clip.Top; y < clip.Bottom; ++y)
        for (int x = clip.Left; x < clip.Right; ++x) {
            const TPoint device = Canvas.LogicalToDevice(x, y);
            const int bit = 7 - (device.X & 7);
            const int row = 0x11 << (device.Y & 3);
            if ((row >> bit) & 1)
                Canvas.SetPixels(x, y, clBlack);
        }
}

void StretchBltTransparent(TCanvas& Dest, int X, int Y, int Width, int Height, TBitmap& Source, int SrcX, int SrcY,
                           int SrcW, int SrcH, TColor TransparentColor)
{
    const TColor key = ColorToRGB(
        static_cast<TColor>(static_cast<std::uint32_t>(TransparentColor) & ~PaletteRelativeFlag));
    gfx::TransparentStretchBlt(Dest, Bounds(X, Y, Width, Height), Source, Bounds(SrcX, SrcY, SrcW, SrcH), key);
}

} // namespace DrawUtils
