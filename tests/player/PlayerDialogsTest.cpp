// The player's dialogs on the offscreen platform: the logo window and its
// timer in virtual time, the end-of-show questions, the show chooser, the
// pause dialog and the comments box, answered by posted clicks and scripted
// common dialogs.

#include "player/AskRepeat.h"
#include "player/ChooseVistelo.h"
#include "player/CommentsBox.h"
#include "player/LogoForm.h"
#include "player/PlayerAbout.h"
#include "player/SpeedChg.h"

#include "core/SmoothBitmap.h"
#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/HiddenWindows.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "platform/ui/TestDriver.h"
#include "ui/UiFixture.h"
#include "widgets/SecretPanel.h"
#include "widgets/Spin.h"

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Tells when the form that owns it is freed.
class TDeathWatch : public TComponent {
public:
    TDeathWatch(TComponent* AOwner, bool& Freed) : TComponent(AOwner), freed_(Freed) { freed_ = false; }
    ~TDeathWatch() override { freed_ = true; }

private:
    bool& freed_;
};

class PlayerDialogs : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        folder_ = fs::temp_directory_path() / ("player_dialogs_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        fs::remove_all(folder_);
        UiTest::TearDown();
    }
    static void Press(TButton* button) { button->Click(); }

    std::string WritePicture(const std::string& name, int width, int height, TColor color)
    {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Canvas().Brush.Color = color;
        bitmap.Canvas().FillRect(Rect(0, 0, width, height));
        const std::string path = (folder_ / name).string();
        bitmap.SaveToFile(path);
        return path;
    }

    fs::path folder_;
};

// ---------------------------------------------------------------------------
// Logo window

struct LogoCase {
    const char* Name;
    bool PictureExists;
    int Time;          // handed to Execute
    int UserKeyAt;     // virtual ms at which a key is released (0: none)
    int ExpectedClose; // virtual ms after the start
    int ExpectedWidth; // window size
    int ExpectedHeight;
};

TEST_F(PlayerDialogs, LogoShowsPictureOrPlaceholderUntilTimeOrKey)
{
    const LogoCase cases[] = {
        {"picture, own time", true, 3000, 0, 3000, 124, 84},
        {"missing picture shows the placeholder for the time", false, 2000, 0, 2000, 404, 304},
        {"no timer: stays until a key is released", true, -1, 9000, 9000, 124, 84},
        {"key before the time ends it early", false, 5000, 1500, 1500, 404, 304},
    };
    const std::string picture = WritePicture("logo.bmp", 120, 80, clRed);
    for (const LogoCase& c : cases) {
        SCOPED_TRACE(c.Name);
        rtl::SetClockForTests(100000);
        ui::SetVirtualTimeForTests(true);
        auto* logo = new TLogoForm(nullptr);
        bool freed = false;
        new TDeathWatch(logo, freed);
        TRect bounds;
        std::unique_ptr<TTimer> user;
        if (c.UserKeyAt) {
            user = std::make_unique<TTimer>(nullptr);
            user->SetInterval(static_cast<unsigned>(c.UserKeyAt));
            user->OnTimer = [&](TObject*) {
                user->SetEnabled(false);
                bounds = logo->BoundsRect();
                SendKey(logo, TKeyAction::Release, ui::test::Letter('X'));
            };
        }
        logo->OnHide = [&](TObject*) {
            if (!c.UserKeyAt)
                bounds = logo->BoundsRect();
        };
        logo->Execute(c.PictureExists ? picture : (folder_ / "fehlt.jpg").string(), c.Time);
        EXPECT_EQ(GetTickCount() - 100000u, static_cast<unsigned>(c.ExpectedClose));
        EXPECT_EQ(bounds.Width(), c.ExpectedWidth);
        EXPECT_EQ(bounds.Height(), c.ExpectedHeight);
        EXPECT_EQ(bounds.Left, (Screen->Width() - c.ExpectedWidth) / 2);
        EXPECT_EQ(bounds.Top, (Screen->Height() - c.ExpectedHeight) / 2);
        Turn();
        EXPECT_TRUE(freed) << "the logo window frees itself on close";
        user.reset();
        ui::SetVirtualTimeForTests(false);
        rtl::ResetClock();
    }
}

