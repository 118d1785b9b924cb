// Deleting the files of the crossed pictures and their sounds.

#include "editor/tools/CDAssistentLogic.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/CDAssistentTexts.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

namespace CDAssistentLogic {

namespace {

bool Takes(int mode, bool ticked) { return mode == 0 || (mode == 1 && ticked) || (mode == 2 && !ticked); }

// Erases the file; true when no error was reported (or it had gone already).
bool DeleteFileQuiet(const std::string& file) { return std::remove(file.c_str()) == 0 || errno == ENOENT; }

// Whether a file was deleted: a file that is not there counts as deleted.
// Only a file in the show's own folder (or named with its full path) is
// touched: a same-named file of the program folder is never the one meant.
bool DeleteStoredFile(const std::string& stored, const std::string& showFile, std::string& file)
{
    file = ResolveInShowFolder(stored, showFile);
    return file.empty() || DeleteFileQuiet(file);
}

} // namespace

void RemovePictureFromShow(TVistelo& Show, int Index)
{
    if (Index < 0 || Index >= Show.Count)
        return;
    Show.Pictures.erase(Show.Pictures.begin() + Index);
    --Show.Count;
    auto& order = Show.Order;
    order.erase(std::remove(order.begin(), order.end(), Index), order.end());
    for (std::int32_t& position : order)
        if (position > Index)
            --position;
    Show.CurrentIndex = std::min(Show.CurrentIndex, Show.Count - 1);
}

int DeleteMarkedFiles(TVexaProgressBar* Bar, int Mode, bool DeletePictures, bool DeleteSounds,
                      const std::string& ShowFile, const TPictureRemover& Remove)
{
    if (Bar)
        Bar->SetPosition(0);
    int failures = 0;
    int processed = 0;
    bool stopped = false;
    // The count is read again every round: deleted pictures leave the list.
    for (int i = 0; i < PicInfoUnit::PicCount() && !stopped; ++i) {
        TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(i);
        if (!picture || !Takes(Mode, PicInfoUnit::PicChecked(i)))
            continue;
        ++processed;
        for (int pass = 0; pass < 2 && !stopped; ++pass) {
            const bool soundPass = pass == 0;
            if ((soundPass && !DeleteSounds) || (!soundPass && !DeletePictures))
                continue;
            const std::string stored = soundPass ? picture->Sound : picture->FileName;
            if (stored.empty())
                continue;
            std::string file;
            if (DeleteStoredFile(stored, ShowFile, file)) {
                if (soundPass) {
                    picture->Sound.clear();
                } else {
                    Remove(i--);
                    break;
                }
            } else {
                ++failures;
                const int answer = ui::MessageDlg(FillIn(CDAssistentTexts::DeleteAsk, {file}), mtError, {mbYes, mbNo},
                                                  0);
                stopped = answer != mrYes;
            }
        }
        if (Bar)
            Bar->SetPosition(processed);
        if (Application)
            Application->ProcessMessages();
    }
    return failures;
}

std::string DeleteMessage(int Failures)
{
    return Failures ? FillIn(CDAssistentTexts::DeleteDoneWithFailures, {std::to_string(Failures)})
                    : std::string(CDAssistentTexts::DeleteDone);
}

} // namespace CDAssistentLogic
