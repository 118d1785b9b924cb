#pragma once

// A list of folders as a folder tree shows one path: the folders from the
// root down to the current one, each indented a step further, then the
// current folder's own sub-folders. A double-click opens the folder under
// the pointer. This system has one tree, so no drive box goes with it.

#include <string>
#include <vector>

#include "platform/ui/StdCtrls.h"

class TDirectoryListBox : public TListBox {
    DECLARE_CLASS(TDirectoryListBox, TListBox)
public:
    explicit TDirectoryListBox(TComponent* AOwner);

    // The current folder, with no trailing "/" (except the root).
    const std::string& Directory() const { return directory_; }
    // Opens Value (absolute); a folder that is not there opens its nearest
    // existing parent. OnChange follows a change.
    void SetDirectory(const std::string& Value);
    // Reads the current folder's sub-folders again.
    void Update();
    // The folder an item stands for; "" outside the items.
    std::string GetItemPath(int Index) const;

    TNotifyEvent OnChange;

protected:
    void DblClick() override;

private:
    std::string directory_;
    std::vector<std::string> paths_;
};
