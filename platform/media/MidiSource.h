#pragma once

// Standard MIDI files rendered by a software synthesiser with the General
// MIDI sound font that the system installs.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/AudioSource.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

namespace media {

// Where the General MIDI sound font is looked for; VISTELO_SOUNDFONT
// overrides it.
std::string SoundFontFile();

// The playing time of a standard MIDI file in milliseconds, from its tempo
// map; EMediaError when the bytes are no such file or a track is damaged.
int64_t MidiFileDurationMs(const uint8_t* data, size_t size);

class MidiSource : public AudioSource {
public:
    static constexpr int kSampleRate = 44100;

    // Raises EMediaError when the file is no standard MIDI file or the sound
    // font cannot be loaded.
    explicit MidiSource(const std::string& FileName);
    ~MidiSource() override;
    MidiSource(const MidiSource&) = delete;
    MidiSource& operator=(const MidiSource&) = delete;

    AudioFormat Format() const override { return {kSampleRate, 2}; }
    size_t Read(float* out, size_t frames) override;
    void Rewind() override;
    int64_t LengthFrames() const override { return length_; }

private:
    void StartPlayer();
    void Release();

    std::vector<uint8_t> bytes_;
    int64_t length_ = 0;
    int64_t rendered_ = 0;
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    _fluid_player_t* player_ = nullptr;
};

} // namespace media
