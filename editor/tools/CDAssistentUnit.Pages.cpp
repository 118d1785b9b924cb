// The compilation assistant's ways between its pages, its font lists and
// the runs its start buttons begin.

#include "editor/tools/CDAssistentUnit.h"

#include "core/Setup.h"
#include "core/VisteloList.h"
#include "editor/app/CreateDirDlgUnit.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/controls/DirectoryListBox.h"
#include "editor/controls/SymbolChkList.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/CDAssistentTexts.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/FileLbl.h"

using namespace CDAssistentLogic;

namespace {

// The current pictures a mode takes: 0 all, 1 ticked, 2 unticked.
int CountPictures(int Mode)
{
    int count = 0;
    for (int i = 0; i < PicInfoUnit::PicCount(); ++i) {
        const bool ticked = PicInfoUnit::PicChecked(i);
        count += Mode == 0 || (Mode == 1 && ticked) || (Mode == 2 && !ticked) ? 1 : 0;
    }
    return count;
}

bool Contains(const std::string& Text, const char* Part) { return Text.find(Part) != std::string::npos; }

std::string WithFlag(bool Ticked, const std::string& Entry)
{
    return (Ticked ? "1" : "0") + (Entry.empty() ? std::string() : Entry.substr(1));
}

} // namespace

// --- pages ---

TTabSheet* TCDAssistentDlg::FindPage(const std::string& Name) const
{
    for (int i = 0; i < PageControl->PageCount(); ++i)
        if (PageControl->Pages(i)->Name() == Name)
            return PageControl->Pages(i);
    return nullptr;
}

void TCDAssistentDlg::ShowPage(const std::string& Name)
{
    if (TTabSheet* page = FindPage(Name))
        PageControl->SetActivePage(page);
    PageControlChange(PageControl);
}

TTabSheet* TCDAssistentDlg::ModeStartPage() const { return IsListMode() ? VisteloListStartTabSheet : StartPage; }

std::string TCDAssistentDlg::TargetFolder() const { return CDDirListBox->Directory(); }

void TCDAssistentDlg::FormActivate(TObject*)
{
    if (activated_)
        return;
    activated_ = true;
    if (IsListMode())
        ActivateListMode();
    else
        ActivatePictureMode();
}

void TCDAssistentDlg::ActivatePictureMode()
{
    NextBtn->SetEnabled(true);
    DelAllCheck->SetChecked(true);
    ShowPage("StartPage");
    CDBurnCheck->SetEnabled(CountPictures(0) > 0);
    CopyPicturesCheck->SetEnabled(CountPictures(1) > 0);
    DeletePicturesCheck->SetEnabled(CountPictures(2) > 0);
    // A choice that cannot be made any more falls back on the CD.
    for (TRadioButton* choice : {CopyPicturesCheck, DeletePicturesCheck})
        if (!choice->Enabled() && choice->Checked())
            CDBurnCheck->SetChecked(true);
    CollectUsedFonts(UsedFonts, false, true);
    FillFontListBox(UsedFontsListBox, *UsedFonts);
    UsedFontsListBoxClick(UsedFontsListBox);
    if (PicInfoUnit::PicCount() == 0) {
        NextBtn->SetEnabled(false);
        ui::MessageDlg(CDAssistentTexts::NoPictures, mtInformation, {mbOK, mbHelp}, CDAssistentTexts::HelpNothingToDo);
    }
}

void TCDAssistentDlg::ActivateListMode()
{
    ShowPage("VisteloListStartTabSheet");
    NextBtn->SetEnabled(true);
    if (!UsedFonts && VisteloList)
        CollectListFonts(UsedFonts, *VisteloList);
    if (!UsedFonts) {
        UsedFonts = std::make_unique<TStringList>();
        UsedFonts->OwnsObjects = true;
    }
    FillFontListBox(UsedFontsListBox, *UsedFonts);
    UsedFontsListBoxClick(UsedFontsListBox);
    if (!VisteloList || VisteloList->Items->Count == 0) {
        NextBtn->SetEnabled(false);
        ui::MessageDlg(CDAssistentTexts::NoShows, mtInformation, {mbOK, mbHelp}, CDAssistentTexts::HelpNothingToDo);
    }
}

