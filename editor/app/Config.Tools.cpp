// The main window's commands that open the editor's tools.

#include "editor/app/Config.h"
#include "editor/app/ToolHooks.h"
#include "platform/ui/Dialogs.h"

namespace {

void NotAvailable(const std::string& what) { ui::ShowMessage(what + " ist noch nicht verfügbar."); }

} // namespace

void TAAForm::EditPictureClick(TObject*)
{
    const int index = PicItemIndex();
    if (index < 0) {
        ui::ShowMessage("Sie müssen EIN Bild markieren, um es bearbeiten zu können.");
        return;
    }
    if (!ToolHooks::EditPicture()) {
        NotAvailable("Die Bildbearbeitung");
        return;
    }
    if (ToolHooks::EditPicture()(*GetPicInfoObject(index))) {
        UpdateListItem(index);
        PicListBoxClick(nullptr);
    }
}

void TAAForm::PrintPictureClick(TObject*)
{
    const int index = PicItemIndex();
    if (index < 0) {
        ui::ShowMessage("Sie müssen EIN Bild markieren, um diese Operation ausführen zu können.");
        return;
    }
    if (!ToolHooks::PrintPicture()) {
        NotAvailable("Das Drucken");
        return;
    }
    ToolHooks::PrintPicture()(*GetPicInfoObject(index));
}

void TAAForm::ScannerImportClick(TObject*)
{
    if (!ToolHooks::ScannerImport()) {
        NotAvailable("Der Import-Assistent");
        return;
    }
    ToolHooks::ScannerImport()(*this);
}

void TAAForm::HTMLAssistentClick(TObject*)
{
    if (!ToolHooks::HTMLAssistent()) {
        NotAvailable("Der HTML-Assistent");
        return;
    }
    ToolHooks::HTMLAssistent()(*this);
}

void TAAForm::ConvertAssistentClick(TObject*)
{
    if (!ToolHooks::ConvertAssistent()) {
        NotAvailable("Der Konvertierungs-Assistent");
        return;
    }
    ToolHooks::ConvertAssistent()(*this);
    UpdateAllListItems();
}

void TAAForm::CDAssistentClick(TObject* Sender)
{
    if (!ToolHooks::CDAssistent()) {
        NotAvailable("Der Zusammenstellungs-Assistent");
        return;
    }
    ToolHooks::CDAssistent()(*this);
    UpdateAllListItems();
    PicListBoxClick(Sender);
}

void TAAForm::SoundAssistentClick(TObject* Sender)
{
    if (!ToolHooks::SoundAssistent()) {
        NotAvailable("Der Sound-Assistent");
        return;
    }
    ToolHooks::SoundAssistent()(*this);
    PicListBoxClick(Sender);
}
