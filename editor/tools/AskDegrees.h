#pragma once

// Asks for the angle of a free rotation (whole degrees, turning right) and
// the colour of the corners the turn uncovers.

#include "platform/graphics/Color.h"
#include "platform/ui/Forms.h"

class TButton;
class TPanel;
class TSpinEdit;

class TAskDegreesForm : public TForm {
    DECLARE_CLASS(TAskDegreesForm, TForm)
public:
    explicit TAskDegreesForm(TComponent* AOwner);

    // Shows the dialog with the angle and colour; on OK they take the new
    // values (360 comes back as 0) and the result is true. The form frees
    // itself when it closes.
    bool Execute(double& Angle, TColor& Color);

    // The angle of a spin edit value: whole turns taken off.
    static double AngleOfValue(double Value);

    TSpinEdit* DegreesEdit = nullptr;
    TPanel* ColorPanel = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;

private:
    void ColorPanelClick();
};
