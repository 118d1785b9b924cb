#include "widgets/DrawUtils.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <span>

#include "platform/graphics/CanvasText.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Modules.h"
#include "platform/rtl/Streams.h"
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
    constexpr std::size_t MaxLength = 2048;
    const char* value = std::getenv(Name.c_str());
    return value ? std::string(value).substr(0, MaxLength) : "";
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

namespace {

void LoadIcon(TIcon& Icon, std::span<const std::uint8_t> Bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    stream.Seek(0, 0);
    Icon.LoadFromStream(stream);
}

// The hot spot of a cursor file's first image; the file read as an icon.
std::uintptr_t CursorOfFile(std::span<const std::uint8_t> Bytes)
{
    // Cursor files (type 2) carry the hot spot; an icon file (type 1) as a
    // frame of an animated cursor points with its top-left corner.
    if (Bytes.size() < 22 || (Bytes[2] != 1 && Bytes[2] != 2) || Bytes[4] == 0)
        throw EInvalidGraphic("Invalid cursor");
    const bool cursor = Bytes[2] == 2;
    const int hotX = cursor ? rtl::GetLE16(&Bytes[10]) : 0;
    const int hotY = cursor ? rtl::GetLE16(&Bytes[12]) : 0;
    std::vector<std::uint8_t> asIcon(Bytes.begin(), Bytes.end());
    asIcon[2] = 1;
    TIcon icon;
    LoadIcon(icon, asIcon);
    auto image = CreateBitmapFromIcon(icon, clFuchsia);
    return ui::CreateCursorFromBitmap(*image, hotX, hotY);
}

} // namespace

std::int16_t DefineCursor(HMODULE Instance, const std::string& ResID)
{
    if (const auto bytes = rtl::FindResource(Instance, RT_CURSOR, ResID))
        return DefineCursor(CursorOfFile(*bytes));
    const std::uintptr_t animated = LoadAniCursor(Instance, ResID);
    if (!animated)
        ResourceNotFound(ResID);
    return DefineCursor(animated);
}

namespace {

bool TagIs(std::span<const std::uint8_t> Data, std::size_t At, const char* Tag)
{
    return std::memcmp(Data.data() + At, Tag, 4) == 0;
}

// The body of the first chunk named Tag in [Begin, End), searching inside
// "LIST" chunks of type ListType; every size is checked against the end.
std::span<const std::uint8_t> FindChunk(std::span<const std::uint8_t> Data, std::size_t Begin, std::size_t End,
                                        const char* Tag, const char* ListType)
{
    std::size_t at = Begin;
    while (at + 8 <= End) {
        const std::uint32_t size = rtl::GetLE32(&Data[at + 4]);
        if (size > End - at - 8)
            return {};
        const std::size_t body = at + 8;
        if (TagIs(Data, at, Tag))
            return Data.subspan(body, size);
        if (TagIs(Data, at, "LIST") && size >= 4 && TagIs(Data, body, ListType)) {
            auto inner = FindChunk(Data, body + 4, body + size, Tag, ListType);
            if (!inner.empty())
                return inner;
        }
        at = body + size + (size & 1);
    }
    return {};
}

} // namespace

std::vector<std::uint8_t> FirstAniFrame(std::span<const std::uint8_t> Data)
{
    if (Data.size() < 12 || !TagIs(Data, 0, "RIFF") || !TagIs(Data, 8, "ACON"))
        return {};
    const std::size_t end = std::min<std::size_t>(Data.size(), std::size_t{8} + rtl::GetLE32(&Data[4]));
    const auto frame = FindChunk(Data, 12, end, "icon", "fram");
    return {frame.begin(), frame.end()};
}

