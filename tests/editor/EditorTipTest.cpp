// The main window's tip of the day: shown by the start step while tips are
// on, from the help menu always, and remembered in the registry.

#include "core/Setup.h"
#include "editor/app/Config.h"
#include "editor/app/EditorTips.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DYK.h"
#include "editor/controls/DYKForm.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace {

class EditorTipTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedHomeDir_ = Setup::HomeDir;
        Setup::HomeDir = scratch_.Path("");
        savedConfirmExit_ = VisteloSetup::ConfirmExit;
        VisteloSetup::ConfirmExit = false;
    }
    void TearDown() override
    {
        VisteloSetup::ConfirmExit = savedConfirmExit_;
        Setup::HomeDir = savedHomeDir_;
        UiTest::TearDown();
    }

    static void WriteTipValues(bool showTips, int tipNr)
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(Config::EditorKey, true));
        registry.WriteBool("ShowTips", showTips);
        registry.WriteInteger("TipNr", tipNr);
    }

    // Closes the main window and reads back the tip values it stored
    // (ShowTips, TipNr).
    static std::pair<bool, int> ClosedAndStored(TAAForm& form)
    {
        TCloseAction action = caHide;
        form.FormClose(&form, action);
        TRegistry registry(KEY_READ);
        EXPECT_TRUE(registry.OpenKeyReadOnly(Config::EditorKey));
        return {registry.ReadBool("ShowTips"), registry.ReadInteger("TipNr")};
    }

    // The main window on the screen, as the program starts it.
    std::unique_ptr<TAAForm> ShownMainWindow()
    {
        std::unique_ptr<TAAForm> form(new TAAForm(nullptr));
        form->Show();
        return form;
    }

    // The tip the window shows when it comes up (empty: no window came).
    std::string TipShownBy(const std::function<void()>& action, bool untickShowTips = false)
    {
        std::string text = "";
        Later([&] {
            if (auto* form = ModalForm<TDidYouKnowForm>()) {
                text = ui::test::ShownWidget(form->DidYouKnowEdit).Text;
                if (untickShowTips)
                    form->ShowTipsCheck->SetChecked(false);
                form->CloseBtn->Click();
            }
        });
        action();
        Turn();
        return text;
    }

    static std::string Tip(int index)
    {
        TStringList tips;
        EditorTips::FillTips(tips);
        std::string text = tips.Strings(index);
        for (char& c : text)
            if (c == '\r')
                c = '\n';
        return text;
    }

    EditorScratch scratch_;

private:
    std::string savedHomeDir_;
    bool savedConfirmExit_ = false;
};

TEST_F(EditorTipTest, AFirstStartShowsTheFirstTipAndClosingRemembersTheNext)
{
    std::unique_ptr<TAAForm> hidden(new TAAForm(nullptr));
    EXPECT_EQ(TipShownBy([&] { hidden->StartTimerTimer(nullptr); }), "") << "no tip without the main window";
    hidden.reset();

    std::unique_ptr<TAAForm> form = ShownMainWindow();
    EXPECT_TRUE(form->DidYouKnow->ShowTip);
    EXPECT_EQ(TipShownBy([&] { form->StartTimerTimer(nullptr); }), Tip(0));
    EXPECT_EQ(form->DidYouKnow->StartTipNr, 1);
    EXPECT_EQ(ClosedAndStored(*form), (std::pair{true, 1}));
}

TEST_F(EditorTipTest, TheStartGoesOnAtTheStoredTipAndTheCheckBoxTurnsTipsOff)
{
    WriteTipValues(true, 5);
    std::unique_ptr<TAAForm> form = ShownMainWindow();
    EXPECT_EQ(TipShownBy([&] { form->StartTimerTimer(nullptr); }, true), Tip(5));
    EXPECT_EQ(ClosedAndStored(*form), (std::pair{false, 6}));
}

TEST_F(EditorTipTest, WithTipsOffTheStartShowsNoneButTheHelpMenuDoes)
{
    WriteTipValues(false, 2);
    std::unique_ptr<TAAForm> form = ShownMainWindow();
    EXPECT_EQ(TipShownBy([&] { form->StartTimerTimer(nullptr); }), "");
    TMenuItem* item = form->MainMenu->Items().Find("?")->Find("Tipp des Tages...");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ShortCut, ShortCut(VK_F1, {ssCtrl}));
    EXPECT_EQ(TipShownBy([&] { item->Click(); }), Tip(2));
    EXPECT_FALSE(form->DidYouKnow->ShowTip);
    EXPECT_FALSE(form->DidYouKnow->ForceShow);
    EXPECT_EQ(form->DidYouKnow->StartTipNr, 3);
}

} // namespace
