#include "widgets/DropTarget.h"
#include "widgets/DropBMPTarget.h"
#include "widgets/DropPIDLTarget.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/ShellBlocks.h"
#include "platform/ui/StdCtrls.h"
#include "tests/ui/UiFixture.h"
#include "widgets/DropBMPSource.h"
#include "widgets/DropPIDLSource.h"
#include "widgets/DropSource.h"

namespace {

enum Kind { Text, Files, Pidls, Picture };
const char* const KindNames[] = {"text", "files", "item lists", "bitmap"};

// One step of the user's hand: over a control (nullptr: nowhere) at a client
// point, with keys held.
struct Step {
    TWinControl* over;
    TPoint at;
    std::uintptr_t keys; // MK_* bits
    bool escape = false;
};

class DropTargetTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form_ = NewForm(480, 200);
        for (int k = Text; k <= Picture; ++k) {
            auto* panel = new TPanel(form_);
            panel->SetParent(form_);
            panel->SetBounds(10 + 115 * k, 10, 100, 100);
            panels_[k] = panel;
        }
        targets_[Text] = new TDropTextTarget(form_);
        targets_[Files] = new TDropFileTarget(form_);
        targets_[Pidls] = new TDropPIDLTarget(form_);
        targets_[Picture] = new TDropBMPTarget(form_);
        for (int k = Text; k <= Picture; ++k) {
            targets_[k]->Dragtypes = {dtCopy, dtMove, dtLink};
            targets_[k]->Register(panels_[k]);
            targets_[k]->OnDrop = [this, k](TObject*, TShiftState, TPoint, DWORD& effect) {
                received_[k] = Received(static_cast<Kind>(k));
                dropEffects_[k] = effect;
            };
        }
        form_->Show();
        Turn();
    }

    void TearDown() override
    {
        ui::SetDragDriver(nullptr);
        UiTest::TearDown();
    }

    TDropSource* NewSource(Kind kind)
    {
        switch (kind) {
        case Text: {
            auto* s = new TDropTextSource(form_);
            s->Text = "Sonnenuntergang über dem Meer";
            return s;
        }
        case Files: {
            auto* s = new TDropFileSource(form_);
            s->Files().Add("/home/anna/Bilder/strand.jpg");
            s->Files().Add("/home/anna/Bilder/düne.png");
            return s;
        }
        case Pidls: {
            auto* s = new TDropPIDLSource(form_);
            auto desktop = ui::SHGetDesktopFolder();
            LPITEMIDLIST pidl = nullptr;
            desktop->ParseDisplayName("/home/anna/Bilder", pidl);
            s->CopyFolderPidlToList(pidl);
            ShellMalloc->Free(pidl);
            std::unique_ptr<TShellFolder> folder;
            desktop->ParseDisplayName("/home/anna/Bilder", pidl);
            desktop->BindToObject(pidl, folder);
            ShellMalloc->Free(pidl);
            for (const char* name : {"strand.jpg", "düne.png"}) {
                folder->ParseDisplayName(name, pidl);
                s->CopyFilePidlToList(pidl);
                ShellMalloc->Free(pidl);
            }
            return s;
        }
        case Picture: {
            auto* s = new TDropBMPSource(form_);
            TBitmap picture(5, 3);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 15; ++x)
                    picture.ScanLine(y)[x] = static_cast<std::uint8_t>(17 * x + 50 * y);
            s->SetBitmap(picture);
            return s;
        }
        }
        return nullptr;
    }

    // What a target read, as one line.
    std::string Received(Kind kind)
    {
        switch (kind) {
        case Text: return static_cast<TDropTextTarget*>(targets_[Text])->Text;
        case Files: return static_cast<TDropFileTarget*>(targets_[Files])->Files().CommaText();
        case Pidls: return static_cast<TDropPIDLTarget*>(targets_[Pidls])->Filenames().CommaText();
        case Picture: {
            TBitmap& b = static_cast<TDropBMPTarget*>(targets_[Picture])->Bitmap();
            std::string line = std::to_string(b.Width()) + "x" + std::to_string(b.Height());
            if (!b.Empty())
                line += ":" + std::to_string(b.ScanLine(2)[14]);
            return line;
        }
        }
        return {};
    }

    // Runs the steps as the user's drag while the source executes.
    TDragResult Drag(TDropSource* source, std::vector<Step> steps)
    {
        ui::SetDragDriver([steps](ui::TDragLoop& loop) {
            for (const Step& s : steps) {
                TPoint screen = s.over ? s.over->ClientToScreen(s.at) : TPoint(-5000, -5000);
                if (!loop.Step({screen, static_cast<DWORD>(s.keys), s.escape}))
                    return;
            }
        });
        return source->Execute();
    }

    // Press, move over the target, move again, release with the keys.
    TDragResult DropOn(TDropSource* source, Kind target, std::uintptr_t keys = 0)
    {
        TWinControl* panel = panels_[target];
        return Drag(
            source,
            {{panel, {20, 20}, MK_LBUTTON | keys}, {panel, {50, 50}, MK_LBUTTON | keys}, {panel, {50, 50}, keys}});
    }

    TForm* form_ = nullptr;
    TPanel* panels_[4] = {};
    TDropTarget* targets_[4] = {};
    std::map<int, std::string> received_;
    std::map<int, DWORD> dropEffects_;
};