std::uintptr_t LoadAniCursor(HMODULE Instance, const std::string& ResID)
{
    const auto bytes = rtl::FindResource(Instance, "ANICURSOR", ResID);
    if (!bytes)
        return 0;
    const std::vector<std::uint8_t> frame = FirstAniFrame(*bytes);
    if (frame.empty())
        return 0;
    try {
        return CursorOfFile(frame);
    } catch (const Exception&) {
        return 0;
    }
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

// ---------------------------------------------------------------------------
// Reading order, cell text

namespace DrawUtils {

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

// ---------------------------------------------------------------------------
// Resources, icons

void ResourceNotFound(const std::string& Name) { throw EResNotFound("Resource " + Name + " not found"); }

void ResourceNotFound(int Ident) { ResourceNotFound(std::to_string(Ident)); }

namespace {

std::string NumberedName(int Ident) { return "#" + std::to_string(Ident); }

} // namespace

std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE Module, const std::string& ResID)
{
    auto bitmap = std::make_unique<TBitmap>();
    try {
        bitmap->LoadFromResourceName(Module, ResID);
    } catch (const Exception&) {
        return nullptr;
    }
    return bitmap;
}

std::unique_ptr<TBitmap> MakeBitmap(const std::string& ResID) { return MakeModuleBitmap(rtl::HInstance(), ResID); }

std::unique_ptr<TBitmap> MakeBitmapID(int ResID) { return MakeBitmap(NumberedName(ResID)); }

std::unique_ptr<TIcon> MakeModuleIcon(HMODULE Module, const std::string& ResID)
{
    const auto bytes = rtl::FindResource(Module, RT_ICON, ResID);
    if (!bytes)
        return nullptr;
    auto icon = std::make_unique<TIcon>();
    try {
        LoadIcon(*icon, *bytes);
    } catch (const Exception&) {
        return nullptr;
    }
    return icon;
}

std::unique_ptr<TIcon> MakeIcon(const std::string& ResID) { return MakeModuleIcon(rtl::HInstance(), ResID); }

std::unique_ptr<TIcon> MakeIconID(int ResID) { return MakeIcon(NumberedName(ResID)); }

std::unique_ptr<TBitmap> CreateBitmapFromIcon(TIcon& Icon, TColor BackColor)
{
    auto bitmap = std::make_unique<TBitmap>(Icon.Width(), Icon.Height());
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush.Color = BackColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, bitmap->Width(), bitmap->Height()));
    canvas.Draw(0, 0, Icon);
    bitmap->SetTransparentColor(BackColor);
    bitmap->SetTransparent(true);
    return bitmap;
}

namespace {

// An icon file of one 32-bit image with its see-through mask.
std::vector<std::uint8_t> IconFileOf(TBitmap& Bitmap, TColor Key)
{
    const int w = Bitmap.Width(), h = Bitmap.Height();
    const int maskStride = ((w + 31) / 32) * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(40 + w * h * 4 + maskStride * h);
    std::vector<std::uint8_t> out;
    rtl::AppendLE16(out, 0);
    rtl::AppendLE16(out, 1); // an icon
    rtl::AppendLE16(out, 1); // one image
    out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
    out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
    rtl::AppendLE16(out, 0);
    rtl::AppendLE16(out, 1);  // planes
    rtl::AppendLE16(out, 32); // bits per pixel
    rtl::AppendLE32(out, imageSize);
    rtl::AppendLE32(out, 6 + 16);
    rtl::AppendLE32(out, 40);
    rtl::AppendLE32(out, static_cast<std::uint32_t>(w));
    rtl::AppendLE32(out, static_cast<std::uint32_t>(2 * h)); // image and mask
    rtl::AppendLE16(out, 1);
    rtl::AppendLE16(out, 32);
    for (int i = 0; i < 6; ++i)
        rtl::AppendLE32(out, 0);
    TCanvas& canvas = Bitmap.Canvas();
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const TColor c = canvas.Pixels(x, y);
            const bool clear = c == Key;
            out.push_back(static_cast<std::uint8_t>(GetBValue(c)));
            out.push_back(static_cast<std::uint8_t>(GetGValue(c)));
            out.push_back(static_cast<std::uint8_t>(GetRValue(c)));
            out.push_back(clear ? 0 : 255);
        }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < w; ++x)
            if (canvas.Pixels(x, y) == Key)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

