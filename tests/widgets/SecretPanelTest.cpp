#include "widgets/SecretPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/rtl/Threads.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

namespace {

// Ticks by hand on the test's thread and shows the layout.
class TTestPanel : public TSecretPanel {
public:
    using TSecretPanel::FirstLine;
    using TSecretPanel::GlyphOrigin;
    using TSecretPanel::LineHeight;
    using TSecretPanel::MaxScroll;
    using TSecretPanel::ScrollCount;
    using TSecretPanel::TextRect;
    using TSecretPanel::TSecretPanel;
    void Tick() { TimerExpired(nullptr); }
};

constexpr TColor Background = clGreen;
constexpr TColor Ink = clBlack;

class SecretPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 300, 200);
        panel_ = new TTestPanel(form_.get());
        panel_->SetParent(form_.get());
        panel_->SetBounds(0, 0, 200, 100);
        panel_->SetColor(Background);
        panel_->Font().SetName("Courier New");
        panel_->Font().SetHeight(-12);
        panel_->Font().SetColor(Ink);
        panel_->SetAsyncDrawing(false);
        panel_->SetInterval(60000); // ticks come from the test
        form_->Show();
        Turn();
    }

    void TearDown() override { form_.reset(); }

    static void Turn() { Application->ProcessMessages(); }

    void Ticks(int Count)
    {
        for (int i = 0; i < Count; ++i)
            panel_->Tick();
        Turn();
    }

    // The panel painted into a bitmap of its size.
    std::unique_ptr<TBitmap> Snapshot()
    {
        auto image = std::make_unique<TBitmap>(panel_->Width(), panel_->Height());
        panel_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&image->Canvas()), 0);
        return image;
    }

    static int InkPixels(TBitmap& Image, const TRect& Area)
    {
        int count = 0;
        for (int y = Area.Top; y < Area.Bottom; ++y)
            for (int x = Area.Left; x < Area.Right; ++x)
                count += Image.Canvas().Pixels(x, y) == Ink;
        return count;
    }

    std::unique_ptr<TForm> form_;
    TTestPanel* panel_ = nullptr;
};

TEST_F(SecretPanelTest, GlyphLayoutPlacesGlyphAndShrinksTheTextRectangle)
{
    // 200x100, lowered outer bevel of 1: paint area inset 1, text area 4.
    struct Case {
        TGlyphLayout layout;
        int glyphSize;
        TPoint origin;
        TRect text;
    } cases[] = {
        {glGlyphLeft, 16, {7, 42}, {27, 4, 196, 96}}, {glGlyphRight, 16, {177, 42}, {4, 4, 173, 96}},
        {glGlyphTop, 16, {92, 7}, {4, 30, 196, 96}},  {glGlyphBottom, 16, {92, 77}, {4, 4, 196, 70}},
        {glGlyphLeft, 0, {7, 50}, {4, 4, 196, 96}}, // no glyph: the text keeps its room
    };
    panel_->Lines().Add("x");
    for (const Case& c : cases) {
        panel_->SetGlyph(TBitmap(c.glyphSize, c.glyphSize));
        panel_->SetGlyphLayout(c.layout);
        panel_->Play();
        EXPECT_EQ(panel_->GlyphOrigin(), c.origin) << int(c.layout) << " " << c.glyphSize;
        EXPECT_EQ(panel_->TextRect(), c.text) << int(c.layout) << " " << c.glyphSize;
        panel_->Stop();
    }
    // A glyph wider than the room: the text rectangle is empty, not inverted.
    panel_->SetGlyph(TBitmap(250, 16));
    panel_->Play();
    EXPECT_EQ(panel_->TextRect(), TRect{});
}

TEST_F(SecretPanelTest, BlankLinesAtTheStartAreSkippedAndAtTheEndNotCentred)
{
    for (const char* line : {"", "   ", "Alpha", "Beta", "", " "})
        panel_->Lines().Add(line);
    panel_->Play();
    const int lh = panel_->LineHeight();
    ASSERT_GT(lh, 0);
    EXPECT_EQ(panel_->FirstLine(), 2);
    EXPECT_EQ(panel_->MaxScroll(), 92 + (6 - 2) * lh);
    panel_->Stop();

    panel_->SetScrollDirection(KSCtrls::sdHorizontal);
    panel_->Play();
    // Two lines (Alpha, Beta) sit in the middle of the 92 pixels.
    const int spare = 92 - 2 * lh;
    EXPECT_EQ(panel_->TextRect(), Rect(4, 4 + spare / 2, 196, 96 - spare / 2));
    TBitmap measure(1, 1);
    measure.Canvas().Font.Assign(panel_->Font());
    const int widest = std::max(measure.Canvas().TextWidth("Alpha"), measure.Canvas().TextWidth("Beta"));
    EXPECT_EQ(panel_->MaxScroll(), 192 + widest);
}

