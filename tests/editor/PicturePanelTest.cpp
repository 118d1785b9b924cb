// The picture panel's rules: the settings buttons' glyphs, the menu
// enabling, where a sort drag lands and the list's edge scrolling.

#include "editor/app/PicturePanel.h"

#include "core/VisteloNPics.h"
#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(PicturePanelTest, RedGlyphsForDefaultsGreenForOwnSettings)
{
    const TPicInfoObject fresh;
    const PicturePanel::TPanelGlyphs defaults = PicturePanel::PanelGlyphs(fresh);
    EXPECT_EQ(defaults.Sound, "SpeakerRed");
    EXPECT_EQ(defaults.Font, "ARed");
    EXPECT_EQ(defaults.Sleep, "SleepRed");
    EXPECT_EQ(defaults.SpecPlacement, "LandScapeRed");

    const struct {
        const char* what;
        std::function<void(TPicInfoObject&)> change;
        std::string PicturePanel::TPanelGlyphs::*button;
        const char* glyph;
    } table[] = {
        {"a sound",
         [](TPicInfoObject& p) {
             p.Sound = "a.wav";
             p.SynchronizeWithSound = ssNoSync;
         },
         &PicturePanel::TPanelGlyphs::Sound, "SpeakerGreen"},
        {"a waited-for sound",
         [](TPicInfoObject& p) {
             p.Sound = "a.wav";
             p.SynchronizeWithSound = ssSyncExact;
         },
         &PicturePanel::TPanelGlyphs::Sound, "SpeakerGreenS"},
        {"a synchronised sound by default", [](TPicInfoObject& p) { p.Sound = "a.wav"; },
         &PicturePanel::TPanelGlyphs::Sound, "SpeakerGreenS"},
        {"bold", [](TPicInfoObject& p) { p.CommentFont->SetStyle({fsBold}); }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"size 15", [](TPicInfoObject& p) { p.CommentFont->SetSize(15); }, &PicturePanel::TPanelGlyphs::Font, "AGreen"},
        {"another face", [](TPicInfoObject& p) { p.CommentFont->SetName("Courier"); },
         &PicturePanel::TPanelGlyphs::Font, "AGreen"},
        {"black text", [](TPicInfoObject& p) { p.CommentFont->SetColor(0); }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"own text size", [](TPicInfoObject& p) { p.CommentFontHeight = 20; }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"placed by hand", [](TPicInfoObject& p) { p.CommentPlacement = cpUser; }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"in the navigation bar", [](TPicInfoObject& p) { p.CommentPlacement = cpNavBar; },
         &PicturePanel::TPanelGlyphs::Font, "ARed"},
        {"a shadow", [](TPicInfoObject& p) { p.CommentEffects = ceShadow; }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"a red border", [](TPicInfoObject& p) { p.EffectColor1 = 0xFF; }, &PicturePanel::TPanelGlyphs::Font, "AGreen"},
        {"a second effect colour", [](TPicInfoObject& p) { p.EffectColor2 = 1; }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"no font at all", [](TPicInfoObject& p) { p.CommentFont.reset(); }, &PicturePanel::TPanelGlyphs::Font,
         "AGreen"},
        {"an own pause", [](TPicInfoObject& p) { p.Pause = 0; }, &PicturePanel::TPanelGlyphs::Sleep, "SleepGreen"},
        {"a placement", [](TPicInfoObject& p) { p.Placement = spTopLeft; }, &PicturePanel::TPanelGlyphs::SpecPlacement,
         "LandScapeGreen"},
        {"a size percentage", [](TPicInfoObject& p) { p.SizePercent = pWindow; },
         &PicturePanel::TPanelGlyphs::SpecPlacement, "LandScapeGreen"},
    };
    for (const auto& t : table) {
        TPicInfoObject picture;
        t.change(picture);
        EXPECT_EQ(PicturePanel::PanelGlyphs(picture).*t.button, t.glyph) << t.what;
    }
}

