#include "editor/app/AddPictures.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"

#include <algorithm>

namespace AddPictures {

namespace {

// What the answer to one question means for the file and the run.
enum class TVerdict { Add, Skip, Abort };

// Asks Question unless its "All" was given before in this run.
TVerdict Ask(const std::string& Question, bool& NoMoreQuestions, const TQuestionAsker& Asker)
{
    switch (Asker(Question)) {
    case mrAbort: return TVerdict::Abort;
    case mrNo: return TVerdict::Skip;
    case mrAll: NoMoreQuestions = true; return TVerdict::Add;
    default: return TVerdict::Add;
    }
}

std::string WithoutLeadingDots(std::string Text)
{
    Text.erase(0, Text.find_first_not_of('.') == std::string::npos ? Text.size() : Text.find_first_not_of('.'));
    return Text;
}

} // namespace

const std::vector<std::string>& SupportedPictureExts()
{
    static const std::vector<std::string> exts = {"BMP", "JPG",  "JPEG", "PNG", "PCX", "TGA", "TIF", "TIFF", "WMF",
                                                  "EMF", "ICO",  "WIN",  "VST", "VGA", "ICB", "SGI", "RPF",  "RLE",
                                                  "RLA", "RGBA", "RGB",  "PSD", "PDD", "PPM", "PGM", "PBM",  "PIC",
                                                  "PCD", "GIF",  "DIB",  "CUT", "CEL", "BW",  "PSP", "FAX"};
    return exts;
}

bool IsSupportedPictureExt(const std::string& FileName)
{
    const std::string ext = WithoutLeadingDots(rtl::AnsiUpperCase(rtl::ExtractFileExt(FileName)));
    if (ext.empty())
        return false;
    const auto& exts = SupportedPictureExts();
    return std::find(exts.begin(), exts.end(), ext) != exts.end();
}

int AskWithMessageDialog(const std::string& Question)
{
    return ui::MessageDlg(Question, mtConfirmation, {mbYes, mbNo, mbAbort, mbAll}, 0);
}

std::string DuplicateQuestion(const std::string& FileName)
{
    return "Die Datei \"" + FileName + "\" ist schon in der Liste vorhanden.\r\rSoll sie dennoch hinzugefügt werden?";
}

std::string FileTypeQuestion(const std::string& FileName)
{
    return "Die Datei \"" + FileName + "\" hat eine Erweiterung (\"" + rtl::ExtractFileExt(FileName) +
        "\"), die keinem Unterstützten Dateiformat zuzuordnen werden kann.\r\rSoll sie dennoch hinzugefügt werden?";
}

void AddPictureFiles(const std::vector<std::string>& Files, bool Ask, bool DoublePicsCheck,
                     const TPictureTarget& Target, const TQuestionAsker& Asker)
{
    bool noMoreDuplicateQuestions = false;
    bool noMoreFileTypeQuestions = false;
    for (const std::string& file : Files) {
        bool add = true;
        // The two questions are independent: a file refused as a duplicate
        // is still asked about its type, and that answer does not undo it.
        if (DoublePicsCheck && Ask && !noMoreDuplicateQuestions && Target.IsPictureInList(file)) {
            const TVerdict verdict = AddPictures::Ask(DuplicateQuestion(file), noMoreDuplicateQuestions, Asker);
            if (verdict == TVerdict::Abort)
                return;
            add = verdict == TVerdict::Add;
        }
        if (Ask && !noMoreFileTypeQuestions && !IsSupportedPictureExt(file)) {
            const TVerdict verdict = AddPictures::Ask(FileTypeQuestion(file), noMoreFileTypeQuestions, Asker);
            if (verdict == TVerdict::Abort)
                return;
            if (verdict == TVerdict::Skip)
                add = false;
        }
        if (add)
            Target.AddPictureItem(file);
    }
}

} // namespace AddPictures
