// The open show as a show object: saving it, playing it and sorting it. The
// list is copied into Document for each of these and Document is emptied
// right afterwards.

#include "editor/app/Config.h"

#include "core/Setup.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloManager.h"
#include "editor/app/VisteloSetup.h"
#include "platform/rtl/Files.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"

namespace {

constexpr const char* NoPicturesToStart =
    "Sie müssen mindestens 1 Bild in der Liste haben, um eine Vistelo starten zu können.";

} // namespace

bool TAAForm::BuildShowFromList()
{
    if (PicCount() == 0)
        return false;
    Document->Clear();
    for (int i = 0; i < PicCount(); ++i)
        Document->AddDia(*GetPicInfoObject(i));
    Document->CurrentIndex = -1;
    return true;
}

void TAAForm::SaveDocumentAs(const std::string& FileName)
{
    if (!Document->SaveToFile(FileName))
        ui::ShowMessage("Fehler beim Speichern der Datei \"" + FileName + "\"");
    Document->Clear();
}

void TAAForm::SaveVisteloClick(TObject* Sender)
{
    if (UntitledShow) {
        SaveVisteloAsClick(Sender);
        return;
    }
    BuildShowFromList();
    SaveDocumentAs(Setup::VisteloFilename);
}

void TAAForm::SaveVisteloAsClick(TObject*)
{
    SaveVisteloDialog->InitialDir = VisteloSetup::VisteloDir;
    if (!SaveVisteloDialog->Execute())
        return;
    BuildShowFromList();
    SetShowFileName(SaveVisteloDialog->FileName);
    VisteloSetup::VisteloDir = rtl::ExtractFilePath(SaveVisteloDialog->FileName);
    SaveDocumentAs(Setup::VisteloFilename);
}

void TAAForm::StartAt(std::int32_t StartIndex)
{
    if (!BuildShowFromList()) {
        ui::ShowMessage(NoPicturesToStart);
        return;
    }
    VisteloSetup::WritePlayerIni(Setup::HomeDir + VisteloSetup::PlayerIniName);
    try {
        PlayShow(*Document, StartIndex);
    } catch (...) {
        Document->Clear();
        throw;
    }
    Document->Clear();
}

void TAAForm::StartVisteloClick(TObject*) { StartAt(-1); }

void TAAForm::StartVisteloAtClick(TObject*)
{
    if (PicItemIndex() == -1 || PicSelCount() != 1) {
        ui::ShowMessage("Wählen Sie EIN Bild aus, ab dem die Vistelo gestartet werden soll.");
        return;
    }
    StartAt(PicItemIndex());
}

void TAAForm::Sort(std::int32_t (*Comparer)(const TPicInfoObject&, const TPicInfoObject&))
{
    if (BuildShowFromList()) {
        Document->Sort(Comparer);
        FillListFromShow();
        UpdateAllListItems();
    }
    Document->Clear();
}

void TAAForm::SortNameUpClick(TObject*) { Sort(&TVistelo::CompareNameUp); }
void TAAForm::SortNameDownClick(TObject*) { Sort(&TVistelo::CompareNameDown); }
void TAAForm::SortExtUpClick(TObject*) { Sort(&TVistelo::CompareExtUp); }
void TAAForm::SortExtDownClick(TObject*) { Sort(&TVistelo::CompareExtDown); }

void TAAForm::VisteloManager1Click(TObject*)
{
    std::unique_ptr<TVisteloManagerForm> manager = std::make_unique<TVisteloManagerForm>(Application);
    manager->ShowModal();
}