TEST_F(DropTargetTest, EverySourceReachesTheTargetsThatReadItsData)
{
    const std::string files = "/home/anna/Bilder/strand.jpg,/home/anna/Bilder/düne.png";
    struct Case {
        Kind source;
        Kind target;
        TDragResult result;
        std::string received;
    } cases[] = {
        {Text, Text, drDropCopy, "Sonnenuntergang über dem Meer"},
        {Text, Files, drCancel, ""},
        {Text, Picture, drCancel, ""},
        {Files, Files, drDropCopy, files},
        {Files, Pidls, drDropCopy, files},
        {Files, Text, drCancel, ""},
        {Pidls, Pidls, drDropCopy, files},
        {Pidls, Files, drDropCopy, files},
        {Pidls, Picture, drCancel, ""},
        {Picture, Picture, drDropCopy, "5x3:" + std::to_string((17 * 14 + 100) & 0xFF)},
        {Picture, Files, drCancel, ""},
    };
    for (const Case& c : cases) {
        received_.clear();
        TDropSource* source = NewSource(c.source);
        EXPECT_EQ(DropOn(source, c.target), c.result) << KindNames[c.source] << " on " << KindNames[c.target];
        EXPECT_EQ(received_.count(c.target) ? received_[c.target] : "", c.received)
            << KindNames[c.source] << " on " << KindNames[c.target];
        EXPECT_EQ(Received(c.target), c.target == Picture ? "0x0" : "") << "data is cleared after the drop";
        delete source;
    }
}

TEST_F(DropTargetTest, KeysAndAllowedTypesChooseTheEffect)
{
    using Types = TDragTypes;
    struct Case {
        const char* name;
        Types sourceTypes;
        Types targetTypes;
        DWORD keys;
        TDragResult result;
    } cases[] = {
        {"no keys: copy", {dtCopy, dtMove, dtLink}, {dtCopy, dtMove, dtLink}, 0, drDropCopy},
        {"shift: move", {dtCopy, dtMove, dtLink}, {dtCopy, dtMove, dtLink}, MK_SHIFT, drDropMove},
        {"shift+ctrl: link", {dtCopy, dtMove, dtLink}, {dtCopy, dtMove, dtLink}, MK_SHIFT | MK_CONTROL, drDropLink},
        {"ctrl alone: copy", {dtCopy, dtMove, dtLink}, {dtCopy, dtMove, dtLink}, MK_CONTROL, drDropCopy},
        {"shift+ctrl, link not allowed: copy",
         {dtCopy, dtMove},
         {dtCopy, dtMove, dtLink},
         MK_SHIFT | MK_CONTROL,
         drDropCopy},
        {"target moves only", {dtCopy, dtMove}, {dtMove}, 0, drDropMove},
        {"source links only", {dtLink}, {dtCopy, dtLink}, 0, drDropLink},
        {"shift without move: copy", {dtCopy, dtLink}, {dtCopy, dtMove, dtLink}, MK_SHIFT, drDropCopy},
        {"no common type", {dtCopy}, {dtMove, dtLink}, 0, drCancel},
        {"target takes nothing", {dtCopy, dtMove, dtLink}, {}, 0, drCancel},
    };
    for (const Case& c : cases) {
        TDropSource* source = NewSource(Files);
        source->Dragtypes = c.sourceTypes;
        targets_[Files]->Dragtypes = c.targetTypes;
        received_.clear();
        EXPECT_EQ(DropOn(source, Files, c.keys), c.result) << c.name;
        EXPECT_EQ(received_.count(Files), c.result == drCancel ? 0u : 1u) << c.name;
        delete source;
    }
}

