#pragma once

// Transitions between two pictures: effect numbers and their dispatch, the
// pacing of effect steps, the random choice among the enabled effects, the
// cell engine most effects share, and the effects themselves.
//
// Effect numbers: 0 plain copy, 1 a random enabled effect, 2-31 the animated
// effects of the table below. Every effect ends with the whole new bitmap at
// (0, 0) of the target canvas. Effects block the calling thread until done;
// they pace themselves with rtl's clock and Sleep (tests use the fake clock).
//
// Sources: Blendings.cpp (table, dispatch, pacing), .Lines (blinds and
// bands), .Slides, .Cells (the cell engine and its effects), .Alpha, and
// .Pixels (copies from the new picture, shared by them).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TStringList;

namespace Blendings {

// Entry n is true when effect n may be chosen at random. One byte per entry,
// as the show file stores it; all set when the package starts.
extern std::array<bool, 32> RandomBlendings;

// Allows every effect for the random choice again.
void RandomAll();

// Makes what was drawn on the canvas visible (a window canvas pushes its
// surface to the screen). Called after every step and after the final copy.
using TCanvasFlush = std::function<void(TCanvas&)>;

// Draws effect n of newBitmap over what canvas shows. oldBitmap is the
// picture now on screen, needed by 30 and 31 only (may be null). Numbers
// outside 0-31 draw nothing.
void BlendNr(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas, int n, const TCanvasFlush& flush = {});
void BlendNone(TBitmap& newBitmap, TCanvas& canvas);
void BlendRandom(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas);
void BlendRandomEnabled(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas);

// A random enabled effect 2-31, or 0 when none of them is enabled.
int GetRandomBlending();
// The number to play for a stored one: 1 becomes a random enabled effect,
// 0 and 2-31 stay, anything else becomes 0.
int GetBlending(int n);
bool NeedOldBitmap(int n);
// The 32 German effect names, indexed by effect number. Caller owns the list.
std::unique_ptr<TStringList> BlendingNames();
bool SameBitmapSize(const TBitmap* oldBitmap, const TBitmap& newBitmap);

// Step pacing: a step starts with StartFrameClock and ends with
// WaitFrameClock(n), which sleeps 10 ms and then 1 ms at a time, at least
// once, until n ms have passed since the step began, its drawing included.
// So every step gives the processor at least 11 ms, a slow step is not made
// up by the next ones, and an effect lasts its steps times their lengths.
void StartFrameClock();
void WaitFrameClock(int n);

// One cell of the cell engine: its full rectangle and its visible size now.
// A visible size of 0 or less is not drawn yet; -k delays the cell by about
// k / 2 steps.
struct TCell {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    std::int32_t VisibleWidth = 0;
    std::int32_t VisibleHeight = 0;
};

// The grid of square cells (side s plus 1 px overlap) over the bitmap, row by
// row. cols = 0 asks for the default grid (about 10 cells along the longer
// side); otherwise cols or rows (by the longer side) sets the cell size. Both
// are set to the grid's size on return.
std::vector<TCell> BuildCellGrid(const TBitmap& newBitmap, int& cols, int& rows);
// Start value of the cell in row r, column c of a rows x cols grid for cell
// effect n (13-29), and the grid size the effect asks for (0 = default).
int CellStartValue(int n, int r, int c, int rows, int cols);
int CellGridSize(int n);
// Opens every cell from its centre, 2 px per 10-ms step, then copies the
// whole bitmap.
void AnimateCellGrid(TBitmap& newBitmap, TCanvas& canvas, std::vector<TCell>& cells);

// The effects; effect n (2-29) is Blend(n - 1).
void Blend1(TBitmap& newBitmap, TCanvas& canvas);
void Blend2(TBitmap& newBitmap, TCanvas& canvas);
void Blend3(TBitmap& newBitmap, TCanvas& canvas);
void Blend4(TBitmap& newBitmap, TCanvas& canvas);
void Blend5(TBitmap& newBitmap, TCanvas& canvas);
void Blend6(TBitmap& newBitmap, TCanvas& canvas);
void Blend7(TBitmap& newBitmap, TCanvas& canvas);
void Blend8(TBitmap& newBitmap, TCanvas& canvas);
void Blend9(TBitmap& newBitmap, TCanvas& canvas);
void Blend10(TBitmap& newBitmap, TCanvas& canvas);
void Blend11(TBitmap& newBitmap, TCanvas& canvas);
void Blend12(TBitmap& newBitmap, TCanvas& canvas);
void Blend13(TBitmap& newBitmap, TCanvas& canvas);
void Blend14(TBitmap& newBitmap, TCanvas& canvas);
void Blend15(TBitmap& newBitmap, TCanvas& canvas);
void Blend16(TBitmap& newBitmap, TCanvas& canvas);
void Blend17(TBitmap& newBitmap, TCanvas& canvas);
void Blend18(TBitmap& newBitmap, TCanvas& canvas);
void Blend19(TBitmap& newBitmap, TCanvas& canvas);
void Blend20(TBitmap& newBitmap, TCanvas& canvas);
void Blend21(TBitmap& newBitmap, TCanvas& canvas);
void Blend22(TBitmap& newBitmap, TCanvas& canvas);
void Blend23(TBitmap& newBitmap, TCanvas& canvas);
void Blend24(TBitmap& newBitmap, TCanvas& canvas);
void Blend25(TBitmap& newBitmap, TCanvas& canvas);
void Blend26(TBitmap& newBitmap, TCanvas& canvas);
void Blend27(TBitmap& newBitmap, TCanvas& canvas);
void Blend28(TBitmap& newBitmap, TCanvas& canvas);
// Cross-fades from oldBitmap (same size and format as newBitmap) in 16
// (BlendAlpha) or 32 (BlendAlphaSoft) steps of 20 ms.
void BlendAlpha(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas);
void BlendAlphaSoft(TBitmap& newBitmap, TBitmap& oldBitmap, TCanvas& canvas);

// One row of the effect table.
struct TBlendingEffect {
    int Number;
    const char* Name;
    bool NeedsOldBitmap;
    int StepMs; // 0 for the effects without steps
    void (*Run)(TBitmap& newBitmap, TBitmap* oldBitmap, TCanvas& canvas);
};

// Effects 0-31, index = number.
extern const std::array<TBlendingEffect, 32> BlendingEffects;

} // namespace Blendings
