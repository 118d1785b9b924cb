#include "widgets/KsListBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "widgets/Apputils.h"
#include "widgets/Placemnt.h"

namespace {

class KsListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 300, 200);
        form_->Font().SetName("Courier New");
        form_->Font().SetHeight(-12);
        form_->Show();
        Application->ProcessMessages();
    }

    template <class List> List* Make(const std::string& Name = "Liste")
    {
        auto* list = new List(form_.get());
        list->SetParent(form_.get());
        list->SetName(Name);
        return list;
    }

    int TextWidth(const std::string& Text)
    {
        TBitmap scratch(1, 1);
        scratch.Canvas().Font.Assign(form_->Font());
        return scratch.Canvas().TextWidth(Text);
    }

    std::unique_ptr<TBitmap> Paint(TWinControl* Control)
    {
        auto image = std::make_unique<TBitmap>(Control->Width(), Control->Height());
        Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&image->Canvas()), 0);
        return image;
    }

    void Click(TWinControl* Control, int X, int Y)
    {
        Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }

    std::unique_ptr<TForm> form_;
};

TEST_F(KsListBoxTest, HorizontalExtentFollowsTheWidestItem)
{
    auto* list = Make<TTextListBox>();
    for (const char* text : {"a", "wwwwww", "bb"})
        list->Items().Add(text);
    EXPECT_EQ(list->HorizontalExtent(), TextWidth("wwwwwwx"));
    list->Items().Delete(2); // narrower: stays
    EXPECT_EQ(list->HorizontalExtent(), TextWidth("wwwwwwx"));
    list->Items().Delete(1); // the widest: shrinks
    EXPECT_EQ(list->HorizontalExtent(), TextWidth("ax"));
    list->Items().Add("a\tb"); // one tab stop of a quarter of TabWidth digits
    list->SetTabWidth(8);
    const int stop = 2 * TextWidth("0");
    EXPECT_EQ(list->HorizontalExtent(), (TextWidth("a") / stop + 1) * stop + TextWidth("bx"));
    list->Items().Clear();
    EXPECT_EQ(list->HorizontalExtent(), 0);
}

TEST_F(KsListBoxTest, OwnerDrawnWidthsAreAskedOnlyWhenNeeded)
{
    auto* list = Make<TKsCustomListBox>();
    list->SetAutoScroll(true);
    list->SetStyle(lbOwnerDrawFixed);
    std::vector<int> asked;
    list->SetOnDrawItem([](TWinControl*, int, TRect, TOwnerDrawState) {});
    list->SetOnGetItemWidth([&](TWinControl*, int Index, int& Width) {
        asked.push_back(Index);
        Width = std::stoi(list->Items().Strings(Index));
    });
    for (const char* width : {"30", "90", "50", "20"})
        list->Items().Add(width);
    EXPECT_EQ(list->HorizontalExtent(), 90);
    asked.clear();
    list->Items().Delete(3); // narrower than the widest: its own width only
    EXPECT_EQ(asked, (std::vector<int>{3}));
    EXPECT_EQ(list->HorizontalExtent(), 90);
    asked.clear();
    list->Items().Delete(1); // the widest: all the rest measured again
    EXPECT_EQ(list->HorizontalExtent(), 50);
    EXPECT_EQ(asked.size(), 3u);
    list->SetAutoScroll(false);
    EXPECT_EQ(list->HorizontalExtent(), 0);
}

