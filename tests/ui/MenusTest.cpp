#include "platform/ui/Menus.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/StdCtrls.h"
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

    // The index of the entry with the text, -1 when there is none.
    static int EntryNamed(const std::vector<ui::test::TShownEntry>& entries, const std::string& text)
    {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].Text == text)
                return static_cast<int>(i);
        return -1;
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

    SendMouse(panel, TMouseAction::Press, {20, 20}, mbRight, {ssRight});
    SendMouse(panel, TMouseAction::Release, {20, 20}, mbRight, {});
    Turn();
    ASSERT_NE(menu->PopupWindow(), nullptr);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu->PopupComponent, panel);
    EXPECT_TRUE(ui::test::PopupShown(*menu));
    // The separator and the two other entries; the hidden item is left out.
    std::vector<ui::test::TShownEntry> shown = ui::test::PopupEntries(*menu);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(shown[1].Separator);
    EXPECT_EQ(EntryNamed(shown, "Versteckt"), -1);
    EXPECT_FALSE(shown[EntryNamed(shown, "Gesperrt")].Enabled);

    ui::test::ClickPopupEntry(*menu, EntryNamed(shown, "Gesperrt"));
    ui::test::ClickPopupEntry(*menu, EntryNamed(shown, "&Öffnen"));
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
    std::vector<ui::test::TShownEntry> shown = ui::test::PopupEntries(menu);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(shown[EntryNamed(shown, "B")].Checked);
    EXPECT_FALSE(shown[EntryNamed(shown, "A")].Checked);
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
    EXPECT_EQ(ui::test::PopupEntries(popup).at(0).ShortCut, "Ctrl+S");
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
    ui::test::ClickPopupEntry(menu, 0);
    Turn();
    EXPECT_EQ(clicks, 1);
    ASSERT_NE(menu.PopupWindow(), nullptr);
    EXPECT_EQ(ui::test::PopupEntries(menu).size(), 1u);
}

} // namespace

namespace {

class MenuOwnerDrawTest : public MenusTest {
protected:
    static TPoint Centre(const TRect& area)
    {
        return {area.Left + (area.Width() - 1) / 2, area.Top + (area.Height() - 1) / 2};
    }
};

TEST_F(MenuOwnerDrawTest, EntriesAreMeasuredAndDrawnByTheirItemsThroughTheCanvas)
{
    TPopupMenu menu(nullptr);
    menu.OwnerDraw = true;
    std::vector<std::string> clicks;
    TMenuItem* open = AddItem(menu.Items(), "&Öffnen", &clicks);
    TMenuItem* line = AddItem(menu.Items(), "-");
    TMenuItem* off = AddItem(menu.Items(), "Gesperrt", &clicks);
    off->Enabled = false;
    off->SetChecked(true);
    struct Drawn {
        TMenuItem* item;
        TRect rect;
        TOwnerDrawState state;
    };
    std::vector<Drawn> drawn;
    for (TMenuItem* item : {open, line, off}) {
        item->OnMeasureItem = [item, line](TObject* sender, TCanvas*, int& width, int& height) {
            EXPECT_EQ(sender, item);
            width = 120;
            height = item == line ? 6 : 30;
        };
        item->OnAdvancedDrawItem = [&drawn, item](TObject*, TCanvas* canvas, TRect rect, TOwnerDrawState state) {
            drawn.push_back({item, rect, state});
            canvas->Brush.Color = state.Contains(odSelected) ? clBlue : clYellow;
            canvas->FillRect(rect);
        };
    }
    menu.Popup(10, 10);
    std::vector<ui::test::TShownEntry> shown = ui::test::PopupEntries(menu);
    ASSERT_EQ(shown.size(), 3u) << "the separator is an owner-drawn entry too";
    EXPECT_FALSE(shown[1].Separator);
    EXPECT_GE(shown[0].Area.Height(), 30);
    EXPECT_GE(shown[1].Area.Height(), 6);
    EXPECT_LT(shown[1].Area.Height(), 30);

    ui::test::HighlightPopupEntry(menu, 0);
    drawn.clear();
    ui::test::TShownImage image = ui::test::GrabPopup(menu);
    ASSERT_EQ(drawn.size(), 3u);
    for (const Drawn& d : drawn) {
        SCOPED_TRACE(d.item->Caption);
        EXPECT_EQ(d.rect.Left, 0);
        EXPECT_EQ(d.rect.Top, 0);
        EXPECT_EQ(d.state.Contains(odSelected), d.item == open);
        EXPECT_EQ(d.state.Contains(odDisabled), d.item == off);
        EXPECT_EQ(d.state.Contains(odChecked), d.item == off);
    }
    const TPoint opening = Centre(shown[0].Area);
    const TPoint disabled = Centre(shown[2].Area);
    EXPECT_EQ(image.Color(opening.X, opening.Y), clBlue);
    EXPECT_EQ(image.Color(disabled.X, disabled.Y), clYellow);

    ui::test::ClickPopupEntry(menu, 2); // disabled: nothing
    EXPECT_TRUE(ui::test::PopupShown(menu));
    ui::test::ClickPopupEntry(menu, 0);
    Turn();
    EXPECT_EQ(clicks, std::vector<std::string>{"&Öffnen"});
    EXPECT_FALSE(ui::test::PopupShown(menu));
}

TEST_F(MenuOwnerDrawTest, WithoutOwnerDrawTheToolkitDrawsAndShowsTheImagesOfTheList)
{
    TPopupMenu menu(nullptr);
    TMenuItem* item = AddItem(menu.Items(), "Bild");
    int measured = 0;
    item->OnMeasureItem = [&](TObject*, TCanvas*, int&, int&) { ++measured; };
    item->ImageIndex = 0;
    auto images = std::make_unique<TImageList>(4, 4);
    TBitmap picture(4, 4, pf24bit);
    picture.Canvas().Brush.Color = clRed;
    picture.Canvas().FillRect(Bounds(0, 0, 4, 4));
    images->AddMasked(picture, clNone);
    menu.SetImages(images.get());

    menu.Popup(10, 10);
    int entry = EntryNamed(ui::test::PopupEntries(menu), "Bild");
    ASSERT_GE(entry, 0);
    EXPECT_TRUE(ui::test::PopupEntries(menu)[entry].HasIcon);
    ui::test::TShownImage icon = ui::test::PopupEntryIcon(menu, entry, 4);
    EXPECT_EQ(icon.Color(1, 1), clRed);
    EXPECT_EQ(icon.Alpha(1, 1), 255);
    EXPECT_EQ(measured, 0);

    images.reset();
    EXPECT_EQ(menu.Images(), nullptr) << "a freed list is forgotten";
    menu.Popup(10, 10);
    std::vector<ui::test::TShownEntry> shown = ui::test::PopupEntries(menu);
    ASSERT_EQ(EntryNamed(shown, "Bild"), 0);
    EXPECT_FALSE(shown[0].HasIcon);
}

} // namespace

