// The animation control: frames of a picture strip shown in turn by a timer.

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"

IMPLEMENT_CLASS(TAnimate)

TAnimate::TAnimate(TComponent* AOwner)
    : TCustomControl(AOwner), frames_(std::make_unique<TBitmap>()), timer_(std::make_unique<TTimer>(nullptr))
{
    timer_->SetEnabled(false);
    timer_->SetInterval(100);
    timer_->OnTimer = [this](TObject*) { NextFrame(); };
    SetBounds(0, 0, 100, 80);
}

TAnimate::~TAnimate() { timer_->OnTimer = nullptr; }

int TAnimate::FrameWidth() const { return frames_->Width() / std::max(1, frameCount_); }

int TAnimate::FrameHeight() const { return frames_->Height(); }

void TAnimate::SetFrameCount(int Value)
{
    frameCount_ = std::max(1, Value);
    FramesChanged();
}

void TAnimate::FramesChanged()
{
    Stop();
    current_ = 0;
    if (!frames_->Empty())
        SetBounds(Left(), Top(), std::max(Width(), FrameWidth()), std::max(Height(), FrameHeight()));
    Invalidate();
    if (OnOpen)
        OnOpen(this);
}

unsigned TAnimate::Interval() const { return timer_->Interval(); }

void TAnimate::SetInterval(unsigned Value) { timer_->SetInterval(std::max(1u, Value)); }

void TAnimate::SetActive(bool Value)
{
    if (Value == active_)
        return;
    if (Value)
        Play(StartFrame, StopFrame < 0 ? frameCount_ - 1 : StopFrame, Repetitions);
    else
        Stop();
}

void TAnimate::Play(int FromFrame, int ToFrame, int Count)
{
    Stop();
    from_ = std::clamp(FromFrame, 0, frameCount_ - 1);
    to_ = std::clamp(ToFrame, from_, frameCount_ - 1);
    playsLeft_ = Count;
    Seek(from_);
    active_ = true;
    timer_->SetEnabled(true);
    if (OnStart)
        OnStart(this);
}

void TAnimate::Stop()
{
    if (!active_)
        return;
    active_ = false;
    timer_->SetEnabled(false);
    if (OnStop)
        OnStop(this);
}

void TAnimate::Seek(int Frame)
{
    current_ = std::clamp(Frame, 0, frameCount_ - 1);
    Invalidate();
}

// The last frame of a round starts the next round, or ends the playing
// when the rounds asked for are done.
void TAnimate::NextFrame()
{
    if (current_ < to_)
        return Seek(current_ + 1);
    if (playsLeft_ > 0 && --playsLeft_ == 0)
        return Stop();
    Seek(from_);
}

void TAnimate::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Brush.Color = Color();
    canvas->FillRect(ClientRect());
    if (frames_->Empty())
        return;
    const int w = FrameWidth();
    const int h = FrameHeight();
    const int x = Center ? (ClientWidth() - w) / 2 : 0;
    const int y = Center ? (ClientHeight() - h) / 2 : 0;
    canvas->CopyRect(Rect(x, y, x + w, y + h), frames_->Canvas(), Rect(current_ * w, 0, current_ * w + w, h));
}
