#pragma once

// A decoded sound: a source of interleaved 32-bit float frames that the
// output mixes, whatever the file was (WAV, MPEG audio, MIDI).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/Exceptions.h"

// A sound file that cannot be read: wrong kind, damaged or truncated.
class EMediaError : public Exception {
public:
    using Exception::Exception;
};

namespace media {

struct AudioFormat {
    int SampleRate = 0;
    int Channels = 0;
};

class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual AudioFormat Format() const = 0;
    // Fills up to `frames` frames (Format().Channels floats each) and returns
    // how many it wrote; 0 only at the end of the sound.
    virtual size_t Read(float* out, size_t frames) = 0;
    // Back to the first frame.
    virtual void Rewind() = 0;
    // The length in frames; -1 when it cannot be known before the end.
    virtual int64_t LengthFrames() const = 0;
};

// Opens a sound file by its content (RIFF WAVE, standard MIDI file, MPEG
// audio). Raises EMediaError for a file of another kind or a damaged one,
// EFOpenError when it cannot be opened.
std::unique_ptr<AudioSource> OpenAudioFile(const std::string& FileName);

} // namespace media
