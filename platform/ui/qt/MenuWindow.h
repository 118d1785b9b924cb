#pragma once

// The toolkit's menu behind a shown popup menu, and the toolkit's menus of
// menu items. For the backend only.

#include <memory>

#include <QKeySequence>
#include <QMenu>

#include "platform/ui/Menus.h"

namespace ui {

// A shortcut as the toolkit keeps it (empty for keys it cannot show).
QKeySequence KeySequenceOf(TShortCut shortCut);

// Adds the visible items as entries of a toolkit menu (sub-items become
// sub-menus).
void FillMenu(QMenu* menu, TMenuItem& parent);

class TPopupWindow {
public:
    // Builds the menu from the visible items (sub-items become sub-menus).
    explicit TPopupWindow(TMenuItem& items);
    ~TPopupWindow();
    TPopupWindow(const TPopupWindow&) = delete;
    TPopupWindow& operator=(const TPopupWindow&) = delete;

    QMenu* Menu() const { return menu_.get(); }

private:
    std::unique_ptr<QMenu> menu_;
};

} // namespace ui
