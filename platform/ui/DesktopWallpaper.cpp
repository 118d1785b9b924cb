#include "platform/ui/DesktopWallpaper.h"

#include "platform/ui/RootPixmap.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sstream>

extern char** environ;

namespace ui {

namespace {

std::string Lower(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char c) { return std::tolower(c); });
    return Text;
}

bool EndsWith(const std::string& Text, const std::string& Tail)
{
    return Text.size() >= Tail.size() && Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
}

std::vector<TWallpaperCommand> MateCommands(const TWallpaperRequest& Request)
{
    static constexpr std::array<const char*, 3> options{"stretched", "centered", "scaled"};
    const std::string schema = "org.mate.background";
    return {
        {{"gsettings", "set", schema, "picture-filename", Request.FileName}, false},
        {{"gsettings", "set", schema, "picture-options", options[static_cast<int>(Request.Style)]}, false},
    };
}

std::vector<TWallpaperCommand> GsettingsCommands(const std::string& Schema, const TWallpaperRequest& Request)
{
    static constexpr std::array<const char*, 3> options{"stretched", "centered", "scaled"};
    const std::string uri = FileUri(Request.FileName);
    return {
        {{"gsettings", "set", Schema, "picture-uri", uri}, false},
        // Only newer versions keep a second picture for the dark style.
        {{"gsettings", "set", Schema, "picture-uri-dark", uri}, true},
        {{"gsettings", "set", Schema, "picture-options", options[static_cast<int>(Request.Style)]}, false},
    };
}

