#include "editor/app/EditorStart.h"

#include "core/Setup.h"
#include "editor/app/WinBackground.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/ShellApi.h"
#include "widgets/Parameters.h"

namespace EditorStart {

TStartKind StartKind()
{
    if (Parameters::Param('S'))
        return skPlayer;
    if (Parameters::Param('B'))
        return skWallpaper;
    return skEditor;
}

std::vector<std::string> PlayerArguments(const std::string& ProgramFolder, const std::string& ProgramName)
{
    std::vector<std::string> arguments{ProgramFolder + ProgramName};
    for (int i = 1; i <= Parameters::FileNameCount(); ++i)
        arguments.push_back(Parameters::GetFileName(i));
    return arguments;
}

void RunPlayerProgram(const std::string& ProgramName)
{
    ui::Launch({PlayerArguments(rtl::ProgramDir(), ProgramName), Setup::HomeDir});
}

void SetRandomWallpaperFromShow(const std::string& FileName) { EditorWallpaper::SetRandomWallpaperFromShow(FileName); }

} // namespace EditorStart