TEST_F(DropTargetTest, RefusedDropsNeverReportADeliveredMove)
{
    struct Case {
        const char* name;
        std::function<void(TDropSource*)> prepare;
        std::vector<Step> steps;
        int sourceAsked; // OnDrop of the source
    };
    TWinControl* panel = panels_[Files];
    std::vector<Case> cases = {
        {"escape",
         nullptr,
         {{panel, {20, 20}, MK_LBUTTON | MK_SHIFT}, {panel, {30, 30}, MK_LBUTTON | MK_SHIFT, true}},
         0},
        {"source vetoes",
         [](TDropSource* s) { s->OnDrop = [](TObject*, TDragType, bool& go) { go = false; }; },
         {{panel, {20, 20}, MK_LBUTTON | MK_SHIFT}, {panel, {20, 20}, MK_SHIFT}},
         1},
        {"right button released over nothing",
         nullptr,
         {{panel, {20, 20}, MK_RBUTTON}, {nullptr, {}, MK_RBUTTON}, {nullptr, {}, 0}},
         0},
        // The data is gone before the target reads it: the target refuses and
        // the source must not delete anything.
        {"data gone at the drop",
         [](TDropSource* s) {
             s->OnDrop = [s](TObject*, TDragType, bool&) { static_cast<TDropFileSource*>(s)->Files().Clear(); };
         },
         {{panel, {20, 20}, MK_LBUTTON | MK_SHIFT}, {panel, {20, 20}, MK_SHIFT}},
         1},
        {"driver stops mid-drag", nullptr, {{panel, {20, 20}, MK_LBUTTON | MK_SHIFT}}, 0},
    };
    for (const Case& c : cases) {
        TDropSource* source = NewSource(Files);
        source->Dragtypes = {dtCopy, dtMove};
        if (c.prepare)
            c.prepare(source);
        int sourceAsked = 0;
        auto veto = source->OnDrop;
        source->OnDrop = [&](TObject* sender, TDragType type, bool& go) {
            ++sourceAsked;
            EXPECT_EQ(type, dtMove) << c.name;
            if (veto)
                veto(sender, type, go);
        };
        int left = 0;
        targets_[Files]->OnLeave = [&left](TObject*) { ++left; };
        received_.clear();
        EXPECT_EQ(Drag(source, c.steps), drCancel) << c.name;
        EXPECT_EQ(received_.count(Files), 0u) << c.name;
        EXPECT_EQ(sourceAsked, c.sourceAsked) << c.name;
        EXPECT_EQ(targets_[Files]->DataObject(), nullptr) << c.name;
        EXPECT_LE(left, 1) << c.name;
        delete source;
    }
}

TEST_F(DropTargetTest, EffectHandlerAndTheSourcesTypesDecideALinkDrop)
{
    // The target answers link although the source allows copy only.
    TDropSource* source = NewSource(Files);
    source->Dragtypes = {dtCopy};
    targets_[Files]->OnGetDropEffect = [](TObject*, TShiftState, TPoint, DWORD& effect) { effect = DROPEFFECT_LINK; };
    EXPECT_EQ(DropOn(source, Files), drCancel);
    EXPECT_EQ(received_.count(Files), 0u);
    source->Dragtypes = {dtCopy, dtLink};
    EXPECT_EQ(DropOn(source, Files), drDropLink);
    EXPECT_EQ(dropEffects_[Files], DROPEFFECT_LINK);
}

