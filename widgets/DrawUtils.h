#pragma once

// Drawing and window helpers shared by the controls. One header; the sources
// by topic: DrawUtils.Text (shortening, accelerators, cell text, reading
// order, dialog units), .Bitmaps (greyed glyphs, transparent and stretched
// drawing, fills), .Icons (bitmaps and icons from resources, cursors, the
// wait cursor), .Windows (what lies behind a windowless control, placing and
// activating windows, messages), .Screen (the screen canvas, inverted
// frames), .System (beep, command line, libraries and errors, message boxes,
// memory blocks) and DrawUtils.cpp (rectangles, points, palette colours).

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Resources.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Messages.h"

class TControl;
class TCustomControl;
class TCustomForm;
class TImageList;
class TWinControl;

// The reading order of a control's text.
enum TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// A failed call of the operating system, with its error number.
class EWin32Error : public Exception {
public:
    EWin32Error(const std::string& Message, int Code) : Exception(Message), ErrorCode(Code) { }
    int ErrorCode;
};

enum TFillDirection : std::uint8_t { fdTopToBottom, fdBottomToTop, fdLeftToRight, fdRightToLeft };
enum TVertAlignment : std::uint8_t { vaTopJustify, vaCenter, vaBottomJustify };

// A canvas on the whole screen as this program shows it: it starts as the
// picture of the program's visible forms at their places on the screen, and
// what is drawn on it reaches the forms that lie under the drawing at once.
// Windows of other programs are out of its reach.
class TScreenCanvas : public TCanvas {
public:
    TScreenCanvas();
    ~TScreenCanvas() override;
    TScreenCanvas(const TScreenCanvas&) = delete;
    TScreenCanvas& operator=(const TScreenCanvas&) = delete;

    // Takes the picture of the screen (done at creation) and lets it go.
    void CreateHandle();
    void FreeHandle();
    // Screen point (X, Y) becomes the canvas's (0, 0).
    void SetOrigin(int X, int Y);

private:
    class TScreenSurface;
    std::unique_ptr<TScreenSurface> surface_;
};

namespace DrawUtils {

// The cursor StartWait shows (the hourglass at first).
extern std::int16_t WaitCursor;

// The text when it fits MaxWidth; else its head followed by "..." (at worst
// "..." alone).
std::string MinimizeText(const std::string& Text, TCanvas& Canvas, int MaxWidth);

// The greyed-out form of a glyph: the pixels of OutlineColor become an
// embossed shape (HighlightColor one pixel down-right when DrawHighlight,
// ShadowColor in place) on BackColor. The caller owns the result.
std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap& FOriginal, TColor OutlineColor, TColor BackColor,
                                                TColor HighlightColor, TColor ShadowColor, bool DrawHighlight);
// The same on button face with the button highlight and shadow colours.
std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap& FOriginal, TColor OutlineColor);

// The accelerator of a caption: the character after a single "&", in upper
// case for ASCII letters; 0 when there is none.
char32_t AcceleratorOf(const std::string& Caption);
char32_t UpperAscii(char32_t Char);

// Draws Bitmap at (X, Y) leaving out the pixels of TransparentColor (by the
// rules of StretchBitmapRectTransparent).
void DrawBitmapTransparent(TCanvas& Dest, int X, int Y, TBitmap& Bitmap, TColor TransparentColor);

// Paints into Dest (origin at the control's top-left) what lies behind the
// control: the parent's background and own painting, then the windowless
// siblings before it that overlap it.
void CopyParentImage(TControl* Control, TCanvas& Dest);

// The default beep of refused input. Tests hand in their own sound
// (nullptr puts the default back).
void Beep();
void SetBeepHandlerForTests(std::function<void()> Handler);

// True when the active window belongs to this program's user-interface thread.
bool IsForegroundTask();

