// The scriptable dialog layer: scripted answers, recorded texts, German
// buttons and the default answers of unscripted dialogs.

#include <gtest/gtest.h>

#include "UiFixture.h"

namespace {

class DialogsTest : public UiTest { };

std::vector<std::string> Captions(const ui::TDialogRequest& r)
{
    std::vector<std::string> out;
    for (const ui::TDialogButton& b : r.Buttons)
        out.push_back(b.Caption);
    return out;
}

TEST_F(DialogsTest, MessageBoxButtonsAreGermanAndAnswersAreScripted)
{
    struct Case {
        UINT flags;
        std::vector<std::string> buttons;
        int unscripted; // the default button's answer
    };
    const Case cases[] = {
        {MB_OK, {"OK"}, IDOK},
        {MB_OKCANCEL, {"OK", "Abbrechen"}, IDOK},
        {MB_YESNO | MB_ICONQUESTION, {"Ja", "Nein"}, IDYES},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, {"Ja", "Nein", "Abbrechen"}, IDNO},
        {MB_RETRYCANCEL, {"Wiederholen", "Abbrechen"}, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {"Abbrechen", "Wiederholen", "Ignorieren"}, IDIGNORE},
    };
    for (const Case& c : cases) {
        ui::ClearRecordedDialogs();
        EXPECT_EQ(ui::MessageBox(nullptr, "Text", "Titel", c.flags), c.unscripted);
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
        EXPECT_EQ(Captions(ui::RecordedDialogs()[0].Request), c.buttons);
    }
    ui::ScriptAnswer(IDNO);
    ui::ClearRecordedDialogs();
    EXPECT_EQ(ui::MessageBox(nullptr, "Datei speichern?", "Vistelo", MB_YESNO), IDNO);
    const ui::TDialogRecord& r = ui::RecordedDialogs().at(0);
    EXPECT_EQ(r.Request.Text, "Datei speichern?");
    EXPECT_EQ(r.Request.Caption, "Vistelo");
    EXPECT_EQ(r.Answer.Result, IDNO);
    EXPECT_EQ(ui::ScriptedAnswersLeft(), 0);
}

TEST_F(DialogsTest, MessageDlgShowsTheChosenButtonsInOrder)
{
    ui::ScriptAnswer(mrNoToAll);
    EXPECT_EQ(ui::MessageDlg("Überschreiben?", mtConfirmation, {mbYes, mbNo, mbYesToAll, mbNoToAll}, 0), mrNoToAll);
    EXPECT_EQ(ui::MessageDlg("Fehler!", mtError, {mbOK}, 0), mrOk);
    ASSERT_EQ(ui::RecordedDialogs().size(), 2u);
    EXPECT_EQ(Captions(ui::RecordedDialogs()[0].Request),
              (std::vector<std::string>{"Ja", "Nein", "Nein für alle", "Ja für alle"}));
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Caption, "Bestätigen");
    EXPECT_EQ(ui::RecordedDialogs()[1].Request.Caption, "Fehler");
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.CancelResult, mrNo);
}

TEST_F(DialogsTest, InputQueryChangesTheValueOnlyWhenConfirmed)
{
    std::string value = "alt";
    ui::ScriptAnswer(mrOk, "neu");
    EXPECT_TRUE(ui::InputQuery("Name", "Neuer Name:", value));
    EXPECT_EQ(value, "neu");
    ui::ScriptAnswer(mrCancel, "verworfen");
    EXPECT_FALSE(ui::InputQuery("Name", "Neuer Name:", value));
    EXPECT_EQ(value, "neu");
    ui::ScriptAnswer(mrCancel);
    EXPECT_EQ(ui::InputBox("Name", "Neuer Name:", "vorgabe"), "vorgabe");
    // Unscripted, the dialog is confirmed with the offered text.
    EXPECT_EQ(ui::InputBox("Name", "Neuer Name:", "vorgabe"), "vorgabe");
    EXPECT_EQ(ui::RecordedDialogs().at(0).Request.Value, "alt");
    EXPECT_EQ(ui::RecordedDialogs().at(0).Request.Text, "Neuer Name:");
}

TEST_F(DialogsTest, BeepsAreRecordedBesideTheDialogsAndTakeNoAnswer)
{
    ui::ScriptAnswer(IDYES);
    EXPECT_TRUE(ui::MessageBeep(MB_ICONWARNING));
    EXPECT_EQ(ui::MessageBox(nullptr, "Ersetzen?", "Vistelo", MB_YESNO), IDYES);
    EXPECT_TRUE(ui::MessageBeep(0));
    EXPECT_EQ(ui::RecordedBeeps(), (std::vector<UINT>{MB_ICONWARNING, 0}));
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Kind, "MessageBox");
    ui::BeginDialogScript(); // a new script starts without the old beeps
    EXPECT_TRUE(ui::RecordedBeeps().empty());
}

} // namespace
