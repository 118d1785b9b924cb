// The show statistics: what is counted, what is summed and how the running
// time is written.

#include "editor/app/ShowStatistics.h"

#include "core/Tools.h"
#include "editor/app/PicInfoUnit.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(ShowStatisticsTest, TimesShowHoursAndMinutesOnlyOnceReached)
{
    const struct {
        std::int64_t seconds;
        const char* text;
    } table[] = {
        {0, "0 Sek. "},
        {59, "59 Sek. "},
        {60, "1 Min. 0 Sek. "},
        {3599, "59 Min. 59 Sek. "},
        {3600, "1 Std. 0 Min. 0 Sek. "},
        {90061, "25 Std. 1 Min. 1 Sek. "},
    };
    for (const auto& t : table)
        EXPECT_EQ(ShowStatistics::TimeText(t.seconds), t.text) << t.seconds;
}

class ShowStatisticsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("vistelo-statistics-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        savedMode_ = PicInfoUnit::PicInfoAccessMethod;
        savedShow_ = PicInfoUnit::AccessVistelo;
        PicInfoUnit::PicInfoAccessMethod = paVistelo;
        PicInfoUnit::AccessVistelo = &show;
    }
    void TearDown() override
    {
        PicInfoUnit::PicInfoAccessMethod = savedMode_;
        PicInfoUnit::AccessVistelo = savedShow_;
        fs::remove_all(folder);
    }
    std::string File(const std::string& name, std::size_t bytes)
    {
        std::ofstream(folder / name, std::ios::binary) << std::string(bytes, 'x');
        return (folder / name).string();
    }
    void Add(const std::string& file, bool shown, std::int32_t pause, const std::string& sound = {})
    {
        TPicInfoObject picture;
        picture.FileName = file;
        picture.ShowImage = shown;
        picture.Pause = pause;
        picture.Sound = sound;
        show.AddDia(picture);
    }

    fs::path folder;
    TVistelo show;

private:
    TPicInfoAccessMethod savedMode_ = paNone;
    TVistelo* savedShow_ = nullptr;
};

TEST_F(ShowStatisticsFiles, CountsSumsAndRunningTime)
{
    Add(File("a.jpg", 1000), true, -1, File("a.wav", 50));
    Add(File("b.jpg", 2000), true, 1500);
    Add(File("c.jpg", 400), false, 9000, (folder / "fehlt.wav").string());
    Add((folder / "fehlt.jpg").string(), true, 7000);
    const std::string music = File("lied.mp3", 300) + "\r\n" + (folder / "weg.mp3").string() + "\r\n";
    const std::string showFile = (folder / "show.vsf").string();

    const ShowStatistics::TStatistics figures = ShowStatistics::Collect(4000, music, showFile);
    EXPECT_EQ(figures.Pictures, 4);
    EXPECT_EQ(figures.Shown, 2) << "the skipped and the missing picture are not shown";
    EXPECT_EQ(figures.NotFound, 1);
    EXPECT_EQ(figures.Sounds, 2) << "sounds are counted whether found or not";
    EXPECT_EQ(figures.MissingSounds, 1);
    EXPECT_EQ(figures.Songs, 1) << "songs are counted only when found";
    EXPECT_EQ(figures.MissingSongs, 1);
    EXPECT_EQ(figures.PictureBytes, 3400) << "a skipped picture's file still takes room";
    EXPECT_EQ(figures.SoundBytes, 50);
    EXPECT_EQ(figures.MusicBytes, 300);
    EXPECT_EQ(figures.RunningMs, 5500) << "the default pause for -1, the own one else";

    const std::string text = ShowStatistics::MessageText(showFile, figures);
    const std::string expected = "Informationen über die aktuelle Vistelo \"" + showFile +
        "\"\r\n\r\nAnzahl der\r\n   Bilder: 4, 2 Bild(er) deaktiviert, 1 Bild(er) nicht gefunden\r\n"
        "   Sounds: 2 (1 Sounds nicht gefunden)\r\n   Hintergrundlieder: 1 (1 Hintergrundlieder nicht gefunden)\r\n\r\n"
        "Speicherplatz belegt durch\r\n   Bilder: " +
        Tools::CompZahlPunkt(3400) +
        " Bytes\r\n   Sounds: 50 Bytes\r\n   Hintergrundmusik: 300 Bytes\r\n   gesamt: " + Tools::CompZahlPunkt(3750) +
        " Bytes\r\n\r\nUngefähre Laufzeit (ohne Berücksichtigung von Ladezeiten und Soundlängen): 5 Sek. \r\n"
        "Ungefähre Laufzeit (mit angenommener Ladezeit von 1 Sekunde pro Bild ohne Berücksichtigung von "
        "Überblendungen und Soundlängen): 7 Sek. \r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(ShowStatisticsFiles, NothingMissingAddsNoRemarks)
{
    Add(File("a.jpg", 10), true, 2000);
    const std::string text = ShowStatistics::MessageText("x.vsf", ShowStatistics::Collect(5000, "", "x.vsf"));
    EXPECT_NE(text.find("   Bilder: 1\r\n   Sounds: 0\r\n   Hintergrundlieder: 0\r\n"), std::string::npos) << text;
}

} // namespace
