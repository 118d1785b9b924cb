#pragma once

// A drop target for shell item-ID lists: entry 0 of its list is the folder,
// the entries after it the items relative to that folder.

#include "widgets/DropTarget.h"

class TDropPIDLTarget;

namespace DropPIDLTarget {

// The lists of an item-list array (CIDA), folder first, added to Lists; true
// when the block holds a folder and at least one item. A block with an offset
// or list outside it adds nothing.
bool PidlListFromHGlobal(HGLOBAL Block, TStrings& Lists);

} // namespace DropPIDLTarget

// The file-system paths of a target's items, read only.
class TPIDLTargetStrings : public TStrings {
public:
    explicit TPIDLTargetStrings(TDropPIDLTarget& Target) : target_(Target) { }

    int Count() const override;
    void Insert(int, const std::string&) override { }
    void Delete(int) override { }
    void Clear() override { }

protected:
    // Raises "Filename index out of range" outside the items.
    std::string Get(int Index) const override;
    void Put(int, const std::string&) override { }
    void PutObject(int, TObject*) override { }

private:
    TDropPIDLTarget& target_;
};

class TDropPIDLTarget : public TDropTarget {
    DECLARE_CLASS(TDropPIDLTarget, TDropTarget)
public:
    explicit TDropPIDLTarget(TComponent* AOwner);

    TStrings& PidlList() { return pidls_; }
    TStrings& Filenames() { return filenames_; }
    TStrings& MappedNames() { return mappedNames_; }

    // Entries, the folder included.
    int GetPidlCount() const { return pidls_.Count(); }
    // Copies made with ShellMalloc, which the caller frees; nullptr for
    // indices below 1 or beyond the list.
    LPITEMIDLIST GetFolderPidl() const;
    LPITEMIDLIST GetRelativeFilePidl(int Index) const;
    LPITEMIDLIST GetAbsoluteFilePidl(int Index) const;

    bool DoGetData() override;
    void ClearData() override;
    bool HasValidFormats() override;
    DWORD PasteFromClipboard() override;

private:
    TStringList pidls_;
    TPIDLTargetStrings filenames_{*this};
    TStringList mappedNames_;
};
