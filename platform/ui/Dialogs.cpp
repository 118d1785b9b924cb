#include "platform/ui/Dialogs.h"

#include "platform/ui/Backend.h"
#include "platform/ui/Forms.h"

namespace ui {
namespace {

struct DialogScript {
    bool active = false;
    std::deque<TDialogAnswer> answers;
    std::vector<TDialogRecord> records;
    std::vector<UINT> beeps;
};

DialogScript& Script()
{
    static DialogScript* script = new DialogScript;
    return *script;
}

using backend::TMessageIcon;

TMessageIcon IconOfFlags(UINT flags)
{
    switch (flags & 0xF0) {
    case MB_ICONSTOP: return TMessageIcon::Critical;
    case MB_ICONQUESTION: return TMessageIcon::Question;
    case MB_ICONWARNING: return TMessageIcon::Warning;
    case MB_ICONINFORMATION: return TMessageIcon::Information;
    default: return TMessageIcon::None;
    }
}

std::vector<TDialogButton> MessageBoxButtons(UINT flags)
{
    switch (flags & 0x0F) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Abbrechen", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"Abbrechen", IDABORT}, {"Wiederholen", IDRETRY}, {"Ignorieren", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"Ja", IDYES}, {"Nein", IDNO}, {"Abbrechen", IDCANCEL}};
    case MB_YESNO: return {{"Ja", IDYES}, {"Nein", IDNO}};
    case MB_RETRYCANCEL: return {{"Wiederholen", IDRETRY}, {"Abbrechen", IDCANCEL}};
    default: return {{"OK", IDOK}};
    }
}

int ModalResultOf(TMsgDlgBtn b)
{
    switch (b) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
    }
    return mrNone;
}

std::string DialogTitle(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return "Warnung";
    case mtError: return "Fehler";
    case mtInformation: return "Information";
    case mtConfirmation: return "Bestätigen";
    default: return Application ? Application->Title : std::string();
    }
}

std::string ApplicationTitle() { return Application ? Application->Title : std::string(); }

} // namespace

std::string ButtonCaption(TMsgDlgBtn Button)
{
    switch (Button) {
    case mbYes: return "Ja";
    case mbNo: return "Nein";
    case mbOK: return "OK";
    case mbCancel: return "Abbrechen";
    case mbAbort: return "Abbrechen";
    case mbRetry: return "Wiederholen";
    case mbIgnore: return "Ignorieren";
    case mbAll: return "Alle";
    case mbNoToAll: return "Nein für alle";
    case mbYesToAll: return "Ja für alle";
    case mbHelp: return "Hilfe";
    }
    return {};
}

TDialogAnswer RunDialog(const TDialogRequest& Request, const std::function<TDialogAnswer()>& show)
{
    DialogScript& s = Script();
    if (!s.active)
        return show();
    TDialogAnswer answer{Request.DefaultResult, Request.Value};
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    s.records.push_back({Request, answer});
    return answer;
}

void BeginDialogScript()
{
    DialogScript& s = Script();
    s.active = true;
    s.answers.clear();
    s.records.clear();
    s.beeps.clear();
}

void EndDialogScript()
{
    DialogScript& s = Script();
    s.active = false;
    s.answers.clear();
}

bool DialogScriptActive() { return Script().active; }
void ScriptAnswer(int Result, const std::string& Value) { Script().answers.push_back({Result, Value}); }
int ScriptedAnswersLeft() { return static_cast<int>(Script().answers.size()); }
const std::vector<TDialogRecord>& RecordedDialogs() { return Script().records; }
void ClearRecordedDialogs() { Script().records.clear(); }
const std::vector<UINT>& RecordedBeeps() { return Script().beeps; }

bool MessageBeep(UINT Type)
{
    DialogScript& s = Script();
    if (s.active) {
        s.beeps.push_back(Type);
        return true;
    }
    backend::Beep(); // the desktop has one alert sound for every kind
    return true;
}

int MessageBox(HWND, const std::string& Text, const std::string& Caption, UINT Flags)
{
    TDialogRequest r;
    r.Kind = "MessageBox";
    r.Caption = Caption;
    r.Text = Text;
    r.Buttons = MessageBoxButtons(Flags);
    size_t defaultIndex = (Flags & 0xF00) >> 8;
    r.DefaultResult = r.Buttons[std::min(defaultIndex, r.Buttons.size() - 1)].Result;
    r.CancelResult = r.Buttons.size() == 1 ? r.Buttons[0].Result : r.Buttons.back().Result;
    if ((Flags & 0x0F) == MB_YESNO)
        r.CancelResult = IDNO;
    return RunDialog(r, [&] { return backend::ShowMessageWindow(r, IconOfFlags(Flags)); }).Result;
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    TDialogRequest r;
    r.Kind = "MessageDlg";
    r.Caption = DialogTitle(DlgType);
    r.Text = Msg;
    for (int b = mbYes; b <= mbHelp; ++b)
        if (Buttons.Contains(static_cast<TMsgDlgBtn>(b)))
            r.Buttons.push_back({ButtonCaption(static_cast<TMsgDlgBtn>(b)), ModalResultOf(static_cast<TMsgDlgBtn>(b))});
    if (r.Buttons.empty())
        r.Buttons.push_back({"OK", mrOk});
    // Enter takes OK or Yes when offered, else the first button; Escape
    // takes Cancel, else No, else OK.
    r.DefaultResult = Buttons.Contains(mbOK) ? mrOk : Buttons.Contains(mbYes) ? mrYes : r.Buttons.front().Result;
    r.CancelResult = mrCancel;
    if (!Buttons.Contains(mbCancel))
        r.CancelResult = Buttons.Contains(mbNo) ? mrNo : (Buttons.Contains(mbOK) ? mrOk : mrCancel);
    TMessageIcon icon = DlgType == mtWarning ? TMessageIcon::Warning
        : DlgType == mtError                 ? TMessageIcon::Critical
        : DlgType == mtInformation           ? TMessageIcon::Information
        : DlgType == mtConfirmation          ? TMessageIcon::Question
                                             : TMessageIcon::None;
    return RunDialog(r, [&] { return backend::ShowMessageWindow(r, icon); }).Result;
}

void ShowMessage(const std::string& Msg)
{
    TDialogRequest r;
    r.Kind = "MessageDlg";
    r.Caption = ApplicationTitle();
    r.Text = Msg;
    r.Buttons = {{"OK", mrOk}};
    r.DefaultResult = mrOk;
    r.CancelResult = mrOk;
    RunDialog(r, [&] { return backend::ShowMessageWindow(r, TMessageIcon::None); });
}

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value)
{
    TDialogRequest r;
    r.Kind = "InputQuery";
    r.Caption = Caption;
    r.Text = Prompt;
    r.Buttons = {{"OK", mrOk}, {"Abbrechen", mrCancel}};
    r.DefaultResult = mrOk;
    r.CancelResult = mrCancel;
    r.Value = Value;
    TDialogAnswer a = RunDialog(r, [&] { return backend::ShowInputWindow(r); });
    if (a.Result != mrOk)
        return false;
    Value = a.Value;
    return true;
}

std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default)
{
    std::string value = Default;
    return InputQuery(Caption, Prompt, value) ? value : Default;
}

} // namespace ui
