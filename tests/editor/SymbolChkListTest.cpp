#include "editor/controls/SymbolChkList.h"

#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "tests/ui/UiFixture.h"

namespace {

class SymbolChkListTest : public UiTest {
protected:
    TSymbolCheckListBox* NewList(TForm* form, int count)
    {
        auto* list = new TSymbolCheckListBox(form);
        list->SetParent(form);
        list->SetBounds(5, 5, 150, 120);
        for (int i = 0; i < count; ++i)
            list->Items().Add("Bild " + std::to_string(i + 1));
        return list;
    }

    std::vector<TCheckBoxState> States(TSymbolCheckListBox* list)
    {
        std::vector<TCheckBoxState> states;
        for (int i = 0; i < list->Items().Count(); ++i)
            states.push_back(list->ItemStateByte(i));
        return states;
    }
};

TEST_F(SymbolChkListTest, ProgramWritesFollowTheStateModelAndFireNothing)
{
    TForm* form = NewForm();
    TSymbolCheckListBox* list = NewList(form, 3);
    int events = 0;
    list->OnClickCheck = [&](TObject*) { ++events; };
    EXPECT_EQ(list->CheckBoxWidth(), 2) << "no symbol size before the window";
    EXPECT_FALSE(list->HasItemState(0));
    EXPECT_EQ(list->ItemStateByte(0), cbUnchecked);
    EXPECT_EQ(list->Items().Objects(0), nullptr);
    EXPECT_FALSE(list->HasItemState(0)) << "reading makes no record";

    const struct {
        TCheckBoxState before;
        bool set;
        TCheckBoxState after;
    } writes[] = {{cbUnchecked, true, cbChecked}, {cbChecked, false, cbUnchecked}, {cbGrayed, false, cbGrayed},
                  {cbGrayed, true, cbChecked},    {cbChecked, true, cbChecked},    {cbUnchecked, false, cbUnchecked}};
    for (const auto& w : writes) {
        list->SetItemStateByte(1, w.before);
        list->SetChecked(1, w.set);
        EXPECT_EQ(list->ItemStateByte(1), w.after) << w.before << " set " << w.set;
        EXPECT_EQ(list->GetChecked(1), w.after == cbChecked);
    }
    EXPECT_EQ(events, 0);
    EXPECT_THROW(list->ItemStateByte(3), EListError);
    EXPECT_THROW(list->SetChecked(-1, true), EListError);
    EXPECT_THROW(list->ItemState(7), EListError);

    list->HandleNeeded();
    EXPECT_EQ(list->CheckBoxWidth(), list->SymbolWidth() + 2);
    EXPECT_GT(list->SymbolWidth(), 0);
}

TEST_F(SymbolChkListTest, ObjectsAndStatesShareTheItemsOneSlotAndStayTogether)
{
    TForm* form = NewForm();
    TSymbolCheckListBox* list = NewList(form, 0);
    TObject pictures[4];
    for (int i = 0; i < 4; ++i)
        list->Items().AddObject("Bild " + std::to_string(i + 1), &pictures[i]);
    EXPECT_TRUE(list->HasItemState(0)) << "storing the object made the record";
    EXPECT_EQ(list->ItemState(2)->Data, reinterpret_cast<std::intptr_t>(&pictures[2]));
    list->SetItemStateByte(0, cbChecked);
    list->SetItemStateByte(3, cbGrayed);

    list->Items().Move(0, 2);     // 2 3 1 4
    list->Items().Exchange(0, 3); // 4 3 1 2
    list->Items().Delete(1);      // 4 1 2
    list->Items().InsertObject(0, "neu", nullptr);
    list->HandleNeeded();
    list->RecreateWnd();
    ASSERT_EQ(list->Items().Count(), 4);
    EXPECT_EQ(list->Items().Strings(1), "Bild 4");
    EXPECT_EQ(list->Items().Objects(1), &pictures[3]);
    EXPECT_EQ(list->Items().Objects(2), &pictures[0]);
    EXPECT_EQ(list->Items().Objects(3), &pictures[1]);
    EXPECT_EQ(States(list), (std::vector<TCheckBoxState>{cbUnchecked, cbGrayed, cbChecked, cbUnchecked}));

    list->Items().SetObjects(2, &pictures[2]);
    EXPECT_EQ(list->ItemStateByte(2), cbChecked) << "a new object keeps the state";
    list->Items().Clear();
    EXPECT_EQ(list->Items().Count(), 0);
}

TEST_F(SymbolChkListTest, UserTogglesCycleAndFireOnceBeforeTheMouseDown)
{
    TForm* form = NewForm(220, 180);
    TSymbolCheckListBox* list = NewList(form, 3);
    std::vector<std::string> events;
    list->OnClickCheck = [&](TObject* sender) {
        EXPECT_EQ(sender, list);
        events.push_back("check");
    };
    list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("down"); };
    form->Show();
    Turn();

