#include "platform/ui/ShellApi.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <fstream>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ui/Backend.h"
#include "platform/ui/Dialogs.h"

namespace fs = std::filesystem;

namespace ui {

// --- program starts ---

namespace {

TLauncher& TestLauncher()
{
    static TLauncher launcher;
    return launcher;
}

} // namespace

bool Launch(const TLaunch& Launch)
{
    if (Launch.Arguments.empty())
        return false;
    if (TestLauncher())
        return TestLauncher()(Launch);
    return backend::StartProgram(Launch.Arguments, Launch.WorkingDir);
}

void SetLauncherForTests(TLauncher Launcher) { TestLauncher() = std::move(Launcher); }

std::vector<std::string> SplitParameters(const std::string& Parameters)
{
    std::vector<std::string> result;
    std::string current;
    bool inWord = false;
    bool quoted = false;
    for (char c : Parameters) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                result.push_back(current);
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        result.push_back(current);
    return result;
}

namespace {

// "http://...", "mailto:..." (a scheme of two or more letters; "C:" is a drive).
bool IsWebAddress(const std::string& file)
{
    const size_t colon = file.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(file[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

bool IsProgram(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

intptr_t Started(bool ok) { return ok ? SE_STARTED : SE_ERR_NOASSOC; }

} // namespace

intptr_t ShellExecute(HWND, const std::string& Operation, const std::string& File, const std::string& Parameters,
                      const std::string& Directory, int)
{
    if (!Operation.empty() && Operation != "open" && Operation != "explore")
        return SE_ERR_NOASSOC;
    if (File.empty())
        return SE_ERR_FNF;
    if (IsWebAddress(File))
        return Started(Launch({{"xdg-open", File}, {}}));
    std::string path = File;
    if (path[0] != '/' && !Directory.empty())
        path = (fs::path(Directory) / path).string();
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        const bool folderMissing = !fs::exists(fs::path(path).parent_path(), ec);
        return folderMissing ? SE_ERR_PNF : SE_ERR_FNF;
    }
    if (IsProgram(path) && Operation != "explore") {
        TLaunch launch{{path}, Directory};
        for (std::string& arg : SplitParameters(Parameters))
            launch.Arguments.push_back(std::move(arg));
        return Started(Launch(launch));
    }
    return Started(Launch({{"xdg-open", path}, {}}));
}

// --- special folders ---

bool SHGetSpecialFolderPath(HWND, std::string& Path, int Folder, bool Create)
{
    using backend::TUserFolder;
    auto location = backend::UserFolder;
    std::string folder;
    switch (Folder) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: folder = location(TUserFolder::Desktop); break;
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU: folder = location(TUserFolder::Applications); break;
    case CSIDL_STARTUP: folder = location(TUserFolder::Config) + "/autostart"; break;
    case CSIDL_PERSONAL: folder = location(TUserFolder::Documents); break;
    case CSIDL_MYMUSIC: folder = location(TUserFolder::Music); break;
    case CSIDL_MYVIDEO: folder = location(TUserFolder::Movies); break;
    case CSIDL_MYPICTURES: folder = location(TUserFolder::Pictures); break;
    case CSIDL_FONTS: folder = location(TUserFolder::Data) + "/fonts"; break;
    case CSIDL_APPDATA: folder = location(TUserFolder::Config); break;
    case CSIDL_LOCAL_APPDATA: folder = location(TUserFolder::Data); break;
    case CSIDL_PROFILE: folder = location(TUserFolder::Home); break;
    default: return false;
    }
    if (folder.empty() || folder[0] != '/')
        return false;
    std::error_code ec;
    if (Create)
        fs::create_directories(folder, ec);
    Path = folder;
    return true;
}

// --- shell links ---

std::string DesktopEntryFileName(const std::string& LinkFile)
{
    const fs::path path(LinkFile);
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".lnk")
        return fs::path(path).replace_extension(".desktop").string();
    if (ext == ".desktop")
        return LinkFile;
    return LinkFile + ".desktop";
}

namespace {

// A value of a desktop entry key: backslashes and line breaks escaped.
std::string EntryString(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == '\\')
            result += "\\\\";
        else if (c == '\n')
            result += "\\n";
        else if (c == '\r')
            result += "\\r";
        else if (c == '\t')
            result += "\\t";
        else
            result += c;
    }
    return result;
}

// One argument of an Exec line: quoted when it holds a reserved character,
// and "%" doubled so it is never taken for a field code.
std::string ExecArgument(const std::string& arg)
{
    const bool reserved = arg.empty() || arg.find_first_of(" \t\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string result = reserved ? "\"" : "";
    for (char c : arg) {
        if (reserved && (c == '"' || c == '`' || c == '$' || c == '\\'))
            result += '\\';
        result += c;
        if (c == '%')
            result += '%';
    }
    return reserved ? result + "\"" : result;
}

bool WriteFileAtomically(const std::string& file, const std::string& content, mode_t mode)
{
    const std::string temp = file + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out.write(content.data(), static_cast<std::streamsize>(content.size())) || !out.flush())
            return false;
    }
    ::chmod(temp.c_str(), mode);
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

bool CreateShellLink(const TShellLink& Link, const std::string& LinkFile)
{
    if (Link.Target.empty() || LinkFile.empty())
        return false;
    std::vector<std::string> command;
    if (IsProgram(Link.Target)) {
        command = SplitParameters(Link.Arguments);
        command.insert(command.begin(), Link.Target);
    } else {
        command = {"xdg-open", Link.Target};
    }
    std::string exec;
    for (const std::string& arg : command) {
        // A line break cannot be part of an Exec line.
        if (arg.find_first_of("\r\n") != std::string::npos)
            return false;
        exec += (exec.empty() ? "" : " ") + ExecArgument(arg);
    }
    const std::string file = DesktopEntryFileName(LinkFile);
    std::string entry = "[Desktop Entry]\nType=Application\n";
    entry += "Name=" + EntryString(fs::path(file).stem().string()) + "\n";
    if (!Link.Description.empty())
        entry += "Comment=" + EntryString(Link.Description) + "\n";
    entry += "Exec=" + EntryString(exec) + "\n";
    if (!Link.WorkingDir.empty())
        entry += "Path=" + EntryString(Link.WorkingDir) + "\n";
    if (!Link.IconFile.empty())
        entry += "Icon=" + EntryString(Link.IconFile) + "\n";
    entry += "Terminal=false\n";
    // Desktops start only launchers marked executable.
    return WriteFileAtomically(file, entry, 0755);
}

// --- trash ---

bool MoveToTrash(const std::string& Path, std::string* TrashedAs)
{
    std::error_code ec;
    if (Path.empty() || !fs::exists(fs::symlink_status(Path, ec)))
        return false;
    // The trash lives in the user's data folder, which a fresh account may
    // not have yet.
    fs::create_directories(backend::UserFolder(backend::TUserFolder::Data), ec);
    std::string inTrash;
    if (!backend::MoveToTrash(Path, inTrash))
        return false;
    if (TrashedAs)
        *TrashedAs = inTrash;
    return true;
}

// --- file operations ---

namespace {

constexpr size_t CopyChunk = 64 * 1024;

struct Cancelled { };

class FileOperation {
public:
    explicit FileOperation(SHFILEOPSTRUCT& op) : op_(op) { }

