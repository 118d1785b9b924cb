// The keyboard focus and the tab order of windowed controls.

#include "platform/ui/Controls.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Forms.h"

int TWinControl::TabOrder() const
{
    if (!parent_)
        return -1;
    int order = 0;
    for (TControl* c : parent_->controls_) {
        if (c == this)
            return order;
        if (dynamic_cast<TWinControl*>(c))
            ++order;
    }
    return -1;
}

void TWinControl::SetTabOrder(int Value)
{
    if (!parent_)
        return;
    auto& list = parent_->controls_;
    std::erase(list, static_cast<TControl*>(this));
    int order = 0;
    auto it = list.begin();
    for (; it != list.end() && order < Value; ++it)
        if (dynamic_cast<TWinControl*>(*it))
            ++order;
    list.insert(it, this);
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return ParentForm() != nullptr;
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (TCustomForm* form = ParentForm(); form && form != this)
        form->SetActiveControl(this);
    else
        ui::ChangeFocus(Handle());
}

std::vector<TWinControl*> TWinControl::TabOrderList() const
{
    std::vector<TWinControl*> list;
    for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            list.push_back(w);
            std::vector<TWinControl*> inner = w->TabOrderList();
            list.insert(list.end(), inner.begin(), inner.end());
        }
    }
    return list;
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const
{
    std::vector<TWinControl*> list = TabOrderList();
    if (list.empty())
        return nullptr;
    auto n = static_cast<std::ptrdiff_t>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    std::ptrdiff_t start = it == list.end() ? (GoForward ? -1 : n) : it - list.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        std::ptrdiff_t i = ((start + (GoForward ? step : -step)) % n + n) % n;
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate != CurControl && candidate->CanFocus() && (!CheckTabStop || candidate->TabStop()))
            return candidate;
    }
    return nullptr;
}

bool TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop);
    if (!next)
        return false;
    next->SetFocus();
    return true;
}

bool TWinControl::Focused() const { return handle_ && ui::GetFocus() == handle_; }
