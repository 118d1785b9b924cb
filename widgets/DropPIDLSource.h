#pragma once

// A drag source of shell item-ID lists: entry 0 of its list is a folder, the
// entries after it are items relative to that folder.

#include "widgets/DropSource.h"

class TDropPIDLSource : public TDropSource {
    DECLARE_CLASS(TDropPIDLSource, TDropSource)
public:
    explicit TDropPIDLSource(TComponent* AOwner);

    // Raw item-ID lists, terminators included.
    TStrings& PidlList() { return pidls_; }
    TStrings& MappedNames() { return mappedNames_; }
    void SetMappedNames(const TStrings& Value) { mappedNames_.Assign(&Value); }

    // Starts the list anew with the folder.
    void CopyFolderPidlToList(LPCITEMIDLIST Pidl);
    // Appends an item; ignored while no folder is stored.
    void CopyFilePidlToList(LPCITEMIDLIST Pidl);
    // The file-system path of item Index (from 1); empty for other indices
    // and for items that are no file-system object.
    std::string GetFilename(int Index) const;

    HRESULT DoGetData(const FORMATETC& Format, STGMEDIUM& Medium) override;
    bool CutOrCopyToClipboard() override;

private:
    TStringList pidls_;
    TStringList mappedNames_;
};

namespace DropPIDLSource {

// An item-ID list, terminator included, as a byte string.
std::string PidlToString(LPCITEMIDLIST Pidl);
// The folder's list without its terminator, then the item's list.
std::string JoinPidlStrings(const std::string& Folder, const std::string& Item);

} // namespace DropPIDLSource
