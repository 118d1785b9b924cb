// The player package's entry: what the four start operations leave behind
// in the caller's objects and in the shared settings.

#include "ShowFixture.h"

#include "core/ShowStartAhead.h"
#include "core/VisteloList.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "player/AskRepeat.h"
#include "player/ChooseVistelo.h"
#include "player/PlayerInterface.h"

using namespace showtest;

namespace {

class MainPlayer : public ShowFixture {
protected:
    void TearDown() override
    {
        EXPECT_EQ(ShowForm, nullptr); // every start frees its window
        ShowFixture::TearDown();
    }

    // Remembers the picture area's size while the window plays.
    void WatchClientSize()
    {
        Application->OnIdle = [this](TObject*, bool&) {
            if (ShowForm && ShowForm->Stepper.Show && ShowForm->Stepper.Show->CurrentIndex >= 0 && clientWidth_ < 0) {
                clientWidth_ = ShowForm->DiaScrollBox->ClientWidth();
                clientHeight_ = ShowForm->DiaScrollBox->ClientHeight();
            }
        };
    }

    // A show file of one picture.
    std::string ShowFile(const std::string& name, TWhatToDoWhenVisteloEnds action, bool manualExitToo = false)
    {
        TConfigVistelo show;
        show.Pause = 300;
        show.Logo = lNoLogo;
        show.UseBlendings = false;
        show.EndAction = action;
        show.ManualExitToo = manualExitToo;
        show.AddDia(*Entry(Picture(name + ".bmp", clRed)));
        const std::string path = (folder_ / (name + ".vsf")).string();
        EXPECT_TRUE(show.SaveToFile(path));
        return path;
    }

    void AddShows(TVisteloList& list, const std::vector<std::string>& files)
    {
        list.FileName = (folder_ / "list.vsl").string();
        for (const std::string& file : files) {
            auto item = std::make_unique<TVisteloListItem>();
            item->ShowFile = file;
            list.Items->AddItem(std::move(item));
        }
    }

    // Answers the show chooser with the next of choices (-1: "Beenden")
    // and keeps what the window played and in which list state.
    std::function<void(TObject*, bool&)> Chooser(std::vector<int> choices)
    {
        return [this, choices](TObject*, bool&) {
            if (auto* chooser = ModalForm<TChooseVisteloForm>()) {
                const int choice = choosers_ < static_cast<int>(choices.size()) ? choices[choosers_] : -1;
                ++choosers_;
                modes_.push_back(ShowForm->End->ListMode);
                if (choice < 0) {
                    chooser->QuitButton->Click();
                } else {
                    chooser->VisteloListBox->SetItemIndex(choice);
                    chooser->StartButton->Click();
                }
            }
            if (ShowForm && ShowForm->Stepper.Show && ShowForm->Stepper.Show->CurrentIndex >= 0 &&
                (played_.empty() || played_.back() != Setup::VisteloFilename))
                played_.push_back(Setup::VisteloFilename);
        };
    }

    int clientWidth_ = -1;
    int clientHeight_ = -1;
    int choosers_ = 0;
    std::vector<TListMode> modes_;
    std::vector<std::string> played_;
    TMainPlayer player_;
};

TEST_F(MainPlayer, VisteloStartWritesBackOnlyTheUnsetReferenceSize)
{
    struct Case {
        std::int32_t width, height;
    };
    for (const Case c : {Case{-1, -1}, Case{640, 480}, Case{-1, 480}}) {
        clientWidth_ = clientHeight_ = -1;
        TVistelo& show = NewShow(2, 300);
        show.EndAction = deExitImmediately;
        show.ReferenceWidth = c.width;
        show.ReferenceHeight = c.height;
        WatchClientSize();
        player_.VisteloStart(show, -1);
        ASSERT_GT(clientWidth_, 0);
        EXPECT_EQ(show.ReferenceWidth, c.width == -1 ? clientWidth_ : c.width);
        EXPECT_EQ(show.ReferenceHeight, c.height == -1 ? clientHeight_ : c.height);
        // Nothing else of the caller's show changes: it played a copy.
        EXPECT_EQ(show.CurrentIndex, -1);
        EXPECT_EQ(show.Count, 2);
        EXPECT_EQ(show.EndAction, deExitImmediately);
    }
}

TEST_F(MainPlayer, AShowFileThatDoesNotLoadIsReportedShowsNothingAndRestoresTheSettings)
{
    Setup::VisteloFilename = "before.vsf";
    bool windowSeen = false;
    Application->OnIdle = [&](TObject*, bool&) { windowSeen = true; };
    const std::string missing = (folder_ / "missing.vsf").string();
    EXPECT_FALSE(player_.VisteloStartFilename(missing, -1));
    EXPECT_FALSE(windowSeen);
    EXPECT_EQ(Setup::VisteloFilename, "before.vsf");
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Fehler beim Laden der Datei \"" + missing + "\".");
}

