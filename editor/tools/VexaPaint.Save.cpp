// The picture editor's entry, saving, OK and cancel.

#include "editor/tools/VexaPaint.h"
#include "core/BitmapTools.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/TargaCompressionForm.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Files.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"

namespace {

// Format (0 BMP, 1 JPEG, 2 TGA) of a filter index of the save dialog.
int FormatOfFilterIndex(int index) { return index >= 1 && index <= 3 ? index - 1 : -1; }

} // namespace

bool TVexaPaintForm::EditPicture(TPicInfoObject* Entry, TBitmap* Bitmap)
{
    if (Bitmap) {
        fileMode_ = false;
        callerBitmap_ = Bitmap;
        picture_.Reset(*Bitmap);
        OKButton->SetCaption("&OK");
        jpegSettings_ = VisteloSetup::ScanAssistJPEGCompression;
        targaCompression_ = false;
    } else {
        fileMode_ = true;
        const std::string name = Entry ? Entry->FileName : std::string();
        fileName_ = PictureLoading::RelFileName(name, Setup::VisteloFilename);
        TPicture loaded;
        const int result = VisteloSetup::LoadPictureForEditing(name, Setup::VisteloFilename, loaded);
        std::unique_ptr<TBitmap> bitmap = result == VisteloSetup::elOK ? BitmapTools::PicToBMP(loaded) : nullptr;
        if (!bitmap) {
            ui::MessageDlg(result == VisteloSetup::elOutOfMemory ? VexaPaintTexts::NoMemoryToEdit
                                                                 : VexaPaintTexts::CannotLoad,
                           mtError, {mbOK}, 0);
            Release();
            return false;
        }
        jpegSettings_ = VisteloSetup::EditPictureFormat == 1 ? VisteloSetup::EditPictureJPEGSettings
                                                             : VisteloSetup::ScanAssistJPEGCompression;
        targaCompression_ = VisteloSetup::EditPictureFormat == 2 ? VisteloSetup::EditPictureTargaCompressed
                                                                 : VisteloSetup::ScanAssistTargaCompression;
        picture_.Reset(*bitmap);
        OKButton->SetCaption("&OK, Bild speichern");
    }
    zoomStep_ = 1;
    ClearSelection();
    picture_.DropUndo();
    PictureChanged();
    result_ = 0;
    ShowModal();
    const bool ok = result_ == 1;
    if (ok && fileMode_ && Entry && fileName_ != PictureLoading::RelFileName(Entry->FileName, Setup::VisteloFilename))
        Entry->FileName = fileName_;
    return ok;
}

bool TVexaPaintForm::SaveAs(bool FromOK)
{
    int format = VisteloSetup::SaveFormatFromExt(fileName_);
    std::string name = fileName_;
    if (!(FromOK && format >= 0)) {
        TSaveDialog dialog(this);
        dialog.Title = "Bild speichern";
        dialog.Filter = VexaPaintTexts::SaveFilter;
        dialog.FilterIndex = format + 1;
        dialog.InitialDir = fileName_.empty() ? VisteloSetup::PicDir : rtl::ExtractFilePath(fileName_);
        dialog.FileName = format < 0 ? VisteloSetup::ChangeExtToSaveFormat(rtl::ExtractFileName(fileName_), 0)
                                     : rtl::ExtractFileName(fileName_);
        if (!dialog.Execute()) {
            result_ = -1;
            return false;
        }
        format = FormatOfFilterIndex(dialog.FilterIndex);
        if (format < 0)
            format = 0;
        name = dialog.FileName;
        if (VisteloSetup::SaveFormatFromExt(name) != format)
            name = VisteloSetup::ChangeExtToSaveFormat(name, format);
    }
    if (format == 1) {
        TJPEGCompressionDlg dialog(this);
        dialog.CompressionWord = jpegSettings_;
        if (!dialog.Execute()) {
            result_ = -1;
            return false;
        }
        jpegSettings_ = dialog.CompressionWord;
    } else if (format == 2) {
        TTargaCompressionForm dialog(this);
        dialog.CompressionCheck->SetChecked(targaCompression_);
        if (dialog.ShowModal() != mrOk) {
            result_ = -1;
            return false;
        }
        targaCompression_ = dialog.CompressionCheck->Checked();
    }
    fileName_ = name;
    VisteloSetup::SavePictureFile(picture_.Bitmap(), fileName_, format, targaCompression_, jpegSettings_);
    UpdateView();
    return true;
}

void TVexaPaintForm::OKClick()
{
    result_ = 1;
    if (!fileMode_) {
        callerBitmap_->Assign(&picture_.Bitmap());
    } else if (!SaveAs(true)) {
        return; // the editor stays open
    }
    if (result_ == 1)
        ModalResult = mrOk;
}

void TVexaPaintForm::CancelClick()
{
    result_ = 0;
    ModalResult = mrCancel;
}
