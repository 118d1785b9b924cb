#include "editor/app/PicInfoTools.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/ToolHooks.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ShellApi.h"

namespace PicInfoTools {

void OpenPicInfoInApplication(const TPicInfoObject& Entry)
{
    const std::string resolved = PictureLoading::RelFileName(Entry.FileName, Setup::VisteloFilename);
    ui::ShellExecute(nullptr, "", resolved.empty() ? Entry.FileName : resolved, "", "", SW_SHOWNORMAL);
}

void PrintPicture(const TPicInfoObject& Entry, TPicture* Picture)
{
    if (!ToolHooks::PrintLoadedPicture())
        return;
    if (Picture) {
        ToolHooks::PrintLoadedPicture()(*Picture);
        return;
    }
    TPicture loaded;
    if (PictureLoading::LoadPicture(Entry.FileName, Setup::VisteloFilename, loaded) != leOK || !loaded.Graphic()) {
        ui::ShowMessage("Fehler beim Laden des Bildes!");
        return;
    }
    ToolHooks::PrintLoadedPicture()(loaded);
}

} // namespace PicInfoTools
