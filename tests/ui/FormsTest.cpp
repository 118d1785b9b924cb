// Forms: the modal loop, closing, and the application's exception handler.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "UiFixture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"

namespace {

class FormsTest : public UiTest { };

TEST_F(FormsTest, ModalLoopEndsWithModalResultAndNests)
{
    TForm* outer = NewForm();
    TForm* inner = NewForm();
    std::vector<std::string> log;
    outer->OnShow = [&](TObject*) {
        Later([&] {
            log.push_back("inner start");
            inner->OnShow = [&](TObject*) { Later([&] { inner->ModalResult = mrYes; }); };
            log.push_back("inner " + std::to_string(inner->ShowModal()));
            EXPECT_TRUE(outer->Modal());
            EXPECT_FALSE(inner->Visible());
            outer->ModalResult = mrNo;
        });
    };
    EXPECT_EQ(outer->ShowModal(), mrNo);
    EXPECT_FALSE(outer->Visible());
    EXPECT_FALSE(outer->Modal());
    EXPECT_EQ(log, (std::vector<std::string>{"inner start", "inner " + std::to_string(mrYes)}));
}

TEST_F(FormsTest, CloseQueryCanKeepAModalFormOpen)
{
    TForm* form = NewForm();
    int asked = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
    form->OnShow = [&](TObject*) {
        Later([&] { form->ModalResult = mrOk; });
        Later([&] { form->ModalResult = mrCancel; });
    };
    // The first result is refused and reset; the second one closes.
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(FormsTest, ShowModalOfAVisibleFormIsRefused)
{
    TForm* form = NewForm();
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(FormsTest, AFormShownModallyAgainHasTheKeyboardAgain)
{
    TForm* form = NewForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::vector<TWinControl*> focused;
    form->OnShow = [&](TObject*) {
        Later([&] {
            focused.push_back(ui::test::FocusedControl());
            form->ModalResult = mrOk;
        });
    };
    form->ShowModal();
    form->ShowModal();
    EXPECT_EQ(focused, (std::vector<TWinControl*>{edit, edit}));
}

TEST_F(FormsTest, CloseActionDecidesWhatHappens)
{
    struct Case {
        TCloseAction action;
        bool visibleAfter;
        bool freed;
    };
    for (Case c : {Case{caHide, false, false}, Case{caNone, true, false}, Case{caFree, false, true}}) {
        auto* form = new TForm(nullptr);
        bool destroyed = false;
        form->OnDestroy = [&](TObject*) { destroyed = true; };
        form->OnClose = [&](TObject*, TCloseAction& action) { action = c.action; };
        form->Show();
        // The window system's close button arrives as WM_CLOSE.
        ui::test::CloseWindowByUser(form);
        Turn();
        EXPECT_EQ(destroyed, c.freed) << int(c.action);
        if (!c.freed) {
            EXPECT_EQ(form->Visible(), c.visibleAfter) << int(c.action);
            delete form;
        }
    }
}

TEST_F(FormsTest, HandleExceptionShowsTheTextAndKeepsAbortSilent)
{
    Application->Title = "Vistelo";
    try {
        throw EFOpenError("Fehler beim Laden der Datei \"a.vst\"");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw EAbort("");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    const ui::TDialogRequest& r = ui::RecordedDialogs()[0].Request;
    // A full stop is added only after a letter or digit, not after a quote.
    EXPECT_EQ(r.Text, "Fehler beim Laden der Datei \"a.vst\"");
    EXPECT_EQ(r.Caption, "Vistelo");

    // OnException takes over.
    std::string seen;
    Application->OnException = [&](TObject*, Exception& e) { seen = e.Message; };
    try {
        throw std::runtime_error("kaputt");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    EXPECT_EQ(seen, "kaputt");
    EXPECT_EQ(ui::RecordedDialogs().size(), 1u);
}

TEST_F(FormsTest, ExceptionInAMessageHandlerReachesTheApplication)
{
    TForm* form = NewForm();
    form->OnKeyDown = [](TObject*, WORD&, TShiftState) { throw EConvertError("'x' ist kein Wert"); };
    form->Show();
    SendKey(form, TKeyAction::Press, ui::test::Letter('X'));
    Turn();
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "'x' ist kein Wert.");
}

TEST_F(FormsTest, StayOnTopAndFindWindow)
{
    TForm* form = NewForm();
    form->SetCaption("Vistelo Player");
    form->Show();
    HWND h = form->Handle();
    EXPECT_FALSE(ui::IsWindowTopMost(h));
    ui::SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(ui::IsWindowTopMost(h));
    EXPECT_TRUE(ui::test::ShownWindow(form).StaysOnTop);
    // While top-mosts are normalised the window lets others come first.
    Application->NormalizeTopMosts();
    EXPECT_FALSE(ui::test::ShownWindow(form).StaysOnTop);
    Application->RestoreTopMosts();
    EXPECT_TRUE(ui::test::ShownWindow(form).StaysOnTop);
    ui::SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(ui::IsWindowTopMost(h));

    EXPECT_EQ(ui::FindWindow("TForm", "Vistelo Player"), h);
    EXPECT_EQ(ui::FindWindow("", "Vistelo Player"), h);
    EXPECT_EQ(ui::FindWindow("Shell_TrayWnd", ""), nullptr);
}

TEST_F(FormsTest, ShowCursorCountsAndWorkAreaIsKnown)
{
    int start = ui::ShowCursor(true) - 1;
    EXPECT_EQ(ui::ShowCursor(false), start);
    EXPECT_EQ(ui::ShowCursor(false), start - 1);
    EXPECT_EQ(ui::ShowCursor(true), start);

    TRect area;
    ASSERT_TRUE(ui::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area, Screen->WorkAreaRect());
    EXPECT_GT(area.Width(), 0);
    EXPECT_LE(area.Width(), Screen->Width());
}

TEST_F(FormsTest, SystemCommandsChangeTheWindowStateAndCanBeSwallowed)
{
    TForm* form = NewForm();
    form->Show();
    Turn();
    form->Perform(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Turn();
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
    Turn();
    EXPECT_EQ(form->WindowState(), wsNormal);

    // A screen saver's window swallows the commands it must not obey.
    TWndMethod inner = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_MAXIMIZE)
            return;
        inner(m);
    };
    form->Perform(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Turn();
    EXPECT_EQ(form->WindowState(), wsNormal);
    form->WindowProc = inner;

    bool closed = false;
    form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
    form->Perform(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form->Visible());
}

TEST_F(FormsTest, FormIconBecomesTheWindowIcon)
{
    std::string path = ::testing::TempDir() + "ui_form_icon.ico";
    ASSERT_EQ(std::system(("convert -size 16x16 xc:red " + path).c_str()), 0);
    TForm* form = NewForm();
    form->Show();
    EXPECT_FALSE(ui::test::ShownWindow(form).HasIcon);
    form->Icon().LoadFromFile(path);
    ASSERT_TRUE(ui::test::ShownWindow(form).HasIcon);
    ui::test::TShownImage image = ui::test::WindowIcon(form, 16);
    EXPECT_EQ(image.Color(8, 8), clRed);
    EXPECT_EQ(image.Alpha(8, 8), 255);
    std::remove(path.c_str());
}

TEST_F(FormsTest, TimerDrivenModalLoopRunsInVirtualTime)
{
    rtl::SetClockForTests(10000);
    ui::SetVirtualTimeForTests(true);
    TForm* form = NewForm();
    TTimer timer(nullptr);
    timer.SetInterval(5000);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3)
            form->ModalResult = mrOk;
    };
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(GetTickCount(), 25000u);
}

TEST_F(FormsTest, ConstraintsHoldForCodeAlignmentAndTheUsersResizing)
{
    struct Case {
        const char* what;
        int minW, minH, maxW, maxH;
        int width, height;
        int wantW, wantH;
    };
    const Case cases[] = {
        {"open limits", 0, 0, 0, 0, 500, 20, 500, 20},
        {"raised to the minimum", 363, 200, 0, 0, 100, 50, 363, 200},
        {"lowered to the maximum", 0, 0, 400, 300, 900, 700, 400, 300},
        {"inside the limits", 100, 100, 400, 300, 250, 150, 250, 150},
        {"one side limited", 0, 120, 0, 0, 80, 60, 80, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TForm* form = NewForm(200, 150);
        form->Constraints().SetMinWidth(c.minW);
        form->Constraints().SetMinHeight(c.minH);
        form->Constraints().SetMaxWidth(c.maxW);
        form->Constraints().SetMaxHeight(c.maxH);
        form->SetBounds(10, 10, c.width, c.height);
        EXPECT_EQ(form->Width(), c.wantW);
        EXPECT_EQ(form->Height(), c.wantH);

        form->Show();
        Turn();
        ui::test::TShownWindow window = ui::test::ShownWindow(form);
        EXPECT_EQ(window.MinWidth, c.minW) << "the window system stops the drag there";
        EXPECT_EQ(window.MinHeight, c.minH);
        ui::test::ResizeWindowByUser(form, c.width, c.height); // as the user drags the frame
        Turn();
        EXPECT_EQ(form->Width(), c.wantW);
        EXPECT_EQ(form->Height(), c.wantH);
        window = ui::test::ShownWindow(form);
        EXPECT_EQ(window.Width, c.wantW);
        EXPECT_EQ(window.Height, c.wantH);
    }
}

TEST_F(FormsTest, NewConstraintsResizeAtOnceAndTheLatestLimitWins)
{
    TForm* form = NewForm(300, 200);
    form->Show();
    Turn();
    form->Constraints().SetMaxWidth(250);
    EXPECT_EQ(form->Width(), 250);
    form->Constraints().SetMinWidth(280); // above the maximum: lifts it
    EXPECT_EQ(form->Constraints().MaxWidth(), 280);
    EXPECT_EQ(form->Width(), 280);
    form->Constraints().SetMaxHeight(100);
    form->Constraints().SetMinHeight(50);
    form->Constraints().SetMaxHeight(40); // below the minimum: lowers it
    EXPECT_EQ(form->Constraints().MinHeight(), 40);
    EXPECT_EQ(form->Height(), 40);
    form->Constraints().SetMaxWidth(0); // open again: the size stays
    form->SetWidth(600);
    EXPECT_EQ(form->Width(), 600);

    // An aligned child keeps its limits too; the rest goes to its neighbour.
    auto* left = new TPanel(form);
    left->SetParent(form);
    left->SetAlign(alLeft);
    left->SetWidth(500);
    left->Constraints().SetMaxWidth(150);
    auto* rest = new TPanel(form);
    rest->SetParent(form);
    rest->SetAlign(alClient);
    EXPECT_EQ(left->Width(), 150);
    EXPECT_EQ(rest->Left(), 150);
    EXPECT_EQ(rest->Width(), 450);
}

} // namespace
