#pragma once
// The library's registrations with the platform's picture loader: the
// extensions of every reader (and of the platform's own formats, under
// German descriptions) in one fixed order, made once when the library starts
// and undone when the last user is gone.
//
// The library registers itself when it is loaded. A unit that replaces one of
// these extensions with a class of its own (the smooth bitmap takes "bmp")
// calls Initialize() first, so that its registration comes last and wins
// whatever order the units start in.

namespace FormatRegistrations {

// Counted: the first call creates FileFormatList and registers; later calls
// only count.
void Initialize();
// The last call unregisters every reader and frees FileFormatList.
void Finalize();

} // namespace FormatRegistrations