TEST_F(SecretPanelTest, HorizontalRunLastsTheWidthPlusTheWidestLine)
{
    TBitmap measure(1, 1);
    measure.Canvas().Font.Assign(panel_->Font());
    struct Case {
        std::string widest;
        std::string other;
        int width;
    } cases[] = {
        {"Credits", "Go", measure.Canvas().TextWidth("Credits")},
        {std::string(300, 'W'), "W", measure.Canvas().TextWidth(std::string(255, 'W'))}, // cut to 255
    };
    panel_->SetScrollDirection(KSCtrls::sdHorizontal);
    for (const Case& c : cases) {
        panel_->Lines().Clear();
        panel_->Lines().Add(c.other);
        panel_->Lines().Add(c.widest);
        panel_->Play();
        EXPECT_EQ(panel_->MaxScroll(), panel_->TextRect().Width() + c.width) << c.widest.size();
        panel_->Stop();
    }
}

TEST_F(SecretPanelTest, TextRisesFromTheBottomOnePixelPerTick)
{
    panel_->Lines().Add("HHHH");
    panel_->Play();
    const TRect text = panel_->TextRect();
    const int lh = panel_->LineHeight();
    auto before = Snapshot();
    EXPECT_EQ(InkPixels(*before, text), 0);

    Ticks(lh);
    EXPECT_EQ(panel_->ScrollCount(), lh);
    auto risen = Snapshot();
    // The line is fully in, in the lowest line height of the text area.
    EXPECT_GT(InkPixels(*risen, Rect(text.Left, text.Bottom - lh, text.Right, text.Bottom)), 0);
    EXPECT_EQ(InkPixels(*risen, Rect(text.Left, text.Top, text.Right, text.Bottom - lh)), 0);
    // The frame also reached the window without a paint.
    TCanvas& window = *panel_->Canvas();
    int onScreen = 0;
    for (int y = text.Bottom - lh; y < text.Bottom; ++y)
        for (int x = text.Left; x < text.Right; ++x)
            onScreen += window.Pixels(x, y) == Ink;
    EXPECT_EQ(onScreen, InkPixels(*risen, text));

    Ticks(10);
    auto higher = Snapshot();
    EXPECT_EQ(InkPixels(*higher, Rect(text.Left, text.Bottom - 10, text.Right, text.Bottom)), 0);
    EXPECT_EQ(InkPixels(*higher, text), InkPixels(*risen, text));
}

TEST_F(SecretPanelTest, HorizontalTextEntersFromTheSideTheReadingStartsAt)
{
    struct Case {
        TBiDiMode mode;
        bool fromLeft;
    } cases[] = {{bdLeftToRight, false}, {bdRightToLeft, true}, {bdRightToLeftReadingOnly, true}};
    panel_->Lines().Add("HHHH");
    panel_->SetScrollDirection(KSCtrls::sdHorizontal);
    for (const Case& c : cases) {
        panel_->BiDiMode = c.mode;
        panel_->Play();
        const TRect text = panel_->TextRect();
        Ticks(6);
        auto image = Snapshot();
        const int left = InkPixels(*image, Rect(text.Left, text.Top, text.Left + 10, text.Bottom));
        const int right = InkPixels(*image, Rect(text.Right - 10, text.Top, text.Right, text.Bottom));
        EXPECT_EQ(left > 0, c.fromLeft) << int(c.mode);
        EXPECT_EQ(right > 0, !c.fromLeft) << int(c.mode);
        EXPECT_EQ(InkPixels(*image, text), left + right) << int(c.mode); // nothing further in yet
        panel_->Stop();
    }
}

TEST_F(SecretPanelTest, EmbossedTextDrawsTheHighlightBesideTheInk)
{
    panel_->Lines().Add("HHHH");
    struct Case {
        TPanelBevel style;
        int shift;
    } cases[] = {{bvLowered, 1}, {bvRaised, -1}};
    for (const Case& c : cases) {
        panel_->SetTextStyle(c.style);
        panel_->Play();
        Ticks(panel_->LineHeight() + 4);
        auto image = Snapshot();
        const TRect text = panel_->TextRect();
        int highlights = 0, matched = 0;
        for (int y = text.Top + 1; y < text.Bottom - 1; ++y)
            for (int x = text.Left + 1; x < text.Right - 1; ++x) {
                if (image->Canvas().Pixels(x, y) != ColorToRGB(clBtnHighlight))
                    continue;
                ++highlights;
                // The ink glyph lies one pixel the other way of a highlight edge.
                TColor towardsInk = image->Canvas().Pixels(x - c.shift, y - c.shift);
                matched += towardsInk == Ink;
            }
        EXPECT_GT(highlights, 0) << int(c.style);
        EXPECT_EQ(matched, highlights) << int(c.style);
        panel_->Stop();
    }
}

