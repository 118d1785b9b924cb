#pragma once

// What the compilation assistant does apart from its pages: the layout of a
// CD folder and the player's run-time set, the autorun file, copying a show
// with its pictures, sounds, songs, logo and fonts into the folder, the CD
// folder of a whole show list, copying the ticked pictures into a folder,
// and deleting the files of the crossed ones. The closing messages and the
// questions are asked through the dialog layer as the runs go.
//
// Sources: CDAssistentLogic.cpp (layout, autorun file, player, copier),
// CDAssistentLogic.Show.cpp (the runs), CDAssistentLogic.Fonts.cpp (the used
// fonts), CDAssistentLogic.Delete.cpp (deleting).

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

class TStringList;
class TVexaProgressBar;
class TVistelo;
class TVisteloList;

namespace CDAssistentLogic {

// The player's run-time set on this system, copied from the program folder
// into the CD folder's player folder in this order, beside the player ini:
// the player, the sound decoder module, the platform's libraries, the shared
// library, the player package and the standard logo. The first is the
// program the autorun file starts. The copier and its message both use it.
inline constexpr std::array<const char*, 9> PlayerFiles = {"Rollavin",           "elamp.esp",
                                                           "libplatform_rtl.so", "libplatform_graphics.so",
                                                           "libplatform_ui.so",  "libplatform_media.so",
                                                           "libKestrun.so",      "Player.so",
                                                           "Vistelo.jpg"};
inline constexpr const char* PlayerIni = "Rollavin.ini";
// The CD start program beside the autorun file.
inline constexpr const char* StartProgram = "Autovane";
inline constexpr const char* AutorunFileName = "Autorun.inf";
inline constexpr const char* PicturesFolder = "Pictures";
inline constexpr const char* PlayerFolder = "Player";

// The player files joined by ", ", as the message about them names them.
std::string PlayerFileList();
// The three lines of the autorun file for a show or show-list file name.
std::string AutorunText(const std::string& ShowFileName);

// Pattern with each "%s" and "%d" replaced by the next value, in one pass:
// a value's own "%s" stays as it is.
std::string FillIn(std::string_view Pattern, std::initializer_list<std::string> Values);
// A file name for the user: the file Name refers to, or Name itself.
std::string DisplayName(const std::string& Name, const std::string& Base);
// Creates Folder with its missing parents; true when it exists afterwards.
bool ForceFolder(const std::string& Folder);
// The existing file a stored name refers to in the show's own folder, or an
// absolute stored name as it is; "" when there is none. Unlike the player's
// lookup it never falls back on the program folder.
std::string ResolveInShowFolder(const std::string& Name, const std::string& ShowFile);

// The bars of a run; either may be missing.
struct TCDBars {
    TVexaProgressBar* Overall = nullptr;
    TVexaProgressBar* File = nullptr;
};

// What the CD run of one show of a list reports.
enum TCDStatus : std::uint8_t { cdsDone, cdsDoneWithFailures, cdsFailed };
struct TCDResult {
    TCDStatus Status = cdsDone;
    int Failures = 0;
    std::string ErrorText;
};

// Copies files into one folder, each under its file name; a second file of a
// name already taken in the run gets "_" before its extension (letter case
// ignored), and a file copied before is not copied again.
class TFileCopier {
public:
    TFileCopier(std::string Folder, TVexaProgressBar* FileBar);
    // The name the file has in the folder; "" when it could not be copied.
    std::string Copy(const std::string& Source);
    const std::string& Folder() const { return folder_; }

private:
    std::string NameFor(const std::string& Source);

    std::string folder_;
    TVexaProgressBar* fileBar_;
    std::map<std::string, std::string> copied_; // source -> name in the folder
    std::set<std::string> takenNames_;          // lower case
};

// Copies the pictures of Show (all, or the ticked ones) with their sounds
// when asked into the copier's folder, adding an entry naming the copies
// to Target when given, and advancing Overall by one per picture. A
// picture whose file or sound could not be copied counts as not copied;
// the number of those is returned.
int CopyShowPictures(const TVistelo& Show, const std::string& ShowFile, bool TickedOnly, bool CopySounds,
                     TFileCopier& Copier, TVistelo* Target, TVexaProgressBar* Overall);

// Makes CD folders in Target (T): the pictures folder, the player folder and
// the autorun file.
class TCDFolderMaker {
public:
    TCDFolderMaker(const std::string& Target, TCDBars Bars);