TEST_F(KsListBoxTest, ItemGeometryAndSelection)
{
    auto* list = Make<TKsCustomListBox>();
    list->SetBounds(0, 0, 100, 50);
    for (const char* text : {"eins", "zwei", "drei"})
        list->Items().Add(text);
    struct Case {
        TPoint at;
        bool existing;
        int item;
    } cases[] = {
        {{5, 5}, true, 0},   {{5, 20}, true, 1},  {{5, 40}, true, 2},   {{5, 49}, true, -1},
        {{5, 49}, false, 3}, {{-1, 5}, true, -1}, {{5, 60}, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list->ItemAtPos(c.at, c.existing), c.item) << c.at.X << "," << c.at.Y;
    list->SetBounds(0, 0, 100, 80);
    EXPECT_EQ(list->ItemAtPos({5, 70}, true), -1);
    EXPECT_EQ(list->ItemAtPos({5, 70}, false), 3);
    EXPECT_EQ(list->ItemRect(1), Rect(0, 16, 100, 32));
    EXPECT_EQ(list->ItemRect(3), Rect(0, 48, 100, 64)); // after the last one
    EXPECT_EQ(list->ItemRect(4), TRect{});

    EXPECT_THROW(list->Selected(3), EStringListError);
    list->SetSelected(1, true);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetSelected(0, false); // not the item index: nothing
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetSelected(1, false);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->SelCount(), -1);
    list->SetMultiSelect(true);
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    EXPECT_EQ(list->SelCount(), 2);

    int clicks = 0;
    list->SetMultiSelect(false);
    list->OnClick = [&](TObject*) { ++clicks; };
    Click(list, 5, 20);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    WORD down = VK_DOWN;
    list->Perform(WM_KEYDOWN, down, 0);
    EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(KsListBoxTest, SelectionIsGreyWithoutTheFocus)
{
    auto* list = Make<TKsCustomListBox>();
    list->Items().Add("eins");
    list->SetItemIndex(0);
    auto highlighted = Paint(list);
    EXPECT_EQ(highlighted->Canvas().Pixels(list->ClientWidth() - 2, 8), ColorToRGB(clHighlight));
    list->SetGraySelection(true);
    auto grey = Paint(list);
    EXPECT_EQ(grey->Canvas().Pixels(list->ClientWidth() - 2, 8), ColorToRGB(clBtnFace));
    EXPECT_EQ(grey->Canvas().Pixels(list->ClientWidth() - 2, 24), ColorToRGB(clWindow));
}

TEST_F(KsListBoxTest, RadioListKeepsExactlyOneItemChecked)
{
    auto* list = Make<TKsCheckListBox>();
    std::vector<int> changes;
    list->OnStateChange = [&](TObject*, int Index) { changes.push_back(Index); };
    for (const char* text : {"rot", "grün", "blau"})
        list->Items().Add(text);
    list->SetCheckKind(ckRadioButtons);
    EXPECT_EQ(list->CheckedIndex(), 0);
    list->SetChecked(0, false); // refused
    EXPECT_TRUE(list->GetChecked(0));
    list->SetChecked(2, true);
    EXPECT_FALSE(list->GetChecked(0));
    EXPECT_EQ(list->CheckedIndex(), 2);
    list->SetState(1, cbGrayed); // no grey radio
    EXPECT_EQ(list->GetState(1), cbUnchecked);
    list->SetCheckedIndex(-5);
    EXPECT_EQ(list->CheckedIndex(), 0);
    EXPECT_EQ(changes, (std::vector<int>{0, 2, 0}));

    list->SetCheckKind(ckCheckBoxes);
    EXPECT_EQ(list->CheckedIndex(), -1);
}

TEST_F(KsListBoxTest, TogglingByMouseKeysAndSigns)
{
    auto* list = Make<TKsCheckListBox>();
    for (const char* text : {"a", "b", "c"})
        list->Items().Add(text);
    list->SetItemEnabled(1, false);
    int clickChecks = 0;
    list->OnClickCheck = [&](TObject*) { ++clickChecks; };

    struct Step {
        bool grayed;
        TCheckBoxState after;
    } cycle[] = {{true, cbGrayed}, {true, cbChecked}, {true, cbUnchecked}, {false, cbChecked}, {false, cbUnchecked}};
    for (const Step& s : cycle) {
        list->AllowGrayed = s.grayed;
        list->ToggleItem(0);
        EXPECT_EQ(list->GetState(0), s.after);
    }
    EXPECT_EQ(clickChecks, 5);
    list->ToggleItem(1); // disabled: nothing
    list->ToggleItem(7);
    EXPECT_EQ(list->GetState(1), cbUnchecked);
    EXPECT_EQ(clickChecks, 5);

    // A press in the check area toggles, on the text it only selects.
    const TRect second = list->ItemRect(2);
    Click(list, second.Left + 3, second.Top + 3);
    EXPECT_TRUE(list->GetChecked(2));
    Click(list, second.Left + 40, second.Top + 3);
    EXPECT_TRUE(list->GetChecked(2));
    EXPECT_EQ(list->ItemIndex(), 2);
    WORD space = VK_SPACE;
    list->Perform(WM_KEYDOWN, space, 0);
    EXPECT_FALSE(list->GetChecked(2));

    list->Perform(WM_CHAR, '+', 0);
    EXPECT_TRUE(list->GetChecked(0));
    EXPECT_FALSE(list->GetChecked(1)); // disabled items stay
    EXPECT_TRUE(list->GetChecked(2));
    list->Perform(WM_CHAR, '-', 0);
    EXPECT_FALSE(list->GetChecked(0));
}

TEST_F(KsListBoxTest, StatesTravelWithTheirItems)
{
    auto* list = Make<TKsCheckListBox>();
    for (const char* text : {"c", "a", "b"})
        list->Items().Add(text);
    list->SetChecked(0, true);
    list->SetItemEnabled(1, false);
    list->SetItemData(2, 42);
    list->SetItemIndex(2);
    list->HandleNeeded();
    list->RecreateWnd();
    EXPECT_EQ(list->Items().Strings(0), "c");
    EXPECT_TRUE(list->GetChecked(0));
    EXPECT_FALSE(list->GetItemEnabled(1));
    EXPECT_EQ(list->ItemIndex(), 2);

    list->SetSorted(true); // a, b, c
    EXPECT_EQ(list->Items().Strings(0), "a");
    EXPECT_FALSE(list->GetItemEnabled(0));
    EXPECT_EQ(list->GetItemData(1), 42);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(list->GetChecked(2));

    list->Items().Exchange(0, 2);
    EXPECT_TRUE(list->GetChecked(0));
    EXPECT_FALSE(list->GetItemEnabled(2));
    list->Items().Move(0, 1);
    EXPECT_TRUE(list->GetChecked(1));
    list->Items().Delete(1);
    EXPECT_FALSE(list->GetChecked(0));
    EXPECT_EQ(list->Items().Count(), 2);
}

TEST_F(KsListBoxTest, StatesGoToAnIniFileAndComeBack)
{
    const auto folder = std::filesystem::temp_directory_path() / ("kslist" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "states.ini").string();
    auto* list = Make<TKsCheckListBox>();
    for (const char* text : {"a", "b", "c"})
        list->Items().Add(text);
    list->AllowGrayed = true;
    list->SetState(1, cbGrayed);
    list->SetChecked(2, true);
    const std::string section = Apputils::GetDefaultSection(list);
    {
        TIniFile ini(file);
        list->SaveStates(ini);
        EXPECT_EQ(ini.ReadInteger(section, "Count", -1), 3);
        EXPECT_EQ(ini.ReadInteger(section, "Item1", -1), 2);
    }
    list->ApplyState(cbUnchecked, false);
    list->Items().Add("d");
    {
        TIniFile ini(file);
        list->RestoreStates(ini);
    }
    const TCheckBoxState restored[] = {cbUnchecked, cbGrayed, cbChecked, cbUnchecked};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list->GetState(i), restored[i]) << i;

    // Whatever the file holds, only the three states and the items there are
    // count; a radio list takes the first checked item only.
    {
        TIniFile ini(file);
        ini.WriteInteger(section, "Count", 100000);
        ini.WriteInteger(section, "Item0", 7);
        ini.WriteInteger(section, "Item1", -3);
        ini.WriteInteger(section, "Item2", 1);
        ini.WriteInteger(section, "Item3", 1);
        list->RestoreStates(ini);
        EXPECT_EQ(list->GetState(0), cbUnchecked);
        EXPECT_EQ(list->GetState(1), cbUnchecked);
        EXPECT_EQ(list->GetState(3), cbChecked);
        list->SetCheckKind(ckRadioButtons);
        list->SetChecked(0, true);
        list->RestoreStates(ini);
        EXPECT_EQ(list->CheckedIndex(), 2);
    }
    std::filesystem::remove_all(folder);
}

