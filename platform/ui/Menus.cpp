#include "platform/ui/Menus.h"

#include <algorithm>
#include <cctype>

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/MenuWindow.h"

IMPLEMENT_CLASS(TMenuItem)
IMPLEMENT_CLASS(TMenu)
IMPLEMENT_CLASS(TMainMenu)
IMPLEMENT_CLASS(TPopupMenu)

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    TShortCut result = Key & 0x00FF;
    if (Shift.Contains(ssShift))
        result |= scShift;
    if (Shift.Contains(ssCtrl))
        result |= scCtrl;
    if (Shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

namespace {

std::string PlainCaption(const std::string& caption)
{
    std::string plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

bool SameText(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

// --- TMenuItem ---

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    Clear();
    if (parent_)
        parent_->Remove(this);
}

void TMenuItem::SetChecked(bool Value)
{
    checked_ = Value;
    if (!Value || !RadioItem || !parent_)
        return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex)
            sibling->checked_ = false;
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<size_t>(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item || Item->parent_)
        throw EInvalidOperation("Menu item is already inserted");
    if (Index < 0 || Index > Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == Item)
            throw EInvalidOperation("Menu item cannot hold itself");
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it == items_.end())
        throw EListError("Menu item not found");
    items_.erase(it);
    Item->parent_ = nullptr;
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear()
{
    while (!items_.empty())
        delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const
{
    for (TMenuItem* item : items_)
        if (SameText(PlainCaption(item->Caption), PlainCaption(ACaption)))
            return item;
    return nullptr;
}

void TMenuItem::Click()
{
    if (Enabled && OnClick)
        OnClick(this);
}

// --- menus ---

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr)) {}

TMenu::~TMenu() = default;

namespace {

TMenuItem* FindShortCut(TMenuItem& parent, TShortCut shortCut)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible || !item->Enabled)
            continue;
        if (item->ShortCut == shortCut)
            return item;
        if (TMenuItem* inner = FindShortCut(*item, shortCut))
            return inner;
    }
    return nullptr;
}

} // namespace

bool TMenu::IsShortCut(WORD Key, TShiftState Shift)
{
    TShortCut wanted = ShortCut(Key, Shift);
    if (wanted == scNone)
        return false;
    TMenuItem* item = FindShortCut(*items_, wanted);
    if (!item)
        return false;
    item->Click();
    return true;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    window_ = std::make_unique<ui::TPopupWindow>(Items());
    window_->Menu()->popup(QPoint(X, Y));
}

// --- the toolkit's menu ---

namespace ui {

namespace {

// The shortcut as the toolkit writes it beside the caption.
QKeySequence KeySequenceOf(TShortCut shortCut)
{
    int key = shortCut & 0xFF;
    int qtKey = 0;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        qtKey = key;
    else if (key >= VK_F1 && key < VK_F1 + 24)
        qtKey = Qt::Key_F1 + (key - VK_F1);
    else if (key == VK_DELETE)
        qtKey = Qt::Key_Delete;
    else if (key == VK_RETURN)
        qtKey = Qt::Key_Return;
    else if (key == VK_SPACE)
        qtKey = Qt::Key_Space;
    else if (key == VK_ESCAPE)
        qtKey = Qt::Key_Escape;
    if (!qtKey)
        return {};
    int mods = 0;
    if (shortCut & scShift)
        mods |= Qt::SHIFT;
    if (shortCut & scCtrl)
        mods |= Qt::CTRL;
    if (shortCut & scAlt)
        mods |= Qt::ALT;
    return QKeySequence(qtKey | mods);
}

void FillMenu(QMenu* menu, TMenuItem& parent)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible)
            continue;
        if (item->IsLine()) {
            menu->addSeparator();
            continue;
        }
        QString caption = QString::fromStdString(item->Caption);
        if (item->Count() > 0) {
            QMenu* sub = menu->addMenu(caption);
            sub->setEnabled(item->Enabled);
            FillMenu(sub, *item);
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setEnabled(item->Enabled);
        action->setCheckable(item->Checked() || item->RadioItem);
        action->setChecked(item->Checked());
        // Shown only: the shortcut itself is handled by the menu's owner.
        action->setShortcut(KeySequenceOf(item->ShortCut));
        action->setShortcutContext(Qt::WidgetShortcut);
        QObject::connect(action, &QAction::triggered, menu, [item] { item->Click(); });
    }
}

} // namespace

TPopupWindow::TPopupWindow(TMenuItem& items) : menu_(std::make_unique<QMenu>()) { FillMenu(menu_.get(), items); }

// The menu may be replaced from inside one of its own item's clicks.
TPopupWindow::~TPopupWindow() { menu_.release()->deleteLater(); }

} // namespace ui

// A right click shows the control's popup menu.
namespace {
const bool popupHandlerInstalled = [] {
    ui::PopupMenuHandler() = [](TPopupMenu* menu, TControl* control, TPoint at) {
        menu->PopupComponent = control;
        menu->Popup(at.X, at.Y);
    };
    return true;
}();
} // namespace
