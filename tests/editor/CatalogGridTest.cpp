// The catalog's rules without a window: cells and the hit test, the
// navigation keys, the three ways of selecting and dropping the selection.

#include "editor/app/CatalogGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace CatalogGrid;

// 80 x 60 thumbnails with a 16-pixel file-name line: cells of 90 x 86.
TCatalogGeometry Grid(int clientWidth, int clientHeight, int count)
{
    TCatalogGeometry grid;
    grid.InitCells(80, 60, 16);
    grid.Measure(clientWidth, clientHeight, count);
    return grid;
}

TEST(CatalogGridTest, AWidthOfExactlyFourCellsHasFourColumnsThatTheHitTestAgreesWith)
{
    const TCatalogGeometry grid = Grid(360, 200, 10);
    EXPECT_EQ(grid.CellWidth, 90);
    EXPECT_EQ(grid.CellHeight, 86);
    EXPECT_EQ(grid.Columns, 4);
    EXPECT_EQ(grid.PageRows, 2);
    EXPECT_EQ(grid.Margin(), 0);
    EXPECT_EQ(grid.PaintBoxHeight, 3 * 86);
    EXPECT_EQ(grid.CalcRect(3, 1), Rect(270, 86, 360, 172));
    EXPECT_EQ(grid.CalcRectIndex(9), Rect(90, 172, 180, 258));

    // Every painted cell's corners hit that cell, and nothing right of the
    // fourth column hits a picture.
    for (int index = 0; index < 10; ++index) {
        const TRect cell = grid.CalcRectIndex(index);
        EXPECT_EQ(grid.GetItemIndex(cell.Left, cell.Top, 10), index);
        EXPECT_EQ(grid.GetItemIndex(cell.Right - 1, cell.Bottom - 1, 10), index);
    }
    EXPECT_EQ(grid.GetItemIndex(360, 10, 10), -1);
    EXPECT_EQ(grid.GetItemIndex(200, 200, 10), -1) << "the short last row has no third cell";
    EXPECT_EQ(grid.GetItemIndexWithOutCheck(200, 200), 10) << "a drop may aim past the last picture";
    EXPECT_EQ(grid.GetItemIndexWithOutCheck(-5, -5), 0);
}

TEST(CatalogGridTest, SpareWidthIsSplitOnBothSides)
{
    const TCatalogGeometry grid = Grid(400, 200, 10);
    EXPECT_EQ(grid.Columns, 4);
    EXPECT_EQ(grid.Margin(), 20);
    EXPECT_EQ(grid.CalcRect(0, 0).Left, 20);
    EXPECT_EQ(grid.GetItemIndex(19, 10, 10), -1);
    EXPECT_EQ(grid.GetItemIndex(20, 10, 10), 0);
    EXPECT_EQ(grid.GetItemIndex(379, 10, 10), 3);
    EXPECT_EQ(grid.GetItemIndex(380, 10, 10), -1);
}

TEST(CatalogGridTest, AnAreaSmallerThanOneCellStillHasOneColumnAndRowAndScrollsSideways)
{
    TCatalogGeometry grid;
    grid.InitCells(80, 60, 0);
    EXPECT_TRUE(grid.Measure(50, 30, 3));
    EXPECT_EQ(grid.Columns, 1);
    EXPECT_EQ(grid.PageRows, 1);
    EXPECT_EQ(grid.PaintBoxWidth, 90);
    EXPECT_EQ(grid.PaintBoxHeight, 3 * 70);
    EXPECT_FALSE(grid.Measure(90, 70, 0));
    EXPECT_EQ(grid.PaintBoxHeight, 0) << "an empty show has no cells";
}

TEST(CatalogGridTest, ScrollingBringsACellIntoViewOnlyWhenItIsOutside)
{
    const TCatalogGeometry grid = Grid(360, 200, 40);
    EXPECT_EQ(grid.ScrollPositionFor(1, 0, 200), 0);
    EXPECT_EQ(grid.ScrollPositionFor(8, 0, 200), 3 * 86 - 200) << "the third row ends below the view";
    EXPECT_EQ(grid.ScrollPositionFor(0, 300, 200), 0);
    EXPECT_EQ(grid.ScrollPositionFor(-1, 300, 200), 300);
    EXPECT_EQ(grid.FirstRow(100), 1);
    EXPECT_EQ(grid.RowLimit(100, 200), 4);
}

