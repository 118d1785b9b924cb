#include "editor/app/CreateDirDlgUnit.h"

#include <filesystem>
#include <system_error>

#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TCreateDirDlg)

namespace fs = std::filesystem;

namespace CreateDirDlgUnit {
namespace {

// Creates the folder and its parents; true when it is a folder afterwards.
bool ForceFolder(const fs::path& Folder)
{
    std::error_code error;
    fs::create_directories(Folder, error);
    return fs::is_directory(Folder, error);
}

} // namespace

bool MakeFolder(const std::string& BaseFolder, const std::string& Name, std::string& Made)
{
    if (Name.empty())
        return false;
    const fs::path base(BaseFolder);
    // First the name as the user means it (inside the base folder unless it
    // is a full path), then a full path taken as lying inside the base folder.
    const fs::path tries[] = {base / Name, base / fs::path(Name).relative_path()};
    for (const fs::path& folder : tries) {
        if (folder.is_relative() || !ForceFolder(folder))
            continue;
        Made = folder.lexically_normal().string();
        return true;
    }
    return false;
}

bool Execute(TComponent* AOwner, std::string& Folder)
{
    TCreateDirDlg dialog(AOwner);
    dialog.DirNameEdit->SetText(Folder);
    if (dialog.ShowModal() != mrOk)
        return false;
    Folder = dialog.DirNameEdit->Text();
    return true;
}

} // namespace CreateDirDlgUnit

TCreateDirDlg::TCreateDirDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Verzeichnis erstellen");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(360);
    SetClientHeight(110);

    PromptLabel = new TLabel(this);
    PromptLabel->SetParent(this);
    PromptLabel->SetCaption("Geben Sie den Namen des Verzeichnisses an, das Sie erstellen wollen.");
    PromptLabel->SetWordWrap(true);
    PromptLabel->SetBounds(12, 10, 336, 32);

    DirNameEdit = new TEdit(this);
    DirNameEdit->SetParent(this);
    DirNameEdit->SetBounds(12, 44, 336, 21);

    OKBtn = new TButton(this);
    OKBtn->SetParent(this);
    OKBtn->SetCaption("&OK");
    OKBtn->Default = true;
    OKBtn->SetBounds(172, 76, 85, 25);
    OKBtn->OnClick = [this](TObject* Sender) { OKBtnClick(Sender); };

    CancelBtn = new TButton(this);
    CancelBtn->SetParent(this);
    CancelBtn->SetCaption("&Abbrechen");
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->Cancel = true;
    CancelBtn->SetBounds(263, 76, 85, 25);

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
}

void TCreateDirDlg::FormActivate(TObject*)
{
    baseFolder_ = DirNameEdit->Text();
    DirNameEdit->SelectAll();
}

void TCreateDirDlg::OKBtnClick(TObject*)
{
    std::string made;
    const std::string name = DirNameEdit->Text();
    if (CreateDirDlgUnit::MakeFolder(baseFolder_, name, made)) {
        DirNameEdit->SetText(made);
        ModalResult = mrOk;
        return;
    }
    ui::MessageDlg("Das Verzeichnis " + name + " konnte nicht erstellt werden.", mtError, {mbOK}, 0);
    ModalResult = mrCancel;
}