    int Run()
    {
        op_.AnyOperationsAborted = false;
        try {
            std::vector<std::string> sources;
            if (int error = ExpandSources(sources))
                return Fail(error, errorText_);
            if (sources.empty())
                return 0;
            if (op_.Func == FO_DELETE)
                return Delete(sources);
            std::vector<std::pair<std::string, std::string>> pairs;
            if (int error = PairTargets(sources, pairs))
                return Fail(error, errorText_);
            total_ = 0;
            for (const auto& pair : pairs)
                total_ += TreeSize(pair.first);
            for (const auto& [from, to] : pairs)
                if (int error = Transfer(from, to))
                    return Fail(error, errorText_);
            return 0;
        } catch (const Cancelled&) {
            op_.AnyOperationsAborted = true;
            return ERROR_CANCELLED;
        }
    }

private:
    bool Flag(UINT flag) const { return (op_.Flags & flag) != 0; }

    int Fail(int error, const std::string& text)
    {
        if (!Flag(FOF_NOERRORUI))
            ui::MessageBox(op_.Wnd, text, Caption(), MB_OK | MB_ICONERROR);
        return error;
    }

    std::string Caption() const
    {
        switch (op_.Func) {
        case FO_MOVE: return "Fehler beim Verschieben der Datei";
        case FO_DELETE: return "Fehler beim Löschen der Datei";
        case FO_RENAME: return "Fehler beim Umbenennen der Datei";
        default: return "Fehler beim Kopieren der Datei";
        }
    }

    int Error(int code, const std::string& text)
    {
        errorText_ = text;
        return code;
    }

    static std::string Name(const std::string& path) { return fs::path(path).filename().string(); }