TEST_F(PlayerDialogs, LogoClosesOnAClickOnThePicture)
{
    const std::string picture = WritePicture("logo.bmp", 60, 40, clBlue);
    auto* logo = new TLogoForm(nullptr);
    bool freed = false;
    new TDeathWatch(logo, freed);
    TColor shown = clNone;
    Later([&] {
        // The picture is on screen inside the 2-pixel frame.
        logo->LogoPanel->Repaint();
        shown = BackBufferPixel(logo->LogoPanel, 2 + 30, 2 + 20);
        logo->LogoImage->Click();
    });
    logo->Execute(picture, -1);
    EXPECT_EQ(shown, clBlue);
    Turn();
    EXPECT_TRUE(freed);
}

// ---------------------------------------------------------------------------
// About box

TEST_F(PlayerDialogs, AboutBoxShowsVersionShowTextAndRunningCredits)
{
    struct Case {
        const char* Text;
        bool MemoShown;
    } cases[] = {{"Eine Vistelo von Anna.\r\nViel Spaß!", true}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        auto* about = new TPlayerAboutForm(nullptr);
        bool freed = false;
        new TDeathWatch(about, freed);
        about->AboutText = c.Text;
        const int designedHeight = about->Height();
        const int memoHeight = about->InfoMemo->Height();
        TSecretPanel* credits = about->CreditsPanel;
        bool creditsRunning = false;
        bool memoShown = false;
        std::string memoText;
        int height = 0;
        Later([&] {
            creditsRunning = credits->Active();
            memoShown = about->InfoMemo->Visible();
            memoText = about->InfoMemo->Text();
            height = about->Height();
            about->OKButton->Click();
        });
        about->ShowModal();
        EXPECT_EQ(about->Caption(), "Info");
        EXPECT_EQ(about->VersionLabel->Caption(), "Version 3.509");
        EXPECT_EQ(credits->Interval(), 120u);
        EXPECT_TRUE(creditsRunning);
        EXPECT_FALSE(credits->Active()) << "closing stops the credits";
        EXPECT_EQ(memoShown, c.MemoShown);
        EXPECT_EQ(memoText, c.Text);
        EXPECT_EQ(height, c.MemoShown ? designedHeight : designedHeight - memoHeight - 2);
        Turn();
        EXPECT_TRUE(freed) << "the About box frees itself on close";
    }
}

// ---------------------------------------------------------------------------
// End-of-show questions

enum class Kind { Repeat, RepeatLoad, RepeatNext };

struct QuestionCase {
    Kind Form;
    bool Stopped;
    const char* Button; // caption of the button pressed; "" closes the window
    int Answer;
};

class Question {
public:
    explicit Question(Kind kind)
    {
        switch (kind) {
        case Kind::Repeat: form = repeat = new TAskRepeatForm(nullptr); break;
        case Kind::RepeatLoad: form = load = new TAskRepeatLoadForm(nullptr); break;
        case Kind::RepeatNext: form = next = new TAskRepeatNextForm(nullptr); break;
        }
    }
    ~Question() { delete form; }
    int Execute(bool stopped, std::string& file)
    {
        if (repeat)
            return repeat->Execute(stopped);
        if (next)
            return next->Execute(stopped);
        return load->Execute(stopped, file);
    }
    TButton* Find(const std::string& caption) const
    {
        for (int i = 0; i < form->ControlCount(); ++i)
            if (auto* button = dynamic_cast<TButton*>(form->Controls(i)); button && button->Caption() == caption)
                return button;
        return nullptr;
    }

    TAskRepeatBaseForm* form = nullptr;
    TAskRepeatForm* repeat = nullptr;
    TAskRepeatLoadForm* load = nullptr;
    TAskRepeatNextForm* next = nullptr;
};

