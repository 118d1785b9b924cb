#include "platform/ui/Ole.h"

namespace {
int oleUsers = 0;
}

void ReleaseStgMedium(STGMEDIUM& medium)
{
    // A medium with a releasing object belongs to that object.
    if (medium.pUnkForRelease)
        medium.pUnkForRelease->Release();
    else if (medium.hGlobal)
        ui::GlobalFree(medium.hGlobal);
    medium = STGMEDIUM{};
}

namespace ui {

HRESULT OleInitialize() { return oleUsers++ == 0 ? S_OK : S_FALSE; }

void OleUninitialize()
{
    if (oleUsers > 0)
        --oleUsers;
}

std::vector<std::uint8_t> MediumBytes(const STGMEDIUM& medium)
{
    return medium.tymed == TYMED_HGLOBAL ? GlobalBytes(medium.hGlobal) : std::vector<std::uint8_t>{};
}

} // namespace ui
