#pragma once

// Sounds made at test time: short PCM WAV files written here, other
// encodings converted from them with sox, and a small MIDI file.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/rtl/ByteOrder.h"

namespace testsounds {

inline void Append(std::vector<uint8_t>& out, const char* text) { out.insert(out.end(), text, text + 4); }

// A 16-bit PCM WAV file's bytes.
inline std::vector<uint8_t> Pcm16Wav(int rate, int channels, const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    Append(out, "RIFF");
    rtl::AppendLE32(out, 36 + dataSize);
    Append(out, "WAVE");
    Append(out, "fmt ");
    rtl::AppendLE32(out, 16);
    rtl::AppendLE16(out, 1);
    rtl::AppendLE16(out, static_cast<uint16_t>(channels));
    rtl::AppendLE32(out, static_cast<uint32_t>(rate));
    rtl::AppendLE32(out, static_cast<uint32_t>(rate * channels * 2));
    rtl::AppendLE16(out, static_cast<uint16_t>(channels * 2));
    rtl::AppendLE16(out, 16);
    Append(out, "data");
    rtl::AppendLE32(out, dataSize);
    for (int16_t s : samples)
        rtl::AppendLE16(out, static_cast<uint16_t>(s));
    return out;
}

// A sine of `ms` milliseconds (mono, peak 12000).
inline std::vector<int16_t> Sine(int rate, int ms, double hz = 440.0)
{
    std::vector<int16_t> samples(static_cast<size_t>(rate) * ms / 1000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate));
    return samples;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh folder for one test's files.
inline std::string TempFolder()
{
    std::string pattern = "/tmp/vistelo-media-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern + "/";
}

inline void RemoveFolder(const std::string& folder) { std::system(("rm -rf '" + folder + "'").c_str()); }

// A sine WAV file of `ms` milliseconds at 22050 Hz mono.
inline std::string SineWav(const std::string& folder, const std::string& name, int ms)
{
    const std::string path = folder + name;
    WriteFile(path, Pcm16Wav(22050, 1, Sine(22050, ms)));
    return path;
}

// A one-track MIDI file: a quarter note at 120 beats per minute, then a
// tempo change to 60 and another quarter note: 500 + 1000 ms.
inline std::vector<uint8_t> TwoNoteMidi()
{
    const std::vector<uint8_t> track = {
        0x00, 0xC0, 0x00,                         // program 0
        0x00, 0x90, 0x3C, 0x60,                   // note on
        0x60, 0x80, 0x3C, 0x40,                   // 96 ticks later: note off
        0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // tempo 1,000,000 us per quarter
        0x00, 0x90, 0x40, 0x60, 0x60, 0x40, 0x00, // running status: note off as velocity 0
        0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    uint8_t length[4];
    rtl::PutBE32(length, static_cast<uint32_t>(track.size()));
    out.insert(out.end(), length, length + 4);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

// The committed fixtures: VISTELO_TEST_DATA, else found beside this file.
inline std::string FixtureDir()
{
    if (const char* data = std::getenv("VISTELO_TEST_DATA"))
        return std::string(data) + "/media/";
    const std::string here = __FILE__;
    return here.substr(0, here.rfind("/media/")) + "/fixtures/media/";
}

// Sound tests need an output device even on a machine without one: SDL's
// dummy driver, unless the caller chose a driver.
inline void UseDummyAudioUnlessChosen() { setenv("SDL_AUDIODRIVER", "dummy", 0); }

// While it lives, sound goes through SDL's disk driver without delay: what
// is played is written to `folder` + "out.raw" as fast as it is fed, what is
// recorded is read from `folder` + "in.raw". The driver chosen before comes
// back afterwards.
class DiskAudio {
public:
    // delayMs paces the driver: it waits that long after each period, so
    // a recorder that needs the main thread to take its buffers keeps up.
    explicit DiskAudio(const std::string& folder, int delayMs = 0)
    {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        previous_ = driver ? driver : "dummy";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", (folder + "out.raw").c_str(), 1);
        setenv("SDL_DISKAUDIOFILEIN", (folder + "in.raw").c_str(), 1);
    }
    ~DiskAudio()
    {
        setenv("SDL_AUDIODRIVER", previous_.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIOFILEIN");
    }
    DiskAudio(const DiskAudio&) = delete;
    DiskAudio& operator=(const DiskAudio&) = delete;

private:
    std::string previous_;
};

} // namespace testsounds
