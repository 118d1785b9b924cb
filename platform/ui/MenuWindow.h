#pragma once

// The toolkit's menu behind a shown popup menu. Internal to the UI layer and
// its tests.

#include <memory>

#include <QMenu>

class TMenuItem;

namespace ui {

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