TEST_F(DropTargetTest, EnterOverAndLeaveFollowTheMouse)
{
    std::vector<std::string> events;
    for (int k : {Text, Files}) {
        std::string name = KindNames[k];
        targets_[k]->OnEnter = [&events, name](TObject*, TShiftState, TPoint p, DWORD&) {
            events.push_back("enter " + name + " " + std::to_string(p.X) + "," + std::to_string(p.Y));
        };
        targets_[k]->OnDragOver = [&events, name](TObject*, TShiftState, TPoint, DWORD&) {
            events.push_back("over " + name);
        };
        targets_[k]->OnLeave = [&events, name](TObject*) { events.push_back("leave " + name); };
    }
    TDropSource* source = NewSource(Files);
    int feedbacks = 0;
    DWORD lastFeedback = 99;
    source->OnFeedback = [&](TObject*, int effect, bool&) {
        ++feedbacks;
        lastFeedback = static_cast<DWORD>(effect);
    };
    EXPECT_EQ(Drag(source,
                   {{panels_[Text], {7, 9}, MK_LBUTTON},
                    {panels_[Text], {8, 9}, MK_LBUTTON},
                    {panels_[Files], {3, 4}, MK_LBUTTON},
                    {form_, {5, 150}, MK_LBUTTON},
                    {panels_[Files], {40, 40}, MK_LBUTTON},
                    {panels_[Files], {40, 40}, 0}}),
              drDropCopy);
    // The text target takes no files: it is entered but offers nothing.
    EXPECT_EQ(events, (std::vector<std::string>{"leave text", "enter files 3,4", "leave files", "enter files 40,40"}));
    EXPECT_EQ(feedbacks, 5);
    EXPECT_EQ(lastFeedback, DROPEFFECT_COPY);
}

TEST_F(DropTargetTest, DummyWithoutTypesTakesNothingButShowsTheDragImage)
{
    auto* panel = new TPanel(form_);
    panel->SetParent(form_);
    panel->SetBounds(10, 120, 100, 60);
    auto* dummy = new TDropDummy(form_);
    dummy->Register(panel);
    auto* images = new TImageList(form_);
    TBitmap glyph(16, 16);
    images->AddMasked(glyph, clNone);
    TDropSource* source = NewSource(Text);
    source->SetImages(images);
    ASSERT_TRUE(source->ShowImage());

    bool imageShownOverDummy = false;
    DWORD offered = 99;
    source->OnFeedback = [&](TObject*, int effect, bool&) {
        offered = static_cast<DWORD>(effect);
        imageShownOverDummy = ui::DragImageVisible() && dummy->DragImageHandle() != nullptr;
    };
    EXPECT_EQ(Drag(source, {{panel, {20, 20}, MK_LBUTTON}, {panel, {30, 30}, MK_LBUTTON}, {panel, {30, 30}, 0}}),
              drCancel);
    EXPECT_EQ(offered, DROPEFFECT_NONE);
    EXPECT_TRUE(imageShownOverDummy);
    EXPECT_FALSE(ui::DragImageVisible()); // ended with the drag
    EXPECT_EQ(dummy->DragImageHandle(), nullptr);
}

TEST_F(DropTargetTest, AScrollableTargetScrollsNearItsEdges)
{
    auto* box = new TScrollBox(form_);
    box->SetParent(form_);
    box->SetBounds(10, 120, 120, 70);
    auto* tall = new TPanel(box);
    tall->SetParent(box);
    tall->SetBounds(0, 0, 80, 400);
    box->UpdateScrollBars();
    ASSERT_TRUE(box->VertScrollBar().IsScrollBarVisible());
    ASSERT_FALSE(box->HorzScrollBar().IsScrollBarVisible());

    struct ScrollingTarget : TDropFileTarget {
        using TDropFileTarget::DoTargetScroll;
        using TDropFileTarget::TDropFileTarget;
    };
    auto* target = new ScrollingTarget(form_);
    target->Dragtypes = {dtCopy};
    target->Register(box);
    const int margin = std::abs(box->Font().Height());
    const int height = box->ClientHeight();

    struct Case {
        int x, y;
        bool scroll;
        int moved; // sign of the change of the scroll position
    } cases[] = {
        {50, height / 2, false, 0},
        {50, height - margin / 2, true, +1},
        {2, height / 2, false, 0}, // no horizontal bar
        {50, margin / 2, true, -1},
    };
    TDropSource* source = NewSource(Files);
    for (const Case& c : cases) {
        bool scrollBit = false;
        bool timerRan = false;
        int before = 0;
        int after = 0;
        source->OnFeedback = [&](TObject*, int effect, bool&) {
            scrollBit = scrollBit || (static_cast<DWORD>(effect) & DROPEFFECT_SCROLL) != 0;
            if (!target->ScrollTimer().Enabled() || timerRan)
                return;
            timerRan = true;
            before = box->VertScrollBar().Position();
            target->DoTargetScroll(); // what the timer does every 100 ms
            after = box->VertScrollBar().Position();
        };
        box->VertScrollBar().SetPosition(100);
        Drag(source, {{box, {c.x, c.y}, MK_LBUTTON}, {box, {c.x, c.y + 1}, MK_LBUTTON}, {box, {c.x, c.y}, 0}});
        EXPECT_EQ(scrollBit, c.scroll) << c.x << "," << c.y;
        EXPECT_EQ(timerRan, c.scroll) << c.x << "," << c.y;
        EXPECT_EQ((after > before) - (after < before), c.moved) << c.x << "," << c.y;
        EXPECT_FALSE(target->ScrollTimer().Enabled());
    }
    // Without scroll bars no point sets the scroll bit.
    targets_[Files]->ScrollDirs = {};
    for (TPoint p : {TPoint(0, 0), TPoint(99, 99), TPoint(1, 50)})
        EXPECT_EQ(targets_[Files]->GetValidDropEffect({}, p, DROPEFFECT_COPY), DROPEFFECT_COPY);
}