TEST(CatalogGridTest, NavigationKeys)
{
    // Ten pictures in four columns: the last row holds 8 and 9 only.
    const struct {
        TCatalogKey key;
        int from, pageRows, expected;
        const char* why;
    } table[] = {
        {ckLeft, 0, 1, 0, "nothing left of the first"},
        {ckLeft, 5, 1, 4, ""},
        {ckRight, 9, 1, 9, "nothing right of the last"},
        {ckRight, -1, 1, 1, "no current picture counts as the first"},
        {ckUp, 2, 1, 0, "above the first row is the first picture"},
        {ckUp, 6, 1, 2, ""},
        {ckDown, 6, 1, 9, "below the short row is the last picture"},
        {ckDown, 1, 1, 5, ""},
        {ckHome, 7, 1, 0, ""},
        {ckEnd, 2, 1, 9, ""},
        {ckPageUp, 9, 1, 5, ""},
        {ckPageUp, 5, 2, 1, "a page above the top stays in the column"},
        {ckPageDown, 1, 2, 9, "a whole page fits"},
        {ckPageDown, 0, 3, 8, "the short last row reaches column 0"},
        {ckPageDown, 5, 3, 9, "and column 1"},
        {ckPageDown, 6, 3, 9, "but not column 2: the last picture"},
        {ckPageDown, 9, 3, 9, "the last picture stays"},
    };
    for (const auto& row : table)
        EXPECT_EQ(NavigateKey(row.key, row.from, 10, 4, row.pageRows), row.expected)
            << "key " << int(row.key) << " from " << row.from << ": " << row.why;
    EXPECT_EQ(NavigateKey(ckDown, 0, 0, 4, 1), -1) << "an empty show has nowhere to go";
}

TEST(CatalogGridTest, ADragNeedsFivePixelsOnOneAxis)
{
    EXPECT_FALSE(DragThresholdPassed({10, 10}, {14, 14}));
    EXPECT_FALSE(DragThresholdPassed({10, 10}, {6, 6}));
    EXPECT_TRUE(DragThresholdPassed({10, 10}, {15, 10}));
    EXPECT_TRUE(DragThresholdPassed({10, 10}, {10, 5}));
}

// Pictures as a row of flag words that can be reordered; each knows its
// original position.
class Pictures : public TCatalogDropList {
public:
    explicit Pictures(int count)
    {
        for (int i = 0; i < count; ++i)
            items_.push_back({i, 0});
    }
    int Count() const override { return static_cast<int>(items_.size()); }
    std::uint32_t& Flags(int index) override { return items_.at(index).flags; }
    void Move(int from, int to) override
    {
        const Item item = items_.at(from);
        items_.erase(items_.begin() + from);
        items_.insert(items_.begin() + to, item);
    }
    std::string Order() const
    {
        std::string order;
        for (const Item& item : items_)
            order += static_cast<char>('A' + item.name);
        return order;
    }
    std::string Selected() const
    {
        std::string selected;
        for (const Item& item : items_)
            if (item.flags & pfSelected)
                selected += static_cast<char>('A' + item.name);
        return selected;
    }
    void Mark(std::initializer_list<int> selected)
    {
        for (int i : selected)
            items_.at(i).flags |= pfSelected;
    }
    bool AnyMoved() const
    {
        for (const Item& item : items_)
            if (item.flags & pfMoved)
                return true;
        return false;
    }

private:
    struct Item {
        int name;
        std::uint32_t flags;
    };
    std::vector<Item> items_;
};

TEST(CatalogGridTest, ClickShiftAndCtrlSelect)
{
    Pictures pictures(8);
    TCatalogSelection selection(pictures);
    bool currentChanged = false;

    EXPECT_TRUE(selection.DoSelect(2, false, false, currentChanged));
    EXPECT_TRUE(currentChanged);
    EXPECT_EQ(pictures.Selected(), "C");

    selection.DoSelect(5, true, false, currentChanged);
    EXPECT_EQ(pictures.Selected(), "CDEF") << "Shift selects from the anchor";
    EXPECT_EQ(selection.SelCount, 4);
    selection.DoSelect(0, true, false, currentChanged);
    EXPECT_EQ(pictures.Selected(), "ABC") << "the anchor stays while Shift is held";
    EXPECT_EQ(selection.ItemIndex, 0);

    // The first picture of a Ctrl gesture decides whether it selects.
    selection.CtrlSelectMode = -1;
    selection.DoSelect(1, false, true, currentChanged);
    selection.DoSelect(2, false, true, currentChanged);
    selection.DoSelect(6, false, true, currentChanged);
    EXPECT_EQ(pictures.Selected(), "A") << "B was selected, so the gesture deselects";
    selection.CtrlSelectMode = -1;
    selection.DoSelect(6, false, true, currentChanged);
    selection.DoSelect(7, false, true, currentChanged);
    EXPECT_EQ(pictures.Selected(), "AGH");
    EXPECT_EQ(selection.SelCount, 3);

    selection.DoSelect(0, false, false, currentChanged);
    EXPECT_EQ(pictures.Selected(), "AGH") << "a press on a selected picture keeps the block for dragging";
    EXPECT_TRUE(selection.Select(0));
    EXPECT_EQ(pictures.Selected(), "A") << "the release narrows it";
    EXPECT_TRUE(selection.Select(-1));
    EXPECT_EQ(pictures.Selected(), "") << "a click on empty space deselects every picture";
    EXPECT_EQ(selection.SelCount, 0);
    EXPECT_FALSE(selection.DoSelect(-1, false, false, currentChanged));
}

