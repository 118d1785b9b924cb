#include "widgets/DropPIDLSource.h"

#include "platform/ui/Clipboard.h"
#include "platform/ui/ShellBlocks.h"

IMPLEMENT_CLASS(TDropPIDLSource)

namespace DropPIDLSource {

std::string PidlToString(LPCITEMIDLIST Pidl) { return {reinterpret_cast<const char*>(Pidl), ui::ILGetSize(Pidl)}; }

std::string JoinPidlStrings(const std::string& Folder, const std::string& Item)
{
    return Folder.substr(0, Folder.size() >= 2 ? Folder.size() - 2 : 0) + Item;
}

} // namespace DropPIDLSource

TDropPIDLSource::TDropPIDLSource(TComponent* AOwner) : TDropSource(AOwner) { DropSource::AddFileFormats(*this); }

void TDropPIDLSource::CopyFolderPidlToList(LPCITEMIDLIST Pidl)
{
    pidls_.Clear();
    mappedNames_.Clear();
    pidls_.Add(DropPIDLSource::PidlToString(Pidl));
}

void TDropPIDLSource::CopyFilePidlToList(LPCITEMIDLIST Pidl)
{
    if (pidls_.Count() > 0)
        pidls_.Add(DropPIDLSource::PidlToString(Pidl));
}

std::string TDropPIDLSource::GetFilename(int Index) const
{
    if (Index < 1 || Index >= pidls_.Count())
        return {};
    const std::string joined = DropPIDLSource::JoinPidlStrings(pidls_.Strings(0), pidls_.Strings(Index));
    std::string path;
    ui::SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(joined.data()), path);
    return path;
}

HRESULT TDropPIDLSource::DoGetData(const FORMATETC& Format, STGMEDIUM& Medium)
{
    Medium = STGMEDIUM{};
    if (pidls_.Count() < 2)
        return E_UNEXPECTED;
    const bool namesMapped = mappedNames_.Count() == pidls_.Count() - 1;
    auto names = [](const TStrings& strings) {
        std::vector<std::string> lines;
        for (int i = 0; i < strings.Count(); ++i)
            lines.push_back(strings.Strings(i));
        return lines;
    };
    if (Serves(Format, CF_HDROP, TYMED_HGLOBAL)) {
        // Items without a path would end the name list early: they are left out.
        std::vector<std::string> files;
        for (int i = 1; i < pidls_.Count(); ++i)
            if (std::string file = GetFilename(i); !file.empty())
                files.push_back(file);
        return GlobalMedium(ui::BuildDropFiles(files), Medium);
    }
    if (namesMapped && Serves(Format, CF_FILENAMEMAP, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildNameList(names(mappedNames_)), Medium);
    if (namesMapped && Serves(Format, CF_FILENAMEMAPW, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildNameListW(names(mappedNames_)), Medium);
    if (Serves(Format, CF_IDLIST, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildCida(names(pidls_)), Medium);
    if (Serves(Format, CF_PREFERREDDROPEFFECT, TYMED_HGLOBAL))
        return GlobalMedium(DropSource::PreferredEffectBytes(FeedbackEffect()), Medium);
    return DV_E_FORMATETC;
}

bool TDropPIDLSource::CutOrCopyToClipboard() { return pidls_.Count() >= 2 && PlaceOnClipboard(CF_IDLIST); }
