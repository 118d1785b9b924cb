// The test driver's menus: the windows of popup menus and the main menu's
// bar with its drop-downs.

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include "platform/ui/Menus.h"
#include "platform/ui/qt/MenuWindow.h"
#include "platform/ui/qt/NativeWidget.h"
#include "platform/ui/qt/TestDriver.h"

namespace ui::test {
namespace {

QMenu* MenuOf(const TPopupMenu& menu) { return menu.PopupWindow() ? menu.PopupWindow()->Menu() : nullptr; }

QMenuBar* BarOf(TMainMenu& menu)
{
    auto* bar = static_cast<TNativeControl*>(menu.MenuBar());
    return static_cast<QMenuBar*>(NativeWidgetOf(bar));
}

QMenu* DropDownOf(TMainMenu& menu, int entry) { return BarOf(menu)->actions().at(entry)->menu(); }

std::vector<TShownEntry> EntriesOf(const QWidget* widget, const QMenu* menu)
{
    std::vector<TShownEntry> entries;
    for (QAction* action : widget->actions()) {
        TShownEntry entry;
        entry.Text = action->text().toStdString();
        entry.Separator = action->isSeparator();
        entry.Enabled = action->isEnabled();
        entry.Checked = action->isChecked();
        entry.HasIcon = !action->icon().isNull();
        entry.SubMenu = action->menu() != nullptr;
        entry.ShortCut = action->shortcut().toString(QKeySequence::PortableText).toStdString();
        if (menu) {
            QRect area = menu->actionGeometry(action);
            entry.Area = Bounds(area.x(), area.y(), area.width(), area.height());
        }
        entries.push_back(entry);
    }
    return entries;
}

// A left click on an entry, as the user picks it.
void ClickEntry(QMenu* menu, QAction* action)
{
    QPointF at = menu->actionGeometry(action).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    Deliver(menu, press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    Deliver(menu, release);
}

} // namespace

bool PopupShown(const TPopupMenu& menu) { return MenuOf(menu) && MenuOf(menu)->isVisible(); }

std::vector<TShownEntry> PopupEntries(const TPopupMenu& menu)
{
    QMenu* shown = MenuOf(menu);
    return shown ? EntriesOf(shown, shown) : std::vector<TShownEntry>{};
}

void ClickPopupEntry(TPopupMenu& menu, int entry)
{
    QMenu* shown = MenuOf(menu);
    ClickEntry(shown, shown->actions().at(entry));
}

void HighlightPopupEntry(TPopupMenu& menu, int entry)
{
    QMenu* shown = MenuOf(menu);
    shown->setActiveAction(shown->actions().at(entry));
}

TShownImage GrabPopup(TPopupMenu& menu) { return ShownImageOf(MenuOf(menu)->grab().toImage()); }

TShownImage PopupEntryIcon(TPopupMenu& menu, int entry, int size)
{
    return ShownImageOf(MenuOf(menu)->actions().at(entry)->icon().pixmap(size, size).toImage());
}

std::vector<TShownEntry> MenuBarEntries(TMainMenu& menu) { return EntriesOf(BarOf(menu), nullptr); }

void OpenMenuBarEntry(TMainMenu& menu, int entry) { DropDownOf(menu, entry)->popup(QPoint(0, 0)); }

std::vector<TShownEntry> MenuBarDropDown(TMainMenu& menu, int entry)
{
    QMenu* drop = DropDownOf(menu, entry);
    return drop ? EntriesOf(drop, drop) : std::vector<TShownEntry>{};
}

void ClickMenuBarDropDownEntry(TMainMenu& menu, int entry, int dropDownEntry)
{
    QMenu* drop = DropDownOf(menu, entry);
    ClickEntry(drop, drop->actions().at(dropDownEntry));
}

void PickMenuBarEntry(TMainMenu& menu, int entry) { BarOf(menu)->actions().at(entry)->trigger(); }

} // namespace ui::test
