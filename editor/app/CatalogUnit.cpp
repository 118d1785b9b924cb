// The catalog window: its parts, opening and closing, the panel of the
// current picture and the loader's restarts.

#include "editor/app/CatalogUnit.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/Tools.h"
#include "editor/app/EditorGlyphs.h"
#include "editor/app/FormBuilding.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/DropBMPSource.h"
#include "widgets/DropSource.h"
#include "widgets/DropTarget.h"
#include "widgets/FileLbl.h"
#include "widgets/KSCtrls.h"
#include "widgets/KSSplit.h"
#include "widgets/KSSwitch.h"
#include "widgets/Placemnt.h"

#include <cstdio>

IMPLEMENT_CLASS(TCatalogForm)

namespace CatalogUnit {
bool CatalogSortMode = true;
} // namespace CatalogUnit

using namespace CatalogGrid;
using namespace FormBuilding;

// What the access layer asks of the catalog.
class TCatalogForm::TAccess : public TCatalogAccess {
public:
    explicit TAccess(TCatalogForm& Form) : form_(Form) { }
    int SelCount() override { return form_.SelCount(); }
    int ItemIndex() override { return form_.CommandIndex(); }
    void SelectPicture(int Index) override { form_.DoSelect(Index, {}, true); }

private:
    TCatalogForm& form_;
};

TCatalogForm::TCatalogForm(TComponent* AOwner, TCatalogHost& Host) : TForm(AOwner), host_(Host)
{
    SetCaption("Katalog");
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 600, 440);
    KeyPreview = true;
    LoaderHandOver = std::make_shared<TSynchronizeHandOver>();

    CreateMenus();
    CreateToolbar();
    StatusBar = new TStatusBar(this);
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->SetSimplePanel(true);
    CreateRightPanel();
    CreateGrid();
    CreateDragComponents();

    FormPlacement = new TFormPlacement(this);
    FormPlacement->UseRegistry = true;
    FormPlacement->IniSection = CatalogUnit::PlacementKey;
    FormPlacement->MinMaxInfo().SetMinTrackWidth(300);
    FormPlacement->MinMaxInfo().SetMinTrackHeight(400);
    FormPlacement->SetEvents();

    OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { FormKeyUp(Key, Shift); };
    OnResize = [this](TObject*) { FormResize(); };
    OnActivate = [this](TObject*) {
        if (KeyMemo->CanFocus())
            KeyMemo->SetFocus();
    };
    FormCreate();
}

TCatalogForm::~TCatalogForm()
{
    // The controls go after this object: their events must not reach it.
    KeyMemo->OnEnter = nullptr;
    KeyMemo->OnExit = nullptr;
    CommentMemo->OnChange = nullptr;
    KeywordMemo->OnChange = nullptr;
    CatalogPanel->OnResize = nullptr;
    CatalogPaintBox->OnPaint = nullptr;
    OnResize = nullptr;
    OnActivate = nullptr;
    StopLoader();
    ErrorPicture.reset();
    host_.Leave(*this);
    if (PicInfoUnit::CatalogAccess == access_.get())
        PicInfoUnit::CatalogAccess = savedAccess_;
    DropFileTarget->Unregister();
    DropDummy->Unregister();
    search_.reset();
}

