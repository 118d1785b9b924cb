#pragma once

// Message boxes and small input dialogs, with German buttons, and the one
// layer every user dialog passes through: tests script the answers and read
// back what was asked, so no test ever waits for a person.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"

// MessageBox flags and answers.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONSTOP = 0x0010;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : std::uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = TEnumSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

namespace ui {

// One button of a dialog: its German caption and the answer it gives.
struct TDialogButton {
    std::string Caption;
    int Result = 0;
};

// What a dialog asks, as the scripting layer records it.
struct TDialogRequest {
    std::string Kind;    // "MessageBox", "MessageDlg", "InputQuery", or a common dialog's name
    std::string Caption; // window title
    std::string Text;    // message or prompt
    std::vector<TDialogButton> Buttons;
    int DefaultResult = 0; // what Enter (and an unscripted test) answers
    int CancelResult = 0;  // what Escape and closing the window answer
    std::string Value;     // the text offered for editing (input dialogs, file names)
};

// The answer: the result of the pressed button and the edited value.
struct TDialogAnswer {
    int Result = 0;
    std::string Value;
};

// A dialog as shown and answered, for tests to read back.
struct TDialogRecord {
    TDialogRequest Request;
    TDialogAnswer Answer;
};

// Runs a dialog through the layer: while scripting is on, the next scripted
// answer is taken (or the default button when none is left) and the window
// never shows; otherwise `show` asks the user. Every dialog is recorded while
// scripting is on.
TDialogAnswer RunDialog(const TDialogRequest& Request, const std::function<TDialogAnswer()>& show);

// The test side.
void BeginDialogScript();
void EndDialogScript();
bool DialogScriptActive();
void ScriptAnswer(int Result, const std::string& Value = {});
int ScriptedAnswersLeft();
const std::vector<TDialogRecord>& RecordedDialogs();
void ClearRecordedDialogs();
// The beeps asked for while scripting is on, in order.
const std::vector<UINT>& RecordedBeeps();

// The desktop's alert sound; Type is a message box icon flag or 0 (the
// default beep). While scripting is on the beep is only recorded, and it
// never takes a scripted answer.
bool MessageBeep(UINT Type);

// The message box of the platform: returns IDOK, IDCANCEL, IDYES, ...
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);
// The library's message dialog: returns mrOk, mrYes, ...
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const std::string& Msg);
std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default);
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);

// The German caption of a button.
std::string ButtonCaption(TMsgDlgBtn Button);

} // namespace ui
