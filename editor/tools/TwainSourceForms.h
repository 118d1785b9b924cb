#pragma once

// The scanner layer's own windows: choosing the source among the scanner
// library's devices, and the source's settings before a scan.

#include <string>
#include <vector>

#include "platform/ui/Forms.h"

class TButton;
class TComboBox;
class TListBox;
class TSpinEdit;

class TSourceSelectForm : public TForm {
    DECLARE_CLASS(TSourceSelectForm, TForm)
public:
    explicit TSourceSelectForm(TComponent* AOwner);

    TListBox* SourceList = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
};

class TScanSettingsForm : public TForm {
    DECLARE_CLASS(TScanSettingsForm, TForm)
public:
    explicit TScanSettingsForm(TComponent* AOwner);

    TComboBox* ModeCombo = nullptr;
    TComboBox* SourceCombo = nullptr;
    TSpinEdit* ResolutionEdit = nullptr;
    TButton* ScanButton = nullptr;
    TButton* CancelButton = nullptr;
};

namespace TwainSourceForms {

// The user picks one of the devices; false when cancelled.
bool SelectSource(const std::vector<std::string>& devices, std::string& chosen);
// The open source's scan mode, source and resolution; false when the user
// closed the window without scanning.
bool AskScanSettings();

} // namespace TwainSourceForms