void TCatalogForm::CreateToolbar()
{
    Panel4 = NewPanel(this, alTop);
    Panel4->SetHeight(32);
    struct Button {
        const char* Caption;
        const char* Hint;
        std::function<void()> Command;
    };
    const auto command = [this](TCatalogCommand c) { return [this, c] { RunHostCommand(c); }; };
    const Button buttons[] = {
        {"E", "Vistelo-Einstellungen", command(ccShowOptions)},
        {"+", "Bilder hinzufügen", command(ccAddPictures)},
        {"-", "markierte Bilder entfernen", [this] { DeletePicturesClick(); }},
        {"U", "Markiertes Bild umbenennen", command(ccRename)},
        {"S", "Sortiermodus ein/aus", [this] { SortModeBtnClick(); }},
        {"B", "Markiertes Bild bearbeiten", command(ccEditPicture)},
        {"D", "Markiertes Bild drucken", command(ccPrint)},
        {"V", "Bild-Vorschau", [this] { PreviewClick(); }},
        {"?", "Bilder suchen", [this] { PicSearchClick(); }},
        {">", "Vistelo starten", command(ccStartShow)},
        {">|", "Vistelo ab dem markierten Bild starten", command(ccStartAtMarked)},
        {"Z", "Zusammenstellungs-Assistent", command(ccCDAssistant)},
        {"H", "HTML-Assistent", command(ccHTMLAssistant)},
        {"K", "Konvertierungs-Assistent", command(ccConvertAssistant)},
        {"A", "Sound-Assistent", command(ccSoundAssistant)},
        {"I", "Import-Assistent", command(ccImportAssistant)},
        {"W", "Markiertes Bild als Windows Hintergrundbild", [this] { WallpaperClick(); }},
        {"M", "Vistelo-Manager", command(ccVisteloManager)},
    };
    int left = 2;
    for (const Button& entry : buttons) {
        auto* button = new TKsSpeedButton(this);
        button->SetParent(Panel4);
        button->SetFlat(true);
        button->SetBounds(left, 2, 26, 26);
        button->SetCaption(entry.Caption);
        button->Hint = entry.Hint;
        button->SetShowHint(true);
        button->OnClick = [command = entry.Command](TObject*) { command(); };
        ToolButtons.push_back(button);
        left += 27;
    }
    SortModeBtn = ToolButtons[4];
    SortModeBtn->SetGroupIndex(1);
    SortModeBtn->SetAllowAllUp(true);

    LogoAnimate = new TAnimate(this);
    LogoAnimate->SetParent(Panel4);
    EditorGlyphs::PaintLogoFrames(LogoAnimate->Frames());
    LogoAnimate->SetFrameCount(EditorGlyphs::LogoFrameCount);
    LogoAnimate->StopFrame = 95;
    LogoAnimate->SetAlign(alRight);
    LogoAnimate->SetWidth(EditorGlyphs::LogoFrameWidth);
}

void TCatalogForm::CreateGrid()
{
    CatalogPanel = NewPanel(this, alClient);
    ScrollBox = new TScrollBox(this);
    ScrollBox->SetParent(CatalogPanel);
    ScrollBox->SetAlign(alClient);
    ScrollBox->SetBorderStyle(bsNone);
    // Cells are drawn on the face colour; only changed ones are filled.
    ScrollBox->SetColor(clBtnFace);
    ScrollBox->SetAutoScroll(false);
    ScrollBox->HorzScrollBar().Tracking = true;
    ScrollBox->VertScrollBar().Tracking = true;
    CatalogPaintBox = new TPaintBox(this);
    CatalogPaintBox->SetParent(ScrollBox);
    CatalogPaintBox->SetShowHint(true);
    CatalogPaintBox->SetPopupMenu(PopupMenu1);
    CatalogPaintBox->OnPaint = [this](TObject*) { PaintBoxPaint(); };
    CatalogPaintBox->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PaintBoxMouseDown(Button, Shift, X, Y);
    };
    CatalogPaintBox->OnMouseMove = [this](TObject*, TShiftState Shift, int X, int Y) {
        PaintBoxMouseMove(Shift, X, Y);
    };
    CatalogPaintBox->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PaintBoxMouseUp(Button, Shift, X, Y);
    };
    CatalogPaintBox->OnClick = [this](TObject*) {
        if (KeyMemo->CanFocus())
            KeyMemo->SetFocus();
    };
    CatalogPanel->OnResize = [this](TObject*) { CatalogPanelResize(); };

    // A memo of no size holds the keyboard focus for the grid, so the keys
    // reach the catalog and the focus frame knows when to show.
    KeyMemo = new TMemo(this);
    KeyMemo->SetParent(CatalogPanel);
    KeyMemo->SetBounds(0, 0, 0, 0);
    KeyMemo->SetReadOnly(true);
    KeyMemo->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { KeyMemoKeyDown(Key, Shift); };
    const auto focusChanged = [this](TObject*) {
        if (ItemIndex() >= 0 && ItemIndex() < PicCount()) {
            Flags(ItemIndex()) |= pfDirty;
            PartialRedraw();
        }
    };
    KeyMemo->OnEnter = focusChanged;
    KeyMemo->OnExit = focusChanged;

    Splitter1 = new TKsSplitter(this);
    Splitter1->SetParent(this);
    Splitter1->SetAlign(alRight);
    Splitter1->SetLeft(RightPanel->Left() - 1);
    Splitter1->TopLeftLimit = 100;
}

