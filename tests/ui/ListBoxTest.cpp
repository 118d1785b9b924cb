#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

// Owner drawing, item geometry and selection of list and combo boxes.
class ListBoxTest : public UiTest {
protected:
    struct Drawn {
        int index;
        TRect rect;
        TOwnerDrawState state;
    };

    TListBox* NewList(TForm* form, TListBoxStyle style, int count, int height = 100)
    {
        auto* list = new TListBox(form);
        list->SetParent(form);
        list->SetBounds(10, 10, 120, height);
        list->SetStyle(style);
        for (int i = 0; i < count; ++i)
            list->Items().Add("Eintrag " + std::to_string(i));
        return list;
    }

    // The list's rows as they are painted now.
    static ui::test::TShownImage Painted(TListBox* list) { return ui::test::GrabListRows(list); }

    static TColor PixelAt(const ui::test::TShownImage& image, int x, int y) { return image.Color(x, y); }
};

const TColor kRowColours[] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};

TEST_F(ListBoxTest, FixedOwnerDrawPaintsEachRowThroughTheCanvasInItsRectangle)
{
    TForm* form = NewForm();
    TListBox* list = NewList(form, lbOwnerDrawFixed, 4);
    list->SetItemHeight(20);
    std::vector<Drawn> drawn;
    list->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
        EXPECT_EQ(control, list);
        drawn.push_back({index, rect, state});
        TCanvas* canvas = list->Canvas();
        canvas->Brush.Color = kRowColours[index];
        canvas->FillRect(rect);
    };
    list->SetItemIndex(2);
    form->Show();
    Turn();

    drawn.clear();
    ui::test::TShownImage image = Painted(list);
    ASSERT_EQ(drawn.size(), 4u);
    for (const Drawn& d : drawn) {
        SCOPED_TRACE(d.index);
        TRect expected = list->ItemRect(d.index);
        EXPECT_EQ(d.rect, expected);
        EXPECT_EQ(expected.Top, d.index * 20);
        EXPECT_EQ(expected.Height(), 20);
        EXPECT_EQ(d.state.Contains(odSelected), d.index == 2);
        EXPECT_EQ(PixelAt(image, expected.Left + 5, expected.Top + 10), kRowColours[d.index]);
    }
}

TEST_F(ListBoxTest, AHandlerAskingForTheCanvasFindsTheSelectedItemsTextColour)
{
    TForm* form = NewForm();
    TListBox* list = NewList(form, lbOwnerDrawFixed, 3);
    std::vector<TColor> textColours(3, clNone);
    list->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState) {
        TCanvas* canvas = list->Canvas();
        textColours[static_cast<std::size_t>(index)] = canvas->Font.Color();
        canvas->FillRect(rect);
        canvas->TextOut(rect.Left + 2, rect.Top, list->Items().Strings(index));
    };
    list->SetItemIndex(1);
    form->Show();
    Turn();
    Painted(list);
    EXPECT_EQ(textColours[0], list->Font().Color());
    EXPECT_EQ(textColours[1], clHighlightText) << "white on the highlight, not the list's black";
    EXPECT_EQ(list->Canvas()->Font.Color(), list->Font().Color()) << "outside drawing the canvas has the list's font";
}

TEST_F(ListBoxTest, DefaultOwnerDrawingShowsTheSelectionColourAndTheText)
{
    TForm* form = NewForm();
    TListBox* list = NewList(form, lbOwnerDrawFixed, 3);
    list->SetColor(clWhite);
    list->SetItemIndex(1);
    form->Show();
    Turn();
    ui::test::TShownImage image = Painted(list);
    TRect plain = list->ItemRect(0);
    TRect chosen = list->ItemRect(1);
    EXPECT_EQ(PixelAt(image, plain.Right - 3, plain.Top + 3), clWhite);
    EXPECT_EQ(PixelAt(image, chosen.Right - 3, chosen.Top + 3), ColorToRGB(clHighlight));
    bool text = false; // some pixel of the row's text differs from the background
    for (int x = plain.Left + 2; x < plain.Left + 40 && !text; ++x)
        for (int y = plain.Top; y < plain.Bottom && !text; ++y)
            text = PixelAt(image, x, y) != clWhite;
    EXPECT_TRUE(text);
}

