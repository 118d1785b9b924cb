#pragma once

// The stock clips of the animation control: a sheet flying from one folder
// to another (copying files), and a sheet flying from a folder into the
// waste bin (deleting files).

#include <cstdint>

class TAnimate;

enum TCommonAVI : std::uint8_t { aviNone, aviCopyFile, aviDeleteFile };

namespace ui {

// Puts the clip's frames into the control (aviNone: no frames); the control
// stops playing and takes the clip's size and pace.
void LoadCommonAVI(TAnimate& Animate, TCommonAVI Clip);

} // namespace ui