TEST_F(PlayerDialogs, QuestionsAnswerByTheirButtons)
{
    const QuestionCase cases[] = {
        {Kind::Repeat, false, "&Ja, wiederholen", 1},
        {Kind::Repeat, true, "&Ja, weitermachen", 1},
        {Kind::Repeat, false, "&Nein, beenden", 0},
        {Kind::Repeat, false, "Ja, und nicht mehr &fragen", 2},
        {Kind::Repeat, true, "", 0},
        {Kind::RepeatLoad, false, "&Ja, und nicht mehr fragen", 2},
        {Kind::RepeatLoad, true, "&Nein, beenden", 0},
        {Kind::RepeatNext, false, "nächste Vistelo", 4},
        {Kind::RepeatNext, true, "&Ja, weitermachen", 1},
        {Kind::RepeatNext, false, "", 0},
    };
    for (const QuestionCase& c : cases) {
        SCOPED_TRACE(std::string(c.Button) + (c.Stopped ? " (stopped)" : ""));
        Question question(c.Form);
        Later([&] {
            if (*c.Button) {
                TButton* button = question.Find(c.Button);
                ASSERT_NE(button, nullptr);
                Press(button);
            } else {
                question.form->Close();
            }
        });
        std::string file = "unverändert";
        EXPECT_EQ(question.Execute(c.Stopped, file), c.Answer);
        EXPECT_EQ(file, "unverändert");
    }
}

TEST_F(PlayerDialogs, QuestionTextsFollowTheStoppedState)
{
    struct TextCase {
        Kind Form;
        const char* Caption;
        const char* EndStart;
        const char* StoppedStart;
    } cases[] = {
        {Kind::Repeat, "Vistelo wiederholen?", "Das Ende der Vistelo wurde erreicht.\r\n\r\nMöchten Sie, dass die",
         "Die Vistelo wurde gestoppt.\r\rMöchten Sie sie weiterlaufen lassen, oder"},
        {Kind::RepeatLoad, "Vistelo wiederholen oder neue Vistelo laden?",
         "Das Ende der Vistelo wurde erreicht.\r\n\r\nMöchten Sie, dass diese",
         "Die Vistelo wurde gestoppt.\r\rMöchten Sie sie weiterlaufen lassen, beenden oder möchten Sie eine neue"},
        {Kind::RepeatNext, "Vistelo wiederholen oder nächste laden?",
         "Das Ende der Vistelo wurde erreicht.\r\n\r\nMöchten Sie, dass diese",
         "Die Vistelo wurde gestoppt.\r\rMöchten Sie sie weiterlaufen lassen, beenden oder möchten Sie die nächste"},
    };
    for (const TextCase& c : cases) {
        for (bool stopped : {false, true}) {
            SCOPED_TRACE(std::string(c.Caption) + (stopped ? " stopped" : ""));
            Question question(c.Form);
            std::string text;
            std::string first;
            Later([&] {
                text = question.form->QuestionLabel->Caption();
                first = question.form->RepeatButton->Caption();
                question.form->Close();
            });
            std::string file;
            question.Execute(stopped, file);
            EXPECT_EQ(question.form->Caption(), c.Caption);
            const std::string expected = stopped ? c.StoppedStart : c.EndStart;
            EXPECT_EQ(text.substr(0, expected.size()), expected);
            EXPECT_EQ(first, stopped ? "&Ja, weitermachen" : "&Ja, wiederholen");
            // The question mark picture comes from the program's resources.
            EXPECT_EQ(question.form->QuestionImage->Picture().Width(), 32);
        }
    }
}

TEST_F(PlayerDialogs, LoadingAnotherShowClosesOnlyWhenAFileWasChosen)
{
    Question question(Kind::RepeatLoad);
    const std::string show = WritePicture("Urlaub.vsf", 1, 1, clBlack); // any existing file will do
    ui::ScriptAnswer(mrCancel);
    ui::ScriptAnswer(mrOk, (folder_ / "Verloren.vsf").string());
    ui::ScriptAnswer(mrOk); // the warning that the file does not exist
    ui::ScriptAnswer(mrOk, show);
    std::vector<bool> stillOpen;
    std::function<void()> pressLoad = [&] {
        stillOpen.push_back(question.form->Visible());
        if (stillOpen.size() < 3)
            Later(pressLoad);
        Press(question.Find("neue Vistelo laden"));
    };
    Later(pressLoad);
    std::string file;
    EXPECT_EQ(question.Execute(false, file), 3);
    EXPECT_EQ(stillOpen, std::vector<bool>(3, true)) << "a cancelled or refused file choice keeps the question open";
    EXPECT_EQ(file, show);
    EXPECT_EQ(ui::ScriptedAnswersLeft(), 0);
}

