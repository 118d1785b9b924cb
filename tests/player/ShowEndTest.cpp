// The end of a show: the end actions, the questions and their answers, the
// manual end, and the next show of the folder.

#include "ShowFixture.h"

#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "player/AskRepeat.h"
#include "player/LogoForm.h"

#include <fstream>

using namespace showtest;

namespace {

class ShowEnd : public ShowFixture {
protected:
    // A show file of one picture in a colour of its own.
    std::string ShowFile(const std::string& name, TColor colour, TWhatToDoWhenVisteloEnds action)
    {
        TConfigVistelo show;
        show.Pause = 500;
        show.Logo = lNoLogo;
        show.UseBlendings = false;
        show.EndAction = action;
        show.DontBreakMusic = true;
        show.AddDia(*Entry(Picture(name + ".bmp", colour)));
        const std::string path = (folder_ / (name + ".vsf")).string();
        EXPECT_TRUE(show.SaveToFile(path));
        return path;
    }

    // Loads a show file into show_ and takes it over as the package does.
    TShowForm& StartFile(const std::string& path)
    {
        show_ = std::make_unique<TVistelo>();
        EXPECT_EQ(show_->LoadFromFile(path, false, false), dlrOK);
        Setup::VisteloFilename = path;
        TShowForm& form = Start();
        form.End->ScanDirectory(rtl::ExtractFilePath(path));
        return form;
    }

    // Presses the button of a modal end question on every idle turn; counts
    // the questions and keeps the last one's wording.
    template <class Question> std::function<void()> Answer(const std::function<TButton*(Question&)>& button)
    {
        return [this, button] {
            if (Question* question = ModalForm<Question>()) {
                ++asked_;
                wording_ = question->QuestionLabel->Caption();
                goOnCaption_ = question->RepeatButton->Caption();
                button(*question)->Click();
            }
        };
    }

    // Records every slide the window draws (play position and when), also
    // those a question opened over hides from the idle loop.
    void RecordDrawnSlides(TShowForm& form)
    {
        auto draw = form.Stepper.OnShowSlide;
        form.Stepper.OnShowSlide = [this, &form, draw] {
            drawn_.push_back({Elapsed(), form.Stepper.Show->CurrentIndex});
            draw();
        };
    }

    std::vector<std::int32_t> DrawnPositions() const
    {
        std::vector<std::int32_t> positions;
        for (const TStep& step : drawn_)
            positions.push_back(step.Position);
        return positions;
    }

