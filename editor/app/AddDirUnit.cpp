#include "editor/app/AddDirUnit.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <utility>

#include "editor/app/AddDirProgressUnit.h"
#include "editor/app/AddPictures.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DirectoryEdit.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TAddDirForm)

namespace AddDirUnit {
namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// One search run: what it found and which folders it has been in, by their
// identity on disk, so that a link back up the tree ends there.
class TFolderSearch {
public:
    TFolderSearch(bool Recursive, std::vector<std::string>& Files, const TSearchProgress& Progress)
        : recursive_(Recursive), files_(Files), progress_(Progress)
    { }

    void Search(const std::string& Folder)
    {
        struct stat info { };
        if (::stat(Folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            !visited_.insert({info.st_dev, info.st_ino}).second)
            return;
        if (progress_.FolderEntered)
            progress_.FolderEntered(Folder);
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(Folder.c_str()), ::closedir);
        if (!dir)
            return;
        const std::string base = rtl::IncludeTrailingPathDelimiter(Folder);
        const std::string real = RealFolder(Folder);
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                Take(base + name, name, real);
        }
    }

private:
    // The folder's own path with every link resolved and a trailing "/";
    // empty when it cannot be resolved.
    static std::string RealFolder(const std::string& Folder)
    {
        const std::unique_ptr<char, void (*)(void*)> real(::realpath(Folder.c_str(), nullptr), ::free);
        return real ? rtl::IncludeTrailingPathDelimiter(real.get()) : std::string();
    }

    // Whether the sub-folder at Path leads back to a folder that holds it
    // (Parent's real path): a link up the tree, whose search never ends.
    static bool LeadsBackUp(const std::string& Path, const std::string& Parent)
    {
        const std::string target = RealFolder(Path);
        return target.empty() || Parent.compare(0, target.size(), target) == 0;
    }

    void Take(const std::string& Path, const std::string& Name, const std::string& Parent)
    {
        struct stat info { };
        if (::stat(Path.c_str(), &info) != 0)
            return; // a link to nothing
        if (S_ISDIR(info.st_mode)) {
            if (recursive_ && Name.front() != '.' && !LeadsBackUp(Path, Parent))
                Search(Path);
            return;
        }
        if (!S_ISREG(info.st_mode))
            return;
        for (const std::string& ext : AddPictures::SupportedPictureExts()) {
            if (!MatchesExtMask(Name, ext))
                continue;
            files_.push_back(Path);
            if (progress_.PicturesFound)
                progress_.PicturesFound(++found_);
        }
    }

    bool recursive_;
    std::vector<std::string>& files_;
    const TSearchProgress& progress_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    int found_ = 0;
};

} // namespace

bool MatchesExtMask(const std::string& Name, const std::string& Ext)
{
    if (Name.size() <= Ext.size() || Name[Name.size() - Ext.size() - 1] != '.')
        return false;
    const std::size_t start = Name.size() - Ext.size();
    for (std::size_t i = 0; i < Ext.size(); ++i)
        if (UpperAscii(Name[start + i]) != UpperAscii(Ext[i]))
            return false;
    return true;
}

void SearchFolder(const std::string& Folder, bool Recursive, std::vector<std::string>& Files,
                  const TSearchProgress& Progress)
{
    TFolderSearch(Recursive, Files, Progress).Search(Folder);
}

std::string NotFoundText(const std::string& Folder) { return "Verzeichnis \"" + Folder + "\" nicht gefunden!"; }

void Execute(TComponent* AOwner, const TAddDirForm::TAddPictures& AddPictures)
{
    TAddDirForm form(AOwner, AddPictures);
    form.ShowModal();
}

} // namespace AddDirUnit

TAddDirForm::TAddDirForm(TComponent* AOwner, TAddPictures AddPictures)
    : TForm(AOwner), addPictures_(std::move(AddPictures))
{
    SetCaption("Alle Bilder aus einem Verzeichnis hinzufügen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(380);
    SetClientHeight(124);

    DirectoryLabel = new TLabel(this);
    DirectoryLabel->SetParent(this);
    DirectoryLabel->SetCaption("&Verzeichnisname:");
    DirectoryLabel->SetBounds(10, 10, 200, 16);
    DirectoryEdit = new TDirectoryEdit(this);
    DirectoryEdit->SetParent(this);
    DirectoryEdit->DialogKind = dkWin32;
    DirectoryEdit->SetBounds(10, 28, 360, 21);
    DirectoryLabel->SetFocusControl(DirectoryEdit);

    RecursiveCheck = new TCheckBox(this);
    RecursiveCheck->SetParent(this);
    RecursiveCheck->SetCaption("&Unterverzeichnisse mit einbeziehen");
    RecursiveCheck->SetBounds(10, 60, 360, 18);

    BitBtn1 = new TBitBtn(this);
    BitBtn1->SetParent(this);
    BitBtn1->SetCaption("&OK");
    BitBtn1->Default = true;
    BitBtn1->SetBounds(190, 90, 85, 25);
    BitBtn1->OnClick = [this](TObject* Sender) { BitBtn1Click(Sender); };
    BitBtn2 = new TBitBtn(this);
    BitBtn2->SetParent(this);
    BitBtn2->SetCaption("&Abbrechen");
    BitBtn2->Cancel = true;
    BitBtn2->ModalResult = mrCancel;
    BitBtn2->SetBounds(285, 90, 85, 25);

    // On showing rather than on every activation: the message about a
    // mistyped folder must not wipe what the user typed.
    OnShow = [this](TObject* Sender) { FormActivate(Sender); };
}

void TAddDirForm::FormActivate(TObject*) { DirectoryEdit->SetText(VisteloSetup::PicDir); }

void TAddDirForm::BitBtn1Click(TObject*)
{
    const std::string folder = DirectoryEdit->Text();
    if (!rtl::DirectoryExists(folder)) {
        ui::ShowMessage(AddDirUnit::NotFoundText(folder));
        return;
    }
    TAddDirProgress progress(this);
    progress.Show();
    Application->ProcessMessages();
    VisteloSetup::PicDir = rtl::IncludeTrailingPathDelimiter(folder);
    std::vector<std::string> files;
    const AddDirUnit::TSearchProgress report{
        [&progress](const std::string& searched) { progress.ShowFolder(searched); },
        [&progress](int count) { progress.ShowCount(count); },
    };
    AddDirUnit::SearchFolder(folder, RecursiveCheck->Checked(), files, report);
    if (addPictures_)
        addPictures_(files);
    progress.Hide();
    ModalResult = mrOk;
}
