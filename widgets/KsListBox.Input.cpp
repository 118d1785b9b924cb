#include "widgets/KsListBox.h"

#include <algorithm>

// Input

void TKsCustomListBox::SelectionChanged() { Click(); }

void TKsCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus())
            SetFocus();
        const int index = ItemAtPos({X, Y}, true);
        const bool extending = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
        if (DragMode == dmAutomatic && multiSelect_ && index >= 0 && list_[static_cast<std::size_t>(index)].Selected &&
            !extending) {
            // Pressing the selection drags all of it, the selection as it is.
            TCustomControl::MouseDown(Button, Shift, X, Y);
            BeginDrag(true);
            return;
        }
        if (index >= 0) {
            if (multiSelect_ && (Shift.Contains(ssCtrl) || !ExtendedSelect)) {
                auto& item = list_[static_cast<std::size_t>(index)];
                item.Selected = !item.Selected;
                itemIndex_ = index;
                Invalidate();
                SelectionChanged();
            } else if (multiSelect_ && Shift.Contains(ssShift) && itemIndex_ >= 0) {
                // Shift selects the run from the current item to the pressed one.
                const int from = std::min(itemIndex_, index), to = std::max(itemIndex_, index);
                for (int i = 0; i < static_cast<int>(list_.size()); ++i)
                    list_[static_cast<std::size_t>(i)].Selected = i >= from && i <= to;
                itemIndex_ = index;
                Invalidate();
                SelectionChanged();
            } else if (multiSelect_) {
                for (std::size_t i = 0; i < list_.size(); ++i)
                    list_[i].Selected = static_cast<int>(i) == index;
                itemIndex_ = index;
                Invalidate();
                SelectionChanged();
            } else if (index != itemIndex_) {
                SetItemIndex(index);
                SelectionChanged();
            }
        }
        TCustomControl::MouseDown(Button, Shift, X, Y);
        // Ctrl and Shift extend a multiple selection instead of dragging.
        if (DragMode == dmAutomatic && !(multiSelect_ && (Shift.Contains(ssCtrl) || Shift.Contains(ssShift))))
            BeginDrag(true);
        return;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

// The press itself decides whether to drag (MouseDown).
void TKsCustomListBox::BeginAutoDrag() { }

void TKsCustomListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    const int count = static_cast<int>(list_.size());
    int target = itemIndex_;
    switch (Key) {
    case VK_UP: target = std::max(itemIndex_ - 1, 0); break;
    case VK_DOWN: target = std::min(itemIndex_ + 1, count - 1); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    default: TCustomControl::KeyDown(Key, Shift); return;
    }
    if (count > 0 && target != itemIndex_) {
        if (multiSelect_)
            for (std::size_t i = 0; i < list_.size(); ++i)
                list_[i].Selected = static_cast<int>(i) == target;
        SetItemIndex(target);
        SelectionChanged();
    }
    Key = 0;
}

void TKsCustomListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        RecalcExtent();
        Invalidate();
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TKsCustomListBox::Resize()
{
    TCustomControl::Resize();
    Invalidate();
}
