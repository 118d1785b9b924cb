#pragma once

// Adding every picture of a folder, optionally with its sub-folders, to the
// open show: the dialog that asks for the folder, and the search that
// collects the picture files while a small window shows its progress
// (AddDirProgressUnit).

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TDirectoryEdit;
class TLabel;

namespace AddDirUnit {

// Whether the name ends in "." and the extension, in any case.
bool MatchesExtMask(const std::string& Name, const std::string& Ext);

// What the search tells while it runs.
struct TSearchProgress {
    std::function<void(const std::string& Folder)> FolderEntered;
    std::function<void(int Count)> PicturesFound;
};

// Appends the full path of every picture file of Folder (by the editor's
// picture extensions) to Files, in the order the file system lists them,
// and with Recursive those of its sub-folders. Folders whose name begins
// with "." are not entered, no folder is searched twice (a link back into
// the tree is passed over), and a folder that cannot be read adds nothing.
void SearchFolder(const std::string& Folder, bool Recursive, std::vector<std::string>& Files,
                  const TSearchProgress& Progress = {});

// "Verzeichnis "…" nicht gefunden!"
std::string NotFoundText(const std::string& Folder);

} // namespace AddDirUnit

class TAddDirForm : public TForm {
    DECLARE_CLASS(TAddDirForm, TForm)
public:
    // The found files go to AddPictures (the open show's add operation,
    // with its questions).
    using TAddPictures = std::function<void(const std::vector<std::string>& Files)>;
    TAddDirForm(TComponent* AOwner, TAddPictures AddPictures);

    TLabel* DirectoryLabel = nullptr;
    TDirectoryEdit* DirectoryEdit = nullptr;
    TCheckBox* RecursiveCheck = nullptr;
    TButton* BitBtn1 = nullptr;
    TButton* BitBtn2 = nullptr;

    // The folder last added from into the edit.
    void FormActivate(TObject* Sender);
    // Searches the folder and hands its pictures over; a folder that does
    // not exist is reported and the dialog stays.
    void BitBtn1Click(TObject* Sender);

private:
    TAddPictures addPictures_;
};

namespace AddDirUnit {

// Runs the dialog modally.
void Execute(TComponent* AOwner, const TAddDirForm::TAddPictures& AddPictures);

} // namespace AddDirUnit
