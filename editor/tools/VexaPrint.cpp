#include "editor/tools/VexaPrint.h"

#include "editor/tools/PrinterTools.h"
#include "editor/tools/VexaPrintForm.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

IMPLEMENT_CLASS(TVexaPrinter)

TVexaPrinter::TVexaPrinter(TComponent* AOwner) : TComponent(AOwner), picture_(std::make_unique<TPicture>()) { }

TVexaPrinter::~TVexaPrinter() = default;

bool TVexaPrinter::Execute()
{
    std::unique_ptr<TVexaPrintForm> form;
    try {
        if (PrinterTools::PrinterInstalled())
            form = std::make_unique<TVexaPrintForm>(nullptr);
    } catch (const ENoPrinterException&) {
    }
    if (!form) {
        ui::MessageDlg(VexaPrintTexts::NoPrinterDriver, mtError, {mbOK}, 0);
        return false;
    }
    form->Picture = picture_.get();
    form->ShowModal();
    return true;
}