std::unique_ptr<TIcon> CreateIconFromBitmap(TBitmap& Bitmap, TColor TransparentColor)
{
    if (Bitmap.Empty())
        return nullptr;
    const TColor chosen = TransparentColor == clDefault ? Bitmap.TransparentColor() : TransparentColor;
    const TColor key = ColorToRGB(static_cast<TColor>(static_cast<std::uint32_t>(chosen) & ~PaletteRelativeFlag));
    const std::vector<std::uint8_t> file = IconFileOf(Bitmap, key);
    auto icon = std::make_unique<TIcon>();
    LoadIcon(*icon, file);
    return icon;
}

void StretchBltTransparent(TCanvas& Dest, int X, int Y, int Width, int Height, TBitmap& Source, int SrcX, int SrcY,
                           int SrcW, int SrcH, TColor TransparentColor)
{
    const TColor key = ColorToRGB(static_cast<TColor>(static_cast<std::uint32_t>(TransparentColor) &
                                                      ~PaletteRelativeFlag));
    gfx::TransparentStretchBlt(Dest, Bounds(X, Y, Width, Height), Source, Bounds(SrcX, SrcY, SrcW, SrcH), key);
}

bool PointInPolyRgn(const TPoint& P, const std::vector<TPoint>& Points)
{
    // Winding number: edges crossing the point's row upwards count +1,
    // downwards -1, each when the point lies left of them.
    int winding = 0;
    const std::size_t n = Points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint a = Points[i], b = Points[(i + 1) % n];
        const long long side =
            static_cast<long long>(b.X - a.X) * (P.Y - a.Y) - static_cast<long long>(P.X - a.X) * (b.Y - a.Y);
        if (a.Y <= P.Y && b.Y > P.Y && side > 0)
            ++winding;
        else if (a.Y > P.Y && b.Y <= P.Y && side < 0)
            --winding;
    }
    return winding != 0;
}

// ---------------------------------------------------------------------------
// Libraries, errors, dialogs

HMODULE LoadDLL(const std::string& LibName)
{
    HMODULE module = rtl::LoadLibrary(LibName);
    if (!module)
        throw EWin32Error("Win32 Error.  Code: 0.\n" + rtl::LastLibraryError(), 0);
    return module;
}

bool RegisterServer(const std::string& ModuleName)
{
    HMODULE module = LoadDLL(ModuleName);
    using Entry = long (*)();
    auto entry = reinterpret_cast<Entry>(rtl::GetProcAddress(module, "DllRegisterServer"));
    if (entry)
        entry();
    rtl::FreeLibrary(module);
    return entry != nullptr;
}

void NotImplemented()
{
    Screen->SetCursor(crDefault);
    ui::MessageBox(nullptr, "Function not yet implemented", Application->Title, MB_OK | MB_ICONINFORMATION);
    throw EAbort("");
}

void RaiseWin32Error(int Code)
{
    if (Code == 0)
        return;
    throw EWin32Error("Win32 Error.  Code: " + std::to_string(Code) + ".\n" + std::strerror(Code), Code);
}

void CheckWin32(bool Ok)
{
    if (!Ok)
        RaiseWin32Error(errno != 0 ? errno : EINVAL);
}

int MsgBox(const std::string& Caption, const std::string& Text, UINT Flags)
{
    return Application->MessageBox(Text, Caption, Flags);
}

int MsgDlg(const std::string& Msg, TMsgDlgType AType, TMsgDlgButtons AButtons, int HelpCtx)
{
    return ui::MessageDlg(Msg, AType, AButtons, HelpCtx);
}

// ---------------------------------------------------------------------------
// Windows

TRect ScreenWorkArea()
{
    TRect area;
    if (ui::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0) && !area.IsEmpty())
        return area;
    return Rect(0, 0, Screen->Width(), Screen->Height());
}

void CenterWindow(TWinControl* Wnd)
{
    if (!Wnd)
        return;
    const int screenW = Screen->Width(), screenH = Screen->Height();
    int left = (screenW - Wnd->Width()) / 2;
    int top = (screenH - Wnd->Height()) / 2;
    // Back into the screen where it sticks out; the left and top edges win.
    left = std::max(std::min(left, screenW - Wnd->Width()), 0);
    top = std::max(std::min(top, screenH - Wnd->Height()), 0);
    Wnd->SetBounds(left, top, Wnd->Width(), Wnd->Height());
}