TEST(PicturePanelTest, StretchIsSwitchableOnlyForAShownPictureWithoutSizeRules)
{
    TPicInfoObject picture;
    picture.ShowImage = true;
    EXPECT_TRUE(PicturePanel::StretchSwitchable(picture));
    picture.Placement = static_cast<TSpecialPlacement>(8);
    EXPECT_TRUE(PicturePanel::StretchSwitchable(picture));
    picture.Placement = static_cast<TSpecialPlacement>(9);
    EXPECT_FALSE(PicturePanel::StretchSwitchable(picture));
    picture.Placement = spCenter;
    picture.SizePercent = pPicture;
    EXPECT_FALSE(PicturePanel::StretchSwitchable(picture));
    picture.SizePercent = pNone;
    picture.ShowImage = false;
    EXPECT_FALSE(PicturePanel::StretchSwitchable(picture));
}

TEST(PicturePanelTest, MenuEnabling)
{
    using PicturePanel::TListState;
    const struct {
        TListState state;
        bool picture, mark, list, popup, assistants, options;
    } table[] = {
        {{0, 0, false, false}, false, false, false, false, false, false},
        {{0, 3, false, false}, false, false, true, false, true, false},
        {{0, 3, true, true}, false, false, true, true, true, false}, // sort mode: a current item without selection
        {{1, 3, false, true}, true, true, true, true, true, true},
        {{1, 3, true, true}, true, false, true, true, true, true},
        {{2, 3, false, true}, true, true, true, true, true, true},
    };
    for (const auto& t : table) {
        const PicturePanel::TMenuEnabling e = PicturePanel::MenuEnabling(t.state);
        SCOPED_TRACE(testing::Message() << "selected " << t.state.Selected << ", count " << t.state.Count
                                        << ", sort mode " << t.state.SortMode);
        EXPECT_EQ(e.PictureCommands, t.picture);
        EXPECT_EQ(e.MarkCommands, t.mark);
        EXPECT_EQ(e.ListCommands, t.list);
        EXPECT_EQ(e.PopupCommands, t.popup);
        EXPECT_EQ(e.Assistants, t.assistants);
        EXPECT_EQ(e.PictureOptions, t.options);
    }
}

TEST(PicturePanelTest, ASortDragLandsDirectlyBelowTheMarkedItem)
{
    // Items as the list numbers them, from 1: the dragged item ends directly
    // below the item that carried the marker line, so never first.
    const struct {
        int dragged, onto, endsAsItem;
    } table[] = {
        {5, 2, 3}, {2, 5, 5}, {1, 2, 2}, {2, 1, 2}, {8, 1, 2}, {1, 8, 8},
    };
    for (const auto& t : table)
        EXPECT_EQ(PicturePanel::SortDropIndex(t.dragged - 1, t.onto - 1) + 1, t.endsAsItem)
            << "item " << t.dragged << " onto item " << t.onto;
}

TEST(PicturePanelTest, EdgeScrollingSpeedsUpByHalvingAndRestsElsewhere)
{
    constexpr int width = 200, height = 130, item = 13;
    // At the top edge the list scrolls up and each tick halves the interval
    // while it is above 50 ms.
    std::vector<unsigned> intervals;
    unsigned interval = PicturePanel::ScrollRestInterval;
    for (int i = 0; i < 7; ++i) {
        const PicturePanel::TScrollStep step = PicturePanel::ScrollTick(10, 5, width, height, item, interval);
        EXPECT_EQ(step.Scroll, -1);
        EXPECT_EQ(step.Tag, 1);
        intervals.push_back(interval = step.Interval);
    }
    EXPECT_EQ(intervals, (std::vector<unsigned>{500, 250, 125, 62, 31, 31, 31}));

    const struct {
        int x, y, scroll;
    } places[] = {
        {0, 0, -1},   {199, 13, -1}, {10, 14, 0}, {10, 116, 0}, {10, 117, 1},
        {10, 130, 1}, {10, 131, 0},  {200, 5, 0}, {-1, 5, 0},   {10, -1, 0},
    };
    for (const auto& p : places) {
        const PicturePanel::TScrollStep step = PicturePanel::ScrollTick(p.x, p.y, width, height, item, 125);
        EXPECT_EQ(step.Scroll, p.scroll) << p.x << ", " << p.y;
        EXPECT_EQ(step.Interval, p.scroll ? 62u : PicturePanel::ScrollRestInterval) << p.x << ", " << p.y;
        EXPECT_EQ(step.Tag, p.scroll ? 1 : 0);
    }
}

} // namespace
