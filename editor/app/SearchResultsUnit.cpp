#include "editor/app/SearchResultsUnit.h"

#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/CanvasText.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Placemnt.h"

IMPLEMENT_CLASS(TSearchResultInfo)
IMPLEMENT_CLASS(TSearchResultsForm)

namespace SearchResultsUnit {

std::string FoundText(int Count) { return (Count > 0 ? std::to_string(Count) : "keine") + " Bilder gefunden"; }

std::string ItemText(int PictureIndex, const std::string& Comment)
{
    return "Bild " + std::to_string(PictureIndex) + ": " + Comment;
}

std::string PicNrText(int PictureIndex) { return "Bild " + std::to_string(PictureIndex + 1); }

} // namespace SearchResultsUnit

namespace {

TPanel* NewPanel(TSearchResultsForm* Form, TAlign Align)
{
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetAlign(Align);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    return panel;
}

// Puts a button made by the caller on the button panel.
TButton* PlaceButton(TWinControl* Parent, TButton* Button, const std::string& Caption, TModalResult Result, int Left,
                     int Width)
{
    Button->SetParent(Parent);
    Button->SetCaption(Caption);
    Button->ModalResult = Result;
    Button->SetBounds(Left, 8, Width, 25);
    return Button;
}

} // namespace

TSearchResultsForm::TSearchResultsForm(TComponent* AOwner, TSearchCatalog& Catalog) : TForm(AOwner), catalog_(Catalog)
{
    SetCaption("Suchergebnisse");
    SetPosition(poOwnerFormCenter);
    KeyPreview = true;
    SetClientWidth(420);
    SetClientHeight(360);

    ButtonsPanel = NewPanel(this, alBottom);
    ButtonsPanel->SetHeight(41);
    OKBtn = PlaceButton(ButtonsPanel, new TButton(this), "&Ok, gehe zu", mrOk, 8, 100);
    OKBtn->Default = true;
    CancelBtn = PlaceButton(ButtonsPanel, new TButton(this), "&Abbrechen", mrCancel, 113, 100);
    CancelBtn->Cancel = true;
    CancelBtn->OnClick = [this](TObject* Sender) { CancelBtnClick(Sender); };
    BitBtn1 = new TBitBtn(this);
    PlaceButton(ButtonsPanel, BitBtn1, "&alle gefundenen Bilder markieren", mrOk, 218, 194);
    BitBtn1->OnClick = [this](TObject* Sender) { BitBtn1Click(Sender); };

    ListBoxPanel = NewPanel(this, alClient);
    ItemsFoundLabel = new TLabel(this);
    ItemsFoundLabel->SetParent(ListBoxPanel);
    ItemsFoundLabel->SetBounds(8, 8, 200, 16);
    PicNrLabel = new TLabel(this);
    PicNrLabel->SetParent(ListBoxPanel);
    PicNrLabel->SetAlignment(taRightJustify);
    PicNrLabel->SetBounds(212, 8, 200, 16);
    ItemsFoundListBox = new TListBox(this);
    ItemsFoundListBox->SetParent(ListBoxPanel);
    ItemsFoundListBox->SetBounds(8, 28, 404, 280);
    ItemsFoundListBox->SetStyle(lbOwnerDrawFixed);
    ItemsFoundListBox->OnDrawItem = [this](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
        ItemsFoundListBoxDrawItem(Control, Index, Rect, State);
    };
    ItemsFoundListBox->OnClick = [this](TObject* Sender) { ItemsFoundListBoxClick(Sender); };
    ItemsFoundListBox->OnDblClick = [this](TObject* Sender) { ItemsFoundListBoxDblClick(Sender); };
    ListBoxPanel->OnResize = [this](TObject* Sender) { ListBoxPanelResize(Sender); };

    FormPlacement = new TFormPlacement(this);
    FormPlacement->UseRegistry = true;
    FormPlacement->SetEvents();

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

TSearchResultsForm::~TSearchResultsForm()
{
    // The list's items point into found_, which goes before the list does.
    ItemsFoundListBox->Items().Clear();
}

void TSearchResultsForm::SetFound(const std::vector<int>& Pictures)
{
    TStrings& items = ItemsFoundListBox->Items();
    items.BeginUpdate();
    items.Clear();
    found_.clear();
    for (int index : Pictures) {
        found_.push_back(std::make_unique<TSearchResultInfo>(index));
        items.AddObject("", found_.back().get());
    }
    items.EndUpdate();
}

TPicInfoObject* TSearchResultsForm::PictureOf(int Item) const
{
    if (Item < 0 || Item >= FoundCount())
        return nullptr;
    const int index = FoundPicture(Item);
    return index < PicInfoUnit::PicCount() ? PicInfoUnit::GetPicInfoObject(index) : nullptr;
}

void TSearchResultsForm::FormShow(TObject*)
{
    ItemsFoundLabel->SetCaption(SearchResultsUnit::FoundText(FoundCount()));
    ItemsFoundListBox->SetItemHeight(Setup::CatalogThumbHeight + 4);
    // At least one entry stays in sight however small the window is made.
    FormPlacement->MinMaxInfo().SetMinTrackHeight(Height() + ListBoxPanel->Height() + Setup::CatalogThumbHeight +
                                                  ButtonsPanel->Height() - ItemsFoundListBox->Height() -
                                                  ClientHeight() + 8);
    ReturnIndex = PicInfoUnit::PicItemIndex();
    const bool found = FoundCount() > 0;
    ItemsFoundListBox->SetItemIndex(found ? 0 : -1);
    OKBtn->SetEnabled(found);
    OKBtn->Default = found;
    CancelBtn->Default = !found;
    if (found)
        ItemsFoundListBoxClick(ItemsFoundListBox);
    else
        PicNrLabel->SetCaption(SearchResultsUnit::NothingPicked);
}

void TSearchResultsForm::ListBoxPanelResize(TObject*)
{
    const int left = ItemsFoundListBox->Left();
    ItemsFoundListBox->SetBounds(left, ItemsFoundListBox->Top(), ListBoxPanel->Width() - 2 * left,
                                 ListBoxPanel->Height() - ItemsFoundListBox->Top() - left);
    PicNrLabel->SetLeft(ItemsFoundListBox->Left() + ItemsFoundListBox->Width() - PicNrLabel->Width());
    ItemsFoundListBox->Invalidate();
}

void TSearchResultsForm::DrawThumbnail(TCanvas& Canvas, const TRect& Rect, TPicInfoObject& Picture)
{
    const int thumbWidth = Setup::CatalogThumbWidth;
    const int thumbHeight = Setup::CatalogThumbHeight;
    if (!(Picture.Flags & pfThumbnailChecked))
        Picture.CreateThumbNail(thumbWidth, thumbHeight, true, false);
    if (TThumbnailJPEGImage* thumbnail = Picture.Thumbnail.GetThumbnail()) {
        Canvas.Draw(Rect.Left + 2 + (thumbWidth - thumbnail->Width()) / 2,
                    Rect.Top + 2 + (thumbHeight - thumbnail->Height()) / 2, *thumbnail);
        // Only the compressed thumbnails stay in memory.
        Picture.Thumbnail.ClearBitmapData();
    } else if (TBitmap* error = catalog_.ErrorPicture()) {
        Canvas.Draw(Rect.Left + 2 + (thumbWidth - error->Width()) / 2,
                    Rect.Top + 2 + (thumbHeight - error->Height()) / 2, *error);
    }
}

void TSearchResultsForm::ItemsFoundListBoxDrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas& canvas = *ItemsFoundListBox->Canvas();
    const bool highlighted = State.Contains(odSelected) || State.Contains(odFocused);
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = highlighted ? clHighlight : clWindow;
    canvas.FillRect(Rect);
    TPicInfoObject* picture = PictureOf(Index);
    if (!picture)
        return;
    DrawThumbnail(canvas, Rect, *picture);
    canvas.Font.SetColor(highlighted ? clHighlightText : clWindowText);
    canvas.Brush.Style = bsClear;
    TRect text = Rect;
    text.Left += Setup::CatalogThumbWidth + 6;
    gfx::DrawText(canvas, SearchResultsUnit::ItemText(FoundPicture(Index), picture->Comments), text,
                  DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void TSearchResultsForm::ItemsFoundListBoxClick(TObject*)
{
    const int item = ItemsFoundListBox->ItemIndex();
    if (item < 0) {
        PicNrLabel->SetCaption(SearchResultsUnit::NothingPicked);
        return;
    }
    PicNrLabel->SetCaption(SearchResultsUnit::PicNrText(FoundPicture(item)));
    if (PictureOf(item))
        catalog_.DoSelect(FoundPicture(item), {}, true);
}

void TSearchResultsForm::ItemsFoundListBoxDblClick(TObject*) { ModalResult = mrOk; }

void TSearchResultsForm::CancelBtnClick(TObject*)
{
    catalog_.DoSelect(ReturnIndex, {}, true);
    ModalResult = mrCancel;
}

void TSearchResultsForm::BitBtn1Click(TObject*)
{
    bool first = true;
    for (int item = 0; item < FoundCount(); ++item) {
        if (!PictureOf(item))
            continue;
        catalog_.DoSelect(FoundPicture(item), first ? TShiftState{} : TShiftState{ssCtrl}, false);
        first = false;
    }
    catalog_.InvalidateGrid();
}