namespace {

// A memo below its group box's caption, following the box's size.
void PlaceInGroup(TMemo* Memo, TGroupBox* Group)
{
    constexpr int Left = 8;
    constexpr int Top = 18;
    Memo->SetBounds(Left, Top, std::max(Group->Width() - 2 * Left, 10), std::max(Group->Height() - Left - Top, 10));
    Memo->SetAnchors({akLeft, akTop, akRight, akBottom});
}

} // namespace

void TCatalogForm::CreateRightPanel()
{
    RightPanel = NewPanel(this, alRight);
    RightPanel->SetWidth(191);

    InformationPanel = NewPanel(RightPanel, alTop);
    InformationPanel->SetHeight(73);
    InformationPanel->SetBorderWidth(GroupMargin / 2);
    InformationGroupBox = NewGroupBox(InformationPanel, " Bildinformationen: ");
    FileNameLabel = new TFileLabel(this);
    FileNameLabel->SetParent(InformationGroupBox);
    FileNameLabel->SetBounds(8, 18, 170, 16);
    ShowInVisteloCheck = new TKsSwitch(this);
    ShowInVisteloCheck->SetParent(InformationGroupBox);
    ShowInVisteloCheck->SetBounds(8, 38, 170, 24);
    ShowInVisteloCheck->SetCaption("Bild in Vistelo anzeigen");
    ShowInVisteloCheck->SetTextPosition(tpRight);
    ShowInVisteloCheck->OnClick = [this](TObject*) { ShowInVisteloCheckClick(false); };

    KeywordPanel = NewPanel(RightPanel, alBottom);
    KeywordPanel->SetHeight(130);
    KeywordPanel->SetBorderWidth(GroupMargin / 2);
    KeywordGroupBox = NewGroupBox(KeywordPanel, " Stichworte zum Bild: ");
    KeywordMemo = new TMemo(this);
    KeywordMemo->SetParent(KeywordGroupBox);
    PlaceInGroup(KeywordMemo, KeywordGroupBox);
    KeywordMemo->Hint = "Stichworte für die Suchfunktion. Mehrere Begriffe mit Leerzeichen oder Komme trennen.";
    KeywordMemo->SetShowHint(true);
    KeywordMemo->OnChange = [this](TObject*) { KeywordMemoChange(); };

    Splitter2 = new TKsSplitter(this);
    Splitter2->SetParent(RightPanel);
    Splitter2->SetAlign(alBottom);
    Splitter2->SetTop(KeywordPanel->Top() - 1);

    CommentPanel = NewPanel(RightPanel, alClient);
    CommentPanel->SetBorderWidth(GroupMargin / 2);
    CommentGroupBox = NewGroupBox(CommentPanel, " Kommentar zum Bild: ");
    CommentMemo = new TMemo(this);
    CommentMemo->SetParent(CommentGroupBox);
    PlaceInGroup(CommentMemo, CommentGroupBox);
    CommentMemo->OnChange = [this](TObject*) { CommentMemoChange(); };
}

