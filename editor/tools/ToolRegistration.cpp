// Gives the main window its ways to the picture editor, printing and the
// scanner import.

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/ToolHooks.h"
#include "editor/tools/ScannerAssistUnit.h"
#include "editor/tools/VexaPaint.h"
#include "editor/tools/VexaPrint.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

namespace {

bool EditPicture(TPicInfoObject& entry) { return (new TVexaPaintForm(Application))->EditPicture(&entry, nullptr); }

void PrintPicture(TPicInfoObject& entry)
{
    TVexaPrinter printer(nullptr);
    try {
        printer.Picture().LoadFromFile(PictureLoading::RelFileName(entry.FileName, Setup::VisteloFilename));
    } catch (...) {
        ui::MessageDlg(VexaPaintTexts::CannotLoad, mtError, {mbOK}, 0);
        return;
    }
    printer.Execute();
}

void ScannerImport(TAAForm& form)
{
    auto* wizard = new TScannerAssistent(Application);
    wizard->OnAddPictures = [&form](const std::vector<std::string>& files) { form.AddPictures(files); };
    wizard->OnEditPicture = [](TBitmap& bitmap, const std::string& fileName) {
        auto* editor = new TVexaPaintForm(Application);
        editor->SetBitmapFileName(fileName);
        return editor->EditPicture(nullptr, &bitmap);
    };
    wizard->ShowModal();
}

[[maybe_unused]] const bool registered = [] {
    ToolHooks::EditPicture() = EditPicture;
    ToolHooks::PrintPicture() = PrintPicture;
    ToolHooks::ScannerImport() = ScannerImport;
    return true;
}();

} // namespace
