#pragma once

// An edit for a file name whose button opens a file dialog (open, save, or
// their picture kinds with a preview) and writes the chosen name into the
// edit. A name with a blank is shown in double quotes; FileName reads it
// back without them.

#include <cstdint>
#include <string>

#include "editor/controls/FileDirEdit.h"
#include "platform/ui/CommonDialogs.h"

enum TFileDialogKind : std::uint8_t { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

namespace FilenameEdit {

// A name with a blank that does not begin with a double quote, in double
// quotes; any other name as it is.
std::string QuoteFileName(const std::string& Name);
// The text when it names an existing file; else its first word as a
// command line reads it (quotes removed, the rest dropped).
std::string NameFromText(const std::string& Text);

} // namespace FilenameEdit

class TFilenameEdit : public TFileDirEdit {
    DECLARE_CLASS(TFilenameEdit, TFileDirEdit)
public:
    explicit TFilenameEdit(TComponent* AOwner);

    TFileDialogKind DialogKind() const { return dialogKind_; }
    // A new dialog of the kind takes over the old one's settings.
    void SetDialogKind(TFileDialogKind Value);
    TOpenDialog& Dialog() const { return *dialog_; }

    const std::string& DefaultExt() const { return dialog_->DefaultExt; }
    void SetDefaultExt(const std::string& Value) { dialog_->DefaultExt = Value; }
    const std::string& Filter() const { return dialog_->Filter; }
    void SetFilter(const std::string& Value) { dialog_->Filter = Value; }
    int FilterIndex() const { return dialog_->FilterIndex; }
    void SetFilterIndex(int Value) { dialog_->FilterIndex = Value; }
    const std::string& InitialDir() const { return dialog_->InitialDir; }
    void SetInitialDir(const std::string& Value) { dialog_->InitialDir = Value; }
    const std::string& DialogTitle() const { return dialog_->Title; }
    void SetDialogTitle(const std::string& Value) { dialog_->Title = Value; }
    TOpenOptions DialogOptions() const { return dialog_->Options; }
    // ofAllowMultiSelect lets drops collect several files; without it the
    // collected ones are forgotten.
    void SetDialogOptions(TOpenOptions Value);
    // The files of the last choice or drop.
    TStrings& DialogFiles() const { return dialog_->Files(); }

    std::string FileName() const { return FilenameEdit::NameFromText(Text()); }
    // Raises EComboEditError for a name no file can have.
    void SetFileName(const std::string& Value);

    std::string LongPathOfText() const override;
    std::string ShortPathOfText() const override;

protected:
    void ButtonAction() override;
    void AcceptDroppedName(const std::string& Name) override;
    void ClearSelectedFiles() override;

private:
    void CreateEditDialog();
    // The dialog's start: its folder and name from the edit's name.
    void PrepareDialog(std::string& Name);

    TOpenDialog* dialog_ = nullptr;
    TFileDialogKind dialogKind_ = dkOpen;
};