    int asked_ = 0;
    std::string wording_;
    std::string goOnCaption_;
    std::vector<TStep> drawn_;
};

TEST_F(ShowEnd, ExitImmediatelyClosesAfterTheLastSlide)
{
    TVistelo& show = NewShow(2, 500);
    show.EndAction = deExitImmediately;
    TShowForm& form = Start();
    Run({}, 10000);
    EXPECT_EQ(Positions(), (std::vector<std::int32_t>{0, 1}));
    EXPECT_NEAR(static_cast<double>(Elapsed()), 1000, 20);
    EXPECT_TRUE(form.Stepper.ExitRequested);
}

TEST_F(ShowEnd, TheRepeatQuestionsAnswers)
{
    struct Case {
        int answer;
        bool closes;
        int questions; // asked within 2600 ms
        TWhatToDoWhenVisteloEnds endActionAfter;
    };
    const Case cases[] = {
        {arEnd, true, 1, deExitImmediately},
        {arRepeat, false, 2, deRepeatVistelo},
        {arDontAskMore, false, 1, deAutoRepeat},
    };
    for (const Case& c : cases) {
        asked_ = 0;
        steps_.clear();
        TVistelo& show = NewShow(2, 500);
        show.EndAction = deRepeatVistelo;
        TShowForm& form = Start();
        Run({}, 2600, Answer<TAskRepeatForm>([&](TAskRepeatForm& q) -> TButton* {
                return c.answer == arEnd ? q.EndButton : c.answer == arRepeat ? q.RepeatButton : q.DontAskButton;
            }));
        EXPECT_EQ(asked_, c.questions) << c.answer;
        EXPECT_EQ(form.Stepper.ExitRequested, c.closes) << c.answer;
        EXPECT_EQ(show.EndAction, c.endActionAfter) << c.answer;
        EXPECT_NE(wording_.find("Das Ende der Vistelo wurde erreicht."), std::string::npos);
        if (!c.closes) { // went on from the first slide
            const std::vector<std::int32_t> positions = Positions();
            ASSERT_GE(positions.size(), 3u);
            EXPECT_EQ(std::vector<std::int32_t>(positions.begin(), positions.begin() + 3),
                      (std::vector<std::int32_t>{0, 1, 0}));
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowEnd, AnAnswerSlowerThanThePauseGivesTheNextSlideItsWholePause)
{
    struct Case {
        int answer;
        TWhatToDoWhenVisteloEnds action;
    };
    const Case cases[] = {
        {arRepeat, deRepeatVistelo}, {arDontAskMore, deRepeatVistelo}, {arRepeat, deRepeatOrLoadVistelo}};
    for (const Case& c : cases) {
        drawn_.clear();
        TVistelo& show = NewShow(2, 500);
        show.EndAction = c.action;
        TShowForm& form = Start();
        RecordDrawnSlides(form);
        std::uint32_t openedAt = 0;
        std::uint32_t answeredAt = 0;
        Run([&] { return drawn_.size() >= 4; }, 20000,
            [&] {
                auto* question = ModalForm<TAskRepeatBaseForm>();
                if (!question || answeredAt != 0)
                    return;
                if (openedAt == 0)
                    openedAt = Elapsed();
                if (Elapsed() - openedAt >= 3000) { // the user takes three seconds
                    answeredAt = Elapsed();
                    (c.answer == arRepeat ? question->RepeatButton : question->DontAskButton)->Click();
                }
            });
        ASSERT_EQ(drawn_.size(), 4u) << c.answer;
        EXPECT_NEAR(static_cast<double>(openedAt), 1000, 15);
        EXPECT_EQ(DrawnPositions(), (std::vector<std::int32_t>{0, 1, 0, 1}));
        // The first slide comes with the answer, and the next after its whole pause.
        EXPECT_GE(drawn_[2].At, answeredAt) << c.answer;
        EXPECT_NEAR(static_cast<double>(drawn_[3].At - drawn_[2].At), 500, 15) << c.answer;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowEnd, AfterTheEndHiddenSlidesAreSkippedInTheStepsDirection)
{
    struct Case {
        const char* name;
        std::vector<bool> shown;
        std::vector<std::int32_t> order; // empty: as stored
        TWhatToDoWhenVisteloEnds action;
        bool left; // Left on the first slide instead of running on
        std::vector<std::int32_t> drawn;
    };
    const Case cases[] = {
        {"repeat with the first slide hidden", {false, true, true}, {}, deRepeatVistelo, false, {1, 2, 1, 2}},
        {"Left with first and last hidden", {false, true, true, false}, {}, deAutoRepeat, true, {1, 2}},
        {"Left, then a repeat answer", {false, true, true, false}, {}, deRepeatVistelo, true, {1, 2}},
        {"shuffled", {true, false, true}, {1, 0, 2}, deRepeatVistelo, false, {1, 2, 1, 2}},
    };
    for (const Case& c : cases) {
        drawn_.clear();
        TVistelo& show = NewShow(static_cast<int>(c.shown.size()), 500);
        show.EndAction = c.action;
        show.StartImmediately = !c.left;
        for (size_t i = 0; i < c.shown.size(); ++i)
            show.Pictures[i]->ShowImage = c.shown[i];
        if (!c.order.empty()) {
            show.RandomOrder = true;
            show.Order = c.order;
        }
        TShowForm& form = Start();
        RecordDrawnSlides(form);
        bool pressed = false;
        Run([&] { return drawn_.size() >= c.drawn.size(); }, 5000,
            [&] {
                if (auto* question = ModalForm<TAskRepeatForm>())
                    question->RepeatButton->Click();
                if (c.left && !pressed && drawn_.size() == 1) {
                    pressed = true;
                    WORD left = VK_LEFT;
                    form.Input->FormKeyUp(left, {});
                }
            });
        EXPECT_EQ(DrawnPositions(), c.drawn) << c.name;
        EXPECT_FALSE(form.Stepper.ExitRequested) << c.name;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowEnd, RepeatOrNextWithSeveralShowsInTheFolderAsksAndPlaysTheNext)
{
    struct Case {
        bool nextLoads;
        std::string playing; // file name after the answer
        int loadQuestions;   // the repeat-or-load question after a next show that did not load
    };
    const Case cases[] = {{true, "b.vsf", 0}, {false, "a.vsf", 1}};
    for (const Case& c : cases) {
        asked_ = 0;
        const std::string a = ShowFile("a", clRed, deRepeatOrNextVistelo);
        if (c.nextLoads)
            ShowFile("b", clLime, deExitImmediately);
        else
            std::ofstream((folder_ / "b.vsf").string()) << "no show";
        TShowForm& form = StartFile(a);
        ASSERT_EQ(Tools::CountStrNr(form.End->ShowFiles), 2);
        int nextQuestions = 0;
        int loadQuestions = 0;
        std::string nextWording;
        Run([&] { return nextQuestions == 1 && ModalForm<TAskRepeatBaseForm>() == nullptr; }, 5000,
            [&] {
                if (auto* question = ModalForm<TAskRepeatNextForm>()) {
                    ++nextQuestions;
                    nextWording = question->QuestionLabel->Caption();
                    question->NextButton->Click();
                } else if (auto* load = ModalForm<TAskRepeatLoadForm>()) {
                    ++loadQuestions;
                    load->RepeatButton->Click();
                }
            });
        EXPECT_EQ(nextQuestions, 1) << c.nextLoads;
        EXPECT_NE(nextWording.find("die nächste Vistelo aus diesem Verzeichnise abspielen"), std::string::npos);
        EXPECT_EQ(loadQuestions, c.loadQuestions) << c.nextLoads;
        EXPECT_EQ(rtl::ExtractFileName(Setup::VisteloFilename), c.playing) << c.nextLoads;
        EXPECT_EQ(SlideColour(), c.nextLoads ? clLime : clRed) << c.nextLoads;
        delete ShowForm;
        ShowForm = nullptr;
        fs::remove(folder_ / "b.vsf");
    }
}

TEST_F(ShowEnd, EscapeAsksOnlyWhenManualExitsAskToo)
{
    struct Case {
        bool manualExitToo;
        TWhatToDoWhenVisteloEnds action;
        bool asks;
    };
    const Case cases[] = {
        {false, deRepeatVistelo, false},
        {true, deRepeatVistelo, true},
        {true, deAutoRepeat, false},
        {true, deExitImmediately, false},
    };
    for (const Case& c : cases) {
        asked_ = 0;
        wording_.clear();
        TVistelo& show = NewShow(3, 1000);
        show.EndAction = c.action;
        show.ManualExitToo = c.manualExitToo;
        TShowForm& form = Start();
        bool pressed = false;
        bool openAfterKey = false;
        Run({}, 2500, [&] { // before the show's own end
            if (!pressed && Elapsed() >= 300) {
                WORD escape = VK_ESCAPE;
                form.Input->FormKeyUp(escape, {});
                // The exit runs from its timer, outside the key handler.
                openAfterKey = !form.Stepper.ExitRequested && form.ModalResult == mrNone;
                pressed = true;
            }
            if (auto* question = ModalForm<TAskRepeatForm>()) {
                ++asked_;
                wording_ = question->QuestionLabel->Caption();
                goOnCaption_ = question->RepeatButton->Caption();
                question->RepeatButton->Click();
            }
        });
        EXPECT_TRUE(openAfterKey);
        EXPECT_EQ(asked_, c.asks ? 1 : 0) << int(c.action);
        EXPECT_EQ(form.Stepper.ExitRequested, !c.asks) << int(c.action);
        if (c.asks) {
            EXPECT_NE(wording_.find("Die Vistelo wurde gestoppt."), std::string::npos);
            EXPECT_EQ(goOnCaption_, "&Ja, weitermachen");
            EXPECT_GE(Positions().size(), 3u); // went on
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowEnd, NextShowOfTheFolderFollowsInOrderAndWraps)
{
    const std::string a = ShowFile("a", clRed, deAutoLoadNextVistelo);
    const std::string b = ShowFile("b", clLime, deAutoLoadNextVistelo);
    const std::string c = ShowFile("c", clBlue, deAutoLoadNextVistelo);
    TShowForm& form = StartFile(a);
    ASSERT_EQ(Tools::CountStrNr(form.End->ShowFiles), 3);
    std::vector<std::string> files;
    std::vector<TColor> colours;
    std::vector<std::uint32_t> times;
    Run({}, 1700, [&] {
        if (files.empty() || files.back() != Setup::VisteloFilename) {
            files.push_back(Setup::VisteloFilename);
            colours.push_back(SlideColour());
            times.push_back(Elapsed());
        }
    });
    EXPECT_EQ(files, (std::vector<std::string>{a, b, c, a}));
    ASSERT_EQ(colours.size(), 4u);
    EXPECT_EQ(std::vector<TColor>(colours.begin() + 1, colours.end()), (std::vector<TColor>{clLime, clBlue, clRed}));
    // Each show's slide stays for its whole pause.
    for (size_t i = 1; i < times.size(); ++i)
        EXPECT_NEAR(static_cast<double>(times[i] - times[i - 1]), 500, 15) << i;
}

TEST_F(ShowEnd, NextShowWithOneShowInTheFolderRepeats)
{
    const std::string a = ShowFile("a", clRed, deAutoLoadNextVistelo);
    TShowForm& form = StartFile(a);
    Run({}, 1700, Answer<TAskRepeatNextForm>([](TAskRepeatNextForm& q) { return q.EndButton; }));
    EXPECT_EQ(Setup::VisteloFilename, a);
    EXPECT_EQ(asked_, 0);
    EXPECT_FALSE(form.Stepper.ExitRequested);
}

TEST_F(ShowEnd, ANextShowThatDoesNotLoadAsksToRepeatOrLoadAndKeepsTheShow)
{
    const std::string a = ShowFile("a", clRed, deAutoLoadNextVistelo);
    std::ofstream((folder_ / "b.vsf").string()) << "no show";
    TShowForm& form = StartFile(a);
    Run({}, 5000, Answer<TAskRepeatLoadForm>([](TAskRepeatLoadForm& q) { return q.RepeatButton; }));
    EXPECT_GE(asked_, 1);
    EXPECT_EQ(Setup::VisteloFilename, a);
    ASSERT_EQ(form.Stepper.Show->Count, 1); // the show playing is intact
    EXPECT_EQ(SlideColour(), clRed);
    EXPECT_FALSE(form.Stepper.ExitRequested);
}

TEST_F(ShowEnd, LoadingAnotherShowFromTheQuestionPlaysIt)
{
    const std::string a = ShowFile("a", clRed, deRepeatOrLoadVistelo);
    fs::create_directories(folder_ / "other");
    const std::string other = ShowFile("other/o", clBlue, deExitImmediately);
    TShowForm& form = StartFile(a);
    ui::ScriptAnswer(mrCancel);    // the first file choice is cancelled: the question stays
    ui::ScriptAnswer(mrOk, other); // the second one chooses a show
    int presses = 0;
    Run({}, 5000, [&] {
        if (auto* question = ModalForm<TAskRepeatLoadForm>()) {
            ++presses;
            question->LoadButton->Click();
        }
    });
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(Setup::VisteloFilename, other);
    EXPECT_EQ(Tools::GetStrNr(form.End->ShowFiles, 0), other); // the folder of the new show
    EXPECT_TRUE(form.Stepper.ExitRequested);                   // which then ended by itself
}

TEST_F(ShowEnd, TheLogoShowsOnlyWhenTheShowAsksForIt)
{
    struct Case {
        TLogo logo;
        std::int32_t pause;
        bool fromObject;
        int shownWidth; // 0: no logo window
        int shownHeight;
    };
    const Case cases[] = {
        {lNoLogo, 5000, false, 0, 0},      {lUserLogo, 0, false, 0, 0},
        {lStdLogo, 5000, true, 0, 0}, // a show object asks for its user logo only
        {lUserLogo, 3000, true, 20, 10},   {lUserLogo, 3000, false, 20, 10},
        {lStdLogo, 3000, false, 480, 270}, // the logo the build draws beside the programs
    };
    Picture("logo.bmp", clYellow, 20, 10);
    Setup::HomeDir = STANDARD_LOGO_FOLDER;
    for (const Case& c : cases) {
        TVistelo& show = NewShow(1);
        show.Logo = c.logo;
        show.LogoPause = c.pause;
        show.LogoFilename = "logo.bmp"; // beside the show file
        int shownWidth = 0;
        int shownHeight = 0;
        std::uint32_t shownFor = 0;
        const std::uint32_t start = GetTickCount();
        Application->OnIdle = [&](TObject*, bool&) {
            if (auto* logo = ModalForm<TLogoForm>()) {
                shownWidth = logo->LogoImage->Picture().Width();
                shownHeight = logo->LogoImage->Picture().Height();
                shownFor = GetTickCount() - start;
            }
        };
        Form().End->VisteloLogo(&show, (folder_ / "show.vsf").string(), c.fromObject);
        Application->OnIdle = nullptr;
        EXPECT_EQ(shownWidth, c.shownWidth) << int(c.logo) << " " << c.pause << " " << c.fromObject;
        EXPECT_EQ(shownHeight, c.shownHeight) << int(c.logo) << " " << c.pause << " " << c.fromObject;
        if (c.shownWidth != 0) { // for the show's logo pause
            EXPECT_GE(shownFor, static_cast<std::uint32_t>(c.pause) - 250) << c.pause;
            EXPECT_LE(shownFor, static_cast<std::uint32_t>(c.pause)) << c.pause;
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

} // namespace
