#include "editor/app/EditorTips.h"

#include "platform/rtl/StringList.h"

namespace EditorTips {

namespace {

const char* const Tips[] = {
    "Mit der Taste Einfg fügen Sie der Bilderliste Bilder hinzu, mit Entf entfernen Sie die markierten Bilder "
    "wieder aus der Liste.",
    "Mit Strg+W starten Sie die Vistelo.\rMit Strg+Q startet sie ab dem markierten Bild.",
    "Im Sortiermodus ziehen Sie ein Bild mit der Maus an eine andere Stelle der Bilderliste.\rSie schalten ihn im "
    "Menü \"Bild\" mit \"Sortiermodus\" ein und wieder aus.",
    "Bilder mit einem Kreuz in der Bilderliste werden in der Vistelo übersprungen.\rMit \"Bilder mit Kreuz aus der "
    "Liste entfernen\" im Menü \"Bild\" entfernen Sie sie ganz.",
    "Unter \"Optionen\" und \"Vistelo-Einstellungen...\" legen Sie die Verweildauer, die Hintergrundmusik, die "
    "Überblendungen und das Ende der Vistelo fest.",
    "Mit dem Vistelo-Manager im Menü \"Datei\" stellen Sie mehrere Vistelos zu einer Vistelo-Liste zusammen.",
    "Mit Strg+H wird das markierte Bild zum Hintergrundbild Ihres Bildschirms.",
    "Die Vistelo-Statistik im Menü \"Datei\" zeigt, wie viele Bilder Ihre Vistelo hat und wie lange sie dauert.",
    "Mit dem Konvertierungs-Assistenten wandeln Sie viele Bilder auf einmal in ein anderes Bildformat um.",
    "Mit dem Sound-Assistenten sprechen Sie Kommentare zu Ihren Bildern auf.",
    "Mit Strg+A markieren Sie alle Bilder der Liste; Einstellungen im Bereich \"Bildeinstellungen\" gelten dann "
    "für alle markierten Bilder.",
    "Mit Strg+F1 rufen Sie den Tipp des Tages jederzeit wieder auf.\rOb er beim Start erscheint, bestimmen Sie mit "
    "\"Tipps zeigen\".",
};

} // namespace

void FillTips(TStrings& List)
{
    List.Clear();
    for (const char* tip : Tips)
        List.Add(tip);
}

} // namespace EditorTips
