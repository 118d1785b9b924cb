#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "widgets/KSSplit.h"
#include "widgets/KSSwitch.h"

namespace {

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 300, 200);
        form_->SetClientWidth(300);
        form_->SetClientHeight(200);
    }

    // A panel of 50 pixels on the side Align, a splitter beside it and a
    // client panel filling the rest.
    void Build(TAlign Align)
    {
        vertical_ = Align == alLeft || Align == alRight;
        side_ = new TPanel(form_.get());
        side_->SetParent(form_.get());
        side_->SetBounds(0, 0, 50, 50);
        side_->SetAlign(Align);
        splitter_ = new TKsSplitter(form_.get());
        splitter_->SetParent(form_.get());
        // Placed just inside the panel's edge, so the alignment pass puts it
        // beside the panel.
        const TRect s = side_->BoundsRect();
        switch (Align) {
        case alTop: splitter_->SetBounds(0, s.Bottom, 300, 10); break;
        case alBottom: splitter_->SetBounds(0, s.Top - 10, 300, 10); break;
        case alLeft: splitter_->SetBounds(s.Right, 0, 10, 200); break;
        default: splitter_->SetBounds(s.Left - 10, 0, 10, 200); break;
        }
        splitter_->SetAlign(Align);
        client_ = new TPanel(form_.get());
        client_->SetParent(form_.get());
        client_->SetAlign(alClient);
        form_->Show();
        Application->ProcessMessages();
    }

    bool Vertical() const { return vertical_; }
    int SideSize() const { return Vertical() ? side_->Width() : side_->Height(); }

    // Mouse at a distance along the moving axis from the press point.
    void Mouse(UINT Msg, WPARAM Keys, int Along)
    {
        const int x = Vertical() ? 1 + Along : 5;
        const int y = Vertical() ? 5 : 1 + Along;
        splitter_->Perform(Msg, Keys, MAKELPARAM(x, y));
    }
    void Press() { Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 0); }
    void Move(int Along) { Mouse(WM_MOUSEMOVE, MK_LBUTTON, Along); }
    void Release(int Along) { Mouse(WM_LBUTTONUP, 0, Along); }

    std::unique_ptr<TForm> form_;
    TPanel* side_ = nullptr;
    TKsSplitter* splitter_ = nullptr;
    TPanel* client_ = nullptr;
    bool vertical_ = false;
};

TEST_F(SplitterTest, DroppedSplitterPicksItsNeighbourAndTakesItsStyle)
{
    struct Case {
        TAlign align;
        TSplitterStyle style;
        TCursor cursor;
        int thickness;
    } cases[] = {
        {alTop, spHorizontalFirst, crVSplit, 3},
        {alBottom, spHorizontalFirst, crVSplit, 3},
        {alLeft, spVerticalFirst, crHSplit, 3},
        {alRight, spVerticalFirst, crHSplit, 3},
    };
    for (const Case& c : cases) {
        SetUp();
        Build(c.align);
        EXPECT_EQ(splitter_->ControlFirst(), side_) << int(c.align);
        EXPECT_EQ(splitter_->GetStyle(), c.style) << int(c.align);
        EXPECT_EQ(splitter_->Cursor(), c.cursor) << int(c.align);
        EXPECT_EQ(Vertical() ? splitter_->Width() : splitter_->Height(), c.thickness) << int(c.align);
    }
    // Client-aligned first control with a second one on the splitter's side.
    splitter_->SetControlFirst(client_);
    splitter_->SetControlSecond(side_);
    EXPECT_EQ(splitter_->GetStyle(), spVerticalSecond);
    splitter_->SetControlSecond(nullptr);
    EXPECT_EQ(splitter_->GetStyle(), spUnknown);
    EXPECT_EQ(splitter_->Cursor(), crDefault);
    splitter_->SetControlFirst(form_.get()); // a form is never a neighbour
    EXPECT_EQ(splitter_->ControlFirst(), nullptr);
}

TEST_F(SplitterTest, DragResizesTheNeighbourWithinTheLimits)
{
    struct Case {
        TAlign align;
        int drag;
        int size;
    } cases[] = {
        {alTop, 30, 80},     {alTop, -100, 20}, // clamped at the parent's top + 20
        {alBottom, -30, 80}, {alBottom, 30, 20}, {alLeft, 40, 90},
        {alRight, -40, 90},  {alRight, 200, 20}, {alTop, 500, 200 - 20 - 3}, // the bar stops 20 pixels above the bottom
    };
    for (const Case& c : cases) {
        SetUp();
        Build(c.align);
        int changed = 0;
        splitter_->OnPosChanged = [&](TObject*) { ++changed; };
        Press();
        EXPECT_TRUE(splitter_->Sizing());
        Move(c.drag);
        EXPECT_FALSE(splitter_->SizingLine().IsEmpty());
        Release(c.drag);
        EXPECT_FALSE(splitter_->Sizing());
        EXPECT_TRUE(splitter_->SizingLine().IsEmpty());
        EXPECT_EQ(SideSize(), c.size) << int(c.align) << " " << c.drag;
        EXPECT_EQ(changed, 1);
    }
}

