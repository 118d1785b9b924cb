// The assistant's pages: refreshing them from the preset, the rules that
// tie its checks together, colours, extension lists, presets and the run.

#include "editor/tools/HtmlAssistentUnit.h"

#include "core/Setup.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/ComboEdit.h"
#include "editor/controls/DirectoryEdit.h"
#include "editor/controls/FilenameEdit.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/HTMLExport.h"
#include "editor/tools/HTMLLinks.h"
#include "editor/tools/HTMLSmallDialogs.h"
#include "editor/tools/SmallEditor.h"
#include "platform/rtl/Files.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

namespace {

// The entries of "X;Y;": text after the last ";" is dropped.
void FillExtensions(TListBox* List, const std::string& Text)
{
    List->Items().Clear();
    std::size_t start = 0;
    for (std::size_t end = Text.find(';'); end != std::string::npos; end = Text.find(';', start)) {
        List->Items().Add(Text.substr(start, end - start));
        start = end + 1;
    }
}

TColor Inverted(TColor Color) { return static_cast<TColor>(gfx::ColorToPixelRGB(Color) ^ 0xFFFFFFu); }

} // namespace

void THTMLAssistent::ShowPage(int Index)
{
    PageControl->SetActivePageIndex(Index);
    PageControlChange(PageControl);
}

void THTMLAssistent::FormActivate(TObject*)
{
    NextBtn->SetEnabled(true);
    ShowPage(0);
    HTMLPageControl->SetActivePageIndex(0);
    PresetToControls();
    if (PicInfoUnit::PicCount() <= 0) {
        NextBtn->SetEnabled(false);
        LoadPresetBtn->SetEnabled(false);
        GotoCreateWebPageBtn->SetEnabled(false);
        ui::MessageDlg(HtmlAssistent::NoPicturesText, mtInformation, TMsgDlgButtons{mbOK, mbHelp},
                       HtmlAssistent::NoPicturesHelpContext);
    }
}

void THTMLAssistent::NextBtnClick(TObject*)
{
    if (PageControl->ActivePageIndex() + 1 < PageControl->PageCount())
        ShowPage(PageControl->ActivePageIndex() + 1);
}

void THTMLAssistent::BackBtnClick(TObject*)
{
    if (PageControl->ActivePageIndex() > 0)
        ShowPage(PageControl->ActivePageIndex() - 1);
}

void THTMLAssistent::GotoCreateWebPageBtnClick(TObject*) { ShowPage(PageControl->PageCount() - 1); }

void THTMLAssistent::PageControlChange(TObject*)
{
    const int page = PageControl->ActivePageIndex();
    BackBtn->SetEnabled(page > 0);
    NextBtn->SetEnabled(page < PageControl->PageCount() - 1);
    GotoCreateWebPageBtn->SetEnabled(NextBtn->Enabled());
    CancelBtn->SetEnabled(true);
    if (PageControl->ActivePage() == ConvertTabSheet)
        RefreshConvertPage();
    else if (PageControl->ActivePage() == FilePage)
        RefreshFilePage();
}

void THTMLAssistent::PresetToControls()
{
    RefreshColors();
    RefreshExample();
    RefreshPageKinds();
    RefreshIndexPage();
    RefreshPicturePage();
    RefreshConvertPage();
    RefreshFilePage();
}

void THTMLAssistent::ShowColor(TComboEdit* Edit, TColor Color)
{
    Edit->SetColor(Color);
    Edit->Font().SetColor(Inverted(Color));
    Edit->SetText(ColorToHTML(Color));
}

void THTMLAssistent::RefreshColors()
{
    refreshing_ = true;
    ShowColor(BGColorEdit, Preset->BGColor);
    ShowColor(TextColorEdit, Preset->TextColor);
    ShowColor(LinkColorEdit, Preset->LinkColor);
    ShowColor(ALinkColorEdit, Preset->ALinkColor);
    ShowColor(VLinkColorEdit, Preset->VLinkColor);
    BGPicEdit->SetText(Preset->BGPicture);
    refreshing_ = false;
}

void THTMLAssistent::RefreshExample()
{
    ExBgPanel->SetColor(Preset->BGColor);
    ExTextLabel->Font().SetColor(Preset->TextColor);
    ExLinkLabel->Font().SetColor(Preset->LinkColor);
    ExLinkTimer->SetEnabled(false);
}

void THTMLAssistent::RefreshPageKinds()
{
    refreshing_ = true;
    TabIndexCheck->SetChecked(Preset->TabIndex);
    PicturePageCheck->SetChecked(Preset->PicturePage);
    refreshing_ = false;
    TabIndexCheckClick(TabIndexCheck);
    PicturePageCheckClick(PicturePageCheck);
}