TEST(CatalogGridTest, ChangedCellsAreMarkedForRedrawing)
{
    Pictures pictures(4);
    TCatalogSelection selection(pictures);
    bool currentChanged = false;
    selection.DoSelect(1, false, false, currentChanged);
    for (int i = 0; i < 4; ++i)
        pictures.Flags(i) &= ~pfDirty;
    selection.DoSelect(3, false, false, currentChanged);
    EXPECT_TRUE(pictures.Flags(1) & pfDirty) << "the old current picture";
    EXPECT_TRUE(pictures.Flags(3) & pfDirty) << "the new one";
    EXPECT_FALSE(pictures.Flags(0) & pfDirty);
    EXPECT_FALSE(selection.SelectItem(3, true, true)) << "no change, nothing to redraw";
}

TEST(CatalogGridTest, CommandsNeverActOnACurrentPictureThatCtrlDeselected)
{
    Pictures pictures(6);
    TCatalogSelection selection(pictures);
    bool currentChanged = false;
    selection.DoSelect(1, false, false, currentChanged);
    selection.CtrlSelectMode = -1;
    selection.DoSelect(4, false, true, currentChanged);
    EXPECT_EQ(selection.CommandIndex(), 4);
    selection.CtrlSelectMode = -1;
    selection.DoSelect(4, false, true, currentChanged);
    EXPECT_EQ(selection.ItemIndex, 4) << "the current picture stays where the click was";
    EXPECT_EQ(pictures.Selected(), "B");
    EXPECT_EQ(selection.CommandIndex(), 1) << "the one selected picture, not the deselected current one";
    selection.CtrlSelectMode = -1;
    selection.DoSelect(1, false, true, currentChanged);
    EXPECT_EQ(selection.CommandIndex(), -1) << "with nothing selected nothing is acted on";
}

TEST(CatalogGridTest, SelectAllInvertAndValidate)
{
    Pictures pictures(5);
    TCatalogSelection selection(pictures);
    EXPECT_TRUE(selection.SelectAll(true));
    EXPECT_EQ(selection.SelCount, 5);
    EXPECT_FALSE(selection.SelectAll(true));
    selection.Select(3);
    selection.InvertSelection();
    EXPECT_EQ(pictures.Selected(), "ABCE");
    EXPECT_EQ(selection.SelCount, 4);

    selection.ItemIndex = 9;
    selection.SelCount = 0;
    selection.ValidateSelection();
    EXPECT_EQ(selection.ItemIndex, 4);
    EXPECT_EQ(pictures.Selected(), "E");
    EXPECT_EQ(selection.SelCount, 1);
}

TEST(CatalogGridTest, DroppingMovesTheSelectionInItsOrder)
{
    const struct {
        std::initializer_list<int> selected;
        int target;
        const char* order;
        int low, high, current;
        const char* why;
    } table[] = {
        {{1, 3}, 5, "ACEBD", 1, 4, 4, "after the last picture"},
        {{1, 3}, 9, "ACEBD", 1, 4, 4, "far past the last picture"},
        {{1, 2}, 2, "ABCDE", 1, 2, 2, "onto the selected block: it stays together"},
        {{1, 2}, 1, "ABCDE", 1, 2, 1, "onto the block's first picture: not reversed"},
        {{2, 3}, 0, "CDABE", 0, 3, 3, "backwards"},
        {{1, 3}, 0, "BDACE", 0, 3, 3, "before the first picture"},
        {{0, 4}, 2, "BAECD", 0, 4, 4, "from both sides into the middle"},
        {{}, 3, "ABCDE", 3, -1, 3, "nothing selected moves nothing"},
    };
    for (const auto& row : table) {
        Pictures pictures(5);
        pictures.Mark(row.selected);
        const TDropResult result = ProcessDrop(pictures, row.target);
        EXPECT_EQ(pictures.Order(), row.order) << row.why;
        EXPECT_EQ(result.Low, row.low) << row.why;
        EXPECT_EQ(result.High, row.high) << row.why;
        EXPECT_EQ(result.NewItemIndex, row.current) << row.why;
        EXPECT_FALSE(pictures.AnyMoved()) << row.why;
        for (int i = result.Low; i >= 0 && i <= result.High; ++i)
            EXPECT_TRUE(pictures.Flags(i) & pfDirty) << row.why << " cell " << i;
    }
    Pictures pictures(3);
    pictures.Mark({0});
    EXPECT_FALSE(ProcessDrop(pictures, -1).Moved) << "no drop position";
    EXPECT_EQ(pictures.Order(), "ABC");
}

} // namespace
