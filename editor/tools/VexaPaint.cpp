#include "editor/tools/VexaPaint.h"

#include <functional>

#include "core/BitmapTools.h"
#include "editor/tools/AskBC.h"
#include "editor/tools/AskDegrees.h"
#include "editor/tools/AskGamma.h"
#include "editor/tools/AskRGB.h"
#include "editor/tools/ToolResources.h"
#include "editor/tools/VexaPaintView.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/Placemnt.h"

IMPLEMENT_CLASS(TVexaPaintForm)

namespace {

TButton* AddButton(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width = 112)
{
    auto* button = new TButton(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, Width, 25);
    return button;
}

// A button of the left column with its glyph from the bitmap resource.
TButton* AddGlyphButton(TWinControl* Parent, const std::string& Caption, const std::string& Glyph, int Top)
{
    auto* button = new TBitBtn(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(8, Top, 132, 25);
    ToolResources::LoadGlyph(button, Glyph);
    return button;
}

// An image list of cells of the given size cut from the bitmap resource,
// magenta see-through.
TImageList* ResourceImages(TComponent* Owner, const std::string& Name, int Size)
{
    auto* images = new TImageList(Owner);
    images->SetWidth(Size);
    images->SetHeight(Size);
    TBitmap strip;
    ToolResources::LoadBitmap(strip, Name);
    images->AddMasked(strip, clFuchsia);
    return images;
}

// The entries of the four menus; "-" is a separator, the last entry
// "Abbrechen" does nothing.
const std::vector<std::vector<const char*>> MenuEntries = {
    {"Horizontal Spiegeln", "Vertikal Spiegeln", "Drehen Rechts - 90°", "Drehen Rechts - 180°", "Drehen Rechts - 270°",
     "Drehen (frei)", "-", "Abbrechen"},
    {"Rot/Grün/Blau-Korrektur", "Bild invertieren", "Graustufen", "-", "Abbrechen"},
    {"Helligkeit/Kontrast", "Gamma-Korrektur", "-", "Abbrechen"},
    {"Mittelwert", "Mittelwert (stark)", "Gauss-Weichzeichner", "Verwackeln", "Verwackeln (mehr)", "Verwackeln (Stark)",
     "-", "Abbrechen"},
};

// The pictures of the menus' entries, one 24 x 24 cell per entry.
const char* const MenuImageResources[4] = {"VexaPaintTurnImages", "VexaPaintColourImages", "VexaPaintBrightnessImages",
                                           "VexaPaintFilterImages"};

} // namespace

TVexaPaintForm::TVexaPaintForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Bild bearbeiten");
    SetPosition(poScreenCenter);
    SetClientWidth(760);
    SetClientHeight(540);
    KeyPreview = true;
    BuildLeftColumn();
    BuildCentre();
    BuildMenus();
    FormPlacement = new TFormPlacement(this);
    FormPlacement->UseRegistry = true;
    FormPlacement->IniSection = VexaPaintTexts::PlacementKey;
    FormPlacement->MinMaxInfo().SetMinTrackWidth(395);
    FormPlacement->MinMaxInfo().SetMinTrackHeight(477);
    FormPlacement->SetEvents();
    picture_.OnBeforeChange = [this] { EraseFrame(); };
    picture_.OnChanged = [this] { PictureChanged(); };
    picture_.OnUndoChanged = [this](bool canUndo) { UndoButton->SetEnabled(canUndo); };
    BitmapTools::BitmapProgress->OnProgress = [this](TObject*) { BitmapProgress(); };
    OnKeyPress = [this](TObject*, char32_t& Key) {
        if (Key == U'+')
            SetZoomStep(VexaPaintView::ZoomIn(zoomStep_));
        else if (Key == U'-')
            SetZoomStep(VexaPaintView::ZoomOut(zoomStep_));
        else if (Key == U'*')
            SetZoomStep(1);
    };
    OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
}

TVexaPaintForm::~TVexaPaintForm()
{
    if (BitmapTools::BitmapProgress)
        BitmapTools::BitmapProgress->OnProgress = nullptr;
}

