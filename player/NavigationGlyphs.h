#pragma once
// The pictures on the playback window's navigation buttons. Each is a strip of
// two 16×16 cells (normal, disabled) on the olive key colour, the way the
// speed button expects a two-glyph strip with a transparent bottom-left pixel.

class TBitmap;

enum class TNavigationGlyph { Previous, Play, Pause, Next, Catalog, Comments, Delay, Music, Sound, Exit, Info };

namespace NavigationGlyphs {

constexpr int CellSize = 16;

// Makes Strip a 32×16 strip showing Kind, enabled in cell 0 and greyed in cell 1.
void Paint(TBitmap& Strip, TNavigationGlyph Kind);

} // namespace NavigationGlyphs
