#pragma once

// The recording levels of a sound card: the capture controls of its mixer
// (microphone, line in, ...), each read and set as a pair of 16-bit channel
// values, left in the low half and right in the high half. A card without a
// mixer, or none at all, has no controls.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media {

class CaptureMixer {
public:
    // Opens the mixer of the card ("default": the user's default card).
    explicit CaptureMixer(const std::string& Card = "default");
    ~CaptureMixer();
    CaptureMixer(const CaptureMixer&) = delete;
    CaptureMixer& operator=(const CaptureMixer&) = delete;

    int Count() const { return static_cast<int>(controls_.size()); }
    const std::string& Name(int Index) const;
    // False when the control is gone or refuses.
    bool GetVolume(int Index, std::uint32_t& Volume) const;
    bool SetVolume(int Index, std::uint32_t Volume);

    // A control's own range mapped onto 0 .. 65535 and back.
    static std::uint16_t ToVolume(long Raw, long Min, long Max);
    static long FromVolume(std::uint16_t Volume, long Min, long Max);

private:
    struct Control {
        std::string Name;
        void* Element; // the mixer's element
    };
    void* mixer_ = nullptr;
    std::vector<Control> controls_;
};

} // namespace media
