#pragma once

// The end of a show in the playback window and what follows it: the show's
// end action (repeat, the next show of the folder, close, or a question with
// its answers), the manual end, show lists with their chooser, and taking a
// show over from its file with its logo.

#include <cstdint>
#include <string>

class TShowForm;
class TShowStepper;
class TVistelo;
class TVisteloList;

// How far a show-list playback has come.
enum TListMode : std::uint8_t { lmNone, lmFirstShow, lmRunning, lmQuit };

class TShowEnd {
public:
    TShowEnd(TShowForm& Form, TShowStepper& Stepper);
    TShowEnd(const TShowEnd&) = delete;
    TShowEnd& operator=(const TShowEnd&) = delete;

    std::string ShowFiles; // CR LF separated show files for the next-show step
    TListMode ListMode = lmNone;
    std::int32_t ListIndex = 0;
    TVisteloList* List = nullptr; // owned by the start operation

    // The play position wrapped (Forward: past the end); runs the show's end
    // action. True when the slide at the position is to be shown.
    bool VisteloEnd(bool Forward, bool Manual);
    // Ends the show (Manual: by the user), unless its end action keeps it or
    // a show list chooses another.
    void VisteloExit(bool Manual);
    // Ends the show at once (or goes back to the show list's chooser).
    void VisteloExitNow();
    // The exit button and Esc: the end runs from the exit timer, outside the
    // handler that asked for it.
    void ExitBtnClick();
    void ExitTimerTimer();

    // The show files of Folder and its subfolders, for the next-show step.
    void ScanDirectory(const std::string& Folder);
    // Plays the next (or previous) show of ShowFiles; false when none loads.
    bool LoadNextVistelo(bool Forward);
    // Plays the show of FileName in the same show object; false, with the
    // show playing now intact, when it does not load.
    bool ReloadVistelo(const std::string& FileName);
    // A show of a list takes the list's end action over.
    void VisteloListVisteloEnd(TVistelo& AShow);
    // Lets the user choose a show of AList and plays it; false when the
    // user ends the list instead.
    bool VisteloManager(TVistelo* AShow, TVisteloList* AList, std::int32_t StartIndex);
    void JumpToShow(TVistelo* AShow, std::int32_t Index, const std::string& FileName);
    // Shows the show's logo for its logo pause, when it has one.
    void VisteloLogo(TVistelo* AShow, const std::string& FileName, bool FromObject);
    void PlayVistelo(const std::string& FileName, std::int32_t StartPos);

private:
    // Runs the end question of Action (3, 4 or 5); true when the end is
    // decided (Result), false to go on with Action.
    bool AskEndQuestion(std::int32_t& Action, bool Manual, bool Forward, bool& Result);
    int RunEndQuestion(std::int32_t Action, bool Manual, std::string& FileName);
    void GoOnAfterQuestion(bool& Result);
    void FinishExit();

    TShowForm& form_;
    TShowStepper& stepper_;
};
