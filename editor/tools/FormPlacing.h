#pragma once

// Laying out the assistants' controls by hand: a control of a kind put on a
// parent at a place, owned by the parent's owner so the form frees it.

#include "platform/ui/Controls.h"
#include "widgets/Spin.h"

#include <string>

namespace FormPlacing {

template <class T> T* Place(TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new T(Parent->Owner() ? Parent->Owner() : Parent);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

// A control of one line's height with its caption.
template <class T> T* Captioned(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width)
{
    T* control = Place<T>(Parent, Left, Top, Width, 20);
    control->SetCaption(Caption);
    return control;
}

// A number field of the assistants' size taking Min .. Max.
inline TSpinEdit* SpinEdit(TWinControl* Parent, int Left, int Top, int Min, int Max)
{
    auto* edit = Place<TSpinEdit>(Parent, Left, Top, 70, 22);
    edit->MinValue = Min;
    edit->MaxValue = Max;
    return edit;
}

} // namespace FormPlacing
