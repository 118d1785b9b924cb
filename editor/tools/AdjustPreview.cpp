#include "editor/tools/AdjustPreview.h"

#include "editor/app/VisteloSetup.h"
#include "editor/tools/PreviewTarget.h"
#include "editor/tools/ToolResources.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TAdjustPreviewForm)

namespace {

constexpr int FormWidth = 380;
constexpr int Margin = 12;

TLabel* AddLabel(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width, TAlignment Alignment)
{
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetAutoSize(false);
    label->SetAlignment(Alignment);
    label->SetCaption(Caption);
    label->SetBounds(Left, Top, Width, 16);
    return label;
}

TBitBtn* AddButton(TWinControl* Parent, const std::string& Caption, int Left, int Top, TModalResult Result)
{
    auto* button = new TBitBtn(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, Top, 100, 27);
    button->ModalResult = Result;
    return button;
}

} // namespace

TAdjustPreviewForm::TAdjustPreviewForm(TComponent* AOwner, TPreviewTarget* Target) : TForm(AOwner), target_(Target)
{
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(FormWidth);
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TTrackBar* TAdjustPreviewForm::AddTrackBar(const std::string& Caption, int Top, int Min, int Max,
                                           const std::string& LeftText, const std::string& MiddleText,
                                           const std::string& RightText)
{
    AddLabel(this, Caption, Margin, Top + 4, 60, taLeftJustify);
    auto* track = new TTrackBar(this);
    track->SetParent(this);
    track->SetBounds(Margin + 64, Top, FormWidth - 2 * Margin - 64, 26);
    track->SetMin(Min);
    track->SetMax(Max);
    track->OnChange = [this](TObject*) { ValueChanged(); };
    const int scaleTop = Top + 27;
    const int scaleWidth = (FormWidth - 2 * Margin - 64) / 3;
    AddLabel(this, LeftText, Margin + 64, scaleTop, scaleWidth, taLeftJustify);
    if (!MiddleText.empty())
        AddLabel(this, MiddleText, Margin + 64 + scaleWidth, scaleTop, scaleWidth, taCenter);
    AddLabel(this, RightText, Margin + 64 + 2 * scaleWidth, scaleTop, scaleWidth, taRightJustify);
    return track;
}

void TAdjustPreviewForm::FinishLayout(int Top, const std::string& Glyph)
{
    const bool canPreview = target_ && target_->UndoEnabled();
    PreviewButton = AddButton(this, "Vorschau", Margin, Top, mrNone);
    ToolResources::LoadGlyph(PreviewButton, Glyph);
    PreviewButton->SetEnabled(canPreview);
    PreviewButton->OnClick = [this](TObject*) { Preview(); };

    AutoPreviewCheck = new TCheckBox(this);
    AutoPreviewCheck->SetParent(this);
    AutoPreviewCheck->SetCaption("automatische Vorschau");
    AutoPreviewCheck->SetBounds(Margin + 110, Top + 4, 180, 20);
    AutoPreviewCheck->SetEnabled(canPreview);
    AutoPreviewCheck->OnClick = [this](TObject*) { AutoPreviewClicked(); };

    const int buttonsTop = Top + 40;
    OKButton = AddButton(this, "&OK", FormWidth - 2 * 100 - Margin - 8, buttonsTop, mrOk);
    OKButton->Default = true;
    CancelButton = AddButton(this, "&Abbrechen", FormWidth - 100 - Margin, buttonsTop, mrCancel);
    CancelButton->Cancel = true;
    SetClientHeight(buttonsTop + 27 + Margin);
}

void TAdjustPreviewForm::Preview()
{
    if (!target_ || !target_->UndoEnabled())
        return;
    if (noPreviewYet_) {
        noPreviewYet_ = false;
        target_->DropUndo();
    } else {
        target_->Undo();
    }
    ApplyPreview(*target_);
}

void TAdjustPreviewForm::ValueChanged()
{
    if (AutoPreviewCheck && AutoPreviewCheck->Checked())
        Preview();
}

void TAdjustPreviewForm::AutoPreviewClicked()
{
    Preview();
    StoreAutoPreview();
}

void TAdjustPreviewForm::StoreAutoPreview() { VisteloSetup::VexaPaintAutoPreview = AutoPreviewCheck->Checked(); }

void TAdjustPreviewForm::FormClose(TObject*, TCloseAction& Action)
{
    // The confirmed values are applied once more by the editor, as one
    // undoable step; the preview must not stay under it.
    if (!noPreviewYet_ && target_) {
        target_->Undo();
        noPreviewYet_ = true;
    }
    Action = caFree;
}
