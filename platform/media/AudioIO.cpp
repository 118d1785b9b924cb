#include "platform/media/AudioIO.h"

#include <algorithm>

IMPLEMENT_CLASS(TAudioIO)
IMPLEMENT_CLASS(TAudioIn)

// --- TAudioIO ---

TAudioIO::TAudioIO(TComponent* AOwner) : TComponent(AOwner) { ComputeGeometry(); }

void TAudioIO::SetBufferSize(int Value)
{
    bufferSize_ = std::max(Value, MinBufferSize);
    ComputeGeometry();
}

void TAudioIO::SetNumBuffers(int Value)
{
    numBuffers_ = std::clamp(Value, 2, MaxBuffers);
    ComputeGeometry();
}

void TAudioIO::SetStereo(bool Value)
{
    channels_ = Value ? 2 : 1;
    ComputeGeometry();
}

void TAudioIO::SetQuantization(int Value)
{
    bitsPerSample_ = Value <= 8 ? 8 : 16;
    ComputeGeometry();
}

void TAudioIO::SetFrameRate(int Value)
{
    samplesPerSec_ = Value;
    ComputeGeometry();
}

media::WaveInFormat TAudioIO::Format() const { return {samplesPerSec_, channels_, bitsPerSample_}; }

void TAudioIO::ComputeGeometry()
{
    blockAlign_ = bitsPerSample_ / 8 * channels_;
    avgBytesPerSec_ = blockAlign_ * samplesPerSec_;
    roundedBufferSize_ = bufferSize_ - bufferSize_ % blockAlign_;
}

void TAudioIO::AllocateBuffers()
{
    buffers_.assign(static_cast<std::size_t>(numBuffers_),
                    std::vector<std::uint8_t>(static_cast<std::size_t>(roundedBufferSize_)));
}

// --- TAudioIn ---

TAudioIn::TAudioIn(TComponent* AOwner) : TAudioIn(AOwner, std::make_unique<media::WaveInput>()) { }

TAudioIn::TAudioIn(TComponent* AOwner, std::unique_ptr<media::WaveInDevice> Device)
    : TAudioIO(AOwner), device_(std::move(Device))
{
    device_->OnOpen = [this] { DeviceOpened(); };
    device_->OnData = [this](std::uint8_t* Data, std::size_t) { BufferDone(Data); };
    device_->OnClose = [this] { DeviceClosed(); };
}

TAudioIn::~TAudioIn()
{
    device_->OnOpen = nullptr;
    device_->OnData = nullptr;
    device_->OnClose = nullptr;
    Close();
}

bool TAudioIn::Open(int Device)
{
    if (open_) {
        ErrorText = "Wave Input device is already open";
        return false;
    }
    currentBuffer_ = 0;
    AllocateBuffers();
    if (!device_->Open(Device, Format())) {
        ErrorText = device_->ErrorText;
        return false;
    }
    open_ = true;
    queued_ = 0;
    processed_ = 0;
    filled_ = 0;
    active_ = true;
    continue_ = true;
    return true;
}

bool TAudioIn::Start(int Device)
{
    if (!Open(Device))
        return false;
    continue_ = true;
    // The ring is queued before the device runs, so the first samples land
    // in a buffer and are not lost.
    for (int i = 0; i < RingCount(); ++i)
        if (!QueueBuffer()) {
            StopAtOnce();
            return false;
        }
    if (!device_->Start()) {
        ErrorText = "Error starting wave record: " + device_->ErrorText;
        Close();
        return false;
    }
    return true;
}

bool TAudioIn::QueueBuffer()
{
    if (!device_->AddBuffer(Buffer(currentBuffer_), static_cast<std::size_t>(RingBufferSize()))) {
        ErrorText = device_->ErrorText;
        return false;
    }
    currentBuffer_ = (currentBuffer_ + 1) % RingCount();
    ++queued_;
    return true;
}

void TAudioIn::StopAtOnce()
{
    if (!open_)
        return;
    continue_ = false;
    active_ = false;
    device_->Reset();
    Close();
}

void TAudioIn::StopGracefully()
{
    if (open_)
        active_ = false;
}

void TAudioIn::Close()
{
    continue_ = false;
    if (!open_)
        return;
    device_->Reset();
    device_->Close();
    open_ = false;
}

bool TAudioIn::BufferFilled(std::uint8_t* Buffer, int Size)
{
    if (!active_)
        return false;
    const bool more = OnBufferFilled ? OnBufferFilled(Buffer, Size) : true;
    if (more)
        ++filled_;
    return more;
}

void TAudioIn::DeviceOpened()
{
    if (OnStart)
        OnStart(this);
}

// The oldest queued buffer is full. While every buffer goes back into the
// ring it is the one at the current index; a buffer that does not go back
// ends the recording, so the ring never has a hole that would put a buffer
// still being filled into the queue a second time.
void TAudioIn::BufferDone(std::uint8_t* Data)
{
    if (!open_)
        return;
    ++processed_;
    --queued_;
    continue_ = queued_ > 0;
    if (!BufferFilled(Data, RingBufferSize()))
        active_ = false;
    else if (!QueueBuffer())
        active_ = false;
    if (!continue_) {
        active_ = false;
        Close();
    }
}

void TAudioIn::DeviceClosed()
{
    if (OnStop)
        OnStop(this);
}
