#include "UiFixture.h"

#include <vector>

#include "platform/graphics/Icon.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Menus.h"
#include "platform/ui/TrayIcon.h"

namespace {

constexpr UINT TrayMessage = 0xB054;

// An 8 x 8 one-bit icon: left half background, right half green.
std::unique_ptr<TIcon> SmallIcon()
{
    const size_t image = 6 + 16;
    const size_t size = 40 + 8 + 8 * 4 + 8 * 4;
    std::vector<std::uint8_t> b(image + size, 0);
    auto put = [&b](size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(2, 1, 2);
    put(4, 1, 2);
    b[6] = b[7] = 8;
    put(6 + 4, 1, 2);
    put(6 + 6, 1, 2);
    put(6 + 8, static_cast<std::uint32_t>(size), 4);
    put(6 + 12, static_cast<std::uint32_t>(image), 4);
    put(image, 40, 4);
    put(image + 4, 8, 4);
    put(image + 8, 16, 4);
    put(image + 12, 1, 2);
    put(image + 14, 1, 2);
    put(image + 44, 0x0000FF00, 4);
    for (int row = 0; row < 8; ++row) {
        b[image + 48 + 4 * row] = 0x0F;
        b[image + 80 + 4 * row] = 0xF0;
    }
    TMemoryStream stream;
    stream.WriteBuffer(b.data(), static_cast<std::int64_t>(b.size()));
    stream.SetPosition(0);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(stream);
    return icon;
}

class TrayIconTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        window = ui::AllocateHWnd([this](TMessage& msg) {
            if (msg.Msg == TrayMessage)
                received.push_back({static_cast<UINT>(msg.WParam), static_cast<UINT>(msg.LParam)});
        });
    }
    void TearDown() override
    {
        ui::Shell_NotifyIcon(NIM_DELETE, Data(0));
        ui::Shell_NotifyIcon(NIM_DELETE, Data(1));
        ui::DeallocateHWnd(window);
        UiTest::TearDown();
    }

    NOTIFYICONDATA Data(UINT id, UINT flags = NIF_MESSAGE | NIF_ICON | NIF_TIP)
    {
        NOTIFYICONDATA data;
        data.hWnd = window;
        data.uID = id;
        data.uFlags = flags;
        data.uCallbackMessage = TrayMessage;
        data.hIcon = icon.get();
        data.szTip = "Ostrelind WallPaper-Vistelo";
        return data;
    }

    std::unique_ptr<TIcon> icon = SmallIcon();
    HWND window = nullptr;
    std::vector<std::pair<UINT, UINT>> received; // (id, mouse message)
};

TEST_F(TrayIconTest, HeadlessThereIsNoTrayButTheIconIsKeptForOne)
{
    EXPECT_FALSE(ui::TTrayIcon::Available());
    ui::TTrayIcon tray;
    EXPECT_FALSE(tray.Show()) << "no image, nothing to show";
    EXPECT_FALSE(tray.Visible());
    tray.SetIcon(icon.get());
    EXPECT_TRUE(tray.Show());
    EXPECT_TRUE(tray.Visible());
    TIcon empty;
    tray.SetIcon(&empty);
    EXPECT_FALSE(tray.HasIcon());
    EXPECT_FALSE(tray.Visible());
}

TEST_F(TrayIconTest, EachReportOfTheDesktopReachesItsEvent)
{
    ui::TTrayIcon tray;
    std::vector<std::string> fired;
    tray.OnClick = [&](TObject*) { fired.push_back("click"); };
    tray.OnDblClick = [&](TObject*) { fired.push_back("double"); };
    tray.OnMiddleClick = [&](TObject*) { fired.push_back("middle"); };
    tray.OnContextMenu = [&](TObject*) { fired.push_back("menu"); };
    tray.Activated(TTrayActivation::Click);
    tray.Activated(TTrayActivation::DoubleClick);
    tray.Activated(TTrayActivation::MiddleClick);
    tray.Activated(TTrayActivation::ContextMenu);
    EXPECT_EQ(fired, (std::vector<std::string>{"click", "double", "middle", "menu"}));
}

