#include "editor/app/ShowStatistics.h"

#include "core/PictureLoading.h"
#include "core/Tools.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/rtl/Files.h"

#include <cstdio>

namespace ShowStatistics {

namespace {

// The size of the file a stored name refers to; false when there is none.
bool FoundFile(const std::string& FileName, const std::string& ShowFile, std::int64_t& Bytes)
{
    const std::string found = PictureLoading::RelFileName(FileName, ShowFile);
    if (found.empty() || !rtl::FileExists(found))
        return false;
    // A size that cannot be read adds nothing.
    const std::int64_t size = rtl::FileSizeOf(found);
    if (size > 0)
        Bytes += size;
    return true;
}

std::string Counted(const char* Format, int Count)
{
    if (Count <= 0)
        return "";
    char text[128];
    std::snprintf(text, sizeof text, Format, Tools::ZahlPunkt(Count).c_str());
    return text;
}

} // namespace

TStatistics Collect(std::int32_t DefaultPause, const std::string& MusicFileNames, const std::string& ShowFile)
{
    TStatistics figures;
    figures.Pictures = PicInfoUnit::PicCount();
    for (int i = 0; i < figures.Pictures; ++i) {
        const TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(i);
        if (!picture)
            continue;
        if (!FoundFile(picture->FileName, ShowFile, figures.PictureBytes))
            ++figures.NotFound;
        else if (picture->ShowImage) {
            ++figures.Shown;
            figures.RunningMs += picture->Pause == -1 ? DefaultPause : picture->Pause;
        }
        if (!picture->Sound.empty()) {
            ++figures.Sounds;
            if (!FoundFile(picture->Sound, ShowFile, figures.SoundBytes))
                ++figures.MissingSounds;
        }
    }
    const int songs = Tools::CountStrNr(MusicFileNames);
    for (int i = 0; i < songs; ++i) {
        if (FoundFile(Tools::GetStrNr(MusicFileNames, i), ShowFile, figures.MusicBytes))
            ++figures.Songs;
        else
            ++figures.MissingSongs;
    }
    return figures;
}

std::string TimeText(std::int64_t Seconds)
{
    std::string text;
    if (Seconds / 3600 > 0)
        text += std::to_string(Seconds / 3600) + " Std. ";
    if (Seconds / 60 > 0)
        text += std::to_string((Seconds % 3600) / 60) + " Min. ";
    return text + std::to_string(Seconds % 60) + " Sek. ";
}

std::string MessageText(const std::string& ShowFile, const TStatistics& Figures)
{
    const std::int64_t seconds = Figures.RunningMs / 1000;
    const std::int64_t total = Figures.PictureBytes + Figures.SoundBytes + Figures.MusicBytes;
    return "Informationen über die aktuelle Vistelo \"" + ShowFile +
        "\"\r\n\r\nAnzahl der\r\n   Bilder: " + Tools::ZahlPunkt(Figures.Pictures) +
        Counted(", %s Bild(er) deaktiviert", Figures.Pictures - Figures.Shown) +
        Counted(", %s Bild(er) nicht gefunden", Figures.NotFound) +
        "\r\n   Sounds: " + Tools::ZahlPunkt(Figures.Sounds) +
        Counted(" (%s Sounds nicht gefunden)", Figures.MissingSounds) +
        "\r\n   Hintergrundlieder: " + Tools::ZahlPunkt(Figures.Songs) +
        Counted(" (%s Hintergrundlieder nicht gefunden)", Figures.MissingSongs) +
        "\r\n\r\nSpeicherplatz belegt durch\r\n   Bilder: " + Tools::CompZahlPunkt(Figures.PictureBytes) +
        " Bytes\r\n   Sounds: " + Tools::CompZahlPunkt(Figures.SoundBytes) +
        " Bytes\r\n   Hintergrundmusik: " + Tools::CompZahlPunkt(Figures.MusicBytes) +
        " Bytes\r\n   gesamt: " + Tools::CompZahlPunkt(total) +
        " Bytes\r\n\r\nUngefähre Laufzeit (ohne Berücksichtigung von Ladezeiten und Soundlängen): " +
        TimeText(seconds) +
        "\r\nUngefähre Laufzeit (mit angenommener Ladezeit von 1 Sekunde pro Bild ohne Berücksichtigung von "
        "Überblendungen und Soundlängen): " +
        TimeText(seconds + Figures.Shown) + "\r\n";
}

} // namespace ShowStatistics
