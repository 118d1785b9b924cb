#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/CanvasText.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ShellApi.h"
#include "widgets/BorderLabel.h"
#include "widgets/ScrollLabel.h"
#include "widgets/URL.h"

namespace {

constexpr TColor Dark = clNavy;
constexpr TColor Outline = clWhite;
constexpr TColor Ink = clRed;

class LabelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(0, 0, 200, 100);
        form_->SetColor(Dark);
        form_->Font().SetName("Courier New");
        form_->Font().SetHeight(-12);
        form_->Font().SetColor(Ink);
    }
    void TearDown() override { ui::SetLauncherForTests(nullptr); }

    std::unique_ptr<TBitmap> PaintForm()
    {
        auto image = std::make_unique<TBitmap>(form_->ClientWidth(), form_->ClientHeight());
        form_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&image->Canvas()), 0);
        return image;
    }

    std::unique_ptr<TForm> form_;
};

// The glyph pixels of Text drawn at (X, Y) with the test font.
std::vector<std::vector<bool>> GlyphMask(const std::string& Text, int X, int Y, int Width, int Height)
{
    TBitmap image(Width, Height);
    TCanvas& c = image.Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(Rect(0, 0, Width, Height));
    c.Brush.Style = bsClear;
    c.Font.SetName("Courier New");
    c.Font.SetHeight(-12);
    c.Font.SetColor(clBlack);
    c.TextOut(X, Y, Text);
    std::vector<std::vector<bool>> mask(static_cast<std::size_t>(Height), std::vector<bool>(Width));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            mask[y][x] = c.Pixels(x, y) == clBlack;
    return mask;
}

TEST_F(LabelsTest, BorderLabelOutlinesItsTextAndLeavesTheRestTransparent)
{
    auto* label = new TBorderLabel(form_.get());
    label->SetParent(form_.get());
    label->SetAutoSize(false);
    label->SetTransparent(true);
    label->SetBounds(20, 20, 80, 30);
    label->SetCaption("Hx");
    label->SetBorderColor(Outline);
    auto image = PaintForm();
    const int w = form_->ClientWidth(), h = form_->ClientHeight();
    auto mask = GlyphMask("Hx", 20, 20, w, h);
    auto at = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask[y][x]; };
    int mismatches = 0, outlined = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool border = at(x - 1, y - 1) || at(x + 1, y - 1) || at(x - 1, y + 1) || at(x + 1, y + 1);
            const TColor expected = at(x, y) ? Ink : border ? Outline : Dark;
            outlined += expected == Outline;
            mismatches += image->Canvas().Pixels(x, y) != expected;
        }
    EXPECT_GT(outlined, 0);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(LabelsTest, DisabledBorderLabelIsDrawnInButtonColours)
{
    auto* label = new TBorderLabel(form_.get());
    label->SetParent(form_.get());
    label->SetAutoSize(false);
    label->SetTransparent(true);
    label->SetBounds(20, 20, 80, 30);
    label->SetCaption("Hx");
    label->SetEnabled(false);
    auto image = PaintForm();
    const int w = form_->ClientWidth(), h = form_->ClientHeight();
    auto mask = GlyphMask("Hx", 20, 20, w, h);
    auto at = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask[y][x]; };
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor expected = Dark;
            if (at(x, y))
                expected = ColorToRGB(clBtnFace);
            else if (at(x - 1, y - 1))
                expected = ColorToRGB(clBtnHighlight);
            else if (at(x - 1, y + 1) || at(x + 1, y + 1) || at(x + 1, y - 1))
                expected = ColorToRGB(clBtnShadow);
            mismatches += image->Canvas().Pixels(x, y) != expected;
        }
    EXPECT_EQ(mismatches, 0);
}

class TTickedScrollLabel : public TScrollLabel {
public:
    using TScrollLabel::TScrollLabel;
    void Tick() { Scroll(nullptr); }
};

TEST_F(LabelsTest, ScrollLabelDropsOneLeadingCharacterPerTick)
{
    struct Case {
        std::string caption;
        std::vector<std::string> shown;
    } cases[] = {
        {"abc", {"abc", "bc", "c", "abc", "bc"}},
        {"\xC3\xA4x", {"\xC3\xA4x", "x", "\xC3\xA4x"}}, // characters, not bytes
        {"", {"", ""}},
    };
    for (const Case& c : cases) {
        TTickedScrollLabel label(nullptr);
        label.SetCaption(c.caption);
        EXPECT_EQ(label.TControl::Caption(), c.caption); // whole at first
        for (const std::string& expected : c.shown) {
            label.Tick();
            EXPECT_EQ(label.TControl::Caption(), expected) << c.caption << " at " << label.ScrollPos();
        }
        EXPECT_EQ(label.Caption(), c.caption);
        label.SetCaption("neu");
        EXPECT_EQ(label.ScrollPos(), 0);
        EXPECT_EQ(label.TControl::Caption(), "neu");
    }
}

TEST_F(LabelsTest, ScrollLabelTimerFollowsActiveAndInterval)
{
    TScrollLabel label(nullptr);
    EXPECT_FALSE(label.Active());
    EXPECT_EQ(label.ScrollTimer().Interval(), 100u);
    label.SetInterval(250);
    label.SetActive(true);
    EXPECT_TRUE(label.ScrollTimer().Enabled());
    EXPECT_EQ(label.ScrollTimer().Interval(), 250u);
    label.SetActive(false);
    EXPECT_FALSE(label.Active());
}

TEST_F(LabelsTest, LinkLabelLooksLikeALinkAndOpensItsAddressOnClick)
{
    std::vector<ui::TLaunch> launches;
    ui::SetLauncherForTests([&](const ui::TLaunch& l) {
        launches.push_back(l);
        return true;
    });
    TURL link(nullptr);
    EXPECT_TRUE(link.Font().Style().Contains(fsUnderline));
    EXPECT_EQ(link.Font().Color(), static_cast<TColor>(0x000080));
    EXPECT_EQ(link.Cursor(), crHandPoint);
    link.URL = "https://example.org/a b";
    link.Click();
    ASSERT_EQ(launches.size(), 1u);
    bool found = false;
    for (const std::string& argument : launches[0].Arguments)
        found = found || argument == link.URL;
    EXPECT_TRUE(found);

    // Nothing to open: no start, no error.
    ui::SetLauncherForTests([](const ui::TLaunch&) { return false; });
    link.URL = "";
    EXPECT_NO_THROW(link.Click());
}

} // namespace