// ---------------------------------------------------------------------------
// Show chooser

class ShowChooser : public PlayerDialogs {
protected:
    // A list of shows named name0.vsf ... with their play flags.
    std::unique_ptr<TVisteloList> MakeList(const std::vector<bool>& active)
    {
        auto list = std::make_unique<TVisteloList>();
        list->FileName = (folder_ / "Liste.vsl").string();
        list->Title = "Meine Vistelos";
        for (std::size_t i = 0; i < active.size(); ++i) {
            auto item = std::make_unique<TVisteloListItem>();
            item->ShowFile = "show" + std::to_string(i) + ".vsf";
            item->Active = active[i];
            list->Items->AddItem(std::move(item));
        }
        return list;
    }
    // A show with an info chunk; its info value is the number of pictures.
    std::string WriteShow(const std::string& name, const std::string& title, const std::string& text, bool picture,
                          int pictures = 0)
    {
        TConfigVistelo show;
        show.InfoTitle = title;
        show.InfoText = text;
        for (int i = 0; i < pictures; ++i) {
            TPicInfoObject entry;
            entry.FileName = "bild" + std::to_string(i) + ".jpg";
            show.AddDia(entry);
        }
        if (picture) {
            TBitmap bitmap(40, 20, pf24bit);
            bitmap.Canvas().Brush.Color = clLime;
            bitmap.Canvas().FillRect(Rect(0, 0, 40, 20));
            show.InfoPicture = std::make_unique<TJPEGImage>();
            show.InfoPicture->Assign(&bitmap);
        }
        const std::string path = (folder_ / name).string();
        EXPECT_TRUE(show.SaveToFile(path));
        return path;
    }
    // Runs the chooser; during the modal run `during` sees it.
    int Choose(TVisteloList& list, int start, int last, const std::function<void(TChooseVisteloForm&)>& during = {})
    {
        auto* chooser = new TChooseVisteloForm(nullptr, showFiles);
        if (start == -1)
            Later([&, chooser] {
                if (during)
                    during(*chooser);
                else
                    chooser->ModalResult = mrCancel;
            });
        std::string file;
        const int result = chooser->Execute(&list, start, last, file);
        Turn(); // the chooser frees itself
        return result;
    }
    std::string showFiles = "alt\r\n";
};

TEST_F(ShowChooser, StartIndexCountsAllEntriesButSelectsAmongTheEnabled)
{
    struct Case {
        std::vector<bool> Active;
        int Start;
        int Expected;
        int Lines;
    } cases[] = {
        {{true, true, true}, 2, 2, 3},
        {{false, true, true}, 2, 1, 2},
        {{true, false, false, true}, 3, 1, 2},
        {{true, false, true}, 0, 0, 2},
        // A start on a disabled entry moves to the enabled one before it.
        {{true, false, true}, 1, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Start);
        auto list = MakeList(c.Active);
        EXPECT_EQ(Choose(*list, c.Start, -1), c.Expected);
        // ShowFiles is rebuilt from the enabled entries, each resolved and ended by CR LF.
        int lines = 0;
        for (std::size_t at = showFiles.find("\r\n"); at != std::string::npos; at = showFiles.find("\r\n", at + 2))
            ++lines;
        EXPECT_EQ(lines, c.Lines);
        EXPECT_EQ(showFiles.find("alt"), std::string::npos);
    }
}

TEST_F(ShowChooser, AllEntriesDisabledGiveAnEmptyChooserThatEndsWithMinusOne)
{
    auto list = MakeList({false, false});
    int lines = -1;
    const int result = Choose(*list, -1, -1, [&](TChooseVisteloForm& chooser) {
        lines = static_cast<int>(chooser.VisteloListBox->Items.size());
        Press(chooser.StartButton);
    });
    EXPECT_EQ(lines, 0);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(showFiles, "");
}