    int ExpandSources(std::vector<std::string>& sources)
    {
        for (const std::string& from : op_.From) {
            if (from.empty())
                continue;
            const fs::path path(from);
            const std::string pattern = path.filename().string();
            if (pattern.find_first_of("*?") == std::string::npos) {
                std::error_code ec;
                if (!fs::exists(fs::symlink_status(from, ec)))
                    return Error(ERROR_FILE_NOT_FOUND, "\"" + from + "\" wurde nicht gefunden.");
                sources.push_back(fs::path(from).lexically_normal().string());
                continue;
            }
            const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
            std::vector<std::string> matches;
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(folder, ec)) {
                const std::string name = entry.path().filename().string();
                if (::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) != 0)
                    continue;
                if (Flag(FOF_FILESONLY) && entry.is_directory(ec))
                    continue;
                matches.push_back(entry.path().string());
            }
            std::sort(matches.begin(), matches.end());
            sources.insert(sources.end(), matches.begin(), matches.end());
        }
        return 0;
    }

    int PairTargets(const std::vector<std::string>& sources, std::vector<std::pair<std::string, std::string>>& pairs)
    {
        std::error_code ec;
        if (op_.To.empty() || op_.To[0].empty())
            return Error(ERROR_INVALID_PARAMETER, "Es wurde kein Ziel angegeben.");
        if (op_.Func == FO_RENAME) {
            if (sources.size() != 1)
                return Error(ERROR_INVALID_PARAMETER, "Es kann nur ein Element umbenannt werden.");
            fs::path to(op_.To[0]);
            if (!to.has_parent_path())
                to = fs::path(sources[0]).parent_path() / to;
            pairs.emplace_back(sources[0], to.string());
            return 0;
        }
        if (Flag(FOF_MULTIDESTFILES)) {
            if (op_.To.size() != sources.size())
                return Error(ERROR_INVALID_PARAMETER, "Die Anzahl der Ziele passt nicht zu den Quellen.");
            for (size_t i = 0; i < sources.size(); ++i)
                pairs.emplace_back(sources[i], op_.To[i]);
            return 0;
        }
        const std::string& to = op_.To[0];
        if (sources.size() == 1 && !fs::is_directory(to, ec)) {
            pairs.emplace_back(sources[0], to);
            return 0;
        }
        if (!fs::is_directory(to, ec)) {
            if (!Flag(FOF_NOCONFIRMMKDIR) && !Flag(FOF_NOCONFIRMATION) &&
                MessageDlg("Der Ordner \"" + to + "\" ist nicht vorhanden.\n\nSoll er erstellt werden?", mtConfirmation,
                           {mbYes, mbNo}, 0) != mrYes)
                throw Cancelled{};
            fs::create_directories(to, ec);
            if (ec)
                return Error(ERROR_ACCESS_DENIED, "Der Ordner \"" + to + "\" kann nicht erstellt werden.");
        }
        for (const std::string& source : sources)
            pairs.emplace_back(source, (fs::path(to) / Name(source)).string());
        return 0;
    }

    static int64_t TreeSize(const std::string& path)
    {
        std::error_code ec;
        const auto status = fs::symlink_status(path, ec);
        if (fs::is_regular_file(status))
            return static_cast<int64_t>(fs::file_size(path, ec));
        int64_t size = 0;
        if (fs::is_directory(status))
            for (const auto& entry : fs::recursive_directory_iterator(path, ec))
                if (entry.is_regular_file(ec) && !entry.is_symlink(ec))
                    size += static_cast<int64_t>(entry.file_size(ec));
        return size;
    }

    // --- progress ---

    void Report(const std::string& current)
    {
        TFileOpProgress progress{op_.ProgressTitle, current, done_, total_};
        if (op_.OnProgress) {
            if (!op_.OnProgress(progress))
                throw Cancelled{};
            return;
        }
        if (Flag(FOF_SILENT) || DialogScriptActive())
            return;
        if (!window_)
            window_ = std::make_unique<backend::TProgressWindow>(op_.ProgressTitle);
        if (!window_->Show(current, total_ > 0 ? static_cast<int>(done_ * 1000 / total_) : 0))
            throw Cancelled{};
    }

    // --- collisions ---

    enum class Collision { Replace, Skip, Renamed };

