#include "editor/app/TargaCompressionForm.h"

#include "platform/ui/StdCtrls.h"

IMPLEMENT_CLASS(TTargaCompressionForm)

namespace {

TButton* NewButton(TTargaCompressionForm* Form, const std::string& Caption, int Left, TModalResult Result)
{
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption(Caption);
    button->SetBounds(Left, 48, 90, 25);
    button->ModalResult = Result;
    return button;
}

} // namespace

TTargaCompressionForm::TTargaCompressionForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("TGA-Kompression");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(220);
    SetClientHeight(85);

    CompressionCheck = new TCheckBox(this);
    CompressionCheck->SetParent(this);
    CompressionCheck->SetCaption("&RLE-Komprimierung");
    CompressionCheck->SetBounds(12, 14, 196, 20);

    OKButton = NewButton(this, "&OK", 12, mrOk);
    OKButton->Default = true;
    CancelButton = NewButton(this, "&Abbrechen", 118, mrCancel);
    CancelButton->Cancel = true;
}
