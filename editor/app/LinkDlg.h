#pragma once

// "Linksammlung": the web addresses where music for a show can be found,
// read from the data file beside the program. A double click on a title
// opens its address in the web browser.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"

class TButton;
class TImage;
class TLabel;
class TListBox;
class TURL;

// The address of one entry, attached to its list item.
class TURLSpace : public TObject {
    DECLARE_CLASS(TURLSpace, TObject)
public:
    explicit TURLSpace(std::string AURL) : URL(std::move(AURL)) { }
    std::string URL;
};

class TLinkForm : public TForm {
    DECLARE_CLASS(TLinkForm, TForm)
public:
    // Reads the collection from DataFile (by default the program folder's "murls.dat").
    explicit TLinkForm(TComponent* AOwner, const std::string& DataFile = {});
    ~TLinkForm() override;

    // Shows the dialog modally and frees it when it is closed.
    static void Execute(TComponent* AOwner);

    TLabel* ExplanationLabel = nullptr;
    TListBox* URLListBox = nullptr;
    TLabel* CaptionLabel = nullptr;
    TURL* URLLabel = nullptr;
    TImage* Image1 = nullptr;
    TButton* CloseButton = nullptr;
    TButton* HelpButton = nullptr;

    // The text of the data file, line breaks removed.
    std::string URLText;

    void FormCreate(const std::string& DataFile);
    void URLListBoxClick(TObject* Sender);
    void URLListBoxDblClick(TObject* Sender);

protected:
    void DoActivate();

private:
    void ShowEntry(int Index);

    std::vector<std::unique_ptr<TURLSpace>> spaces_;
};
