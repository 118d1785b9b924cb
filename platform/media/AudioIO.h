#pragma once

// The wave-input component: records from a capture device into a ring of two
// to four buffers and hands each filled buffer to its owner, who says whether
// recording goes on. The device reports on the main thread; the counters of
// queued, processed and filled buffers decide when a stopping recording has
// drained and the device closes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/WaveInput.h"
#include "platform/rtl/Classes.h"

// Gets a filled buffer; true keeps recording.
using TBufferFilledEvent = std::function<bool(std::uint8_t* Buffer, int Size)>;

class TAudioIO : public TComponent {
    DECLARE_CLASS(TAudioIO, TComponent)
public:
    static constexpr int MinBufferSize = 512;
    static constexpr int MaxBuffers = 4;
    static constexpr int WaveMapper = -1;

    explicit TAudioIO(TComponent* AOwner);

    int BufferSize() const { return bufferSize_; }
    void SetBufferSize(int Value); // at least 512
    int NumBuffers() const { return numBuffers_; }
    void SetNumBuffers(int Value); // 2 .. 4
    bool Stereo() const { return channels_ == 2; }
    void SetStereo(bool Value);
    int Quantization() const { return bitsPerSample_; }
    void SetQuantization(int Value); // 8 or less: 8, anything else 16
    int FrameRate() const { return samplesPerSec_; }
    void SetFrameRate(int Value);

    // The geometry of the format.
    int BlockAlign() const { return blockAlign_; }
    int AvgBytesPerSec() const { return avgBytesPerSec_; }
    int RoundedBufferSize() const { return roundedBufferSize_; }
    int FramesPerBuffer() const { return blockAlign_ ? bufferSize_ / blockAlign_ : 0; }

    std::string ErrorText;
    TBufferFilledEvent OnBufferFilled;
    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

protected:
    media::WaveInFormat Format() const;
    // The ring of the current geometry. A recording keeps the ring it was
    // opened with, whatever the properties are changed to meanwhile.
    void AllocateBuffers();
    std::uint8_t* Buffer(int Index) { return buffers_[static_cast<std::size_t>(Index)].data(); }
    int RingCount() const { return static_cast<int>(buffers_.size()); }
    int RingBufferSize() const { return buffers_.empty() ? 0 : static_cast<int>(buffers_.front().size()); }

private:
    void ComputeGeometry();

    int bufferSize_ = 8192;
    int numBuffers_ = 4;
    int channels_ = 1;
    int samplesPerSec_ = 22050;
    int bitsPerSample_ = 16;
    int blockAlign_ = 0;
    int avgBytesPerSec_ = 0;
    int roundedBufferSize_ = 0;
    std::vector<std::vector<std::uint8_t>> buffers_;
};

class TAudioIn : public TAudioIO {
    DECLARE_CLASS(TAudioIn, TAudioIO)
public:
    // Records from the sound system's capture devices.
    explicit TAudioIn(TComponent* AOwner);
    // Records from the given device (tests put their own here).
    TAudioIn(TComponent* AOwner, std::unique_ptr<media::WaveInDevice> Device);
    ~TAudioIn() override;

    // Opens the device (an index of media::WaveInput::DeviceNames(), or
    // WaveMapper) and starts recording; false with ErrorText set when
    // either fails.
    bool Start(int Device);
    // Ends at once; what the device still holds is dropped.
    void StopAtOnce();
    // Queues no more buffers; those queued still arrive, then it closes.
    void StopGracefully();
    void Close();
    // Hands a filled buffer on while recording is wanted; true to queue it
    // again. A false answer ends the recording as StopGracefully does.
    virtual bool BufferFilled(std::uint8_t* Buffer, int Size);

    bool IsOpen() const { return open_; }
    bool Active() const { return active_; }
    int QueuedBuffers() const { return queued_; }
    int ProcessedBuffers() const { return processed_; }
    int FilledBuffers() const { return filled_; }

private:
    bool Open(int Device);
    bool QueueBuffer();
    void DeviceOpened();
    void BufferDone(std::uint8_t* Data);
    void DeviceClosed();

    std::unique_ptr<media::WaveInDevice> device_;
    int currentBuffer_ = 0;
    bool open_ = false;
    bool active_ = false;
    bool continue_ = false;
    int queued_ = 0;
    int processed_ = 0;
    int filled_ = 0;
};