void MergeForm(TWinControl* Container, TCustomForm* Form, TAlign Align, bool Show)
{
    if (!Container || !Form)
        return;
    Container->DisableAlign();
    try {
        Form->Hide();
        Form->SetBorderStyle(bsNone);
        Form->SetBorderIcons({});
        Form->SetParent(Container);
        if (Align != alNone)
            Form->SetAlign(Align);
        else {
            const TRect client = Container->ClientRect();
            Form->SetBounds(Form->Left() + client.Left, Form->Top() + client.Top, Form->Width(), Form->Height());
        }
        Form->SetVisible(Show);
    } catch (...) {
        Container->EnableAlign();
        throw;
    }
    Container->EnableAlign();
}

std::string WindowClassName(HWND Wnd)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control)
        return {};
    return control->ClassName().substr(0, 255);
}

void ShowWinNoAnimate(HWND Wnd, int CmdShow)
{
    // Windows here appear and go without animation.
    ui::ShowWindow(Wnd, CmdShow);
}

namespace {

void BringToForeground(TWinControl* Control)
{
    if (auto* form = dynamic_cast<TCustomForm*>(Control)) {
        form->BringToFront();
        if (form->CanFocus())
            form->SetFocus();
    } else {
        Control->BringToFront();
    }
}

} // namespace

bool SwitchToWindow(HWND Wnd, bool Restore)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control || !control->Enabled())
        return false;
    BringToForeground(control);
    if (!Restore)
        return true;
    if (!control->Visible())
        return false;
    auto* form = dynamic_cast<TCustomForm*>(control);
    if (form && form->WindowState() != wsMaximized)
        form->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
    if (control->CanFocus())
        control->SetFocus();
    return true;
}

void ActivateWindow(HWND Wnd)
{
    TWinControl* control = TWinControl::FindControl(Wnd);
    if (!control)
        return;
    ShowWinNoAnimate(Wnd, SW_SHOW);
    BringToForeground(control);
}

HWND FindPrevInstance(const std::string& MainFormClass, const std::string& ATitle)
{
    if (MainFormClass.empty() && ATitle.empty())
        return nullptr;
    return ui::FindWindow(MainFormClass, ATitle);
}

bool ActivatePrevInstance(const std::string& MainFormClass, const std::string& ATitle)
{
    HWND found = FindPrevInstance(MainFormClass, ATitle);
    if (!found)
        return false;
    ActivateWindow(found);
    return true;
}

} // namespace DrawUtils

// ---------------------------------------------------------------------------
// The screen

// The screen's picture; every change goes on to the forms under it.
class TScreenCanvas::TScreenSurface : public TPixelSurface {
public:
    TScreenSurface() : image_(Screen->Width(), Screen->Height())
    {
        TCanvas& canvas = image_.Canvas();
        canvas.Brush.Color = clBlack;
        canvas.FillRect(Rect(0, 0, image_.Width(), image_.Height()));
        for (TCustomForm* form : ShownForms()) {
            const TRect place = ClientPlace(form);
            canvas.CopyRect(place, *form->Canvas(), Rect(0, 0, place.Width(), place.Height()));
        }
    }

    TPixelBuffer PixelBuffer() override { return image_.PixelBuffer(); }

    void PixelsChanged(const TRect& Area) override
    {
        for (TCustomForm* form : ShownForms()) {
            const TRect place = ClientPlace(form);
            const TRect part = gfx::IntersectRect(Area, place);
            if (part.IsEmpty())
                continue;
            form->Canvas()->CopyRect(gfx::OffsetRect(part, -place.Left, -place.Top), image_.Canvas(), part);
        }
    }

private:
    static std::vector<TCustomForm*> ShownForms()
    {
        std::vector<TCustomForm*> forms;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->Showing())
                forms.push_back(Screen->Forms(i));
        return forms;
    }
    static TRect ClientPlace(TCustomForm* Form)
    {
        const TPoint origin = Form->ClientOrigin();
        return Bounds(origin.X, origin.Y, Form->ClientWidth(), Form->ClientHeight());
    }

    TBitmap image_;
};

