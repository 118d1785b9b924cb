#pragma once

// The conversion assistant: a wizard that converts the pictures of the open
// show to BMP, JPEG or TGA, optionally resized, and points the entries at the
// new files (ConvertAssistentLogic does the work).

#include "editor/tools/ConvertAssistentLogic.h"
#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TDirectoryEdit;
class TKsSpinEdit;
class TLabel;
class TMemo;
class TPageControl;
class TPanel;
class TVexaProgressBar;
class TRadioButton;
class TRadioGroup;
class TTabSheet;

class TConvertAssistentForm : public TForm {
    DECLARE_CLASS(TConvertAssistentForm, TForm)
public:
    explicit TConvertAssistentForm(TComponent* AOwner);

    TPageControl* PageControl = nullptr;
    TTabSheet* WhichPicsTabSheet = nullptr;
    TTabSheet* ChooseFileFormatTabSheet = nullptr;
    TTabSheet* TabSheet3 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TTabSheet* ReadyTabSheet = nullptr;
    TRadioButton* AllPicsCheck = nullptr;
    TRadioButton* OnlyGreenMarkedCheck = nullptr;
    TRadioButton* OnlyMarkedCheck = nullptr;
    TRadioGroup* FormatRadioGroup = nullptr;
    TButton* JPEGPrefsBtn = nullptr;
    TCheckBox* UserDirCheck = nullptr;
    TDirectoryEdit* UserDirEdit = nullptr;
    TCheckBox* ResizePicturesCheck = nullptr;
    TPanel* ResizePrefsPanel = nullptr;
    TRadioGroup* SizesRadioGroup = nullptr;
    TKsSpinEdit* WidthEdit = nullptr;
    TKsSpinEdit* HeightEdit = nullptr;
    TCheckBox* KeepProportionsCheck = nullptr;
    TCheckBox* OnlySmallerPicsCheck = nullptr;
    TCheckBox* OnlyBiggerPicsCheck = nullptr;
    TRadioButton* DontDeleteCheck = nullptr;
    TRadioButton* DeleteCheck = nullptr;
    TRadioButton* DontUseNewCheck = nullptr;
    TMemo* WhatToDoMemo = nullptr;
    TLabel* FilenameLabel = nullptr;
    TVexaProgressBar* ProgressBar = nullptr;
    TButton* DoConvertBtn = nullptr;
    TButton* FinishBtn = nullptr;
    TButton* NextBtn = nullptr;
    TButton* BackBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // The JPEG settings word and the TGA compression switch.
    TJPEGCompressionWord JPEGSettings = 0x5000;
    bool TargaCompressed = false;

    // The choices of the pages.
    TConvertSettings Settings() const;

    void FormActivate(TObject* Sender);
    void PageControlChange(TObject* Sender);
    void NextBtnClick(TObject* Sender);
    void BackBtnClick(TObject* Sender);
    void FinishBtnClick(TObject* Sender);
    void SizesRadioGroupClick(TObject* Sender);
    void SizeEditChange(TObject* Sender);
    void JPEGPrefsBtnClick(TObject* Sender);
    void DoConvertBtnClick(TObject* Sender);

    static constexpr const char* NoPicturesMessage =
        "Sie können den Assistenten erst benutzen, wenn Sie mindestens ein Bild in der Liste haben.";

private:
    void CreateWhichPage();
    void CreateFormatPage();
    void CreateResizePage();
    void CreateOldFilesPage();
    void CreateReadyPage();
    void CreateButtons();
    void UpdateFormatControls();
    void UpdateResizeControls();
    void GoToPage(int Index);
    void SetNavigationEnabled(bool Enabled);

    bool settingSize_ = false;
};