TEST_F(SplitterTest, SizingLineFollowsTheMouseOverTheParent)
{
    Build(alTop);
    Press();
    // A 3-pixel bar draws a line of at least 2 pixels across its length,
    // centred where the bar's middle would be.
    const int middle = splitter_->Top() + 1;
    EXPECT_EQ(splitter_->SizingLine(), Rect(0, middle - 1, 300, middle + 1));
    Move(25);
    EXPECT_EQ(splitter_->SizingLine(), Rect(0, middle + 25 - 1, 300, middle + 25 + 1));
    Release(25);
}

TEST_F(SplitterTest, EscapeCancelsAndGivesTheKeysBack)
{
    Build(alTop);
    std::vector<WORD> formKeys;
    form_->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { formKeys.push_back(Key); };
    Press();
    Move(40);
    WORD other = 'A';
    form_->OnKeyDown(form_.get(), other, {}); // passed on to the form's own handler
    WORD escape = VK_ESCAPE;
    form_->OnKeyDown(form_.get(), escape, {});
    EXPECT_FALSE(splitter_->Sizing());
    EXPECT_TRUE(splitter_->SizingLine().IsEmpty());
    Release(40);
    EXPECT_EQ(side_->Height(), 50);
    WORD after = 'B';
    form_->OnKeyDown(form_.get(), after, {});
    EXPECT_EQ(formKeys, (std::vector<WORD>{'A', 'B'}));
}

TEST_F(SplitterTest, RefusedPositionsKeepTheLastAcceptedLine)
{
    Build(alTop);
    std::vector<int> asked;
    splitter_->OnPosChanging = [&](TObject*, int, int Y, bool& Allow) {
        asked.push_back(Y);
        Allow = Y <= 21;
    };
    Press();
    Move(20);
    const TRect accepted = splitter_->SizingLine();
    Move(60);
    EXPECT_EQ(splitter_->Cursor(), crNoDrop);
    EXPECT_EQ(splitter_->SizingLine(), accepted);
    Release(60);
    EXPECT_EQ(side_->Height(), 70);
    EXPECT_EQ(asked, (std::vector<int>{21, 61, 61}));
}

TEST_F(SplitterTest, NeighbourRemovedDuringTheDragIsLeftAlone)
{
    Build(alTop);
    Press();
    Move(20);
    delete side_;
    EXPECT_EQ(splitter_->ControlFirst(), nullptr);
    Release(20);
    EXPECT_FALSE(splitter_->Sizing());

    // The whole form goes while a line is shown: line and splitter go with it.
    splitter_->SetControlFirst(client_);
    splitter_->SetControlSecond(nullptr);
    TPanel* top = new TPanel(form_.get());
    top->SetParent(form_.get());
    top->SetAlign(alTop);
    splitter_->SetControlFirst(top);
    ASSERT_EQ(splitter_->GetStyle(), spHorizontalFirst);
    Press();
    Move(10);
    EXPECT_FALSE(splitter_->SizingLine().IsEmpty());
    form_.reset();
}

class SwitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 200, 200);
        switch_ = new TKsSwitch(form_.get());
        switch_->SetParent(form_.get());
        switch_->OnOn = [this](TObject*) { events_.push_back("on"); };
        switch_->OnOff = [this](TObject*) { events_.push_back("off"); };
        form_->Show();
        Application->ProcessMessages();
    }

    static bool SamePixels(TBitmap& A, TBitmap& B)
    {
        if (A.Width() != B.Width() || A.Height() != B.Height())
            return false;
        for (int y = 0; y < A.Height(); ++y)
            for (int x = 0; x < A.Width(); ++x)
                if (A.Canvas().Pixels(x, y) != B.Canvas().Pixels(x, y))
                    return false;
        return true;
    }

    std::unique_ptr<TBitmap> Paint()
    {
        auto image = std::make_unique<TBitmap>(switch_->Width(), switch_->Height());
        switch_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&image->Canvas()), 0);
        return image;
    }

    std::unique_ptr<TForm> form_;
    TKsSwitch* switch_ = nullptr;
    std::vector<std::string> events_;
};

