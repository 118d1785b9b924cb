#pragma once

// What renaming a picture's file does with the name the user typed: the
// questions about another extension, another folder and an existing file,
// and the rename itself, which never leaves the picture's folder. File names
// are case-sensitive here: a name that differs only in case is another file,
// and only a name that leads to the picture's own file is refused.

#include <functional>
#include <string>

namespace RenameSteps {

enum TQuestion { rqExtension, rqFolder, rqOverwrite };
enum TAnswer { raYes, raNo, raCancel };
// Asks a question; Name is the existing file for rqOverwrite.
using TAsker = std::function<TAnswer(TQuestion Question, const std::string& Name)>;

enum TOutcome {
    roRenamed,  // renamed: the window closes
    roClose,    // nothing renamed, the window closes
    roEditMore, // nothing renamed, back to the edit
    roFailed,   // the rename failed: the message, back to the edit
};

struct TResult {
    TOutcome Outcome = roClose;
    std::string NewName; // the new full name (roRenamed, roFailed)
};

// OldName is the picture's full file name, Typed what the user typed.
TResult Rename(const std::string& OldName, const std::string& Typed, const TAsker& Ask);

// The questions and the failure message, with their help topics.
inline constexpr const char* ExtensionQuestion =
    "Sie haben eine andere Dateierweiterung eingegeben! Das Bild ist nach dem Umbenennen möglicherweise nicht mehr "
    "ladbar, da das Dateiformat evtl. nicht mehr erkannt werden kann. Möchten Sie die Datei trotdem umbenennen?";
inline constexpr const char* FolderQuestion =
    "Die Datei kann nicht in ein anderes Verzeichnis verschoben werden!\r\rSoll sie aber dennoch umbenannt werden?";
inline constexpr const char* OverwriteQuestion =
    "Die Datei \"%s\" existiert bereits!\r\rSoll sie überschrieben werden?";
inline constexpr int ExtensionHelp = 1201;
inline constexpr int FolderHelp = 1202;
inline constexpr int OverwriteHelp = 1203;
// The failure message for the old and the new name.
std::string FailureMessage(const std::string& OldName, const std::string& NewName);

} // namespace RenameSteps