// Cuts cell Index (row by row) out of a strip of Columns x Rows equal cells
// into Target; counts below 1 become 1, an index below 0 becomes 0. The
// target takes the cell size and the strip's transparency.
void AssignBitmapCell(TBitmap& Source, TBitmap& Target, int Columns, int Rows, int Index);

// Draws the part Source (whole bitmap when empty) of Bitmap scaled into
// Width x Height (the part's size when below 1) at (X, Y), leaving out the
// pixels of TransparentColor: clNone draws everything, clDefault takes the
// bottom-left pixel's colour, a monochrome bitmap always leaves out white.
void StretchBitmapRectTransparent(TCanvas& Dest, int X, int Y, int Width, int Height, const TRect& Source,
                                  TBitmap& Bitmap, TColor TransparentColor);
void DrawBitmapRectTransparent(TCanvas& Dest, int X, int Y, const TRect& Source, TBitmap& Bitmap,
                               TColor TransparentColor);

// Draws image Index of the list greyed out: its opaque pixels in
// HighlightColor one pixel down-right (when DrawHighlight), then in
// GrayColor in place; the rest of the canvas stays.
void ImageListDrawDisabled(TImageList& Images, TCanvas& Canvas, int X, int Y, int Index, TColor HighlightColor,
                           TColor GrayColor, bool DrawHighlight);

// A new bitmap of Bitmap's size where the pixels of Color have NewColor.
std::unique_ptr<TBitmap> ChangeBitmapColor(TBitmap& Bitmap, TColor Color, TColor NewColor);
// An 8 x 8 checkerboard: Color2 where row and column have equal parity.
std::unique_ptr<TBitmap> CreateTwoColorsBrushPattern(TColor Color1, TColor Color2);

// Bands from StartColor to EndColor (or the other way for the bottom-to-top
// and right-to-left directions), at most Colors of them.
void GradientFillRect(TCanvas& Canvas, const TRect& ARect, TColor StartColor, TColor EndColor, TFillDirection Direction,
                      int Colors);
// Hatches the rectangle: black diagonals every fourth pixel, the rest stays.
void ShadeRect(TCanvas& Canvas, const TRect& ARect);

int WidthOf(const TRect& R);
int HeightOf(const TRect& R);
// Edges count as inside.
bool PointInRect(const TPoint& P, const TRect& R);
// The colour with the palette-relative flag set.
TColor PaletteColor(TColor Color);
// The average letter width (of A..Z and a..z, truncated) and the line height.
TPoint GetAveCharSize(TCanvas& Canvas);

// Draws Text in Rect: with word wrap or line breaks through DrawText in the
// rectangle inset by (DX, DY) and clipped to it; else on one line at
// left + DX, right - width - 3 or centred, top + DY.
// RightToLeft reads the text from the right and mirrors the alignment.
void WriteText(TCanvas& Canvas, const TRect& ARect, int DX, int DY, const std::string& Text, TAlignment Alignment,
               bool WordWrap, bool RightToLeft = false);
// The text of a grid cell on the control's canvas, 2 pixels in from the
// side and placed vertically by VertAlign.
void DrawCellTextEx(TCustomControl* Control, int ACol, int ARow, const std::string& S, const TRect& ARect,
                    TAlignment Align, TVertAlignment VertAlign, bool WordWrap, bool RightToLeft = false);
// The same, wrapping exactly the centred texts.
void DrawCellText(TCustomControl* Control, int ACol, int ARow, const std::string& S, const TRect& ARect,
                  TAlignment Align, TVertAlignment VertAlign, bool RightToLeft = false);
// The picture centred in the cell.
void DrawCellBitmap(TCustomControl* Control, int ACol, int ARow, TGraphic* Graphic, const TRect& ARect);

