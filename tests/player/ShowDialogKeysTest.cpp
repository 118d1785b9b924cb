// The playback window's dialogs worked from the keyboard alone: P opens the
// pause dialog and I the information box with the focus where typing
// belongs; Enter and Escape answer them; and the release of the key that
// closed a dialog, which the window system hands to the playback window,
// does not end the show (the window ends it on Escape's release). Keys go
// where the window system sends them: to the focus.

#include "ShowFixture.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/TestDriver.h"
#include "player/PlayerAbout.h"
#include "player/SpeedChg.h"
#include "widgets/Spin.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace showtest;

namespace {

using ui::test::TKey;
using ui::test::TKeyAction;

std::string TextOf(TKey key)
{
    switch (key) {
    case TKey::Return: return "\r";
    case TKey::Escape: return "\x1b";
    default: return {};
    }
}

// Drives a dialog from the idle loop, one key per turn: each key's press
// goes to the focus, and its release on the next turn to whatever has the
// focus then (the playback window, once the dialog has closed).
class TKeyScript {
public:
    explicit TKeyScript(std::vector<TKey> keys) : keys_(std::move(keys)) { }

    // One idle turn while the dialog is open; focusOfDialog says whether the
    // focus lies where the dialog's keys belong at its opening.
    void TurnWhileOpen(bool focusAtOpening)
    {
        if (next_ == 0)
            FocusedAtOpening = focusAtOpening;
        ReleaseLast();
        if (next_ < keys_.size()) {
            pending_ = keys_[next_++];
            EXPECT_TRUE(ui::test::SendKeyToFocus(TKeyAction::Press, *pending_, {}, TextOf(*pending_)));
        }
    }
    // One idle turn once the dialog has gone.
    void TurnAfterClose(TWinControl& window)
    {
        if (!pending_)
            return;
        if (!ui::test::SendKeyToFocus(TKeyAction::Release, *pending_))
            ui::test::SendKey(&window, TKeyAction::Release, *pending_);
        pending_.reset();
        Done = true;
    }

    bool FocusedAtOpening = false;
    bool Done = false;

private:
    void ReleaseLast()
    {
        if (pending_)
            ui::test::SendKeyToFocus(TKeyAction::Release, *pending_);
        pending_.reset();
    }

    std::vector<TKey> keys_;
    size_t next_ = 0;
    std::optional<TKey> pending_;
};

class ShowDialogKeys : public ShowFixture {
protected:
    // A letter typed into the playback window, as the user presses it.
    static void TypeLetter(TShowForm& form, char letter)
    {
        const std::string text(1, static_cast<char>(letter - 'A' + 'a'));
        ui::test::SendKey(&form, TKeyAction::Press, ui::test::Letter(letter), {}, text);
        ui::test::SendKey(&form, TKeyAction::Release, ui::test::Letter(letter));
    }

    // Plays the show, types the letter once the first slide is on and drives
    // the dialog of class T with the keys; runs on for a second after that.
    template <class T> TKeyScript RunDialog(char letter, const std::vector<TKey>& keys,
                                            const std::function<TWinControl*(T&)>& focusAtOpening)
    {
        TShowForm& form = Start();
        TKeyScript script(keys);
        bool typed = false;
        bool opened = false;
        std::uint32_t doneAt = 0;
        Run([&] { return script.Done && Elapsed() > doneAt + 1000; }, 30000,
            [&] {
                if (T* dialog = ModalForm<T>()) {
                    opened = true;
                    script.TurnWhileOpen(ui::test::FocusedControl() == focusAtOpening(*dialog));
                } else if (opened) {
                    if (!script.Done)
                        doneAt = Elapsed();
                    script.TurnAfterClose(form);
                } else if (!typed && !Positions().empty()) {
                    typed = true;
                    TypeLetter(form, letter);
                }
            });
        EXPECT_TRUE(opened);
        return script;
    }
};

TEST_F(ShowDialogKeys, ThePauseDialogTakesArrowsEnterAndEscapeAndLeavesTheShowRunning)
{
    struct Case {
        const char* Name;
        std::vector<TKey> Keys;
        std::int32_t Pause;
    };
    const Case cases[] = {
        {"Up and Enter store a longer pause", {TKey::Up, TKey::Return}, 3000},
        {"Down, Down and Enter store a shorter one", {TKey::Down, TKey::Down, TKey::Return}, 1500},
        {"Escape keeps the pause", {TKey::Up, TKey::Escape}, 2500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        steps_.clear();
        TVistelo& show = NewShow(3, 2500);
        const TKeyScript script = RunDialog<TSpeedChgForm>(
            'P', c.Keys, [](TSpeedChgForm& d) -> TWinControl* { return d.PauseEdit; });
        EXPECT_TRUE(script.FocusedAtOpening) << "the value field has the focus";
        EXPECT_TRUE(script.Done) << "the dialog closed";
        EXPECT_EQ(show.Pause, c.Pause);
        EXPECT_FALSE(ShowForm->Stepper.ExitRequested) << "the closing key's release ended the show";
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowDialogKeys, TheInformationBoxClosesOnEnterOrEscapeAndTheShowGoesOn)
{
    for (TKey key : {TKey::Return, TKey::Escape}) {
        SCOPED_TRACE(TextOf(key) == "\r" ? "Enter" : "Escape");
        steps_.clear();
        TVistelo& show = NewShow(3, 2500);
        show.AboutText = "Unsere Reise";
        const TKeyScript script = RunDialog<TPlayerAboutForm>(
            'I', {key}, [](TPlayerAboutForm& d) -> TWinControl* { return d.OKButton; });
        EXPECT_TRUE(script.FocusedAtOpening) << "OK has the focus";
        EXPECT_TRUE(script.Done) << "the box closed";
        EXPECT_FALSE(ShowForm->Stepper.ExitRequested) << "the closing key's release ended the show";
        delete ShowForm;
        ShowForm = nullptr;
    }
}

} // namespace