void TCDAssistentDlg::PageControlChange(TObject*)
{
    TTabSheet* page = PageControl->ActivePage();
    const std::string name = page ? page->Name() : std::string();
    const bool working = Contains(name, "Working");
    BackBtn->SetEnabled(page != ModeStartPage() && !working);
    NextBtn->SetEnabled(!Contains(name, "Confirm") && !working);
    CancelBtn->SetEnabled(!working);
    if (page == CopyFontsPage)
        CopyFontsCheckClick(CopyFontsCheck);
    if (page == ConfirmBurnVisteloListPage)
        BurnVisteloListDirectoryLabel->SetFileName(TargetFolder());
}

void TCDAssistentDlg::NextBtnClick(TObject*)
{
    TTabSheet* page = PageControl->ActivePage();
    if (page == ChooseActionPage) {
        if (CDBurnCheck->Checked())
            ShowPage("BurnCDChooseDirPage");
        else if (CopyPicturesCheck->Checked())
            ShowPage("CopyPicturesChooseDirPage");
        else if (DeletePicturesCheck->Checked())
            ShowPage("DelSoundPicPage");
    } else if (page == BurnCDChooseDirPage) {
        ShowPage("CopyFontsPage");
    } else if (page == CopyPicturesChooseDirPage) {
        ShowPicDirLabel->SetFileName(DirectoryListBox2->Directory());
        ShowPage("ConfirmCopyPicturesPage");
    } else if (page == DelSoundPicPage) {
        ShowPage("ConfirmDeletePicturesPage");
    } else if (page == CopyFontsPage) {
        TakeFontChoices();
        ShowDirLabel->SetFileName(TargetFolder());
        ShowPage(IsListMode() ? "ConfirmBurnVisteloListPage" : "ConfirmCreateVisteloPage");
    } else if (page == VisteloListStartTabSheet) {
        ShowPage("BurnCDChooseDirPage");
    } else if (page && page->PageIndex() + 1 < PageControl->PageCount()) {
        ShowPage(PageControl->Pages(page->PageIndex() + 1)->Name());
    }
}

void TCDAssistentDlg::BackBtnClick(TObject*)
{
    TTabSheet* page = PageControl->ActivePage();
    if (page == DelSoundPicPage || page == CopyPicturesChooseDirPage) {
        ShowPage("ChooseActionPage");
    } else if (page == ConfirmDeletePicturesPage) {
        ShowPage("DelSoundPicPage");
    } else if (page == ChooseActionPage) {
        ShowPage("StartPage");
    } else if (page == ConfirmCreateVisteloPage || page == ConfirmBurnVisteloListPage) {
        ShowPage("CopyFontsPage");
    } else if (page == CopyFontsPage) {
        TakeFontChoices();
        ShowPage("BurnCDChooseDirPage");
    } else if (page == ConfirmCopyPicturesPage) {
        ShowPage("CopyPicturesChooseDirPage");
    } else if (page == BurnCDChooseDirPage) {
        ShowPage(IsListMode() ? "VisteloListStartTabSheet" : "ChooseActionPage");
    } else if (page && page->PageIndex() > 0) {
        ShowPage(PageControl->Pages(page->PageIndex() - 1)->Name());
    }
}

void TCDAssistentDlg::BackToPicListBtnClick(TObject*) { Close(); }

void TCDAssistentDlg::CDBurnCreateDirBtnClick(TObject* Sender)
{
    TDirectoryListBox* list = Sender == CopyPicturesCreateDirBtn ? DirectoryListBox2 : CDDirListBox;
    std::string folder = list->Directory();
    CreateDirDlgUnit::Execute(this, folder);
    list->SetDirectory(folder);
    list->Update();
}

// --- fonts ---

void TCDAssistentDlg::FillFontListBox(TSymbolCheckListBox* ListBox, const TStringList& List)
{
    TStrings& items = ListBox->Items();
    items.BeginUpdate();
    items.Clear();
    for (int i = 0; i < List.Count(); ++i)
        items.AddObject(List.Strings(i), List.Objects(i));
    for (int i = 0; i < items.Count(); ++i)
        ListBox->SetChecked(i, !items.Strings(i).empty() && items.Strings(i).front() == '1');
    items.EndUpdate();
}