// The text flags of a control's reading order: right-to-left reading, and
// for bdRightToLeft the left and right alignment exchanged.
unsigned DrawTextBiDiModeFlags(TBiDiMode Mode, unsigned Flags);
bool UseRightToLeftAlignment(TBiDiMode Mode);
bool UseRightToLeftReading(TBiDiMode Mode);
TAlignment MirroredAlignment(TAlignment Alignment, TBiDiMode Mode);
// A copy of the font turned by Angle degrees.
std::unique_ptr<TFont> CreateRotatedFont(const TFont& Font, int Angle);
// Dialog units of the default font's average character size and back
// (x: base / 4, y: base / 8), truncating.
int DialogUnitsToPixelsX(int DlgUnits);
int DialogUnitsToPixelsY(int DlgUnits);
int PixelsToDialogUnitsX(int PixUnits);
int PixelsToDialogUnitsY(int PixUnits);

// Splits a command line as the program's start-up reads its arguments: the
// first is the program, the others are joined with blanks, those holding a
// blank quoted again.
void SplitCommandLine(const std::string& CmdLine, std::string& ProgName, std::string& Params);
// Reads one argument from Pos on (blanks before it skipped, double quotes
// group and are dropped); Pos moves behind it. No length limit.
std::string ReadRawArgument(const std::string& CmdLine, std::size_t& Pos);
// The text in lower case with its first letter in upper case.
std::string AnsiUpperFirstChar(const std::string& Text);
// A class name without its leading "T" (either case) when longer than one
// character.
std::string DropT(const std::string& Name);
std::string ResStr(const std::string& Text);
// The environment variable (at most 2048 characters), empty when unset.
std::string GetEnvVar(const std::string& Name);

// EResNotFound for a resource name or number.
[[noreturn]] void ResourceNotFound(const std::string& Name);
[[noreturn]] void ResourceNotFound(int Ident);
// A bitmap or icon from a resource of the module (by name, or by number
// "#n"); nullptr when there is none or it cannot be read. MakeBitmap and
// MakeIcon look in this library.
std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE Module, const std::string& ResID);
std::unique_ptr<TBitmap> MakeBitmap(const std::string& ResID);
std::unique_ptr<TBitmap> MakeBitmapID(int ResID);
std::unique_ptr<TIcon> MakeModuleIcon(HMODULE Module, const std::string& ResID);
std::unique_ptr<TIcon> MakeIcon(const std::string& ResID);
std::unique_ptr<TIcon> MakeIconID(int ResID);
// The icon on BackColor, transparent in that colour.
std::unique_ptr<TBitmap> CreateBitmapFromIcon(TIcon& Icon, TColor BackColor);
// An icon of the bitmap whose pixels of TransparentColor (clDefault: the
// bitmap's own) are see-through.
std::unique_ptr<TIcon> CreateIconFromBitmap(TBitmap& Bitmap, TColor TransparentColor);
// Copies the source part scaled into the target part, leaving the target
// where the source has TransparentColor.
void StretchBltTransparent(TCanvas& Dest, int X, int Y, int Width, int Height, TBitmap& Source, int SrcX, int SrcY,
                           int SrcW, int SrcH, TColor TransparentColor);
// Inverts the screen rectangle between the two points; draws a focus frame
// Width times, each one pixel further in.
void PaintInverseRect(const TPoint& RectOrg, const TPoint& RectEnd);
void DrawInvertFrame(const TRect& ScreenRect, int Width);
// Whether the point lies inside the polygon (nonzero winding).
bool PointInPolyRgn(const TPoint& P, const std::vector<TPoint>& Points);

// Loads a shared library; EWin32Error with the loader's message when it
// cannot be loaded.
HMODULE LoadDLL(const std::string& LibName);
// Calls the library's "DllRegisterServer" when it has one (true).
bool RegisterServer(const std::string& ModuleName);
// Tells the user the function is missing, then aborts silently (EAbort).
[[noreturn]] void NotImplemented();
// EWin32Error for a non-zero error number, with its system text.
void RaiseWin32Error(int Code);
// Raises the last error of the system when Ok is false.
void CheckWin32(bool Ok);

