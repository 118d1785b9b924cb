#include "editor/controls/JPEGCompressionDlgForm.h"

#include <cstdio>

#include "core/BitmapTools.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Streams.h"

IMPLEMENT_CLASS(TJPEGCompressPrefsForm)

namespace {

constexpr int PictureWidth = 93;
constexpr int PictureHeight = 109;

template <class C> C* Make(TWinControl* parent, int left, int top, int width, int height)
{
    auto* control = new C(parent);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

TLabel* MakeLabel(TWinControl* parent, int left, int top, const std::string& caption)
{
    auto* label = Make<TLabel>(parent, left, top, 120, 13);
    label->SetCaption(caption);
    label->SetAutoSize(true);
    return label;
}

TPanel* MakePanel(TWinControl* parent, TAlign align, int height)
{
    auto* panel = Make<TPanel>(parent, 0, 0, 337, height);
    panel->SetAlign(align);
    panel->SetBevelOuter(bvNone);
    return panel;
}

} // namespace

void JPEGCompressionDlgForm::MakeTestPicture(TGraphic& Target)
{
    TBitmap bitmap(PictureWidth, PictureHeight, pf32bit);
    TCanvas& c = bitmap.Canvas();
    const int w = bitmap.Width(), h = bitmap.Height();
    c.Font.SetName("Arial");
    c.Font.SetSize(40);
    while (c.TextWidth("Testbild") > w && c.Font.Size() > 1)
        c.Font.SetSize(c.Font.Size() - 1);

    // A fan of triangles from the centre to the border, walked clockwise in
    // steps of 6 pixels, each a step further round the colour circle.
    const TPoint centre{w / 2, h / 2};
    const int hueStep = 360 / (((w + h) * 2) / 6);
    int hue = 90;
    TPoint p{0, 0};
    int edge = 0; // top, right, bottom, left, done
    while (edge < 4) {
        const TPoint previous = p;
        switch (edge) {
        case 0:
            if ((p.X += 6) >= w)
                p.X = w - 1, ++edge;
            break;
        case 1:
            if ((p.Y += 6) >= h)
                p.Y = h - 1, ++edge;
            break;
        case 2:
            if ((p.X -= 6) <= 0)
                p.X = 0, ++edge;
            break;
        default:
            if ((p.Y -= 6) <= 0)
                p.Y = 0, ++edge;
            break;
        }
        hue += hueStep;
        const TColor colour = BitmapTools::HSVToRGB(THSV{hue, 255, 255});
        c.Brush.Color = colour;
        c.Pen.Color = colour;
        c.Polygon({p, previous, centre});
    }

    const std::string text = "Testbild";
    const int x = w / 2 - c.TextWidth(text) / 2;
    const int y = h / 2 - c.TextHeight(text) / 2;
    c.Brush.Style = bsClear;
    c.Font.SetColor(clBlack);
    for (const TPoint offset : {TPoint{-1, 1}, TPoint{-1, -1}, TPoint{1, 1}, TPoint{1, -1}})
        c.TextOut(x + offset.X, y + offset.Y, text);
    c.Font.SetColor(clWhite);
    c.TextOut(x, y, text);
    Target.Assign(&bitmap);
}

TJPEGCompressPrefsForm::TJPEGCompressPrefsForm(TComponent* AOwner)
    : TForm(AOwner), workJPEG_(std::make_unique<TJPEGImage>())
{
    SetCaption("JPEG-Kompression");
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(337);

    CompressionPanel = MakePanel(this, alTop, 121);
    TrackBar = Make<TTrackBar>(CompressionPanel, 8, 40, 321, 30);
    TrackBar->SetMin(1);
    TrackBar->SetMax(100);
    TrackBar->Frequency = 1;
    TrackBar->OnChange = [this](TObject* sender) { TrackBarChange(sender); };
    HighQualityLabel = MakeLabel(CompressionPanel, 8, 8, "hohe Qualität,\r\ngroße Bilddatei");
    LowQualityLabel = MakeLabel(CompressionPanel, 230, 8, "niedrige Qualität,\r\nkleine Bilddatei");
    PercentLabel = MakeLabel(CompressionPanel, 150, 74, "");
    ProgressiveCheck = Make<TCheckBox>(CompressionPanel, 8, 96, 250, 17);
    ProgressiveCheck->SetCaption("&Progressives Komprimieren");
    ProgressiveCheck->OnClick = [this](TObject* sender) { ProgressiveCheckClick(sender); };

    ButtonPanel = MakePanel(this, alBottom, 41);
    OKBtn = Make<TButton>(ButtonPanel, 166, 8, 75, 25);
    OKBtn->SetCaption("&OK");
    OKBtn->Default = true;
    OKBtn->ModalResult = mrOk;
    OKBtn->OnClick = [this](TObject* sender) { OKBtnClick(sender); };
    CancelBtn = Make<TButton>(ButtonPanel, 250, 8, 75, 25);
    CancelBtn->SetCaption("&Abbrechen");
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;

    PreviewPanel = MakePanel(this, alClient, 194);
    PreviewCheck = Make<TCheckBox>(PreviewPanel, 8, 4, 200, 17);
    PreviewCheck->SetCaption("&Automatische Vorschau");
    PreviewCheck->OnClick = [this](TObject* sender) { PreviewCheckClick(sender); };
    PreviewBtn = Make<TButton>(PreviewPanel, 8, 26, 160, 25);
    PreviewBtn->SetCaption("&Vorschau jetzt berechnen");
    PreviewBtn->OnClick = [this](TObject* sender) { PreviewBtnClick(sender); };
    OrgLabel = MakeLabel(PreviewPanel, 40, 56, "Vorher (unkomprimiert)");
    OrgImage = Make<TImage>(PreviewPanel, 40, 72, PictureWidth, PictureHeight);
    JPEGLabel = MakeLabel(PreviewPanel, 190, 56, "Nachher (komprimiert)");
    JPEGImage = Make<TImage>(PreviewPanel, 190, 72, PictureWidth, PictureHeight);
    KBLabel = MakeLabel(PreviewPanel, 190, 72 + PictureHeight + 2, "");
    SetClientHeight(121 + 194 + 41);

    OnActivate = [this](TObject* sender) { FormActivate(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };

    ProgressiveCheck->SetChecked(false);
    TrackBar->SetPosition(30);
    TrackBarChange(TrackBar);
    PreviewCheckClick(PreviewCheck);
}

TJPEGCompressPrefsForm::~TJPEGCompressPrefsForm()
{
    OnActivate = nullptr;
    OnClose = nullptr;
}

void TJPEGCompressPrefsForm::SetSourceJPEG(TJPEGImage* JPEG)
{
    targetJPEG_ = JPEG;
    TBitmap small(PictureWidth, PictureHeight, pf24bit);
    small.Canvas().StretchDraw(Rect(0, 0, PictureWidth, PictureHeight), *JPEG);
    OrgImage->Picture().Assign(&small);
    workJPEG_->Assign(&small);
    workJPEG_->CompressionQuality = JPEG->CompressionQuality;
    workJPEG_->ProgressiveEncoding = JPEG->ProgressiveEncoding;
    updating_ = true;
    TrackBar->SetPosition(JPEGCompressionDlgForm::PositionOfQuality(JPEG->CompressionQuality));
    TrackBarChange(TrackBar);
    ProgressiveCheck->SetChecked(JPEG->ProgressiveEncoding); // clicks
    ProgressiveCheckClick(ProgressiveCheck);
    updating_ = false;
    UpdateSizePreview();
}

void TJPEGCompressPrefsForm::SetPreviewVisible(bool Visible)
{
    if (Visible == previewShown_)
        return;
    previewShown_ = Visible;
    PreviewPanel->SetVisible(Visible);
    SetClientHeight(CompressionPanel->Height() + ButtonPanel->Height() + (Visible ? PreviewPanel->Height() : 0));
}

void TJPEGCompressPrefsForm::TrackBarChange(TObject*)
{
    workJPEG_->CompressionQuality = JPEGCompressionDlgForm::QualityOfPosition(TrackBar->Position());
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", TrackBar->Position());
    PercentLabel->SetCaption(text);
    UpdateSizePreview();
}

void TJPEGCompressPrefsForm::ProgressiveCheckClick(TObject*)
{
    if (workJPEG_)
        workJPEG_->ProgressiveEncoding = ProgressiveCheck->Checked();
    UpdateSizePreview();
}

void TJPEGCompressPrefsForm::PreviewCheckClick(TObject*)
{
    PreviewBtn->SetEnabled(!PreviewCheck->Checked());
    if (!PreviewCheck->Checked())
        return;
    forcePreview_ = true;
    UpdateSizePreview();
}

void TJPEGCompressPrefsForm::PreviewBtnClick(TObject*)
{
    forcePreview_ = true;
    UpdateSizePreview();
}

void TJPEGCompressPrefsForm::FormActivate(TObject*)
{
    PreviewCheck->SetChecked(AutoPreviewState); // clicks when it changes
    PreviewCheckClick(PreviewCheck);
}

void TJPEGCompressPrefsForm::OKBtnClick(TObject*) { AutoPreviewState = PreviewCheck->Checked(); }

void TJPEGCompressPrefsForm::FormClose(TObject*, TCloseAction& Action)
{
    if (ModalResult == mrOk && targetJPEG_) {
        targetJPEG_->CompressionQuality = workJPEG_->CompressionQuality;
        targetJPEG_->ProgressiveEncoding = workJPEG_->ProgressiveEncoding;
    }
    Action = caHide; // the caller frees the form
}

// Compresses the small picture with the chosen settings and tells by how
// many percent the JPEG file is smaller than the bitmap file.
void TJPEGCompressPrefsForm::UpdateSizePreview()
{
    if (!previewShown_ || updating_ || !(forcePreview_ || PreviewCheck->Checked()))
        return;
    forcePreview_ = false;
    TGraphic* original = OrgImage->Picture().Graphic();
    if (!original || original->Empty())
        return;
    TBitmap picture(original->Width(), original->Height(), pf24bit);
    picture.Canvas().Draw(0, 0, *original);
    workJPEG_->Assign(&picture);
    workJPEG_->CompressionQuality = JPEGCompressionDlgForm::QualityOfPosition(TrackBar->Position());
    workJPEG_->ProgressiveEncoding = ProgressiveCheck->Checked();
    workJPEG_->JPEGNeeded();
    workJPEG_->Compress();
    JPEGImage->Picture().Assign(workJPEG_.get());
    TMemoryStream bitmapFile, jpegFile;
    picture.SaveToStream(bitmapFile);
    workJPEG_->SaveToStream(jpegFile);
    const double smaller = 100.0 *
        (1.0 - double(jpegFile.Size()) / double(std::max<std::int64_t>(1, bitmapFile.Size())));
    char text[40];
    std::snprintf(text, sizeof text, "%.2f %% kleiner", smaller);
    KBLabel->SetCaption(text);
    Invalidate();
}