void TCDAssistentDlg::TakeFontChoices()
{
    if (!UsedFonts)
        return;
    TStrings& items = UsedFontsListBox->Items();
    for (int i = 0; i < items.Count() && i < UsedFonts->Count(); ++i)
        UsedFonts->SetStrings(i, WithFlag(UsedFontsListBox->GetChecked(i), items.Strings(i)));
}

const TStringList* TCDAssistentDlg::FontsToCopy() const
{
    return CopyFontsCheck->Checked() && UsedFonts && UsedFonts->Count() > 0 ? UsedFonts.get() : nullptr;
}

void TCDAssistentDlg::CopyFontsCheckClick(TObject*)
{
    const bool on = CopyFontsCheck->Checked();
    FontPanel->SetEnabled(on);
    for (TControl* control : {static_cast<TControl*>(UsedFontsListBox), static_cast<TControl*>(FontFileNamesListBox),
                              static_cast<TControl*>(MoreFontsBtn)})
        control->SetEnabled(on);
}

void TCDAssistentDlg::UsedFontsListBoxClick(TObject*)
{
    const int index = UsedFontsListBox->ItemIndex();
    if (index < 0 || index >= UsedFontsListBox->Items().Count()) {
        FontFileNamesListBox->Items().Clear();
        MoreFontsBtn->SetEnabled(false);
        return;
    }
    MoreFontsBtn->SetEnabled(CopyFontsCheck->Checked());
    TStrings& items = UsedFontsListBox->Items();
    items.SetStrings(index, WithFlag(UsedFontsListBox->GetChecked(index), items.Strings(index)));
    if (const auto* files = dynamic_cast<TStringList*>(items.Objects(index)))
        FillFontListBox(FontFileNamesListBox, *files);
    else
        FontFileNamesListBox->Items().Clear();
}

void TCDAssistentDlg::FontFileNamesListBoxClick(TObject*)
{
    const int font = UsedFontsListBox->ItemIndex();
    if (font < 0)
        return;
    auto* files = dynamic_cast<TStringList*>(UsedFontsListBox->Items().Objects(font));
    if (!files)
        return;
    TStrings& items = FontFileNamesListBox->Items();
    files->Clear();
    for (int i = 0; i < items.Count(); ++i) {
        const std::string entry = WithFlag(FontFileNamesListBox->GetChecked(i), items.Strings(i));
        items.SetStrings(i, entry);
        files->Add(entry);
    }
}

void TCDAssistentDlg::FontFileNamesListBoxDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)
{
    auto* list = static_cast<TCustomListBox*>(Control);
    TCanvas& canvas = *list->Canvas();
    canvas.Font.SetColor(State.Contains(odSelected) ? clHighlightText : clWindowText);
    canvas.FillRect(Rect);
    if (Index < 0 || Index >= list->Items().Count())
        return;
    const std::string text = list->Items().Strings(Index);
    // Without the flag, in one line, with no "&" taken as an accelerator.
    canvas.TextOut(Rect.Left + 2, Rect.Top, text.empty() ? text : text.substr(1));
}

void TCDAssistentDlg::MoreFontsBtnClick(TObject*)
{
    const int font = UsedFontsListBox->ItemIndex();
    if (font < 0) {
        ui::MessageDlg(CDAssistentTexts::NoFontChosen, mtInformation, {mbOK}, 0);
        return;
    }
    if (!FontOpenDialog->Execute())
        return;
    FontOpenDialog->InitialDir = rtl::ExtractFilePath(FontOpenDialog->FileName);
    TStrings& items = FontFileNamesListBox->Items();
    const int added = items.Add("1" + FontOpenDialog->FileName);
    FontFileNamesListBox->SetChecked(added, true);
    if (!UsedFontsListBox->Items().Objects(font) && UsedFonts && font < UsedFonts->Count()) {
        auto files = std::make_unique<TStringList>();
        UsedFontsListBox->Items().SetObjects(font, files.get());
        UsedFonts->SetObjects(font, files.release());
    }
    FontFileNamesListBoxClick(FontFileNamesListBox);
}

