#pragma once

// The small window beside the add-folder search: the folder being searched
// and how many pictures were found so far, each shown at once.

#include <string>

#include "platform/ui/Forms.h"

class TFileLabel;
class TLabel;

class TAddDirProgress : public TForm {
    DECLARE_CLASS(TAddDirProgress, TForm)
public:
    explicit TAddDirProgress(TComponent* AOwner);

    void ShowFolder(const std::string& Folder);
    void ShowCount(int Count);

    TFileLabel* FileLabel = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* PicNumLabel = nullptr;
};
