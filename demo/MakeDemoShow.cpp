// Writes the bundled demo show: the pictures of demo/show with German
// comments and a selection of transitions, stored by relative name so the
// show plays from wherever the folder is copied.
#include "editor/app/PicInfoUnit.h"

#include <cstdio>
#include <string>

namespace {

struct DemoPicture {
    const char* FileName;
    const char* Comment;
    int Blending;
};

constexpr DemoPicture kPictures[] = {
    {"Abendhimmel.jpg", "Willkommen bei Vistelo!", 0},
    {"Sonnenglut.jpg", "Jedes Bild hat seine eigene Pause und Überblendung.", 12},
    {"Waldwirbel.jpg", "32 Überblendungen stehen zur Wahl.", 1},
    {"Wolkenband.jpg", "Kommentare können über dem Bild stehen.", 20},
    {"Hochformat.jpg", "Hochformate werden proportional eingepasst.", 30},
    {"Kreise.jpg", "Ende der Vorführung – Esc beendet, Leertaste hält an.", 1},
};

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
        show.AddDia(entry);
    }
    if (!show.SaveToFile(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
