// The main window's menus, the picture list's popup and the toolbar: their
// entries, shortcuts and hints, bound to the window's commands.

#include "editor/app/Config.h"

#include "editor/app/ExtPicPrefsUnit.h"
#include "editor/app/FormBuilding.h"
#include "editor/app/ToolbarGlyphs.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "widgets/KSCtrls.h"

namespace {

constexpr WORD F(int Number) { return static_cast<WORD>(VK_F1 + Number - 1); }

} // namespace

TMenuItem* TAAForm::AddMenuItem(TMenuItem* Parent, const std::string& Caption, WORD Key,
                                void (TAAForm::*Handler)(TObject*))
{
    auto* item = new TMenuItem(this);
    item->Caption = Caption;
    item->ShortCut = Key;
    if (Handler)
        item->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    Parent->Add(item);
    return item;
}

void TAAForm::CreateMenu()
{
    MainMenu = new TMainMenu(this);
    TMenuItem* fileMenu = AddMenuItem(&MainMenu->Items(), "&Datei", scNone, nullptr);
    NewVisteloItem = AddMenuItem(fileMenu, "&Neue Vistelo", ShortCut('N', {ssCtrl}), &TAAForm::NewVisteloClick);
    OpenVisteloItem = AddMenuItem(fileMenu, "Vistelo &öffnen...", ShortCut('O', {ssCtrl}), &TAAForm::OpenVisteloClick);
    SaveVisteloItem = AddMenuItem(fileMenu, "Vistelo &speichern", ShortCut('S', {ssCtrl}), &TAAForm::SaveVisteloClick);
    SaveVisteloAsItem = AddMenuItem(fileMenu, "Vistelo speichern &unter...", F(12), &TAAForm::SaveVisteloAsClick);
    // Importing shows of other kinds is not offered.
    TMenuItem* importLine = AddMenuItem(fileMenu, "-", scNone, nullptr);
    ImportVisteloItem = AddMenuItem(fileMenu, "Vistelo &importieren...", scNone, nullptr);
    importLine->Visible = ImportVisteloItem->Visible = false;
    AddMenuItem(fileMenu, "-", scNone, nullptr);
    VisteloManagerItem = AddMenuItem(fileMenu, "Vistelo-Manager", scNone, &TAAForm::VisteloManager1Click);
    StatisticsItem = AddMenuItem(fileMenu, "Vistelo-Statistik", scNone, &TAAForm::StatisticsClick);
    AddMenuItem(fileMenu, "-", scNone, nullptr);
    QuitVisteloItem = AddMenuItem(fileMenu, "&Beenden", ShortCut(F(4), {ssAlt}), &TAAForm::QuitVisteloClick);

    CreatePictureMenu();
    CreateMoreMenus();
    SetMenu(MainMenu);
}

