#include "editor/controls/DirectoryListBox.h"

#include <algorithm>
#include <filesystem>

IMPLEMENT_CLASS(TDirectoryListBox)

namespace {

namespace fs = std::filesystem;

// The folder's sub-folders in name order; hidden ones and those that cannot
// be read are left out.
std::vector<std::string> SubFolders(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code kindError;
        if (!name.empty() && name.front() != '.' && it->is_directory(kindError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ExistingFolder(std::string folder)
{
    std::error_code error;
    fs::path path = fs::path(folder).lexically_normal();
    while (!path.empty() && !fs::is_directory(path, error) && path != path.root_path())
        path = path.parent_path();
    std::string text = path.empty() ? std::string("/") : path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

} // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TListBox(AOwner)
{
    std::error_code error;
    const fs::path start = fs::current_path(error);
    SetDirectory(error ? std::string("/") : start.string());
}

void TDirectoryListBox::SetDirectory(const std::string& Value)
{
    const std::string folder = ExistingFolder(Value.empty() ? "/" : Value);
    const bool changed = folder != directory_;
    directory_ = folder;
    Update();
    if (changed && OnChange)
        OnChange(this);
}

void TDirectoryListBox::Update()
{
    paths_.clear();
    Items().BeginUpdate();
    Items().Clear();
    // The path down to the current folder, one step deeper per level.
    std::string path = "/";
    int depth = 0;
    auto add = [this](const std::string& text, const std::string& folder, int level) {
        Items().Add(std::string(static_cast<size_t>(level) * 2, ' ') + text);
        paths_.push_back(folder);
    };
    add("/", "/", depth);
    for (const fs::path& part : fs::path(directory_).relative_path()) {
        path += (path == "/" ? "" : "/") + part.string();
        add(part.string(), path, ++depth);
    }
    const int current = static_cast<int>(paths_.size()) - 1;
    for (const std::string& name : SubFolders(directory_))
        add(name, (directory_ == "/" ? "/" : directory_ + "/") + name, depth + 1);
    Items().EndUpdate();
    SetItemIndex(current);
}

std::string TDirectoryListBox::GetItemPath(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(paths_.size()) ? paths_[static_cast<size_t>(Index)] : std::string();
}

void TDirectoryListBox::DblClick()
{
    const std::string folder = GetItemPath(ItemIndex());
    if (!folder.empty())
        SetDirectory(folder);
    TListBox::DblClick();
}
