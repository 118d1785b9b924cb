#include "platform/media/MidiSource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/media/SoundLibraries.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

namespace media {
namespace {

constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
constexpr int64_t kMaxDurationMs = 24LL * 3600 * 1000;

[[noreturn]] void Fail(const char* why) { throw EMediaError(std::string("Keine gültige MIDI-Datei: ") + why); }

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) { }
    bool AtEnd() const { return offset_ >= size_; }
    size_t Offset() const { return offset_; }
    uint8_t Byte()
    {
        if (offset_ >= size_)
            Fail("unerwartetes Ende");
        return data_[offset_++];
    }
    uint16_t Big16() { return rtl::GetBE16(Take(2)); }
    uint32_t Big24() { return rtl::GetBE24(Take(3)); }
    uint32_t Big32() { return rtl::GetBE32(Take(4)); }
    uint32_t VariableLength()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = Byte();
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80))
                return value;
        }
        Fail("Zahl zu lang");
    }
    void Skip(size_t count)
    {
        if (count > size_ - offset_)
            Fail("Ereignis reicht über das Ende");
        offset_ += count;
    }

private:
    const uint8_t* Take(size_t count)
    {
        if (count > size_ - offset_)
            Fail("unerwartetes Ende");
        offset_ += count;
        return data_ + offset_ - count;
    }

    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
};

// Walks one track; records its tempo changes and returns its last tick.
uint64_t ScanTrack(Reader track, std::map<uint64_t, uint32_t>& tempos)
{
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!track.AtEnd()) {
        tick += track.VariableLength();
        uint8_t status = track.Byte();
        if (status == 0xFF) {
            const uint8_t type = track.Byte();
            const uint32_t length = track.VariableLength();
            if (type == 0x51 && length == 3)
                tempos[tick] = track.Big24();
            else
                track.Skip(length);
            if (type == 0x2F)
                return tick;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            track.Skip(track.VariableLength());
            continue;
        }
        if (status < 0x80) { // running status: the byte is the first data byte
            if (running == 0)
                Fail("Daten ohne Status");
            status = running;
            track.Skip((status & 0xE0) == 0xC0 ? 0 : 1);
        } else {
            running = status;
            track.Skip((status & 0xE0) == 0xC0 ? 1 : 2);
        }
    }
    return tick;
}

} // namespace

std::string SoundFontFile()
{
    const char* custom = std::getenv("VISTELO_SOUNDFONT");
    return custom && *custom ? custom : kDefaultSoundFont;
}

int64_t MidiFileDurationMs(const uint8_t* data, size_t size)
{
    Reader file(data, size);
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0)
        Fail("kein MThd-Kopf");
    file.Skip(4);
    const uint32_t headerLength = file.Big32();
    if (headerLength < 6)
        Fail("Kopf zu kurz");
    file.Big16(); // format
    const uint32_t trackCount = file.Big16();
    const uint32_t division = file.Big16();
    file.Skip(headerLength - 6);
    if (division == 0)
        Fail("Zeitbasis 0");

    std::map<uint64_t, uint32_t> tempos; // tick -> microseconds per quarter note
    uint64_t lastTick = 0;
    for (uint32_t t = 0; t < trackCount && !file.AtEnd(); ++t) {
        const uint32_t tag = file.Big32();
        const uint32_t length = file.Big32();
        const size_t start = file.Offset();
        file.Skip(length);
        if (tag == 0x4D54726B) // "MTrk"; other chunks are skipped
            lastTick = std::max(lastTick, ScanTrack(Reader(data + start, length), tempos));
    }

    if (division & 0x8000) { // frames per second and ticks per frame
        const int framesPerSecond = -static_cast<int8_t>(division >> 8);
        const int ticksPerFrame = static_cast<int>(division & 0xFF);
        if (framesPerSecond <= 0 || ticksPerFrame == 0)
            Fail("Zeitbasis");
        return std::min<int64_t>(kMaxDurationMs,
                                 static_cast<int64_t>(lastTick * 1000 / (framesPerSecond * ticksPerFrame)));
    }
    double microseconds = 0;
    uint64_t tick = 0;
    uint32_t tempo = 500000;
    for (const auto& [at, value] : tempos) {
        if (at >= lastTick)
            break;
        microseconds += static_cast<double>(at - tick) * tempo / division;
        tick = at;
        tempo = value;
    }
    microseconds += static_cast<double>(lastTick - tick) * tempo / division;
    return static_cast<int64_t>(std::min(static_cast<double>(kMaxDurationMs), microseconds / 1000));
}

MidiSource::MidiSource(const std::string& FileName)
{
    TMemoryStream file;
    file.LoadFromFile(FileName);
    const auto* data = static_cast<const uint8_t*>(file.Memory());
    bytes_.assign(data, data + file.Size());
    length_ = MidiFileDurationMs(bytes_.data(), bytes_.size()) * kSampleRate / 1000;

    if (!FluidSynth().Loaded)
        throw EMediaError("Der MIDI-Synthesizer fehlt: " + FluidSynth().Missing);
    settings_ = FluidSynth().new_fluid_settings();
    FluidSynth().fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
    FluidSynth().fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    // The player follows the rendered samples, not the wall clock.
    FluidSynth().fluid_settings_setstr(settings_, "player.timing-source", "sample");
    FluidSynth().fluid_settings_setint(settings_, "synth.lock-memory", 0);
    synth_ = FluidSynth().new_fluid_synth(settings_);
    if (!synth_ || FluidSynth().fluid_synth_sfload(synth_, SoundFontFile().c_str(), 1) == FLUID_FAILED) {
        if (synth_)
            FluidSynth().delete_fluid_synth(synth_);
        FluidSynth().delete_fluid_settings(settings_);
        throw EMediaError("Die MIDI-Klangbibliothek fehlt: " + SoundFontFile());
    }
    try {
        StartPlayer();
    } catch (...) {
        Release();
        throw;
    }
}

MidiSource::~MidiSource() { Release(); }

void MidiSource::Release()
{
    if (player_) {
        FluidSynth().fluid_player_stop(player_);
        FluidSynth().delete_fluid_player(player_);
        player_ = nullptr;
    }
    FluidSynth().delete_fluid_synth(synth_);
    FluidSynth().delete_fluid_settings(settings_);
}

void MidiSource::StartPlayer()
{
    player_ = FluidSynth().new_fluid_player(synth_);
    if (!player_ || FluidSynth().fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK ||
        FluidSynth().fluid_player_play(player_) != FLUID_OK)
        throw EMediaError("Die MIDI-Datei lässt sich nicht abspielen");
    rendered_ = 0;
}

size_t MidiSource::Read(float* out, size_t frames)
{
    const size_t count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), length_ - rendered_));
    if (count == 0)
        return 0;
    FluidSynth().fluid_synth_write_float(synth_, static_cast<int>(count), out, 0, 2, out, 1, 2);
    rendered_ += static_cast<int64_t>(count);
    return count;
}

void MidiSource::Rewind()
{
    FluidSynth().fluid_player_stop(player_);
    FluidSynth().delete_fluid_player(player_);
    player_ = nullptr;
    FluidSynth().fluid_synth_system_reset(synth_);
    StartPlayer();
}

} // namespace media