void THTMLAssistent::RefreshIndexPage()
{
    refreshing_ = true;
    TabHeadLineEdit->SetText(Preset->TabHeadLine);
    TabUserText1Edit->SetText(Preset->TabUserText1);
    TabUserText2Edit->SetText(Preset->TabUserText2);
    TabColsEdit->SetValue(Preset->TabCols);
    TabBorderWidthEdit->SetValue(Preset->TabBorderWidth);
    ShowThumbNailsCheck->SetChecked(Preset->ShowThumbNails);
    ShowPicNamesCheck->SetChecked(Preset->ShowPicNames);
    ShowDescriptionCheck->SetChecked(Preset->ShowDescription);
    TabDeviderCheck->SetChecked(Preset->TabDivider);
    ThumbNailOptionsBtn->SetEnabled(Preset->ShowThumbNails);
    refreshing_ = false;
}

void THTMLAssistent::RefreshPicturePage()
{
    refreshing_ = true;
    PicHeadLineEdit->SetText(Preset->PicHeadLine);
    PicUserText1Edit->SetText(Preset->PicUserText1);
    PicUserText2Edit->SetText(Preset->PicUserText2);
    PicShowBorderCheck->SetChecked(Preset->PicShowBorder);
    PicBorderWidthEdit->SetValue(Preset->PicBorderWidth);
    PicShowDescriptionCheck->SetChecked(Preset->PicShowDescription);
    CreateNavigationCheck->SetChecked(Preset->CreateNavigation);
    PicDeviderCheck->SetChecked(Preset->PicDivider);
    refreshing_ = false;
    PicShowBorderCheckClick(PicShowBorderCheck);
    CreateNavigationCheckClick(CreateNavigationCheck);
}

void THTMLAssistent::RefreshConvertPage()
{
    refreshing_ = true;
    FillExtensions(ConvertExtListBox, Preset->ConvertExts);
    FillExtensions(CopyExtListBox, Preset->CopyExts);
    const bool shadow = Preset->GenerateShadow;
    ConvertCheck->SetChecked(!shadow);
    GenerateShadowCheck->SetChecked(shadow);
    ShadowWidthEdit->SetValue(Preset->ShadowWidth);
    refreshing_ = false;
    GenerateShadowCheck->SetEnabled(Preset->PicturePage);
    if (shadow)
        GenerateShadowCheckClick(GenerateShadowCheck); // forces conversion without picture pages
    else
        ConvertCheckClick(ConvertCheck);
}

void THTMLAssistent::RefreshFilePage()
{
    refreshing_ = true;
    InternetCheck->SetChecked(Preset->ForInternet);
    LocalCheck->SetChecked(!Preset->ForInternet);
    UseSubDirsCheck->SetChecked(Preset->UseSubDirs);
    HTMLDirEdit->SetText(Preset->HTMLDir);
    HTMLDirEdit->SetEnabled(Preset->PicturePage);
    PicDirEdit->SetText(Preset->PicDir);
    MainDirEdit->SetText(Preset->MainDir);
    MainFilenameEdit->SetText(Preset->MainFilename);
    MainFilePanel->SetEnabled(Preset->TabIndex);
    refreshing_ = false;
    UseSubDirsCheckClick(UseSubDirsCheck);
}

void THTMLAssistent::CheckHTMLColorInput(TObject* Sender)
{
    auto* edit = static_cast<TComboEdit*>(Sender);
    TColor* field = edit == BGColorEdit ? &Preset->BGColor
        : edit == TextColorEdit         ? &Preset->TextColor
        : edit == LinkColorEdit         ? &Preset->LinkColor
        : edit == ALinkColorEdit        ? &Preset->ALinkColor
        : edit == VLinkColorEdit        ? &Preset->VLinkColor
                                        : nullptr;
    if (!field || refreshing_)
        return;
    try {
        *field = HTMLToColor(edit->Text());
    } catch (const std::exception&) {
        ui::MessageDlg(HtmlAssistent::BadColorInputText, mtError, TMsgDlgButtons{mbOK}, 0);
    }
    refreshing_ = true;
    ShowColor(edit, *field);
    refreshing_ = false;
    Preset->BGPicture = BGPicEdit->FileName();
    RefreshExample();
}

void THTMLAssistent::OpenColorPicker(TObject* Sender)
{
    auto* edit = static_cast<TComboEdit*>(Sender);
    try {
        ColorDialog->Color = HTMLToColor(edit->Text());
    } catch (const std::exception&) {
    }
    if (!ColorDialog->Execute())
        return;
    edit->SetText(ColorToHTML(ColorDialog->Color));
    CheckHTMLColorInput(edit);
}

void THTMLAssistent::ExLinkLabelMouseDown() { ExLinkLabel->Font().SetColor(Preset->ALinkColor); }