TEST_F(ShowChooser, StartReturnsTheSelectedLineAndQuitReturnsMinusOne)
{
    WriteShow("show0.vsf", "Erste", "", false);
    WriteShow("show2.vsf", "Dritte", "", false);
    struct Case {
        int Last;
        bool Start;
        int Expected;
    } cases[] = {{-1, true, 0}, {1, true, 1}, {1, false, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Last);
        auto list = MakeList({true, false, true});
        std::string title;
        const int result = Choose(*list, -1, c.Last, [&](TChooseVisteloForm& chooser) {
            title = chooser.TitleLabel->Caption();
            Press(c.Start ? chooser.StartButton : chooser.QuitButton);
        });
        EXPECT_EQ(result, c.Expected);
        EXPECT_EQ(title, "Meine Vistelos");
        EXPECT_EQ(showFiles, (folder_ / "show0.vsf").string() + "\r\n" + (folder_ / "show2.vsf").string() + "\r\n");
    }
}

TEST_F(ShowChooser, ArrowKeysEnterAndEscapeWorkAsSoonAsTheChooserOpens)
{
    using ui::test::TKey;
    for (int i = 0; i < 3; ++i)
        WriteShow("show" + std::to_string(i) + ".vsf", "Vistelo " + std::to_string(i), "", false);
    struct Case {
        const char* Name;
        std::vector<TKey> Keys;
        int Expected;
    } cases[] = {
        {"Down and Enter start the second", {TKey::Down, TKey::Return}, 1},
        {"Down, Down, Up and Enter", {TKey::Down, TKey::Down, TKey::Up, TKey::Return}, 1},
        {"End and Enter start the last", {TKey::End, TKey::Return}, 2},
        {"Escape quits", {TKey::Down, TKey::Escape}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto list = MakeList({true, true, true});
        bool listFocused = false;
        bool stuck = false;
        // One key per turn, pressed and released where the focus is.
        std::function<void(size_t)> type = [&](size_t next) {
            if (next == c.Keys.size()) {
                // Keys that were not taken leave the chooser open: end it.
                Later([&] {
                    for (int i = 0; i < Screen->FormCount(); ++i)
                        if (auto* open = dynamic_cast<TChooseVisteloForm*>(Screen->Forms(i)); open && open->Modal()) {
                            stuck = true;
                            open->ModalResult = mrCancel;
                        }
                });
                return;
            }
            const TKey key = c.Keys[next];
            const std::string text = key == TKey::Return ? "\r" : key == TKey::Escape ? "\x1b" : "";
            EXPECT_TRUE(ui::test::SendKeyToFocus(TKeyAction::Press, key, {}, text));
            ui::test::SendKeyToFocus(TKeyAction::Release, key);
            Later([&, next] { type(next + 1); });
        };
        const int result = Choose(*list, -1, -1, [&](TChooseVisteloForm& chooser) {
            listFocused = ui::test::FocusedControl() == chooser.VisteloListBox;
            type(0);
        });
        EXPECT_TRUE(listFocused) << "the list has the focus when the chooser opens";
        EXPECT_FALSE(stuck) << "the keys did not end the chooser";
        EXPECT_EQ(result, c.Expected);
    }
}

TEST_F(ShowChooser, InfoComesFromTheShowsInfoOrFromItsFileName)
{
    const std::string withInfo = WriteShow("Reise.vsf", "Unsere Reise", "Drei Wochen im Norden", true, 2);
    const std::string noTitle = WriteShow("Ohne Titel.vsf", "", "Nur Text", false);
    TConfigVistelo bare;
    ASSERT_TRUE(bare.SaveToFile((folder_ / "Blank.vsf").string()));

    struct Case {
        std::string File;
        std::string Title;
        std::string Text;
        int InfoValue;
        bool Thumbnail;
    } cases[] = {
        {withInfo, "Unsere Reise", "Drei Wochen im Norden", 2, true},
        {noTitle, "Ohne Titel", "Nur Text", 0, false},
        {(folder_ / "Blank.vsf").string(), "Blank", "", 0, false},
        // No show, no info chunk.
        {(folder_ / "Fehlt.vsf").string(), "Fehlt", "", -1, false},
    };
    std::string files;
    TChooseVisteloForm chooser(nullptr, files);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TVisteloInfo info;
        info.FileName = c.File;
        chooser.GetVisteloInfo(info);
        EXPECT_FALSE(info.NotLoaded);
        EXPECT_EQ(info.Title, c.Title);
        EXPECT_EQ(info.Text, c.Text);
        EXPECT_EQ(info.InfoValue, c.InfoValue);
        ASSERT_EQ(static_cast<bool>(info.Thumbnail), c.Thumbnail);
        if (c.Thumbnail) {
            EXPECT_EQ(info.Thumbnail->Width(), 40);
            EXPECT_EQ(info.Thumbnail->Height(), 20);
        }
        // Read once: a second call keeps what the first found.
        info.Title = "gemerkt";
        chooser.GetVisteloInfo(info);
        EXPECT_EQ(info.Title, "gemerkt");
    }
}

