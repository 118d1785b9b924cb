// Dragging controls onto controls of the same program.

#include <string>
#include <vector>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"

namespace {

class ControlDragTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form_ = NewForm(400, 200);
        list_ = new TListBox(form_);
        list_->SetParent(form_);
        list_->SetBounds(10, 10, 120, 150);
        for (const char* text : {"strand.jpg", "düne.png", "watt.bmp"})
            list_->Items().Add(text);
        list_->DragMode = dmAutomatic;
        panel_ = new TPanel(form_);
        panel_->SetParent(form_);
        panel_->SetBounds(200, 10, 150, 150);
        list_->OnStartDrag = [this](TObject*) { log_.push_back("start"); };
        list_->OnEndDrag = [this](TObject*, TObject* target, int x, int y) {
            log_.push_back(std::string("end ") +
                           (!target                ? "none"
                                : target == panel_ ? "panel"
                                                   : "other") +
                           " " + std::to_string(x) + "," + std::to_string(y));
        };
        panel_->OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
            const char* names[] = {"enter", "leave", "move"};
            log_.push_back(std::string(names[state]) + " " + std::to_string(x) + "," + std::to_string(y));
            accept = source == list_ && panelAccepts_;
        };
        panel_->OnDragDrop = [this](TObject*, TObject* source, int x, int y) {
            log_.push_back(std::string("drop ") + (source == list_ ? "list" : "other") + " " + std::to_string(x) + "," +
                           std::to_string(y));
        };
        form_->Show();
        Turn();
    }

    // A point of the panel in the list's client coordinates, where the
    // list's window reports the held mouse.
    TPoint OverPanel(int x, int y) const { return list_->ScreenToClient(panel_->ClientToScreen({x, y})); }

    void Press(TPoint at)
    {
        SendMouse(list_, TMouseAction::Press, at, mbLeft, {ssLeft});
        Turn();
    }
    void MoveTo(TPoint at)
    {
        ui::test::MoveMouse(list_, at, {ssLeft});
        Turn();
    }
    void Release(TPoint at)
    {
        SendMouse(list_, TMouseAction::Release, at, mbLeft, {});
        Turn();
    }

    TForm* form_ = nullptr;
    TListBox* list_ = nullptr;
    TPanel* panel_ = nullptr;
    bool panelAccepts_ = true;
    std::vector<std::string> log_;
};

TEST_F(ControlDragTest, AnAutomaticDragStartsPastTheThresholdAndDropsOnTheAcceptingControl)
{
    Press({20, 20});
    MoveTo({23, 24}); // less than five pixels on both axes: still a press
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(ui::DragSourceControl(), list_);
    MoveTo(OverPanel(30, 40));
    MoveTo(OverPanel(35, 45));
    Release(OverPanel(35, 45));
    EXPECT_EQ(log_,
              (std::vector<std::string>{"start", "enter 30,40", "move 35,45", "drop list 35,45", "end panel 35,45"}));
    EXPECT_EQ(ui::DragSourceControl(), nullptr);
    EXPECT_FALSE(list_->Dragging());
}

TEST_F(ControlDragTest, ARefusedOrCancelledDragDropsNothing)
{
    struct Case {
        const char* name;
        bool accepts;
        bool escape;
    } cases[] = {{"refused", false, false}, {"escape", true, true}};
    for (const Case& c : cases) {
        log_.clear();
        panelAccepts_ = c.accepts;
        Press({20, 20});
        MoveTo(OverPanel(30, 40));
        if (c.escape) {
            SendKey(list_, TKeyAction::Press, TKey::Escape);
            Turn();
        }
        Release(OverPanel(30, 40));
        EXPECT_EQ(log_, (std::vector<std::string>{"start", "enter 30,40", "leave 30,40", "end none 0,0"})) << c.name;
        EXPECT_EQ(ui::DragSourceControl(), nullptr) << c.name;
    }
}

TEST_F(ControlDragTest, LeavingTheTargetTellsItAndAPressWithoutMovingStaysAClick)
{
    Press({20, 20});
    MoveTo(OverPanel(30, 40));
    MoveTo({20, 20}); // back over the list, which takes no drops
    Release({20, 20});
    // The panel hears of the leave at the mouse's new place.
    EXPECT_EQ(log_, (std::vector<std::string>{"start", "enter 30,40", "leave -170,20", "end none 0,0"}));

    log_.clear();
    int releases = 0;
    list_->OnMouseUp = [&releases](TObject*, TMouseButton, TShiftState, int, int) { ++releases; };
    Press({20, 20});
    MoveTo({22, 21});
    Release({22, 21});
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(ui::DragSourceControl(), nullptr);
    EXPECT_EQ(releases, 1);
}

TEST_F(ControlDragTest, AManualControlDragsOnlyWhenAsked)
{
    list_->DragMode = dmManual;
    Press({20, 20});
    MoveTo(OverPanel(30, 40));
    Release(OverPanel(30, 40));
    EXPECT_TRUE(log_.empty());

    list_->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { list_->BeginDrag(true); };
    Press({20, 20});
    EXPECT_EQ(log_, (std::vector<std::string>{"start"}));
    Release(OverPanel(30, 40));
    EXPECT_EQ(log_, (std::vector<std::string>{"start", "enter 30,40", "drop list 30,40", "end panel 30,40"}));
}

TEST_F(ControlDragTest, ATargetFreedDuringTheDragIsForgotten)
{
    Press({20, 20});
    const TPoint over = OverPanel(30, 40);
    MoveTo(over);
    delete panel_;
    panel_ = nullptr;
    Release(over);
    EXPECT_EQ(log_.back(), "end none 0,0");
    EXPECT_EQ(ui::DragSourceControl(), nullptr);
}

} // namespace
