// The playback window's own jobs beside its units: it keeps the screen awake
// from its creation until it closes, and a comments box the viewer switched
// with K stays as the viewer left it when the next show comes on.

#include "ShowFixture.h"

#include "editor/app/PicInfoUnit.h"
#include "platform/ui/StdCtrls.h"
#include "player/CommentsBox.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/PrivateSessionBus.h"
#include "tests/support/ScopedEnvironment.h"

using namespace showtest;

namespace {

class ShowWindow : public ShowFixture {
protected:
    // A show file of one picture whose comment is its name.
    std::string ShowFile(const std::string& name, bool commentsBox)
    {
        TConfigVistelo show;
        show.Pause = 1000;
        show.Logo = lNoLogo;
        show.UseBlendings = false;
        show.ShowCommentsBox = commentsBox;
        auto entry = Entry(Picture(name + ".bmp", clGreen));
        entry->Comments = name;
        show.AddDia(*entry);
        const std::string path = (folder_ / (name + ".vsf")).string();
        EXPECT_TRUE(show.SaveToFile(path));
        return path;
    }
};

TEST_F(ShowWindow, InhibitsTheScreenSaverWhileItExistsAndReleasesItOnClosing)
{
    if (!sessionbus::DaemonInstalled())
        GTEST_SKIP() << "dbus-daemon is not installed";
    sessionbus::TPrivateSessionBus bus(folder_ / "bus", SCREENSAVER_SERVICE_PROGRAM);
    ASSERT_TRUE(bus.Ready()) << "the private bus or its screen-saver service did not start";
    testenv::TScopedVariable address("DBUS_SESSION_BUS_ADDRESS", bus.Address());
    const std::string inhibit = "Inhibit\tVistelo-Player\tVistelo wird abgespielt\t41";

    NewShow(2, 1000);
    TShowForm& form = Start();
    std::vector<std::string> whilePlaying;
    Run([&] { return Positions().size() >= 2; }, 10000, [&] { whilePlaying = bus.Calls(); });
    EXPECT_EQ(whilePlaying, std::vector<std::string>{inhibit});
    EXPECT_FALSE(form.Modal());
    EXPECT_EQ(bus.Calls(), (std::vector<std::string>{inhibit, "UnInhibit\t41"})) << "released when the window closed";
    delete ShowForm;
    ShowForm = nullptr;
    EXPECT_EQ(bus.Calls().size(), 2u) << "released once";
}

TEST_F(ShowWindow, ACommentsBoxSwitchedWithKStaysAsTheViewerLeftItAcrossAShowChange)
{
    struct Case {
        const char* Name;
        int KPresses;      // before the next show comes
        bool NextShowsBox; // the next show's own comments-box setting
        bool OpenAfter;
        const char* Memo; // the box's text after the change
    };
    const Case cases[] = {
        {"opened with K: stays open and shows the new comment", 1, false, true, "Zweite"},
        {"opened and closed again with K: stays closed", 2, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        steps_.clear();
        TVistelo& show = NewShow(2, 1000);
        show.Pictures[0]->Comments = "Erste";
        const std::string next = ShowFile("Zweite", c.NextShowsBox);
        TShowForm& form = Start();
        bool changed = false;
        bool looked = false;
        TCommentsBoxForm* opened = nullptr;
        TCommentsBoxForm* after = nullptr;
        bool wanted = false;
        std::string memo;
        // Looked at on the turn after the change: closing the window closes the box too.
        Run([&] { return looked; }, 10000, [&] {
            if (Positions().empty())
                return;
            if (changed) {
                after = form.CommentsBox;
                wanted = form.CommentsBoxWanted;
                memo = after ? after->CommentsMemo->Text() : std::string();
                looked = true;
                return;
            }
            for (int i = 0; i < c.KPresses; ++i) {
                char32_t k = U'k';
                form.Input->FormKeyPress(k);
                if (i == 0)
                    opened = form.CommentsBox;
            }
            ASSERT_TRUE(form.End->ReloadVistelo(next));
            changed = true;
        });
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(after != nullptr, c.OpenAfter);
        EXPECT_EQ(wanted, c.OpenAfter);
        if (c.OpenAfter) {
            EXPECT_EQ(after, opened) << "the same box, never closed";
            EXPECT_EQ(memo, c.Memo);
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

} // namespace
