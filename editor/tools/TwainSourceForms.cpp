#include "editor/tools/TwainSourceForms.h"

#include "platform/rtl/StringList.h"
#include "platform/scanner/Scanner.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TSourceSelectForm)
IMPLEMENT_CLASS(TScanSettingsForm)

namespace {

TButton* AddButton(TWinControl* Parent, const std::string& Caption, int Left, int Top, TModalResult Result)
{
    auto* button = new TButton(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, 100, 25);
    button->ModalResult = Result;
    return button;
}

void AddLabel(TWinControl* Parent, const std::string& Caption, int Top)
{
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetCaption(Caption);
    label->SetBounds(12, Top + 4, 90, 16);
}

TComboBox* AddCombo(TWinControl* Parent, int Top)
{
    auto* combo = new TComboBox(Parent);
    combo->SetParent(Parent);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(110, Top, 200, 24);
    return combo;
}

// Fills the combo with an option's choices; disabled when the source has
// none.
void ShowChoices(TComboBox* combo, const char* option)
{
    std::vector<std::string> list;
    std::string value;
    const bool offered = scanner::Choices(option, list, value);
    for (const std::string& item : list)
        combo->Items().Add(item);
    combo->SetItemIndex(combo->Items().IndexOf(value));
    combo->SetEnabled(offered);
}

void TakeChoice(TComboBox* combo, const char* option)
{
    if (combo->Enabled() && combo->ItemIndex() >= 0)
        scanner::SetChoice(option, combo->Items().Strings(combo->ItemIndex()));
}

} // namespace

TSourceSelectForm::TSourceSelectForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Quelle auswählen");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(324);
    SetClientHeight(210);
    SourceList = new TListBox(this);
    SourceList->SetParent(this);
    SourceList->SetBounds(12, 12, 300, 150);
    OKButton = AddButton(this, "&OK", 104, 172, mrOk);
    OKButton->Default = true;
    CancelButton = AddButton(this, "&Abbrechen", 212, 172, mrCancel);
    CancelButton->Cancel = true;
}

TScanSettingsForm::TScanSettingsForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Scannen");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(324);
    SetClientHeight(150);
    AddLabel(this, "Modus:", 12);
    ModeCombo = AddCombo(this, 12);
    AddLabel(this, "Vorlage:", 44);
    SourceCombo = AddCombo(this, 44);
    AddLabel(this, "Auflösung:", 76);
    ResolutionEdit = new TSpinEdit(this);
    ResolutionEdit->SetParent(this);
    ResolutionEdit->SetBounds(110, 76, 90, 24);
    ResolutionEdit->MinValue = 1;
    ResolutionEdit->MaxValue = 9600;
    ScanButton = AddButton(this, "&Scannen", 104, 114, mrOk);
    ScanButton->Default = true;
    CancelButton = AddButton(this, "&Abbrechen", 212, 114, mrCancel);
    CancelButton->Cancel = true;
}

namespace TwainSourceForms {

bool SelectSource(const std::vector<std::string>& devices, std::string& chosen)
{
    TSourceSelectForm form(nullptr);
    for (const std::string& device : devices)
        form.SourceList->Items().Add(device);
    form.SourceList->SetItemIndex(std::max(form.SourceList->Items().IndexOf(chosen), devices.empty() ? -1 : 0));
    if (form.ShowModal() != mrOk || form.SourceList->ItemIndex() < 0)
        return false;
    chosen = form.SourceList->Items().Strings(form.SourceList->ItemIndex());
    return true;
}

bool AskScanSettings()
{
    TScanSettingsForm form(nullptr);
    ShowChoices(form.ModeCombo, scanner::ModeOption);
    ShowChoices(form.SourceCombo, scanner::SourceOption);
    int dpi = 0;
    const bool hasResolution = scanner::Resolution(dpi);
    form.ResolutionEdit->SetValue(dpi);
    form.ResolutionEdit->SetEnabled(hasResolution);
    if (form.ShowModal() != mrOk)
        return false;
    TakeChoice(form.ModeCombo, scanner::ModeOption);
    TakeChoice(form.SourceCombo, scanner::SourceOption);
    if (hasResolution)
        scanner::SetResolution(form.ResolutionEdit->Value());
    return true;
}

} // namespace TwainSourceForms
