#include "platform/ui/OwnerDrawnItems.h"

#include <algorithm>

namespace ui {

void TOwnerDrawnItems::Forget(int count) { heights_.assign(static_cast<size_t>(std::max(count, 0)), 0); }

int TOwnerDrawnItems::HeightOf(int index, bool varying, const std::function<void(int Index, int& Height)>& measure)
{
    if (!varying || index < 0 || index >= static_cast<int>(heights_.size()))
        return ItemHeight;
    int& height = heights_[static_cast<size_t>(index)];
    if (height <= 0) {
        int measured = ItemHeight;
        measure(index, measured);
        height = std::max(measured, 1);
    }
    return height;
}

void TOwnerDrawnItems::Draw(const TControl& control, const TRect& rect, TOwnerDrawState state,
                            const std::function<void(const TRect& Rect, TOwnerDrawState State)>& draw)
{
    if (!control.Enabled())
        state.Include(odDisabled);
    const bool selected = state.Contains(odSelected);
    TCanvasStateScope keep(Canvas);
    Canvas.Font.Assign(control.Font());
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = selected ? clHighlight : control.Color();
    if (selected)
        Canvas.Font.SetColor(clHighlightText);
    drawing_ = true;
    struct Mark {
        bool& flag;
        ~Mark() { flag = false; } // also when the handler throws
    } mark{drawing_};
    draw(rect, state);
    if (state.Contains(odFocused))
        Canvas.DrawFocusRect(rect);
}

} // namespace ui