// The application's message box and message dialog, through the platform's
// dialog layer.
int MsgBox(const std::string& Caption, const std::string& Text, UINT Flags);
int MsgDlg(const std::string& Msg, TMsgDlgType AType, TMsgDlgButtons AButtons, int HelpCtx);

// The desktop's work area; the whole screen when it reports none.
TRect ScreenWorkArea();
// Centres the window on the screen and moves it back where it sticks out
// (a window larger than the screen keeps to its left or top edge); size,
// order and activation stay.
void CenterWindow(TWinControl* Wnd);
// Makes Form a borderless child of Container, aligned by Align (or moved by
// the container's client origin when alNone), shown when Show.
void MergeForm(TWinControl* Container, TCustomForm* Form, TAlign Align, bool Show);
// Sunken client edges of multi-document windows do not exist here: no-op.
void ShowMDIClientEdge(HWND ClientHandle, bool ShowEdge);
// No automation library is loaded here, so there is nothing to unload: no-op.
void FreeUnusedOle();
// The name and release of the operating system ("Linux 6.1.0-13-amd64").
std::string GetWindowsVersion();
// True when the first Size bytes are equal.
bool CompareMem(const void* P1, const void* P2, std::size_t Size);
// Zero-filled memory blocks that know their size; a size of 0 or less gives
// none. ReallocMemo keeps the contents and zero-fills what it adds;
// FreeMemo clears the reference.
void* AllocMemo(long Size);
void* ReallocMemo(void* Block, long Size);
void FreeMemo(void*& Block);
long GetMemoSize(const void* Block);
// Moves Count 4-byte items of one array from SrcIndex to DestIndex
// (overlapping runs are moved whole).
void HugeMove(void* Base, long DestIndex, long SrcIndex, long Count);
// A zero-terminated copy of the text.
std::unique_ptr<char[]> StrPAlloc(const std::string& Text);
// The class name of the window's control; empty for an unknown window.
std::string WindowClassName(HWND Wnd);
void ShowWinNoAnimate(HWND Wnd, int CmdShow);
// Brings the window to the front; with Restore an invisible window answers
// false and a minimised one is restored first, then it takes the focus.
bool SwitchToWindow(HWND Wnd, bool Restore);
void ActivateWindow(HWND Wnd);
// A window of an earlier start of this program, by class and caption (an
// empty one counts as none); nullptr when both are empty.
HWND FindPrevInstance(const std::string& MainFormClass, const std::string& ATitle);
bool ActivatePrevInstance(const std::string& MainFormClass, const std::string& ATitle);

// Puts the cursor into the first free screen cursor number from 100 on and
// returns that number; EOutOfResources when all are taken.
std::int16_t DefineCursor(std::uintptr_t Cursor);
// The same for a cursor resource (a cursor file) of the module, else its
// animated-cursor resource; EResNotFound when the module has neither.
std::int16_t DefineCursor(HMODULE Instance, const std::string& ResID);
// A cursor handle from an animated-cursor resource ("ANICURSOR"): this
// desktop's cursors stand still, so it shows the first frame. 0 when the
// module has no such resource or it cannot be read.
std::uintptr_t LoadAniCursor(HMODULE Instance, const std::string& ResID);
// The first frame (a cursor file) of an animated-cursor file; empty when
// the data is no such file.
std::vector<std::uint8_t> FirstAniFrame(std::span<const std::uint8_t> Data);
// The wait cursor, nested: the first StartWait saves the screen cursor, the
// last StopWait puts it back; extra StopWait calls do nothing.
void StartWait();
void StopWait();

// Removes one queued message Msg of the window; a WM_QUIT taken that way
// is posted again.
void KillMessage(HWND Wnd, UINT Msg);
// Handles messages until Ms milliseconds have passed.
void Delay(std::uint32_t Ms);
// Centres the control in its parent's client area (a form without parent
// on the screen); negative positions become 0.
void CenterControl(TControl* Control);

} // namespace DrawUtils
