// The picture list of the main window: its items, adding, removing, marking
// and ticking pictures, and opening a show into it.

#include "editor/app/Config.h"

#include "core/Blendings.h"
#include "core/Setup.h"
#include "core/Tools.h"
#include "editor/app/AddDirUnit.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/ColorPickerButton.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/KSCtrls.h"

#include <algorithm>

// --- reading the list ---

class TAAForm::TListAccess : public TPicListAccess {
public:
    explicit TListAccess(TAAForm& Form) : form_(Form) { }
    TVistelo* Document() override { return form_.Document.get(); }
    int Count() override { return form_.PicCount(); }
    TPicInfoObject* Object(int Index) override { return form_.GetPicInfoObject(Index); }
    int SelCount() override { return form_.PicListBox->SelCount(); }
    bool MultiSelect() override { return form_.PicListBox->MultiSelect(); }
    bool Selected(int Index) override { return form_.PicSelected(Index); }
    bool Checked(int Index) override { return form_.GetPicInfoObject(Index)->ShowImage; }
    int ItemIndex() override { return form_.PicListBox->ItemIndex(); }
    void SetItemIndex(int Index) override { form_.PicListBox->SetItemIndex(Index); }

private:
    TAAForm& form_;
};

void TAAForm::RegisterListAccess()
{
    listAccess_ = std::make_unique<TListAccess>(*this);
    PicInfoUnit::PicListAccess = listAccess_.get();
}

void TAAForm::UnregisterListAccess()
{
    if (PicInfoUnit::PicListAccess == listAccess_.get())
        PicInfoUnit::PicListAccess = nullptr;
    listAccess_.reset();
}

int TAAForm::PicCount() const { return PicListBox->Items().Count(); }

int TAAForm::PicSelCount() const
{
    if (!PicListBox->MultiSelect())
        return PicListBox->ItemIndex() >= 0 ? 1 : 0;
    return PicListBox->SelCount();
}

bool TAAForm::PicSelected(int Index) const
{
    if (!PicListBox->MultiSelect())
        return Index == PicListBox->ItemIndex();
    return PicListBox->Selected(Index);
}

int TAAForm::PicItemIndex() const
{
    // With a single selected picture that picture counts, not the focused
    // item: the two differ once the focused item has been deselected.
    if (PicListBox->MultiSelect() && PicSelCount() == 1)
        for (int i = 0; i < PicCount(); ++i)
            if (PicListBox->Selected(i))
                return i;
    return PicListBox->ItemIndex();
}

TPicInfoObject* TAAForm::GetPicInfoObject(int Index) const
{
    if (Index < 0 || Index >= PicCount())
        return nullptr;
    return static_cast<TPicInfoObject*>(PicListBox->Items().Objects(Index));
}

int TAAForm::CountPictures(const TVistelo* Show, int Mode) const
{
    const int total = Show ? Show->Count : PicCount();
    int count = 0;
    for (int i = 0; i < total; ++i) {
        const TPicInfoObject* picture = Show ? Show->GetPicInfo(i) : GetPicInfoObject(i);
        switch (Mode) {
        case 0: ++count; break;
        case 1: count += picture->ShowImage ? 1 : 0; break;
        case 2: count += picture->ShowImage ? 0 : 1; break;
        case 3: count += !Show && PicSelected(i) ? 1 : 0; break;
        default: break;
        }
    }
    return count;
}

std::string TAAForm::ListItemText(int Index, const std::string& FileName)
{
    return std::to_string(Index + 1) + ". " + rtl::ExtractFileName(FileName);
}

// --- list items ---

void TAAForm::SetItemChecked(int Index, bool Checked) { PicListBox->SetChecked(Index, Checked); }

void TAAForm::PicListBoxClickCheck(TObject*)
{
    // The toggled item's picture follows its mark whatever is selected: a
    // crossed item whose picture still played would mislead the user.
    for (int i = 0; i < PicCount(); ++i) {
        TPicInfoObject* picture = GetPicInfoObject(i);
        if (picture->ShowImage != PicListBox->GetChecked(i)) {
            picture->ShowImage = !picture->ShowImage;
            picture->Flags |= PicInfoUnit::pfChanged;
        }
    }
    if (PicSelCount() != 1 || PicItemIndex() < 0)
        return;
    UpdatingControls = true;
    ShowImageCheck->SetChecked(GetPicInfoObject(PicItemIndex())->ShowImage);
    UpdatingControls = false;
    UpdateControlsEnabled();
}

void TAAForm::UpdateListItem(int Index)
{
    const TPicInfoObject* picture = GetPicInfoObject(Index);
    PicListBox->Items().SetStrings(Index, ListItemText(Index, picture->FileName));
    SetItemChecked(Index, picture->ShowImage);
}

void TAAForm::UpdateListItems(int First, int Last)
{
    if (First < 0 || First > Last || Last >= PicCount())
        return;
    for (int i = First; i <= Last; ++i)
        UpdateListItem(i);
}

void TAAForm::UpdateAllListItems() { UpdateListItems(0, PicCount() - 1); }

