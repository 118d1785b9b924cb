#include "editor/tools/IAmPrinting.h"

#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TPrintingForm)

TPrintingForm::TPrintingForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Drucken");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(300);
    SetClientHeight(70);
    auto* text = new TLabel(this);
    text->SetParent(this);
    text->SetCaption("Es wird gedruckt...bitte haben Sie etwas Geduld.");
    text->SetBounds(12, 12, 276, 16);
    PageLabel = new TLabel(this);
    PageLabel->SetParent(this);
    PageLabel->SetBounds(12, 40, 276, 16);
}

void TPrintingForm::ShowPage(int Page, int Pages)
{
    PageLabel->SetCaption("Seite " + std::to_string(Page) + " von " + std::to_string(Pages));
}
