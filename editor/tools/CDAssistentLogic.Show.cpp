// The runs of the compilation assistant: the CD folder of a show and of a
// show list, and copying the ticked pictures.

#include "editor/tools/CDAssistentLogic.h"

#include "core/PictureLoading.h"
#include "core/Tools.h"
#include "core/VisteloList.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/CDAssistentTexts.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"

namespace CDAssistentLogic {

using namespace CDAssistentTexts;

namespace {

void TellDone(const std::string& Text, int HelpContext)
{
    ui::MessageDlg(Text, mtInformation, {mbOK, mbHelp}, HelpContext);
}

} // namespace

int TCDFolderMaker::CopyLogoPicture(const TVistelo& Show, const std::string& ShowFile, TVistelo& Target,
                                    std::string& ErrorText)
{
    if (Show.Logo != lUserLogo)
        return 0;
    const std::string name = copier_.Copy(PictureLoading::RelFileName(Show.LogoFilename, ShowFile));
    if (!name.empty()) {
        Target.LogoFilename = name;
        return 0;
    }
    ErrorText += FillIn(LogoNotCopied, {DisplayName(Show.LogoFilename, ShowFile)});
    return 1;
}

int TCDFolderMaker::CopyBackgroundSongs(const TVistelo& Show, const std::string& ShowFile, TVistelo& Target,
                                        std::string& ErrorText)
{
    if (!Show.PlayMusic || Show.MusicFileNames.empty())
        return 0;
    std::string copiedSongs;
    std::string failedSongs;
    const int count = Tools::CountStrNr(Show.MusicFileNames);
    for (int i = 0; i < count; ++i) {
        const std::string song = Tools::GetStrNr(Show.MusicFileNames, i);
        const std::string name = copier_.Copy(PictureLoading::RelFileName(song, ShowFile));
        if (!name.empty())
            copiedSongs += name + "\r\n";
        else
            failedSongs += (failedSongs.empty() ? "" : ", ") + song;
    }
    Target.MusicFileNames = copiedSongs;
    if (failedSongs.empty())
        return 0;
    ErrorText += FillIn(SongsNotCopied, {failedSongs});
    return 1;
}

TCDResult TCDFolderMaker::CreateShowCD(const TVistelo& Show, bool SingleShow, const std::string& ShowFile,
                                       bool CopySounds, bool CopyAll)
{
    TCDResult result;
    const std::string showName = rtl::ExtractFileName(ShowFile);
    if (bars_.Overall) {
        bars_.Overall->SetPosition(0);
        bars_.Overall->SetMax(SingleShow ? static_cast<int>(PlayerFiles.size()) + 1 : 0);
    }

    const std::string picturesFolder = rtl::ExcludeTrailingPathDelimiter(PicturesDir());
    if (!ForceFolder(PicturesDir())) {
        result.Status = cdsFailed;
        if (SingleShow)
            ui::MessageDlg(FillIn(FolderNotCreated, {picturesFolder}), mtError, {mbOK}, 0);
        else
            result.ErrorText = FillIn(FolderNotCreatedAdded, {picturesFolder});
        return result;
    }

    TConfigVistelo target;
    target.AssignConfig(Show);
    std::string& errors = result.ErrorText;
    // Every kind of failure adds to the count: a failed logo must not be
    // forgotten once the pictures were copied.
    result.Failures += CopyLogoPicture(Show, ShowFile, target, errors);
    int toCopy = 0;
    for (int i = 0; i < Show.Count; ++i)
        toCopy += CopyAll || Show.GetPicInfo(i)->ShowImage ? 1 : 0;
    AddToOverallMax(toCopy);
    result.Failures += CopyShowPictures(Show, ShowFile, !CopyAll, CopySounds, copier_, &target, bars_.Overall);
    result.Failures += CopyBackgroundSongs(Show, ShowFile, target, errors);
    if (Fonts && Fonts->Count() > 0 && !CopyUsedFonts(&target)) {
        ++result.Failures;
        errors += FontsNotCopied;
    }
    const std::string hint = BurnHint();

    bool ok = !SingleShow || CopyPlayerFiles(errors);
    if (ok) {
        ok = target.SaveToFile(PicturesDir() + showName);
        if (!ok)
            errors += FillIn(ShowNotSaved, {PicturesDir() + showName, picturesFolder});
    }
    if (ok && SingleShow)
        ok = WriteAutorunInf(showName, errors) && CopyStartProgram(errors);

    const std::string failures = std::to_string(result.Failures);
    const std::string pictures = std::to_string(Show.Count);
    // A show of a list gets the player ini once from the list's run, which
    // alone makes the player folder.
    if (SingleShow)
        VisteloSetup::WritePlayerIni(PlayerDir() + PlayerIni);
    if (ok) {
        result.Status = result.Failures ? cdsDoneWithFailures : cdsDone;
        if (SingleShow)
            TellDone(result.Failures ? FillIn(DoneWithFailures, {target_, failures, pictures, hint, errors})
                                     : FillIn(Done, {Tools::DirName(target_), hint, errors}),
                     HelpDone);
    } else {
        result.Status = cdsFailed;
        if (SingleShow)
            TellDone(result.Failures ? FillIn(FailedWithFailures, {target_, failures, pictures, errors})
                                     : FillIn(Failed, {Tools::DirName(target_), errors}),
                     HelpFailed);
    }
    return result;
}

bool TCDFolderMaker::CreateListCD(const TVisteloList& List)
{
    TVisteloList cdList;
    cdList.AssignConfig(&List);
    if (!ForceFolder(PicturesDir())) {
        ui::MessageDlg(ListFolderNotCreated, mtError, {mbOK}, 0);
        return false;
    }
    int problems = 0;
    std::string errors;
    if (Fonts && Fonts->Count() > 0 && !CopyUsedFonts(nullptr)) {
        ++problems;
        errors += FontsNotCopied;
    }
    for (TListItem* node = List.Items->Head; node; node = node->NextItem) {
        const auto* item = dynamic_cast<const TVisteloListItem*>(node);
        if (!item)
            continue;
        const std::string showFile = PictureLoading::RelFileName(item->ShowFile, List.FileName);
        TConfigVistelo show;
        if (showFile.empty() || show.LoadFromFile(showFile, false, false) != dlrOK)
            continue; // a show that does not load is left out without a word
        const TCDResult result = CreateShowCD(show, false, showFile, true, false);
        if (result.Status != cdsDone) {
            // A show left out counts as a problem too, with its reason.
            errors += FillIn(ListShowProblems, {showFile, std::to_string(result.Failures), result.ErrorText});
            ++problems;
        }
        if (result.Status == cdsFailed)
            continue;
        auto entry = std::make_unique<TVisteloListItem>();
        entry->Assign(*item);
        entry->ShowFile = rtl::ExtractFileName(showFile);
        cdList.Items->AddItem(std::move(entry));
    }
    const std::string listName = rtl::ExtractFileName(List.FileName);
    cdList.FileName = PicturesDir() + listName;
    cdList.SaveToFile(cdList.FileName);

    const bool playerReady = CopyPlayerFiles(errors);
    VisteloSetup::WritePlayerIni(PlayerDir() + PlayerIni);
    const bool starts = playerReady && WriteAutorunInf(listName, errors) && CopyStartProgram(errors);
    const std::string hint = BurnHint() + "\r\r";
    if (!starts)
        TellDone(FillIn(Failed, {Tools::DirName(target_), errors}), HelpFailed);
    else if (problems)
        TellDone(FillIn(ListDoneWithProblems, {target_, std::to_string(problems), hint, errors}), HelpDone);
    else
        TellDone(FillIn(Done, {Tools::DirName(target_), hint, errors}), HelpDone);
    return true;
}

void CopyTickedPictures(const TVistelo& Show, const std::string& ShowFile, const std::string& Folder, bool CopySounds,
                        bool CreateShow, TCDBars Bars)
{
    int ticked = 0;
    for (int i = 0; i < Show.Count; ++i)
        ticked += Show.GetPicInfo(i)->ShowImage ? 1 : 0;
    if (Bars.Overall) {
        Bars.Overall->SetPosition(0);
        Bars.Overall->SetMax(ticked);
    }
    std::unique_ptr<TConfigVistelo> target;
    if (CreateShow) {
        target = std::make_unique<TConfigVistelo>();
        target->AssignConfig(Show);
        target->MusicFileNames.clear();
        target->Logo = lStdLogo;
    }
    TFileCopier copier(Folder, Bars.File);
    int failures = CopyShowPictures(Show, ShowFile, true, CopySounds, copier, target.get(), Bars.Overall);
    // A show that could not be written is one more file that did not arrive.
    if (target && !target->SaveToFile(Tools::DirName(Folder) + rtl::ExtractFileName(ShowFile)))
        ++failures;
    ui::MessageDlg(failures ? FillIn(CopyDoneWithFailures, {Folder, std::to_string(failures)})
                            : FillIn(CopyDone, {Folder}),
                   mtInformation, {mbOK}, 0);
}

} // namespace CDAssistentLogic