void TAAForm::RemoveItem(int Index)
{
    delete GetPicInfoObject(Index);
    PicListBox->Items().SetObjects(Index, nullptr);
    PicListBox->Items().Delete(Index);
}

void TAAForm::ClearPictureList()
{
    TStrings& items = PicListBox->Items();
    // One update: the list's window is told of the change once, not per item.
    items.BeginUpdate();
    for (int i = 0; i < items.Count(); ++i) {
        delete GetPicInfoObject(i);
        items.SetObjects(i, nullptr);
    }
    items.Clear();
    items.EndUpdate();
}

void TAAForm::FillListFromShow()
{
    ClearPictureList();
    TStrings& items = PicListBox->Items();
    items.BeginUpdate();
    // The list takes the document's entries over instead of copying them:
    // the document is emptied right after every fill, and a show of many
    // pictures opens in half the time.
    for (std::int32_t i = 0; i < Document->Count; ++i) {
        std::unique_ptr<TPicInfoObject>& entry = Document->Pictures[static_cast<size_t>(i)];
        if (!entry)
            entry = std::make_unique<TPicInfoObject>();
        const std::string text = ListItemText(i, entry->FileName);
        items.AddObject(text, entry.release());
    }
    // The marks are written straight into the items' records: one repaint
    // for the whole list instead of one per item.
    for (int i = 0; i < items.Count(); ++i)
        PicListBox->ItemState(i)->State = GetPicInfoObject(i)->ShowImage ? cbChecked : cbUnchecked;
    Document->Clear();
    items.EndUpdate();
    PicListBox->Invalidate();
    UpdateControlsEnabled();
}

bool TAAForm::IsPictureInList(const std::string& FileName) const
{
    const std::string wanted = rtl::AnsiUpperCase(FileName);
    for (int i = 0; i < PicCount(); ++i)
        if (rtl::AnsiUpperCase(GetPicInfoObject(i)->FileName) == wanted)
            return true;
    return false;
}

void TAAForm::AddPictureItemFor(const std::string& FileName)
{
    auto picture = std::make_unique<TPicInfoObject>();
    picture->FileName = FileName;
    picture->ShowImage = true;
    const std::string ext = rtl::AnsiUpperCase(rtl::ExtractFileExt(FileName));
    if (ext == ".WMF" || ext == ".EMF")
        picture->BackgroundColor = 0xFFFFFF;
    const int index = PicListBox->Items().AddObject(ListItemText(PicCount(), FileName), picture.release());
    SetItemChecked(index, true);
}

void TAAForm::AddPictureFiles(const std::vector<std::string>& Files, bool Ask)
{
    AddPictures::TPictureTarget target{
        [this](const std::string& file) { return IsPictureInList(file); },
        [this](const std::string& file) { AddPictureItemFor(file); },
    };
    AddPictures::AddPictureFiles(Files, Ask, VisteloSetup::DoublePicsCheck, target, QuestionAsker);
}

void TAAForm::AddPictures(const std::vector<std::string>& Files)
{
    AddPictureFiles(Files, true);
    UpdateControlsEnabled();
}

void TAAForm::SetShowFileName(const std::string& FileName)
{
    ShowFileName = FileName;
    Setup::VisteloFilename = FileName;
    SetCaption("Vistelo [" + rtl::ExtractFileName(FileName) + "]");
    UntitledShow = false;
}

void TAAForm::UpdateControlsEnabled()
{
    const int selected = PicSelCount();
    ShowImageCheck->SetEnabled(selected >= 1);
    const bool shown = ShowImageCheck->Enabled() && ShowImageCheck->Checked();
    for (TControl* control :
         std::initializer_list<TControl*>{ZoomImageCheck, ShowCommentCheck, BgColorBarBtn, SoundBtn, FontBtn,
                                          BlendingComboBox, PreviewBlendingBtn, SleepBtn, SpecPlacementBtn})
        control->SetEnabled(shown);
    Tools::ChangeEnabled(CommentDetailsPanel, shown);
    KeepProportionsCheck->SetEnabled(shown && ZoomImageCheck->Checked());
}

void TAAForm::PicListBoxClick(TObject*)
{
    UpdateControlsEnabled();
    const TPicInfoObject* picture = PicSelCount() == 1 ? GetPicInfoObject(PicItemIndex()) : nullptr;
    if (picture) {
        ShowPictureSettings(*picture);
        ShowPicturePreview(*picture);
    } else {
        ShowNoPreview();
    }
}

// --- commands ---

void TAAForm::NewVisteloClick(TObject* Sender)
{
    if (PicCount() == 0 && Sender)
        ui::ShowMessage("Um eine Vistelo zu erstellen, müssen Sie über den Menüpunkt \"Bild, Hinzufügen\" Bilder "
                        "auswählen und so in die Bilderliste aufnehmen.");
    SetShowFileName("Unbenannt.vsf");
    Setup::VisteloFilename = "Unbenannt.vsf";
    UntitledShow = true;
    ClearPictureList();
    PicListBoxClick(nullptr);
    Document = std::make_unique<TConfigVistelo>();
    Blendings::RandomAll();
}