TScreenCanvas::TScreenCanvas() { CreateHandle(); }

TScreenCanvas::~TScreenCanvas() { FreeHandle(); }

void TScreenCanvas::CreateHandle()
{
    if (surface_)
        return;
    surface_ = std::make_unique<TScreenSurface>();
    SetSurface(surface_.get());
}

void TScreenCanvas::FreeHandle()
{
    SetSurface(nullptr);
    surface_.reset();
}

void TScreenCanvas::SetOrigin(int X, int Y) { SetWindowOrg({-X, -Y}); }

namespace DrawUtils {

void PaintInverseRect(const TPoint& RectOrg, const TPoint& RectEnd)
{
    TScreenCanvas screen;
    const TRect r = Rect(std::min(RectOrg.X, RectEnd.X), std::min(RectOrg.Y, RectEnd.Y),
                         std::max(RectOrg.X, RectEnd.X), std::max(RectOrg.Y, RectEnd.Y));
    gfx::PatBlt(screen, r.Left, r.Top, r.Width(), r.Height(), DSTINVERT);
}

void DrawInvertFrame(const TRect& ScreenRect, int Width)
{
    TScreenCanvas screen;
    TRect r = ScreenRect;
    for (int i = 0; i < Width; ++i) {
        screen.DrawFocusRect(r);
        r = gfx::InflateRect(r, -1, -1);
    }
}

void ShowMDIClientEdge(HWND, bool) {}

void FreeUnusedOle() {}

std::string GetWindowsVersion()
{
    utsname system{};
    if (uname(&system) != 0)
        return {};
    return std::string(system.sysname) + " " + system.release;
}

bool CompareMem(const void* P1, const void* P2, std::size_t Size) { return std::memcmp(P1, P2, Size) == 0; }

namespace {

// Each block starts with its size; the caller sees what follows.
constexpr std::size_t MemoHeader = alignof(std::max_align_t);

long& MemoSizeOf(void* Block) { return *reinterpret_cast<long*>(static_cast<char*>(Block) - MemoHeader); }

} // namespace

void* AllocMemo(long Size)
{
    if (Size <= 0)
        return nullptr;
    char* raw = static_cast<char*>(std::calloc(1, MemoHeader + static_cast<std::size_t>(Size)));
    if (!raw)
        throw EOutOfMemory("Out of memory");
    *reinterpret_cast<long*>(raw) = Size;
    return raw + MemoHeader;
}

void* ReallocMemo(void* Block, long Size)
{
    if (!Block)
        return AllocMemo(Size);
    if (Size <= 0) {
        FreeMemo(Block);
        return nullptr;
    }
    const long old = MemoSizeOf(Block);
    char* raw = static_cast<char*>(
        std::realloc(static_cast<char*>(Block) - MemoHeader, MemoHeader + static_cast<std::size_t>(Size)));
    if (!raw)
        throw EOutOfMemory("Out of memory");
    *reinterpret_cast<long*>(raw) = Size;
    if (Size > old)
        std::memset(raw + MemoHeader + old, 0, static_cast<std::size_t>(Size - old));
    return raw + MemoHeader;
}

void FreeMemo(void*& Block)
{
    if (Block)
        std::free(static_cast<char*>(Block) - MemoHeader);
    Block = nullptr;
}

long GetMemoSize(const void* Block) { return Block ? MemoSizeOf(const_cast<void*>(Block)) : 0; }

void HugeMove(void* Base, long DestIndex, long SrcIndex, long Count)
{
    if (Count <= 0)
        return;
    auto* items = static_cast<std::uint32_t*>(Base);
    std::memmove(items + DestIndex, items + SrcIndex, static_cast<std::size_t>(Count) * sizeof(std::uint32_t));
}

std::unique_ptr<char[]> StrPAlloc(const std::string& Text)
{
    auto copy = std::make_unique<char[]>(Text.size() + 1);
    std::memcpy(copy.get(), Text.c_str(), Text.size() + 1);
    return copy;
}

} // namespace DrawUtils
