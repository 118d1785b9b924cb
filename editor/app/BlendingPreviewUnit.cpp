#include "editor/app/BlendingPreviewUnit.h"

#include "core/Blendings.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/Math.h"
#include "platform/ui/ExtCtrls.h"

IMPLEMENT_CLASS(TBlendingPreviewForm)

namespace {

TBlendingPreviewForm* openPreview = nullptr;

} // namespace

TBlendingPreviewForm::TBlendingPreviewForm(TComponent* AOwner, std::function<int()> Effect)
    : TForm(AOwner), effect_(std::move(Effect))
{
    SetCaption("aktuelle Überblendung");
    SetBorderStyle(bsSizeToolWin);
    SetBorderIcons({biSystemMenu, biMaximize});
    SetFormStyle(fsStayOnTop);
    SetPosition(poMainFormCenter);
    SetClientWidth(200);
    SetClientHeight(150);
    PaintBox = new TPaintBox(this);
    PaintBox->SetParent(this);
    PaintBox->SetAlign(alClient);
    PaintBox->OnPaint = [this](TObject*) { PaintBoxPaint(); };
    // A timer on the main thread instead of a worker that asks the clock
    // without rest: the same step a second, without keeping a core busy.
    StepTimer = new TTimer(this);
    StepTimer->SetInterval(StepInterval);
    StepTimer->SetEnabled(false);
    StepTimer->OnTimer = [this](TObject*) { Step(); };
    OnShow = [this](TObject*) { Step(); };
    OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
}

TBlendingPreviewForm::~TBlendingPreviewForm()
{
    if (openPreview == this)
        openPreview = nullptr;
}

TBlendingPreviewForm* TBlendingPreviewForm::Open(TComponent* AOwner, std::function<int()> Effect)
{
    if (!openPreview)
        openPreview = new TBlendingPreviewForm(AOwner, std::move(Effect));
    openPreview->Show();
    return openPreview;
}

TBlendingPreviewForm* TBlendingPreviewForm::Current() { return openPreview; }

std::unique_ptr<TBitmap> TBlendingPreviewForm::Frame(bool Phase, int Width, int Height)
{
    auto bitmap = std::make_unique<TBitmap>(std::max(1, Width), std::max(1, Height), pf24bit);
    const TColor ground = Phase ? clYellow : clNavy;
    const TColor ink = Phase ? clNavy : clYellow;
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = ground;
    canvas.Pen.Color = ink;
    canvas.Rectangle(0, 0, bitmap->Width(), bitmap->Height());
    canvas.Font.SetName("Arial");
    canvas.Font.SetColor(ink);
    canvas.Font.SetHeight(static_cast<int>(rtl::Round(0.8 * bitmap->Height())));
    canvas.Brush.Style = bsClear;
    const std::string letter = Phase ? "A" : "B";
    const TSize extent = canvas.TextExtent(letter);
    canvas.TextOut((bitmap->Width() - extent.cx) / 2, (bitmap->Height() - extent.cy) / 2, letter);
    return bitmap;
}

void TBlendingPreviewForm::Step()
{
    // The second until the next step counts from the end of this one, however
    // long its transition takes.
    StepTimer->SetEnabled(false);
    phase_ = !phase_;
    std::unique_ptr<TBitmap> next = Frame(phase_, PaintBox->Width(), PaintBox->Height());
    if (TCanvas* canvas = PaintBox->Canvas()) {
        const int effect = effect_ ? effect_() : 0;
        Blendings::BlendNr(*next, old_.get(), *canvas, effect, [](TCanvas& screen) { ui::FlushCanvas(screen); });
    }
    if (!old_)
        old_ = std::make_unique<TBitmap>();
    old_->Assign(next.get());
    StepTimer->SetEnabled(true);
}

void TBlendingPreviewForm::PaintBoxPaint()
{
    // A repaint between steps shows the frame the last step ended on.
    if (old_)
        PaintBox->Canvas()->Draw(0, 0, *old_);
}
