#include "editor/tools/RecordForm.h"

#include "core/Tools.h"
#include "editor/controls/VexaPrgrBr.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TRecordForm)

namespace {

TLabel* NewLabel(TRecordForm* Form, const std::string& Caption, int Left, int Top)
{
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption(Caption);
    label->SetBounds(Left, Top, 150, 16);
    return label;
}

} // namespace

TRecordForm::TRecordForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Soundaufnahme");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(300);
    SetClientHeight(132);

    RecordingLabel = NewLabel(this, "Aufnahme läuft...", 12, 12);
    DurationLabel = NewLabel(this, "Dauer der Aufnahme:", 12, 36);
    TimeLabel = NewLabel(this, Tools::TickCountToStr(0), 150, 36);

    // A meter from green through yellow to red on black.
    LevelBar = new TVexaProgressBar(this);
    LevelBar->SetParent(this);
    LevelBar->SetBounds(12, 62, 276, 18);
    LevelBar->SetColorFirst(clLime);
    LevelBar->SetColorSecond(clYellow);
    LevelBar->SetColorThird(clRed);
    LevelBar->SetColorBackground(clBlack);
    LevelBar->SetBitmapstyle(pbsVUMeter);

    StopButton = new TButton(this);
    StopButton->SetParent(this);
    StopButton->SetCaption("Aufnahme stoppen");
    StopButton->SetBounds(80, 94, 140, 25);
    StopButton->Default = true;
    StopButton->Cancel = true;
    StopButton->OnClick = [this](TObject* Sender) { StopButtonClick(Sender); };

    Timer1 = new TTimer(this);
    Timer1->SetInterval(100);
    Timer1->OnTimer = [this](TObject* Sender) { Timer1Timer(Sender); };

    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    startTicks_ = rtl::GetTickCount();
}

void TRecordForm::Timer1Timer(TObject*)
{
    TimeLabel->SetCaption(Tools::TickCountToStr(rtl::GetTickCount() - startTicks_));
}

void TRecordForm::StopButtonClick(TObject*) { Close(); }

void TRecordForm::FormClose(TObject*, TCloseAction& Action)
{
    Timer1->SetEnabled(false);
    Action = caFree;
}
