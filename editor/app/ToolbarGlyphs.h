#pragma once

// The pictures of the main window's toolbar buttons, drawn here instead of
// read from files: one 16x16 glyph on the olive key colour per button, left
// to right as the toolbar shows them.

class TBitmap;

namespace ToolbarGlyphs {

constexpr int ButtonCount = 21;

// The pictures by what their buttons do, in toolbar order; the show-list
// manager's buttons use the same pictures for the same kinds of command.
enum TToolbarGlyph : int {
    tgNew,
    tgOpen,
    tgSave,
    tgShowOptions,
    tgAdd,
    tgRemove,
    tgRename,
    tgSortMode,
    tgEdit,
    tgPrint,
    tgFullSize,
    tgCatalog,
    tgStart,
    tgStartAtMarked,
    tgCompilation,
    tgHtml,
    tgConvert,
    tgSound,
    tgImport,
    tgWallpaper,
    tgManager,
};

// Makes Bitmap the glyph of the toolbar button at Index (0: the first on
// the left). False (and Bitmap untouched) for an index outside the toolbar.
bool Paint(TBitmap& Bitmap, int Index);

} // namespace ToolbarGlyphs
