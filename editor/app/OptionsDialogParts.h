#pragma once

// The pieces the show options and the program options build their tabs
// from: tab sheets, labels, captioned boxes and number edits, each owned by
// the dialog.

#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

#include <string>

namespace OptionsDialogParts {

template <class C>
C* NewControl(TWinControl* Parent, TComponent* Owner, const std::string& Caption, int Left, int Top, int Width)
{
    auto* control = new C(Owner);
    control->SetParent(Parent);
    control->SetCaption(Caption);
    control->SetBounds(Left, Top, Width, 17);
    return control;
}

inline TTabSheet* NewSheet(TPageControl* Pages, TComponent* Owner, const std::string& Caption)
{
    auto* sheet = new TTabSheet(Owner);
    sheet->SetPageControl(Pages);
    sheet->SetCaption(Caption);
    return sheet;
}

inline TKsSpinEdit* NewSpinEdit(TWinControl* Parent, TComponent* Owner, int Left, int Top, double Min, double Max,
                                double Step)
{
    auto* edit = new TKsSpinEdit(Owner);
    edit->SetParent(Parent);
    edit->SetBounds(Left, Top, 100, 21);
    edit->MinValue = Min;
    edit->MaxValue = Max;
    edit->Increment = Step;
    return edit;
}

inline TLabel* NewLabel(TWinControl* Parent, TComponent* Owner, const std::string& Caption, int Left, int Top)
{
    auto* label = new TLabel(Owner);
    label->SetParent(Parent);
    label->SetCaption(Caption);
    label->SetLeft(Left);
    label->SetTop(Top);
    return label;
}

} // namespace OptionsDialogParts