namespace {

TEST_F(MenusTest, KeysOnAnyControlOfTheFormReachItsMenusShortCutsFirst)
{
    TForm* form = NewForm();
    auto* menu = new TMainMenu(form);
    form->SetMenu(menu);
    std::vector<std::string> clicks;
    TMenuItem* file = AddItem(menu->Items(), "&Datei");
    TMenuItem* open = AddItem(*file, "Ö&ffnen...", &clicks);
    open->ShortCut = ShortCut('O', {ssCtrl});
    TMenuItem* off = AddItem(*file, "&Drucken", &clicks);
    off->ShortCut = ShortCut('P', {ssCtrl});
    off->Enabled = false;
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* popup = new TPopupMenu(form);
    AddItem(popup->Items(), "Kopieren", &clicks)->ShortCut = ShortCut('C', {ssCtrl});
    panel->SetPopupMenu(popup);
    auto* edit = new TEdit(form);
    edit->SetParent(panel);
    std::vector<WORD> editKeys;
    edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { editKeys.push_back(key); };
    form->Show();
    Turn();
    edit->SetFocus();
    Turn();

    for (char key : {'O', 'P', 'C'}) {
        ui::test::SendWidgetKey(edit, TKeyAction::Press, ui::test::Letter(key), {ui::test::kmCtrl});
        Turn();
    }
    EXPECT_EQ(clicks, (std::vector<std::string>{"Ö&ffnen...", "Kopieren"})) << "the parent's popup menu too";
    EXPECT_EQ(editKeys, (std::vector<WORD>{'P'})) << "a disabled item leaves its key to the control";

    delete menu;
    EXPECT_EQ(form->Menu(), nullptr);
    ui::test::SendWidgetKey(edit, TKeyAction::Press, ui::test::Letter('O'), {ui::test::kmCtrl});
    Turn();
    EXPECT_EQ(editKeys, (std::vector<WORD>{'P', 'O'}));
}

} // namespace