    // The folder of the player's files: the program folder by default.
    std::string HomeDir;
    // The fonts to copy (see CollectUsedFonts); none: no fonts are copied.
    const TStringList* Fonts = nullptr;

    // The CD folder of one show. A single show gets the player, the autorun
    // file, the start program and the player ini, and its closing message is
    // shown; a show of a list only fills the result.
    TCDResult CreateShowCD(const TVistelo& Show, bool SingleShow, const std::string& ShowFile, bool CopySounds,
                           bool CopyAll);
    // The CD folder of every show of List, one player and one autorun file;
    // shows its closing message. False when the pictures folder could not be
    // made (nothing else was done then).
    bool CreateListCD(const TVisteloList& List);

    bool CopyPlayerFiles(std::string& ErrorText);
    bool WriteAutorunInf(const std::string& ShowFileName, std::string& ErrorText);
    bool CopyStartProgram(std::string& ErrorText);
    // Copies the fonts' files that are ticked; the font list with the
    // files' bare names becomes Target's named string lists. False after the
    // first file that failed (no further one is tried).
    bool CopyUsedFonts(TVistelo* Target);

    std::string PicturesDir() const;
    std::string PlayerDir() const;
    // The hint about burning the folder.
    static std::string BurnHint();

private:
    int CopyLogoPicture(const TVistelo& Show, const std::string& ShowFile, TVistelo& Target, std::string& ErrorText);
    int CopyBackgroundSongs(const TVistelo& Show, const std::string& ShowFile, TVistelo& Target,
                            std::string& ErrorText);
    void StepOverall();
    void AddToOverallMax(int Count);

    std::string target_;
    TCDBars bars_;
    TFileCopier copier_;
};

// Copies the pictures of the current show that are ticked into Folder, with
// their sounds when asked, and writes a show of them there when asked;
// shows the closing message.
void CopyTickedPictures(const TVistelo& Show, const std::string& ShowFile, const std::string& Folder, bool CopySounds,
                        bool CreateShow, TCDBars Bars);

// --- used fonts (CDAssistentLogic.Fonts.cpp) ---

// The faces every system has: listed, but not ticked.
bool IsStandardFont(const std::string& Name);
// Adds the comment fonts of the current pictures (the access layer) that
// have comment text: "1" or "0" (a standard face) and the name, its object a
// list of the face's files, each "1" and the full path. A face already in the
// list is skipped. With UsedFonts there and Rebuild false nothing changes;
// Clear empties it first.
void CollectUsedFonts(std::unique_ptr<TStringList>& UsedFonts, bool Rebuild, bool Clear);
// The fonts of every show of List that loads, in one list.
void CollectListFonts(std::unique_ptr<TStringList>& UsedFonts, const TVisteloList& List);
// A deep copy of a font list; Strip drops the folders of the file names.
std::unique_ptr<TStringList> CopyFontList(const TStringList& Fonts, bool Strip);

// --- deleting (CDAssistentLogic.Delete.cpp) ---

// Takes the picture at an index out of the current pictures and frees it.
using TPictureRemover = std::function<void(int Index)>;
// The remover of pictures that live in a show (the access layer's show modes).
void RemovePictureFromShow(TVistelo& Show, int Index);
// Deletes the picture files (and/or sound files) of the current pictures that
// Mode takes (0 all, 1 ticked, 2 unticked): a deleted sound is cleared from
// its picture, a picture whose file is deleted leaves the list through
// Remove. A missing file counts as deleted. A file that cannot be deleted is
// asked about: No ends the run. Returns the number of failures.
int DeleteMarkedFiles(TVexaProgressBar* Bar, int Mode, bool DeletePictures, bool DeleteSounds,
                      const std::string& ShowFile, const TPictureRemover& Remove);
// The closing message of a delete run.
std::string DeleteMessage(int Failures);

} // namespace CDAssistentLogic
