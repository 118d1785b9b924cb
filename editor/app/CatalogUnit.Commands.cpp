// The catalog's menus and the commands behind them, most of them the host's
// operations on the catalog's selection.

#include "editor/app/CatalogUnit.h"

#include "core/Setup.h"
#include "core/Tools.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/KSCtrls.h"

using namespace CatalogGrid;

namespace {

// What follows a command: R measures and restarts the loader, K drops the
// input that piled up while it ran.
enum TAfter : std::uint8_t { aNone = 0, aK = 1, aR = 2 };

TAfter AfterOf(TCatalogCommand Command)
{
    switch (Command) {
    case ccShowOptions:
    case ccRename:
    case ccStartShow:
    case ccPrint:
    case ccHTMLAssistant:
    case ccConvertAssistant:
    case ccSoundAssistant: return aK;
    case ccAddPictures:
    case ccAddFolder:
    case ccImportAssistant:
    case ccVisteloManager:
    case ccStatistics: return TAfter(aK | aR);
    default: return aNone;
    }
}

} // namespace

void TCatalogForm::CreateMenus()
{
    CatalogMenu = new TMainMenu(this);
    const auto add = [this](TMenuItem* parent, const std::string& caption, TShortCut key,
                            std::function<void()> command) {
        auto* item = new TMenuItem(this);
        item->Caption = caption;
        item->ShortCut = key;
        if (command)
            item->OnClick = [command = std::move(command)](TObject*) { command(); };
        parent->Add(item);
        return item;
    };
    const auto host = [this](TCatalogCommand c) { return [this, c] { RunHostCommand(c); }; };
    TMenuItem& top = CatalogMenu->Items();

    TMenuItem* catalog = add(&top, "&Katalog", scNone, nullptr);
    add(catalog, "&Einstellungen", scNone, [this] { CatalogSettingsClick(); });
    TMenuItem* refresh = add(catalog, "&Thumbnails aktualisieren", scNone, nullptr);
    add(refresh, "nur &veränderte Dateien", scNone, [this] { RestartLoader(false); });
    add(refresh, "&alle Dateien", scNone, [this] { RestartLoader(true); });
    add(catalog, "-", scNone, nullptr);
    add(catalog, "Vistelo-Einstellungen", scNone, host(ccShowOptions));
    add(catalog, "Vistelo-Manager", scNone, host(ccVisteloManager));
    add(catalog, "Vistelo-Statistik", scNone, host(ccStatistics));
    add(catalog, "-", scNone, nullptr);
    add(catalog, "&Schließen", ShortCut(VK_F1 + 3, {ssAlt}), [this] { Close(); });

    TMenuItem* picture = add(&top, "&Bild", scNone, nullptr);
    TMenuItem* addItem = add(picture, "Bild(er) &hinzufügen", ShortCut('I', {ssCtrl}), host(ccAddPictures));
    // Ctrl+F searches; adding a folder keeps only its menu entry.
    TMenuItem* addDir = add(picture, "Verzeichnis hinzufügen", scNone, host(ccAddFolder));
    TMenuItem* deleteItem = add(picture, "Bild(er) &entfernen", ShortCut('D', {ssCtrl}),
                                [this] { DeletePicturesClick(); });
    add(picture, "-", scNone, nullptr);
    TMenuItem* sort = add(picture, "&Sortieren", scNone, nullptr);
    SortModeItem = add(sort, "&Sortiermodus", scNone, [this] { SortModeBtnClick(); });
    TMenuItem* alpha = add(sort, "&Alphabetisch sortieren", scNone, nullptr);
    add(alpha, "nach Dateinamen aufsteigend", scNone, [this] { SortClick(ccSortNameUp); });
    add(alpha, "nach Dateierweiterung aufsteigend", scNone, [this] { SortClick(ccSortExtUp); });
    add(alpha, "nach Dateinamen absteigend", scNone, [this] { SortClick(ccSortNameDown); });
    add(alpha, "nach Dateierweiterung absteigend", scNone, [this] { SortClick(ccSortExtDown); });
    sort->OnClick = [this](TObject*) { SortModeItem->SetChecked(CatalogUnit::CatalogSortMode); };
    TMenuItem* rename = add(picture, "Bild &umbenennen", static_cast<TShortCut>(VK_F1 + 1), host(ccRename));
    TMenuItem* mark = add(picture, "&Markieren", scNone, nullptr);
    add(mark, "&Alle Bilder markieren", ShortCut('A', {ssCtrl}), [this] { SelectAllClick(); });
    add(mark, "Markierung &umkehren", ShortCut('U', {ssCtrl}), [this] { InvertSelectionClick(); });
    add(picture, "-", scNone, nullptr);
    TMenuItem* preview = add(picture, "Bild-&Vorschau", ShortCut('E', {ssCtrl}), [this] { PreviewClick(); });
    TMenuItem* edit = add(picture, "Bild &bearbeiten", ShortCut('B', {ssCtrl}), host(ccEditPicture));
    TMenuItem* open = add(picture, "Bild(er) in &Anwendung öffnen", scNone, host(ccOpenInApplication));
    TMenuItem* print = add(picture, "Bild &drucken", ShortCut('P', {ssCtrl}), host(ccPrint));
    TMenuItem* wallpaper = add(picture, "Windows &Hintergrundbild", scNone, nullptr);
    TMenuItem* current = add(wallpaper, "&Aktuelles Bild", ShortCut('H', {ssCtrl}), [this] { WallpaperClick(); });
    add(wallpaper, "&Einstellungen", scNone, host(ccWallpaperSetup));
    add(picture, "-", scNone, nullptr);
    TMenuItem* start = add(picture, "Vistelo starten", ShortCut('W', {ssCtrl}), host(ccStartShow));
    TMenuItem* startAt = add(picture, "Vistelo ab dem markierten Bild starten", ShortCut('Q', {ssCtrl}),
                             host(ccStartAtMarked));
    (void)addItem;
    (void)addDir;
    NeedPictures = {alpha, rename, mark, start};
    NeedSelection = {deleteItem, preview, edit, open, print, current, startAt};

    TMenuItem* search = add(&top, "&Suchen", scNone, nullptr);
    SearchItem = add(search, "Bilder suchen", ShortCut('F', {ssCtrl}), [this] { PicSearchClick(); });
    SearchResultsItem = add(search, "Suchergebnisse", ShortCut('G', {ssCtrl}), [this] { PicSearchResultsClick(); });

    TMenuItem* assistants = add(&top, "&Assistenten", scNone, nullptr);
    TMenuItem* cd = add(assistants, "Zusammenstellungs-Assistent...", scNone, host(ccCDAssistant));
    TMenuItem* html = add(assistants, "HTML-Assistent...", scNone, host(ccHTMLAssistant));
    TMenuItem* convert = add(assistants, "Konvertierungs-Assistent...", scNone, host(ccConvertAssistant));
    TMenuItem* sound = add(assistants, "Sound-Assistent...", scNone, host(ccSoundAssistant));
    add(assistants, "Import-Assistent für Scanner und Digitalkameras...", scNone, host(ccImportAssistant));
    NeedPictures.insert(NeedPictures.end(), {refresh, cd, html, convert, sound});

    TMenuItem* help = add(&top, "&Hilfe", scNone, nullptr);
    add(help, "&Hilfe", scNone, nullptr);
    add(help, "&Info über...", scNone, host(ccAbout));

    // Menus are enabled as they drop down.
    for (TMenuItem* menu : {catalog, picture, search, assistants})
        menu->OnClick = [this](TObject*) { EnableMenus(); };

    PopupMenu1 = new TPopupMenu(this);
    add(&PopupMenu1->Items(), "Bild-&Vorschau", scNone, [this] { PreviewClick(); });
    add(&PopupMenu1->Items(), "Bild(er) in &Anwendung öffnen", scNone, host(ccOpenInApplication));
    add(&PopupMenu1->Items(), "Bild &umbenennen", scNone, host(ccRename));
    add(&PopupMenu1->Items(), "Bild(er) &entfernen", scNone, [this] { DeletePicturesClick(); });
    SetMenu(CatalogMenu);
}