TEST_F(KsListBoxTest, VariableItemHeightsAreMeasuredOnceAndStack)
{
    auto* list = Make<TKsCustomListBox>();
    list->SetBounds(0, 0, 100, 80);
    std::vector<int> asked;
    list->OnMeasureItem = [&asked](TWinControl*, int Index, int& Height) {
        asked.push_back(Index);
        Height = 10 * (Index + 1);
    };
    for (const char* text : {"a", "b", "c"})
        list->Items().Add(text); // fixed height: nobody is asked
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(list->ItemRect(2).Top, 2 * list->ItemHeight());

    list->SetStyle(lbOwnerDrawVariable);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
    struct Case {
        int index, top, height;
    } rects[] = {{0, 0, 10}, {1, 10, 20}, {2, 30, 30}, {3, 60, 30}}; // 3: the place after the last
    for (const Case& c : rects) {
        EXPECT_EQ(list->ItemRect(c.index).Top, c.top) << c.index;
        EXPECT_EQ(list->ItemRect(c.index).Height(), c.height) << c.index;
    }
    EXPECT_EQ(list->ItemAtPos({5, 29}, true), 1);
    EXPECT_EQ(list->ItemAtPos({5, 30}, true), 2);
    EXPECT_EQ(list->ItemAtPos({5, 70}, true), -1);
    EXPECT_EQ(list->ItemAtPos({5, 70}, false), 3);

    list->SetTopIndex(1);
    EXPECT_EQ(list->ItemRect(0).Top, -10);
    EXPECT_EQ(list->ItemRect(2).Top, 20);
    Paint(list); // drawing asks no item again
    EXPECT_EQ(asked.size(), 3u);
}