TEST_F(DropTargetTest, ListsAndMemosScrollWhileFilesAreHeldNearTheirEdges)
{
    rtl::SetClockForTests(1000);
    auto* list = new TListBox(form_);
    list->SetParent(form_);
    list->SetBounds(10, 120, 120, 70);
    for (int i = 1; i <= 50; ++i)
        list->Items().Add("Bild " + std::to_string(i));
    auto* memo = new TMemo(form_);
    memo->SetParent(form_);
    memo->SetBounds(140, 120, 120, 70);
    for (int i = 1; i <= 50; ++i)
        memo->Lines().Add("Zeile " + std::to_string(i));
    Turn();
    TDropSource* source = NewSource(Files);

    const std::pair<TNativeControl*, const char*> controls[] = {{list, "list"}, {memo, "memo"}};
    for (auto [control, name] : controls) {
        auto* target = new TDropFileTarget(form_);
        target->Dragtypes = {dtCopy};
        target->Register(control);
        const int start = ui::test::ScrollPosition(control);
        int atBottom = -1;
        int atTop = -1;
        // The scroll timer runs every 100 ms while the files stay near an
        // edge; the loop turns as it does while the user holds still.
        auto holdFor = [](int ms) {
            for (int waited = 0; waited < ms; waited += 50) {
                rtl::AdvanceClockForTests(50);
                Turn();
            }
        };
        ui::SetDragDriver([&](ui::TDragLoop& loop) {
            const int height = control->ClientHeight();
            loop.Step({control->ClientToScreen({20, height / 2}), MK_LBUTTON});
            loop.Step({control->ClientToScreen({20, height - 2}), MK_LBUTTON});
            holdFor(300);
            atBottom = ui::test::ScrollPosition(control);
            loop.Step({control->ClientToScreen({20, 2}), MK_LBUTTON});
            holdFor(100);
            atTop = ui::test::ScrollPosition(control);
            loop.Step({control->ClientToScreen({20, 2}), 0});
        });
        source->Execute();
        EXPECT_EQ(start, 0) << name;
        EXPECT_GE(atBottom, 2) << name;
        EXPECT_LT(atTop, atBottom) << name;
        EXPECT_FALSE(target->ScrollTimer().Enabled());
    }
}

TEST_F(DropTargetTest, RegistrationFollowsTheControl)
{
    auto* target = targets_[Text];
    EXPECT_TRUE(target->Registered());
    EXPECT_EQ(target->Target(), panels_[Text]);
    // A second target on the same window is refused.
    auto* second = new TDropTextTarget(form_);
    second->SetName("Zweites");
    panels_[Text]->SetName("TextPanel");
    try {
        second->Register(panels_[Text]);
        ADD_FAILURE() << "registered twice";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Failed to Register TextPanel");
    }
    target->Unregister();
    EXPECT_FALSE(target->Registered());
    EXPECT_EQ(target->Target(), nullptr);
    target->Register(panels_[Text]); // again after unregistering
    EXPECT_TRUE(target->Registered());
    EXPECT_EQ(ui::RegisteredDropTarget(panels_[Text]->Handle()), static_cast<IDropTarget*>(target));

    // The control goes first: the target lets it go.
    delete panels_[Text];
    panels_[Text] = nullptr;
    EXPECT_EQ(target->Target(), nullptr);
    EXPECT_FALSE(target->Registered());
}

