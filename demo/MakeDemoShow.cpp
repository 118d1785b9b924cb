// Writes the bundled demo show: the pictures of demo/show with German
// comments, a selection of transitions and a short chime as a slide sound
// (written beside the show), stored by relative name so the show plays from
// wherever the folder is copied.
#include "editor/app/PicInfoUnit.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct DemoPicture {
    const char* FileName;
    const char* Comment;
    int Blending;
    bool Chime; // plays the slide sound
};

constexpr DemoPicture kPictures[] = {
    {"Abendhimmel.jpg", "Willkommen bei Vistelo!", 0, true},
    {"Sonnenglut.jpg", "Jedes Bild hat seine eigene Pause und Überblendung.", 12, false},
    {"Waldwirbel.jpg", "32 Überblendungen stehen zur Wahl.", 1, false},
    {"Wolkenband.jpg", "Kommentare können über dem Bild stehen.", 20, true},
    {"Hochformat.jpg", "Hochformate werden proportional eingepasst.", 30, false},
    {"Kreise.jpg", "Ende der Vorführung – Esc beendet, Leertaste hält an.", 1, true},
};

constexpr char kChimeName[] = "Klang.wav";

void PutLE(std::vector<char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 0.6 s two-tone chime, 16-bit mono PCM at 22050 Hz, fading out.
bool WriteChime(const std::string& FileName)
{
    constexpr std::uint32_t rate = 22050;
    constexpr std::uint32_t samples = rate * 6 / 10;
    constexpr double pi = 3.14159265358979323846;
    std::vector<char> wav;
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    PutLE(wav, 36 + samples * 2, 4);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(wav, 16, 4);
    PutLE(wav, 1, 2); // PCM
    PutLE(wav, 1, 2); // mono
    PutLE(wav, rate, 4);
    PutLE(wav, rate * 2, 4);
    PutLE(wav, 2, 2);
    PutLE(wav, 16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    PutLE(wav, samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double pitch = i < samples / 3 ? 660.0 : 880.0;
        const double fade = 1.0 - static_cast<double>(i) / samples;
        const double value = 0.4 * fade * std::sin(2 * pi * pitch * t);
        PutLE(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(value * 32767)), 2);
    }
    std::ofstream out(FileName, std::ios::binary);
    out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
    return static_cast<bool>(out);
}

std::string FolderOf(const std::string& FileName)
{
    const std::size_t slash = FileName.find_last_of('/');
    return slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SHOWFILE\n", argv[0]);
        return 2;
    }
    TConfigVistelo show;
    show.Pause = 4000;
    show.InfoTitle = "Vistelo-Demo";
    show.AboutText = "Eine kleine Vorführung der Möglichkeiten von Vistelo.";
    show.EndAction = deAutoRepeat;
    for (const DemoPicture& picture : kPictures) {
        TPicInfoObject entry;
        entry.FileName = picture.FileName;
        entry.Comments = picture.Comment;
        entry.ShowComments = true;
        entry.Blending = picture.Blending;
        if (picture.Chime) {
            entry.Sound = kChimeName;
            // The chime is short: the slide keeps its own pause.
            entry.SynchronizeWithSound = ssNoSync;
        }
        show.AddDia(entry);
    }
    const std::string chime = FolderOf(argv[1]) + kChimeName;
    if (!WriteChime(chime)) {
        std::fprintf(stderr, "cannot write %s\n", chime.c_str());
        return 1;
    }
    if (!show.SaveToFile(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
