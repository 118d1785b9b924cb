#include "platform/ui/Menus.h"

#include <QAction>
#include <QMenu>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/MenuWindow.h"
#include "tests/ui/UiFixture.h"

namespace {

class MenusTest : public UiTest {
protected:
    TMenuItem* AddItem(TMenuItem& parent, const std::string& caption, std::vector<std::string>* clicks = nullptr)
    {
        auto* item = new TMenuItem(nullptr);
        item->Caption = caption;
        if (clicks)
            item->OnClick = [clicks, caption](TObject*) { clicks->push_back(caption); };
        parent.Add(item);
        return item;
    }

    static QAction* ActionNamed(QMenu* menu, const QString& text)
    {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    // A left click on a menu entry, as the user picks it.
    static void ClickEntry(QMenu* menu, QAction* action)
    {
        QPointF at = menu->actionGeometry(action).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(menu, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(menu, &release);
    }
};

TEST_F(MenusTest, RightClickPopsUpTheControlsMenuAndAPickedEntryFiresOnClick)
{
    TForm* form = NewForm();
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 100, 100);
    auto* menu = new TPopupMenu(form);
    std::vector<std::string> clicks;
    AddItem(menu->Items(), "&Öffnen", &clicks);
    AddItem(menu->Items(), "-");
    TMenuItem* hidden = AddItem(menu->Items(), "Versteckt", &clicks);
    hidden->Visible = false;
    TMenuItem* off = AddItem(menu->Items(), "Gesperrt", &clicks);
    off->Enabled = false;
    int popups = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    panel->SetPopupMenu(menu);
    form->Show();
    Turn();

    SendMouse(panel, QEvent::MouseButtonPress, {20, 20}, Qt::RightButton, Qt::RightButton);
    SendMouse(panel, QEvent::MouseButtonRelease, {20, 20}, Qt::RightButton, Qt::NoButton);
    Turn();
    ASSERT_NE(menu->PopupWindow(), nullptr);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu->PopupComponent, panel);
    QMenu* shown = menu->PopupWindow()->Menu();
    EXPECT_TRUE(shown->isVisible());
    // The separator and the two other entries; the hidden item is left out.
    EXPECT_EQ(shown->actions().size(), 3);
    EXPECT_TRUE(shown->actions()[1]->isSeparator());
    EXPECT_EQ(ActionNamed(shown, "Versteckt"), nullptr);

    ClickEntry(shown, ActionNamed(shown, "Gesperrt"));
    ClickEntry(shown, ActionNamed(shown, "&Öffnen"));
    Turn();
    EXPECT_EQ(clicks, std::vector<std::string>{"&Öffnen"});
}

TEST_F(MenusTest, RadioItemsOfAGroupExcludeEachOtherAndShowTheirState)
{
    TPopupMenu menu(nullptr);
    TMenuItem* a = AddItem(menu.Items(), "A");
    TMenuItem* b = AddItem(menu.Items(), "B");
    TMenuItem* other = AddItem(menu.Items(), "C");
    for (TMenuItem* item : {a, b, other})
        item->RadioItem = true;
    other->GroupIndex = 1;
    other->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(other->Checked());

    menu.Popup(10, 10);
    QMenu* shown = menu.PopupWindow()->Menu();
    EXPECT_TRUE(ActionNamed(shown, "B")->isChecked());
    EXPECT_FALSE(ActionNamed(shown, "A")->isChecked());
}

TEST_F(MenusTest, ShortCutsReachEnabledVisibleItemsAlsoInSubMenus)
{
    TMainMenu menu(nullptr);
    std::vector<std::string> clicks;
    TMenuItem* file = AddItem(menu.Items(), "&Datei");
    TMenuItem* save = AddItem(*file, "&Speichern", &clicks);
    save->ShortCut = ShortCut('S', {ssCtrl});
    TMenuItem* print = AddItem(*file, "&Drucken", &clicks);
    print->ShortCut = ShortCut('P', {ssCtrl});
    print->Enabled = false;

    EXPECT_TRUE(menu.IsShortCut('S', {ssCtrl}));
    EXPECT_FALSE(menu.IsShortCut('S', {}));
    EXPECT_FALSE(menu.IsShortCut('S', {ssCtrl, ssShift}));
    EXPECT_FALSE(menu.IsShortCut('P', {ssCtrl}));
    file->Visible = false;
    EXPECT_FALSE(menu.IsShortCut('S', {ssCtrl}));
    EXPECT_EQ(clicks, std::vector<std::string>{"&Speichern"});

    file->Visible = true;
    TPopupMenu popup(nullptr);
    popup.Items().Add(new TMenuItem(nullptr));
    popup.Items().Items(0)->Caption = "Speichern";
    popup.Items().Items(0)->ShortCut = save->ShortCut;
    popup.Popup(0, 0);
    EXPECT_EQ(popup.PopupWindow()->Menu()->actions()[0]->shortcut(), QKeySequence("Ctrl+S"));
}

TEST_F(MenusTest, ItemTreeKeepsOwnershipStraight)
{
    auto* form = NewForm();
    TPopupMenu menu(nullptr);
    auto* owned = new TMenuItem(form); // the form owns it, the menu holds it
    menu.Items().Add(owned);
    TMenuItem* sub = AddItem(*owned, "Unter");
    EXPECT_EQ(sub->Parent(), owned);
    EXPECT_EQ(menu.Items().Find("unter"), nullptr);
    EXPECT_EQ(owned->Find("UNTER"), sub);
    EXPECT_THROW(sub->Add(owned), EInvalidOperation);
    EXPECT_THROW(menu.Items().Add(sub), EInvalidOperation);
    EXPECT_THROW(menu.Items().Items(5), EListError);

    delete owned; // leaves the menu, frees its sub-item
    EXPECT_EQ(menu.Items().Count(), 0);
    // Items still held when the menu goes are freed with it (checked by the leak sanitizer).
    AddItem(menu.Items(), "Rest");
}

TEST_F(MenusTest, AnItemMayPopUpItsMenuAgainFromItsOwnClick)
{
    TPopupMenu menu(nullptr);
    int clicks = 0;
    TMenuItem* again = AddItem(menu.Items(), "Nochmal");
    again->OnClick = [&](TObject*) {
        ++clicks;
        menu.Popup(5, 5);
    };
    menu.Popup(5, 5);
    QMenu* first = menu.PopupWindow()->Menu();
    ClickEntry(first, first->actions()[0]);
    Turn();
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(menu.PopupWindow()->Menu(), nullptr);
}

} // namespace
