#pragma once

// What the owner-drawn lists of list and combo boxes share: the height of
// their items, asked once per item where the heights vary, and the drawing
// of one item on the control's canvas in the colours of its state.

#include <functional>
#include <vector>

#include "platform/ui/Controls.h"

namespace ui {

class TOwnerDrawnItems {
public:
    // The height of every item (the starting height measuring gets).
    int ItemHeight = 16;
    // The canvas items are drawn and measured on.
    TCanvas Canvas;

    // Forgets every measured height; count items, none asked yet.
    void Forget(int count);
    void Forget() { heights_.assign(heights_.size(), 0); }
    // An item's height: ItemHeight, or with varying heights what `measure`
    // answers for it (asked once until forgotten, at least 1).
    int HeightOf(int index, bool varying, const std::function<void(int Index, int& Height)>& measure);

    // Draws one item of the control with `draw`: the canvas has the
    // control's font and the colours of the state (the highlight while
    // selected), and a focused item gets the focus rectangle on top. A
    // disabled control's items are odDisabled.
    void Draw(const TControl& control, const TRect& rect, TOwnerDrawState state,
              const std::function<void(const TRect& Rect, TOwnerDrawState State)>& draw);
    // An item is being drawn: the canvas's font carries the state's colour,
    // which a handler asking for the canvas must find as it was set.
    bool Drawing() const { return drawing_; }

private:
    std::vector<int> heights_; // 0: not asked yet
    bool drawing_ = false;
};

} // namespace ui
