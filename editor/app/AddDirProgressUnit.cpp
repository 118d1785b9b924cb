#include "editor/app/AddDirProgressUnit.h"

#include "platform/ui/StdLabel.h"
#include "widgets/FileLbl.h"

IMPLEMENT_CLASS(TAddDirProgress)

TAddDirProgress::TAddDirProgress(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Verzeichnis hinzufügen");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(360);
    SetClientHeight(64);

    FileLabel = new TFileLabel(this);
    FileLabel->SetParent(this);
    // Long folders lose their beginning, so the folder being searched shows.
    FileLabel->SetSeparator("/");
    FileLabel->SetDirection(drFromLeft);
    FileLabel->SetBounds(10, 10, 340, 16);
    Label1 = new TLabel(this);
    Label1->SetParent(this);
    Label1->SetCaption("Bilder gefunden: ");
    Label1->SetBounds(10, 36, 100, 16);
    PicNumLabel = new TLabel(this);
    PicNumLabel->SetParent(this);
    PicNumLabel->SetCaption("0");
    PicNumLabel->SetBounds(112, 36, 100, 16);
}

void TAddDirProgress::ShowFolder(const std::string& Folder)
{
    FileLabel->SetFileName(Folder);
    FileLabel->Repaint();
}

void TAddDirProgress::ShowCount(int Count)
{
    PicNumLabel->SetCaption(std::to_string(Count));
    PicNumLabel->Repaint();
}
