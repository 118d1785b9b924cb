#include "launchers/rollavin/PlayFromCommandLine.h"

#include "core/PlayerPackageInterface.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"

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

std::string OpenShowDialog(const std::string& HomeFolder)
{
    ui::TDialogRequest request;
    request.Kind = "TOpenDialog";
    request.Caption = "Vistelo öffnen";
    // A file dialog shows the folder it starts in and the filter it offers.
    request.Text = "InitialDir=" + HomeFolder +
                   "\nDefaultExt=vsf\nFilter=Vistelo-Dateien|*.vsf;*.vsl|Vistelos (*.vsf)|*.vsf|"
                   "Vistelo-Listen (*.vsl)|*.vsl";
    request.Buttons = {{"Öffnen", mrOk}, {"Abbrechen", mrCancel}};
    request.DefaultResult = mrOk;
    request.CancelResult = mrCancel;
    // The UI layer has no file dialog yet: unscripted, the dialog is cancelled.
    const ui::TDialogAnswer answer = ui::RunDialog(request, [] { return ui::TDialogAnswer{mrCancel, {}}; });
    return answer.Result == mrOk ? answer.Value : std::string();
}

void PlayFromCommandLine(const std::vector<std::string>& Args, const std::string& HomeFolder,
                         const TPlayerStarts& Starts)
{
    std::string fileName = Args.empty() ? std::string() : Args.front();
    if (fileName.empty())
        fileName = OpenShowDialog(HomeFolder);
    if (fileName.empty() || !rtl::FileExists(fileName)) {
        ui::ShowMessage("Datei \"" + fileName + "\" nicht gefunden!");
        return;
    }
    if (IsShowListFile(fileName))
        Starts.List(fileName);
    else
        Starts.Show(fileName);
}

} // namespace PlayFromCommandLine
