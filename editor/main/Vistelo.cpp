// The editor program: "/S" hands the show to the stand-alone player, "/B"
// asks for a wallpaper from a show, anything else opens the main window with
// the first file name of the command line as the show to open.

#include "editor/app/About.h"
#include "editor/app/Config.h"
#include "editor/app/EditorStart.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "player/LogoForm.h"
#include "widgets/Parameters.h"

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    rtl::Randomize();
    Application->Initialize();
    Application->Title = "Ostrelind Vistelo";
    Parameters::SetPlatformArguments(std::vector<std::string>(argv, argv + argc));
    Parameters::UseOwnParameterParser(true);
    try {
        switch (EditorStart::StartKind()) {
        case EditorStart::skPlayer: EditorStart::RunPlayerProgram(EditorStart::PlayerProgramName); break;
        case EditorStart::skWallpaper:
            EditorStart::SetRandomWallpaperFromShow(Parameters::GetParamFileName('B'));
            break;
        case EditorStart::skEditor: {
            TAAForm* form = nullptr;
            Application->CreateForm(form);
            if (Parameters::FileNameCount() >= 1)
                form->CommandLineShow = Parameters::GetFileName(1);
            About::LogoWindow() = [](const std::string& FileName) {
                auto* logo = new TLogoForm(Application);
                logo->LogoTimer->SetEnabled(false);
                logo->Execute(FileName, -1);
            };
            form->ShowLogo = [](const std::string& FileName, int Time) {
                // The logo window frees itself when it closes.
                auto* logo = new TLogoForm(Application);
                logo->Execute(FileName, Time);
            };
            Application->Run();
            delete form;
            break;
        }
        }
    } catch (const std::exception& e) {
        Application->ShowException(e);
        Parameters::UseOwnParameterParser(false);
        return 1;
    }
    Parameters::UseOwnParameterParser(false);
    return 0;
}