void THTMLAssistent::ExLinkLabelMouseUp()
{
    ExLinkLabel->Font().SetColor(Preset->VLinkColor);
    ExLinkTimer->SetEnabled(false);
    ExLinkTimer->SetEnabled(true);
}

void THTMLAssistent::ExLinkTimerTimer(TObject*)
{
    ExLinkTimer->SetEnabled(false);
    ExLinkLabel->Font().SetColor(Preset->LinkColor);
}

void THTMLAssistent::TabIndexCheckClick(TObject*)
{
    if (refreshing_)
        return;
    Preset->TabIndex = TabIndexCheck->Checked();
    TabIndexPage->SetTabVisible(Preset->TabIndex);
    if (!TabIndexCheck->Checked() && !PicturePageCheck->Checked())
        PicturePageCheck->SetChecked(true); // runs its handler
}

void THTMLAssistent::PicturePageCheckClick(TObject*)
{
    if (refreshing_)
        return;
    Preset->PicturePage = PicturePageCheck->Checked();
    PicturePage->SetTabVisible(Preset->PicturePage);
    if (!TabIndexCheck->Checked() && !PicturePageCheck->Checked())
        TabIndexCheck->SetChecked(true);
    RefreshConvertPage();
}

void THTMLAssistent::ShowThumbNailsCheckClick(TObject*)
{
    if (refreshing_)
        return;
    ThumbNailOptionsBtn->SetEnabled(ShowThumbNailsCheck->Checked());
    Preset->ShowThumbNails = ShowThumbNailsCheck->Checked();
    if (!ShowThumbNailsCheck->Checked() && !ShowPicNamesCheck->Checked())
        ShowPicNamesCheck->SetChecked(true);
}

void THTMLAssistent::ShowPicNamesCheckClick(TObject*)
{
    if (refreshing_)
        return;
    Preset->ShowPicNames = ShowPicNamesCheck->Checked();
    if (!ShowThumbNailsCheck->Checked() && !ShowPicNamesCheck->Checked())
        ShowThumbNailsCheck->SetChecked(true);
}

void THTMLAssistent::PicShowBorderCheckClick(TObject*)
{
    if (refreshing_)
        return;
    Preset->PicShowBorder = PicShowBorderCheck->Checked();
    PicBorderWidthEdit->SetEnabled(Preset->PicShowBorder);
    PicBorderWidthLabel->SetEnabled(Preset->PicShowBorder);
}

void THTMLAssistent::CreateNavigationCheckClick(TObject*)
{
    if (refreshing_)
        return;
    Preset->CreateNavigation = CreateNavigationCheck->Checked();
    NavigationLinkPrefsBtn->SetEnabled(Preset->CreateNavigation);
}

void THTMLAssistent::ConvertCheckClick(TObject*)
{
    if (refreshing_)
        return;
    ConvertListPanel->SetEnabled(ConvertCheck->Checked());
    ShadowPanel->SetEnabled(GenerateShadowCheck->Checked());
    Preset->GenerateShadow = GenerateShadowCheck->Checked();
}

// A shadow needs picture pages to show it; without them conversion is forced.
void THTMLAssistent::GenerateShadowCheckClick(TObject*)
{
    if (refreshing_)
        return;
    ConvertListPanel->SetEnabled(ConvertCheck->Checked());
    ShadowPanel->SetEnabled(GenerateShadowCheck->Checked());
    Preset->GenerateShadow = GenerateShadowCheck->Checked();
    if (!Preset->PicturePage && !ConvertCheck->Checked()) {
        ConvertCheck->SetChecked(true);
        ConvertCheckClick(ConvertCheck);
    }
}

void THTMLAssistent::ConvertLabelClick(TObject*)
{
    ConvertCheck->SetChecked(true);
    if (ConvertCheck->CanFocus())
        ConvertCheck->SetFocus();
    ConvertCheckClick(ConvertCheck);
}

void THTMLAssistent::UseSubDirsCheckClick(TObject*)
{
    if (refreshing_)
        return;
    SubDirPanel->SetEnabled(UseSubDirsCheck->Checked());
    Preset->UseSubDirs = UseSubDirsCheck->Checked();
}

void THTMLAssistent::InternetLocalCheck(TObject*)
{
    if (!refreshing_)
        Preset->ForInternet = InternetCheck->Checked();
}

void THTMLAssistent::MoveEntries(TListBox* From, TListBox* To, bool All)
{
    for (int i = From->Items().Count() - 1; i >= 0; --i) {
        if (!All && !From->Selected(i))
            continue;
        To->Items().Add(From->Items().Strings(i));
        From->Items().Delete(i);
    }
    StoreExtensions();
}

void THTMLAssistent::StoreExtensions()
{
    Preset->ConvertExts = HtmlAssistent::JoinExtensions(ConvertExtListBox->Items());
    Preset->CopyExts = HtmlAssistent::JoinExtensions(CopyExtListBox->Items());
}

