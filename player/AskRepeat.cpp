#include "player/AskRepeat.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Resources.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "player/PlayerSetup.h"

IMPLEMENT_CLASS(TAskRepeatBaseForm)
IMPLEMENT_CLASS(TAskRepeatForm)
IMPLEMENT_CLASS(TAskRepeatLoadForm)
IMPLEMENT_CLASS(TAskRepeatNextForm)

namespace {

constexpr int Margin = 12;
constexpr int ImageSize = 32;
constexpr int TextLeft = Margin + ImageSize + Margin;
constexpr int TextWidth = 360;
constexpr int TextHeight = 96;
constexpr int ButtonWidth = 220;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 6;

constexpr char StoppedGoOn[] = "&Ja, weitermachen";

const TAskRepeatWording RepeatWording{
    "Vistelo wiederholen?",
    "Das Ende der Vistelo wurde erreicht.\r\n\r\nMöchten Sie, dass die Vistelo wiederholt wird, oder möchten Sie "
    "sie beenden?",
    "Die Vistelo wurde gestoppt.\r\rMöchten Sie sie weiterlaufen lassen, oder möchten Sie die Vistelo beenden?",
    "Ja, und nicht mehr &fragen"};

const TAskRepeatWording RepeatLoadWording{
    "Vistelo wiederholen oder neue Vistelo laden?",
    "Das Ende der Vistelo wurde erreicht.\r\n\r\nMöchten Sie, dass diese Vistelo wiederholt oder beendet wird, "
    "oder möchten Sie eine andere Vistelo laden?",
    "Die Vistelo wurde gestoppt.\r\rMöchten Sie sie weiterlaufen lassen, beenden oder möchten Sie eine neue "
    "Vistelo laden?",
    "&Ja, und nicht mehr fragen"};

const TAskRepeatWording RepeatNextWording{
    "Vistelo wiederholen oder nächste laden?",
    "Das Ende der Vistelo wurde erreicht.\r\n\r\nMöchten Sie, dass diese Vistelo wiederholt oder beendet wird, "
    "oder möchten Sie die nächste Vistelo aus diesem Verzeichnise abspielen?",
    "Die Vistelo wurde gestoppt.\r\rMöchten Sie sie weiterlaufen lassen, beenden oder möchten Sie die nächste "
    "Vistelo aus dem Verzeichnis abspielen?",
    "&Ja, und nicht mehr fragen"};

} // namespace

TAskRepeatBaseForm::TAskRepeatBaseForm(TComponent* AOwner, const TAskRepeatWording& Wording)
    : TForm(AOwner), endText_(Wording.EndText), stoppedText_(Wording.StoppedText)
{
    SetCaption(Wording.Caption);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);

    QuestionImage = new TImage(this);
    QuestionImage->SetParent(this);
    QuestionImage->SetBounds(Margin, Margin, ImageSize, ImageSize);
    QuestionImage->Picture().Bitmap().LoadFromResourceName(rtl::HInstance(), "BigQuestion");

    QuestionLabel = new TLabel(this);
    QuestionLabel->SetParent(this);
    QuestionLabel->SetAutoSize(false);
    QuestionLabel->SetWordWrap(true);
    QuestionLabel->SetBounds(TextLeft, Margin, TextWidth, TextHeight);

    nextButtonTop_ = Margin + TextHeight + Margin;
    RepeatButton = AddButton("&Ja, wiederholen", arRepeat);
    RepeatButton->Default = true;
    EndButton = AddButton("&Nein, beenden", arEnd);
    EndButton->Cancel = true;
    DontAskButton = AddButton(Wording.DontAsk, arDontAskMore);
}

TButton* TAskRepeatBaseForm::AddButton(const std::string& Caption, int Answer)
{
    auto* button = new TButton(this);
    button->SetParent(this);
    button->SetCaption(Caption);
    button->SetBounds(TextLeft, nextButtonTop_, ButtonWidth, ButtonHeight);
    nextButtonTop_ += ButtonHeight + ButtonGap;
    if (Answer != arLoadOther) {
        button->OnClick = [this, Answer](TObject*) {
            answer_ = Answer;
            ModalResult = mrOk;
        };
    }
    Layout();
    return button;
}

void TAskRepeatBaseForm::Answer(int Code)
{
    answer_ = Code;
    ModalResult = mrOk;
}

void TAskRepeatBaseForm::Layout()
{
    SetClientWidth(TextLeft + TextWidth + Margin);
    SetClientHeight(nextButtonTop_ - ButtonGap + Margin);
}

int TAskRepeatBaseForm::Run(bool Stopped)
{
    QuestionLabel->SetCaption(Stopped ? stoppedText_ : endText_);
    RepeatButton->SetCaption(Stopped ? StoppedGoOn : "&Ja, wiederholen");
    answer_ = arEnd;
    ShowModal();
    return answer_;
}

TAskRepeatForm::TAskRepeatForm(TComponent* AOwner) : TAskRepeatBaseForm(AOwner, RepeatWording) { }

int TAskRepeatForm::Execute(bool Stopped) { return Run(Stopped); }

TAskRepeatLoadForm::TAskRepeatLoadForm(TComponent* AOwner) : TAskRepeatBaseForm(AOwner, RepeatLoadWording)
{
    LoadButton = AddButton("neue Vistelo laden", arLoadOther);
    LoadButton->OnClick = [this](TObject* Sender) { LoadButtonClick(Sender); };
}

int TAskRepeatLoadForm::Execute(bool Stopped, std::string& FileName)
{
    chosen_.clear();
    const int answer = Run(Stopped);
    if (answer == arLoadOther)
        FileName = chosen_;
    return answer;
}

void TAskRepeatLoadForm::LoadButtonClick(TObject*)
{
    // The question stays open until a file is chosen.
    chosen_ = PlayerSetup::ChoosePlayerFilename();
    if (!chosen_.empty())
        Answer(arLoadOther);
}

TAskRepeatNextForm::TAskRepeatNextForm(TComponent* AOwner) : TAskRepeatBaseForm(AOwner, RepeatNextWording)
{
    NextButton = AddButton("nächste Vistelo", arNextShow);
}

int TAskRepeatNextForm::Execute(bool Stopped) { return Run(Stopped); }
