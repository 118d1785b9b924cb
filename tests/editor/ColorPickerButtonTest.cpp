#include "editor/controls/ColorPickerButton.h"

#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "tests/ui/UiFixture.h"

using namespace ColorPickerButton;

namespace {

class ColorPickerButtonTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form_ = NewForm(300, 200);
        button_ = new TColorPickerButton(form_);
        button_->SetParent(form_);
        button_->SetBounds(20, 20, 60, 22);
        button_->OnChange = [this](TObject*) { ++changes_; };
        form_->Show();
        Turn();
    }

    TColorPopup* Popup() const { return button_->Popup(); }

    static LPARAM At(TPoint p) { return MAKELPARAM(p.X, p.Y); }
    static TPoint Middle(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

    void PressButtonAt(int x)
    {
        button_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
        button_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    }

    // A left click on the popup at a client point.
    void ClickPopup(TPoint p)
    {
        Popup()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(p));
        Popup()->Perform(WM_LBUTTONUP, 0, At(p));
    }

    void Key(WORD key) { Popup()->Perform(WM_KEYDOWN, key, 0); }

    TForm* form_ = nullptr;
    TColorPickerButton* button_ = nullptr;
    int changes_ = 0;
};

TEST_F(ColorPickerButtonTest, CellsLieInRowsOfEightBelowTheDefaultCell)
{
    // Margin 2 (the edge width), spacing 8.
    EXPECT_EQ(Popup()->CellRect(0), Rect(10, 4, 28, 22));
    EXPECT_EQ(Popup()->CellRect(9), Rect(28, 22, 46, 40));
    EXPECT_EQ(Popup()->CellRect(39), Rect(136, 76, 154, 94));
    EXPECT_EQ(Popup()->Width(), 8 * 18 + 2 * 2 + 2 * 8);
    EXPECT_EQ(Popup()->NormalHeight(), 5 * 18 + 4 * 2);

    button_->SetDefaultText("Automatisch");
    button_->SetShowSystemColors(true);
    const TRect def = Popup()->CellRect(DefaultCell);
    EXPECT_EQ(def.Left, 10);
    EXPECT_EQ(def.Top, 4);
    EXPECT_EQ(Popup()->CellRect(0).Top, def.Bottom);
    // The system block: three edge widths further down, row 5 on.
    EXPECT_EQ(Popup()->CellRect(40).Top, def.Bottom + 5 * 18 + 3 * 2);
    EXPECT_EQ(Popup()->CellRect(64).Left, 10);

    struct Case {
        int row, column, cell;
    } cases[] = {{0, 0, 0}, {4, 7, 39}, {5, 0, 40}, {8, 0, 64}, {8, 1, NoCell}, {0, 8, NoCell}, {-1, 0, NoCell}};
    for (const Case& c : cases)
        EXPECT_EQ(Popup()->CellIndex(c.row, c.column), c.cell) << c.row << "," << c.column;
    button_->SetShowSystemColors(false);
    EXPECT_EQ(Popup()->CellIndex(5, 0), NoCell);
}

TEST_F(ColorPickerButtonTest, ArrowKeysWalkTheGridAndTheTextCells)
{
    struct Case {
        const char* name;
        bool withDefault, withCustom, system;
        int from;
        WORD key;
        int to;
    } cases[] = {
        {"left from the first cell wraps", false, false, false, 0, VK_LEFT, 39},
        {"left wraps to the last system cell", false, false, true, 0, VK_LEFT, 64},
        {"right from the last cell wraps", false, false, false, 39, VK_RIGHT, 0},
        {"left from column 0 goes up a row", false, false, false, 8, VK_LEFT, 7},
        {"down into the system block", false, false, true, 35, VK_DOWN, 43},
        {"down from the last row to custom", false, true, false, 39, VK_DOWN, CustomCell},
        {"up from row 0 to default", true, true, false, 3, VK_UP, DefaultCell},
        {"up from row 0 to custom", false, true, false, 3, VK_UP, CustomCell},
        {"left from default to custom", true, true, false, DefaultCell, VK_LEFT, CustomCell},
        {"left from custom to the last", true, true, false, CustomCell, VK_LEFT, 39},
        {"right from custom to default", true, true, false, CustomCell, VK_RIGHT, DefaultCell},
        {"right from default to cell 0", true, true, false, DefaultCell, VK_RIGHT, 0},
        {"down from custom without default", false, true, false, CustomCell, VK_DOWN, 0},
        {"right past the last to default", true, false, false, 39, VK_RIGHT, DefaultCell},
    };
    for (const Case& c : cases) {
        button_->SetDefaultText(c.withDefault ? "Automatisch" : "");
        button_->SetCustomText(c.withCustom ? "weitere Farben..." : "");
        button_->SetShowSystemColors(c.system);
        Popup()->SetHotCell(c.from);
        Key(c.key);
        EXPECT_EQ(Popup()->HotCell(), c.to) << c.name;
    }
    // Without a hot cell the moves start from the chosen one.
    button_->SetSelectionColor(0x003399);
    button_->SetDroppedDown(true);
    Popup()->SetHotCell(NoCell);
    Key(VK_RIGHT);
    EXPECT_EQ(Popup()->HotCell(), 2);
    button_->SetDroppedDown(false);
}