void TCatalogForm::CreateDragComponents()
{
    ShowImageList = new TImageList(this);
    EditorGlyphs::FillSymbols(*ShowImageList);
    DropSourceImageList = new TImageList(this);
    DropFileSource = new TDropFileSource(this);
    DropFileSource->Dragtypes = TDragTypes{dtCopy, dtMove, dtLink};
    DropFileSource->OnDrop = [this](TObject*, TDragType DragType, bool&) {
        // The target took the files away: their pictures leave the list.
        if (DragType == dtMove) {
            DeletePicturesClick();
            AfterListChange();
        }
    };
    DropBMPSource = new TDropBMPSource(this);
    DropBMPSource->Dragtypes = TDragTypes{dtCopy};
    DropFileTarget = new TDropFileTarget(this);
    DropFileTarget->Dragtypes = TDragTypes{dtCopy, dtMove};
    DropFileTarget->OnDrop = [this](TObject*, TShiftState, TPoint, DWORD&) { DropFileTargetDrop(); };
    DropDummy = new TDropDummy(this);
}

void TCatalogForm::FormCreate()
{
    Splitter1->BottomRightLimit = RightPanel->Width();
    Splitter2->BottomRightLimit = KeywordPanel->Height() / 2;
    Splitter2->TopLeftLimit = std::max(CommentPanel->Height() / 2, 20);
    search_ = host_.MakeSearch(*this);
    access_ = std::make_unique<TAccess>(*this);
    savedAccess_ = PicInfoUnit::CatalogAccess;
    PicInfoUnit::CatalogAccess = access_.get();
    SortModeBtn->SetDown(CatalogUnit::CatalogSortMode);
    if (host_.CanEdit())
        DropFileTarget->Register(ScrollBox);
    CommentMemo->SetReadOnly(!host_.CanEdit());
    KeywordMemo->SetReadOnly(!host_.CanEdit());
    LogoAnimate->SetActive(host_.AnimateLogo());

    Selection.DragSelectAnchor = -2;
    Selection.CtrlSelectMode = -1;
    Selection.ItemIndex = -1;
    Selection.SelCount = 0;
    CreateErrorPic();
    const int count = PicCount();
    for (int i = 0; i < count; ++i) {
        Flags(i) = 0;
        if (host_.StartSelected(i))
            Selection.SelectItem(i, true, false);
    }
    if (count > 0) {
        SetItemIndex(host_.StartIndex());
        if (ItemIndex() < 0 || ItemIndex() >= count)
            SetItemIndex(0);
        Selection.SelectItem(ItemIndex(), true, false);
    }
    Selection.ShiftAnchor = -1;
    InitThumbNails();
    PressPoint = {-1, -1};
    Dragging = false;
    DropDummy->Register(this);
    DropTarget = -1;
    CatalogOnClick();
    RestartLoader(false);
}

void TCatalogForm::FormResize()
{
    // The right panel keeps its smallest width; the grid gives way first.
    Constraints().SetMinWidth(Splitter1->TopLeftLimit + RightPanel->Width());
    if (CatalogPanel && CatalogPanel->Width() < Splitter1->TopLeftLimit)
        RightPanel->SetWidth(std::max(RightPanel->Width() - (Splitter1->TopLeftLimit - CatalogPanel->Width()),
                                      Splitter1->BottomRightLimit / 2));
}

// --- the pictures as the loader and the drop see them ---

int TCatalogForm::PicCount() { return std::max(PicInfoUnit::PicCount(), 0); }

TPicInfoObject* TCatalogForm::Picture(int Index) { return PicInfoUnit::GetPicInfoObject(Index); }

int TCatalogForm::Count() const { return std::max(PicInfoUnit::PicCount(), 0); }

std::uint32_t& TCatalogForm::Flags(int Index)
{
    TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(Index);
    if (!picture) {
        noFlags_ = 0;
        return noFlags_;
    }
    return picture->Flags;
}

void TCatalogForm::Move(int From, int To) { host_.MovePicture(From, To); }

void TCatalogForm::UpdateCatalog(int Index) { DrawCatalog(Index, false); }

// --- the loader ---

void TCatalogForm::StopLoader()
{
    if (Loader)
        Loader->Terminate();
    Loader.reset();
}

