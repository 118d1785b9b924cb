#pragma once

// Menus: items with "&" captions, shortcuts, checked and radio items in
// groups; popup menus shown by the toolkit at a screen point (a control's
// right click shows its PopupMenu), and the main menu's shortcuts.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"

// A key with its modifiers, as menus store it.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD Key, TShiftState Shift);

class TMenuItem : public TComponent {
    DECLARE_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the sub-items and leaves the parent item.
    ~TMenuItem() override;

    std::string Caption;
    TShortCut ShortCut = scNone;
    bool Enabled = true;
    bool Visible = true;
    // Radio items of one parent and GroupIndex exclude each other.
    bool RadioItem = false;
    std::uint8_t GroupIndex = 0;
    int ImageIndex = -1;
    bool Checked() const { return checked_; }
    void SetChecked(bool Value);
    // A caption of "-" makes a separator line.
    bool IsLine() const { return Caption == "-"; }

    // Sub-items; the item frees those it holds.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* Item) { Insert(Count(), Item); }
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out without freeing it.
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The sub-item whose caption, without "&", equals the text (case-insensitive).
    TMenuItem* Find(const std::string& ACaption) const;

    // Fires OnClick when the item is enabled.
    virtual void Click();
    TNotifyEvent OnClick;

private:
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    bool checked_ = false;
};

class TMenu : public TComponent {
    DECLARE_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem& Items() { return *items_; }

    // Clicks the enabled, visible item with this shortcut (whose parents are
    // enabled and visible); false when there is none.
    bool IsShortCut(WORD Key, TShiftState Shift);

private:
    std::unique_ptr<TMenuItem> items_;
};

class TMainMenu : public TMenu {
    DECLARE_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner);
};

namespace ui {
class TPopupWindow;
}

class TPopupMenu : public TMenu {
    DECLARE_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Fires OnPopup, then shows the visible items at the screen point. The
    // call returns at once; a chosen item's OnClick follows from the loop.
    virtual void Popup(int X, int Y);
    // The control that was right-clicked for the last popup.
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;

    // The menu window while it is shown (for the layer and tests).
    ui::TPopupWindow* PopupWindow() const { return window_.get(); }

private:
    std::unique_ptr<ui::TPopupWindow> window_;
};
