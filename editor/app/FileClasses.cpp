#include "editor/app/FileClasses.h"

#include "editor/app/EditorStart.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Registry.h"
#include "platform/ui/ShellApi.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <sstream>

namespace FileClasses {

namespace {

std::string Quoted(const std::string& Text) { return "\"" + Text + "\""; }

// A program of PATH, as its full file name; "" when it is not installed.
std::string FindOnPath(const std::string& Program)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string file = rtl::IncludeTrailingPathDelimiter(folder) + Program;
        if (!folder.empty() && ::access(file.c_str(), X_OK) == 0)
            return file;
    }
    return {};
}

// A value of a desktop entry: backslashes doubled, as the format escapes them.
std::string EntryValue(const std::string& Text)
{
    std::string out;
    for (char c : Text) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

std::string MimePackage()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"") +
        ShowMimeType +
        "\">\n"
        "    <comment>Vistelo</comment>\n"
        "    <glob pattern=\"*.vsf\"/>\n"
        "  </mime-type>\n"
        "  <mime-type type=\"" +
        ShowListMimeType +
        "\">\n"
        "    <comment>Vistelo-Liste</comment>\n"
        "    <glob pattern=\"*.vsl\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
}

std::string DesktopEntry(const std::string& Name, const std::string& Program, const std::string& MimeTypes)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
        Name + "\nExec=" + EntryValue(QuoteExecArgument(Program)) + " %f\nMimeType=" + MimeTypes +
        "\nTerminal=false\nNoDisplay=true\n";
}

void WriteFile(const std::string& FileName, const std::string& Bytes)
{
    rtl::ForceDirectories(rtl::ExtractFileDir(FileName));
    rtl::WriteFileAtomically(FileName, Bytes);
}

void RunWhereInstalled(const std::string& Program, const std::string& Folder)
{
    const std::string file = FindOnPath(Program);
    if (!file.empty())
        ui::Launch({{file, Folder}, {}});
}

} // namespace

std::vector<TClassKey> ClassKeys(const std::string& EditorPath, const std::string& HomeDir)
{
    const std::string player = HomeDir + EditorStart::PlayerProgramName;
    const std::string openCommand = EditorPath + " " + Quoted("%1");
    const std::string backgroundCommand = EditorPath + " " + Quoted("-b%1");
    const std::string playCommand = player + " " + Quoted("%1");
    return {
        {".vsf", "VisteloFile"},
        {".vsl", "VisteloListFile"},
        {".HTMLPreset", "HTMLPreset"},
        {"HTMLPreset", "HTML-Einstellungen"},
        {"VisteloFile", "Vistelo"},
        {"VisteloFile\\Shell\\Open\\Command", openCommand},
        {"VisteloFile\\Shell\\Background", "Zufälliges Hintergrundbild"},
        {"VisteloFile\\Shell\\Background\\Command", backgroundCommand},
        {"VisteloFile\\Shell\\Show", "Vistelo abspielen"},
        {"VisteloFile\\Shell\\Show\\Command", playCommand},
        {"VisteloListFile", "Vistelo-Liste"},
        {"VisteloListFile\\Shell\\Open", "Vistelo-Liste abspielen"},
        {"VisteloListFile\\Shell\\Open\\Command", playCommand},
        {"VisteloFile\\DefaultIcon", EditorPath + ",0"},
        {"VisteloListFile\\DefaultIcon", EditorPath + ",1"},
        {"HTMLPreset\\DefaultIcon", EditorPath + ",2"},
    };
}

void RegisterRegistryClasses(const std::string& EditorPath, const std::string& HomeDir)
{
    TRegistry registry;
    try {
        registry.SetRootKey(HKEY_CLASSES_ROOT);
        for (const TClassKey& entry : ClassKeys(EditorPath, HomeDir)) {
            if (!registry.OpenKey("\\" + entry.Key, true))
                return;
            registry.WriteString("", entry.Value);
            registry.CloseKey();
        }
    } catch (const std::exception&) {
        // Without rights on the classes the editor simply stays unregistered.
    }
}

std::string UserDataHome()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome)
        return rtl::IncludeTrailingPathDelimiter(dataHome);
    const char* home = std::getenv("HOME");
    return rtl::IncludeTrailingPathDelimiter(home ? home : "/tmp") + ".local/share/";
}

std::string MimePackageFile(const std::string& DataHome) { return DataHome + "mime/packages/vistelo.xml"; }
std::string EditorDesktopFile(const std::string& DataHome) { return DataHome + "applications/vistelo.desktop"; }
std::string PlayerDesktopFile(const std::string& DataHome)
{
    return DataHome + "applications/vistelo-rollavin.desktop";
}

void RegisterDesktopClasses(const std::string& EditorPath, const std::string& HomeDir, const std::string& DataHome)
{
    try {
        WriteFile(MimePackageFile(DataHome), MimePackage());
        WriteFile(EditorDesktopFile(DataHome), DesktopEntry("Vistelo", EditorPath, std::string(ShowMimeType) + ";"));
        WriteFile(PlayerDesktopFile(DataHome),
                  DesktopEntry("Vistelo abspielen", HomeDir + EditorStart::PlayerProgramName,
                               std::string(ShowMimeType) + ";" + ShowListMimeType + ";"));
    } catch (const std::exception&) {
        return;
    }
    RunWhereInstalled("update-mime-database", DataHome + "mime");
    RunWhereInstalled("update-desktop-database", DataHome + "applications");
}

void RegisterFileClasses(const std::string& EditorPath, const std::string& HomeDir)
{
    RegisterRegistryClasses(EditorPath, HomeDir);
    RegisterDesktopClasses(EditorPath, HomeDir, UserDataHome());
}

std::string QuoteExecArgument(const std::string& Argument)
{
    std::string out = "\"";
    for (char c : Argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace FileClasses
