#pragma once

// Menus: items with "&" captions, shortcuts, checked and radio items in
// groups; popup menus shown by the toolkit at a screen point (a control's
// right click shows its PopupMenu), and the main menu's shortcuts.

#include <cstdint>
#include <functional>
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

class TMenu;
class TImageList;

// Owner drawing of menu entries: the size an entry needs, and its look on
// the canvas (already set to the menu colours of the entry's state).
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;

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

    // The entry a double click on the menu's owner would pick; drawn bold.
    bool Default = false;
    // The menu the item belongs to (nullptr while it is in none).
    TMenu* GetParentMenu() const;

    // Owner drawing, used while the item's menu has OwnerDraw on.
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    // The size of the entry; OnMeasureItem may change the default.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    // Draws the entry: OnAdvancedDrawItem, else OnDrawItem, else the caption
    // (and shortcut) on the state's background.
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

private:
    friend class TMenu;
    class TImageList;

    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on a menu's root item
    bool checked_ = false;
};

class TMenu : public TComponent {
    DECLARE_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem& Items() { return *items_; }
    // The entries are drawn and measured by their items (through TCanvas).
    bool OwnerDraw = false;
    // The pictures of the entries (by ImageIndex); not owned, forgotten when
    // the list is freed.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value);

    // Clicks the enabled, visible item with this shortcut (whose parents are
    // enabled and visible); false when there is none.
    bool IsShortCut(WORD Key, TShiftState Shift);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> items_;
    TImageList* images_ = nullptr;
};

class TCustomForm;

// The menu of a form, shown as the bar across the top of the form: the
// bar is a control aligned to the top that the form grows by, so the
// form's other controls keep their room. A drop-down fires its item's
// OnClick and is built afresh each time it opens.
class TMainMenu : public TMenu {
    DECLARE_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    // Shows the bar on the form (nullptr: takes it off); the form calls it
    // when its Menu changes.
    void ShowOn(TCustomForm* Form);
    // The bar while it is shown (for the layer and tests).
    TWinControl* MenuBar() const { return bar_; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWinControl* bar_ = nullptr;
};

namespace ui {
class TPopupWindow;
}

enum TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    DECLARE_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Whether the menu opens by itself (on a right click, or from a button
    // that drops it down); off, only an explicit Popup shows it.
    bool AutoPopup = true;
    // Which side of the menu the popup point is.
    TPopupAlignment Alignment = paLeft;

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
