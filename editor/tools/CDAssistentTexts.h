#pragma once

// The texts the compilation assistant shows, each as the user reads it. In
// messages a line break is a bare CR; "%s" and "%d" are filled in order by
// CDAssistentLogic::FillIn.

namespace CDAssistentTexts {

inline constexpr const char* Caption = "Zusammenstellungs-Assistent";

// Help contexts of the closing messages.
inline constexpr int HelpDone = 401;
inline constexpr int HelpFailed = 410;
inline constexpr int HelpNothingToDo = 411;

inline constexpr const char* NoPictures =
    "Sie können den Assistenten erst benutzen, wenn Sie mindestens ein Bild in der Liste haben.";
inline constexpr const char* NoShows =
    "Sie können den Assistenten erst benutzen, wenn Sie mindestens eine Vistelo in der Liste haben.";
inline constexpr const char* NoFontChosen =
    "Sie müssen erst einen Zeichensatz aus der Dialogbox \"Verwendete Fonts\" markieren.";
inline constexpr const char* FontDialogTitle = "Font auswählen";
inline constexpr const char* FontDialogFilter = "Fonts (*.TTF;*.FOT;*.FON)|*.TTF;*.FOT;*.FON";

// --- the CD folder ---
inline constexpr const char* ShowNotBuilt = "Fehler beim CD-Erstellen!!!";
inline constexpr const char* FolderNotCreated = "Das Verzeichnis \"%s\" konnte nicht erstellt werden.";
inline constexpr const char* FolderNotCreatedAdded = "\r\rDas Verzeichnis \"%s\" konnte nicht erstellt werden.";
inline constexpr const char* LogoNotCopied = "\r\rDas Bild für das eigene Logo konnte nicht kopiert werden. (\"%s\")";
inline constexpr const char* SongsNotCopied =
    "\r\rEs konnten einige Hintergrundlieder nicht kopiert werden. \r\r(\"%s\")";
inline constexpr const char* FontsNotCopied = "\r\rEs konnten ein oder mehrere Zeichensätze nicht kopiert werden.";
inline constexpr const char* ShowNotSaved = "\r\rDie Vistelo \"%s\" konnte nicht in \"%s\" erstellt werden.";
inline constexpr const char* PlayerFilesNotCopied =
    "\r\rDie notwendigen Dateien für den Vistelo-Player konnten nicht nach \"%s\" kopiert werden. Stellen Sie "
    "sicher, dass sich die Dateien \"%s\" im Verzeichnis \"%s\" befinden.";
inline constexpr const char* FileNotCreated = "\r\rDie Datei \"%s\" konnte nicht erstellt werden.";
// The example burning program of the hint.
inline constexpr const char* BurningProgram = "Brasero";
inline constexpr const char* BurnHint =
    "Sie können nun den Inhalt dieses Verzeichnisses mit ihrem CD-Brennprogramm (z.B. %s) einfach auf CD brennen. "
    "Die Datei Autorun.inf muss im Hauptverzeichnis, also ohne Unterverzeichnisse, auf der CD sein. \r\rFalls Sie "
    "andere Verzeichnisse benutzen möchten, müssen Sie diese in der Datei Autorun.inf anpassen. Näheres finden Sie "
    "dazu in der Hilfe.\r\rViel Spaß mit der Vistelo!";
inline constexpr const char* DoneWithFailures =
    "Das Erstellen der Vistelo in \"%s\" ist abgeschlossen.\r\rEs konnten %d von %d Bildern nicht kopiert "
    "werden.\r\r%s%s";
inline constexpr const char* Done = "Das Erstellen der Vistelo in \"%s\" wurde erfolgreich abgeschlossen.\r\r%s%s";
inline constexpr const char* FailedWithFailures =
    "Das Erstellen der Vistelo in \"%s\" ist fehlgeschlagen.\r\rEs konnten %d von %d Bildern nicht kopiert "
    "werden.%s";
inline constexpr const char* Failed = "Das Erstellen der Vistelo in \"%s\" ist fehlgeschlagen.%s";

// --- the CD folder of a show list ---
inline constexpr const char* ListFolderNotCreated = "Verzeichnis kann nicht erstellt werden!";
inline constexpr const char* ListShowProblems = "\r\"%s\" - %d Fehler:%s\r";
inline constexpr const char* ListDoneWithProblems =
    "Das Erstellen der Vistelo-CD in \"%s\" ist abgeschlossen.\r\rBei %d Vistelos gab es Probleme. Die CD ist "
    "dennoch lauffähig.\r\r%s%s";

// --- copying the ticked pictures ---
inline constexpr const char* CopyShowNotBuilt = "Internet Fehler: Vistelo kann nicht erstellt werden.";
inline constexpr const char* CopyDoneWithFailures =
    "Das Kopieren nach \"%s\" ist abgeschlossen.\r\rEs konnten %d Dateien nicht kopiert werden";
inline constexpr const char* CopyDone = "Das Kopieren nach \"%s\" wurde erfolgreich abgeschlossen.";

// --- deleting the crossed pictures ---
inline constexpr const char* DeleteAsk =
    "Die Datei \"%s\" konnte nicht gelöscht werden\r\rSoll der Vorgang mit den anderen Dateien fortgesetzt werden?";
inline constexpr const char* DeleteDoneWithFailures =
    "Das Löschen ist abgeschlossen.\r\rEs konnten %d Dateien nicht gelöscht werden";
inline constexpr const char* DeleteDone = "Das Löschen wurde erfolgreich abgeschlossen.";

} // namespace CDAssistentTexts
