#include "widgets/DrawUtils.h"

#include <algorithm>

#include "platform/graphics/CanvasText.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

namespace DrawUtils {

std::string MinimizeText(const std::string& Text, TCanvas& Canvas, int MaxWidth)
{
    if (Canvas.TextWidth(Text) <= MaxWidth)
        return Text;
    const std::string ellipsis = "...";
    const int length = static_cast<int>(Text.size());
    for (int i = 1; i <= length; ++i) {
        int keep = length - i - 1;
        if (keep <= 0)
            break;
        std::string candidate = Text.substr(0, static_cast<std::size_t>(keep)) + ellipsis;
        if (Canvas.TextWidth(candidate) <= MaxWidth)
            return candidate;
    }
    return ellipsis;
}

char32_t UpperAscii(char32_t Char) { return Char >= 'a' && Char <= 'z' ? Char - 'a' + 'A' : Char; }

char32_t AcceleratorOf(const std::string& Caption)
{
    for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return UpperAscii(static_cast<unsigned char>(Caption[i + 1]));
    }
    return 0;
}

TPoint GetAveCharSize(TCanvas& Canvas)
{
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters += c;
    for (char c = 'a'; c <= 'z'; ++c)
        letters += c;
    const TSize size = Canvas.TextExtent(letters);
    return {size.cx / 52, size.cy};
}

void WriteText(TCanvas& Canvas, const TRect& ARect, int DX, int DY, const std::string& Text, TAlignment Alignment,
               bool WordWrap, bool RightToLeft)
{
    if (RightToLeft)
        Alignment = MirroredAlignment(Alignment, bdRightToLeft);
    const bool lineBreaks = Text.find('\r') != std::string::npos || Text.find('\n') != std::string::npos;
    if (WordWrap || lineBreaks) {
        // Drawn off-screen on the canvas's brush, so nothing leaves the cell.
        const int width = ARect.Width(), height = ARect.Height();
        if (width <= 0 || height <= 0)
            return;
        TBitmap image(width, height);
        TCanvas& off = image.Canvas();
        off.Brush.Color = Canvas.Brush.Color;
        off.Brush.Style = bsSolid;
        off.FillRect(Rect(0, 0, width, height));
        off.Font.Assign(Canvas.Font);
        off.Brush.Style = bsClear;
        unsigned flags = DT_EXPANDTABS | DT_NOPREFIX | (WordWrap ? DT_WORDBREAK : 0u);
        flags |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
        if (RightToLeft)
            flags |= DT_RTLREADING;
        TRect inside = Rect(DX, DY, width - DX, height);
        gfx::DrawText(off, Text, inside, flags);
        Canvas.CopyRect(ARect, off, Rect(0, 0, width, height));
        return;
    }
    const int textWidth = Canvas.TextWidth(Text);
    int x = ARect.Left + DX;
    if (Alignment == taRightJustify)
        x = ARect.Right - textWidth - 3;
    else if (Alignment == taCenter)
        x = ARect.Left + ARect.Width() / 2 - textWidth / 2;
    Canvas.TextRect(ARect, x, ARect.Top + DY, Text);
}

std::unique_ptr<TFont> CreateRotatedFont(const TFont& Font, int Angle)
{
    auto rotated = std::make_unique<TFont>();
    rotated->Assign(Font);
    rotated->SetOrientation(Angle * 10);
    return rotated;
}

namespace {

TPoint DialogBaseUnits()
{
    TBitmap scratch(1, 1);
    return GetAveCharSize(scratch.Canvas());
}

} // namespace

int DialogUnitsToPixelsX(int DlgUnits) { return DlgUnits * DialogBaseUnits().X / 4; }
int DialogUnitsToPixelsY(int DlgUnits) { return DlgUnits * DialogBaseUnits().Y / 8; }
int PixelsToDialogUnitsX(int PixUnits) { return PixUnits * 4 / std::max(DialogBaseUnits().X, 1); }
int PixelsToDialogUnitsY(int PixUnits) { return PixUnits * 8 / std::max(DialogBaseUnits().Y, 1); }

bool UseRightToLeftAlignment(TBiDiMode Mode) { return Mode == bdRightToLeft; }
bool UseRightToLeftReading(TBiDiMode Mode) { return Mode != bdLeftToRight; }

TAlignment MirroredAlignment(TAlignment Alignment, TBiDiMode Mode)
{
    if (!UseRightToLeftAlignment(Mode))
        return Alignment;
    switch (Alignment) {
    case taLeftJustify: return taRightJustify;
    case taRightJustify: return taLeftJustify;
    case taCenter: break;
    }
    return taCenter;
}

unsigned DrawTextBiDiModeFlags(TBiDiMode Mode, unsigned Flags)
{
    if (UseRightToLeftAlignment(Mode)) {
        if ((Flags & (DT_CENTER | DT_RIGHT)) == DT_LEFT)
            Flags |= DT_RIGHT;
        else if (Flags & DT_RIGHT)
            Flags &= ~DT_RIGHT;
    }
    if (UseRightToLeftReading(Mode))
        Flags |= DT_RTLREADING;
    return Flags;
}

namespace {

TCanvas& ControlCanvas(TCustomControl* Control)
{
    TCanvas* canvas = Control ? Control->Canvas() : nullptr;
    if (!canvas)
        throw EInvalidOperation("Control has no canvas");
    return *canvas;
}

} // namespace

void DrawCellTextEx(TCustomControl* Control, int, int, const std::string& S, const TRect& ARect, TAlignment Align,
                    TVertAlignment VertAlign, bool WordWrap, bool RightToLeft)
{
    TCanvas& canvas = ControlCanvas(Control);
    const int cellHeight = ARect.Height();
    int dy = 2;
    if (VertAlign == vaCenter)
        dy = std::max(1, (cellHeight - canvas.TextHeight("W")) / 2);
    else if (VertAlign == vaBottomJustify)
        dy = std::max(2, cellHeight - canvas.TextHeight("W"));
    WriteText(canvas, ARect, 2, dy, S, Align, WordWrap, RightToLeft);
}

void DrawCellText(TCustomControl* Control, int ACol, int ARow, const std::string& S, const TRect& ARect,
                  TAlignment Align, TVertAlignment VertAlign, bool RightToLeft)
{
    DrawCellTextEx(Control, ACol, ARow, S, ARect, Align, VertAlign, Align == taCenter, RightToLeft);
}

void DrawCellBitmap(TCustomControl* Control, int, int, TGraphic* Graphic, const TRect& ARect)
{
    if (!Graphic || Graphic->Empty())
        return;
    TCanvas& canvas = ControlCanvas(Control);
    const int x = (ARect.Left + ARect.Right - Graphic->Width()) / 2;
    const int y = (ARect.Top + ARect.Bottom - Graphic->Height()) / 2;
    canvas.Draw(x, y, *Graphic);
}

} // namespace DrawUtils
