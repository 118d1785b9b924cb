#pragma once

// What the stand-alone player does with its command line: play the file named
// there, or one chosen in an open dialog, as a show or a show list.

#include <functional>
#include <string>
#include <vector>

class TOpenDialog;

namespace PlayFromCommandLine {

// The start functions of the player package (tests record them instead);
// false when the file did not load, which the player has reported.
struct TPlayerStarts {
    std::function<bool(const std::string&)> Show;
    std::function<bool(const std::string&)> List;
};

// The program's start functions: the player-package interface's.
TPlayerStarts PackageStarts();

// A ".vsl" file in any letter case is a show list; anything else a show.
bool IsShowListFile(const std::string& FileName);

// Sets up the open dialog for shows and show lists, starting in HomeFolder.
void PrepareOpenShowDialog(TOpenDialog& Dialog, const std::string& HomeFolder);

// Runs that dialog: the chosen file, or "" when cancelled.
std::string OpenShowDialog(const std::string& HomeFolder);

// The show named by Args[0] read, and its first picture decoding, before the
// toolkit starts (which takes a while); the player takes both over when it
// plays that show. What it did not take is dropped when this goes.
class TShowPreparedEarly {
public:
    explicit TShowPreparedEarly(const std::vector<std::string>& Args);
    ~TShowPreparedEarly();
    TShowPreparedEarly(const TShowPreparedEarly&) = delete;
    TShowPreparedEarly& operator=(const TShowPreparedEarly&) = delete;

private:
    std::string fileName_;
};

// Plays Args[0] (or the chosen file when there is no argument) and returns
// the program's exit status: 0 when it played, 1 when it did not. A missing
// file, or a cancelled dialog, shows "Datei "..." nicht gefunden!" and plays
// nothing; a folder or a file that does not load is the player's to report.
// Failures of the start function pass to the caller.
int PlayFromCommandLine(const std::vector<std::string>& Args, const std::string& HomeFolder,
                        const TPlayerStarts& Starts);

} // namespace PlayFromCommandLine