// --- the runs ---

void TCDAssistentDlg::RemoveCurrentPicture(int Index)
{
    if (RemovePicture)
        RemovePicture(Index);
    else if (TVistelo* show = PicInfoUnit::CurrentVistelo())
        RemovePictureFromShow(*show, Index);
}

void TCDAssistentDlg::StartCreateVisteloClick(TObject*)
{
    const bool built = BuildShowFromList ? BuildShowFromList() : PicInfoUnit::PicCount() > 0;
    TVistelo* show = built ? PicInfoUnit::CurrentVistelo() : nullptr;
    if (!show) {
        ui::MessageDlg(CDAssistentTexts::ShowNotBuilt, mtError, {mbOK}, 0);
        Close();
        return;
    }
    ShowPage("CreateVisteloWorkingPage");
    CreateVisteloAnimate->SetActive(true);
    TCDFolderMaker maker(TargetFolder(), {VisteloCreateVexaProgressBar, VisteloCreateCopyFileProgressBar});
    maker.Fonts = FontsToCopy();
    maker.CreateShowCD(*show, true, Setup::VisteloFilename, VisteloCDCopySoundsCheck->Checked(),
                       CopyAllPicturesCheck->Checked());
    CreateVisteloAnimate->SetActive(false);
    if (ClearCurrentShow)
        ClearCurrentShow();
    Close();
}

void TCDAssistentDlg::StartCopyPicturesBtnClick(TObject*)
{
    ShowPage("CopyingFilesWorkingPage");
    const bool built = BuildShowFromList ? BuildShowFromList() : PicInfoUnit::PicCount() > 0;
    TVistelo* show = built ? PicInfoUnit::CurrentVistelo() : nullptr;
    if (!show) {
        ui::MessageDlg(CDAssistentTexts::CopyShowNotBuilt, mtError, {mbOK}, 0);
        ShowPage("ConfirmCopyPicturesPage");
        return;
    }
    CopyFilesAnimate->SetActive(true);
    CopyTickedPictures(*show, Setup::VisteloFilename, DirectoryListBox2->Directory(),
                       CopyPicturesCopySoundsCheck->Checked(), CreateVisteloCheck->Checked(),
                       {CopyPicturesProgressBar, CopyPicturesFileProgressBar});
    CopyFilesAnimate->SetActive(false);
    if (ClearCurrentShow)
        ClearCurrentShow();
    Close();
}

void TCDAssistentDlg::DeletePicturesBtnClick(TObject*)
{
    ShowPage("DeleteFilesWorkingPage");
    DeleteFilesAnimate->SetActive(true);
    DeleteFilesProgressBar->SetMax(CountPictures(2));
    if (PictureListUpdate)
        PictureListUpdate(true);
    const int failures = DeleteMarkedFiles(DeleteFilesProgressBar, 2, !DelSoundsCheck->Checked(),
                                           !DelPicsCheck->Checked(), Setup::VisteloFilename,
                                           [this](int Index) { RemoveCurrentPicture(Index); });
    if (PictureListUpdate)
        PictureListUpdate(false);
    if (UpdateAllListItems)
        UpdateAllListItems();
    DeleteFilesAnimate->SetActive(false);
    ui::MessageDlg(DeleteMessage(failures), mtInformation, {mbOK}, 0);
    Close();
}

void TCDAssistentDlg::StartCreateVisteloListBtnClick(TObject*)
{
    if (!VisteloList)
        return;
    ShowPage("CreateVisteloWorkingPage");
    CreateVisteloAnimate->SetActive(true);
    TCDFolderMaker maker(TargetFolder(), {VisteloCreateVexaProgressBar, VisteloCreateCopyFileProgressBar});
    maker.Fonts = FontsToCopy();
    const bool made = maker.CreateListCD(*VisteloList);
    CreateVisteloAnimate->SetActive(false);
    if (made)
        Close();
    else
        ShowPage("ConfirmBurnVisteloListPage"); // the folder could not be made: choose another
}