void TCatalogForm::RestartLoader(bool ForceAll)
{
    StopLoader();
    Loader = std::make_unique<TLoadThumbsThread>(false, true, ForceAll, static_cast<TThumbCatalog&>(*this),
                                                 Setup::CatalogThumbWidth, Setup::CatalogThumbHeight, LoaderHandOver);
}

void TCatalogForm::AfterListChange()
{
    CatalogPanelResize();
    RestartLoader(false);
}

// --- selection and the panel of the current picture ---

std::string TCatalogForm::ShownFileName(const TPicInfoObject& Picture)
{
    // A file that is not found is shown as the show names it.
    const std::string found = PictureLoading::RelFileName(Picture.FileName, Setup::VisteloFilename);
    return found.empty() ? Picture.FileName : found;
}

void TCatalogForm::SetItemIndex(int Index)
{
    if (Index == Selection.ItemIndex)
        return;
    Selection.ItemIndex = Index;
    CatalogOnClick();
}

void TCatalogForm::DoSelect(int Index, TShiftState Shift, bool Redraw)
{
    if (Index < 0 || Index >= PicCount()) {
        StatusBar->SetSimpleText("");
        return;
    }
    const TPicInfoObject* picture = Picture(Index);
    StatusBar->SetSimpleText(ShownFileName(*picture));
    bool currentChanged = false;
    const bool changed = Selection.DoSelect(Index, Shift.Contains(ssShift), Shift.Contains(ssCtrl), currentChanged);
    ScrollToItem(Index);
    // The panel follows the selection as well as the current picture.
    CatalogOnClick();
    if (Redraw && changed)
        PartialRedraw();
}

void TCatalogForm::ValidateSelection()
{
    Selection.ValidateSelection();
    CatalogOnClick();
}

void TCatalogForm::SetMemoTextSilently(TMemo* Memo, const std::string& Text)
{
    TNotifyEvent saved = std::move(Memo->OnChange);
    Memo->OnChange = nullptr;
    Memo->SetText(Text);
    Memo->OnChange = std::move(saved);
}

void TCatalogForm::CatalogOnClick()
{
    const int count = PicCount();
    // The panel shows the picture the commands would act on, so an edit
    // never lands on a picture that is not selected.
    int shown = CommandIndex();
    if (shown < 0 && Selection.SelCount > 0)
        for (int i = 0; i < count && shown < 0; ++i)
            if (Selection.IsSelected(i))
                shown = i;
    const bool enabled = shown >= 0 && count > 0;
    Tools::ChangeEnabled(InformationPanel, enabled);
    Tools::ChangeEnabled(CommentPanel, enabled);
    Tools::ChangeEnabled(KeywordPanel, enabled);
    ShowInVisteloCheck->SetEnabled(enabled && host_.CanEdit());
    if (!enabled) {
        FileNameLabel->SetFileName("keine");
        SetMemoTextSilently(CommentMemo, "");
        SetMemoTextSilently(KeywordMemo, "");
        return;
    }
    const TPicInfoObject* picture = Picture(shown);
    if (Selection.SelCount >= 2) {
        char text[64];
        std::snprintf(text, sizeof text, "%d Bilder markiert", Selection.SelCount);
        FileNameLabel->SetFileName(text);
    } else {
        FileNameLabel->SetFileName(ShownFileName(*picture));
    }
    ShowInVisteloCheck->SetStateOn(picture->ShowImage);
    SetMemoTextSilently(KeywordMemo, picture->Keywords);
    SetMemoTextSilently(CommentMemo, picture->Comments);
}

void TCatalogForm::ShowInVisteloCheckClick(bool Toggle)
{
    if (Toggle)
        ShowInVisteloCheck->ToggleSwitch();
    PicInfoUnit::SetShowImage(ShowInVisteloCheck->StateOn(), true);
    PartialRedraw();
}

void TCatalogForm::KeywordMemoChange() { PicInfoUnit::SetKeywords(KeywordMemo->Text()); }

void TCatalogForm::CommentMemoChange() { PicInfoUnit::SetComments(CommentMemo->Text()); }