TEST_F(KsListBoxTest, PlacementTakesTheStatesAlong)
{
    const auto folder = std::filesystem::temp_directory_path() / ("kslistplace" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    auto* placement = new TFormPlacement(form_.get());
    placement->IniFileName = (folder / "place.ini").string();
    placement->IniSection = "Fenster";
    placement->Active = false; // saves without an earlier restore
    auto* list = Make<TKsCheckListBox>();
    for (const char* text : {"a", "b", "c"})
        list->Items().Add(text);
    list->SetChecked(1, true);
    list->SetIniStorage(placement);
    EXPECT_EQ(list->IniStorage(), placement);
    placement->SaveFormPlacement();
    const std::string section = "Fenster\\" + Apputils::GetDefaultSection(list);
    {
        TIniFile ini(placement->IniFileName);
        EXPECT_EQ(ini.ReadInteger(section, "Count", -1), 3);
        EXPECT_EQ(ini.ReadInteger(section, "Item1", -1), cbChecked);
    }
    list->SetChecked(1, false);
    list->SetChecked(2, true);
    list->Items().Add("d");
    list->SetChecked(3, true);
    placement->RestoreFormPlacement();
    EXPECT_TRUE(list->GetChecked(1));
    EXPECT_FALSE(list->GetChecked(2));
    EXPECT_TRUE(list->GetChecked(3)); // only the stored items change

    delete placement; // the list lets go of it
    EXPECT_EQ(list->IniStorage(), nullptr);
    std::filesystem::remove_all(folder);
}

} // namespace

