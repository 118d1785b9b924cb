#include "editor/tools/AskGotPicture.h"

#include "core/RectTools.h"
#include "editor/app/MonitorGfx.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/FilenameEdit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Files.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TAskGotPictureForm)

namespace {

TLabel* AddText(TWinControl* Parent, const std::string& Caption, int Top, int Height)
{
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetCaption(Caption);
    label->SetBounds(180, Top, 300, Height);
    return label;
}

TButton* AddButton(TWinControl* Parent, const std::string& Caption, int Left)
{
    auto* button = new TButton(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, 236, 112, 25);
    return button;
}

} // namespace

TAskGotPictureForm::TAskGotPictureForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Bild importiert");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(492);
    SetClientHeight(300);
    MonitorBox = new TPaintBox(this);
    MonitorBox->SetParent(this);
    MonitorBox->SetBounds(4, 4, 172, 164);
    PreviewImage = new TImage(this);
    PreviewImage->SetParent(this);
    PreviewImage->SetBounds(18, 18, 144, 108);
    MonitorBox->OnPaint = [this](TObject*) {
        // The image's bounds in the paint box's coordinates.
        const TRect screen = PreviewImage->BoundsRect();
        DrawMonitor(*MonitorBox,
                    Rect(screen.Left - MonitorBox->Left(), screen.Top - MonitorBox->Top(),
                         screen.Right - MonitorBox->Left(), screen.Bottom - MonitorBox->Top()));
    };
    AddText(this, "Bild wurde importiert.", 12, 16);
    AddText(this,
            "Soll es in die Vistelo aufgenommen werden oder möchten Sie es erst bearbeiten (später auch noch möglich)?",
            34, 44);
    AddText(this,
            "Sie müssen das Bild auch nicht in die Vistelo aufnehmen. Sie können es auch einfach nur auf der "
            "Festplatte speichern.",
            82, 44);
    auto* nameLabel = AddText(this, "Dateiname:", 176, 16);
    nameLabel->SetBounds(12, 180, 80, 16);
    FileNameEdit = new TFilenameEdit(this);
    FileNameEdit->SetParent(this);
    FileNameEdit->SetBounds(96, 176, 384, 22);

    AddButton = ::AddButton(this, "Aufnehmen", 12);
    AddButton->Default = true;
    AddButton->OnClick = [this](TObject*) {
        decision_ = gdAddToShow;
        ModalResult = mrOk;
    };
    SaveButton = ::AddButton(this, "nur Speichern", 130);
    SaveButton->OnClick = [this](TObject*) {
        decision_ = gdOnlySave;
        ModalResult = mrOk;
    };
    EditButton = ::AddButton(this, "Bearbeiten", 248);
    DiscardButton = ::AddButton(this, "Verwerfen", 366);
    DiscardButton->ModalResult = mrCancel;
    DiscardButton->Cancel = true;

    ApplyToAllCheck = new TCheckBox(this);
    ApplyToAllCheck->SetParent(this);
    ApplyToAllCheck->SetCaption("die von Ihnen getroffende Entscheidung für alle weiteren Bilder verwenden");
    ApplyToAllCheck->SetBounds(12, 270, 468, 20);
}

std::string TAskGotPictureForm::FilterOfFormat(int Format)
{
    switch (Format) {
    case 1: return "JPEG (*.JPG)|*.jpeg;*.jpg";
    case 2: return "TrueVision Targa (*.TGA)|*.TGA|";
    default: return "Bitmaps (*.BMP)|*.bmp";
    }
}

int TAskGotPictureForm::Execute(TBitmap& Bitmap, std::string& FileName, bool& ApplyToAll)
{
    decision_ = gdDiscard;
    FileNameEdit->SetText(FileName);
    FileNameEdit->SetFilter(FilterOfFormat(Format));
    FileNameEdit->SetInitialDir(rtl::ExtractFilePath(FileName));
    DrawPreview(Bitmap);
    EditButton->OnClick = [this, &Bitmap](TObject*) {
        if (OnEdit && OnEdit(Bitmap, FileNameEdit->Text()))
            DrawPreview(Bitmap);
    };
    ShowModal();
    FileName = FileNameEdit->Text();
    ApplyToAll = ApplyToAllCheck->Checked();
    return decision_;
}

void TAskGotPictureForm::DrawPreview(const TBitmap& Bitmap)
{
    const int w = PreviewImage->Width();
    const int h = PreviewImage->Height();
    TBitmap& shown = PreviewImage->Picture().Bitmap();
    shown.SetPixelFormat(pf24bit);
    shown.SetSize(w, h);
    shown.Canvas().Brush.Color = clBlack;
    shown.Canvas().FillRect(TRect{0, 0, w, h});
    const TRect fitted = RectTools::ProportionalScale(TRect{0, 0, Bitmap.Width(), Bitmap.Height()}, TRect{0, 0, w, h},
                                                      true);
    VisteloSetup::DrawBitmapScaled(Bitmap, shown.Canvas(), fitted.Left, fitted.Top, fitted.Width(), fitted.Height());
    shown.PixelsChanged(TRect{0, 0, w, h});
    PreviewImage->Invalidate();
}
