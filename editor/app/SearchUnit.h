#pragma once

// The catalog's picture search: a dialog for the search words and the
// fields to look in, and the matcher that tests one picture. The found
// pictures go into the search results window (SearchResultsUnit), which the
// dialog makes on its first search and keeps for later ones.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TLabel;
class TPicInfoObject;
class TSearchCatalog;
class TSearchResultsForm;

namespace SearchUnit {

inline constexpr int HelpContext = 1500;

// What the dialog's check boxes say.
struct TSearchOptions {
    bool KeyWords = true;
    bool Comments = true;
    bool FileName = false;
    bool FilePath = false;
    bool CaseSensitive = false;
    bool OneExpression = false;
    bool AllWords = false;
};

// A picture's texts in the order they are looked in.
struct TSearchFields {
    std::string Keywords;
    std::string Comments;
    std::string FileName; // without its folder
    std::string Folder;   // of the file as found from the show file
};

// The words of a search text: split at blanks (runs of them count as one,
// blanks at either end give no word), or the whole text as one word.
std::vector<std::string> SearchWords(const std::string& Text, bool OneExpression);
// Whether Field contains Word; without CaseSensitive only the letters a-z
// are taken as A-Z, every other byte must match as it is. An empty word is
// contained nowhere.
bool ContainsWord(const std::string& Field, const std::string& Word, bool CaseSensitive);
// Whether the picture's fields, as far as Options includes them, contain
// any word of Text, or every word with AllWords. An empty text matches none.
bool PictureMatches(const std::string& Text, const TSearchFields& Fields, const TSearchOptions& Options);
// The fields of a picture entry of the show saved as ShowFile; the folder
// (which looks the file up on disk) only when asked for.
TSearchFields FieldsOf(const TPicInfoObject& Picture, const std::string& ShowFile, bool WithFolder = true);
// The indices of the current pictures (the access layer's) that match, in
// show order.
std::vector<int> FindPictures(const std::string& Text, const TSearchOptions& Options);

} // namespace SearchUnit

class TSearchForm : public TForm {
    DECLARE_CLASS(TSearchForm, TForm)
public:
    // Catalog is where the results window sends the user's picks.
    TSearchForm(TComponent* AOwner, TSearchCatalog& Catalog);
    ~TSearchForm() override;

    // Shows the dialog modally; true when it closed with a search.
    bool Execute();
    // Fills the results window anew from the current pictures.
    void DoSearch();
    SearchUnit::TSearchOptions Options() const;
    // The results window; none until the first search.
    TSearchResultsForm* ResultsForm() const { return resultsForm_.get(); }

    TLabel* SearchWordLabel = nullptr;
    TEdit* SearchWordEdit = nullptr;
    TLabel* FieldsLabel = nullptr;
    TCheckBox* KeyWordsCheck = nullptr;
    TCheckBox* CommentsCheck = nullptr;
    TCheckBox* FilenameCheck = nullptr;
    TCheckBox* FilePathCheck = nullptr;
    TLabel* OptionsLabel = nullptr;
    TCheckBox* CasesensitivCheck = nullptr;
    TCheckBox* OneExpressionCheck = nullptr;
    TCheckBox* AllwordsCheck = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;

    void OKBtnClick(TObject* Sender);
    void OneExpressionCheckClick(TObject* Sender);
    void AllwordsCheckClick(TObject* Sender);
    void HelpBtnClick(TObject* Sender);

private:
    void FormActivate(TObject* Sender);
    TCheckBox* NewCheck(const std::string& Caption, int Top, bool Checked);

    TSearchCatalog& catalog_;
    std::unique_ptr<TSearchResultsForm> resultsForm_;
};
