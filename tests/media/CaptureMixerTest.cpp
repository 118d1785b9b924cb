#include "platform/media/CaptureMixer.h"

#include <gtest/gtest.h>

namespace {

using media::CaptureMixer;

TEST(CaptureMixer, MapsAControlsRangeOntoSixteenBitsAndBack)
{
    struct Case {
        long Raw, Min, Max;
        uint16_t Volume;
    };
    for (const Case c : {Case{0, 0, 31, 0}, Case{31, 0, 31, 65535}, Case{-50, -50, 50, 0}, Case{0, -50, 50, 32768},
                         Case{50, -50, 50, 65535}, Case{99, 0, 31, 65535}, Case{-5, 0, 31, 0}, Case{3, 3, 3, 0}}) {
        EXPECT_EQ(CaptureMixer::ToVolume(c.Raw, c.Min, c.Max), c.Volume) << c.Raw << " in " << c.Min << ".." << c.Max;
    }
    // Every step of a small range survives the way there and back.
    for (long raw = -12; raw <= 20; ++raw)
        EXPECT_EQ(CaptureMixer::FromVolume(CaptureMixer::ToVolume(raw, -12, 20), -12, 20), raw);
    EXPECT_EQ(CaptureMixer::FromVolume(65535, 0, 127), 127);
    EXPECT_EQ(CaptureMixer::FromVolume(0, 0, 127), 0);
    EXPECT_EQ(CaptureMixer::FromVolume(40000, 5, 5), 5);
}

TEST(CaptureMixer, ACardThatIsNotThereHasNoControls)
{
    CaptureMixer mixer("hw:97");
    EXPECT_EQ(mixer.Count(), 0);
    uint32_t volume = 7;
    EXPECT_FALSE(mixer.GetVolume(0, volume));
    EXPECT_EQ(volume, 7u);
    EXPECT_FALSE(mixer.SetVolume(0, 0x12341234));
}

} // namespace
