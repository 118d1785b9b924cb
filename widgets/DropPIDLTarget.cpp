#include "widgets/DropPIDLTarget.h"

#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/ShellBlocks.h"
#include "widgets/DropPIDLSource.h"

IMPLEMENT_CLASS(TDropPIDLTarget)

namespace {

bool ListsFromBytes(const std::vector<std::uint8_t>& bytes, TStrings& Lists)
{
    std::vector<std::string> lists;
    if (!ui::ParseCida(bytes.data(), bytes.size(), lists) || lists.size() < 2)
        return false;
    for (const std::string& list : lists)
        Lists.Add(list);
    return true;
}

LPITEMIDLIST ShellCopy(const std::string& list)
{
    void* copy = ShellMalloc->Alloc(list.size());
    if (copy)
        std::memcpy(copy, list.data(), list.size());
    return static_cast<LPITEMIDLIST>(copy);
}

} // namespace

namespace DropPIDLTarget {

bool PidlListFromHGlobal(HGLOBAL Block, TStrings& Lists) { return ListsFromBytes(ui::GlobalBytes(Block), Lists); }

} // namespace DropPIDLTarget

int TPIDLTargetStrings::Count() const { return std::max(0, target_.GetPidlCount() - 1); }

std::string TPIDLTargetStrings::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception("Filename index out of range");
    const std::string joined = DropPIDLSource::JoinPidlStrings(target_.PidlList().Strings(0),
                                                               target_.PidlList().Strings(Index + 1));
    std::string path;
    ui::SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(joined.data()), path);
    return path;
}

TDropPIDLTarget::TDropPIDLTarget(TComponent* AOwner) : TDropTarget(AOwner) { }

LPITEMIDLIST TDropPIDLTarget::GetFolderPidl() const
{
    return pidls_.Count() > 0 ? ShellCopy(pidls_.Strings(0)) : nullptr;
}

LPITEMIDLIST TDropPIDLTarget::GetRelativeFilePidl(int Index) const
{
    return Index >= 1 && Index < pidls_.Count() ? ShellCopy(pidls_.Strings(Index)) : nullptr;
}

LPITEMIDLIST TDropPIDLTarget::GetAbsoluteFilePidl(int Index) const
{
    if (Index < 1 || Index >= pidls_.Count())
        return nullptr;
    return ShellCopy(DropPIDLSource::JoinPidlStrings(pidls_.Strings(0), pidls_.Strings(Index)));
}

bool TDropPIDLTarget::HasValidFormats() { return Offers(CF_IDLIST, TYMED_HGLOBAL); }

void TDropPIDLTarget::ClearData()
{
    pidls_.Clear();
    mappedNames_.Clear();
}

bool TDropPIDLTarget::DoGetData()
{
    ClearData();
    std::vector<std::uint8_t> bytes;
    if (!ReadGlobal(CF_IDLIST, bytes) || !ListsFromBytes(bytes, pidls_))
        return false;
    ReadMappedNames(mappedNames_, pidls_.Count() - 1);
    return true;
}

DWORD TDropPIDLTarget::PasteFromClipboard()
{
    std::vector<std::uint8_t> bytes;
    if (!ReadClipboard(CF_IDLIST, bytes))
        return DROPEFFECT_NONE;
    ClearData();
    if (!ListsFromBytes(bytes, pidls_))
        return DROPEFFECT_NONE;
    const DWORD preferred = TDropTarget::PasteFromClipboard();
    return preferred != DROPEFFECT_NONE ? preferred : DROPEFFECT_COPY;
}
