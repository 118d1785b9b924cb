// A small form of the UI layer to look at on a real display: aligned
// panels, a label, shapes, a paint box, a bevel, a scroll box and drawing on
// the form's canvas outside a paint. Ends after the milliseconds given as
// the first argument (default: when the window is closed).

#include <cstdlib>
#include <string>

#include "platform/graphics/CanvasText.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdLabel.h"

namespace {

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption("Vistelo – Oberfläche");
        SetBounds(40, 40, 480, 320);

        auto* top = new TPanel(this);
        top->SetParent(this);
        top->SetHeight(36);
        top->SetAlign(alTop);
        top->SetCaption("Obere Leiste (alTop)");
        top->Font().SetStyle({fsBold});

        auto* bottom = new TPanel(this);
        bottom->SetParent(this);
        bottom->SetHeight(28);
        bottom->SetAlign(alBottom);
        bottom->SetBevelOuter(bvLowered);
        bottom->SetAlignment(taLeftJustify);
        bottom->SetCaption(" Klicken Sie auf die Formen");
        status = bottom;

        auto* left = new TPanel(this);
        left->SetParent(this);
        left->SetWidth(120);
        left->SetAlign(alLeft);
        left->SetBevelInner(bvLowered);
        left->SetBorderWidth(2);
        left->SetCaption("");

        auto* label = new TLabel(this);
        label->SetParent(left);
        label->SetBounds(10, 10, 100, 40);
        label->SetWordWrap(true);
        label->SetTransparent(true);
        label->SetCaption("Ein Label mit Umbruch im Panel");

        auto* shape = new TShape(this);
        shape->SetParent(left);
        shape->SetBounds(20, 70, 60, 60);
        shape->SetShape(stCircle);
        shape->Brush.Color = clYellow;
        shape->Pen.Width = 2;
        shape->OnClick = [this](TObject*) { status->SetCaption(" Kreis geklickt"); };

        auto* box = new TScrollBox(this);
        box->SetParent(this);
        box->SetAlign(alRight);
        box->SetWidth(130);
        box->SetColor(clWindow);
        for (int i = 0; i < 6; ++i) {
            auto* s = new TShape(this);
            s->SetParent(box);
            s->SetBounds(10, 10 + i * 50, 90, 40);
            s->SetShape(i % 2 ? stRoundRect : stRectangle);
            s->Brush.Color = i % 2 ? clAqua : clSilver;
        }

        paint = new TPaintBox(this);
        paint->SetParent(this);
        paint->SetAlign(alClient);
        paint->OnPaint = [this](TObject*) { PaintBoxPaint(); };

        auto* bevel = new TBevel(this);
        bevel->SetParent(this);
        bevel->SetBounds(140, 200, 180, 2);
        bevel->SetShape(bsTopLine);
    }

    void DrawOutsidePaint()
    {
        // Drawing outside a paint stays in the window's buffer and shows on
        // the flush.
        TCanvas& c = *Canvas();
        c.Pen.Color = clRed;
        c.Pen.Width = 3;
        c.MoveTo(140, 220);
        c.LineTo(330, 220);
        FlushCanvas();
    }

    TPanel* status = nullptr;

private:
    void PaintBoxPaint()
    {
        TCanvas& c = *paint->Canvas();
        TRect r = paint->ClientRect();
        c.Brush.Color = RGB(230, 240, 255);
        c.FillRect(r);
        c.Pen.Color = clNavy;
        c.Pen.Width = 1;
        c.Brush.Color = RGB(255, 200, 120);
        c.Ellipse(20, 20, 120, 100);
        c.Brush.Color = clLime;
        c.Rectangle(90, 60, 190, 130);
        c.Brush.Style = bsClear;
        c.Font.SetSize(11);
        c.Font.SetColor(clBlack);
        c.TextOut(20, 140, "TPaintBox mit Canvas");
        c.Brush.Style = bsSolid;
    }

    TPaintBox* paint = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    Application->Initialize();
    Application->Title = "UI-Demo";
    TDemoForm* form = nullptr;
    Application->CreateForm(form);
    if (argc > 1) {
        auto* quit = new TTimer(Application);
        quit->SetInterval(static_cast<unsigned>(std::atoi(argv[1])));
        quit->OnTimer = [](TObject*) { Application->Terminate(); };
    }
    auto* draw = new TTimer(Application);
    draw->SetInterval(300);
    draw->OnTimer = [form, draw](TObject*) {
        form->DrawOutsidePaint();
        draw->SetEnabled(false);
    };
    Application->Run();
    return 0;
}
