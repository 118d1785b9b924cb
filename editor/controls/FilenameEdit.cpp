// The file-name edit: its dialog object, the name in the text, the button
// action and dropped files.

#include "editor/controls/FilenameEdit.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "widgets/DrawUtils.h"
#include "widgets/FileUtil.h"

IMPLEMENT_CLASS(TFilenameEdit)

namespace FilenameEdit {

std::string QuoteFileName(const std::string& Name)
{
    if (Name.find(' ') != std::string::npos && Name.front() != '"')
        return '"' + Name + '"';
    return Name;
}

std::string NameFromText(const std::string& Text)
{
    if (rtl::FileExists(Text))
        return Text;
    std::string program;
    std::string parameters;
    DrawUtils::SplitCommandLine(Text, program, parameters);
    return program;
}

} // namespace FilenameEdit

namespace {

const char InvalidFileNameText[] = "Ungültiger Dateiname - %s";

TOpenDialog* NewDialog(TFileDialogKind Kind, TComponent* Owner)
{
    switch (Kind) {
    case dkSave: return new TSaveDialog(Owner);
    case dkOpenPicture: return new TOpenPictureDialog(Owner);
    case dkSavePicture: return new TSavePictureDialog(Owner);
    default: return new TOpenDialog(Owner);
    }
}

std::string FormatName(const std::string& format, const std::string& name)
{
    std::string text = format;
    text.replace(text.find("%s"), 2, name);
    return text;
}

} // namespace

TFilenameEdit::TFilenameEdit(TComponent* AOwner) : TFileDirEdit(AOwner) { CreateEditDialog(); }

void TFilenameEdit::SetDialogKind(TFileDialogKind Value)
{
    if (Value == dialogKind_)
        return;
    dialogKind_ = Value;
    CreateEditDialog();
}

void TFilenameEdit::CreateEditDialog()
{
    TOpenDialog* fresh = NewDialog(dialogKind_, this);
    if (TOpenDialog* old = dialog_) {
        fresh->DefaultExt = old->DefaultExt;
        fresh->FileName = old->FileName;
        fresh->Filter = old->Filter;
        fresh->FilterIndex = old->FilterIndex;
        fresh->InitialDir = old->InitialDir;
        fresh->Files().Assign(&old->Files());
        fresh->Options = old->Options;
        fresh->Title = old->Title;
        delete old;
    } else {
        // Empty title and filter: the dialog's own title, and every file.
        fresh->Title.clear();
        fresh->Filter.clear();
        fresh->Options = {ofHideReadOnly};
    }
    dialog_ = fresh;
}

void TFilenameEdit::SetDialogOptions(TOpenOptions Value)
{
    const bool multiple = Value.Contains(ofAllowMultiSelect);
    if (!multiple && MultipleDirs())
        ClearSelectedFiles();
    dialog_->Options = Value;
    SetMultipleDirsFlag(multiple);
}

void TFilenameEdit::SetFileName(const std::string& Value)
{
    if (!Value.empty() && !FileUtil::ValidFileName(FilenameEdit::NameFromText(Value)))
        throw EComboEditError(FormatName(DrawUtils::ResStr(InvalidFileNameText), Value));
    SetText(FilenameEdit::QuoteFileName(Value));
    ClearSelectedFiles();
}

std::string TFilenameEdit::LongPathOfText() const { return FileUtil::ShortToLongFileName(FileName()); }

std::string TFilenameEdit::ShortPathOfText() const { return FileUtil::LongToShortFileName(FileName()); }

void TFilenameEdit::PrepareDialog(std::string& Name)
{
    if (!FileUtil::ValidFileName(Name))
        return; // the dialog keeps its last start
    try {
        const std::string folder = rtl::ExtractFilePath(Name);
        if (FileUtil::DirExists(folder))
            SetInitialDir(folder);
        const std::string file = rtl::ExtractFileName(Name);
        if (file.empty() || !FileUtil::ValidFileName(file))
            Name.clear();
        dialog_->FileName = Name;
    } catch (const std::exception&) {
        // A name the file system refuses: the dialog opens as it was.
    }
}

void TFilenameEdit::ButtonAction()
{
    TFileDirEdit::ButtonAction();
    std::string name = FileName();
    bool action = true;
    FireBeforeDialog(name, action);
    if (!action)
        return;
    PrepareDialog(name);
    action = dialog_->Execute();
    if (action)
        name = dialog_->FileName;
    if (CanFocus())
        SetFocus();
    FireAfterDialog(name, action);
    if (!action)
        return;
    SetText(FilenameEdit::QuoteFileName(name));
    SetInitialDir(rtl::ExtractFilePath(dialog_->FileName));
}

void TFilenameEdit::AcceptDroppedName(const std::string& Name)
{
    if (!MultipleDirs()) {
        SetFileName(Name);
        return;
    }
    if (dialog_->Files().Count() == 0)
        SetFileName(Name);
    dialog_->Files().Add(Name);
}

void TFilenameEdit::ClearSelectedFiles() { dialog_->Files().Clear(); }