TEST_F(DropTargetTest, DropsFromOtherProgramsArriveAsMimeData)
{
    // A file manager's drag: a URI list (with a file whose name needs
    // escaping) and the paths as text.
    const ui::test::TForeignData desktop{{"/home/anna/Bilder/Strand am Meer.jpg", "/home/anna/Bilder/düne.png"},
                                         "/home/anna/Bilder/Strand am Meer.jpg\n/home/anna/Bilder/düne.png"};

    struct Case {
        Kind target;
        bool accepted;
        std::string received;
    } cases[] = {
        {Files, true, "\"/home/anna/Bilder/Strand am Meer.jpg\",/home/anna/Bilder/düne.png"},
        {Pidls, true, "\"/home/anna/Bilder/Strand am Meer.jpg\",/home/anna/Bilder/düne.png"},
        {Picture, false, ""},
    };
    for (const Case& c : cases) {
        received_.clear();
        ui::test::TForeignDrag drag(panels_[c.target], desktop);
        const TPoint at{30, 40};
        const DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        drag.Enter(at, offered);
        ui::test::TDropAnswer move = drag.Move(at, offered, {ssShift});
        EXPECT_EQ(move.Accepted, c.accepted) << KindNames[c.target];
        if (c.accepted) {
            EXPECT_EQ(move.Effect, DWORD{DROPEFFECT_MOVE});
        }
        ui::test::TDropAnswer drop = drag.Drop(at, offered);
        EXPECT_EQ(drop.Accepted, c.accepted) << KindNames[c.target];
        EXPECT_EQ(received_.count(c.target) ? received_[c.target] : "", c.received) << KindNames[c.target];
        if (c.accepted) {
            EXPECT_EQ(drop.Effect, DWORD{DROPEFFECT_COPY});
        }
        EXPECT_EQ(targets_[c.target]->DataObject(), nullptr);
    }

    // Text from another program reaches the text target.
    ui::test::TForeignDrag words(panels_[Text], {{}, "Gruß aus dem Urlaub"});
    words.Enter({5, 5}, DROPEFFECT_COPY);
    EXPECT_TRUE(words.Drop({5, 5}, DROPEFFECT_COPY).Accepted);
    EXPECT_EQ(received_[Text], "Gruß aus dem Urlaub");
}

TEST_F(DropTargetTest, EverySourceSurvivesTheWayThroughMimeData)
{
    struct Case {
        Kind source;
        Kind target;
        std::vector<const char*> types;
    } cases[] = {
        {Text, Text, {"text/plain"}},
        {Files, Files, {"text/uri-list"}},
        {Files, Pidls, {"text/uri-list"}},
        {Pidls, Pidls, {"text/uri-list", "application/x-vistelo-Shell IDList Array"}},
        {Pidls, Files, {"text/uri-list"}},
        {Picture, Picture, {"image/bmp", "image/png"}},
    };
    for (const Case& c : cases) {
        TDropSource* source = NewSource(c.source);
        received_.clear();
        ASSERT_EQ(DropOn(source, c.target), drDropCopy);
        const std::string direct = received_[c.target];

        ui::test::TCarriedData carried(source);
        for (const char* type : c.types)
            EXPECT_TRUE(carried.HasType(type)) << KindNames[c.source] << " " << type;
        IDataObject* foreign = carried.Object();
        received_.clear();
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        TPoint at = panels_[c.target]->ClientToScreen(TPoint(10, 10));
        targets_[c.target]->DragEnter(foreign, MK_LBUTTON, at, effect);
        EXPECT_EQ(effect, DROPEFFECT_COPY);
        targets_[c.target]->Drop(foreign, 0, at, effect);
        foreign->Release();
        EXPECT_EQ(received_[c.target], direct) << KindNames[c.source] << " on " << KindNames[c.target];
        delete source;
    }
}

TEST_F(DropTargetTest, DataReadOnEntryIsKeptForTheDrop)
{
    auto* target = static_cast<TDropFileTarget*>(targets_[Files]);
    target->GetDataOnEnter = true;
    int entered = 0;
    target->OnEnter = [&](TObject*, TShiftState, TPoint, DWORD&) {
        ++entered;
        EXPECT_EQ(target->Files().Count(), 2);
    };
    TDropSource* source = NewSource(Files);
    EXPECT_EQ(DropOn(source, Files), drDropCopy);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(received_[Files], "/home/anna/Bilder/strand.jpg,/home/anna/Bilder/düne.png");
}