TEST_F(SwitchTest, DefaultPicturesComeBackWhenACustomOneIsCleared)
{
    EXPECT_TRUE(SamePixels(switch_->GlyphOff(), *KSSwitch::DefaultGlyph(0)));
    EXPECT_TRUE(SamePixels(switch_->GlyphOn(), *KSSwitch::DefaultGlyph(1)));
    EXPECT_FALSE(SamePixels(switch_->GlyphOn(), switch_->GlyphOff()));
    EXPECT_EQ(switch_->CustomGlyphs(), 0);

    TBitmap own(20, 20);
    switch_->SetGlyphOn(&own);
    EXPECT_EQ(switch_->CustomGlyphs(), 2);
    EXPECT_TRUE(switch_->GlyphStored(1));
    EXPECT_EQ(switch_->GlyphOn().Width(), 20);
    switch_->SetGlyphOn(nullptr);
    EXPECT_EQ(switch_->CustomGlyphs(), 0);
    EXPECT_TRUE(SamePixels(switch_->GlyphOn(), *KSSwitch::DefaultGlyph(1)));

    // A form being read fills the picture: it counts as the user's.
    switch_->BeginLoading();
    switch_->GlyphForReading(0);
    switch_->EndLoading();
    EXPECT_EQ(switch_->CustomGlyphs(), 1);
}

TEST_F(SwitchTest, CustomPictureFlagsTravelAsFormData)
{
    TBitmap own(20, 20);
    switch_->SetGlyphOn(&own);
    EXPECT_TRUE(switch_->DataStored(nullptr));
    TStringStream written;
    switch_->WriteData(written);
    EXPECT_EQ(written.DataString(), std::string(1, '\x02'));

    TKsSwitch ancestor(nullptr);
    EXPECT_TRUE(switch_->DataStored(&ancestor)); // the ancestor has default pictures
    TStringStream copy(written.DataString());
    ancestor.ReadData(copy);
    EXPECT_FALSE(switch_->DataStored(&ancestor));
    switch_->SetGlyphOn(nullptr);
    EXPECT_FALSE(switch_->DataStored(nullptr));

    TStringStream foreign(std::string(1, '\xFF'));
    ancestor.ReadData(foreign);
    EXPECT_EQ(ancestor.CustomGlyphs(), 3); // only the two pictures' bits
    TStringStream empty;
    EXPECT_THROW(ancestor.ReadData(empty), EReadError);
    EXPECT_EQ(ancestor.CustomGlyphs(), 3);
}

TEST_F(SwitchTest, ToggleKeyAndClicksSwitchOnceEach)
{
    switch_->SetFocus();
    switch_->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(switch_->StateOn());
    switch_->Perform(WM_KEYDOWN, VK_RETURN, 0); // not the toggle key
    switch_->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(switch_->StateOn());
    EXPECT_EQ(events_, (std::vector<std::string>{"on", "off"}));

    switch_->ToggleKey = ShortCut('T', TShiftState{ssCtrl});
    switch_->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(switch_->StateOn());

    switch_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    switch_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(switch_->StateOn());
    switch_->SetStateOn(true); // no change, no event
    EXPECT_EQ(events_, (std::vector<std::string>{"on", "off", "on"}));
}

TEST_F(SwitchTest, PicturePlacementFollowsTheTextPosition)
{
    struct Case {
        TTextPos position;
        TRect glyph;
    } cases[] = {
        {tpNone, Bounds(9, 6, 32, 48)},   {tpLeft, Bounds(18, 6, 32, 48)}, {tpRight, Bounds(0, 6, 32, 48)},
        {tpAbove, Bounds(9, 12, 32, 48)}, {tpBelow, Bounds(9, 0, 32, 48)},
    };
    for (const Case& c : cases) {
        switch_->SetTextPosition(c.position);
        EXPECT_EQ(switch_->GlyphRect(), c.glyph) << int(c.position);
    }
}

TEST_F(SwitchTest, PictureIsDrawnOnTheSwitchColourAndGreyedWhenDisabled)
{
    switch_->SetColor(clYellow);
    auto image = Paint();
    const TRect place = switch_->GlyphRect();
    EXPECT_EQ(image->Canvas().Pixels(place.Left, place.Top), clYellow);          // the key colour is see-through
    EXPECT_EQ(image->Canvas().Pixels(place.Left + 16, place.Top + 2), clGray);   // the slot's frame
    EXPECT_EQ(image->Canvas().Pixels(place.Left + 10, place.Top + 25), clBlack); // the lever's outline
    // Disabled: the black outline turns to shadow, the rest to the
    // background of the greyed picture, which is see-through as well.
    switch_->SetEnabled(false);
    auto disabled = Paint();
    EXPECT_EQ(disabled->Canvas().Pixels(place.Left + 10, place.Top + 25), ColorToRGB(clBtnShadow));
    EXPECT_EQ(disabled->Canvas().Pixels(place.Left + 16, place.Top + 2), clYellow);
}

} // namespace