namespace {

TEST_F(MenusTest, MainMenuBarTopsTheFormAndBuildsItsDropDownsWhenTheyOpen)
{
    TForm* form = NewForm(300, 200);
    auto* top = new TPanel(form);
    top->SetParent(form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* rest = new TPanel(form);
    rest->SetParent(form);
    rest->SetAlign(alClient);
    auto* menu = new TMainMenu(form);
    std::vector<std::string> clicks;
    TMenuItem* file = AddItem(menu->Items(), "&Datei", &clicks);
    AddItem(*file, "&Neu", &clicks);
    AddItem(menu->Items(), "&Hilfe", &clicks);
    form->SetMenu(menu);
    form->Show();
    Turn();

    TWinControl* bar = menu->MenuBar();
    ASSERT_NE(bar, nullptr);
    int barHeight = bar->Height();
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(form->Height(), 200 + barHeight) << "the other controls keep their room";
    EXPECT_EQ(bar->BoundsRect(), Bounds(0, 0, form->ClientWidth(), barHeight));
    EXPECT_EQ(top->Top(), barHeight);
    EXPECT_EQ(rest->BoundsRect(), Bounds(0, barHeight + 30, form->ClientWidth(), 170));

    std::vector<ui::test::TShownEntry> entries = ui::test::MenuBarEntries(*menu);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Text, "&Datei");
    AddItem(*file, "&Öffnen", &clicks); // added after the bar was built
    ASSERT_TRUE(entries[0].SubMenu);
    ui::test::OpenMenuBarEntry(*menu, 0); // as the user's click on the bar opens it
    EXPECT_EQ(clicks, std::vector<std::string>{"&Datei"}) << "the item's OnClick runs before it opens";
    std::vector<ui::test::TShownEntry> drop = ui::test::MenuBarDropDown(*menu, 0);
    ASSERT_EQ(drop.size(), 2u);
    ui::test::ClickMenuBarDropDownEntry(*menu, 0, EntryNamed(drop, "&Öffnen"));
    Turn();
    EXPECT_EQ(clicks, (std::vector<std::string>{"&Datei", "&Öffnen"}));
    ui::test::PickMenuBarEntry(*menu, 1);
    EXPECT_EQ(clicks.back(), "&Hilfe");

    form->SetMenu(nullptr);
    EXPECT_EQ(menu->MenuBar(), nullptr);
    EXPECT_EQ(form->Height(), 200);
    EXPECT_EQ(top->Top(), 0);
    form->SetMenu(menu);
    delete menu; // the form forgets it and gives back the bar's room
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(form->Height(), 200);
}

TEST_F(MenusTest, MenuBarTakesItsRoomFromTheClientArea)
{
    TForm* form = NewForm(300, 200);
    auto* bottom = new TPanel(form);
    bottom->SetParent(form);
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* menu = new TMainMenu(form);
    AddItem(*AddItem(menu->Items(), "&Datei"), "&Neu");
    form->SetMenu(menu);
    form->Show();
    Turn();

    const int bar = menu->MenuBar()->Height();
    EXPECT_EQ(form->ClientRect(), Rect(0, bar, 300, 200 + bar));
    EXPECT_EQ(form->ClientHeight(), 200);
    EXPECT_EQ(bottom->Top(), 180 + bar);

    form->SetClientHeight(120);
    EXPECT_EQ(form->Height(), 120 + bar) << "the bar's room comes on top of the client height";
    EXPECT_EQ(form->ClientHeight(), 120);
    EXPECT_EQ(bottom->Top(), 100 + bar);

    form->SetMenu(nullptr);
    EXPECT_EQ(form->ClientRect(), Rect(0, 0, 300, 120));
    EXPECT_EQ(bottom->Top(), 100);
}

TEST_F(MenusTest, FormFreesItsShownMenuAndBarInEitherOrder)
{
    for (bool menuOwnedByForm : {true, false}) {
        SCOPED_TRACE(menuOwnedByForm);
        auto* form = new TForm(nullptr);
        auto* menu = new TMainMenu(menuOwnedByForm ? form : nullptr);
        AddItem(*AddItem(menu->Items(), "&Datei"), "&Neu");
        form->SetMenu(menu);
        form->Show();
        Turn();
        ASSERT_NE(menu->MenuBar(), nullptr);
        delete form;
        Turn();
        if (!menuOwnedByForm) {
            EXPECT_EQ(menu->MenuBar(), nullptr);
            delete menu;
        }
    }
}

} // namespace
