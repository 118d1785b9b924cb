// The layout of a CD folder, the autorun file, the player's files and the
// copier that fills the pictures folder.

#include "editor/tools/CDAssistentLogic.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <filesystem>

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/Tools.h"
#include "core/VisteloNPics.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/CDAssistentTexts.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Forms.h"

namespace CDAssistentLogic {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

int ClippedToInt(std::int64_t value) { return static_cast<int>(std::min<std::int64_t>(value, INT_MAX)); }

// Drive letters and backslashes of names stored on another system.
std::string NativeName(const std::string& name)
{
    std::string native = name;
    std::replace(native.begin(), native.end(), '\\', '/');
    if (native.size() >= 2 && std::isalpha(static_cast<unsigned char>(native[0])) && native[1] == ':')
        native.erase(0, 2);
    return native;
}

// Any entry counts: what stands where a file is named is the one meant.
bool Exists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

// CopyFileKeepDate with the file's progress on the bar (when there is one).
bool CopyWithBar(const std::string& source, const std::string& dest, TVexaProgressBar* bar)
{
    VisteloSetup::TCopyProgress progress;
    if (bar) {
        progress = [bar](std::int64_t copied, std::int64_t size) {
            if (copied == 0)
                bar->SetMax(ClippedToInt(size));
            bar->SetPosition(ClippedToInt(copied));
        };
    }
    const bool copied = VisteloSetup::CopyFileKeepDateReporting(source, dest, progress);
    if (bar)
        bar->SetPosition(0);
    return copied;
}

} // namespace

std::string PlayerFileList()
{
    std::string list;
    for (const char* file : PlayerFiles)
        list += (list.empty() ? "" : ", ") + std::string(file);
    return list;
}

std::string AutorunText(const std::string& ShowFileName)
{
    const std::string player = std::string(PlayerFolder) + "\\" + PlayerFiles[0];
    return "[autorun]\r\nOPEN=" + player + " \"" + PicturesFolder + "\\" + ShowFileName + "\"\r\nICON=" + player +
        ",0\r\n";
}

std::string FillIn(std::string_view Pattern, std::initializer_list<std::string> Values)
{
    std::string text;
    auto value = Values.begin();
    for (size_t i = 0; i < Pattern.size(); ++i) {
        const bool placeholder = Pattern[i] == '%' && i + 1 < Pattern.size() &&
            (Pattern[i + 1] == 's' || Pattern[i + 1] == 'd');
        if (placeholder && value != Values.end()) {
            text += *value++;
            ++i;
        } else {
            text += Pattern[i];
        }
    }
    return text;
}

std::string DisplayName(const std::string& Name, const std::string& Base)
{
    const std::string found = PictureLoading::RelFileName(Name, Base);
    return found.empty() ? Name : found;
}

bool ForceFolder(const std::string& Folder) { return rtl::ForceDirectories(Folder) && rtl::DirectoryExists(Folder); }

std::string ResolveInShowFolder(const std::string& Name, const std::string& ShowFile)
{
    if (Name.empty())
        return {};
    const std::string native = NativeName(Name);
    const std::string showFolder = rtl::ExtractFilePath(NativeName(ShowFile));
    if (native.front() == '/') {
        if (Exists(native))
            return native;
    } else if (!showFolder.empty() && Exists(showFolder + native)) {
        return showFolder + native;
    }
    // A show moved together with its pictures: the file beside the show.
    const std::string besideShow = showFolder.empty() ? std::string() : showFolder + rtl::ExtractFileName(native);
    return Exists(besideShow) ? besideShow : std::string();
}

// --- TFileCopier ---

TFileCopier::TFileCopier(std::string Folder, TVexaProgressBar* FileBar)
    : folder_(Tools::DirName(Folder)), fileBar_(FileBar)
{ }

std::string TFileCopier::NameFor(const std::string& Source)
{
    std::string name = rtl::ExtractFileName(Source);
    while (takenNames_.count(Lower(name))) {
        const std::string ext = rtl::ExtractFileExt(name);
        name = name.substr(0, name.size() - ext.size()) + "_" + ext;
    }
    return name;
}

std::string TFileCopier::Copy(const std::string& Source)
{
    if (Source.empty())
        return {};
    if (const auto known = copied_.find(Source); known != copied_.end())
        return known->second;
    const std::string name = NameFor(Source);
    if (!CopyWithBar(Source, folder_ + name, fileBar_))
        return {};
    copied_.emplace(Source, name);
    takenNames_.insert(Lower(name));
    return name;
}

