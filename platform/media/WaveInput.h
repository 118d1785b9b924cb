#pragma once

// Recording from a capture device of the sound system, driven as a device
// that records into buffers its owner queues: the buffers are filled in the
// order queued and handed back one at a time; what arrives while none is
// queued is lost. Every report (opened, a buffer done, closed) reaches the
// owner on the main thread, through the main-thread queue, in the order it
// happened.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace media {

struct WaveInFormat {
    int SampleRate = 22050;
    int Channels = 1;       // 1 or 2
    int BitsPerSample = 16; // 8 (unsigned) or 16 (signed, little-endian)
};

// What a recorder needs of a capture device; tests put their own behind it.
class WaveInDevice {
public:
    virtual ~WaveInDevice() = default;

    // Device is an index into DeviceNames(), -1 the default device. False
    // with ErrorText set when it is open already or refuses the format;
    // otherwise OnOpen follows.
    virtual bool Open(int Device, const WaveInFormat& Format) = 0;
    // Queues a buffer to be filled; it must stay valid until handed back.
    virtual bool AddBuffer(std::uint8_t* Data, std::size_t Size) = 0;
    virtual bool Start() = 0;
    // Stops recording and hands back every queued buffer with what it holds.
    virtual void Reset() = 0;
    // Closes the device; OnClose follows. Reports still on their way are dropped.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    std::string ErrorText;
    std::function<void()> OnOpen;
    std::function<void(std::uint8_t* Data, std::size_t Recorded)> OnData;
    std::function<void()> OnClose;
};

// The sound system's capture devices.
class WaveInput : public WaveInDevice {
public:
    WaveInput();
    ~WaveInput() override;
    WaveInput(const WaveInput&) = delete;
    WaveInput& operator=(const WaveInput&) = delete;

    // The capture devices' names in the sound system's order.
    static std::vector<std::string> DeviceNames();

    bool Open(int Device, const WaveInFormat& Format) override;
    bool AddBuffer(std::uint8_t* Data, std::size_t Size) override;
    bool Start() override;
    void Reset() override;
    void Close() override;
    bool IsOpen() const override { return device_ != 0; }

private:
    struct Pending {
        std::uint8_t* Data;
        std::size_t Size;
        std::size_t Filled;
    };
    static void Captured(void* user, std::uint8_t* data, int length);
    void Collect(const std::uint8_t* data, std::size_t length);
    // A report of this opening; Always ones (the closing) reach the owner
    // even after it opened the device again.
    void Post(std::function<void(WaveInput&)> report, bool always = false);

    std::uint32_t device_ = 0;
    std::deque<Pending> queue_; // guarded by the device's lock
    // Reports carry the generation they were posted in; those of an earlier
    // opening, or of an object gone, are dropped.
    unsigned generation_ = 0;
    std::shared_ptr<WaveInput*> self_;
};

} // namespace media
