#pragma once

// Asks for the name of a new folder and makes it with every missing parent.
// A relative name lies in the base folder, the text the caller put into
// DirNameEdit; the process's working folder is never changed.

#include <string>

#include "platform/ui/Forms.h"

class TButton;
class TEdit;
class TLabel;

class TCreateDirDlg : public TForm {
    DECLARE_CLASS(TCreateDirDlg, TForm)
public:
    explicit TCreateDirDlg(TComponent* AOwner);

    TLabel* PromptLabel = nullptr;
    TEdit* DirNameEdit = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // The base folder is the edit's text when the dialog shows.
    const std::string& BaseFolder() const { return baseFolder_; }
    // OK: makes the folder named in the edit; on success the edit holds its
    // full path and the dialog closes with mrOk, on failure the error is
    // shown and the dialog closes with mrCancel.
    void OKBtnClick(TObject* Sender);

private:
    void FormActivate(TObject* Sender);

    std::string baseFolder_;
};

namespace CreateDirDlgUnit {

// Makes the folder (with its parents); a relative name lies in the base
// folder. True when it exists afterwards; Made gets its full path.
bool MakeFolder(const std::string& BaseFolder, const std::string& Name, std::string& Made);
// Runs the dialog starting in Folder; true with Folder set to the made
// folder, false on Cancel or failure (Folder unchanged).
bool Execute(TComponent* AOwner, std::string& Folder);

} // namespace CreateDirDlgUnit