TEST_F(ListBoxTest, VariableHeightsAreMeasuredOnceAndPlaceRowsAndHits)
{
    TForm* form = NewForm();
    TListBox* list = NewList(form, lbOwnerDrawVariable, 4, 200);
    const int heights[] = {10, 30, 15, 40};
    int measured = 0;
    list->OnMeasureItem = [&](TWinControl* control, int index, int& height) {
        EXPECT_EQ(control, list);
        EXPECT_EQ(height, list->ItemHeight()) << "starts at the item height";
        ++measured;
        height = heights[index];
    };
    list->SetItemHeight(12); // the heights asked for so far are forgotten
    form->Show();
    Turn();
    Painted(list);
    Painted(list);
    EXPECT_EQ(measured, 4) << "asked once per item, not at every paint";

    const struct {
        int index;
        int top;
        int height;
    } rows[] = {{0, 0, 10}, {1, 10, 30}, {2, 40, 15}, {3, 55, 40}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        TRect rect = list->ItemRect(row.index);
        EXPECT_EQ(rect.Top, row.top);
        EXPECT_EQ(rect.Height(), row.height);
        EXPECT_EQ(list->ItemAtPos({5, row.top}, true), row.index);
        EXPECT_EQ(list->ItemAtPos({5, row.top + row.height - 1}, true), row.index);
    }
    EXPECT_EQ(list->ItemAtPos({5, 96}, true), -1);
    EXPECT_EQ(list->ItemAtPos({5, 96}, false), 4);
    EXPECT_EQ(list->ItemAtPos({5, -1}, false), -1) << "outside the client area";
    EXPECT_EQ(list->ItemRect(4).Top, 95) << "the place after the last item";
    EXPECT_EQ(list->ItemRect(4).Height(), 40);
    EXPECT_EQ(list->ItemRect(5), TRect{});

    list->OnMeasureItem = nullptr;
    list->Items().Add("neu");
    EXPECT_EQ(list->ItemRect(4).Height(), 12) << "no measuring handler: the item height";
}

TEST_F(ListBoxTest, GeometryWithoutAWindowStacksTheRowsFromTheTopIndex)
{
    TForm* form = NewForm();
    TListBox* list = NewList(form, lbOwnerDrawVariable, 5);
    list->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 + index; };
    ASSERT_FALSE(list->HandleAllocated());
    list->SetTopIndex(2);
    EXPECT_EQ(list->TopIndex(), 2);
    EXPECT_EQ(list->ItemRect(2), Bounds(0, 0, list->ClientWidth(), 12));
    EXPECT_EQ(list->ItemRect(3), Bounds(0, 12, list->ClientWidth(), 13));
    EXPECT_EQ(list->ItemRect(1), Bounds(0, -11, list->ClientWidth(), 11));
    EXPECT_EQ(list->ItemAtPos({3, 12}, true), 3);
    EXPECT_EQ(list->ItemRect(9), TRect{});
}

TEST_F(ListBoxTest, TopIndexScrollsTheRowsAndFollowsTheUsersScrolling)
{
    TForm* form = NewForm();
    TListBox* list = NewList(form, lbOwnerDrawFixed, 20, 100);
    list->SetItemHeight(20);
    list->SetTopIndex(6); // kept until the window shows it
    form->Show();
    Turn();
    EXPECT_EQ(list->TopIndex(), 6);
    EXPECT_EQ(list->ItemRect(6).Top, 0);
    EXPECT_EQ(list->ItemAtPos({5, 25}, true), 7);

    ui::test::ScrollListByUser(list, 2);
    EXPECT_EQ(list->TopIndex(), 2);
    EXPECT_EQ(list->ItemRect(4).Top, 40);
    list->SetTopIndex(99);
    EXPECT_GE(list->TopIndex(), 15) << "as far down as the list goes";
}

