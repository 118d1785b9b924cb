#include "player/PlayerSetup.h"

#include "core/Setup.h"
#include "player/Preview.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"

namespace PlayerSetup {

using namespace Setup;

void ReadPlayerIni(const std::string& FileName)
{
    TIniFile ini(FileName);
    const std::string section = "Player";
    SmoothScale = ini.ReadBool(section, "SmoothScale", SmoothScale);
    ShowErrorInShow = ini.ReadBool(section, "ShowErrorInShow", ShowErrorInShow);
    DontShowInfoBtn = ini.ReadBool(section, "DontShowInfoBtn", DontShowInfoBtn);
    ForceUseInternalMP3Player = ini.ReadBool(section, "ForceUseInternalMP3Player", ForceUseInternalMP3Player);
}

std::string ChoosePlayerFilename()
{
    const std::string initialDir = VisteloFilename.empty() ? HomeDir : rtl::ExtractFilePath(VisteloFilename);
    ui::TDialogRequest request;
    request.Kind = "TOpenDialog";
    request.Caption = "Vistelo öffnen";
    // A file dialog shows the folder it starts in and the filter it offers.
    request.Text = "InitialDir=" + initialDir + "\nDefaultExt=vsf\nFilter=Vistelo-Dateien (*.vsf)|*.vsf";
    request.Buttons = {{"Öffnen", mrOk}, {"Abbrechen", mrCancel}};
    request.DefaultResult = mrOk;
    request.CancelResult = mrCancel;
    // The UI layer has no file dialog yet: unscripted, the dialog is cancelled.
    const ui::TDialogAnswer answer = ui::RunDialog(request, [] { return ui::TDialogAnswer{mrCancel, {}}; });
    return answer.Result == mrOk ? answer.Value : std::string();
}

void PreviewImage(TPicInfoObject* Pic)
{
    auto* form = new TPreviewForm(Application);
    form->Execute(Pic);
}

} // namespace PlayerSetup