void TAAForm::CreatePictureMenu()
{
    PictureMenu = AddMenuItem(&MainMenu->Items(), "&Bild", scNone, &TAAForm::PictureMenuClick);
    AddPictureItem = AddMenuItem(PictureMenu, "&Hinzufügen...", ShortCut('I', {ssCtrl}), &TAAForm::AddPictureClick);
    DeletePictureItem = AddMenuItem(PictureMenu, "&Entfernen...", ShortCut('D', {ssCtrl}),
                                    &TAAForm::DeletePictureClick);
    DeleteUncheckedItem = AddMenuItem(PictureMenu, "Bilder mit &Kreuz aus der Liste entfernen", scNone,
                                      &TAAForm::DeleteUncheckedClick);
    ReverseCheckMarkItem = AddMenuItem(PictureMenu, "&Häkchenmarkierung umkehren", scNone,
                                       &TAAForm::ReverseCheckMarkClick);
    AddDirItem = AddMenuItem(PictureMenu, "Verzeichnis hinzufügen", ShortCut('F', {ssCtrl}), &TAAForm::AddDirClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    OpenInApplicationItem = AddMenuItem(PictureMenu, "Bild(er) in Anwendung ö&ffnen", scNone,
                                        &TAAForm::OpenInApplicationClick);
    PrintPictureItem = AddMenuItem(PictureMenu, "Bild &drucken...", ShortCut('P', {ssCtrl}),
                                   &TAAForm::PrintPictureClick);
    RenamePictureItem = AddMenuItem(PictureMenu, "Bild &umbenennen...", F(2), &TAAForm::RenamePictureClick);
    EditPictureItem = AddMenuItem(PictureMenu, "Bild &bearbeiten", ShortCut('B', {ssCtrl}), &TAAForm::EditPictureClick);
    PreviewPictureItem = AddMenuItem(PictureMenu, "Bild-&Vorschau...", ShortCut('E', {ssCtrl}),
                                     &TAAForm::PreviewPictureClick);
    WallpaperMenu = AddMenuItem(PictureMenu, "Windows &Hintergrundbild", scNone, nullptr);
    CurrentWallpaperItem = AddMenuItem(WallpaperMenu, "A&ktuelles Bild", ShortCut('H', {ssCtrl}),
                                       &TAAForm::CurrentWallpaperClick);
    AddMenuItem(WallpaperMenu, "&Einstellungen...", scNone, &TAAForm::WallpaperSetupClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    MarkMenu = AddMenuItem(PictureMenu, "&Markieren", scNone, nullptr);
    MarkAllPicsItem = AddMenuItem(MarkMenu, "&Alle Bilder Markieren", ShortCut('A', {ssCtrl}),
                                  &TAAForm::MarkAllPicsClick);
    ReversMarkItem = AddMenuItem(MarkMenu, "Markierung &umkehren", ShortCut('U', {ssCtrl}), &TAAForm::ReversMarkClick);
    SortModeItem = AddMenuItem(PictureMenu, "&Sortiermodus", scNone, &TAAForm::SortModeClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    StartVisteloItem = AddMenuItem(PictureMenu, "Vistelo starten...", ShortCut('W', {ssCtrl}),
                                   &TAAForm::StartVisteloClick);
    StartVisteloAtItem = AddMenuItem(PictureMenu, "Vistelo ab dem markierten Bild starten", ShortCut('Q', {ssCtrl}),
                                     &TAAForm::StartVisteloAtClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    SortMenu = AddMenuItem(PictureMenu, "&Sortieren", scNone, nullptr);
    AlphabeticalSortItem = AddMenuItem(SortMenu, "&Alphabetisch s&ortieren", scNone, nullptr);
    AddMenuItem(AlphabeticalSortItem, "nach Datei&namen (aufsteigend)", scNone, &TAAForm::SortNameUpClick);
    AddMenuItem(AlphabeticalSortItem, "nach Datei&erweiterung  (aufsteigend)", scNone, &TAAForm::SortExtUpClick);
    AddMenuItem(AlphabeticalSortItem, "nach Dateinamen (&absteigend)", scNone, &TAAForm::SortNameDownClick);
    AddMenuItem(AlphabeticalSortItem, "nach Dateier&weiterung (absteigend)", scNone, &TAAForm::SortExtDownClick);
    AddMenuItem(PictureMenu, "-", scNone, nullptr);
    CatalogItem = AddMenuItem(PictureMenu, "&Katalog...", ShortCut('K', {ssCtrl}), &TAAForm::CatalogClick);
}

void TAAForm::CreateMoreMenus()
{
    OptionsMenu = AddMenuItem(&MainMenu->Items(), "&Optionen", scNone, &TAAForm::OptionsMenuClick);
    AddMenuItem(OptionsMenu, "&Vistelo-Einstellungen...", scNone, &TAAForm::DiaOptionsClick);
    PicPrefsMenu = AddMenuItem(OptionsMenu, "Bild-Einstellungen...", scNone, nullptr);
    const auto picturePrefs = [this](TMenuItem* item, int page) {
        item->OnClick = [this, page](TObject*) { PicturePrefsClick(page); };
    };
    picturePrefs(AddMenuItem(PicPrefsMenu, "Sound", ShortCut(F(1), {ssShift}), nullptr), eppSound);
    picturePrefs(AddMenuItem(PicPrefsMenu, "Kommentar/Beschriftung", ShortCut(F(2), {ssShift}), nullptr), eppComment);
    AddMenuItem(PicPrefsMenu, "Hintergrundfarbe", ShortCut(F(3), {ssShift}), &TAAForm::BackgroundColorClick);
    picturePrefs(AddMenuItem(PicPrefsMenu, "Verweildauer", ShortCut(F(4), {ssShift}), nullptr), eppPause);
    picturePrefs(AddMenuItem(PicPrefsMenu, "Größe und Position", ShortCut(F(5), {ssShift}), nullptr), eppPlacement);
    AddMenuItem(OptionsMenu, "&Programm-Einstellungen...", scNone, nullptr)->OnClick = [this](TObject*) {
        ProgramOptionsClick(0);
    };
    AddMenuItem(OptionsMenu, "Windows &Hintergrundbild-Einstellungen...", scNone, &TAAForm::WallpaperSetupClick);

    AssistantsMenu = AddMenuItem(&MainMenu->Items(), "&Assistenten", scNone, &TAAForm::AssistantsMenuClick);
    CDAssistantItem = AddMenuItem(AssistantsMenu, "Zusammenstellungs-&Assistent...", scNone,
                                  &TAAForm::CDAssistentClick);
    HTMLAssistantItem = AddMenuItem(AssistantsMenu, "&HTML-Assistent...", scNone, &TAAForm::HTMLAssistentClick);
    ConvertAssistantItem = AddMenuItem(AssistantsMenu, "&Konvertierungs-Assistent...", scNone,
                                       &TAAForm::ConvertAssistentClick);
    SoundAssistantItem = AddMenuItem(AssistantsMenu, "&Sound-Assistent...", scNone, &TAAForm::SoundAssistentClick);
    AddMenuItem(AssistantsMenu, "Import-Assistent für Scanner und Digitalkameras...", scNone,
                &TAAForm::ScannerImportClick);
    PowerPointImportAssistentMenuItem = AddMenuItem(AssistantsMenu, "Import-Assistent für PowerPoint-Folien", scNone,
                                                    nullptr);

    TMenuItem* helpMenu = AddMenuItem(&MainMenu->Items(), "&?", scNone, nullptr);
    HilfeItem = AddMenuItem(helpMenu, "&Hilfe...", F(1), &TAAForm::HilfeClick);
    AddMenuItem(helpMenu, "&Tipp des Tages...", ShortCut(F(1), {ssCtrl}), &TAAForm::TipOfTheDayClick);
    AddMenuItem(helpMenu, "-", scNone, nullptr);
    AddMenuItem(helpMenu, "Ostrelind-Homepage", scNone, &TAAForm::HomepageClick);
    AddMenuItem(helpMenu, "-", scNone, nullptr);
    AddMenuItem(helpMenu, "&Info über...", scNone, &TAAForm::Info1Click);
}

void TAAForm::CreatePopupMenu()
{
    PicListBoxPopUpMenu = new TPopupMenu(this);
    PicListBoxPopUpMenu->AutoPopup = false;
    PicListBoxPopUpMenu->OnPopup = [this](TObject* Sender) { PicListBoxPopUpMenuPopup(Sender); };
    TMenuItem& items = PicListBoxPopUpMenu->Items();
    AddMenuItem(&items, "Bild(er) &hinzufügen...", scNone, &TAAForm::AddPictureClick);
    PopupDeleteItem = AddMenuItem(&items, "Bild(er) &entfernen...", scNone, &TAAForm::DeletePictureClick);
    AddMenuItem(&items, "-", scNone, nullptr);
    PopupPictureItems = {
        AddMenuItem(&items, "Bild(er) in Anwendung öffnen", scNone, &TAAForm::OpenInApplicationClick),
        AddMenuItem(&items, "Bild umbenennen", scNone, &TAAForm::RenamePictureClick),
        AddMenuItem(&items, "Bild bearbeiten", scNone, &TAAForm::EditPictureClick),
        AddMenuItem(&items, "Bild-Vorschau", scNone, &TAAForm::PreviewPictureClick),
        AddMenuItem(&items, "Bild drucken", scNone, &TAAForm::PrintPictureClick),
        AddMenuItem(&items, "als Windows Hintergrundbild", scNone, &TAAForm::CurrentWallpaperClick),
    };
    AddMenuItem(&items, "-", scNone, nullptr);
    PopupSortModeItem = AddMenuItem(&items, "Sortiermodus", scNone, &TAAForm::SortModeClick);
}

void TAAForm::CreateToolbar()
{
    struct Button {
        const char* Hint;
        std::function<void(TObject*)> Command;
    };
    const auto command = [this](void (TAAForm::*Handler)(TObject*)) {
        return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    };
    const Button buttons[] = {
        {"Neue Vistelo erstellen", command(&TAAForm::NewVisteloClick)},
        {"Vorhandene Vistelo öffnen", command(&TAAForm::OpenVisteloClick)},
        {"Aktuelle Vistelo speichern", command(&TAAForm::SaveVisteloClick)},
        {"Vistelo-Einstellungen", command(&TAAForm::DiaOptionsClick)},
        {"Bilder der Bilderliste hinzufügen", command(&TAAForm::AddPictureClick)},
        {"Markierte Bilder aus der Bilderliste entfernen", command(&TAAForm::DeletePictureClick)},
        {"Markiertes Bild umbenennen", command(&TAAForm::RenamePictureClick)},
        {"Sortiermodus ein/ausschalten", command(&TAAForm::SortModeClick)},
        {"Markiertes Bild bearbeiten", command(&TAAForm::EditPictureClick)},
        {"Markiertes Bild drucken", command(&TAAForm::PrintPictureClick)},
        {"Markiertes Bild in Originalgröße anzeigen", command(&TAAForm::PreviewPictureClick)},
        {"Katalog aufrufen", command(&TAAForm::CatalogClick)},
        {"Vistelo starten", command(&TAAForm::StartVisteloClick)},
        {"Vistelo ab dem markieten Bild starten", command(&TAAForm::StartVisteloAtClick)},
        {"Zusammenstellungs-Assistent aufrufen", command(&TAAForm::CDAssistentClick)},
        {"HTML-Assistent aufrufen", command(&TAAForm::HTMLAssistentClick)},
        {"Konvertierungs-Assistent aufrufen", command(&TAAForm::ConvertAssistentClick)},
        {"Sound-Assistent aufrufen", command(&TAAForm::SoundAssistentClick)},
        {"Import-Assistent aufrufen", command(&TAAForm::ScannerImportClick)},
        {"Markiertes Bild zum Windows Hintergrundbild machen", command(&TAAForm::WallpaperBtnClick)},
        {"Vistelo-Manager zum Erstellen von Vistelo-Listen aufrufen", command(&TAAForm::VisteloManager1Click)},
    };
    static_assert(sizeof buttons / sizeof buttons[0] == ToolbarGlyphs::ButtonCount, "a glyph for every button");
    int left = 2;
    for (const Button& entry : buttons) {
        auto* button = new TKsSpeedButton(this);
        button->SetParent(ToolbarPanel);
        button->SetFlat(true);
        button->SetBounds(left, 2, 26, 26);
        TBitmap glyph;
        ToolbarGlyphs::Paint(glyph, static_cast<int>(ToolButtons.size()));
        button->SetGlyph(glyph);
        button->Hint = entry.Hint;
        button->SetShowHint(true);
        button->OnClick = entry.Command;
        ToolButtons.push_back(button);
        left += 27;
    }
    SortModeBtn = ToolButtons[7];
    SortModeBtn->SetGroupIndex(1);
    SortModeBtn->SetAllowAllUp(true);
    VisteloManagerBtn = ToolButtons.back();
    ToolbarPanel->SetWidth(left + 2);
}