void THTMLAssistent::AddConvertExitClick(TObject*) { MoveEntries(CopyExtListBox, ConvertExtListBox, false); }
void THTMLAssistent::AddCopyExtClick(TObject*) { MoveEntries(ConvertExtListBox, CopyExtListBox, false); }
void THTMLAssistent::AddAllConvertExtBtnClick(TObject*) { MoveEntries(CopyExtListBox, ConvertExtListBox, true); }
void THTMLAssistent::DelAllConvertExtBtnClick(TObject*) { MoveEntries(ConvertExtListBox, CopyExtListBox, true); }

void THTMLAssistent::ThumbNailOptionsBtnClick(TObject*)
{
    TThumbNailSizeDlg dialog(nullptr, *Preset);
    dialog.ShowModal();
}

void THTMLAssistent::NavigationLinkPrefsBtnClick(TObject*)
{
    THTMLFormatNavigationLinks dialog(nullptr, *Preset, SmallEditor);
    dialog.ShowModal();
}

void THTMLAssistent::SetupJPEGBtnClick(TObject*)
{
    JPEGCompressionDlg->CompressionWord = Preset->PictureJPEG;
    if (JPEGCompressionDlg->Execute())
        Preset->PictureJPEG = JPEGCompressionDlg->CompressionWord;
}

void THTMLAssistent::ComboEditor(TComboEdit* Edit)
{
    SmallEditor->Text = Edit->Text();
    if (SmallEditor->Execute())
        Edit->SetText(SmallEditor->Text);
}

void THTMLAssistent::SavePresetBtnClick(TObject*)
{
    if (!SavePresetDialog->Execute())
        return;
    OpenPresetDialog->InitialDir = SavePresetDialog->InitialDir = rtl::ExtractFileDir(SavePresetDialog->FileName);
    try {
        Preset->SaveToFile(SavePresetDialog->FileName);
    } catch (const Exception& error) {
        ui::MessageDlg(error.Message, mtError, TMsgDlgButtons{mbOK}, 0);
    }
}

void THTMLAssistent::LoadPresetBtnClick(TObject*)
{
    if (!OpenPresetDialog->Execute())
        return;
    OpenPresetDialog->InitialDir = SavePresetDialog->InitialDir = rtl::ExtractFileDir(OpenPresetDialog->FileName);
    try {
        Preset->LoadFromFile(OpenPresetDialog->FileName);
    } catch (const Exception& error) {
        ui::MessageDlg(error.Message, mtError, TMsgDlgButtons{mbOK}, 0);
    }
    PresetToControls();
}

void THTMLAssistent::CreateWebPageBtnClick(TObject*)
{
    Busy = true;
    StatusPanel->SetVisible(true);
    BackBtn->SetEnabled(false);
    CancelBtn->SetEnabled(false);
    SavePresetBtn->SetEnabled(false);
    FirstPageName.clear();
    try {
        CreateWebPages();
    } catch (const Exception& error) {
        ui::MessageDlg(error.Message, mtError, TMsgDlgButtons{mbOK}, 0);
    }
    StatusPanel->SetVisible(false);
    BackBtn->SetEnabled(true);
    CancelBtn->SetEnabled(true);
    SavePresetBtn->SetEnabled(true);
    Busy = false;
}

void THTMLAssistent::CreateWebPages()
{
    std::vector<THTMLExportItem> items;
    for (int i = 0; i < PicInfoUnit::PicCount(); ++i) {
        const TPicInfoObject* entry = PicInfoUnit::GetPicInfoObject(i);
        if (!entry)
            continue;
        items.push_back({entry->FileName, PicInfoUnit::PicChecked(i), entry->Comments, entry->BackgroundColor});
    }
    THTMLExport run(*Preset, std::move(items), Setup::VisteloFilename, HTMLLinks::HomeDir());
    run.ConvertDescriptionsTags = VisteloSetup::ConvertDescriptionsTags;
    run.AddCopyright = VisteloSetup::HTMLAddCopyright;
    run.Progress.Whole = [this](int Position, int Max) {
        WholeProgressBar->SetMax(Max);
        WholeProgressBar->SetPosition(Position);
        Application->ProcessMessages();
    };
    run.Progress.File = [this](int Percent) {
        FileProgressbar->SetMax(100);
        FileProgressbar->SetPosition(Percent);
        Application->ProcessMessages();
    };
    run.Progress.FileName = [this](const std::string& Name) { FilenameLabel->SetCaption(Name); };
    run.Progress.Percent = [this](const std::string& Text) { ProgressLabel->SetCaption(Text); };
    if (!run.Run())
        return;
    FirstPageName = run.FirstPageName();
    THTMLExitDlg exit(nullptr, run.StartAddress());
    if (exit.ShowModal() == mrYes) {
        Busy = false;
        Close();
    }
}