namespace {

// A short string value of the form file encoding.
std::string Str(const std::string& Text) { return std::string{6, static_cast<char>(Text.size())} + Text; }

std::string Streamed(const TKsCheckListBox& List)
{
    TStringStream stream;
    List.WriteStrings(stream);
    return stream.DataString();
}

TEST_F(KsListBoxTest, AutomaticDragStartsFromThePressUnlessTheSelectionGrows)
{
    struct Case {
        bool multi;
        WPARAM keys;
        bool drags;
        std::vector<bool> selected; // after the press on item 1
    } cases[] = {
        {true, MK_LBUTTON, true, {true, true, false}},              // on the selection: kept, dragged
        {true, MK_LBUTTON | MK_SHIFT, false, {false, true, true}},  // Shift extends from the current item
        {true, MK_LBUTTON | MK_CONTROL, true, {true, true, false}}, // Ctrl alone: the selection is dragged
        {false, MK_LBUTTON, true, {false, true, false}},            // single select: selects, then drags
    };
    int n = 0;
    for (const Case& c : cases) {
        auto* list = Make<TKsCustomListBox>("Liste" + std::to_string(n++));
        list->SetBounds(0, 0, 100, 80);
        for (const char* text : {"a", "b", "c"})
            list->Items().Add(text);
        list->SetMultiSelect(c.multi);
        if (c.multi) {
            list->SetSelected(0, true);
            list->SetSelected(1, true);
            list->SetItemIndex(2);
        }
        list->DragMode = dmAutomatic;
        int drags = 0;
        list->OnStartDrag = [&drags](TObject*) { ++drags; };
        const int y = list->ItemRect(1).Top + 2;
        list->Perform(WM_LBUTTONDOWN, c.keys, MAKELPARAM(5, y));
        list->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, y));
        EXPECT_EQ(drags, c.drags ? 1 : 0) << c.multi << " " << c.keys;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(list->Selected(i), c.selected[static_cast<std::size_t>(i)]) << c.multi << c.keys << i;
    }

    // A press that grows a multiple selection with Ctrl starts no drag.
    auto* list = Make<TKsCustomListBox>("Mehrfach");
    list->SetBounds(0, 0, 100, 80);
    for (const char* text : {"a", "b"})
        list->Items().Add(text);
    list->SetMultiSelect(true);
    list->DragMode = dmAutomatic;
    int drags = 0;
    list->OnStartDrag = [&drags](TObject*) { ++drags; };
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(5, list->ItemRect(1).Top + 2));
    EXPECT_EQ(drags, 0);
    EXPECT_TRUE(list->Selected(1));
    list->DragMode = dmManual; // manual: never by itself
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, list->ItemRect(1).Top + 2));
    EXPECT_EQ(drags, 0);
}

TEST_F(KsListBoxTest, RightToLeftListStartsItemsAndChecksAtTheRight)
{
    auto* list = Make<TKsCheckListBox>();
    list->SetBounds(0, 0, 120, 60);
    list->Items().Add("ab");
    list->BiDiMode = bdRightToLeft;
    const TRect item = list->ItemRect(0);
    const int middle = item.Top + item.Height() / 2;
    Click(list, item.Left + 5, middle); // where a left-to-right list has its box
    EXPECT_FALSE(list->GetChecked(0));
    Click(list, item.Right - 5, middle);
    EXPECT_TRUE(list->GetChecked(0));

    // The picture (no window colour) and the text stand at the right.
    list->SetItemIndex(-1); // no selection colour across the row
    auto image = Paint(list);
    const TColor paper = ColorToRGB(list->Color());
    int leftHalf = 0, rightHalf = 0;
    for (int y = item.Top; y < item.Bottom; ++y)
        for (int x = 0; x < 120; ++x)
            if (image->Canvas().Pixels(x, y) != paper)
                ++(x < 60 ? leftHalf : rightHalf);
    EXPECT_EQ(leftHalf, 0);
    EXPECT_GT(rightHalf, 0);
}

} // namespace

TEST_F(KsListBoxTest, StreamedItemsKeepTextsStatesAndFlags)
{
    auto* source = Make<TKsCheckListBox>();
    source->AllowGrayed = true;
    for (const std::string& text : {std::string("Eins"), std::string(300, 'l'), std::string("\xC3\xA4")})
        source->Items().Add(text);
    source->SetState(0, cbGrayed);
    source->SetChecked(2, true);
    source->SetItemEnabled(1, false);
    const std::string data = Streamed(*source);

    auto* target = Make<TKsCheckListBox>("Ziel");
    target->Items().Add("weg");
    int changes = 0;
    target->OnStateChange = [&changes](TObject*, int) { ++changes; };
    TStringStream stream(data);
    target->ReadStrings(stream, TKsCheckListBox::InternalVersion);
    ASSERT_EQ(target->Items().Count(), 3);
    EXPECT_EQ(target->Items().Strings(1), std::string(300, 'l'));
    EXPECT_EQ(target->GetState(0), cbGrayed);
    EXPECT_FALSE(target->GetItemEnabled(1));
    EXPECT_TRUE(target->GetChecked(2));
    EXPECT_EQ(changes, 0); // reading is no change by the user
    EXPECT_EQ(Streamed(*target), data);

    // Files of earlier versions: (text, checked, enabled), from version 1
    // on followed by the state.
    struct Old {
        int version;
        std::string data;
        TCheckBoxState state;
        bool enabled;
    } olds[] = {
        {0, "\x01" + Str("alt") + "\x09\x08" + std::string(1, '\0'), cbChecked, false},
        {1, "\x01" + Str("alt") + "\x08\x09\x02\x02" + std::string(1, '\0'), cbGrayed, true},
    };
    for (const Old& o : olds) {
        TStringStream old(o.data);
        target->ReadStrings(old, o.version);
        ASSERT_EQ(target->Items().Count(), 1) << o.version;
        EXPECT_EQ(target->Items().Strings(0), "alt");
        EXPECT_EQ(target->GetState(0), o.state) << o.version;
        EXPECT_EQ(target->GetItemEnabled(0), o.enabled) << o.version;
    }
}