bool TAAForm::LoadShowIntoList(const std::string& FileName)
{
    const TVisteloLoadResult result = Document->LoadFromFile(FileName, false, false);
    if (result != dlrOK) {
        if (result == dlrNoVSF)
            ui::ShowMessage("Die Datei \"" + FileName +
                            "\" kann nicht geladen werden. Die Datei ist entweder nicht vorhanden, beschädigt "
                            "oder in einem falschen Format.");
        else
            ui::ShowMessage("Unbekannter Fehler beim Laden der Datei \"" + FileName + "\".");
        return false;
    }
    SetShowFileName(FileName);
    FillListFromShow();
    Document->Clear();
    if (PicCount() > 0)
        PicListBox->SetItemIndex(0);
    if (PicCount() > 0 && PicListBox->MultiSelect())
        PicListBox->SetSelected(0, true);
    PicListBoxClick(nullptr);
    return true;
}

void TAAForm::OpenVisteloClick(TObject*)
{
    OpenVisteloDialog->InitialDir = VisteloSetup::VisteloDir;
    if (!OpenVisteloDialog->Execute())
        return;
    // The folder remembered is that of the show open before: so it was
    // always done, and users rely on it.
    OpenVisteloDialog->InitialDir = rtl::ExtractFilePath(Setup::VisteloFilename);
    VisteloSetup::VisteloDir = OpenVisteloDialog->InitialDir;
    const std::string chosen = OpenVisteloDialog->FileName;
    Setup::VisteloFilename = LoadShowIntoList(chosen) ? chosen : "Unbenannt.vsf";
}

void TAAForm::AddPictureClick(TObject*)
{
    OpenPictureDialog->InitialDir = VisteloSetup::PicDir;
    if (!OpenPictureDialog->Execute())
        return;
    Application->ProcessMessages();
    OpenPictureDialog->InitialDir = rtl::ExtractFilePath(OpenPictureDialog->FileName);
    VisteloSetup::PicDir = OpenPictureDialog->InitialDir;
    std::vector<std::string> files;
    for (int i = 0; i < OpenPictureDialog->Files().Count(); ++i)
        files.push_back(OpenPictureDialog->Files().Strings(i));
    if (!files.empty())
        AddPictures(files);
    Tools::KillMouseMessages(PicListBox->Handle());
}

void TAAForm::AddDirClick(TObject*)
{
    AddDirUnit::Execute(this, [this](const std::vector<std::string>& Files) { AddPictures(Files); });
}

void TAAForm::DeletePictureClick(TObject*)
{
    const int selected = PicSelCount();
    if (selected < 1)
        return;
    TStrings& items = PicListBox->Items();
    items.BeginUpdate();
    int keep = -1;
    int lowest = -1;
    if (selected == 1) {
        keep = lowest = PicItemIndex();
        RemoveItem(keep);
    } else {
        for (int i = PicCount() - 1; i >= 0; --i) {
            if (!PicSelected(i))
                continue;
            if (keep < 0)
                keep = i;
            lowest = i;
            RemoveItem(i);
        }
    }
    items.EndUpdate();
    PicListBox->SetItemIndex(std::min(keep, PicCount() - 1));
    if (PicListBox->MultiSelect() && PicListBox->ItemIndex() >= 0)
        PicListBox->SetSelected(PicListBox->ItemIndex(), true);
    UpdateListItems(lowest, PicCount() - 1);
    PicListBoxClick(nullptr);
}

void TAAForm::DeleteUncheckedClick(TObject*)
{
    if (PicCount() == 0)
        return;
    TStrings& items = PicListBox->Items();
    items.BeginUpdate();
    for (int i = PicCount() - 1; i >= 0; --i)
        if (!GetPicInfoObject(i)->ShowImage)
            RemoveItem(i);
    items.EndUpdate();
    UpdateAllListItems();
    PicListBoxClick(nullptr);
}

void TAAForm::ReverseCheckMarkClick(TObject*)
{
    for (int i = 0; i < PicCount(); ++i) {
        TPicInfoObject* picture = GetPicInfoObject(i);
        picture->ShowImage = !picture->ShowImage;
        SetItemChecked(i, picture->ShowImage);
    }
    PicListBoxClick(nullptr);
}

void TAAForm::MarkAllPicsClick(TObject*)
{
    PicListBox->Items().BeginUpdate();
    if (PicListBox->MultiSelect())
        for (int i = 0; i < PicCount(); ++i)
            PicListBox->SetSelected(i, true);
    PicListBox->Items().EndUpdate();
    PicListBoxClick(nullptr);
}

void TAAForm::ReversMarkClick(TObject*)
{
    PicListBox->Items().BeginUpdate();
    if (PicListBox->MultiSelect())
        for (int i = 0; i < PicCount(); ++i)
            PicListBox->SetSelected(i, !PicListBox->Selected(i));
    PicListBox->Items().EndUpdate();
    PicListBoxClick(nullptr);
}
