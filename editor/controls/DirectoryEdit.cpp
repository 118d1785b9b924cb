// The folder edit: its button action, dropped names and the long and short
// forms of its folders.

#include "editor/controls/DirectoryEdit.h"

#include "platform/rtl/Files.h"
#include "widgets/FileUtil.h"
#include "widgets/Strutils.h"

IMPLEMENT_CLASS(TDirectoryEdit)

namespace {

const std::string Separator = ";";
// Where the dialog opens when neither the edit nor InitialDir names an
// existing folder.
const std::string RootFolder = "/";

// The byte offset of a character position in UTF-8 text.
size_t ByteOffset(const std::string& text, int characters)
{
    size_t at = 0;
    for (int seen = 0; at < text.size(); ++at) {
        const bool startsCharacter = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == characters)
            break;
    }
    return at;
}

} // namespace

TDirectoryEdit::TDirectoryEdit(TComponent* AOwner) : TFileDirEdit(AOwner) { }

void TDirectoryEdit::ButtonAction()
{
    TFileDirEdit::ButtonAction();
    std::string folder = Text();
    bool action = true;
    FireBeforeDialog(folder, action);
    if (!action)
        return;
    if (folder.empty())
        folder = InitialDir;
    if (!FileUtil::DirExists(folder))
        folder = RootFolder;
    if (DialogKind == dkWin32)
        action = FileUtil::BrowseDirectory(folder, DialogText, 0);
    else
        action = ui::SelectDirectory(folder, DialogOptions);
    if (CanFocus())
        SetFocus();
    FireAfterDialog(folder, action);
    if (!action)
        return;
    AddFolder(folder);
    if (!folder.empty() && FileUtil::DirExists(folder))
        InitialDir = folder;
}

void TDirectoryEdit::AddFolder(const std::string& Folder)
{
    std::string text = Text();
    const size_t from = ByteOffset(text, SelStart());
    text.erase(from, ByteOffset(text, SelStart() + SelLength()) - from);
    if (!text.empty() && MultipleDirs())
        SetText(text.append(Separator).append(Folder));
    else
        SetText(Folder);
}

// A file gives its folder; anything else is taken as a folder.
void TDirectoryEdit::AcceptDroppedName(const std::string& Name)
{
    const std::string folder = rtl::FileExists(Name) ? rtl::ExtractFilePath(Name) : Name;
    std::string text = Text();
    if (!text.empty() && MultipleDirs())
        SetText(text.append(Separator).append(folder));
    else
        SetText(folder);
}

std::string TDirectoryEdit::ConvertPaths(std::string (*Convert)(const std::string&)) const
{
    if (!MultipleDirs())
        return Convert(Text());
    const std::string& text = Text();
    std::string result;
    for (int pos = 1; pos <= static_cast<int>(text.size());) {
        const std::string part = Convert(Strutils::ExtractSubstr(text, pos, Strutils::CharSet(";")));
        if (part.empty())
            continue;
        if (!result.empty())
            result.append(Separator);
        result.append(part);
    }
    return result;
}

std::string TDirectoryEdit::LongPathOfText() const { return ConvertPaths(FileUtil::ShortToLongPath); }

std::string TDirectoryEdit::ShortPathOfText() const { return ConvertPaths(FileUtil::LongToShortPath); }