TEST_F(ShowChooser, LinesAreDrawnWithThumbnailHighlightAndText)
{
    WriteShow("show0.vsf", "Mit Bild", "Text", true);
    WriteShow("show1.vsf", "Ohne Bild", "", false);
    auto list = MakeList({true, true});
    list->ThumbWidth = 40;
    list->ThumbHeight = 20;
    int itemHeight = 0;
    TColor thumbPixel = clNone;
    TColor selectedBack = clNone;
    TColor otherBack = clNone;
    Choose(*list, -1, 1, [&](TChooseVisteloForm& chooser) {
        TVisteloListBox* box = chooser.VisteloListBox;
        itemHeight = box->ItemHeight;
        box->Repaint();
        thumbPixel = BackBufferPixel(box, 20, 2 + 10);
        otherBack = BackBufferPixel(box, box->ClientWidth() - 2, itemHeight - 1);
        selectedBack = BackBufferPixel(box, box->ClientWidth() - 2, 2 * itemHeight - 1);
        chooser.ModalResult = mrCancel;
    });
    EXPECT_EQ(itemHeight, 24);
    EXPECT_EQ(GetRValue(thumbPixel) < 64 && GetGValue(thumbPixel) > 192 && GetBValue(thumbPixel) < 64, true)
        << std::hex << thumbPixel;
    EXPECT_EQ(otherBack, ColorToRGB(clWindow));
    EXPECT_EQ(selectedBack, ColorToRGB(clHighlight));
}

TEST_F(ShowChooser, AStartOnADisabledFirstEntryOpensTheChooserWithRoomForThumbnails)
{
    auto list = MakeList({false, true});
    list->ThumbHeight = 60;
    auto* chooser = new TChooseVisteloForm(nullptr, showFiles);
    int itemHeight = 0;
    Later([&, chooser] {
        itemHeight = chooser->VisteloListBox->ItemHeight;
        Press(chooser->QuitButton);
    });
    std::string file;
    EXPECT_EQ(chooser->Execute(list.get(), 0, -1, file), -1);
    Turn(); // the chooser frees itself
    EXPECT_EQ(itemHeight, 64);
}

TEST_F(ShowChooser, ChooserKeepsItsMinimumSize)
{
    std::string files;
    TChooseVisteloForm chooser(nullptr, files);
    chooser.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(chooser.Width(), 363);
    EXPECT_EQ(chooser.Height(), 200);
}

TEST_F(ShowChooser, ThumbnailSizeFromADamagedListIsBounded)
{
    auto list = MakeList({true});
    list->ThumbHeight = 0x7FFFFFFF;
    int itemHeight = 0;
    Choose(*list, -1, -1, [&](TChooseVisteloForm& chooser) {
        itemHeight = chooser.VisteloListBox->ItemHeight;
        chooser.ModalResult = mrCancel;
    });
    EXPECT_GT(itemHeight, 0);
    EXPECT_LE(itemHeight, 4096 + 4);
}

// ---------------------------------------------------------------------------
// Pause dialog

