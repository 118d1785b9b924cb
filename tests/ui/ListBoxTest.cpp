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
