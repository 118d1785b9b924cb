#include "editor/tools/SoundControl.h"

#include <gtest/gtest.h>

#include "media/TestSounds.h"

namespace {

TEST(SoundControl, MakeVolumePutsTheRightChannelHigh)
{
    EXPECT_EQ(SoundControl::MakeVolume(0x1234, 0xABCD), 0xABCD1234u);
    EXPECT_EQ(SoundControl::MakeVolume(0xFFFF, 0), 0x0000FFFFu);
}

// Without a mixer only the capture devices are listed, and they have no
// volume: it reads 0 and cannot be set.
TEST(SoundControl, WithoutAMixerOnlyCaptureDevicesAreListedWithoutVolume)
{
    const std::string folder = testsounds::TempFolder();
    testsounds::DiskAudio disk(folder); // it has one capture device
    TSoundControl control("hw:97");
    ASSERT_GE(control.Count(), 1);
    for (int i = 0; i < control.Count(); ++i) {
        TSoundDevice* device = control.Device(i);
        EXPECT_EQ(device->Kind, sdWaveIn);
        EXPECT_EQ(device->DeviceID, i);
        EXPECT_EQ(device->MaxVolume, 65535u);
        EXPECT_LE(device->Name.size(), 32u);
        EXPECT_EQ(control.Devices.Strings(i), device->Name);
        EXPECT_EQ(device->GetVolume(), 0u);
        EXPECT_FALSE(device->SetVolume(SoundControl::MakeVolume(100, 100)));
    }
    testsounds::RemoveFolder(folder);
    TSoundDevice aux;
    aux.Kind = sdAux;
    EXPECT_EQ(aux.GetVolume(), 0u) << "a control without a mixer reads 0";
    EXPECT_FALSE(aux.SetVolume(1));
}

} // namespace