void TVexaPaintForm::BuildLeftColumn()
{
    PreviewPanel = new TPanel(this);
    PreviewPanel->SetParent(this);
    PreviewPanel->SetBounds(8, 8, 132, 100);
    PreviewPanel->SetBevelOuter(bvLowered);
    PreviewPanel->SetCaption("");
    PreviewBox = new TPaintBox(this);
    PreviewBox->SetParent(PreviewPanel);
    PreviewBox->OnPaint = [this](TObject*) { PaintPicture(PreviewBox); };
    CropButton = AddGlyphButton(this, "Zuschneiden", "CropBitmap", 116);
    CropButton->OnClick = [this](TObject*) { CropClick(); };
    TurnButton = AddGlyphButton(this, "Drehen/Spiegeln", "TurnBitmap", 146);
    TurnButton->OnClick = [this](TObject*) { ShowMenu(vmTurn, TurnButton); };
    ColourButton = AddGlyphButton(this, "Farbkorrektur", "RGBBitmap", 176);
    ColourButton->OnClick = [this](TObject*) { ShowMenu(vmColour, ColourButton); };
    BrightnessButton = AddGlyphButton(this, "Helligkeit/Kontrast", "BCBitmap", 206);
    BrightnessButton->OnClick = [this](TObject*) { ShowMenu(vmBrightness, BrightnessButton); };
    FilterButton = AddGlyphButton(this, "Effekte/Filter", "BlurStrongBitmap", 236);
    FilterButton->OnClick = [this](TObject*) { ShowMenu(vmFilter, FilterButton); };
    UndoButton = AddGlyphButton(this, "Rückgängig", "UndoBitmap", 266);
    UndoButton->OnClick = [this](TObject*) { UndoClick(); };
    BuildZoomToolBar();
    ProgressBar = new TProgressBar(this);
    ProgressBar->SetParent(this);
    ProgressBar->SetBounds(8, 334, 132, 16);
    ProgressBar->SetMax(100);
}

void TVexaPaintForm::BuildZoomToolBar()
{
    ZoomImages = ResourceImages(this, "VexaPaintZoomImages", 16);
    ZoomToolBar = new TToolBar(this);
    ZoomToolBar->SetParent(this);
    ZoomToolBar->SetAlign(alNone);
    ZoomToolBar->SetBounds(8, 298, 132, 26);
    ZoomToolBar->SetFlat(true);
    ZoomToolBar->SetImages(ZoomImages);
    auto button = [this](int Image, std::function<int(int)> Step) {
        auto* b = new TToolButton(this);
        b->SetParent(ZoomToolBar);
        b->SetImageIndex(Image);
        b->OnClick = [this, Step](TObject*) { SetZoomStep(Step(zoomStep_)); };
        return b;
    };
    ZoomInButton = button(0, VexaPaintView::ZoomIn);
    ZoomOutButton = button(1, VexaPaintView::ZoomOut);
    ZoomOneButton = button(2, [](int) { return 1; });
}

void TVexaPaintForm::BuildCentre()
{
    ScrollBox = new TScrollBox(this);
    ScrollBox->SetParent(this);
    ScrollBox->SetBounds(148, 8, 604, 454);
    PaintBox = new TPaintBox(this);
    PaintBox->SetParent(ScrollBox);
    PaintBox->OnPaint = [this](TObject*) { PaintPicture(PaintBox); };
    PaintBox->OnMouseMove = [this](TObject*, TShiftState Shift, int X, int Y) { PaintBoxMouseMove(Shift, X, Y); };
    PaintBox->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int X, int Y) {
        PaintBoxMouseUp(Button, X, Y);
    };
    OKButton = AddButton(this, "&OK, Bild speichern", 148, 470, 150);
    OKButton->OnClick = [this](TObject*) { OKClick(); };
    SaveAsButton = AddButton(this, "Speichern unter...", 306, 470, 130);
    SaveAsButton->OnClick = [this](TObject*) { SaveAs(false); };
    CancelButton = AddButton(this, "Abbrechen", 444, 470, 110);
    CancelButton->OnClick = [this](TObject*) { CancelClick(); };
    StatusBar = new TStatusBar(this);
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->AddPanel().Width = 250;
    StatusBar->AddPanel().Width = 150;
}

