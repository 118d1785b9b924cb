#pragma once

// The sound devices whose recording volume the sound assistant sets: the
// capture devices (listed, without a volume of their own) and the recording
// controls of the default card's mixer, which carry the volume.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/StringList.h"

namespace media {
class CaptureMixer;
}

// Device kinds.
constexpr std::uint8_t sdWaveIn = 1;
constexpr std::uint8_t sdWaveOut = 2;
constexpr std::uint8_t sdMidiOut = 4;
constexpr std::uint8_t sdAux = 5;
// The technology of a recording control: an input line.
constexpr std::uint16_t sdTechAuxIn = 2;

class TSoundDevice : public TObject {
    DECLARE_CLASS(TSoundDevice, TObject)
public:
    std::uint8_t Kind = 0;
    std::string Name; // at most 32 characters
    std::int32_t DeviceID = -1;
    std::uint16_t Technology = 0;
    std::uint32_t MaxVolume = 0;

    // Left channel in the low 16 bits, right in the high 16; 0 for a device
    // without a volume or when reading fails.
    std::uint32_t GetVolume() const;
    // False for a device without a volume or when the card refuses.
    bool SetVolume(std::uint32_t Volume) const;

    media::CaptureMixer* Mixer = nullptr; // not owned; the recording controls'
};

class TSoundControl : public TObject {
    DECLARE_CLASS(TSoundControl, TObject)
public:
    // Lists the devices, the recording controls from the mixer of Card.
    explicit TSoundControl(const std::string& Card = "default");
    ~TSoundControl() override;

    void ListDevices();
    int Count() const { return Devices.Count(); }
    TSoundDevice* Device(int Index) const { return static_cast<TSoundDevice*>(Devices.Objects(Index)); }

    TStringList Devices; // names with their devices, owned

private:
    std::string card_;
    std::unique_ptr<media::CaptureMixer> mixer_;
};

namespace SoundControl {

constexpr std::uint32_t MakeVolume(std::uint16_t Left, std::uint16_t Right)
{
    return static_cast<std::uint32_t>(Right) << 16 | Left;
}

} // namespace SoundControl