TEST_F(TrayIconTest, TheContextMenuRequestOpensThePopupMenuWithoutAHandler)
{
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(&menu);
    item->Caption = "&Beenden";
    menu.Items().Add(item);
    bool popped = false;
    menu.OnPopup = [&](TObject*) { popped = true; };
    ui::TTrayIcon tray;
    tray.PopupMenu = &menu;
    tray.Activated(TTrayActivation::ContextMenu);
    EXPECT_TRUE(popped);
}

TEST_F(TrayIconTest, ShellCallPostsTheMouseMessagesAProgramExpects)
{
    ASSERT_TRUE(ui::Shell_NotifyIcon(NIM_ADD, Data(1)));
    ui::TTrayIcon* tray = ui::NotifyIconOf(window, 1);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->Tip(), "Ostrelind WallPaper-Vistelo");
    EXPECT_TRUE(tray->Visible());
    const struct {
        TTrayActivation reason;
        std::vector<UINT> messages;
    } cases[] = {
        {TTrayActivation::Click, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {TTrayActivation::DoubleClick, {WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {TTrayActivation::MiddleClick, {WM_MBUTTONDOWN, WM_MBUTTONUP}},
        {TTrayActivation::ContextMenu, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
    };
    for (const auto& c : cases) {
        received.clear();
        tray->Activated(c.reason);
        Turn();
        ASSERT_EQ(received.size(), c.messages.size());
        for (size_t i = 0; i < received.size(); ++i) {
            EXPECT_EQ(received[i].first, 1u);
            EXPECT_EQ(received[i].second, c.messages[i]);
        }
    }
}

TEST_F(TrayIconTest, ShellCallKeepsOneIconPerWindowAndNumber)
{
    NOTIFYICONDATA noImage = Data(0);
    noImage.hIcon = nullptr;
    EXPECT_FALSE(ui::Shell_NotifyIcon(NIM_ADD, noImage));
    EXPECT_FALSE(ui::Shell_NotifyIcon(NIM_ADD, Data(0, NIF_MESSAGE | NIF_TIP))) << "an add without an image";
    EXPECT_FALSE(ui::Shell_NotifyIcon(NIM_MODIFY, Data(0)));
    EXPECT_FALSE(ui::Shell_NotifyIcon(NIM_DELETE, Data(0)));
    EXPECT_EQ(ui::NotifyIconOf(window, 0), nullptr);

    ASSERT_TRUE(ui::Shell_NotifyIcon(NIM_ADD, Data(0)));
    EXPECT_FALSE(ui::Shell_NotifyIcon(NIM_ADD, Data(0))) << "the icon exists";
    ASSERT_TRUE(ui::Shell_NotifyIcon(NIM_ADD, Data(1)));

    NOTIFYICONDATA tipOnly = Data(0, NIF_TIP);
    tipOnly.szTip = "neu";
    tipOnly.hIcon = nullptr;
    EXPECT_TRUE(ui::Shell_NotifyIcon(NIM_MODIFY, tipOnly));
    EXPECT_EQ(ui::NotifyIconOf(window, 0)->Tip(), "neu");
    EXPECT_TRUE(ui::NotifyIconOf(window, 0)->HasIcon()) << "members not named in the flags stay";
    EXPECT_EQ(ui::NotifyIconOf(window, 1)->Tip(), "Ostrelind WallPaper-Vistelo");

    EXPECT_TRUE(ui::Shell_NotifyIcon(NIM_DELETE, Data(0)));
    EXPECT_EQ(ui::NotifyIconOf(window, 0), nullptr);
    EXPECT_NE(ui::NotifyIconOf(window, 1), nullptr);
}

} // namespace
