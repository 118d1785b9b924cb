// The main window's catalog: the catalog runs over the picture list, and its
// commands are the main window's own, run on the catalog's selection.

#include "editor/app/Config.h"
#include "editor/app/CatalogUnit.h"
#include "editor/app/OptionsDlg.h"
#include "editor/app/SearchResultsUnit.h"
#include "editor/app/SearchUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/ui/Menus.h"

namespace {

// The search dialog and its results window over the catalog.
class TEditorCatalogSearch : public TCatalogSearch, private TSearchCatalog {
public:
    explicit TEditorCatalogSearch(TCatalogForm& Catalog)
        : catalog_(Catalog), form_(std::make_unique<TSearchForm>(Application, static_cast<TSearchCatalog&>(*this)))
    { }
    bool Execute() override { return form_->Execute(); }
    bool HasResults() override { return form_->ResultsForm() != nullptr; }
    void ShowResults() override
    {
        if (TSearchResultsForm* results = form_->ResultsForm())
            results->ShowModal();
    }

private:
    void DoSelect(int Index, TShiftState Shift, bool Redraw) override
    {
        // A Ctrl pick after a plain one adds to the selection.
        catalog_.Selection.CtrlSelectMode = Shift.Contains(ssCtrl) ? 1 : -1;
        catalog_.DoSelect(Index, Shift, Redraw);
    }
    void InvalidateGrid() override { catalog_.InvalidateGrid(); }
    TBitmap* ErrorPicture() override { return catalog_.ErrorPicture.get(); }

    TCatalogForm& catalog_;
    std::unique_ptr<TSearchForm> form_;
};

class TEditorCatalogHost : public TCatalogHost {
public:
    explicit TEditorCatalogHost(TAAForm& Form) : form_(Form) { }

    int StartIndex() override { return form_.PicListBox->ItemIndex(); }
    bool StartSelected(int Index) override { return form_.PicSelected(Index); }

    void Run(TCatalogCommand Command, TCatalogForm& Catalog) override
    {
        // The main window's commands read the list's selection: it is made
        // the catalog's first.
        TakeSelection(Catalog);
        TAAForm& f = form_;
        switch (Command) {
        case ccShowOptions: f.DiaOptionsClick(nullptr); break;
        case ccAddPictures: f.AddPictureClick(nullptr); break;
        case ccAddFolder: f.AddDirClick(nullptr); break;
        case ccDeletePictures: f.DeletePictureClick(nullptr); break;
        case ccRename: f.RenamePictureClick(nullptr); break;
        case ccSortNameUp: f.SortNameUpClick(nullptr); break;
        case ccSortExtUp: f.SortExtUpClick(nullptr); break;
        case ccSortNameDown: f.SortNameDownClick(nullptr); break;
        case ccSortExtDown: f.SortExtDownClick(nullptr); break;
        case ccPreview: f.PreviewPictureClick(nullptr); break;
        case ccEditPicture: f.EditPictureClick(nullptr); break;
        case ccOpenInApplication: f.OpenInApplicationClick(nullptr); break;
        case ccPrint: f.PrintPictureClick(nullptr); break;
        case ccWallpaper: f.CurrentWallpaperClick(nullptr); break;
        case ccWallpaperSetup: f.WallpaperSetupClick(nullptr); break;
        case ccStartShow: f.StartVisteloClick(nullptr); break;
        case ccStartAtMarked: f.StartVisteloAtClick(nullptr); break;
        case ccCDAssistant: f.CDAssistantItem->Click(); break;
        case ccHTMLAssistant: f.HTMLAssistantItem->Click(); break;
        case ccConvertAssistant: f.ConvertAssistentClick(nullptr); break;
        case ccSoundAssistant: f.SoundAssistentClick(nullptr); break;
        case ccImportAssistant: f.ScannerImportClick(nullptr); break;
        case ccVisteloManager: f.VisteloManager1Click(nullptr); break;
        case ccStatistics: f.StatisticsClick(nullptr); break;
        case ccCatalogOptions: f.ProgramOptionsClick(opCatalog); break;
        case ccAbout: f.Info1Click(nullptr); break;
        }
    }

    void MovePicture(int From, int To) override { form_.PicListBox->Items().Move(From, To); }
    void PicturesMoved(int Low, int High) override { form_.UpdateListItems(Low, High); }
    void AddFiles(const std::vector<std::string>& Files) override { form_.AddPictures(Files); }

    void Leave(TCatalogForm& Catalog) override
    {
        form_.UpdateAllListItems();
        TakeSelection(Catalog);
        form_.PicListBoxClick(nullptr);
    }

    bool AnimateLogo() override { return VisteloSetup::AnimateLogo; }
    std::unique_ptr<TCatalogSearch> MakeSearch(TCatalogForm& Catalog) override
    {
        return std::make_unique<TEditorCatalogSearch>(Catalog);
    }

private:
    // The list's current item and selection become the catalog's.
    void TakeSelection(TCatalogForm& Catalog)
    {
        TSymbolCheckListBox& list = *form_.PicListBox;
        list.Items().BeginUpdate();
        list.SetItemIndex(Catalog.ItemIndex() < form_.PicCount() ? Catalog.ItemIndex() : -1);
        if (list.MultiSelect())
            for (int i = 0; i < form_.PicCount(); ++i)
                list.SetSelected(i, (form_.GetPicInfoObject(i)->Flags & CatalogGrid::pfSelected) != 0);
        list.Items().EndUpdate();
    }

    TAAForm& form_;
};

} // namespace

void TAAForm::CatalogClick(TObject*)
{
    TEditorCatalogHost host(*this);
    const TPicInfoAccessMethod saved = PicInfoUnit::PicInfoAccessMethod;
    PicInfoUnit::PicInfoAccessMethod = paCatalogPicListBoxPicTag;
    try {
        std::unique_ptr<TCatalogForm> catalog = std::make_unique<TCatalogForm>(Application, host);
        if (OnCatalogShown)
            OnCatalogShown(*catalog);
        else
            catalog->ShowModal();
    } catch (...) {
        PicInfoUnit::PicInfoAccessMethod = saved == paCatalogPicListBoxPicTag ? paPicListBox : saved;
        throw;
    }
    PicInfoUnit::PicInfoAccessMethod = paPicListBox;
}
