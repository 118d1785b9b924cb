// The show-list manager's window, its commands and its list file.

#include "editor/app/VisteloManager.h"

#include <cmath>

#include "core/PlayerPackageInterface.h"
#include "core/Setup.h"
#include "editor/app/About.h"
#include "editor/app/EditorGlyphs.h"
#include "editor/app/ToolHooks.h"
#include "editor/app/ToolbarGlyphs.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"
#include "widgets/KSCtrls.h"
#include "widgets/Placemnt.h"

IMPLEMENT_CLASS(TVisteloManagerForm)

namespace VisteloManager {

int ThumbWidthOf(int Position) { return static_cast<int>(std::nearbyint(Position / 100.0 * 150)); }

int ThumbHeightOf(int Position) { return static_cast<int>(std::nearbyint(Position / 100.0 * 100)); }

int PositionOfThumbWidth(int Width) { return static_cast<int>(std::nearbyint(Width * 2.0 / 3.0)); }

int DropTarget(int LineUnderPointer, bool UpperHalfOfFirstLine)
{
    if (LineUnderPointer < 0)
        return -1;
    if (LineUnderPointer == 0 && UpperHalfOfFirstLine)
        return 0;
    return LineUnderPointer + 1;
}

} // namespace VisteloManager

namespace {

template <class Control> Control* Place(TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new Control(Parent);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

TLabel* NewLabel(TWinControl* Parent, int Left, int Top, const std::string& Text)
{
    auto* label = Place<TLabel>(Parent, Left, Top, 200, 15);
    label->SetCaption(Text);
    return label;
}

} // namespace

TVisteloManagerForm::TVisteloManagerForm(TComponent* AOwner) : TForm(AOwner), list_(std::make_unique<TVisteloList>())
{
    SetCaption("Vistelo-Manager");
    SetBounds(0, 0, 640, 560);
    PlayList = [](TVisteloList& List, std::int32_t StartIndex) {
        PlayerPackageInterface::VisteloListStart(List, StartIndex);
    };
    CreateMenu();
    CreateToolButtons();
    CreateSettingsPanel();
    CreateInfoPanel();
    CreateListPanel();

    OpenVisteloDialog = new TOpenDialog(this);
    OpenVisteloDialog->Filter = VisteloManager::ShowFilter;
    OpenVisteloDialog->Options = {ofHideReadOnly, ofAllowMultiSelect, ofFileMustExist};
    OpenListDialog = new TOpenDialog(this);
    OpenListDialog->Filter = VisteloManager::ListFilter;
    OpenListDialog->Options = {ofHideReadOnly, ofFileMustExist};
    SaveListDialog = new TSaveDialog(this);
    SaveListDialog->Filter = VisteloManager::SaveFilter;
    SaveListDialog->DefaultExt = "vsl";
    SaveListDialog->Options = {ofHideReadOnly, ofOverwritePrompt};

    FormPlacement = new TFormPlacement(this);
    FormPlacement->UseRegistry = true;
    FormPlacement->IniSection = VisteloManager::PlacementKey;
    FormPlacement->SetEvents();

    OnActivate = [this](TObject*) { RefreshSettings(); };
    RebuildListBox();
    RefreshSettings();
}

TVisteloManagerForm::~TVisteloManagerForm() = default;

// ---------------------------------------------------------------------------
// Building the window

void TVisteloManagerForm::CreateMenu()
{
    MainMenu = new TMainMenu(this);
    auto add = [this](TMenuItem* parent, const std::string& caption, void (TVisteloManagerForm::*handler)(TObject*)) {
        auto* item = new TMenuItem(this);
        item->Caption = caption;
        if (handler)
            item->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
        parent->Add(item);
        return item;
    };
    TMenuItem* file = add(&MainMenu->Items(), "&Datei", nullptr);
    add(file, "&Neue Vistelo-Liste", &TVisteloManagerForm::NewListClick);
    add(file, "Vistelo-Liste ö&ffnen...", &TVisteloManagerForm::OpenListClick);
    add(file, "Vistelo-Liste &speichern", &TVisteloManagerForm::SaveListClick);
    add(file, "Vistelo-Liste speichern &unter...", &TVisteloManagerForm::SaveListAsClick);
    add(file, "-", nullptr);
    add(file, "&Schließen", &TVisteloManagerForm::CloseClick);
    TMenuItem* list = add(&MainMenu->Items(), "&Liste", nullptr);
    list->OnClick = [this](TObject*) { CompilationItem->Enabled = VisteloListBox->Items().Count() > 0; };
    add(list, "Vistelos &hinzufügen...", &TVisteloManagerForm::AddVisteloClick);
    add(list, "Markierte Vistelos &entfernen", &TVisteloManagerForm::DelVisteloClick);
    add(list, "-", nullptr);
    add(list, "Vistelo-Liste &abspielen", &TVisteloManagerForm::StartVisteloClick);
    add(list, "Ab der markierten Vistelo s&tarten", &TVisteloManagerForm::StartVisteloAtClick);
    add(list, "-", nullptr);
    SortModeItem = add(list, "S&ortiermodus", &TVisteloManagerForm::SortModeClick);
    CompilationItem = add(list, "Zusammenstellungs-&Assistent...", &TVisteloManagerForm::CompilationClick);
    TMenuItem* help = add(&MainMenu->Items(), "&?", nullptr);
    add(help, "&Info", &TVisteloManagerForm::InfoClick);
    SetMenu(MainMenu);
}

TKsSpeedButton* TVisteloManagerForm::AddToolButton(int Glyph, const std::string& Hint,
                                                   void (TVisteloManagerForm::*Handler)(TObject*))
{
    constexpr int width = 28;
    const int left = 4 + (ToolPanel->ControlCount()) * (width + 2);
    auto* button = Place<TKsSpeedButton>(ToolPanel, left, 3, width, 24);
    TBitmap glyph;
    ToolbarGlyphs::Paint(glyph, Glyph);
    button->SetGlyph(glyph);
    button->Hint = Hint;
    button->SetShowHint(true);
    button->SetFlat(true);
    button->OnClick = [this, Handler](TObject* sender) { (this->*Handler)(sender); };
    return button;
}

void TVisteloManagerForm::CreateToolButtons()
{
    ToolPanel = new TPanel(this);
    ToolPanel->SetParent(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetHeight(36);
    ToolPanel->SetCaption("");
    using namespace ToolbarGlyphs;
    NewListBtn = AddToolButton(tgNew, "Neue Vistelo-Liste erstellen", &TVisteloManagerForm::NewListClick);
    OpenListBtn = AddToolButton(tgOpen, "Vorhandene Vistelo-Liste öffnen", &TVisteloManagerForm::OpenListClick);
    SaveListBtn = AddToolButton(tgSave, "Aktuelle Vistelo-Liste speichern", &TVisteloManagerForm::SaveListClick);
    AddVisteloToolBtn = AddToolButton(tgAdd, "Vistelos hinzufügen", &TVisteloManagerForm::AddVisteloClick);
    DelVisteloToolBtn = AddToolButton(tgRemove, "Markierte Vistelos entfernen", &TVisteloManagerForm::DelVisteloClick);
    StartVisteloToolBtn = AddToolButton(tgStart, "Vistelo-Liste abspielen", &TVisteloManagerForm::StartVisteloClick);
    StartVisteloAtToolBtn = AddToolButton(tgStartAtMarked, "Vistelo-Liste ab der markierten Vistelo starten",
                                          &TVisteloManagerForm::StartVisteloAtClick);
    SortModeBtn = AddToolButton(tgSortMode, "Sortiermodus ein/ausschalten", &TVisteloManagerForm::SortModeClick);
    SortModeBtn->SetGroupIndex(1);
    SortModeBtn->SetAllowAllUp(true);
    CompilationBtn = AddToolButton(tgCompilation, "Zusammenstellungs-Assistenten für Vistelo-Listen aufrufen",
                                   &TVisteloManagerForm::CompilationClick);
    // The program's animation at the right end, running while the editor's
    // preference says so.
    LogoAnimate = new TAnimate(this);
    LogoAnimate->SetParent(ToolPanel);
    LogoAnimate->SetAlign(alRight);
    LogoAnimate->SetWidth(EditorGlyphs::LogoFrameWidth);
    EditorGlyphs::PaintLogoFrames(LogoAnimate->Frames());
    LogoAnimate->SetFrameCount(EditorGlyphs::LogoFrameCount);
    LogoAnimate->SetActive(VisteloSetup::AnimateLogo);
}

void TVisteloManagerForm::CreateListPanel()
{
    auto* panel = new TPanel(this);
    panel->SetParent(this);
    panel->SetAlign(alClient);
    panel->SetCaption("");
    NewLabel(panel, 8, 6, "Titel der Vistelo-Liste:");
    VisteloListTitleEdit = Place<TEdit>(panel, 8, 22, 300, 21);
    VisteloListTitleEdit->SetAnchors({akLeft, akTop, akRight});
    VisteloListTitleEdit->OnChange = [this](TObject*) {
        if (!refreshing_)
            list_->Title = VisteloListTitleEdit->Text();
    };
    VisteloListBox = Place<TSymbolCheckListBox>(panel, 8, 50, 300, 150);
    VisteloListBox->SetAnchors({akLeft, akTop, akRight, akBottom});
    VisteloListBox->SetMultiSelect(true);
    VisteloListBox->OnClickCheck = [this](TObject*) { CheckClicked(); };
    VisteloListBox->OnClick = [this](TObject*) { ShowVisteloInfo(); };
    VisteloListBox->OnStartDrag = [this](TObject*) { ListStartDrag(); };
    VisteloListBox->OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState, bool& accept) {
        accept = ListDragOver(source, x, y);
    };
    VisteloListBox->OnDragDrop = [this](TObject*, TObject*, int x, int y) { ListDragDrop(x, y); };
    VisteloListBox->OnEndDrag = [this](TObject*, TObject*, int, int) { ListEndDrag(); };
}

void TVisteloManagerForm::CreateSettingsPanel()
{
    auto* panel = new TPanel(this);
    panel->SetParent(this);
    panel->SetAlign(alRight);
    panel->SetWidth(300);
    panel->SetCaption("");

    auto* thumbs = Place<TGroupBox>(panel, 6, 4, 288, 150);
    thumbs->SetCaption(" Vorschaubilder ");
    ThumbSizeTrackbar = Place<TTrackBar>(thumbs, 8, 18, 120, 28);
    ThumbSizeTrackbar->SetMin(10);
    ThumbSizeTrackbar->SetMax(100);
    ThumbSizeTrackbar->OnChange = [this](TObject*) { ThumbSizeChanged(); };
    ThumbWidthLabel = NewLabel(thumbs, 8, 52, "");
    ThumbHeightLabel = NewLabel(thumbs, 8, 70, "");
    ThumbPreviewPanel = Place<TPanel>(thumbs, 130, 16, 152, 104);
    ThumbPreviewPanel->SetCaption("");
    ThumbPreview = Place<TPaintBox>(ThumbPreviewPanel, 1, 1, 150, 100);
    ThumbPreview->OnPaint = [this](TObject*) { PaintThumbPreview(); };

    auto* end = Place<TGroupBox>(panel, 6, 158, 288, 100);
    end->SetCaption(" Nach jeder Vistelo ");
    LikeInShowCheck = Place<TRadioButton>(end, 8, 18, 270, 19);
    LikeInShowCheck->SetCaption("wie in der Vistelo eingestellt");
    AutoNextShowCheck = Place<TRadioButton>(end, 8, 38, 270, 19);
    AutoNextShowCheck->SetCaption("automatisch die nächste Vistelo starten");
    ChooseVisteloCheck = Place<TRadioButton>(end, 8, 58, 270, 19);
    ChooseVisteloCheck->SetCaption("Vistelo-Auswahl anzeigen");
    ManualExitCheck = Place<TCheckBox>(end, 8, 78, 270, 19);
    ManualExitCheck->SetCaption("auch bei manuellem Beenden");
    for (TRadioButton* radio : {LikeInShowCheck, AutoNextShowCheck, ChooseVisteloCheck})
        radio->OnClick = [this](TObject*) { EndActionClicked(); };

    auto* start = Place<TGroupBox>(panel, 6, 262, 288, 60);
    start->SetCaption(" Beim Start der Liste ");
    ShowListCheck = Place<TRadioButton>(start, 8, 18, 270, 19);
    ShowListCheck->SetCaption("Vistelo-Auswahl anzeigen");
    PlayFirstVisteloCheck = Place<TRadioButton>(start, 8, 38, 270, 19);
    PlayFirstVisteloCheck->SetCaption("erste Vistelo abspielen");
    for (TRadioButton* radio : {ShowListCheck, PlayFirstVisteloCheck})
        radio->OnClick = [this](TObject*) { StartActionClicked(); };
}

void TVisteloManagerForm::CreateInfoPanel()
{
    auto* panel = new TPanel(this);
    panel->SetParent(this);
    panel->SetAlign(alBottom);
    panel->SetHeight(130);
    panel->SetCaption("");
    ThumbnailImage = Place<TImage>(panel, 6, 6, 150, 100);
    ThumbnailImage->SetCenter(true);
    InfoTitleEdit = Place<TEdit>(panel, 162, 6, 300, 21);
    InfoTitleEdit->SetReadOnly(true);
    InfoTextMemo = Place<TMemo>(panel, 162, 32, 300, 70);
    InfoTextMemo->SetReadOnly(true);
    NewLabel(panel, 162, 108, "Bilder:");
    PicCountLabel = NewLabel(panel, 210, 108, "k.A.");
}

// ---------------------------------------------------------------------------
// The list and its settings

TVisteloListItem* TVisteloManagerForm::ItemAt(int Index) const
{
    return static_cast<TVisteloListItem*>(list_->Items->GetPos(Index));
}

void TVisteloManagerForm::RebuildListBox()
{
    TStrings& lines = VisteloListBox->Items();
    lines.BeginUpdate();
    lines.Clear();
    int number = 0;
    for (TListItem* node = list_->Items->Head; node; node = node->NextItem) {
        auto* item = static_cast<TVisteloListItem*>(node);
        lines.Add(std::to_string(++number) + ". " + rtl::ExtractFileName(item->ShowFile));
        VisteloListBox->SetChecked(number - 1, item->Active);
    }
    lines.EndUpdate();
}

void TVisteloManagerForm::RefreshSettings()
{
    refreshing_ = true;
    VisteloListTitleEdit->SetText(list_->Title);
    ThumbSizeTrackbar->SetPosition(VisteloManager::PositionOfThumbWidth(list_->ThumbWidth));
    ThumbWidthLabel->SetCaption("Breite: " + std::to_string(list_->ThumbWidth));
    ThumbHeightLabel->SetCaption("Höhe: " + std::to_string(list_->ThumbHeight));
    SetCaption("Vistelo-Manager [" + rtl::ExtractFileName(list_->FileName) + "]");
    LikeInShowCheck->SetChecked(list_->EndAction == deListLikeShow);
    AutoNextShowCheck->SetChecked(list_->EndAction == deListAutoLoadNext);
    ChooseVisteloCheck->SetChecked(list_->EndAction == deListChooseVistelo);
    ShowListCheck->SetChecked(list_->StartAction == dlsShowList);
    PlayFirstVisteloCheck->SetChecked(list_->StartAction == dlsPlayFirstVistelo);
    refreshing_ = false;
}

// The check marks change only by the user's toggles, so every line's mark
// is its show's flag. The toggled line need not be selected: the toggle
// comes before the click selects it.
void TVisteloManagerForm::CheckClicked()
{
    for (int i = 0; i < VisteloListBox->Items().Count(); ++i)
        ItemAt(i)->Active = VisteloListBox->GetChecked(i);
}

void TVisteloManagerForm::ThumbSizeChanged()
{
    const int position = ThumbSizeTrackbar->Position();
    if (!refreshing_) {
        list_->ThumbWidth = VisteloManager::ThumbWidthOf(position);
        list_->ThumbHeight = VisteloManager::ThumbHeightOf(position);
    }
    ThumbWidthLabel->SetCaption("Breite: " + std::to_string(list_->ThumbWidth));
    ThumbHeightLabel->SetCaption("Höhe: " + std::to_string(list_->ThumbHeight));
    const int width = list_->ThumbWidth;
    const int height = list_->ThumbHeight;
    ThumbPreview->SetBounds((ThumbPreviewPanel->ClientWidth() - width) / 2,
                            (ThumbPreviewPanel->ClientHeight() - height) / 2, width, height);
}

void TVisteloManagerForm::EndActionClicked()
{
    if (refreshing_)
        return;
    if (LikeInShowCheck->Checked())
        list_->EndAction = deListLikeShow;
    else if (AutoNextShowCheck->Checked())
        list_->EndAction = deListAutoLoadNext;
    else if (ChooseVisteloCheck->Checked())
        list_->EndAction = deListChooseVistelo;
}

void TVisteloManagerForm::StartActionClicked()
{
    if (refreshing_)
        return;
    list_->StartAction = PlayFirstVisteloCheck->Checked() ? dlsPlayFirstVistelo : dlsShowList;
}

// ---------------------------------------------------------------------------
// Commands

void TVisteloManagerForm::AddVisteloClick(TObject*)
{
    OpenVisteloDialog->InitialDir = VisteloSetup::VisteloDir;
    if (!OpenVisteloDialog->Execute())
        return;
    TStrings& files = OpenVisteloDialog->Files();
    for (int i = 0; i < files.Count(); ++i) {
        auto item = std::make_unique<TVisteloListItem>();
        item->ShowFile = files.Strings(i);
        list_->Items->AddItem(std::move(item));
    }
    if (files.Count() > 0)
        RebuildListBox();
}

void TVisteloManagerForm::DelVisteloClick(TObject*)
{
    bool removed = false;
    for (int i = VisteloListBox->Items().Count() - 1; i >= 0; --i)
        if (VisteloListBox->Selected(i)) {
            list_->Items->DeleteItem(ItemAt(i));
            removed = true;
        }
    if (!removed)
        return;
    RebuildListBox();
    RefreshSettings();
}

void TVisteloManagerForm::StartVisteloClick(TObject*)
{
    VisteloSetup::WritePlayerIni(Setup::HomeDir + VisteloSetup::PlayerIniName);
    PlayList(*list_, -1);
}

void TVisteloManagerForm::StartVisteloAtClick(TObject*)
{
    VisteloSetup::WritePlayerIni(Setup::HomeDir + VisteloSetup::PlayerIniName);
    PlayList(*list_, VisteloListBox->ItemIndex());
}

void TVisteloManagerForm::NewListClick(TObject*)
{
    list_->Clear();
    RebuildListBox();
    RefreshSettings();
}

void TVisteloManagerForm::OpenListClick(TObject*)
{
    OpenListDialog->InitialDir = VisteloSetup::VisteloDir;
    if (!OpenListDialog->Execute())
        return;
    list_->LoadFromFile(OpenListDialog->FileName);
    VisteloSetup::VisteloDir = rtl::ExtractFilePath(OpenListDialog->FileName);
    RebuildListBox();
    RefreshSettings();
}

void TVisteloManagerForm::SaveTo(const std::string& FileName)
{
    list_->FileName = FileName;
    list_->SaveToFile(FileName);
    VisteloSetup::VisteloDir = rtl::ExtractFilePath(FileName);
}

void TVisteloManagerForm::SaveListClick(TObject* Sender)
{
    if (rtl::ExtractFileName(list_->FileName) == VisteloManager::UnnamedList)
        return SaveListAsClick(Sender);
    SaveTo(list_->FileName);
}

void TVisteloManagerForm::SaveListAsClick(TObject*)
{
    SaveListDialog->InitialDir = VisteloSetup::VisteloDir;
    if (!SaveListDialog->Execute())
        return;
    SaveTo(SaveListDialog->FileName);
    RefreshSettings();
}

void TVisteloManagerForm::SortModeClick(TObject*)
{
    sortMode_ = !sortMode_;
    VisteloListBox->SetMultiSelect(!sortMode_);
    VisteloListBox->DragMode = sortMode_ ? dmAutomatic : dmManual;
    SortModeItem->SetChecked(sortMode_);
    SortModeBtn->SetDown(sortMode_);
}

void TVisteloManagerForm::CompilationClick(TObject*)
{
    if (!ToolHooks::CDListAssistent()) {
        ui::ShowMessage("Der Zusammenstellungs-Assistent ist noch nicht verfügbar.");
        return;
    }
    ToolHooks::CDListAssistent()(*list_);
}

void TVisteloManagerForm::InfoClick(TObject*) { About::ShowAboutBox(this); }

void TVisteloManagerForm::CloseClick(TObject*) { Close(); }
