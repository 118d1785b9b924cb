#include "editor/app/LinkDlg.h"

#include "core/Setup.h"
#include "editor/app/MusicLinks.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/URL.h"

IMPLEMENT_CLASS(TURLSpace)
IMPLEMENT_CLASS(TLinkForm)

namespace {

constexpr int WorldSize = 48;

// The globe beside the addresses: a blue disc with lines of longitude and
// latitude on a transparent (white) ground.
void DrawWorld(TBitmap& Bitmap)
{
    Bitmap.SetSize(WorldSize, WorldSize);
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.FillRect(Rect(0, 0, WorldSize, WorldSize));
    canvas.Brush.Color = RGB(0x30, 0x70, 0xD0);
    canvas.Pen.Color = clNavy;
    canvas.Ellipse(2, 2, WorldSize - 2, WorldSize - 2);
    canvas.Brush.Style = bsClear;
    canvas.Ellipse(WorldSize / 2 - 10, 2, WorldSize / 2 + 10, WorldSize - 2);
    canvas.MoveTo(WorldSize / 2, 2);
    canvas.LineTo(WorldSize / 2, WorldSize - 2);
    for (int y : {WorldSize / 4, WorldSize / 2, 3 * WorldSize / 4}) {
        const int inset = y == WorldSize / 2 ? 2 : 8;
        canvas.MoveTo(inset, y);
        canvas.LineTo(WorldSize - inset, y);
    }
    Bitmap.SetTransparentMode(tmAuto);
}

TButton* NewButton(TLinkForm* Form, const std::string& Caption, int Left)
{
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption(Caption);
    button->SetBounds(Left, 262, 90, 25);
    return button;
}

} // namespace

TLinkForm::TLinkForm(TComponent* AOwner, const std::string& DataFile) : TForm(AOwner)
{
    SetCaption("Linksammlung");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(298);

    ExplanationLabel = new TLabel(this);
    ExplanationLabel->SetParent(this);
    ExplanationLabel->SetWordWrap(true);
    ExplanationLabel->SetBounds(12, 10, 396, 32);
    ExplanationLabel->SetCaption("Unter diesen Internetadressen finden Sie MIDI- und MP3-Dateien, die Sie als "
                                 "Hintergrundmusik verwenden können.");

    URLListBox = new TListBox(this);
    URLListBox->SetParent(this);
    URLListBox->SetBounds(12, 48, 210, 200);
    URLListBox->OnClick = [this](TObject* Sender) { URLListBoxClick(Sender); };
    URLListBox->OnDblClick = [this](TObject* Sender) { URLListBoxDblClick(Sender); };

    Image1 = new TImage(this);
    Image1->SetParent(this);
    Image1->SetBounds(234, 48, 174, 60);
    Image1->SetCenter(true);
    Image1->SetTransparent(true);

    CaptionLabel = new TLabel(this);
    CaptionLabel->SetParent(this);
    CaptionLabel->SetWordWrap(true);
    CaptionLabel->SetAlignment(taCenter);
    CaptionLabel->SetBounds(234, 116, 174, 90);

    URLLabel = new TURL(this);
    URLLabel->SetParent(this);
    URLLabel->SetAlignment(taCenter);
    URLLabel->SetBounds(234, 214, 174, 32);
    URLLabel->SetWordWrap(true);

    CloseButton = NewButton(this, "Schließen", 222);
    CloseButton->ModalResult = mrOk;
    CloseButton->Cancel = true;
    CloseButton->Default = true;
    HelpButton = NewButton(this, "&Hilfe", 318);

    OnActivate = [this](TObject*) { DoActivate(); };
    FormCreate(DataFile);
}

TLinkForm::~TLinkForm() = default;

void TLinkForm::Execute(TComponent* AOwner)
{
    std::unique_ptr<TLinkForm> form(new TLinkForm(AOwner));
    form->ShowModal();
}

void TLinkForm::FormCreate(const std::string& DataFile)
{
    URLText = MusicLinks::ReadText(DataFile.empty() ? Setup::HomeDir + MusicLinks::DataFileName : DataFile);
    URLListBox->Items().Clear();
    spaces_.clear();
    for (MusicLinks::TLink& link : MusicLinks::Parse(URLText)) {
        spaces_.push_back(std::make_unique<TURLSpace>(std::move(link.Address)));
        URLListBox->Items().AddObject(link.Title, spaces_.back().get());
    }
    DrawWorld(Image1->Picture().Bitmap());
}

void TLinkForm::DoActivate()
{
    if (URLListBox->Items().Count() == 0)
        return;
    URLListBox->SetItemIndex(0);
    ShowEntry(0);
}

void TLinkForm::ShowEntry(int Index)
{
    if (Index < 0 || Index >= URLListBox->Items().Count())
        return;
    CaptionLabel->SetCaption(URLListBox->Items().Strings(Index));
    const auto* space = static_cast<const TURLSpace*>(URLListBox->Items().Objects(Index));
    URLLabel->SetCaption(space->URL);
    URLLabel->URL = space->URL;
}

void TLinkForm::URLListBoxClick(TObject*) { ShowEntry(URLListBox->ItemIndex()); }

void TLinkForm::URLListBoxDblClick(TObject* Sender) { URLLabel->JumpToUrl(Sender); }