TEST_F(ColorPickerButtonTest, SelectColorCellFindsCellsSystemColoursAndCombs)
{
    button_->SetDefaultText("Automatisch");
    button_->SetCustomText("weitere Farben...");
    struct Case {
        TColor color;
        bool system;
        int cell;
        int comb;
    } cases[] = {
        {0x003399, false, 1, 0},      // "Brown"
        {0x123457, false, NoCell, 0}, // shown nowhere
        {clNone, false, NoCell, 0},
        {clDefault, false, DefaultCell, 0},
        {static_cast<TColor>(0x80000005), true, 45, 0}, // the window colour's cell
        {RGB(225, 225, 225), false, CustomCell, -2},    // grey comb 1
        {RGB(255, 212, 255), false, CustomCell, 2},     // first colour comb past the centre
    };
    for (const Case& c : cases) {
        button_->SetShowSystemColors(c.system);
        Popup()->SelectColorCell(c.color);
        EXPECT_EQ(Popup()->ChosenCell(), c.cell) << std::hex << c.color;
        EXPECT_EQ(Popup()->CustomComb(), c.comb) << std::hex << c.color;
    }
}

TEST_F(ColorPickerButtonTest, CombsFormAHexagonOf127AndARowOf17Greys)
{
    EXPECT_EQ(Popup()->CombRadius(), 63);
    EXPECT_EQ(Popup()->CombSize(), 11);
    const auto& combs = Popup()->ColorCombs();
    ASSERT_EQ(combs.size(), 127u);
    EXPECT_EQ(combs[0].Position, TPoint(0, 0));
    EXPECT_EQ(combs[0].Color, RGB(255, 255, 255));
    // Ring 1 of sector 0 lies straight below the centre, about 9 pixels out.
    EXPECT_EQ(combs[1].Position, TPoint(0, 9));
    EXPECT_EQ(combs[1].Color, RGB(255, 212, 255));
    // The outer corner of spoke 0 (ring 6, after 1 + 2 + ... + 5 combs) is magenta.
    EXPECT_EQ(combs[16].Position, TPoint(0, 55));
    EXPECT_EQ(combs[16].Color, RGB(255, 0, 255));

    const auto& greys = Popup()->GrayCombs();
    ASSERT_EQ(greys.size(), 17u);
    EXPECT_EQ(greys[0].Position, TPoint(11, 11));
    EXPECT_EQ(greys[0].Color, RGB(255, 255, 255));
    EXPECT_EQ(greys[1].Position, TPoint(33, 6));
    EXPECT_EQ(greys[1].Color, RGB(225, 225, 225));
    EXPECT_EQ(greys[2].Position, TPoint(38, 14));
    EXPECT_EQ(greys[15].Color, RGB(15, 15, 15));
    EXPECT_EQ(greys[16].Position, TPoint(124, 11));
    EXPECT_EQ(greys[16].Color, RGB(0, 0, 0));

    // Hit tests: the centre comb, the big white comb, nothing in between.
    const TPoint centre = Popup()->CombCentre();
    EXPECT_EQ(Popup()->CombAt(centre), 1);
    EXPECT_EQ(Popup()->CombAt({centre.X + 3, centre.Y + 9}), 2);
    const TRect row = Popup()->GrayRow();
    EXPECT_EQ(Popup()->CombAt({row.Left + 11 + 10, row.Top + 11}), -1);
    EXPECT_EQ(Popup()->CombAt({Popup()->CombArea().Right + 100, centre.Y}), 0);
}

TEST_F(ColorPickerButtonTest, ThePressDecidesBetweenTheMainPartAndTheArrow)
{
    int clicks = 0;
    button_->OnClick = [&clicks](TObject*) { ++clicks; };
    PressButtonAt(60 - 15);
    EXPECT_FALSE(button_->DroppedDown());
    EXPECT_FALSE(button_->ArrowPressed());
    EXPECT_EQ(clicks, 1);
    PressButtonAt(60 - 14);
    EXPECT_TRUE(button_->DroppedDown());
    EXPECT_TRUE(button_->ArrowPressed());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Popup()->Visible());
    // The popup opens at the button's bottom left, one pixel further left.
    const TPoint corner = button_->ClientToScreen({0, button_->Height()});
    EXPECT_EQ(Popup()->Left(), std::max(corner.X - 1, 0));
    EXPECT_EQ(Popup()->Top(), corner.Y);
}

