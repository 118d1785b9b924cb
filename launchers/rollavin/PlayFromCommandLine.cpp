#include "launchers/rollavin/PlayFromCommandLine.h"

#include "core/PlayerPackageInterface.h"
#include "core/ShowStartAhead.h"
#include "platform/rtl/Files.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScreenProbe.h"

#include <algorithm>
#include <cctype>

namespace PlayFromCommandLine {

TPlayerStarts PackageStarts()
{
    return {PlayerPackageInterface::VisteloStartFilename, PlayerPackageInterface::VisteloListStartFilename};
}

bool IsShowListFile(const std::string& FileName)
{
    std::string extension = rtl::ExtractFileExt(FileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".VSL";
}

void PrepareOpenShowDialog(TOpenDialog& Dialog, const std::string& HomeFolder)
{
    Dialog.Title = "Vistelo öffnen";
    Dialog.DefaultExt = "vsf";
    Dialog.Filter = "Vistelo-Dateien|*.vsf;*.vsl|Vistelos (*.vsf)|*.vsf|Vistelo-Listen (*.vsl)|*.vsl";
    Dialog.Options = TOpenOptions{ofHideReadOnly, ofFileMustExist, ofEnableSizing};
    Dialog.InitialDir = HomeFolder;
}

std::string OpenShowDialog(const std::string& HomeFolder)
{
    TOpenDialog dialog(nullptr);
    PrepareOpenShowDialog(dialog, HomeFolder);
    return dialog.Execute() ? dialog.FileName : std::string();
}

TShowPreparedEarly::TShowPreparedEarly(const std::vector<std::string>& Args)
{
    if (Args.empty() || IsShowListFile(Args.front()) || !rtl::FileExists(Args.front()))
        return;
    fileName_ = Args.front();
    ShowStartAhead::Prepare(fileName_, ui::PrimaryScreenSizeBeforeStart());
}

TShowPreparedEarly::~TShowPreparedEarly()
{
    if (!fileName_.empty())
        ShowStartAhead::Claim(fileName_);
}

int PlayFromCommandLine(const std::vector<std::string>& Args, const std::string& HomeFolder,
                        const TPlayerStarts& Starts)
{
    std::string fileName = Args.empty() ? std::string() : Args.front();
    if (fileName.empty())
        fileName = OpenShowDialog(HomeFolder);
    // A folder is there, just not a show: the player reports it as one that
    // does not load.
    if (fileName.empty() || !(rtl::FileExists(fileName) || rtl::DirectoryExists(fileName))) {
        ui::ShowMessage("Datei \"" + fileName + "\" nicht gefunden!");
        return 1;
    }
    const bool played = IsShowListFile(fileName) ? Starts.List(fileName) : Starts.Show(fileName);
    return played ? 0 : 1;
}

} // namespace PlayFromCommandLine