TEST_F(DropTargetTest, MappedNamesOfAnotherCountArriveEmpty)
{
    struct Case {
        int names;
        int expected;
    } cases[] = {{2, 2}, {1, 0}, {0, 0}};
    for (const Case& c : cases) {
        auto* source = static_cast<TDropFileSource*>(NewSource(Files));
        for (int i = 0; i < c.names; ++i)
            source->MappedNames().Add("Kopie " + std::to_string(i) + ".jpg");
        int mapped = -1;
        targets_[Files]->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) {
            mapped = static_cast<TDropFileTarget*>(targets_[Files])->MappedNames().Count();
        };
        EXPECT_EQ(DropOn(source, Files), drDropCopy);
        EXPECT_EQ(mapped, c.expected) << c.names;
        delete source;
    }
}

TEST_F(DropTargetTest, ItemListTargetHandsOutCopiesAndPaths)
{
    auto* target = static_cast<TDropPIDLTarget*>(targets_[Pidls]);
    TDropSource* source = NewSource(Pidls);
    std::string absolute;
    int count = 0;
    target->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) {
        count = target->GetPidlCount();
        LPITEMIDLIST pidl = target->GetAbsoluteFilePidl(2);
        ui::SHGetPathFromIDList(pidl, absolute);
        ShellMalloc->Free(pidl);
        EXPECT_EQ(target->GetAbsoluteFilePidl(0), nullptr);
        EXPECT_EQ(target->GetRelativeFilePidl(3), nullptr);
        LPITEMIDLIST folder = target->GetFolderPidl();
        std::string folderPath;
        ui::SHGetPathFromIDList(folder, folderPath);
        EXPECT_EQ(folderPath, "/home/anna/Bilder");
        ShellMalloc->Free(folder);
        EXPECT_THROW(target->Filenames().Strings(2), Exception);
        EXPECT_THROW(target->Filenames().Strings(-1), Exception);
        target->Filenames().Clear(); // read only
        EXPECT_EQ(target->Filenames().Count(), 2);
    };
    EXPECT_EQ(DropOn(source, Pidls), drDropCopy);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(absolute, "/home/anna/Bilder/düne.png");
    EXPECT_EQ(target->Filenames().Count(), 0);
}

TEST_F(DropTargetTest, DibsLoadWithTheirRealColourTable)
{
    // An 8-bit DIB of 2x1 pixels whose colour table holds only two entries.
    auto dib = [](std::uint32_t used, int entries) {
        std::vector<std::uint8_t> b(40, 0);
        b[0] = 40;
        b[4] = 2;  // width
        b[8] = 1;  // height
        b[12] = 1; // planes
        b[14] = 8; // bits
        b[32] = static_cast<std::uint8_t>(used);
        b[33] = static_cast<std::uint8_t>(used >> 8);
        for (int i = 0; i < entries; ++i) {
            const std::uint8_t colour[4] = {static_cast<std::uint8_t>(i ? 0xFF : 0), 0,
                                            static_cast<std::uint8_t>(i ? 0 : 0xFF), 0};
            b.insert(b.end(), colour, colour + 4);
        }
        const std::uint8_t pixels[4] = {1, 0, 0, 0};
        b.insert(b.end(), pixels, pixels + 4);
        return b;
    };
    auto cut = [](std::vector<std::uint8_t> bytes, std::size_t size) {
        bytes.resize(size);
        return bytes;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::size_t offset;
        bool loads;
    } cases[] = {
        {"full table", dib(0, 256), 14 + 40 + 1024, true},
        {"two used", dib(2, 2), 14 + 40 + 8, true},
        {"table cut off", cut(dib(0, 256), 300), 0, false},
        {"no header", {40, 0, 0}, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::DibBitsOffset(c.bytes.data(), c.bytes.size()), c.offset) << c.name;
        TBitmap bitmap(7, 7);
        EXPECT_EQ(DropBMPTarget::CopyDIBToBitmap(bitmap, c.bytes.data(), c.bytes.size()), c.loads) << c.name;
        if (!c.loads) {
            EXPECT_EQ(bitmap.Width(), 7) << c.name;
            continue;
        }
        ASSERT_EQ(bitmap.Width(), 2) << c.name;
        bitmap.SetPixelFormat(pf24bit);
        EXPECT_EQ(bitmap.ScanLine(0)[0], 0xFF) << c.name; // colour 1: blue
        EXPECT_EQ(bitmap.ScanLine(0)[5], 0xFF) << c.name; // colour 0: red
    }
}

} // namespace