TEST_F(SecretPanelTest, RunEndsByItselfOrStartsAgainWhenCycled)
{
    auto* child = new TButton(form_.get());
    child->SetParent(panel_);
    auto* hiddenBefore = new TButton(form_.get());
    hiddenBefore->SetParent(panel_);
    hiddenBefore->Hide();
    int starts = 0, stops = 0;
    panel_->OnStartPlay = [&](TObject*) { ++starts; };
    panel_->OnStopPlay = [&](TObject*) { ++stops; };
    panel_->Lines().Add("Ende");

    panel_->Play();
    EXPECT_FALSE(child->Visible());
    const int last = panel_->MaxScroll();
    Ticks(last);
    EXPECT_TRUE(panel_->Active());
    Ticks(1);
    EXPECT_FALSE(panel_->Active());
    EXPECT_TRUE(child->Visible());
    EXPECT_FALSE(hiddenBefore->Visible());
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
    panel_->Tick(); // a late tick after the stop draws and stops nothing
    EXPECT_EQ(stops, 1);

    panel_->Cycled = true;
    panel_->Play();
    Ticks(last + 1);
    EXPECT_TRUE(panel_->Active());
    EXPECT_EQ(panel_->ScrollCount(), 0);
    Ticks(1);
    auto image = Snapshot();
    EXPECT_EQ(InkPixels(*image, panel_->TextRect()), 0); // starts again from an empty area
    // The run still goes on when the form frees the panel, which then stops
    // it: the handlers must not reach this test's counters any more.
    panel_->OnStartPlay = nullptr;
    panel_->OnStopPlay = nullptr;
}

TEST_F(SecretPanelTest, EmptyLinesDrawNothing)
{
    panel_->Play();
    Ticks(30);
    auto image = Snapshot();
    EXPECT_EQ(InkPixels(*image, panel_->ClientRect()), 0);
    EXPECT_EQ(image->Canvas().Pixels(50, 50), Background);
}

TEST_F(SecretPanelTest, CustomBackgroundLinesUpWithThePanel)
{
    // A background that depends on the panel position: the frame must show
    // the same colour at the same panel point as the panel outside it.
    panel_->OnPaintClient = [](TObject*, TCanvas& Canvas, const TRect& Rect) {
        Canvas.Brush.Color = clBlue;
        Canvas.FillRect(Rect);
        Canvas.Brush.Color = clYellow;
        Canvas.FillRect(::Rect(Rect.Left, Rect.Top, Rect.Right, 50));
    };
    panel_->Lines().Add(" ");
    panel_->Play();
    Ticks(5);
    auto image = Snapshot();
    EXPECT_EQ(image->Canvas().Pixels(100, 49), clYellow);
    EXPECT_EQ(image->Canvas().Pixels(100, 50), clBlue);
    EXPECT_EQ(image->Canvas().Pixels(2, 49), clYellow);
}

// The frames come from the timer's worker while the test starts, stops and
// frees panels: no frame may touch a released image (the sanitizers watch).
TEST(SecretPanelThreadsTest, StartStopAndFreeWhileTheWorkerDraws)
{
    ui::EnsurePlatform();
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    form.Show();
    for (int round = 0; round < 40; ++round) {
        auto* panel = new TSecretPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(0, 0, 120, 40);
        panel->SetInterval(1);
        for (int i = 0; i < 5; ++i)
            panel->Lines().Add("Zeile " + std::to_string(i));
        panel->Cycled = round % 2 == 0;
        for (int cycle = 0; cycle < 5; ++cycle) {
            panel->Play();
            std::this_thread::sleep_for(std::chrono::microseconds(300 * (round % 4)));
            Application->ProcessMessages();
            panel->Lines().Add("mehr");
            panel->Stop();
        }
        panel->Play();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delete panel; // while running
    }
}

TEST(SecretPanelThreadsTest, UncycledRunStopsOnTheUserInterfaceThread)
{
    ui::EnsurePlatform();
    TForm form(nullptr);
    form.Show();
    TSecretPanel panel(nullptr);
    panel.SetParent(&form);
    panel.SetBounds(0, 0, 60, 14);
    panel.SetInterval(1);
    panel.Lines().Add("x");
    std::thread::id stoppedOn;
    panel.OnStopPlay = [&](TObject*) { stoppedOn = std::this_thread::get_id(); };
    panel.Play();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (panel.Active() && std::chrono::steady_clock::now() < deadline) {
        rtl::CheckSynchronize(10);
        Application->ProcessMessages();
    }
    EXPECT_FALSE(panel.Active());
    EXPECT_EQ(stoppedOn, std::this_thread::get_id());
    panel.SetParent(nullptr);
}

} // namespace