int CopyShowPictures(const TVistelo& Show, const std::string& ShowFile, bool TickedOnly, bool CopySounds,
                     TFileCopier& Copier, TVistelo* Target, TVexaProgressBar* Overall)
{
    int failures = 0;
    for (int i = 0; i < Show.Count; ++i) {
        const TPicInfoObject* entry = Show.GetPicInfo(i);
        if (!entry || (TickedOnly && !entry->ShowImage))
            continue;
        const std::string name = Copier.Copy(PictureLoading::RelFileName(entry->FileName, ShowFile));
        std::string soundName = entry->Sound;
        bool copied = !name.empty();
        if (copied && CopySounds && !entry->Sound.empty()) {
            soundName = Copier.Copy(PictureLoading::RelFileName(entry->Sound, ShowFile));
            copied = !soundName.empty();
        }
        if (!copied)
            ++failures;
        // A picture that arrived is listed; a sound that did not is dropped
        // rather than left naming a file the folder does not have.
        if (Target && !name.empty()) {
            TPicInfoObject copy;
            copy.Assign(entry);
            copy.FileName = name;
            copy.Sound = soundName;
            Target->AddDia(copy);
        }
        if (Overall)
            Overall->SetPosition(Overall->Position() + 1);
        if (Application)
            Application->ProcessMessages();
    }
    return failures;
}

// --- TCDFolderMaker: the player, the autorun file, the start program ---

TCDFolderMaker::TCDFolderMaker(const std::string& Target, TCDBars Bars)
    : HomeDir(Setup::HomeDir), target_(rtl::ExcludeTrailingPathDelimiter(Target)), bars_(Bars),
      copier_(PicturesDir(), Bars.File)
{ }

std::string TCDFolderMaker::PicturesDir() const { return Tools::DirName(target_) + PicturesFolder + "/"; }

std::string TCDFolderMaker::PlayerDir() const { return Tools::DirName(target_) + PlayerFolder + "/"; }

std::string TCDFolderMaker::BurnHint()
{
    return FillIn(CDAssistentTexts::BurnHint, {CDAssistentTexts::BurningProgram});
}

void TCDFolderMaker::StepOverall()
{
    if (bars_.Overall)
        bars_.Overall->SetPosition(bars_.Overall->Position() + 1);
}

void TCDFolderMaker::AddToOverallMax(int Count)
{
    if (bars_.Overall)
        bars_.Overall->SetMax(bars_.Overall->Max() + Count);
}

bool TCDFolderMaker::CopyPlayerFiles(std::string& ErrorText)
{
    const std::string playerDir = PlayerDir();
    if (!ForceFolder(playerDir)) {
        ErrorText += FillIn(CDAssistentTexts::FolderNotCreatedAdded, {rtl::ExcludeTrailingPathDelimiter(playerDir)});
        return false;
    }
    const std::string home = Tools::DirName(HomeDir);
    for (const char* file : PlayerFiles) {
        const bool copied = CopyWithBar(home + file, playerDir + file, bars_.File);
        StepOverall();
        if (!copied) {
            ErrorText += FillIn(CDAssistentTexts::PlayerFilesNotCopied,
                                {rtl::ExcludeTrailingPathDelimiter(playerDir), PlayerFileList(), home});
            return false;
        }
    }
    return true;
}

bool TCDFolderMaker::WriteAutorunInf(const std::string& ShowFileName, std::string& ErrorText)
{
    const std::string path = Tools::DirName(target_) + AutorunFileName;
    const std::string text = AutorunText(ShowFileName);
    bool written = false;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        written = std::fclose(file) == 0 && written;
    }
    if (!written) {
        ErrorText += FillIn(CDAssistentTexts::FileNotCreated, {path});
        rtl::DeleteFile(path);
    }
    return written;
}

bool TCDFolderMaker::CopyStartProgram(std::string& ErrorText)
{
    const std::string home = Tools::DirName(HomeDir);
    const bool copied = CopyWithBar(home + StartProgram, Tools::DirName(target_) + StartProgram, bars_.File);
    StepOverall();
    if (!copied)
        ErrorText += FillIn(CDAssistentTexts::PlayerFilesNotCopied, {target_, StartProgram, home});
    return copied;
}

} // namespace CDAssistentLogic