void TCatalogForm::EnableMenus()
{
    const bool any = PicCount() > 0;
    const bool selected = any && PicInfoUnit::PicSelCount() > 0;
    for (TMenuItem* item : NeedPictures)
        item->Enabled = any;
    for (TMenuItem* item : NeedSelection)
        item->Enabled = selected;
    SearchItem->Enabled = any && search_ != nullptr;
    SearchResultsItem->Enabled = search_ && search_->HasResults();
}

void TCatalogForm::RunHostCommand(TCatalogCommand Command)
{
    host_.Run(Command, *this);
    const TAfter after = AfterOf(Command);
    if (after & aK)
        Tools::KillMouseKeyBoardMessages(Handle());
    if (Command == ccCDAssistant) {
        ValidateSelection();
        Tools::KillMouseKeyBoardMessages(Handle());
        CatalogPanelResize();
    }
    if (Command == ccRename && SelCount() == 1 && ItemIndex() >= 0) {
        Flags(ItemIndex()) |= pfDirty;
        PartialRedraw();
    }
    if (after & aR) {
        ValidateSelection();
        AfterListChange();
    }
}

void TCatalogForm::DeletePicturesClick()
{
    if (SelCount() < 1 || !host_.CanEdit())
        return;
    host_.Run(ccDeletePictures, *this);
    Selection.SelCount = 0;
    const int count = PicCount();
    if (Selection.ItemIndex >= count)
        Selection.ItemIndex = count - 1;
    // What the deleted pictures left selected is dropped: one picture is
    // selected again, the current one.
    for (int i = 0; i < count; ++i)
        Flags(i) = (Flags(i) & ~pfSelected) | pfDirty;
    CatalogOnClick();
    if (ItemIndex() != -1) {
        const int current = ItemIndex();
        Selection.ItemIndex = -1;
        DoSelect(current, {}, true);
    }
    CatalogPanelResize();
    ScrollToItem(ItemIndex());
    InvalidateGrid();
    RestartLoader(false);
}