TEST_F(ListBoxTest, ClicksWithModifiersSelectAsTheSelectionModeSays)
{
    // Rows clicked in order: 1, then 3 with the modifier.
    struct Case {
        const char* name;
        bool multi;
        bool extended;
        TShiftState second;
        std::vector<bool> selected;
        int itemIndex;
    };
    const Case cases[] = {
        {"single", false, true, {ssCtrl}, {false, false, false, true, false}, 3},
        {"extended plain click", true, true, {}, {false, false, false, true, false}, 3},
        {"extended control click adds", true, true, {ssCtrl}, {false, true, false, true, false}, 3},
        {"extended shift click spans", true, true, {ssShift}, {false, true, true, true, false}, 3},
        {"multi toggles every click", true, false, {}, {false, true, false, true, false}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* form = NewForm();
        TListBox* list = NewList(form, lbStandard, 5);
        list->SetMultiSelect(c.multi);
        list->SetExtendedSelect(c.extended);
        form->Show();
        Turn();
        ui::test::ClickListRow(list, 1);
        ui::test::ClickListRow(list, 3, c.second);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(list->Selected(i), c.selected[static_cast<size_t>(i)]) << "row " << i;
        EXPECT_EQ(list->ItemIndex(), c.itemIndex);
    }
}

TEST_F(ListBoxTest, OwnerDrawnComboDrawsTheChosenItemInTheClosedFieldAndMeasuresRows)
{
    TForm* form = NewForm();
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetStyle(csOwnerDrawVariable);
    for (const char* s : {"Arial", "Courier New", "Times New Roman"})
        combo->Items().Add(s);
    combo->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 14 + 6 * index; };
    std::vector<Drawn> drawn;
    combo->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
        drawn.push_back({index, rect, state});
        combo->Canvas()->Brush.Color = index >= 0 ? kRowColours[index] : clBlack;
        combo->Canvas()->FillRect(rect);
    };
    combo->SetItemIndex(1);
    form->Show();
    Turn();

    ui::test::TShownWidget widget = ui::test::ShownWidget(combo);
    ASSERT_TRUE(widget.Exists);
    EXPECT_FALSE(widget.Editable);
    drawn.clear();
    ui::test::TShownImage image = ui::test::GrabWidget(combo);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].index, 1);
    EXPECT_TRUE(drawn[0].state.Contains(odComboBoxEdit));
    TPoint centre{drawn[0].rect.Left + drawn[0].rect.Width() / 2, drawn[0].rect.Top + drawn[0].rect.Height() / 2};
    EXPECT_EQ(PixelAt(image, centre.X, centre.Y), clLime);

    EXPECT_EQ(widget.RowHeights, (std::vector<int>{14, 20, 26}));
    combo->SetText("Verdana");
    EXPECT_EQ(combo->Text(), "Courier New") << "only its items' texts, as a drop-down list";
}

} // namespace

namespace {

// A list box that keeps a record of its own, {data, state}, in each item's
// data slot and hands callers the data, as check lists do.
class TStateListBox : public TCustomListBox {
public:
    struct Record {
        std::intptr_t Data = 0;
        int State = 0;
    };

    using TCustomListBox::TCustomListBox;
    ~TStateListBox() override { TStateListBox::ResetContent(); }