void TVexaPaintForm::BuildMenus()
{
    for (int m = 0; m < 4; ++m) {
        MenuImages[m] = ResourceImages(this, MenuImageResources[m], 24);
        auto* menu = new TPopupMenu(this);
        menu->AutoPopup = false;
        Menus[m] = menu;
        const auto& entries = MenuEntries[static_cast<std::size_t>(m)];
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            auto* item = new TMenuItem(menu);
            item->Caption = entries[static_cast<std::size_t>(i)];
            if (!item->IsLine())
                item->ImageIndex = i;
            const auto which = static_cast<TVexaPaintMenu>(m);
            item->OnClick = [this, which, i](TObject*) { MenuItemClick(which, i); };
            menu->Items().Add(item);
        }
        menu->SetImages(MenuImages[m]);
    }
}

void TVexaPaintForm::ShowMenu(TVexaPaintMenu Menu, TButton* Button)
{
    const TPoint at = Button->ClientToScreen(Point(Button->Width() / 2, Button->Height()));
    Menus[Menu]->Popup(at.X, at.Y);
}

void TVexaPaintForm::CropClick()
{
    if (selectionState_ != ssMarked || pictureSelection_.IsEmpty()) {
        ui::MessageDlg(VexaPaintTexts::MarkFirst, mtInformation, {mbOK}, 0);
        return;
    }
    const TRect rect = pictureSelection_;
    ClearSelection();
    picture_.Crop(rect);
}

void TVexaPaintForm::UndoClick() { picture_.Undo(); }

void TVexaPaintForm::MenuItemClick(TVexaPaintMenu Menu, int Index)
{
    switch (Menu) {
    case vmTurn:
        switch (Index) {
        case 0: picture_.MirrorHorizontal(); break;
        case 1: picture_.MirrorVertical(); break;
        case 2: picture_.Rotate90(); break;
        case 3: picture_.Rotate180(); break;
        case 4: picture_.Rotate270(); break;
        case 5: FreeRotation(); break;
        default: break;
        }
        break;
    case vmColour:
        if (Index == 0)
            ColourCorrection();
        else if (Index == 1)
            picture_.Invert(selectionState_ == ssMarked ? pictureSelection_ : TRect{});
        else if (Index == 2)
            picture_.GrayScale();
        break;
    case vmBrightness:
        if (Index == 0)
            BrightnessContrast();
        else if (Index == 1)
            GammaCorrection();
        break;
    case vmFilter:
        if (Index >= 0 && Index < 6)
            picture_.Filter(static_cast<TPaintFilter>(Index));
        break;
    }
    if (Menu != vmTurn && Menu != vmFilter)
        PaintBox->Invalidate();
}

void TVexaPaintForm::FreeRotation()
{
    if ((new TAskDegreesForm(this))->Execute(rotationAngle_, fillColour_))
        picture_.RotateFree(rotationAngle_, fillColour_);
}

void TVexaPaintForm::ColourCorrection()
{
    if ((new TAskRGBForm(this, &picture_))->Execute(red_, green_, blue_))
        picture_.ApplyRGB(red_, green_, blue_);
}

void TVexaPaintForm::BrightnessContrast()
{
    if ((new TAskBCForm(this, &picture_))->Execute(brightness_, contrast_))
        picture_.ApplyBC(brightness_, contrast_);
}

void TVexaPaintForm::GammaCorrection()
{
    if ((new TAskGammaForm(this, &picture_))->Execute(redGamma_, greenGamma_, gammaInvert_, blueGamma_))
        picture_.ApplyGamma(redGamma_, greenGamma_, blueGamma_, gammaInvert_);
}

void TVexaPaintForm::BitmapProgress()
{
    const TBitmapProgress& progress = *BitmapTools::BitmapProgress;
    if (ProgressBar->Max() != progress.Maximum)
        ProgressBar->SetMax(progress.Maximum);
    const std::int64_t now = rtl::GetTickCount();
    if (now - lastProgress_ < 51 && progress.Position != 0 && progress.Position != progress.Maximum)
        return;
    if (ProgressBar->Position() != progress.Position) {
        lastProgress_ = now;
        ProgressBar->SetPosition(progress.Position);
    }
}