TEST_F(KsListBoxTest, DamagedStreamLeavesTheListAsItWas)
{
    auto* source = Make<TKsCheckListBox>();
    for (const char* text : {"a", "b"})
        source->Items().Add(text);
    source->SetChecked(1, true);
    const std::string data = Streamed(*source);
    auto* target = Make<TKsCheckListBox>("Ziel");
    target->Items().Add("bleibt");
    target->SetChecked(0, true);
    // Every cut of a good stream, and values of the wrong kind or range.
    std::vector<std::string> damaged;
    for (std::size_t length = 0; length < data.size(); ++length)
        damaged.push_back(data.substr(0, length));
    damaged.push_back("\x01" + Str("a") + "\x02\x03\x09" + std::string(1, '\0')); // state 3
    damaged.push_back("\x01" + Str("a") + "\x09\x09" + std::string(1, '\0'));     // flag for the state
    damaged.push_back("\x01\x0C\xFF\xFF\xFF\x7F"
                      "abc");                      // length beyond the data
    damaged.push_back(std::string("\x02\x01", 2)); // no list
    for (const std::string& d : damaged) {
        TStringStream stream(d);
        EXPECT_THROW(target->ReadStrings(stream, TKsCheckListBox::InternalVersion), EReadError) << d.size();
        ASSERT_EQ(target->Items().Count(), 1);
        EXPECT_EQ(target->Items().Strings(0), "bleibt");
        EXPECT_TRUE(target->GetChecked(0));
    }
}

TEST_F(KsListBoxTest, StreamedRadioListHasOneCheckedItemAndStoringFollowsTheAncestor)
{
    auto* radio = Make<TKsCheckListBox>();
    radio->SetCheckKind(ckRadioButtons);
    const std::string unchecked("\x02\x00\x09", 3);
    TStringStream none("\x01" + Str("a") + unchecked + Str("b") + unchecked + std::string(1, '\0'));
    radio->ReadStrings(none, TKsCheckListBox::InternalVersion);
    EXPECT_EQ(radio->CheckedIndex(), 0);

    auto* ancestor = Make<TKsCheckListBox>("Vorfahr");
    auto* list = Make<TKsCheckListBox>("Erbe");
    EXPECT_FALSE(list->StringsStored(nullptr)); // empty, no ancestor
    for (TKsCheckListBox* l : {ancestor, list})
        for (const char* text : {"a", "b"})
            l->Items().Add(text);
    EXPECT_TRUE(list->StringsStored(nullptr));
    EXPECT_FALSE(list->StringsStored(ancestor));
    list->Items().SetStrings(0, "A"); // texts compare without case
    EXPECT_FALSE(list->StringsStored(ancestor));
    list->SetItemEnabled(1, false);
    EXPECT_TRUE(list->StringsStored(ancestor));
    list->SetItemEnabled(1, true);
    list->SetChecked(0, true);
    EXPECT_TRUE(list->StringsStored(ancestor));
    list->SetChecked(0, false);
    list->Items().Add("c");
    EXPECT_TRUE(list->StringsStored(ancestor));
}
