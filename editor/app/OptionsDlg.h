#pragma once

// "Einstellungen": the editor's preferences and the defaults for new shows,
// on four tabs. It shows the preferences when it is activated and writes
// them back on OK; the registry gets them when the editor saves its
// preferences. A compression accepted in the JPEG dialog stays even when
// this dialog is cancelled.

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TJPEGCompressionDlg;
class TKsSpinEdit;
class TLabel;
class TPageControl;
class TRadioButton;
class TTabSheet;

// The tabs, in their order.
enum TOptionsPage : int { opProgram, opDragDrop, opCatalog, opDefaults };

class TOptionsDlg : public TForm {
    DECLARE_CLASS(TOptionsDlg, TForm)
public:
    explicit TOptionsDlg(TComponent* AOwner);
    ~TOptionsDlg() override;

    // Shows the dialog modally at the tab and frees it; true after OK.
    static bool Execute(TComponent* AOwner, TOptionsPage Page = opProgram);

    TPageControl* PageControl = nullptr;
    TTabSheet* ProgramSheet = nullptr;
    TTabSheet* DragDropSheet = nullptr;
    TTabSheet* CatalogSheet = nullptr;
    TTabSheet* DefaultsSheet = nullptr;

    TCheckBox* ShowPreviewCheck = nullptr;
    TCheckBox* KeepPreviewProportionsCheck = nullptr;
    TCheckBox* SmoothScaleCheck = nullptr;
    TCheckBox* ConfirmExitCheck = nullptr;
    TCheckBox* DoublePicsCheckBtn = nullptr;
    TCheckBox* AnimateLogoCheck = nullptr;
    TCheckBox* HideMouseCursorCheck = nullptr;
    TCheckBox* ShowErrorInShowCheck = nullptr;
    TCheckBox* ForceUseInternalMP3PlayerCheck = nullptr;

    TRadioButton* DragFilenamesCheck = nullptr;
    TRadioButton* DragPicturesCheck = nullptr;
    TCheckBox* DragManyPicsUseFilenamesCheck = nullptr;

    TKsSpinEdit* ThumbWidthEdit = nullptr;
    TKsSpinEdit* ThumbHeightEdit = nullptr;
    TCheckBox* SaveThumbNailsCheck = nullptr;
    TButton* ThumbnailCompressionBtn = nullptr;
    TCheckBox* ShowThumbFilenamesCheck = nullptr;
    TCheckBox* MarkDropTargetCheck = nullptr;
    TCheckBox* CatalogMarkDontShowCheck = nullptr;
    TJPEGCompressionDlg* JPEGCompressionDlg = nullptr;

    TKsSpinEdit* StdPauseSpinEdit = nullptr;
    TCheckBox* StdRandomOrderCheck = nullptr;
    TCheckBox* StdShowNoDescriptionCheck = nullptr;
    TCheckBox* StdStartFullScreenCheck = nullptr;
    TCheckBox* StdShowNavigationBarCheck = nullptr;
    TCheckBox* StdShowCommentsBoxCheck = nullptr;
    TCheckBox* StdShowFilenameInNavigationBarCheck = nullptr;

    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;

    void FormActivate();
    void OKBtnClick();
    void DragRadioClick();
    void ShowPreviewCheckClick();
    void ThumbnailCompressionBtnClick();

private:
    void CreateProgramSheet();
    void CreateDragDropSheet();
    void CreateCatalogSheet();
    void CreateDefaultsSheet();
    void CreateButtons();
};
