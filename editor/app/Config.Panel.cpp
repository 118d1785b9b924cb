// The main window's picture panel: the settings of the selected pictures,
// shown when the selection changes and written back through the access
// layer's setters; the preview with its pipette; the comment editor.

#include "editor/app/Config.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/Tools.h"
#include "editor/app/BlendingPreviewUnit.h"
#include "editor/app/EditorGlyphs.h"
#include "editor/app/ExtPicPrefsUnit.h"
#include "editor/app/FormBuilding.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/PicturePanel.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/ColorPickerButton.h"
#include "editor/controls/SymbolChkList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/KSCtrls.h"
#include "widgets/KSSplit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace FormBuilding;

namespace {

// The pipette's cursor number on the screen.
constexpr TCursor PipetteCursor = 1;

TComboBox* NewComboBox(TWinControl* Parent, int Left, int Top, int Width)
{
    auto* combo = new TComboBox(Parent->Owner());
    combo->SetParent(Parent);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(Left, Top, Width, 22);
    return combo;
}

TKsSpeedButton* NewSettingsButton(TWinControl* Parent, int Left, int Top, const std::string& Hint)
{
    auto* button = new TKsSpeedButton(Parent->Owner());
    button->SetParent(Parent);
    button->SetBounds(Left, Top, 28, 26);
    button->Hint = Hint;
    button->SetShowHint(true);
    return button;
}

} // namespace

void TAAForm::CreateSettingsPanel()
{
    Panel2 = NewPanel(this, alClient);
    HSplitter->SetControlFirst(PicListBoxPanel);
    HSplitter->SetControlSecond(Panel2);

    Panel3 = NewPanel(Panel2, alTop);
    Panel3->SetHeight(DesignPanel3Height);
    TPanel* picInfoPanel = NewPanel(Panel3, alLeft);
    picInfoPanel->SetWidth(290);
    picInfoPanel->SetBorderWidth(GroupMargin);
    PicSettingsGroupBox = NewGroupBox(picInfoPanel, " Bildeinstellungen ");
    CreateSettingsControls();
    CreatePreview();

    VSplitter = new TKsSplitter(this);
    VSplitter->SetParent(Panel2);
    VSplitter->SetAlign(alTop);
    VSplitter->SetTop(DesignPanel3Height);
    TPanel* commentPanel = NewPanel(Panel2, alClient);
    commentPanel->SetBorderWidth(GroupMargin);
    VSplitter->SetControlFirst(Panel3);
    VSplitter->SetControlSecond(commentPanel);
    CommentGroupBox = NewGroupBox(commentPanel, " Kommentar zum Bild/Bildbeschreibung ");
    CommentsMemo = new TMemo(this);
    CommentsMemo->SetParent(CommentGroupBox);
    CommentsMemo->SetAlign(alClient);
    CommentsMemo->OnChange = [this](TObject* Sender) { CommentsMemoChange(Sender); };
}

