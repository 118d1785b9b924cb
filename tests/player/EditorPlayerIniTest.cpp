// The player ini the editor writes, read back by the player's own reader.

#include "core/Setup.h"
#include "editor/app/VisteloSetup.h"
#include "player/PlayerSetup.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {

TEST(EditorPlayerIni, ThePlayerReadsWhatTheEditorWrote)
{
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("vistelo-player-ini-" + std::to_string(::getpid()) + "-Rollavin.ini"))
                                 .string();
    bool* switches[] = {&Setup::SmoothScale, &Setup::ShowErrorInShow, &Setup::DontShowInfoBtn,
                        &Setup::ForceUseInternalMP3Player};
    bool saved[4];
    for (int i = 0; i < 4; ++i)
        saved[i] = *switches[i];
    // Each switch once on while the others are off, and all off.
    for (int on = -1; on < 4; ++on) {
        SCOPED_TRACE(on);
        for (int i = 0; i < 4; ++i)
            *switches[i] = i == on;
        VisteloSetup::WritePlayerIni(file);
        for (int i = 0; i < 4; ++i)
            *switches[i] = i != on;
        PlayerSetup::ReadPlayerIni(file);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(*switches[i], i == on) << i;
    }
    std::filesystem::remove(file);
    for (int i = 0; i < 4; ++i)
        *switches[i] = saved[i];
}

} // namespace
