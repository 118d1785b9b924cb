#pragma once

// Recording from a capture device of the sound system. Filled buffers are
// handed over whole, in order, on the main thread (through the main-thread
// queue), as the wave-input messages of a callback window would arrive.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace media {

struct WaveInFormat {
    int SampleRate = 22050;
    int Channels = 1;       // 1 or 2
    int BitsPerSample = 16; // 8 (unsigned) or 16 (signed, little-endian)
};

class WaveInput {
public:
    WaveInput();
    ~WaveInput();
    WaveInput(const WaveInput&) = delete;
    WaveInput& operator=(const WaveInput&) = delete;

    // The capture devices' names; an empty name opens the default device.
    static std::vector<std::string> DeviceNames();

    // Opens the device, not yet recording. False with ErrorText set when it
    // is already open or the device refuses the format.
    bool Open(const std::string& Device, const WaveInFormat& Format, size_t BufferBytes);
    bool Start();
    // Stops recording; a partly filled buffer is dropped.
    void Stop();
    void Close();
    bool IsOpen() const { return device_ != 0; }

    std::function<void(const uint8_t* Data, size_t Size)> OnBuffer;
    std::string ErrorText;

private:
    static void Captured(void* user, uint8_t* data, int length);
    void Collect(const uint8_t* data, size_t length);

    uint32_t device_ = 0;
    size_t bufferBytes_ = 0;
    std::vector<uint8_t> filling_;
    std::shared_ptr<WaveInput*> self_;
};

} // namespace media
