#include "player/SpeedChg.h"

#include "core/VisteloNPics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

#include <charconv>

IMPLEMENT_CLASS(TSpeedChgForm)

namespace {

TLabel* NewLabel(TSpeedChgForm* Form, const std::string& Caption, int Left, int Top)
{
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption(Caption);
    label->SetBounds(Left, Top, label->Width(), label->Height());
    return label;
}

TButton* NewButton(TSpeedChgForm* Form, const std::string& Caption, int Left, int Top)
{
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, 90, 25);
    return button;
}

// "(2.5s)" for 2500 ms: one decimal, a point whatever the user's locale.
std::string SecondsText(int Milliseconds)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, Milliseconds / 1000.0, std::chars_format::fixed,
                                      1);
    return "(" + std::string(digits, result.ptr) + "s)";
}

} // namespace

TSpeedChgForm::TSpeedChgForm(TComponent* AOwner, TVistelo& Show) : TForm(AOwner), show_(Show)
{
    SetCaption("Geschwindigkeit");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(300);
    SetClientHeight(100);
    KeyPreview = true;

    PauseLabel = NewLabel(this, "Pause zwischen den Bildern:", 12, 12);
    PauseEdit = new TSpinEdit(this);
    PauseEdit->SetParent(this);
    PauseEdit->SetBounds(12, 32, 110, 22);
    PauseEdit->Increment = 500;
    PauseEdit->MinValue = 1;
    PauseEdit->MaxValue = 99999999;
    PauseEdit->OnChange = [this](TObject* Sender) { PauseEditChange(Sender); };
    UnitLabel = NewLabel(this, "ms", 128, 36);
    SecondsLabel = NewLabel(this, SecondsText(0), 152, 36);

    OKButton = NewButton(this, "&OK", 104, 66);
    OKButton->Default = true;
    OKButton->OnClick = [this](TObject* Sender) { OKButtonClick(Sender); };
    CancelButton = NewButton(this, "&Abbrechen", 200, 66);
    CancelButton->Cancel = true;
    CancelButton->ModalResult = mrCancel;

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) { PauseEditKeyDown(Sender, Key, Shift); };
    OnKeyPress = [this](TObject* Sender, char32_t& Key) { PauseEditKeyPress(Sender, Key); };
}

TModalResult TSpeedChgForm::Execute() { return ShowModal(); }

void TSpeedChgForm::UpdateSecondsLabel() { SecondsLabel->SetCaption(SecondsText(PauseEdit->Value())); }

void TSpeedChgForm::FormActivate(TObject*)
{
    PauseEdit->SetValue(show_.Pause);
    UpdateSecondsLabel();
}

void TSpeedChgForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TSpeedChgForm::PauseEditChange(TObject*) { UpdateSecondsLabel(); }

void TSpeedChgForm::PauseEditKeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_RETURN && ActiveControl() == PauseEdit) {
        Key = 0;
        OKButtonClick(this);
    }
}

void TSpeedChgForm::PauseEditKeyPress(TObject*, char32_t& Key)
{
    // The spin edit would refuse Enter with a beep.
    if (Key == U'\r' && ActiveControl() == PauseEdit)
        Key = 0;
}

void TSpeedChgForm::OKButtonClick(TObject*)
{
    show_.Pause = PauseEdit->Value();
    ModalResult = mrOk;
}
