#include "widgets/FileUtil.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ShellApi.h"
#include "widgets/Dateutil.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

IMPLEMENT_CLASS(TBrowseFolderDlg)
IMPLEMENT_CLASS(TKsFileOperator)

// ---------------------------------------------------------------------------
// TBrowseFolderDlg

TBrowseFolderDlg::TBrowseFolderDlg(TComponent* AOwner) : TComponent(AOwner) { }

bool TBrowseFolderDlg::Execute()
{
    if (BrowseKind == bfComputers)
        return false;
    if (OnInitialized)
        OnInitialized(this);
    std::string folder = FolderName;
    if (!ui::SelectDirectory(DialogText, "", folder))
        return false;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    FolderName = folder;
    selectedName_ = folder;
    if (OnSelChanged)
        OnSelChanged(this);
    return true;
}

// ---------------------------------------------------------------------------
// TKsFileOperator

namespace {

UINT ShellFunction(TFileOperation operation)
{
    switch (operation) {
    case foDelete: return FO_DELETE;
    case foMove: return FO_MOVE;
    case foRename: return FO_RENAME;
    default: return FO_COPY;
    }
}

UINT ShellFlags(TFileOperFlags options)
{
    static constexpr UINT flags[] = {FOF_ALLOWUNDO,      FOF_CONFIRMMOUSE,   FOF_FILESONLY,         FOF_MULTIDESTFILES,
                                     FOF_NOCONFIRMATION, FOF_NOCONFIRMMKDIR, FOF_RENAMEONCOLLISION, FOF_SILENT,
                                     FOF_SIMPLEPROGRESS, FOF_NOERRORUI};
    UINT result = 0;
    for (int flag = flAllowUndo; flag <= flNoErrorUI; ++flag)
        if (options.Contains(static_cast<TFileOperFlag>(flag)))
            result |= flags[flag];
    return result;
}

std::vector<std::string> NameList(const std::string& text)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find_first_of(";|", start);
        const std::string name = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!name.empty())
            names.push_back(name);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

} // namespace

TKsFileOperator::TKsFileOperator(TComponent* AOwner) : TComponent(AOwner) { }

bool TKsFileOperator::Execute() { return ExecuteOn(NameList(Source), NameList(Destination)); }

bool TKsFileOperator::ExecuteOn(const std::vector<std::string>& Sources, const std::vector<std::string>& Destinations)
{
    aborted_ = false;
    ui::SHFILEOPSTRUCT op;
    op.Func = ShellFunction(Operation);
    op.From = Sources;
    op.To = Destinations;
    op.Flags = ShellFlags(Options);
    op.ProgressTitle = ProgressTitle;
    const int result = ui::SHFileOperation(op);
    aborted_ = op.AnyOperationsAborted;
    return result == 0;
}

