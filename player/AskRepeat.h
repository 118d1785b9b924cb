#pragma once

// The three questions at the end of a show (or when it was stopped): repeat,
// end, or go on to another show. Each returns the answer code of the button
// pressed, 0 when the dialog was closed otherwise; the caller frees it.

#include "platform/ui/Forms.h"

#include <string>

class TButton;
class TImage;
class TLabel;

// Answer codes of the questions.
constexpr int arEnd = 0;         // "Nein, beenden" or closed
constexpr int arRepeat = 1;      // repeat, or go on when stopped
constexpr int arDontAskMore = 2; // repeat and never ask again
constexpr int arLoadOther = 3;   // another show file was chosen
constexpr int arNextShow = 4;    // play the next show of the folder

// The words that tell the three questions apart.
struct TAskRepeatWording {
    const char* Caption;
    const char* EndText;     // at the end of the show
    const char* StoppedText; // when the show was stopped
    const char* DontAsk;     // the caption of the "never ask again" button
};

// What the three questions share: the question-mark picture, the text, and
// the buttons with their answers (repeat, end, never ask again; a question
// adds its own below).
class TAskRepeatBaseForm : public TForm {
    DECLARE_CLASS(TAskRepeatBaseForm, TForm)
public:
    TAskRepeatBaseForm(TComponent* AOwner, const TAskRepeatWording& Wording);

    TImage* QuestionImage = nullptr;
    TLabel* QuestionLabel = nullptr;
    TButton* RepeatButton = nullptr;
    TButton* EndButton = nullptr;
    TButton* DontAskButton = nullptr;

protected:
    // Sets the stopped or the end-of-show wording, then runs modally.
    int Run(bool Stopped);
    // Adds a button under the others; a click answers Answer and closes,
    // except for arLoadOther, whose button decides itself.
    TButton* AddButton(const std::string& Caption, int Answer);
    // Closes the question with this answer.
    void Answer(int Code);

private:
    std::string endText_;
    std::string stoppedText_;
    void Layout();
    int nextButtonTop_ = 0;
    int answer_ = arEnd;
};

class TAskRepeatForm : public TAskRepeatBaseForm {
    DECLARE_CLASS(TAskRepeatForm, TAskRepeatBaseForm)
public:
    explicit TAskRepeatForm(TComponent* AOwner);
    int Execute(bool Stopped);
};

class TAskRepeatLoadForm : public TAskRepeatBaseForm {
    DECLARE_CLASS(TAskRepeatLoadForm, TAskRepeatBaseForm)
public:
    explicit TAskRepeatLoadForm(TComponent* AOwner);
    // With answer arLoadOther, FileName is the chosen show file.
    int Execute(bool Stopped, std::string& FileName);

    TButton* LoadButton = nullptr;

private:
    void LoadButtonClick(TObject* Sender);
    std::string chosen_;
};

class TAskRepeatNextForm : public TAskRepeatBaseForm {
    DECLARE_CLASS(TAskRepeatNextForm, TAskRepeatBaseForm)
public:
    explicit TAskRepeatNextForm(TComponent* AOwner);
    int Execute(bool Stopped);

    TButton* NextButton = nullptr;
};