void TCatalogForm::SortClick(TCatalogCommand Command)
{
    host_.Run(Command, *this);
    ForceDrawThumbnails();
    InvalidateGrid();
    RestartLoader(false);
}

void TCatalogForm::SortModeBtnClick()
{
    CatalogUnit::CatalogSortMode = !CatalogUnit::CatalogSortMode;
    SortModeBtn->SetDown(CatalogUnit::CatalogSortMode);
}

void TCatalogForm::SelectAllClick()
{
    Selection.SelectAll(true);
    CatalogOnClick();
    InvalidateGrid();
}

void TCatalogForm::InvertSelectionClick()
{
    Selection.InvertSelection();
    CatalogOnClick();
    InvalidateGrid();
}

void TCatalogForm::PreviewClick()
{
    if (CommandIndex() != -1)
        host_.Run(ccPreview, *this);
}

void TCatalogForm::WallpaperClick()
{
    if (CommandIndex() == -1) {
        ui::ShowMessage("Sie müssen ein Bild auswählen, dass Sie als Windows Hintergrundbild verwenden möchten.");
        return;
    }
    host_.Run(ccWallpaper, *this);
}

void TCatalogForm::PicSearchClick()
{
    if (search_ && search_->Execute())
        search_->ShowResults();
    Tools::KillMouseKeyBoardMessages(Handle());
}

void TCatalogForm::PicSearchResultsClick()
{
    if (search_ && search_->HasResults())
        search_->ShowResults();
}

void TCatalogForm::CatalogSettingsClick()
{
    const bool showFilename = Setup::CatalogShowFilename;
    const int width = Setup::CatalogThumbWidth;
    const int height = Setup::CatalogThumbHeight;
    const bool markDontShow = Setup::CatalogMarkDontShow;
    host_.Run(ccCatalogOptions, *this);
    if (width != Setup::CatalogThumbWidth || height != Setup::CatalogThumbHeight) {
        StopLoader();
        ForceLoadThumbnails();
        CreateErrorPic();
        InitThumbNails();
        RestartLoader(true);
    } else if (showFilename != Setup::CatalogShowFilename || markDontShow != Setup::CatalogMarkDontShow) {
        InitThumbNails();
        InvalidateGrid();
    }
}
