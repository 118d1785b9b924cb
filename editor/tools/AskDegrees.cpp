#include "editor/tools/AskDegrees.h"

#include <cmath>

#include "editor/tools/ToolResources.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "widgets/Spin.h"

IMPLEMENT_CLASS(TAskDegreesForm)

namespace {

TLabel* AddLabel(TWinControl* Parent, const std::string& Caption, int Left, int Top, int Width, int Height = 16)
{
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetAutoSize(false);
    label->SetWordWrap(Height > 16);
    label->SetCaption(Caption);
    label->SetBounds(Left, Top, Width, Height);
    return label;
}

TButton* AddButton(TWinControl* Parent, const std::string& Caption, int Left, TModalResult Result)
{
    auto* button = new TButton(Parent);
    button->SetParent(Parent);
    button->SetCaption(Caption);
    button->SetBounds(Left, 124, 100, 27);
    button->ModalResult = Result;
    return button;
}

} // namespace

TAskDegreesForm::TAskDegreesForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Um welchen Winkel soll das Bild gedreht werden?");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(380);
    SetClientHeight(163);
    OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };

    auto* question = new TImage(this);
    question->SetParent(this);
    question->SetBounds(12, 12, 48, 48);
    ToolResources::LoadBitmap(question->Picture().Bitmap(), "BigQuestion");
    AddLabel(this, "Geben Sie den Winkel ein, um den das Bild nach rechts gedreht werden soll:", 72, 12, 296, 34);

    DegreesEdit = new TSpinEdit(this);
    DegreesEdit->SetParent(this);
    DegreesEdit->SetBounds(72, 52, 80, 24);
    DegreesEdit->MinValue = 0;
    DegreesEdit->MaxValue = 360;
    AddLabel(this, "°", 156, 56, 12);

    AddLabel(this, "Hintergrundfarbe:", 72, 90, 110);
    ColorPanel = new TPanel(this);
    ColorPanel->SetParent(this);
    ColorPanel->SetBounds(186, 86, 60, 24);
    ColorPanel->SetBevelOuter(bvLowered);
    ColorPanel->SetCaption("");
    ColorPanel->OnClick = [this](TObject*) { ColorPanelClick(); };

    OKButton = AddButton(this, "&OK", 160, mrOk);
    OKButton->Default = true;
    CancelButton = AddButton(this, "&Abbrechen", 268, mrCancel);
    CancelButton->Cancel = true;
}

double TAskDegreesForm::AngleOfValue(double Value) { return Value - std::trunc(Value / 360) * 360; }

bool TAskDegreesForm::Execute(double& Angle, TColor& Color)
{
    DegreesEdit->SetValue(static_cast<int>(std::trunc(Angle)));
    ColorPanel->SetColor(Color);
    if (ShowModal() != mrOk)
        return false;
    Angle = AngleOfValue(DegreesEdit->Value());
    Color = ColorPanel->Color();
    return true;
}

void TAskDegreesForm::ColorPanelClick()
{
    TColorDialog dialog(this);
    dialog.Color = ColorPanel->Color();
    if (dialog.Execute())
        ColorPanel->SetColor(dialog.Color);
}
