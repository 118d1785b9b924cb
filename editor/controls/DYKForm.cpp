#include "editor/controls/DYKForm.h"

#include "editor/controls/DYK.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TDidYouKnowForm)

namespace {

constexpr int BulbWidth = 40;
constexpr int BulbHeight = 56;

// A light bulb: a yellow glass over a grey screw base.
void DrawBulb(TBitmap& Bitmap)
{
    Bitmap.SetSize(BulbWidth, BulbHeight);
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.FillRect(Rect(0, 0, BulbWidth, BulbHeight));
    canvas.Pen.Color = RGB(0x80, 0x60, 0x00);
    canvas.Brush.Color = RGB(0xFF, 0xE0, 0x40);
    canvas.Ellipse(4, 2, BulbWidth - 4, 36);
    canvas.Brush.Color = clGray;
    canvas.Pen.Color = clDkGray;
    for (int top = 36; top < 50; top += 4)
        canvas.Rectangle(12, top, BulbWidth - 12, top + 4);
    canvas.Brush.Color = clBlack;
    canvas.Rectangle(16, 50, BulbWidth - 16, 54);
    canvas.Pen.Color = RGB(0xC0, 0x80, 0x00);
    canvas.MoveTo(16, 30);
    canvas.LineTo(20, 16);
    canvas.LineTo(24, 30);
    Bitmap.SetTransparentMode(tmAuto);
}

TButton* NewButton(TDidYouKnowForm* Form, const std::string& Caption, int Left)
{
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption(Caption);
    button->SetBounds(Left, 238, 100, 25);
    return button;
}

} // namespace

TDidYouKnowForm::TDidYouKnowForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Tipp des Tages");
    SetBorderStyle(bsSingle);
    SetPosition(poMainFormCenter);
    SetClientWidth(440);
    SetClientHeight(274);

    WhitePanel = new TPanel(this);
    WhitePanel->SetParent(this);
    WhitePanel->SetBounds(8, 8, 424, 220);
    WhitePanel->SetBevelOuter(bvLowered);
    WhitePanel->SetCaption("");
    WhitePanel->SetColor(clWhite);

    BulbImage = new TImage(this);
    BulbImage->SetParent(WhitePanel);
    BulbImage->SetBounds(12, 12, BulbWidth, BulbHeight);
    DrawBulb(BulbImage->Picture().Bitmap());

    DidYouKnowLabel = new TLabel(this);
    DidYouKnowLabel->SetParent(WhitePanel);
    DidYouKnowLabel->SetBounds(64, 12, 348, 24);
    DidYouKnowLabel->SetAlignment(taCenter);
    DidYouKnowLabel->Font().SetName("Arial");
    DidYouKnowLabel->Font().SetHeight(-16);
    DidYouKnowLabel->Font().SetStyle({fsBold});

    DidYouKnowEdit = new TRichEdit(this);
    DidYouKnowEdit->SetParent(WhitePanel);
    DidYouKnowEdit->SetBounds(64, 44, 348, 164);
    DidYouKnowEdit->SetReadOnly(true);
    DidYouKnowEdit->SetScrollBars(ssVertical);
    // The text is only read: no blinking cursor in it.
    DidYouKnowEdit->OnEnter = [this](TObject*) { DidYouKnowEdit->SetCaretVisible(false); };

    ShowTipsCheck = new TCheckBox(this);
    ShowTipsCheck->SetParent(this);
    ShowTipsCheck->SetCaption("Tipps zeigen");
    ShowTipsCheck->SetBounds(12, 242, 180, 17);

    NextBtn = NewButton(this, "&Nächster Tipp", 224);
    NextBtn->OnClick = [this](TObject*) { NextTip(); };
    CloseBtn = NewButton(this, "&Schließen", 332);
    CloseBtn->ModalResult = mrOk;
    CloseBtn->Cancel = true;
    CloseBtn->Default = true;
}

TDidYouKnowForm::~TDidYouKnowForm() = default;

void TDidYouKnowForm::ShowTipIndex(int Index)
{
    if (!Tips || Tips->Count() == 0)
        return;
    if (Index < 0 || Index >= Tips->Count())
        Index = 0;
    CurrentTip = Index;
    TStrings& lines = DidYouKnowEdit->Lines();
    lines.BeginUpdate();
    lines.Clear();
    for (const std::string& line : DYK::SplitTipLines(Tips->Strings(Index)))
        lines.Add(line);
    lines.EndUpdate();
    SetTipTitle(title_);
    DidYouKnowEdit->SetSelStart(0);
    DidYouKnowEdit->Perform(WM_VSCROLL, SB_TOP, 0);
}

void TDidYouKnowForm::NextTip()
{
    if (Tips)
        ShowTipIndex(DYK::NextTipIndex(CurrentTip, Tips->Count()));
}

void TDidYouKnowForm::SetTipTitle(const std::string& Title)
{
    title_ = Title;
    SetCaption(DYK::TipTitle(Title, CurrentTip, Tips ? Tips->Count() : 0, ShowNumber));
}