TEST_F(ColorPickerButtonTest, DropChangingCanKeepThePopupClosed)
{
    int dropChanges = 0;
    button_->OnDropChanged = [&dropChanges](TObject*) { ++dropChanges; };
    button_->OnDropChanging = [](TObject*, bool& allowed) { allowed = false; };
    button_->SetDroppedDown(true);
    EXPECT_FALSE(button_->DroppedDown());
    EXPECT_EQ(dropChanges, 0);
    button_->OnDropChanging = nullptr;
    button_->SetDroppedDown(true);
    EXPECT_TRUE(button_->DroppedDown());
    EXPECT_EQ(dropChanges, 1);
}

TEST_F(ColorPickerButtonTest, ChoosingInThePopupSetsTheColourOnceAndCloses)
{
    button_->SetSelectionColor(clBlack);
    changes_ = 0;
    button_->SetSelectionColor(clBlack);
    EXPECT_EQ(changes_, 0);

    // Opening on a colour marks its cell.
    button_->SetSelectionColor(0x003399);
    changes_ = 0;
    button_->SetDroppedDown(true);
    EXPECT_EQ(Popup()->ChosenCell(), 1);
    ClickPopup(Middle(Popup()->CellRect(16)));
    EXPECT_EQ(button_->SelectionColor(), 0x0000FF);
    EXPECT_EQ(changes_, 1);
    EXPECT_FALSE(button_->DroppedDown());
    EXPECT_FALSE(Popup()->Visible());

    // The default cell reports itself and keeps the colour.
    int defaults = 0;
    button_->OnDefaultSelect = [&defaults](TObject*) { ++defaults; };
    button_->SetDefaultText("Automatisch");
    button_->SetDroppedDown(true);
    ClickPopup(Middle(Popup()->CellRect(DefaultCell)));
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(button_->SelectionColor(), 0x0000FF);
    EXPECT_FALSE(button_->DroppedDown());

    // Escape and a press outside cancel; Enter takes the hot cell.
    for (bool escape : {true, false}) {
        button_->SetDroppedDown(true);
        if (escape)
            Key(VK_ESCAPE);
        else
            Popup()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At({-5, -5}));
        EXPECT_FALSE(button_->DroppedDown());
        EXPECT_EQ(button_->SelectionColor(), 0x0000FF);
    }
    button_->SetDroppedDown(true);
    Popup()->SetHotCell(39);
    Key(VK_RETURN);
    EXPECT_EQ(button_->SelectionColor(), 0xFFFFFF);
    EXPECT_EQ(changes_, 2);
}

TEST_F(ColorPickerButtonTest, TheCustomCellOpensCombsAndTheSliderDimsThem)
{
    button_->SetCustomText("weitere Farben...");
    button_->SetShowHint(true);
    button_->SetDroppedDown(true);
    const int normal = Popup()->Height();
    ClickPopup(Middle(Popup()->CellRect(CustomCell)));
    EXPECT_TRUE(button_->DroppedDown());
    EXPECT_EQ(Popup()->ChosenCell(), CustomCell);
    EXPECT_GT(Popup()->Height(), normal);

    // Dragging the slider to its bottom blackens the centre comb.
    const TRect slider = Popup()->SliderRect();
    const int x = (slider.Left + slider.Right) / 2;
    Popup()->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At({x, slider.Top + 2}));
    Popup()->Perform(WM_MOUSEMOVE, MK_LBUTTON, At({x, slider.Bottom + 30}));
    Popup()->Perform(WM_LBUTTONUP, 0, At({x, slider.Bottom + 30}));
    EXPECT_TRUE(button_->DroppedDown());
    EXPECT_EQ(Popup()->Brightness(), 0.0);
    EXPECT_EQ(Popup()->ColorCombs()[0].Color, RGB(0, 0, 0));
    EXPECT_EQ(Popup()->HintAt({x, slider.Bottom - 1}), "Intensity: 0%");
    EXPECT_EQ(Popup()->HintAt(Middle(Popup()->CellRect(16))), "Red");

    // A comb chosen with the mouse becomes the colour.
    const TPoint centre = Popup()->CombCentre();
    const TPoint magentaCorner{centre.X, centre.Y + 55};
    EXPECT_EQ(Popup()->HintAt(magentaCorner), "red: 255, green: 0, blue: 255");
    ClickPopup(magentaCorner);
    EXPECT_EQ(button_->SelectionColor(), RGB(255, 0, 255));
    EXPECT_FALSE(button_->DroppedDown());
}

TEST_F(ColorPickerButtonTest, GlyphStripsOfUpToFourImagesAreCounted)
{
    struct Case {
        int width;
        int images;
    } cases[] = {{64, 4}, {80, 1}, {32, 2}, {20, 2}}; // 20 x 16 is no strip: the count stays
    for (const Case& c : cases) {
        TBitmap strip(c.width, 16);
        button_->SetGlyph(strip);
        EXPECT_EQ(button_->NumGlyphs(), c.images) << c.width;
    }
}

} // namespace
