#pragma once
// The guard of a property setter that acts only on a real change: the field
// takes the value when it differs, and the answer tells the setter whether to
// redraw or react.
//
//     void TGauge::SetForeColor(TColor Value)
//     {
//         if (rtl::AssignIfChanged(foreColor_, Value))
//             Invalidate();
//     }

#include <utility>

namespace rtl {

template <typename T, typename V> bool AssignIfChanged(T& field, V&& value)
{
    if (field == value)
        return false;
    field = std::forward<V>(value);
    return true;
}

} // namespace rtl
