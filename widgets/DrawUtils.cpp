#include "widgets/DrawUtils.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"
#include "widgets/TimerLst.h"

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

namespace {

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

namespace {

// Opens the parent's own painting (a protected virtual) to the copy.
struct ParentPainter : TWinControl {
    using TWinControl::PaintWindow;
};

} // namespace

void CopyParentImage(TControl* Control, TCanvas& Dest)
{
    TWinControl* parent = Control ? Control->Parent() : nullptr;
    if (!parent)
        return;
    const TRect bounds = Control->BoundsRect();
    parent->ControlState.Include(csPaintCopy);
    try {
        {
            TCanvasStateScope state(Dest);
            TPoint vp = Dest.ViewportOrg();
            Dest.SetViewportOrg({vp.X - bounds.Left, vp.Y - bounds.Top});
            Dest.IntersectClipRect(parent->ClientRect());
            parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&Dest), 0);
            void (TWinControl::*paintWindow)(TCanvas&) = &ParentPainter::PaintWindow;
            (parent->*paintWindow)(Dest);
        }
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* sibling = parent->Controls(i);
            if (sibling == Control)
                break;
            if (dynamic_cast<TWinControl*>(sibling) || !sibling->Visible())
                continue;
            const TRect other = sibling->BoundsRect();
            if (gfx::IntersectRect(other, bounds).IsEmpty())
                continue;
            sibling->ControlState.Include(csPaintCopy);
            TCanvasStateScope state(Dest);
            TPoint vp = Dest.ViewportOrg();
            Dest.SetViewportOrg({vp.X + other.Left - bounds.Left, vp.Y + other.Top - bounds.Top});
            Dest.IntersectClipRect(Rect(0, 0, other.Width(), other.Height()));
            try {
                sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&Dest), 0);
            } catch (...) {
                sibling->ControlState.Exclude(csPaintCopy);
                throw;
            }
            sibling->ControlState.Exclude(csPaintCopy);
        }
    } catch (...) {
        parent->ControlState.Exclude(csPaintCopy);
        throw;
    }
    parent->ControlState.Exclude(csPaintCopy);
}

namespace {

std::function<void()>& BeepHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

void Beep()
{
    if (BeepHandler()) {
        BeepHandler()();
        return;
    }
    // The terminal's bell is the one sound every desktop passes on.
    if (isatty(STDERR_FILENO))
        (void)!write(STDERR_FILENO, "\a", 1);
}

void SetBeepHandlerForTests(std::function<void()> Handler)
{
    BeepHandler() = std::move(Handler);
}

bool IsForegroundTask()
{
    return rtl::IsMainThread() && Application && Application->Active();
}

} // namespace DrawUtils

namespace DrawUtils {

std::int16_t WaitCursor = crHourGlass;

namespace {

constexpr std::uint32_t PaletteRelativeFlag = 0x02000000;
constexpr int FirstUserCursor = 100;
constexpr int LastCursorNumber = 32767;

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

struct WaitState {
    int Count = 0;
    TCursor Saved = crDefault;
};

WaitState& Waiting()
{
    static WaitState state;
    return state;
}

} // namespace

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

void GradientFillRect(TCanvas& Canvas, const TRect& ARect, TColor StartColor, TColor EndColor,
                      TFillDirection Direction, int Colors)
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

int WidthOf(const TRect& R) { return R.Right - R.Left; }
int HeightOf(const TRect& R) { return R.Bottom - R.Top; }

bool PointInRect(const TPoint& P, const TRect& R)
{
    return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
}

TColor PaletteColor(TColor Color) { return static_cast<TColor>(ColorToRGB(Color) | PaletteRelativeFlag); }

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
               bool WordWrap)
{
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

std::string ReadRawArgument(const std::string& CmdLine, std::size_t& Pos)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    for (;;) {
        while (Pos < CmdLine.size() && blank(CmdLine[Pos]))
            ++Pos;
        if (Pos + 1 < CmdLine.size() && CmdLine[Pos] == '"' && CmdLine[Pos + 1] == '"')
            Pos += 2; // an empty pair in front counts for nothing
        else
            break;
    }
    std::string argument;
    while (Pos < CmdLine.size() && !blank(CmdLine[Pos])) {
        if (CmdLine[Pos] == '"') {
            ++Pos;
            while (Pos < CmdLine.size() && CmdLine[Pos] != '"')
                argument += CmdLine[Pos++];
            if (Pos < CmdLine.size())
                ++Pos;
        } else {
            argument += CmdLine[Pos++];
        }
    }
    return argument;
}

