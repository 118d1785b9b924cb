#include "editor/tools/SoundControl.h"

#include "platform/media/CaptureMixer.h"
#include "platform/media/WaveInput.h"

IMPLEMENT_CLASS(TSoundDevice)
IMPLEMENT_CLASS(TSoundControl)

namespace {

constexpr std::size_t MaxNameLength = 32;

TSoundDevice* NewDevice(std::uint8_t Kind, const std::string& Name, int Id)
{
    auto* device = new TSoundDevice;
    device->Kind = Kind;
    device->Name = Name.substr(0, MaxNameLength);
    device->DeviceID = Id;
    device->MaxVolume = 65535;
    return device;
}

} // namespace

// Only the recording controls (kind 5) have a volume here; the capture
// devices themselves have none, as the platform had no call for them.
std::uint32_t TSoundDevice::GetVolume() const
{
    std::uint32_t volume = 0;
    if (Kind != sdAux || !Mixer || !Mixer->GetVolume(DeviceID, volume))
        return 0;
    return volume;
}

bool TSoundDevice::SetVolume(std::uint32_t Volume) const
{
    return Kind == sdAux && Mixer && Mixer->SetVolume(DeviceID, Volume);
}

TSoundControl::TSoundControl(const std::string& Card) : card_(Card)
{
    Devices.OwnsObjects = true;
    ListDevices();
}

TSoundControl::~TSoundControl() { Devices.Clear(); }

void TSoundControl::ListDevices()
{
    Devices.Clear();
    const auto names = media::WaveInput::DeviceNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        TSoundDevice* device = NewDevice(sdWaveIn, names[i], static_cast<int>(i));
        Devices.AddObject(device->Name, device);
    }
    mixer_ = std::make_unique<media::CaptureMixer>(card_);
    for (int i = 0; i < mixer_->Count(); ++i) {
        TSoundDevice* device = NewDevice(sdAux, mixer_->Name(i), i);
        device->Technology = sdTechAuxIn;
        device->Mixer = mixer_.get();
        Devices.AddObject(device->Name, device);
    }
}
