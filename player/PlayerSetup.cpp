#include "player/PlayerSetup.h"

#include "core/Setup.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Controls.h"
#include "player/Preview.h"

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

void PreparePlayerOpenDialog(TOpenDialog& Dialog)
{
    Dialog.Title = "Vistelo öffnen";
    Dialog.DefaultExt = "vsf";
    Dialog.Filter = "Vistelo-Dateien (*.vsf)|*.vsf";
    Dialog.Options = TOpenOptions{ofHideReadOnly, ofFileMustExist, ofEnableSizing};
    Dialog.InitialDir = VisteloFilename.empty() ? HomeDir : rtl::ExtractFilePath(VisteloFilename);
}

std::string ChoosePlayerFilename()
{
    TOpenDialog dialog(nullptr);
    PreparePlayerOpenDialog(dialog);
    return dialog.Execute() ? dialog.FileName : std::string();
}

void PreviewImage(TPicInfoObject* Pic)
{
    auto* form = new TPreviewForm(Application);
    form->Execute(Pic);
}

} // namespace PlayerSetup