void SplitCommandLine(const std::string& CmdLine, std::string& ProgName, std::string& Params)
{
    ProgName.clear();
    Params.clear();
    std::size_t pos = 0;
    std::vector<std::string> arguments;
    for (;;) {
        std::string argument = ReadRawArgument(CmdLine, pos);
        if (argument.empty())
            break;
        arguments.push_back(std::move(argument));
    }
    if (arguments.empty())
        return;
    ProgName = arguments.front();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1)
            Params += ' ';
        const std::string& argument = arguments[i];
        if (argument.find(' ') != std::string::npos)
            Params += '"' + argument + '"';
        else
            Params += argument;
    }
}

std::string AnsiUpperFirstChar(const std::string& Text)
{
    std::string result = rtl::AnsiLowerCase(Text);
    if (result.empty())
        return result;
    // The first character may take several bytes.
    std::size_t length = 1;
    while (length < result.size() && (static_cast<unsigned char>(result[length]) & 0xC0) == 0x80)
        ++length;
    return rtl::AnsiUpperCase(result.substr(0, length)) + result.substr(length);
}

std::string DropT(const std::string& Name)
{
    if (Name.size() > 1 && (Name[0] == 'T' || Name[0] == 't'))
        return Name.substr(1);
    return Name;
}

std::string ResStr(const std::string& Text) { return Text; }

std::string GetEnvVar(const std::string& Name)
{
    const char* value = std::getenv(Name.c_str());
    return value ? value : "";
}

std::int16_t DefineCursor(std::uintptr_t Cursor)
{
    // A number nobody set answers with the arrow's shape.
    const std::uintptr_t unused = Screen->Cursors(crArrow);
    for (int number = FirstUserCursor; number <= LastCursorNumber; ++number)
        if (Screen->Cursors(number) == unused) {
            Screen->SetCursors(number, Cursor);
            return static_cast<std::int16_t>(number);
        }
    throw EOutOfResources("Not enough resources");
}

void StartWait()
{
    WaitState& state = Waiting();
    if (state.Count++ == 0) {
        state.Saved = Screen->Cursor();
        Screen->SetCursor(WaitCursor);
    }
}

void StopWait()
{
    WaitState& state = Waiting();
    if (state.Count == 0)
        return;
    if (--state.Count == 0)
        Screen->SetCursor(state.Saved);
}

void KillMessage(HWND Wnd, UINT Msg)
{
    TMsg message;
    if (ui::PeekMessage(message, Wnd, Msg, Msg, PM_REMOVE) && message.message == WM_QUIT)
        ui::PostQuitMessage(static_cast<int>(message.wParam));
}

void Delay(std::uint32_t Ms)
{
    const std::uint32_t start = rtl::GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        const std::uint32_t now = rtl::GetTickCount();
        if (now < start || now - start >= Ms)
            return;
        rtl::Sleep(1);
    }
}

void CenterControl(TControl* Control)
{
    if (!Control)
        return;
    int areaWidth, areaHeight;
    if (Control->Parent()) {
        areaWidth = Control->Parent()->ClientWidth();
        areaHeight = Control->Parent()->ClientHeight();
    } else {
        areaWidth = Screen->Width();
        areaHeight = Screen->Height();
    }
    Control->SetBounds(std::max((areaWidth - Control->Width()) / 2, 0),
                       std::max((areaHeight - Control->Height()) / 2, 0), Control->Width(), Control->Height());
}

} // namespace DrawUtils
