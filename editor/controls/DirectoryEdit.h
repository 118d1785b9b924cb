#pragma once

// An edit for a folder whose button opens a folder dialog and writes the
// chosen folder into the edit; with MultipleDirs it collects several
// folders separated by ";".

#include <cstdint>
#include <string>

#include "editor/controls/FileDirEdit.h"
#include "platform/ui/CommonDialogs.h"

// dkPlatform: the directory selection dialog with DialogOptions;
// dkWin32: the folder browser with DialogText.
enum TDirDialogKind : std::uint8_t { dkPlatform, dkWin32 };

class TDirectoryEdit : public TFileDirEdit {
    DECLARE_CLASS(TDirectoryEdit, TFileDirEdit)
public:
    explicit TDirectoryEdit(TComponent* AOwner);

    TDirDialogKind DialogKind = dkPlatform;
    std::string DialogText;
    TSelectDirOpts DialogOptions;
    std::string InitialDir;
    bool MultipleDirs() const { return TFileDirEdit::MultipleDirs(); }
    void SetMultipleDirs(bool Value) { SetMultipleDirsFlag(Value); }

    std::string LongPathOfText() const override;
    std::string ShortPathOfText() const override;

protected:
    void ButtonAction() override;
    void AcceptDroppedName(const std::string& Name) override;

private:
    // The text, or each of its folders, converted.
    std::string ConvertPaths(std::string (*Convert)(const std::string&)) const;
    // Replaces the text, or adds after ";" when collecting several.
    void AddFolder(const std::string& Folder);
};
