#include "wallpaper/WallPaperDialogs.h"

#include <utility>

namespace WallPaperDialogs {

namespace {

TShowDialog& Current()
{
    static TShowDialog show;
    return show;
}

} // namespace

TModalResult ShowDialog(TForm& Dialog) { return Current() ? Current()(Dialog) : Dialog.ShowModal(); }

TShowDialog SetShowDialog(TShowDialog Show)
{
    TShowDialog previous = std::move(Current());
    Current() = std::move(Show);
    return previous;
}

} // namespace WallPaperDialogs