    int State(int Index) { return RecordOf(Index).State; }
    void SetState(int Index, int Value) { RecordOf(Index).State = Value; }
    int LiveRecords = 0;

protected:
    std::intptr_t GetItemData(int Index) const override
    {
        Record* record = Raw(Index);
        return record ? record->Data : 0;
    }
    void SetItemData(int Index, std::intptr_t AData) override { RecordOf(Index).Data = AData; }
    void DeleteString(int Index) override
    {
        Forget(Raw(Index));
        TCustomListBox::DeleteString(Index);
    }
    void ResetContent() override
    {
        for (int i = 0; i < Items().Count(); ++i)
            Forget(Raw(i));
        TCustomListBox::ResetContent();
    }

private:
    Record* Raw(int Index) const { return reinterpret_cast<Record*>(TCustomListBox::GetItemData(Index)); }
    Record& RecordOf(int Index)
    {
        if (!Raw(Index)) {
            TCustomListBox::SetItemData(Index, reinterpret_cast<std::intptr_t>(new Record));
            ++LiveRecords;
        }
        return *Raw(Index);
    }
    void Forget(Record* record)
    {
        if (record)
            --LiveRecords;
        delete record;
    }
};

class ListBoxDataTest : public UiTest { };

TEST_F(ListBoxDataTest, ObjectsAndStatesOfOwnerDrawnItemsFollowInsertDeleteMoveAndExchange)
{
    TForm* form = NewForm(200, 200);
    auto* list = new TStateListBox(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 150, 180);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(16);
    TObject objects[5];
    for (int i = 0; i < 4; ++i)
        list->Items().AddObject("p" + std::to_string(i), &objects[i]);
    list->SetState(1, 1);
    list->SetState(3, 2);
    // A marked row shows red, every other row green.
    list->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState) {
        list->Canvas()->Brush.Color = list->State(index) == 1 ? clRed : clLime;
        list->Canvas()->FillRect(rect);
    };
    form->Show();
    Turn();

