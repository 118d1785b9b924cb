#pragma once
// Text on a canvas: the flags of gfx::DrawText (declared with TCanvas) and
// the metrics of the canvas font. The TCanvas text members and DrawText are
// defined in CanvasText.cpp.
//
// DrawText lays the text out in lines of the font's cell height: hard line
// breaks (CR LF, LF or CR) unless DT_SINGLELINE; with DT_WORDBREAK lines break
// at blanks so that they fit the rectangle's width (a longer word stands alone
// and is clipped). "&x" underlines x and "&&" gives "&" unless DT_NOPREFIX.
// Tabs advance to the next multiple of eight average character widths with
// DT_EXPANDTABS. Vertical centring and bottom alignment apply to single lines.
// The brush decides the background: bsClear draws the glyphs only, any other
// style fills each line's cell in the brush colour first. Without DT_NOCLIP
// nothing is drawn outside the rectangle. With DT_CALCRECT nothing is drawn:
// the rectangle's right and bottom edges are set to bound the text. The result
// is the text's height (with DT_VCENTER or DT_BOTTOM the offset from the
// rectangle's top to the bottom of the text).

#include "platform/graphics/Canvas.h"
#include "platform/graphics/TextEngine.h"

constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_EXTERNALLEADING = 0x0200;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
// Accepted; text runs left to right.
constexpr unsigned DT_RTLREADING = 0x20000;

namespace gfx {

// The face and size the font resolves to.
std::shared_ptr<FontInstance> FontOf(const TFont& font);

// The metrics of the canvas's current font.
TTextMetric GetTextMetrics(TCanvas& canvas);

} // namespace gfx
