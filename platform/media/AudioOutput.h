#pragma once

// The one audio output of the process: a mixer on the sound device into
// which every playing sound feeds through an OutputChannel.
//
// Position and end come from the frames the device has actually taken from
// a channel, not from a clock: a device that runs faster or slower than real
// time (SDL's disk driver without delay) moves them along with it.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/media/AudioSource.h"

namespace media {

struct ChannelState;

class OutputChannel {
public:
    // Opens the output device when it is not open yet (EMediaError when
    // there is none). The channel starts paused at the first frame.
    explicit OutputChannel(std::unique_ptr<AudioSource> source);
    ~OutputChannel();
    OutputChannel(const OutputChannel&) = delete;
    OutputChannel& operator=(const OutputChannel&) = delete;

    void Start();
    void Pause();
    bool Running() const;
    // Every frame of the sound has reached the device.
    bool Ended() const;
    // Back to the first frame; the channel keeps running or paused.
    void Rewind();
    // To `ms` from the start (clamped to the sound); keeps running or paused.
    void SeekMs(int64_t ms);
    int64_t PositionMs() const;
    int64_t LengthMs() const; // -1 when the source cannot tell
    // 0..65535 per side.
    void SetVolume(uint16_t left, uint16_t right);
    // Called on the main thread (through the main-thread queue) when the
    // channel has ended; not called for an end that a Rewind overtook.
    std::function<void()> OnEnded;

private:
    std::shared_ptr<ChannelState> state_;
};

// The output's own volume: left in the low 16 bits, right in the high 16
// bits, as the sound-device calls pack it.
uint32_t GetOutputVolume();
void SetOutputVolume(uint32_t packed);

} // namespace media
