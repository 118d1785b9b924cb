#include "editor/tools/HTMLSmallDialogs.h"

#include "editor/app/Config.h"
#include "editor/controls/ComboEdit.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "editor/tools/FormPlacing.h"
#include "editor/tools/HTMLPreset.h"
#include "editor/tools/HTMLTemplate.h"
#include "editor/tools/SmallEditor.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ShellApi.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

#include <cmath>

IMPLEMENT_CLASS(TThumbNailSizeDlg)
IMPLEMENT_CLASS(THTMLFormatNavigationLinks)
IMPLEMENT_CLASS(THTMLExitDlg)

namespace {

struct TSquare {
    int Width, Height;
};
constexpr TSquare ThumbSizes[] = {{60, 60}, {80, 80}, {100, 100}, {120, 120}};
constexpr int OtherSizeItem = 4;

using FormPlacing::Captioned;
using FormPlacing::Place;
using FormPlacing::SpinEdit;

TButton* DialogButton(TForm* Form, const std::string& Caption, int Left, int Top, TModalResult Result)
{
    auto* button = Place<TButton>(Form, Left, Top, 90, 25);
    button->SetCaption(Caption);
    button->ModalResult = Result;
    return button;
}

} // namespace

TThumbNailSizeDlg::TThumbNailSizeDlg(TComponent* AOwner, TMyHTMLPreset& Preset) : TForm(AOwner), preset_(Preset)
{
    SetCaption("Thumbnaileinstellungen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(250);

    ThumbNailSizeGroup = Place<TRadioGroup>(this, 8, 8, 200, 160);
    ThumbNailSizeGroup->SetCaption(" Größe eines Thumbnails (in Bildpunkten/Pixeln): ");
    for (const TSquare& size : ThumbSizes)
        ThumbNailSizeGroup->Items().Add(std::to_string(size.Width) + "x" + std::to_string(size.Height));
    ThumbNailSizeGroup->Items().Add("Andere");

    Captioned<TLabel>(this, "&Breite: ", 220, 16, 70);
    ThumbNailWidthEdit = SpinEdit(this, 300, 14, 1, HTMLPreset::MaxThumbSize);
    Captioned<TLabel>(this, "&Höhe: ", 220, 46, 70);
    ThumbNailHeightEdit = SpinEdit(this, 300, 44, 1, HTMLPreset::MaxThumbSize);
    KeepProportionsCheck = Captioned<TCheckBox>(this, "Seiten&verhältnisse beibehalten", 220, 76, 190);
    ShadowCheck = Captioned<TCheckBox>(this, "&Schatten erstellen", 220, 106, 190);
    ShadowWidthLabel = Captioned<TLabel>(this, "Schattenb&reite:", 236, 134, 90);
    ShadowWidthEdit = SpinEdit(this, 330, 132, 1, HTMLPreset::MaxWidthSetting);
    SetupCompressionBtn = Captioned<TButton>(this, "&JPEG-Kompression einstellen", 8, 180, 200);
    SetupCompressionBtn->SetHeight(25);
    OKBtn = DialogButton(this, "&OK", 222, 214, mrNone);
    OKBtn->Default = true;
    CancelBtn = DialogButton(this, "&Abbrechen", 322, 214, mrCancel);
    CancelBtn->Cancel = true;

    // Filling the edits here selects "Andere", as any change of them does.
    Updating = false;
    ThumbNailWidthEdit->OnChange = [this](TObject* Sender) { SizeEditChange(Sender); };
    ThumbNailHeightEdit->OnChange = ThumbNailWidthEdit->OnChange;
    ShadowWidthEdit->OnChange = ThumbNailWidthEdit->OnChange;
    ThumbNailWidthEdit->SetValue(preset_.ThumbWidth);
    ThumbNailHeightEdit->SetValue(preset_.ThumbHeight);
    KeepProportionsCheck->SetChecked(preset_.ThumbKeepProportions);
    ShadowCheck->SetChecked(preset_.ThumbShadow);
    ShadowCheckClick(ShadowCheck);
    ShadowWidthEdit->SetValue(std::max(preset_.ThumbShadowWidth, 1));
    ThumbNailSizeGroup->SetItemIndex(OtherSizeItem);

    ThumbNailSizeGroup->OnClick = [this](TObject* Sender) { ThumbNailSizeGroupClick(Sender); };
    ShadowCheck->OnClick = [this](TObject* Sender) { ShadowCheckClick(Sender); };
    SetupCompressionBtn->OnClick = [this](TObject* Sender) { SetupCompressionBtnClick(Sender); };
    OKBtn->OnClick = [this](TObject* Sender) { OKBtnClick(Sender); };
}

void TThumbNailSizeDlg::ThumbNailSizeGroupClick(TObject*)
{
    const int item = ThumbNailSizeGroup->ItemIndex();
    if (item < 0 || item >= OtherSizeItem)
        return;
    Updating = true;
    ThumbNailWidthEdit->SetValue(ThumbSizes[item].Width);
    ThumbNailHeightEdit->SetValue(ThumbSizes[item].Height);
    Updating = false;
}

void TThumbNailSizeDlg::SizeEditChange(TObject*)
{
    if (!Updating)
        ThumbNailSizeGroup->SetItemIndex(OtherSizeItem);
}

void TThumbNailSizeDlg::ShadowCheckClick(TObject*)
{
    ShadowWidthEdit->SetEnabled(ShadowCheck->Checked());
    ShadowWidthLabel->SetEnabled(ShadowCheck->Checked());
}

void TThumbNailSizeDlg::SetupCompressionBtnClick(TObject*)
{
    TJPEGCompressionDlg dialog(nullptr);
    dialog.CompressionWord = preset_.ThumbJPEG;
    if (dialog.Execute())
        preset_.ThumbJPEG = dialog.CompressionWord;
}

void TThumbNailSizeDlg::OKBtnClick(TObject*)
{
    preset_.ThumbWidth = ThumbNailWidthEdit->Value();
    preset_.ThumbHeight = ThumbNailHeightEdit->Value();
    preset_.ThumbKeepProportions = KeepProportionsCheck->Checked();
    preset_.ThumbShadow = ShadowCheck->Checked();
    preset_.ThumbShadowWidth = ShadowWidthEdit->Value();
    ModalResult = mrOk;
}

THTMLFormatNavigationLinks::THTMLFormatNavigationLinks(TComponent* AOwner, TMyHTMLPreset& Preset, TSmallEditor* Editor)
    : TForm(AOwner), preset_(Preset), editor_(Editor)
{
    SetCaption("Navigationslinks formatieren");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(460);
    SetClientHeight(290);

    auto edit = [this](const std::string& Caption, int Top) {
        Captioned<TLabel>(this, Caption, 8, Top, 440);
        auto* combo = Place<TComboEdit>(this, 8, Top + 18, 440, 22);
        combo->OnButtonClick = [this, combo](TObject*) {
            if (!editor_)
                return;
            editor_->Text = combo->Text();
            if (editor_->Execute())
                combo->SetText(editor_->Text);
        };
        return combo;
    };
    NavPrevEdit = edit("&Voriges Bild:", 8);
    NavNextEdit = edit("&Nächstes Bild:", 52);
    NavBackEdit = edit("&Zurück zur Übersicht:", 96);
    NavCenterCheck = Captioned<TCheckBox>(this, "Navigation&links zentrieren", 8, 142, 300);
    auto* hint = Place<TLabel>(this, 8, 168, 444, 80);
    hint->SetWordWrap(true);
    hint->SetCaption(HTMLSmallDialogs::NavigationHint);
    Button1 = DialogButton(this, "&OK", 262, 258, mrNone);
    Button1->Default = true;
    Button2 = DialogButton(this, "A&bbrechen", 362, 258, mrCancel);
    Button2->Cancel = true;
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    FormActivate(this);
}

void THTMLFormatNavigationLinks::FormActivate(TObject*)
{
    NavCenterCheck->SetChecked(preset_.NavCenter);
    NavPrevEdit->SetText(preset_.NavPrevLink);
    NavNextEdit->SetText(preset_.NavNextLink);
    NavBackEdit->SetText(preset_.NavBackLink);
}

// The templates are checked by the one formatter the pages are filled with,
// so what passes here is what the pages can use.
void THTMLFormatNavigationLinks::Button1Click(TObject*)
{
    preset_.NavCenter = NavCenterCheck->Checked();
    for (TComboEdit* edit : {NavPrevEdit, NavNextEdit, NavBackEdit}) {
        if (!HTMLTemplate::IsValidTemplate(edit->Text())) {
            if (edit->CanFocus())
                edit->SetFocus();
            ui::MessageDlg(HTMLSmallDialogs::FormatErrorText, mtError, TMsgDlgButtons{mbOK}, 0);
            return;
        }
    }
    preset_.NavPrevLink = NavPrevEdit->Text();
    preset_.NavNextLink = NavNextEdit->Text();
    preset_.NavBackLink = NavBackEdit->Text();
    ModalResult = mrOk;
}

THTMLExitDlg::THTMLExitDlg(TComponent* AOwner, std::string Address) : TForm(AOwner), address_(std::move(Address))
{
    SetCaption("Bestätigen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(440);
    SetClientHeight(120);
    TextLabel = Place<TLabel>(this, 12, 12, 416, 60);
    TextLabel->SetWordWrap(true);
    TextLabel->SetCaption(HTMLSmallDialogs::ExitText);
    YesBtn = DialogButton(this, "&Ja", 12, 84, mrYes);
    YesBtn->Default = true;
    NoBtn = DialogButton(this, "&Nein", 110, 84, mrNo);
    StartBrowserBtn = Place<TButton>(this, 208, 84, 130, 25);
    StartBrowserBtn->SetCaption("&Webbrowser starten");
    HelpBtn = DialogButton(this, "&Hilfe", 344, 84, mrNone);
    StartBrowserBtn->OnClick = [this](TObject* Sender) { StartBrowserBtnClick(Sender); };
    HelpBtn->OnClick = [this](TObject* Sender) { HelpBtnClick(Sender); };
}

void THTMLExitDlg::StartBrowserBtnClick(TObject*) { ui::Launch({{"xdg-open", address_}, {}}); }

void THTMLExitDlg::HelpBtnClick(TObject*) { ui::ShowMessage(TAAForm::NoHelpMessage); }