    Collision ResolveCollision(std::string& to)
    {
        if (Flag(FOF_RENAMEONCOLLISION)) {
            to = FreeCopyName(to);
            return Collision::Renamed;
        }
        if (Flag(FOF_NOCONFIRMATION) || replaceAll_)
            return Collision::Replace;
        const int answer = MessageDlg("Die Datei \"" + to + "\" ist bereits vorhanden.\n\nMöchten Sie sie ersetzen?",
                                      mtConfirmation, {mbYes, mbYesToAll, mbNo, mbCancel}, 0);
        if (answer == mrYesToAll)
            replaceAll_ = true;
        if (answer == mrYes || answer == mrYesToAll)
            return Collision::Replace;
        if (answer == mrNo) {
            op_.AnyOperationsAborted = true;
            return Collision::Skip;
        }
        throw Cancelled{};
    }

    static std::string FreeCopyName(const std::string& to)
    {
        const fs::path path(to);
        std::error_code ec;
        for (int n = 1;; ++n) {
            const std::string prefix = n == 1 ? "Kopie von " : "Kopie (" + std::to_string(n) + ") von ";
            const fs::path candidate = path.parent_path() / (prefix + path.filename().string());
            if (!fs::exists(fs::symlink_status(candidate, ec)))
                return candidate.string();
        }
    }

    // --- copy and move ---

    static bool Inside(const std::string& inner, const std::string& outer)
    {
        std::error_code ec;
        const fs::path a = fs::weakly_canonical(inner, ec);
        const fs::path b = fs::weakly_canonical(outer, ec);
        auto mismatch = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
        return mismatch.first == b.end();
    }

    int Transfer(const std::string& from, std::string to)
    {
        std::error_code ec;
        if (Inside(to, from)) {
            if (fs::equivalent(from, to, ec) && Flag(FOF_RENAMEONCOLLISION) && op_.Func == FO_COPY)
                to = FreeCopyName(to);
            else
                return Error(ERROR_INVALID_PARAMETER,
                             "\"" + from + "\" kann nicht in sich selbst kopiert oder verschoben werden.");
        }
        const bool fromFolder = fs::is_directory(fs::symlink_status(from, ec));
        const auto toStatus = fs::symlink_status(to, ec);
        if (fs::exists(toStatus)) {
            const bool toFolder = fs::is_directory(toStatus);
            if (op_.Func == FO_RENAME)
                return Error(ERROR_ALREADY_EXISTS, "\"" + to + "\" ist bereits vorhanden.");
            if (fromFolder && toFolder)
                return Merge(from, to);
            if (fromFolder != toFolder)
                return Error(ERROR_ALREADY_EXISTS, "\"" + to + "\" ist bereits vorhanden.");
            switch (ResolveCollision(to)) {
            case Collision::Skip: return 0;
            case Collision::Renamed: break;
            case Collision::Replace: break;
            }
        }
        if (op_.Func == FO_COPY)
            return CopyItem(from, to);
        return MoveItem(from, to);
    }

    // A folder onto an existing folder: item by item.
    int Merge(const std::string& from, const std::string& to)
    {
        std::error_code ec;
        std::vector<fs::path> children;
        for (const auto& entry : fs::directory_iterator(from, ec))
            children.push_back(entry.path());
        std::sort(children.begin(), children.end());
        for (const fs::path& child : children)
            if (int error = Transfer(child.string(), (fs::path(to) / child.filename()).string()))
                return error;
        if (op_.Func != FO_COPY && !op_.AnyOperationsAborted)
            fs::remove(from, ec); // only when empty: skipped items stay
        return 0;
    }

    int MoveItem(const std::string& from, const std::string& to)
    {
        Report(from);
        if (::rename(from.c_str(), to.c_str()) == 0) {
            done_ += TreeSize(to);
            return 0;
        }
        if (errno != EXDEV)
            return Error(ERROR_ACCESS_DENIED, "\"" + from + "\" kann nicht verschoben werden: " + std::strerror(errno));
        // Another file system: copy, and remove the source only once the copy is whole.
        if (int error = CopyItem(from, to))
            return error;
        std::error_code ec;
        fs::remove_all(from, ec);
        if (ec)
            return Error(ERROR_ACCESS_DENIED, "\"" + from + "\" wurde kopiert, kann aber nicht entfernt werden.");
        return 0;
    }

    int CopyItem(const std::string& from, const std::string& to)
    {
        std::error_code ec;
        const auto status = fs::symlink_status(from, ec);
        if (fs::is_symlink(status)) {
            fs::remove(to, ec);
            fs::copy_symlink(from, to, ec);
            return ec ? Error(ERROR_ACCESS_DENIED, "\"" + from + "\" kann nicht kopiert werden.") : 0;
        }
        if (!fs::is_directory(status))
            return CopyFileData(from, to);
        const bool made = fs::create_directory(to, ec);
        if (ec)
            return Error(ERROR_ACCESS_DENIED, "Der Ordner \"" + to + "\" kann nicht erstellt werden.");
        std::vector<fs::path> children;
        for (const auto& entry : fs::directory_iterator(from, ec))
            children.push_back(entry.path());
        std::sort(children.begin(), children.end());
        for (const fs::path& child : children) {
            if (int error = CopyItem(child.string(), (fs::path(to) / child.filename()).string())) {
                if (made)
                    fs::remove_all(to, ec);
                return error;
            }
        }
        return 0;
    }

