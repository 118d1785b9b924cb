#pragma once

// "Bild umbenennen": renames a picture's file within its folder and points
// every picture of the show that names the same file to the new name.

#include <string>

#include "editor/app/RenameSteps.h"
#include "platform/ui/Forms.h"

class TButton;
class TEdit;
class TLabel;
class TPicInfoObject;

class TRenameForm : public TForm {
    DECLARE_CLASS(TRenameForm, TForm)
public:
    TRenameForm(TComponent* AOwner, TPicInfoObject& Entry);

    TLabel* PromptLabel = nullptr;
    TEdit* FilenameEdit = nullptr;
    TButton* RenameBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // The picture's file as found (the old full name), and whether it was renamed.
    const std::string& OldName() const { return oldName_; }
    bool Renamed() const { return renamed_; }

    void RenameBtnClick();

private:
    RenameSteps::TAnswer Ask(RenameSteps::TQuestion Question, const std::string& Name);
    void PointPicturesTo(const std::string& NewName);

    TPicInfoObject& entry_;
    std::string oldName_;
    bool renamed_ = false;
};

// Runs the rename window for the entry; true when the file was renamed.
bool OpenRenameDialog(TPicInfoObject& Entry);
