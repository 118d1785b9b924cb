// The notification-area component: when its icon is shown, the tip, the
// animation on the main thread and what clicks do.

#include "wallpaper/KsTrayIcon.h"

#include <gtest/gtest.h>

#include "platform/graphics/Icon.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "tests/support/IconFiles.h"
#include "wallpaper/IconList.h"

namespace {

std::unique_ptr<TIcon> IconOfSide(int side)
{
    const std::vector<std::uint8_t> bytes = iconfiles::File({{side, 32, 0, 1, 2, 3}});
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(stream);
    icon->SetSize(side, side);
    return icon;
}

TEST(KsTrayIconTest, AnEmptyIconIsNeverShown)
{
    TKsTrayIcon tray(nullptr);
    EXPECT_FALSE(tray.Added());
    EXPECT_FALSE(tray.Tray().Visible());
    tray.SetIcon(IconOfSide(16).get());
    EXPECT_TRUE(tray.Added());
    EXPECT_TRUE(tray.Tray().Visible());
    tray.SetIcon(nullptr);
    EXPECT_FALSE(tray.Added());
    EXPECT_FALSE(tray.Tray().Visible());
    tray.SetActive(false);
    tray.SetIcon(IconOfSide(16).get());
    EXPECT_FALSE(tray.Added());
    tray.SetActive(true);
    EXPECT_TRUE(tray.Added());
}

TEST(KsTrayIconTest, TheTipIsTheHintBeforeTheBarCutTo63Characters)
{
    TKsTrayIcon tray(nullptr);
    tray.SetIcon(IconOfSide(16).get());
    tray.SetHint("Hintergrundbild|Wechselt das Bild");
    EXPECT_EQ(tray.Tray().Tip(), "Hintergrundbild");
    tray.SetHint(std::string(70, 'x') + "|long");
    EXPECT_EQ(tray.Tray().Tip(), std::string(63, 'x'));
}

TEST(KsTrayIconTest, TheAnimationStepsThroughTheListOnTheMainThread)
{
    TKsTrayIcon tray(nullptr);
    tray.SetIcon(IconOfSide(16).get());
    tray.SetAnimated(true);
    EXPECT_FALSE(tray.Animated()) << "no icons to animate";

    TIconList icons;
    icons.Add(IconOfSide(8).get());
    icons.Add(IconOfSide(24).get());
    tray.SetIcons(&icons);
    tray.SetInterval(10);
    tray.SetAnimated(true);
    ASSERT_TRUE(tray.Animated());
    EXPECT_EQ(tray.ActiveIcon()->Width(), 8);

    // The timer steps the picture while messages are processed.
    const TIcon* first = tray.ActiveIcon();
    for (int turn = 0; turn < 200 && tray.ActiveIcon() == first; ++turn) {
        Application->ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(tray.ActiveIcon()->Width(), 24);
    tray.AnimationStep();
    EXPECT_EQ(tray.ActiveIcon()->Width(), 8) << "wraps to the first";

    tray.Icons().Clear();
    EXPECT_FALSE(tray.Animated()) << "an emptied list ends the animation";
    EXPECT_EQ(tray.ActiveIcon()->Width(), 16);
}

TEST(KsTrayIconTest, ClicksOpenTheMenuOrFireTheEvents)
{
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(&menu);
    item->Caption = "Einstellungen";
    menu.Items().Add(item);
    int popups = 0, clicks = 0, doubles = 0, items = 0;
    menu.OnPopup = [&](TObject*) { ++popups; };
    item->OnClick = [&](TObject*) { ++items; };

    TKsTrayIcon tray(nullptr);
    tray.SetIcon(IconOfSide(16).get());
    tray.PopupMenu = &menu;
    tray.OnClick = [&](TObject*) { ++clicks; };
    tray.OnDblClick = [&](TObject*) { ++doubles; };

    tray.Tray().Activated(TTrayActivation::ContextMenu);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(menu.PopupComponent, &tray);
    menu.AutoPopup = false;
    tray.Tray().Activated(TTrayActivation::ContextMenu);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 1) << "without the menu the request is a click";

    tray.Tray().Activated(TTrayActivation::DoubleClick);
    EXPECT_EQ(doubles, 1);
    item->Default = true;
    tray.Tray().Activated(TTrayActivation::DoubleClick);
    EXPECT_EQ(items, 1);
    EXPECT_EQ(doubles, 1) << "the default item takes the double click";

    tray.Enabled = false;
    tray.Tray().Activated(TTrayActivation::Click);
    EXPECT_EQ(clicks, 1);
}

} // namespace
