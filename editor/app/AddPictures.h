#pragma once

// Adding picture files to the open show: the two questions the user may be
// asked for each file (already in the list? an extension no reader knows?),
// each answered Yes, No, Abort or All. The list itself is reached through
// callbacks, so the flow runs the same for the main window and for tests.

#include <functional>
#include <string>
#include <vector>

namespace AddPictures {

// The extensions (upper case, without the dot) that a picture reader takes.
const std::vector<std::string>& SupportedPictureExts();

// True when the file's extension, upper-cased and without its leading dots,
// is one of SupportedPictureExts(); a file without extension is not.
bool IsSupportedPictureExt(const std::string& FileName);

// Asks a question with the buttons Yes, No, Abort and All; returns the
// modal result of the button (mrYes, mrNo, mrAbort, mrAll).
using TQuestionAsker = std::function<int(const std::string& Question)>;

// The default asker: a confirmation message dialog.
int AskWithMessageDialog(const std::string& Question);

// The list the files go into.
struct TPictureTarget {
    std::function<bool(const std::string& FileName)> IsPictureInList;
    std::function<void(const std::string& FileName)> AddPictureItem;
};

// The two questions' texts.
std::string DuplicateQuestion(const std::string& FileName);
std::string FileTypeQuestion(const std::string& FileName);

// Adds the files in order. With Ask set, a file already in the list is
// questioned when DoublePicsCheck is on, and a file of an unknown extension
// is questioned as well; No skips the file, All adds it and stops that
// question for the rest of the run, Abort ends the run keeping what was
// added. Without Ask every file is added.
void AddPictureFiles(const std::vector<std::string>& Files, bool Ask, bool DoublePicsCheck,
                     const TPictureTarget& Target, const TQuestionAsker& Asker);

} // namespace AddPictures
