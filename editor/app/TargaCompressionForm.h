#pragma once

// The options of the TGA save plug-in: one check box for run-length
// compression, OK and Cancel.

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;

class TTargaCompressionForm : public TForm {
    DECLARE_CLASS(TTargaCompressionForm, TForm)
public:
    explicit TTargaCompressionForm(TComponent* AOwner);

    TCheckBox* CompressionCheck = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
};