    const struct {
        bool allowGrayed;
        std::vector<TCheckBoxState> cycle;
    } cycles[] = {{false, {cbChecked, cbUnchecked, cbChecked}}, {true, {cbGrayed, cbChecked, cbUnchecked}}};
    for (const auto& c : cycles) {
        list->AllowGrayed = c.allowGrayed;
        list->SetItemStateByte(1, cbUnchecked);
        for (size_t i = 0; i < c.cycle.size(); ++i) {
            events.clear();
            ui::test::ClickListRowAt(list, 1, 2, i == 1 ? mbRight : mbLeft);
            Turn();
            EXPECT_EQ(list->ItemStateByte(1), c.cycle[i]) << "step " << i << " grayed " << c.allowGrayed;
            EXPECT_EQ(events, (std::vector<std::string>{"check", "down"}));
        }
    }

    events.clear();
    list->SetItemStateByte(0, cbUnchecked);
    ui::test::ClickListRowAt(list, 0, list->CheckBoxWidth() + 20, mbLeft);
    Turn();
    EXPECT_EQ(list->ItemIndex(), 0) << "a click on the text selects";
    EXPECT_EQ(list->ItemStateByte(0), cbUnchecked) << "but does not toggle";
    EXPECT_EQ(events, std::vector<std::string>{"down"});

    list->AllowGrayed = false;
    events.clear();
    list->Perform(WM_CHAR, ' ', 0);
    EXPECT_EQ(list->ItemStateByte(0), cbChecked) << "space toggles the current item";
    EXPECT_EQ(events, std::vector<std::string>{"check"});
    list->SetItemIndex(-1);
    list->Perform(WM_CHAR, ' ', 0);
    EXPECT_EQ(States(list), (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbUnchecked}));
}

TEST_F(SymbolChkListTest, SymbolsComeFromTheImageListLeftOfTheItemsDrawing)
{
    TForm* form = NewForm(220, 180);
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    const TColor colours[] = {clRed, clLime, clBlue}; // checked, unchecked, grayed
    for (TColor colour : colours) {
        TBitmap picture(16, 16);
        picture.Canvas().Brush.Color = colour;
        picture.Canvas().FillRect(Rect(0, 0, 16, 16));
        images.Add(&picture, nullptr);
    }
    TSymbolCheckListBox* list = NewList(form, 3);
    list->SetImages(&images);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(20);
    EXPECT_EQ(list->CheckBoxWidth(), 18);
    std::vector<int> drawnLefts;
    list->OnDrawItem = [&](TWinControl*, int, TRect rect, TOwnerDrawState) {
        drawnLefts.push_back(rect.Left);
        list->Canvas()->Brush.Color = clYellow;
        list->Canvas()->FillRect(rect);
    };
    list->SetItemStateByte(0, cbChecked);
    list->SetItemStateByte(2, cbGrayed);
    form->Show();
    Turn();
    ui::test::TShownImage rows = ui::test::GrabListRows(list);
    for (int i = 0; i < 3; ++i) {
        const int middle = list->ItemRect(i).Top + 10;
        EXPECT_EQ(rows.Color(9, middle), colours[i == 0 ? 0 : i == 1 ? 1 : 2]) << i;
        EXPECT_EQ(rows.Color(30, middle), clYellow) << "OnDrawItem draws right of the check area";
    }
    ASSERT_FALSE(drawnLefts.empty());
    EXPECT_EQ(drawnLefts.front(), list->ItemRect(0).Left + 18);

    // The standard style draws plain text at the font's row height and
    // leaves OnDrawItem out.
    list->SetStyle(lbStandard);
    list->RecreateWnd();
    Turn();
    drawnLefts.clear();
    rows = ui::test::GrabListRows(list);
    EXPECT_TRUE(drawnLefts.empty());
    EXPECT_EQ(list->ItemRect(1).Height(), list->ItemTextHeight());
    EXPECT_EQ(list->ItemTextHeight(), list->Canvas()->TextHeight("Wg"));
    EXPECT_NE(rows.Color(30, list->ItemRect(1).Top + 2), clYellow);
    EXPECT_TRUE(list->OnDrawItem != nullptr) << "the handler is back after drawing";
}

} // namespace
