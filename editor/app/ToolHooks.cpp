#include "editor/app/ToolHooks.h"

#include "editor/app/PicInfoUnit.h"

namespace ToolHooks {

std::function<bool(TPicInfoObject& entry)>& EditPicture()
{
    static std::function<bool(TPicInfoObject & entry)> hook;
    return hook;
}

bool EditShowPicture(int index)
{
    if (index < 0 || index >= PicInfoUnit::PicCount() || !EditPicture())
        return false;
    TPicInfoObject* entry = PicInfoUnit::GetPicInfoObject(index);
    return entry && EditPicture()(*entry);
}

std::function<void(TPicInfoObject& entry)>& PrintPicture()
{
    static std::function<void(TPicInfoObject & entry)> hook;
    return hook;
}

std::function<void(TPicture& picture)>& PrintLoadedPicture()
{
    static std::function<void(TPicture & picture)> hook;
    return hook;
}

std::function<void(const std::string& fileName)>& PreviewMusic()
{
    static std::function<void(const std::string& fileName)> hook;
    return hook;
}

std::function<void(TAAForm& form)>& ScannerImport()
{
    static std::function<void(TAAForm & form)> hook;
    return hook;
}

std::function<void(TAAForm& form)>& HTMLAssistent()
{
    static std::function<void(TAAForm & form)> hook;
    return hook;
}

std::function<void(TAAForm& form)>& ConvertAssistent()
{
    static std::function<void(TAAForm & form)> hook;
    return hook;
}

std::function<void(TAAForm& form)>& SoundAssistent()
{
    static std::function<void(TAAForm & form)> hook;
    return hook;
}

std::function<void(TAAForm& form)>& CDAssistent()
{
    static std::function<void(TAAForm & form)> hook;
    return hook;
}

std::function<void(TVisteloList& list)>& CDListAssistent()
{
    static std::function<void(TVisteloList & list)> hook;
    return hook;
}

} // namespace ToolHooks