void TAAForm::CreateSettingsControls()
{
    TGroupBox* group = PicSettingsGroupBox;
    ZoomImageCheck = NewCheckBox(group, "Bild (auf &Vollbild) strecken", 20);
    KeepProportionsCheck = NewCheckBox(group, "&Seitenverhältnisse beibehalten", 42);
    ShowCommentCheck = NewCheckBox(group, "&Kommentar zum Bild anzeigen", 64);
    ShowImageCheck = NewCheckBox(group, "Bild &anzeigen", 86);
    ZoomImageCheck->OnClick = [this](TObject* Sender) { ZoomImageCheckClick(Sender); };
    KeepProportionsCheck->OnClick = [this](TObject* Sender) { KeepProportionsCheckClick(Sender); };
    ShowCommentCheck->OnClick = [this](TObject* Sender) { ShowCommentCheckClick(Sender); };
    ShowImageCheck->OnClick = [this](TObject* Sender) { ShowImageCheckClick(Sender); };

    CommentDetailsPanel = NewPanel(group, alNone);
    CommentDetailsPanel->SetBounds(8, 110, 260, 54);
    CommentAlignmentComboBox = NewComboBox(CommentDetailsPanel, 2, 2, 256);
    for (const char* text : {"Zentriert", "Linksbündig", "Rechtsbündig"})
        CommentAlignmentComboBox->Items().Add(text);
    CommentAlignmentComboBox->OnChange = [this](TObject* Sender) { CommentAlignmentComboBoxChange(Sender); };
    CommentPlacementComboBox = NewComboBox(CommentDetailsPanel, 2, 28, 256);
    for (const char* text : {"im Bild (oben)", "im Bild (Mitte)", "im Bild (unten)", "in der Navigationsleiste",
                             "als Bildunterschrift", "genau plaziert"})
        CommentPlacementComboBox->Items().Add(text);
    CommentPlacementComboBox->OnChange = [this](TObject* Sender) { CommentPlacementComboBoxChange(Sender); };

    PreviewBlendingBtn = new TButton(this);
    PreviewBlendingBtn->SetParent(group);
    PreviewBlendingBtn->SetBounds(10, 170, 76, 23);
    PreviewBlendingBtn->SetCaption("Überblend.:");
    PreviewBlendingBtn->OnClick = [this](TObject*) {
        TBlendingPreviewForm::Open(this, [this] { return BlendingComboBox->ItemIndex(); });
    };
    BlendingComboBox = NewComboBox(group, 90, 170, 178);
    BlendingComboBox->OnChange = [this](TObject* Sender) { BlendingComboBoxChange(Sender); };

    SoundBtn = NewSettingsButton(group, 10, 202, "Sound");
    FontBtn = NewSettingsButton(group, 40, 202, "Kommentar/Beschriftung");
    SleepBtn = NewSettingsButton(group, 70, 202, "Verweildauer");
    SpecPlacementBtn = NewSettingsButton(group, 100, 202, "Größe und Position");
    SoundBtn->OnClick = [this](TObject*) { PicturePrefsClick(eppSound); };
    FontBtn->OnClick = [this](TObject*) { PicturePrefsClick(eppComment); };
    SleepBtn->OnClick = [this](TObject*) { PicturePrefsClick(eppPause); };
    SpecPlacementBtn->OnClick = [this](TObject*) { PicturePrefsClick(eppPlacement); };
    SetButtonGlyph(SoundBtn, "SpeakerRed");
    SetButtonGlyph(FontBtn, "ARed");
    SetButtonGlyph(SleepBtn, "SleepRed");
    SetButtonGlyph(SpecPlacementBtn, "LandScapeRed");
    BgColorBarBtn = new TColorPickerButton(this);
    BgColorBarBtn->SetParent(group);
    BgColorBarBtn->SetBounds(136, 203, 132, 26);
    BgColorBarBtn->SetCustomText("weitere Farben...");
    BgColorBarBtn->SetFlat(true);
    BgColorBarBtn->SetIndicatorBorder(ibSunken);
    BgColorBarBtn->SetPopupSpacing(8);
    BgColorBarBtn->SetShowSystemColors(false);
    BgColorBarBtn->SetSpacing(0);
    BgColorBarBtn->Hint = "Hintergrundfarbe festlegen";
    BgColorBarBtn->SetShowHint(true);
    BgColorBarBtn->OnClick = [this](TObject* Sender) { BackgroundColorClick(Sender); };
    BgColorBarBtn->OnChange = [this](TObject* Sender) { BgColorBarBtnChange(Sender); };
    ColorDialog1 = new TColorDialog(this);
}

void TAAForm::CreatePreview()
{
    TPanel* previewPanel = NewPanel(Panel3, alClient);
    previewPanel->SetBorderWidth(GroupMargin);
    PreviewGroupBox = NewGroupBox(previewPanel, " Vorschau und Drag&&Drop ");
    ImageSizeLabel = new TLabel(this);
    ImageSizeLabel->SetParent(PreviewGroupBox);
    ImageSizeLabel->SetAlign(alBottom);
    ImageSizeLabel->SetAlignment(taCenter);
    ImageSizeLabel->SetCaption("");
    PreviewImagePanel = NewPanel(PreviewGroupBox, alClient);
    PreviewImagePanel->SetBorderWidth(4);
    PreviewImage = new TImage(this);
    PreviewImage->SetParent(PreviewImagePanel);
    PreviewImage->SetAlign(alClient);
    PreviewImage->Hint = "Klicken: Bild in Originalgröße; Ziehen: Bild in andere Programme";
    PreviewImage->SetShowHint(true);
    PreviewImage->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PreviewImageMouseDown(Sender, Button, Shift, X, Y);
    };
    PreviewImage->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        PreviewImageMouseMove(Sender, Shift, X, Y);
    };
    PreviewImage->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PreviewImageMouseUp(Sender, Button, Shift, X, Y);
    };
    PreviewImagePanel->OnResize = [this](TObject*) { PicListBoxClick(nullptr); };
    TBitmap pipette;
    EditorGlyphs::Paint(pipette, "Pipette");
    pipette.SetTransparent(true);
    Screen->SetCursors(PipetteCursor, ui::CreateCursorFromBitmap(pipette, 1, EditorGlyphs::GlyphSize - 2));
}

void TAAForm::SetButtonGlyph(TKsSpeedButton* Button, const std::string& Name)
{
    TBitmap glyph;
    if (!EditorGlyphs::Paint(glyph, Name))
        return;
    Button->SetGlyph(glyph);
    Button->Invalidate();
}

// --- showing the selection ---