    auto expect = [&](const std::vector<std::string>& texts, const std::vector<TObject*>& objs,
                      const std::vector<int>& states) {
        ASSERT_EQ(list->Items().Count(), static_cast<int>(texts.size()));
        ui::test::TShownImage rows = ui::test::GrabListRows(list);
        for (int i = 0; i < list->Items().Count(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(list->Items().Strings(i), texts[static_cast<size_t>(i)]);
            EXPECT_EQ(list->Items().Objects(i), objs[static_cast<size_t>(i)]);
            EXPECT_EQ(list->State(i), states[static_cast<size_t>(i)]);
            EXPECT_EQ(rows.Color(20, list->ItemRect(i).Top + 8), states[static_cast<size_t>(i)] == 1 ? clRed : clLime);
        }
        EXPECT_EQ(list->LiveRecords, list->Items().Count());
    };
    expect({"p0", "p1", "p2", "p3"}, {&objects[0], &objects[1], &objects[2], &objects[3]}, {0, 1, 0, 2});

    list->Items().InsertObject(1, "neu", &objects[4]);
    expect({"p0", "neu", "p1", "p2", "p3"}, {&objects[0], &objects[4], &objects[1], &objects[2], &objects[3]},
           {0, 0, 1, 0, 2});
    list->Items().Delete(0);
    expect({"neu", "p1", "p2", "p3"}, {&objects[4], &objects[1], &objects[2], &objects[3]}, {0, 1, 0, 2});
    list->Items().Move(1, 3);
    expect({"neu", "p2", "p3", "p1"}, {&objects[4], &objects[2], &objects[3], &objects[1]}, {0, 0, 2, 1});
    list->Items().Exchange(0, 3);
    expect({"p1", "p2", "p3", "neu"}, {&objects[1], &objects[2], &objects[3], &objects[4]}, {1, 0, 2, 0});
    list->Items().SetStrings(0, "p1*");
    expect({"p1*", "p2", "p3", "neu"}, {&objects[1], &objects[2], &objects[3], &objects[4]}, {1, 0, 2, 0});

    list->RecreateWnd();
    Turn();
    expect({"p1*", "p2", "p3", "neu"}, {&objects[1], &objects[2], &objects[3], &objects[4]}, {1, 0, 2, 0});

    list->Items().Clear();
    EXPECT_EQ(list->LiveRecords, 0);
    EXPECT_THROW(list->Items().Objects(0), EListError);
}

TEST_F(ListBoxDataTest, SelectionAndTheCurrentItemGoWithTheirItems)
{
    TForm* form = NewForm();
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetMultiSelect(true);
    for (const char* s : {"a", "b", "c", "d"})
        list->Items().Add(s);
    list->SetSelected(1, true);
    list->SetItemIndex(2);
    list->Items().Insert(0, "x");
    EXPECT_TRUE(list->Selected(2));
    EXPECT_EQ(list->ItemIndex(), 3);
    list->Items().Move(2, 4);
    EXPECT_TRUE(list->Selected(4));
    EXPECT_EQ(list->ItemIndex(), 2);
    list->Items().Delete(2);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(ListBoxDataTest, ASortedListPlacesNewItemsAndSortsTheOnesThereWithTheirData)
{
    TForm* form = NewForm();
    auto* list = new TListBox(form);
    list->SetParent(form);
    TObject b, a, c, d;
    list->Items().AddObject("Birke", &b);
    list->Items().AddObject("ahorn", &a);
    list->Items().AddObject("Czeder", &c);
    list->SetItemIndex(0);
    list->SetSorted(true);
    EXPECT_EQ(list->Items().CommaText(), "ahorn,Birke,Czeder");
    EXPECT_EQ(list->Items().Objects(0), &a);
    EXPECT_EQ(list->Items().Objects(1), &b);
    EXPECT_EQ(list->ItemIndex(), 1) << "the current item stays current";
    EXPECT_EQ(list->Items().AddObject("buche", &d), 2);
    EXPECT_EQ(list->Items().Objects(2), &d);
    form->Show();
    Turn();
    EXPECT_EQ(ui::test::ShownWidget(list).Items, (std::vector<std::string>{"ahorn", "Birke", "buche", "Czeder"}));
}

TEST_F(ListBoxDataTest, ColumnsIntegralHeightAndTabStopsShapeTheRows)
{
    TForm* form = NewForm(400, 300);
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(16);
    list->SetIntegralHeight(true);
    list->SetBounds(0, 0, 303, 110);
    EXPECT_EQ(list->Height(), 100) << "six whole rows and the border";
    list->SetIntegralHeight(false);
    list->SetHeight(110);
    EXPECT_EQ(list->Height(), 110);

    for (int i = 0; i < 20; ++i)
        list->Items().Add(std::to_string(i));
    list->SetColumns(3);
    form->Show();
    Turn();
    const int columnWidth = (303 + 3 - 3) / 3;
    EXPECT_EQ(list->ItemRect(0).Width(), columnWidth);
    int firstOfSecond = 1;
    while (firstOfSecond < 20 && list->ItemRect(firstOfSecond).Left == list->ItemRect(0).Left)
        ++firstOfSecond;
    ASSERT_LT(firstOfSecond, 20) << "the rows flow into a second column";
    EXPECT_EQ(list->ItemRect(firstOfSecond).Left, list->ItemRect(0).Left + columnWidth);
    EXPECT_EQ(list->ItemRect(firstOfSecond).Top, list->ItemRect(0).Top);
    EXPECT_EQ(list->ItemAtPos({list->ItemRect(firstOfSecond).Left + 5, 5}, true), firstOfSecond);

    // Tab stops: a leading tab moves the text to the first stop.
    list->SetColumns(0);
    list->Items().Clear();
    list->Items().Add("\tX");
    list->Items().Add("X");
    list->SetTabWidth(40);
    Turn();
    TCanvas* canvas = list->Canvas();
    const int average = (canvas->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    const int stop = 40 * average / 4;
    ui::test::TShownImage rows = ui::test::GrabListRows(list);
    auto firstInk = [&](int row) {
        int y0 = list->ItemRect(row).Top;
        for (int x = 0; x < rows.Width; ++x)
            for (int y = y0; y < y0 + 16; ++y)
                if (rows.Color(x, y) == clBlack)
                    return x;
        return -1;
    };
    ASSERT_GE(firstInk(1), 0);
    EXPECT_LT(firstInk(1), 2 + stop);
    EXPECT_GE(firstInk(0), 2 + stop);
    EXPECT_LT(firstInk(0), 2 + stop + (firstInk(1) + 2));
}

} // namespace
