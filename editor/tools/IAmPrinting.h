#pragma once

// The small window shown while a document is printed.

#include "platform/ui/Forms.h"

class TLabel;

class TPrintingForm : public TForm {
    DECLARE_CLASS(TPrintingForm, TForm)
public:
    explicit TPrintingForm(TComponent* AOwner);

    // "Seite %d von %d".
    void ShowPage(int Page, int Pages);

    TLabel* PageLabel = nullptr;
};