void TAAForm::ShowPictureSettings(const TPicInfoObject& Picture)
{
    UpdatingControls = true;
    ZoomImageCheck->SetChecked(Picture.Stretch);
    KeepProportionsCheck->SetChecked(Picture.Proportions);
    ShowCommentCheck->SetChecked(Picture.ShowComments);
    ShowImageCheck->SetChecked(Picture.ShowImage);
    CommentsMemo->SetText(Picture.Comments);
    BgColorBarBtn->SetSelectionColor(Picture.BackgroundColor);
    CommentAlignmentComboBox->SetItemIndex(Picture.CommentAlignment);
    CommentPlacementComboBox->SetItemIndex(Picture.CommentPlacement);
    BlendingComboBox->SetItemIndex(Picture.Blending);
    const PicturePanel::TPanelGlyphs glyphs = PicturePanel::PanelGlyphs(Picture);
    SetButtonGlyph(SoundBtn, glyphs.Sound);
    SetButtonGlyph(FontBtn, glyphs.Font);
    SetButtonGlyph(SleepBtn, glyphs.Sleep);
    SetButtonGlyph(SpecPlacementBtn, glyphs.SpecPlacement);
    ZoomImageCheck->SetEnabled(PicturePanel::StretchSwitchable(Picture));
    UpdatingControls = false;
}

void TAAForm::ShowPreviewText(const std::string& Text)
{
    TBitmap& bitmap = PreviewImage->Picture().Bitmap();
    const int width = std::max(1, PreviewImagePanel->ClientWidth());
    const int height = std::max(1, PreviewImagePanel->ClientHeight());
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width, height);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clWhite;
    canvas.FillRect(Rect(0, 0, width, height));
    canvas.Font.SetColor(clBlack);
    canvas.TextOut(width / 2 - canvas.TextWidth(Text) / 2, height / 2 - canvas.TextHeight(Text) / 2, Text);
    PreviewImage->Invalidate();
}

void TAAForm::ShowPicturePreview(const TPicInfoObject& Picture)
{
    ImageSizeLabel->SetCaption("");
    if (!VisteloSetup::ShowPreview) {
        ShowPreviewText("Vorschau ausgeschaltet");
        return;
    }
    PreviewImagePanel->SetCaption("Bild wird geladen...");
    PreviewImagePanel->Repaint();
    const int width = std::max(1, PreviewImage->Width());
    const int height = std::max(1, PreviewImage->Height());
    TPicture picture;
    const TLoadError error = PictureLoading::LoadPicture(Picture.FileName, Setup::VisteloFilename, picture,
                                                         TPictureLoadOptions{true, width, height});
    if (error != leOK) {
        PictureLoading::PicLoadError(picture, width, height, error);
    } else {
        char size[48];
        std::snprintf(size, sizeof size, "%d x %d", Setup::OrigWidth, Setup::OrigHeight);
        ImageSizeLabel->SetCaption(size);
    }
    PreviewImagePanel->SetCaption("");
    if (picture.Graphic())
        VisteloSetup::DrawPictureInImage(*PreviewImage, *picture.Graphic(), Picture, false);
    if (Picture.CommentPlacement == cpUser) {
        TCanvas& canvas = PreviewImage->Picture().Bitmap().Canvas();
        canvas.Pen.Color = TColor(0x808080);
        canvas.Pen.Style = psDot;
        canvas.Brush.Style = bsClear;
        const TRect area = PictureLoading::GetNormalRect(Picture.CommentUserPlacement, width, height);
        canvas.Rectangle(area.Left, area.Top, area.Right, area.Bottom);
        canvas.Pen.Style = psSolid;
        canvas.Brush.Style = bsSolid;
        PreviewImage->Invalidate();
    }
}

void TAAForm::ShowNoPreview()
{
    if (const TPicInfoObject* current = GetPicInfoObject(PicListBox->ItemIndex()))
        ShowPictureSettings(*current);
    ShowPreviewText("keine Vorschau möglich");
    UpdatingControls = true;
    CommentsMemo->SetText("");
    UpdatingControls = false;
    ImageSizeLabel->SetCaption("");
}

// --- writing the panel into the selected pictures ---

void TAAForm::ZoomImageCheckClick(TObject*)
{
    if (UpdatingControls)
        return;
    PicInfoUnit::SetStretch(ZoomImageCheck->Checked());
    UpdateControlsEnabled();
}

void TAAForm::KeepProportionsCheckClick(TObject*)
{
    if (UpdatingControls)
        return;
    PicInfoUnit::SetProportions(KeepProportionsCheck->Checked());
    PicListBoxClick(nullptr);
    UpdateControlsEnabled();
}