namespace FileUtil {

namespace {

bool IsDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool LStat(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }

bool IsSymlink(const std::string& path)
{
    struct stat st { };
    return LStat(path, st) && S_ISLNK(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
        sa.st_ino == sb.st_ino;
}

// A folder whose parent lies on another device is where a file system is
// mounted; "/" is its own parent.
bool IsMountPoint(const std::string& path)
{
    const std::string real = rtl::ExpandFileName(path);
    struct stat self {
    }, parent{};
    if (::stat(real.c_str(), &self) != 0)
        return false;
    const std::string up = rtl::ExcludeTrailingPathDelimiter(real) + "/..";
    if (::stat(up.c_str(), &parent) != 0)
        return true;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

bool IsFileSystemRoot(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr && std::string(resolved) == "/";
}

bool IsBareDriveName(const std::string& path) { return path.size() == 2 && path[1] == ':'; }

void MakeWritable(const std::string& fileName)
{
    struct stat st { };
    if (::stat(fileName.c_str(), &st) == 0)
        ::chmod(fileName.c_str(), st.st_mode | S_IWUSR);
}

bool IsReadOnly(const std::string& fileName)
{
    struct stat st { };
    return ::stat(fileName.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

void CopyModificationTime(const std::string& from, int toHandle)
{
    struct stat st { };
    if (::stat(from.c_str(), &st) != 0)
        return;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(toHandle, times);
}

// Names of a folder listing (without "." entries and volume labels).
std::vector<TSearchRec> ListFolder(const std::string& mask)
{
    std::vector<TSearchRec> entries;
    TSearchRec rec;
    int status = rtl::FindFirst(mask, faAnyFile, rec);
    while (status == 0) {
        if (!rec.Name.empty() && rec.Name[0] != '.' && (rec.Attr & faVolumeID) == 0)
            entries.push_back(rec);
        status = rtl::FindNext(rec);
    }
    rtl::FindClose(rec);
    return entries;
}

int RangeLock(int handle, int64_t offset, int64_t lockSize, short type)
{
    struct flock range { };
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(offset);
    range.l_len = static_cast<off_t>(lockSize);
    return ::fcntl(handle, F_SETLK, &range) == 0 ? 0 : errno;
}

std::string ExistingName(const std::string& name)
{
    const std::string plain = rtl::ExcludeTrailingPathDelimiter(name);
    struct stat st { };
    return LStat(plain, st) ? rtl::ExtractFileName(plain) : std::string();
}

std::string ConvertPath(const std::string& path, std::string (*convertName)(const std::string&))
{
    std::string rest = path;
    std::string result;
    for (size_t slash = rest.rfind('/'); slash != std::string::npos && slash > 0; slash = rest.rfind('/')) {
        result = "/" + convertName(rest) + result;
        rest.erase(slash);
    }
    if (rest.rfind('/', 0) == 0 && rest.size() > 1)
        return "/" + convertName(rest) + result;
    return rest + result;
}

} // namespace

std::string NormalDir(const std::string& dirName)
{
    if (dirName.empty() || dirName.back() == ':' || dirName.back() == '\\')
        return dirName;
    if (dirName.size() == 1 && IsDriveLetter(dirName[0]))
        return dirName + ":\\";
    return dirName + '\\';
}

std::string RemoveBackSlash(const std::string& dirName)
{
    const bool driveRoot = dirName.size() == 3 && dirName[1] == ':' && dirName[2] == '\\';
    if (dirName.size() > 1 && dirName.back() == '\\' && !driveRoot)
        return dirName.substr(0, dirName.size() - 1);
    return dirName;
}

bool ValidFileName(const std::string& fileName)
{
    return !fileName.empty() && fileName.find_first_of("<>\"[]|") == std::string::npos;
}

bool DirExists(const std::string& name) { return !name.empty() && rtl::DirectoryExists(name); }

void ForceDirectories(const std::string& dir)
{
    if (!dir.empty())
        rtl::ForceDirectories(dir); // a folder that cannot be made shows at the first file created in it
}

void CopyFile(const std::string& fileName, const std::string& destName, TCopyProgress* progress)
{
    CopyFileEx(fileName, destName, false, false, progress);
}

void CopyFileEx(const std::string& fileName, const std::string& destName, bool overwriteReadOnly, bool shellDialog,
                TCopyProgress* progress)
{
    if (shellDialog) {
        ShellCopyMove(fileName, destName, !overwriteReadOnly, false, false);
        return;
    }
    std::string target = destName;
    if (DirExists(target))
        target = rtl::IncludeTrailingPathDelimiter(target) + rtl::ExtractFileName(fileName);
    // Creating the destination would empty the source first.
    if (SameFile(fileName, target))
        throw EFCreateError("Cannot create file \"" + target + "\". It is the source file itself.");
    const int64_t size = GetFileSize(fileName);
    TFileStream source(fileName, fmOpenRead | fmShareDenyWrite);
    struct ProgressReset {
        TCopyProgress* progress;
        ~ProgressReset()
        {
            if (progress)
                progress->SetProgressValue(0);
        }
    } reset{progress};
    if (progress) {
        progress->SetProgressMax(size);
        progress->SetProgressMin(0);
        progress->SetProgressValue(0);
    }
    ForceDirectories(rtl::ExtractFileDir(target));
    if (overwriteReadOnly && IsReadOnly(target))
        MakeWritable(target);
    TFileStream dest(target, fmCreate);
    std::vector<char> buffer(CopyBufferSize);
    int64_t total = 0;
    for (;;) {
        const int64_t count = source.Read(buffer.data(), CopyBufferSize);
        total += count;
        if (count > 0)
            dest.WriteBuffer(buffer.data(), count);
        if (progress)
            progress->SetProgressValue(total);
        if (count < CopyBufferSize)
            break;
    }
    CopyModificationTime(fileName, dest.Handle());
}

bool MoveFile(const std::string& fileName, const std::string& destName)
{
    const std::string target = rtl::ExpandFileName(destName);
    if (rtl::RenameFile(fileName, target))
        return true;
    if (!rtl::FileExists(fileName))
        return false;
    MakeWritable(fileName);
    CopyFile(fileName, target);
    return rtl::DeleteFile(fileName);
}

bool MoveFileEx(const std::string& fileName, const std::string& destName, bool shellDialog)
{
    if (!shellDialog)
        return MoveFile(fileName, destName);
    ShellCopyMove(fileName, destName, false, true, false);
    return true;
}

int64_t GetFileSize(const std::string& fileName)
{
    if (!rtl::FileExists(fileName) || rtl::DirectoryExists(fileName))
        return -1;
    return rtl::FileSizeOf(fileName);
}

TDateTime FileDateTime(const std::string& fileName)
{
    const int32_t age = rtl::FileAge(fileName);
    return age == -1 ? Dateutil::NullDate : rtl::FileDateToDateTime(age);
}

bool HasAttr(const std::string& fileName, int attr)
{
    TSearchRec rec;
    const bool found = rtl::FindFirst(fileName, faAnyFile, rec) == 0;
    rtl::FindClose(rec);
    return found && (rec.Attr & attr) == attr;
}

bool DeleteFiles(const std::string& fileMask)
{
    const std::string mask = rtl::ExpandFileName(fileMask);
    const std::string folder = rtl::ExtractFilePath(mask);
    bool any = false;
    for (const TSearchRec& rec : ListFolder(mask)) {
        if (rec.Attr & faDirectory)
            continue;
        any = true;
        if (!rtl::DeleteFile(folder + rec.Name))
            return false;
    }
    return any;
}

bool DeleteFilesEx(const TStrings& fileMasks)
{
    for (int i = 0; i < fileMasks.Count(); ++i)
        if (!DeleteFiles(fileMasks.Strings(i)))
            return false;
    return true;
}

bool ClearDir(const std::string& path, bool deleteDir)
{
    if (!DirExists(path) || IsFileSystemRoot(path))
        return false;
    const std::string folder = rtl::IncludeTrailingPathDelimiter(path);
    bool result = true;
    for (const TSearchRec& rec : ListFolder(folder + "*")) {
        const std::string name = folder + rec.Name;
        // A link is removed as a link: what it points to is not below path.
        if ((rec.Attr & faDirectory) && !IsSymlink(name)) {
            result = ClearDir(name, deleteDir) && result;
            continue;
        }
        if (rec.Attr & faReadOnly)
            MakeWritable(name);
        result = rtl::DeleteFile(name) && result;
    }
    if (deleteDir && result && !IsBareDriveName(path) && !IsMountPoint(path))
        result = rtl::RemoveDir(path);
    return result;
}

std::string GetTempDir() { return rtl::TempDir(); }

std::string GetWindowsDir() { return rtl::WindowsDir(); }

// Where the system's shared libraries live; nothing of ours is kept there.
std::string GetSystemDir() { return "/usr/lib/"; }

int FileLock(int handle, int64_t offset, int64_t lockSize) { return RangeLock(handle, offset, lockSize, F_WRLCK); }

int FileUnlock(int handle, int64_t offset, int64_t lockSize) { return RangeLock(handle, offset, lockSize, F_UNLCK); }

std::string ShortToLongFileName(const std::string& shortName) { return ExistingName(shortName); }

std::string LongToShortFileName(const std::string& longName) { return ExistingName(longName); }

std::string ShortToLongPath(const std::string& shortName) { return ConvertPath(shortName, ShortToLongFileName); }

std::string LongToShortPath(const std::string& longName) { return ConvertPath(longName, LongToShortFileName); }

void ShellCopyMove(const std::string& fileName, const std::string& destName, bool confirmation, bool move,
                   bool allowUndo)
{
    TKsFileOperator op(nullptr);
    if (move) {
        // Folder names differ by letter case here: compared exactly.
        const bool sameFolder = rtl::ExtractFilePath(rtl::ExpandFileName(fileName)) ==
            rtl::ExtractFilePath(rtl::ExpandFileName(destName));
        op.Operation = sameFolder ? foRename : foMove;
    }
    if (!allowUndo)
        op.Options.Exclude(flAllowUndo);
    if (!confirmation)
        op.Options.Include(flNoConfirmation);
    // The names go as they are: a ";" in a file name is no separator here.
    if (!op.ExecuteOn({fileName}, {destName}) || op.Aborted())
        throw EAbort("Operation aborted");
}

bool BrowseDirectory(std::string& folderName, const std::string& dlgText, int helpContext)
{
    TBrowseFolderDlg dialog(nullptr);
    dialog.DialogText = dlgText;
    dialog.FolderName = folderName;
    dialog.HelpContext = helpContext;
    if (!dialog.Execute())
        return false;
    folderName = dialog.FolderName;
    return true;
}

bool BrowseComputer(std::string& computerName, const std::string& dlgText, int helpContext)
{
    TBrowseFolderDlg dialog(nullptr);
    dialog.BrowseKind = bfComputers;
    dialog.DialogText = dlgText;
    dialog.FolderName = computerName;
    dialog.HelpContext = helpContext;
    if (!dialog.Execute())
        return false;
    computerName = dialog.FolderName;
    return true;
}

namespace {

std::string LinkFileName(const std::string& displayName, int folder)
{
    std::string path;
    if (!ui::SHGetSpecialFolderPath(nullptr, path, folder, true))
        throw Exception("Der Ordner für die Verknüpfung \"" + displayName + "\" ist nicht vorhanden.");
    return path + "/" + displayName + ".desktop";
}

} // namespace

void CreateFileLink(const std::string& fileName, const std::string& displayName, int folder)
{
    const std::string link = LinkFileName(displayName, folder);
    ui::TShellLink shellLink;
    // Programs here carry no icons of their own to point the link at.
    shellLink.Target = rtl::ExpandFileName(fileName);
    if (!ui::CreateShellLink(shellLink, link))
        throw Exception("Die Verknüpfung \"" + link + "\" kann nicht angelegt werden.");
}

void DeleteFileLink(const std::string& displayName, int folder) { rtl::DeleteFile(LinkFileName(displayName, folder)); }

} // namespace FileUtil
