// Gives the main window its ways to the picture editor, printing and the
// scanner import.

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/ToolHooks.h"
#include "editor/tools/MusicPreviewForm.h"
#include "editor/tools/ScannerAssistUnit.h"
#include "editor/tools/VexaPaint.h"
#include "editor/tools/VexaPrint.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

#include <new>

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

// A picture too large for the printer's memory is said so, not thrown on.
void PrintLoadedPicture(TPicture& picture)
{
    try {
        TVexaPrinter printer(nullptr);
        printer.Picture().Assign(&picture);
        printer.Execute();
    } catch (const std::bad_alloc&) {
        ui::ShowMessage("Zu wenig Arbeitsspeicher!");
    }
}

void PreviewMusic(const std::string& fileName)
{
    auto* preview = new TMusicPreview(nullptr);
    preview->FileName = fileName;
    preview->ShowModal();
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
    ToolHooks::PrintLoadedPicture() = PrintLoadedPicture;
    ToolHooks::PreviewMusic() = PreviewMusic;
    ToolHooks::ScannerImport() = ScannerImport;
    return true;
}();

} // namespace