TEST_F(MainPlayer, AShowFilePlaysFromItsPositionAndTheSettingsComeBack)
{
    TConfigVistelo show;
    show.Pause = 300;
    show.Logo = lNoLogo;
    show.UseBlendings = false;
    show.EndAction = deExitImmediately;
    for (int i = 0; i < 3; ++i)
        show.AddDia(*Entry(Picture("p" + std::to_string(i) + ".bmp", Colour(i))));
    const std::string file = (folder_ / "s.vsf").string();
    ASSERT_TRUE(show.SaveToFile(file));
    Setup::VisteloFilename = "before.vsf";
    std::vector<std::int32_t> positions;
    std::string filenameWhilePlaying;
    Application->OnIdle = [&](TObject*, bool&) {
        const TVistelo* playing = ShowForm ? ShowForm->Stepper.Show : nullptr;
        if (playing && (positions.empty() || positions.back() != playing->CurrentIndex)) {
            positions.push_back(playing->CurrentIndex);
            filenameWhilePlaying = Setup::VisteloFilename;
        }
    };
    player_.VisteloStartFilename(file, 1);
    EXPECT_EQ(positions, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(filenameWhilePlaying, file);
    EXPECT_EQ(Setup::VisteloFilename, "before.vsf");
}

TEST_F(MainPlayer, AShowFilePreparedBeforeTheToolkitStartedIsPlayedFromWhatWasRead)
{
    const std::string file = ShowFile("vorab", deExitImmediately);
    ShowStartAhead::Prepare(file, TSize{Screen->Width(), Screen->Height()});
    // The start plays what was read ahead: the file is not read again.
    std::filesystem::remove(file);
    bool played = false;
    Application->OnIdle = [&](TObject*, bool&) {
        played = played || (ShowForm && ShowForm->Stepper.Show && ShowForm->Stepper.Show->CurrentIndex == 0);
    };
    EXPECT_TRUE(player_.VisteloStartFilename(file, -1));
    EXPECT_TRUE(played);
    EXPECT_EQ(ShowStartAhead::Claim(file), nullptr);
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

TEST_F(MainPlayer, AListStartingWithItsFirstShowPlaysItWithoutTheChooser)
{
    TConfigVistelo show;
    show.Pause = 300;
    show.Logo = lNoLogo;
    show.UseBlendings = false;
    show.AddDia(*Entry(Picture("p.bmp", clRed)));
    const std::string first = (folder_ / "first.vsf").string();
    const std::string second = (folder_ / "second.vsf").string();
    ASSERT_TRUE(show.SaveToFile(first));
    ASSERT_TRUE(show.SaveToFile(second));
    const std::string disabled = "disabled.vsf";
    // The first enabled entry plays, also behind a disabled one.
    for (const std::vector<std::string>& entries :
         {std::vector<std::string>{first, disabled, second}, std::vector<std::string>{disabled, first, second}}) {
        TVisteloList list;
        list.FileName = (folder_ / "list.vsl").string();
        list.StartAction = dlsPlayFirstVistelo;
        list.EndAction = deListAutoLoadNext;
        for (const std::string& file : entries) {
            auto item = std::make_unique<TVisteloListItem>();
            item->ShowFile = file;
            item->Active = file != disabled;
            list.Items->AddItem(std::move(item));
        }
        std::vector<std::string> played;
        Application->OnIdle = [&](TObject*, bool&) {
            if (auto* chooser = ModalForm<TChooseVisteloForm>()) {
                ADD_FAILURE() << "the chooser opened";
                chooser->QuitButton->Click();
            }
            if (ShowForm && ShowForm->Stepper.Show && (played.empty() || played.back() != Setup::VisteloFilename))
                played.push_back(Setup::VisteloFilename);
            if (ShowForm && played.size() >= 3 && ShowForm->Modal())
                ShowForm->Close();
        };
        std::int32_t last = -5;
        player_.VisteloListStart(list, -1, last);
        // The list's shows follow one another and wrap.
        EXPECT_EQ(played, (std::vector<std::string>{first, second, first})) << entries[0];
        EXPECT_EQ(last, 0) << entries[0];
        EXPECT_EQ(list.Items->Count, 3); // the caller's list is left as it was
    }
}

TEST_F(MainPlayer, WithListEndActionChooseEveryShowReturnsToTheChooser)
{
    const std::string first = ShowFile("first", deAutoRepeat);
    const std::string second = ShowFile("second", deAutoRepeat);
    TVisteloList list;
    list.EndAction = deListChooseVistelo;
    AddShows(list, {first, second});
    Application->OnIdle = Chooser({1, 0});
    std::int32_t last = -5;
    player_.VisteloListStart(list, -1, last);
    EXPECT_EQ(choosers_, 3);
    EXPECT_EQ(played_, (std::vector<std::string>{second, first}));
    EXPECT_EQ(modes_, (std::vector<TListMode>{lmNone, lmFirstShow, lmRunning}));
    EXPECT_EQ(last, 0);
}

TEST_F(MainPlayer, LeavingTheChooserAtOnceEndsTheListWithoutPlaying)
{
    TVisteloList list;
    AddShows(list, {ShowFile("first", deAutoRepeat)});
    Application->OnIdle = Chooser({});
    std::int32_t last = -5;
    player_.VisteloListStart(list, 2, last); // a start index the list does not have
    player_.VisteloListStart(list, -1, last);
    EXPECT_EQ(choosers_, 1);
    EXPECT_TRUE(played_.empty());
    EXPECT_EQ(last, 0);
}

TEST_F(MainPlayer, EndingAStoppedListShowOffersTheChooserOnce)
{
    const std::string first = ShowFile("first", deRepeatVistelo, true);
    TVisteloList list;
    list.EndAction = deListLikeShow;
    AddShows(list, {first});
    int questions = 0;
    bool pressed = false;
    const auto chooser = Chooser({0});
    Application->OnIdle = [&](TObject* sender, bool& done) {
        chooser(sender, done);
        if (ShowForm && ShowForm->Stepper.Show && ShowForm->Stepper.Show->CurrentIndex >= 0 && !pressed) {
            WORD escape = VK_ESCAPE;
            ShowForm->Input->FormKeyUp(escape, {});
            pressed = true;
        }
        if (auto* question = ModalForm<TAskRepeatForm>()) {
            ++questions;
            question->EndButton->Click(); // "Nein, beenden"
        }
    };
    std::int32_t last = -5;
    player_.VisteloListStart(list, -1, last);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(choosers_, 2); // the first choice, then once after the end
    EXPECT_EQ(played_, std::vector<std::string>{first});
}

} // namespace