TEST_F(PlayerDialogs, PauseDialogShowsSecondsWithOneDecimal)
{
    struct Case {
        int Pause;
        const char* Seconds;
    } cases[] = {{2500, "(2.5s)"}, {1, "(0.0s)"}, {4000, "(4.0s)"}, {99999999, "(100000.0s)"}, {12340, "(12.3s)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Pause);
        TVistelo show;
        show.Pause = c.Pause;
        auto* dialog = new TSpeedChgForm(nullptr, show);
        std::string seconds;
        int shown = 0;
        Later([&] {
            shown = dialog->PauseEdit->Value();
            seconds = dialog->SecondsLabel->Caption();
            Press(dialog->CancelButton);
        });
        EXPECT_EQ(dialog->Execute(), mrCancel);
        Turn();
        EXPECT_EQ(shown, c.Pause);
        EXPECT_EQ(seconds, c.Seconds);
        EXPECT_EQ(show.Pause, c.Pause);
    }
}

TEST_F(PlayerDialogs, PauseDialogStoresOnOkOrEnterAndFollowsChanges)
{
    struct Case {
        const char* Name;
        std::function<void(TSpeedChgForm&)> Finish;
        int Expected;
    } cases[] = {
        {"OK", [](TSpeedChgForm& d) { d.OKButton->Click(); }, 3000},
        {"Enter in the spin edit",
         [](TSpeedChgForm& d) {
             d.PauseEdit->SetFocus();
             SendKey(d.PauseEdit, TKeyAction::Press, TKey::Return, {}, "\r");
         },
         3000},
        {"cancel", [](TSpeedChgForm& d) { d.CancelButton->Click(); }, 2500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TVistelo show;
        show.Pause = 2500;
        auto* dialog = new TSpeedChgForm(nullptr, show);
        bool freed = false;
        new TDeathWatch(dialog, freed);
        std::string seconds;
        Later([&] {
            dialog->PauseEdit->UpClick(dialog->PauseEdit);
            seconds = dialog->SecondsLabel->Caption();
            c.Finish(*dialog);
        });
        dialog->Execute();
        Turn();
        EXPECT_EQ(seconds, "(3.0s)");
        EXPECT_EQ(show.Pause, c.Expected);
        EXPECT_TRUE(freed);
    }
}

// ---------------------------------------------------------------------------
// Comments box

class RecordingFontDialog : public TFontDialog {
public:
    explicit RecordingFontDialog(TComponent* owner, TCustomForm& box) : TFontDialog(owner), box_(box) { }
    bool Execute() override
    {
        styleDuring = box_.FormStyle();
        return TFontDialog::Execute();
    }
    TFormStyle styleDuring = fsStayOnTop;

private:
    TCustomForm& box_;
};

class ParamsOfBox : public TCommentsBoxForm {
public:
    using TCommentsBoxForm::TCommentsBoxForm;
    TCreateParams Params()
    {
        TCreateParams params;
        CreateParams(params);
        return params;
    }
};

TEST_F(PlayerDialogs, CommentsBoxIsAnOwnedPlainWindowOnTop)
{
    TForm* show = NewForm();
    auto* box = new ParamsOfBox(show);
    const TCreateParams params = box->Params();
    EXPECT_EQ(params.Style, WS_VISIBLE);
    EXPECT_EQ(params.WndParent, show->Handle());
    EXPECT_EQ(box->Owner(), show);
    EXPECT_EQ(box->Caption(), "Kommentar");
    EXPECT_EQ(box->FormStyle(), fsStayOnTop);
    EXPECT_EQ(box->BorderStyle(), bsSizeToolWin);
}

TEST_F(PlayerDialogs, CommentsBoxShowsItsMenuBarAboveTheMemo)
{
    TForm* show = NewForm();
    auto* box = new TCommentsBoxForm(show);
    box->Show();
    Turn();
    ASSERT_EQ(box->Menu(), box->MainMenu) << "the box carries its menu";
    TWinControl* bar = box->MainMenu->MenuBar();
    ASSERT_NE(bar, nullptr);
    const ui::test::TShownWindow shownBar = ui::test::ShownWindow(bar);
    EXPECT_TRUE(shownBar.Visible);
    EXPECT_GT(shownBar.Height, 0);
    EXPECT_EQ(shownBar.Parent, box) << "the bar lies in the box's window";
    // The memo begins below the bar, which keeps its room.
    EXPECT_GE(box->CommentsMemo->Top(), bar->Top() + bar->Height());
    EXPECT_GT(box->CommentsMemo->Height(), 0);

    const std::vector<ui::test::TShownEntry> entries = ui::test::MenuBarEntries(*box->MainMenu);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Text, "&Ansicht");
    EXPECT_TRUE(entries[0].SubMenu);
    ui::test::OpenMenuBarEntry(*box->MainMenu, 0);
    std::vector<std::string> items;
    for (const ui::test::TShownEntry& entry : ui::test::MenuBarDropDown(*box->MainMenu, 0))
        items.push_back(entry.Text);
    EXPECT_EQ(items,
              (std::vector<std::string>{"&Font...", "&Vordergrundfarbe...", "&Hintergrundfarbe...", "&Schließen"}));
    delete box;
}

TEST_F(PlayerDialogs, CommentsBoxMenuSetsFontAndColoursBelowStayOnTop)
{
    TForm* show = NewForm();
    auto* box = new TCommentsBoxForm(show);
    auto* fonts = new RecordingFontDialog(show, *box);
    box->FontDialog = fonts;
    box->ColorDialog = new TColorDialog(show);

    ui::ScriptAnswer(IDOK, "Courier New;14;b;0000FF");
    box->FontItem->Click();
    EXPECT_EQ(fonts->styleDuring, fsNormal);
    EXPECT_EQ(box->FormStyle(), fsStayOnTop);
    EXPECT_EQ(box->CommentsMemo->Font().Name(), "Courier New");
    EXPECT_EQ(box->CommentsMemo->Font().Size(), 14);

    ui::ScriptAnswer(IDOK, "FF0000");
    box->ForegroundItem->Click();
    EXPECT_EQ(box->CommentsMemo->Font().Color(), RGB(255, 0, 0));
    ui::ScriptAnswer(IDOK, "00FF00");
    box->BackgroundItem->Click();
    EXPECT_EQ(box->CommentsMemo->Color(), RGB(0, 255, 0));

    // A cancelled dialog changes nothing.
    ui::ScriptAnswer(IDCANCEL, "0000FF");
    box->BackgroundItem->Click();
    EXPECT_EQ(box->CommentsMemo->Color(), RGB(0, 255, 0));
    EXPECT_EQ(box->FormStyle(), fsStayOnTop);
    EXPECT_EQ(ui::ScriptedAnswersLeft(), 0);
    delete box;
}

TEST_F(PlayerDialogs, CommentsBoxPassesKeysAndClosingToThePlaybackWindow)
{
    TForm* show = NewForm();
    auto* box = new TCommentsBoxForm(show);
    bool freed = false;
    new TDeathWatch(box, freed);
    std::vector<WORD> keysUp;
    std::vector<char32_t> keysPressed;
    box->OnShowKeyUp = [&](TObject*, WORD& key, TShiftState) { keysUp.push_back(key); };
    box->OnShowKeyPress = [&](TObject*, char32_t& key) { keysPressed.push_back(key); };
    int closeRequests = 0;
    box->OnCloseRequest = [&] { ++closeRequests; };
    box->Show();
    box->CommentsMemo->SetFocus();
    SendKey(box->CommentsMemo, TKeyAction::Press, ui::test::Letter('P'), {}, "p");
    SendKey(box->CommentsMemo, TKeyAction::Release, TKey::Space);
    Turn();
    EXPECT_EQ(keysPressed, std::vector<char32_t>{U'p'});
    EXPECT_EQ(keysUp, std::vector<WORD>{VK_SPACE});

    box->CloseItem->Click();
    EXPECT_EQ(closeRequests, 1) << "the playback window closes the box";
    box->OnCloseRequest = nullptr;
    box->CloseItem->Click();
    Turn();
    EXPECT_TRUE(freed) << "closing frees the box";
}

} // namespace