    int CopyFileData(const std::string& from, const std::string& to)
    {
        Report(from);
        const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            return Error(ERROR_ACCESS_DENIED, "\"" + from + "\" kann nicht gelesen werden: " + std::strerror(errno));
        struct stat st { };
        ::fstat(in, &st);
        const std::string partial = to + ".part";
        const int out = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
        if (out < 0) {
            const int err = errno;
            ::close(in);
            return Error(ERROR_ACCESS_DENIED, "\"" + to + "\" kann nicht erstellt werden: " + std::strerror(err));
        }
        std::vector<char> buffer(CopyChunk);
        int error = 0;
        try {
            error = CopyData(in, out, from, buffer);
        } catch (...) {
            ::close(in);
            ::close(out);
            ::unlink(partial.c_str());
            throw;
        }
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
        ::close(in);
        if (::close(out) != 0 && error == 0)
            error = Error(ERROR_ACCESS_DENIED, "\"" + to + "\" kann nicht geschrieben werden.");
        // The old file is replaced only by a complete copy.
        if (error == 0 && ::rename(partial.c_str(), to.c_str()) != 0)
            error = Error(ERROR_ACCESS_DENIED, "\"" + to + "\" kann nicht ersetzt werden: " + std::strerror(errno));
        if (error != 0)
            ::unlink(partial.c_str());
        return error;
    }

    int CopyData(int in, int out, const std::string& from, std::vector<char>& buffer)
    {
        for (;;) {
            const ssize_t count = ::read(in, buffer.data(), buffer.size());
            if (count < 0) {
                if (errno == EINTR)
                    continue;
                return Error(ERROR_ACCESS_DENIED,
                             "\"" + from + "\" kann nicht gelesen werden: " + std::strerror(errno));
            }
            if (count == 0)
                return 0;
            for (ssize_t written = 0; written < count;) {
                const ssize_t n = ::write(out, buffer.data() + written, static_cast<size_t>(count - written));
                if (n < 0) {
                    if (errno == EINTR)
                        continue;
                    return Error(ERROR_ACCESS_DENIED,
                                 "Schreibfehler beim Kopieren von \"" + from + "\": " + std::strerror(errno));
                }
                written += n;
            }
            done_ += count;
            Report(from);
        }
    }

    // --- delete ---

    int Delete(const std::vector<std::string>& sources)
    {
        const bool toTrash = Flag(FOF_ALLOWUNDO);
        if (!Flag(FOF_NOCONFIRMATION)) {
            const std::string what = sources.size() == 1 ? "\"" + Name(sources[0]) + "\""
                                                         : "diese " + std::to_string(sources.size()) + " Elemente";
            const std::string action = toTrash ? "in den Papierkorb verschieben" : "endgültig löschen";
            if (MessageDlg("Möchten Sie " + what + " wirklich " + action + "?", mtConfirmation, {mbYes, mbNo}, 0) !=
                mrYes)
                throw Cancelled{};
        }
        total_ = static_cast<int64_t>(sources.size());
        for (const std::string& source : sources) {
            Report(source);
            std::error_code ec;
            if (toTrash) {
                if (!MoveToTrash(source))
                    return Fail(ERROR_ACCESS_DENIED,
                                "\"" + source + "\" kann nicht in den Papierkorb verschoben werden.");
            } else {
                fs::remove_all(source, ec);
                if (ec)
                    return Fail(ERROR_ACCESS_DENIED, "\"" + source + "\" kann nicht gelöscht werden: " + ec.message());
            }
            ++done_;
        }
        return 0;
    }

    SHFILEOPSTRUCT& op_;
    std::string errorText_;
    int64_t done_ = 0;
    int64_t total_ = 0;
    bool replaceAll_ = false;
    std::unique_ptr<backend::TProgressWindow> window_;
};

} // namespace

int SHFileOperation(SHFILEOPSTRUCT& Op)
{
    if (Op.Func < FO_MOVE || Op.Func > FO_RENAME)
        return ERROR_INVALID_PARAMETER;
    return FileOperation(Op).Run();
}

} // namespace ui
