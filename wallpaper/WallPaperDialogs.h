#pragma once

// How the wallpaper program shows its modal dialogs: by default the form's
// own modal loop; tests put a function in its place that fills the dialog
// and gives the answer.

#include <functional>

#include "platform/ui/Forms.h"

namespace WallPaperDialogs {

using TShowDialog = std::function<TModalResult(TForm& Dialog)>;

TModalResult ShowDialog(TForm& Dialog);

// Replaces the way dialogs are shown; an empty function restores the
// modal loop. Returns the previous one.
TShowDialog SetShowDialog(TShowDialog Show);

} // namespace WallPaperDialogs
