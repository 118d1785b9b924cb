#include "editor/app/RenameUnit.h"

#include <memory>

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TRenameForm)

TRenameForm::TRenameForm(TComponent* AOwner, TPicInfoObject& Entry) : TForm(AOwner), entry_(Entry)
{
    SetCaption("Bild umbenennen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(400);
    SetClientHeight(118);

    PromptLabel = new TLabel(this);
    PromptLabel->SetParent(this);
    PromptLabel->SetAutoSize(false);
    PromptLabel->SetWordWrap(true);
    PromptLabel->SetBounds(12, 10, 376, 32);
    PromptLabel->SetCaption("Geben Sie den neuen Dateinamen ein (die alte Dateierweiterung wird autmatisch wieder "
                            "angefügt):");
    FilenameEdit = new TEdit(this);
    FilenameEdit->SetParent(this);
    FilenameEdit->SetBounds(12, 46, 376, 22);

    RenameBtn = new TButton(this);
    RenameBtn->SetParent(this);
    RenameBtn->SetCaption("&Umbenennen");
    RenameBtn->SetBounds(212, 80, 90, 25);
    RenameBtn->Default = true;
    RenameBtn->OnClick = [this](TObject*) { RenameBtnClick(); };
    CancelBtn = new TButton(this);
    CancelBtn->SetParent(this);
    CancelBtn->SetCaption("Abbrechen");
    CancelBtn->SetBounds(308, 80, 80, 25);
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;

    const std::string resolved = PictureLoading::RelFileName(Entry.FileName, Setup::VisteloFilename);
    oldName_ = resolved.empty() ? Entry.FileName : resolved;
    FilenameEdit->SetText(ExtractFileName(oldName_));
    FilenameEdit->SelectAll();
    SetActiveControl(FilenameEdit);
}

RenameSteps::TAnswer TRenameForm::Ask(RenameSteps::TQuestion Question, const std::string& Name)
{
    std::string text;
    int help = 0;
    switch (Question) {
    case RenameSteps::rqExtension:
        text = RenameSteps::ExtensionQuestion;
        help = RenameSteps::ExtensionHelp;
        break;
    case RenameSteps::rqFolder:
        text = RenameSteps::FolderQuestion;
        help = RenameSteps::FolderHelp;
        break;
    case RenameSteps::rqOverwrite:
        text = "Die Datei \"" + Name + "\" existiert bereits!\r\rSoll sie überschrieben werden?";
        help = RenameSteps::OverwriteHelp;
        break;
    }
    switch (ui::MessageDlg(text, mtConfirmation, mbYesNoCancel, help)) {
    case mrYes: return RenameSteps::raYes;
    case mrNo: return RenameSteps::raNo;
    default: return RenameSteps::raCancel;
    }
}

void TRenameForm::RenameBtnClick()
{
    const RenameSteps::TResult result = RenameSteps::Rename(
        oldName_, FilenameEdit->Text(),
        [this](RenameSteps::TQuestion question, const std::string& name) { return Ask(question, name); });
    switch (result.Outcome) {
    case RenameSteps::roRenamed:
        PointPicturesTo(result.NewName);
        renamed_ = true;
        ModalResult = mrOk;
        break;
    case RenameSteps::roClose: ModalResult = mrCancel; break;
    case RenameSteps::roEditMore: FilenameEdit->SetFocus(); break;
    case RenameSteps::roFailed:
        ui::ShowMessage(RenameSteps::FailureMessage(oldName_, result.NewName));
        FilenameEdit->SetFocus();
        break;
    }
}

void TRenameForm::PointPicturesTo(const std::string& NewName)
{
    const std::string stored = entry_.FileName;
    for (int i = 0; i < PicInfoUnit::PicCount(); ++i) {
        TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(i);
        if (picture && picture->FileName == stored)
            picture->FileName = NewName;
    }
    entry_.FileName = NewName;
}

bool OpenRenameDialog(TPicInfoObject& Entry)
{
    std::unique_ptr<TRenameForm> form(new TRenameForm(Application, Entry));
    form->ShowModal();
    return form->Renamed();
}