// A text as a string literal of the desktop script.
std::string ScriptString(const std::string& Text)
{
    std::string quoted = "\"";
    for (char c : Text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::vector<TWallpaperCommand> PlasmaCommands(const TWallpaperRequest& Request)
{
    // Fill modes of the image wallpaper: stretch, centre without scaling, fit.
    static constexpr std::array<int, 3> fillModes{0, 6, 1};
    const std::string script = "var all = desktops();"
                               "for (var i = 0; i < all.length; i++) {"
                               " var d = all[i];"
                               " d.wallpaperPlugin = \"org.kde.image\";"
                               " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                               " d.writeConfig(\"Image\", " +
        ScriptString(FileUri(Request.FileName)) +
        ");"
        " d.writeConfig(\"FillMode\", " +
        std::to_string(fillModes[static_cast<int>(Request.Style)]) +
        ");"
        "}";
    return {{{"dbus-send", "--session", "--dest=org.kde.plasmashell", "--type=method_call", "/PlasmaShell",
              "org.kde.PlasmaShell.evaluateScript", "string:" + script},
             false}};
}

std::vector<TWallpaperCommand> XfceCommands(const TWallpaperRequest& Request,
                                            const std::vector<std::string>& Properties)
{
    // Image styles of the backdrop: stretched, centred, scaled.
    static constexpr std::array<int, 3> styles{3, 1, 4};
    const std::string style = std::to_string(styles[static_cast<int>(Request.Style)]);
    std::vector<std::string> images;
    for (const std::string& property : Properties)
        if (EndsWith(property, "/last-image"))
            images.push_back(property);
    if (images.empty())
        images.push_back("/backdrop/screen0/monitor0/workspace0/last-image");
    std::vector<TWallpaperCommand> commands;
    for (const std::string& image : images) {
        const std::string base = image.substr(0, image.size() - std::string("last-image").size());
        commands.push_back(
            {{"xfconf-query", "-c", "xfce4-desktop", "-p", image, "-n", "-t", "string", "-s", Request.FileName},
             false});
        commands.push_back(
            {{"xfconf-query", "-c", "xfce4-desktop", "-p", base + "image-style", "-n", "-t", "int", "-s", style},
             true});
    }
    return commands;
}

std::vector<TWallpaperCommand> RootWindowCommands(const TWallpaperRequest& Request,
                                                  const std::function<bool(const std::string&)>& HasProgram)
{
    const int style = static_cast<int>(Request.Style);
    const std::string& file = Request.FileName;
    if (HasProgram("xwallpaper")) {
        static constexpr std::array<const char*, 3> flags{"--stretch", "--center", "--maximize"};
        return {{{"xwallpaper", flags[style], file}, false}};
    }
    if (HasProgram("feh")) {
        static constexpr std::array<const char*, 3> flags{"--bg-scale", "--bg-center", "--bg-max"};
        return {{{"feh", "--no-fehbg", flags[style], file}, false}};
    }
    if (HasProgram("hsetroot")) {
        static constexpr std::array<const char*, 3> flags{"-fill", "-center", "-full"};
        return {{{"hsetroot", flags[style], file}, false}};
    }
    if (HasProgram("display"))
        return {{{"display", "-window", "root", file}, false}};
    return {};
}

bool OnPath(const std::string& Program)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue;
        const std::string candidate = folder + "/" + Program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

// Runs the program with its arguments and waits for it; true when it ended
// with status 0. With Output its standard output is collected there.
bool Run(const std::vector<std::string>& Args, std::string* Output = nullptr)
{
    std::vector<char*> argv;
    for (const std::string& arg : Args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (Output && ::pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (Output) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    }
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (Output) {
        ::close(pipeFds[1]);
        if (spawned == 0) {
            char buffer[4096];
            ssize_t got = 0;
            while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
                if (got > 0)
                    Output->append(buffer, static_cast<std::size_t>(got));
        }
        ::close(pipeFds[0]);
    }
    if (spawned != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> ListXfceProperties()
{
    std::string listing;
    if (!Run({"xfconf-query", "-c", "xfce4-desktop", "-l"}, &listing))
        return {};
    std::vector<std::string> properties;
    std::stringstream lines(listing);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty())
            properties.push_back(line);
    return properties;
}

bool SetWithDesktop(const TWallpaperRequest& Request)
{
    const char* current = std::getenv("XDG_CURRENT_DESKTOP");
    const TDesktopKind desktop = DesktopKindFrom(current ? current : "");
    if (desktop == TDesktopKind::PlainX && SetRootPixmap(Request))
        return true;
    const std::vector<std::string> xfce = desktop == TDesktopKind::Xfce ? ListXfceProperties()
                                                                        : std::vector<std::string>{};
    const std::vector<TWallpaperCommand> commands = WallpaperCommands(desktop, Request, xfce, OnPath);
    if (commands.empty())
        return false;
    for (const TWallpaperCommand& command : commands)
        if (!Run(command.Args) && !command.Optional)
            return false;
    return true;
}

std::mutex& SetterLock()
{
    static std::mutex lock;
    return lock;
}

std::atomic<bool>& LastRefused()
{
    static std::atomic<bool> refused{false};
    return refused;
}

TWallpaperSetter& CurrentSetter()
{
    static TWallpaperSetter setter;
    return setter;
}

} // namespace

TDesktopKind DesktopKindFrom(const std::string& CurrentDesktop)
{
    std::stringstream names(Lower(CurrentDesktop));
    std::string name;
    while (std::getline(names, name, ':')) {
        if (name == "x-cinnamon" || name == "cinnamon")
            return TDesktopKind::Cinnamon;
        if (name == "gnome" || name == "unity" || name == "budgie" || name == "pop")
            return TDesktopKind::Gnome;
        if (name == "mate")
            return TDesktopKind::Mate;
        if (name == "kde" || name == "plasma")
            return TDesktopKind::Plasma;
        if (name == "xfce")
            return TDesktopKind::Xfce;
    }
    return TDesktopKind::PlainX;
}

std::vector<TWallpaperCommand> WallpaperCommands(TDesktopKind Desktop, const TWallpaperRequest& Request,
                                                 const std::vector<std::string>& XfceProperties,
                                                 const std::function<bool(const std::string&)>& HasProgram)
{
    if (Request.FileName.empty())
        return {};
    switch (Desktop) {
    case TDesktopKind::Gnome: return GsettingsCommands("org.gnome.desktop.background", Request);
    case TDesktopKind::Cinnamon: return GsettingsCommands("org.cinnamon.desktop.background", Request);
    case TDesktopKind::Mate: return MateCommands(Request);
    case TDesktopKind::Plasma: return PlasmaCommands(Request);
    case TDesktopKind::Xfce: return XfceCommands(Request, XfceProperties);
    case TDesktopKind::PlainX: return RootWindowCommands(Request, HasProgram);
    }
    return {};
}

std::string FileUri(const std::string& FileName)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const std::string absolute = FileName.empty() || FileName.front() == '/'
        ? FileName
        : std::filesystem::absolute(FileName).string();
    std::string uri = "file://";
    for (unsigned char c : absolute) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/' || c == '-' ||
            c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

std::string NextWallpaperFile(const std::string& Folder, const std::string& Name)
{
    namespace fs = std::filesystem;
    const fs::path name(Name);
    const fs::path first = fs::path(Folder) / name;
    const fs::path second = fs::path(Folder) / (name.stem().string() + " 2" + name.extension().string());
    std::error_code error;
    const auto firstTime = fs::last_write_time(first, error);
    if (error)
        return first.string();
    const auto secondTime = fs::last_write_time(second, error);
    if (error)
        return second.string();
    return secondTime < firstTime ? second.string() : first.string();
}

bool SetDesktopWallpaper(const TWallpaperRequest& Request)
{
    TWallpaperSetter setter;
    {
        std::lock_guard<std::mutex> guard(SetterLock());
        setter = CurrentSetter();
    }
    const bool set = setter ? setter(Request) : SetWithDesktop(Request);
    LastRefused() = !set;
    return set;
}

bool LastWallpaperRefused() { return LastRefused(); }

TWallpaperSetter SetWallpaperSetter(TWallpaperSetter Setter)
{
    std::lock_guard<std::mutex> guard(SetterLock());
    TWallpaperSetter previous = std::move(CurrentSetter());
    CurrentSetter() = std::move(Setter);
    return previous;
}

} // namespace ui
