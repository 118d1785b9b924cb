#pragma once

// Small helpers that lay out the main window's controls, and the sizes it
// was designed with (the splitters take their limits from them).

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

#include <string>

namespace FormBuilding {

constexpr int DesignListWidth = 230;
constexpr int DesignPanel2Width = 400;
constexpr int DesignPanel3Height = 250;
constexpr int DesignCommentsHeight = 120;
constexpr int GroupMargin = 6;

inline TPanel* NewPanel(TWinControl* Parent, TAlign Align)
{
    auto* panel = new TPanel(Parent->Owner());
    panel->SetParent(Parent);
    panel->SetAlign(Align);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    return panel;
}

inline TGroupBox* NewGroupBox(TWinControl* Parent, const std::string& Caption)
{
    auto* group = new TGroupBox(Parent->Owner());
    group->SetParent(Parent);
    group->SetAlign(alClient);
    group->SetCaption(Caption);
    return group;
}

inline TCheckBox* NewCheckBox(TWinControl* Parent, const std::string& Caption, int Top)
{
    auto* check = new TCheckBox(Parent->Owner());
    check->SetParent(Parent);
    check->SetBounds(10, Top, 250, 20);
    check->SetCaption(Caption);
    return check;
}

} // namespace FormBuilding