void TAAForm::ShowCommentCheckClick(TObject*)
{
    if (UpdatingControls)
        return;
    PicInfoUnit::SetShowComments(ShowCommentCheck->Checked());
    UpdateControlsEnabled();
}

void TAAForm::ShowImageCheckClick(TObject*)
{
    if (UpdatingControls)
        return;
    PicInfoUnit::SetShowImage(ShowImageCheck->Checked(), true);
    for (int i = 0; i < PicCount(); ++i)
        if (PicSelected(i))
            SetItemChecked(i, GetPicInfoObject(i)->ShowImage);
    UpdateControlsEnabled();
}

void TAAForm::CommentAlignmentComboBoxChange(TObject*)
{
    if (UpdatingControls || CommentAlignmentComboBox->ItemIndex() < 0)
        return;
    PicInfoUnit::SetCommentAlignment(static_cast<TCommentAlignment>(CommentAlignmentComboBox->ItemIndex()));
    UpdateControlsEnabled();
}

void TAAForm::CommentPlacementComboBoxChange(TObject*)
{
    if (UpdatingControls || CommentPlacementComboBox->ItemIndex() < 0)
        return;
    PicInfoUnit::SetCommentPlacement(static_cast<TCommentPlacement>(CommentPlacementComboBox->ItemIndex()));
    UpdateControlsEnabled();
}

void TAAForm::BlendingComboBoxChange(TObject*)
{
    if (UpdatingControls || BlendingComboBox->ItemIndex() < 0)
        return;
    PicInfoUnit::SetBlending(BlendingComboBox->ItemIndex());
    // The list shows the window's hint, so the name shows there too.
    Hint = BlendingComboBox->Items().Strings(BlendingComboBox->ItemIndex());
}

void TAAForm::CommentsMemoChange(TObject*)
{
    // Filling the memo from a picture, or emptying it for several, writes nothing.
    if (UpdatingControls)
        return;
    if (PicSelCount() >= 1)
        PicInfoUnit::SetComments(CommentsMemo->Text());
}

void TAAForm::ShowBackgroundColor(TColor Color)
{
    const bool updating = UpdatingControls;
    UpdatingControls = true;
    BgColorBarBtn->SetSelectionColor(Color);
    UpdatingControls = updating;
}

void TAAForm::ApplyBackgroundColor(TColor Color)
{
    PicInfoUnit::SetBackgroundColor(Color);
    ShowBackgroundColor(Color);
    UpdateControlsEnabled();
    PicListBoxClick(nullptr);
}

void TAAForm::BgColorBarBtnChange(TObject*)
{
    // Showing a picture's colour sets the button too; only the user's choice
    // colours the selection.
    if (!UpdatingControls)
        ApplyBackgroundColor(BgColorBarBtn->SelectionColor());
}

void TAAForm::BackgroundColorClick(TObject*)
{
    const TPicInfoObject* current = GetPicInfoObject(PicItemIndex());
    if (!current)
        return;
    ColorDialog1->Color = current->BackgroundColor;
    if (ColorDialog1->Execute())
        ApplyBackgroundColor(ColorDialog1->Color);
}

// --- the preview's mouse: pipette, full size, dragging out ---

void TAAForm::PreviewImageMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    PreviewMouseDown = TPoint{X, Y};
    PreviewImageMouseMove(nullptr, Shift + TShiftState{Button == mbLeft ? ssLeft : ssRight}, X, Y);
}

void TAAForm::PreviewImageMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    const bool pipette = Shift.Contains(ssShift) && PicSelCount() == 1;
    PreviewImage->SetCursor(pipette ? PipetteCursor : crDefault);
    if (pipette && Shift.Contains(ssLeft)) {
        TPicInfoObject* current = GetPicInfoObject(PicItemIndex());
        const TColor colour = PreviewImage->Picture().Bitmap().Canvas().Pixels(X, Y);
        if (current && colour != TColor(-1)) {
            current->BackgroundColor = colour;
            ShowBackgroundColor(colour);
            UpdateControlsEnabled();
        }
        return;
    }
    if (!Shift.Contains(ssShift) && PreviewDragStarts(Shift, X, Y))
        StartPreviewDrag();
}

void TAAForm::PreviewImageMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Shift.Contains(ssShift)) {
        PreviewImageMouseMove(nullptr, Shift + TShiftState{Button == mbLeft ? ssLeft : ssRight}, X, Y);
        PicListBoxClick(nullptr);
        return;
    }
    PreviewPictureClick(nullptr);
}

bool TAAForm::PreviewDragStarts(TShiftState Shift, int X, int Y) const
{
    const bool left = Shift.Contains(ssLeft);
    const bool right = Shift.Contains(ssRight);
    if (left == right)
        return false;
    return std::abs(X - PreviewMouseDown.X) >= 10 || std::abs(Y - PreviewMouseDown.Y) >= 10;
}
