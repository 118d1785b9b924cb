#pragma once

// The common base of the file-name and folder edits: the shared default
// glyph, the events around their dialogs, and files dropped from the
// desktop or another program. Dropped names are taken whole, however long.

#include <functional>
#include <string>

#include "editor/controls/ComboEdit.h"

class TDropFileTarget;
class TStrings;

// Before and after a dialog: the name may be changed, and Action false
// stops (before: no dialog; after: the text stays).
using TExecOpenDialogEvent = std::function<void(TObject* Sender, std::string& Name, bool& Action)>;

namespace FileDirEdit {

// The path edits' button glyph: a folder, 14 x 12, shared by every edit.
const TBitmap& DefaultGlyph();

} // namespace FileDirEdit

class TFileDirEdit : public TCustomComboEdit {
    DECLARE_CLASS(TFileDirEdit, TCustomComboEdit)
public:
    explicit TFileDirEdit(TComponent* AOwner);
    ~TFileDirEdit() override;

    // On: the edit takes files dropped on it.
    bool AcceptFiles() const { return acceptFiles_; }
    void SetAcceptFiles(bool Value);

    // The edit's path in its long and its short form.
    virtual std::string LongPathOfText() const = 0;
    virtual std::string ShortPathOfText() const = 0;

    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;
    // After the dropped names were taken.
    TNotifyEvent OnDropFiles;

    // Takes the names as a drop does: all of them with several folders or
    // files allowed, else the first.
    void DropFiles(const TStrings& Names);

protected:
    // One dropped name.
    virtual void AcceptDroppedName(const std::string& Name) = 0;
    // Forgets the names an earlier choice or drop collected.
    virtual void ClearSelectedFiles() { }
    // Several names may be collected.
    bool MultipleDirs() const { return multipleDirs_; }
    void SetMultipleDirsFlag(bool Value) { multipleDirs_ = Value; }

    void FireBeforeDialog(std::string& Name, bool& Action);
    void FireAfterDialog(std::string& Name, bool& Action);
    const TBitmap* DefaultGlyph() const override { return &FileDirEdit::DefaultGlyph(); }

    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void RegisterForDrops();

    TDropFileTarget* dropTarget_ = nullptr;
    bool acceptFiles_ = false;
    bool multipleDirs_ = false;
};
