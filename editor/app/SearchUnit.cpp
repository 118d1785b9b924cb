#include "editor/app/SearchUnit.h"

#include <algorithm>

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/VisteloNPics.h"
#include "editor/app/Config.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/SearchResultsUnit.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TSearchForm)

namespace SearchUnit {
namespace {

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

std::vector<std::string> SearchWords(const std::string& Text, bool OneExpression)
{
    if (OneExpression)
        return Text.empty() ? std::vector<std::string>{} : std::vector<std::string>{Text};
    std::vector<std::string> words;
    std::size_t at = 0;
    while (true) {
        at = Text.find_first_not_of(' ', at);
        if (at == std::string::npos)
            break;
        const std::size_t end = std::min(Text.find(' ', at), Text.size());
        words.push_back(Text.substr(at, end - at));
        at = end;
    }
    return words;
}

bool ContainsWord(const std::string& Field, const std::string& Word, bool CaseSensitive)
{
    if (Word.empty())
        return false;
    if (CaseSensitive)
        return Field.find(Word) != std::string::npos;
    const auto same = [](char a, char b) { return FoldAscii(a) == FoldAscii(b); };
    return std::search(Field.begin(), Field.end(), Word.begin(), Word.end(), same) != Field.end();
}

namespace {

bool AnyFieldContains(const TSearchFields& Fields, const std::string& Word, const TSearchOptions& Options)
{
    const std::pair<bool, const std::string*> fields[] = {
        {Options.KeyWords, &Fields.Keywords},
        {Options.Comments, &Fields.Comments},
        {Options.FileName, &Fields.FileName},
        {Options.FilePath, &Fields.Folder},
    };
    return std::any_of(std::begin(fields), std::end(fields), [&](const auto& field) {
        return field.first && ContainsWord(*field.second, Word, Options.CaseSensitive);
    });
}

} // namespace

bool PictureMatches(const std::string& Text, const TSearchFields& Fields, const TSearchOptions& Options)
{
    const std::vector<std::string> words = SearchWords(Text, Options.OneExpression);
    if (words.empty())
        return false;
    const auto found = [&](const std::string& word) { return AnyFieldContains(Fields, word, Options); };
    if (Options.AllWords)
        return std::all_of(words.begin(), words.end(), found);
    return std::any_of(words.begin(), words.end(), found);
}

TSearchFields FieldsOf(const TPicInfoObject& Picture, const std::string& ShowFile, bool WithFolder)
{
    TSearchFields fields{Picture.Keywords, Picture.Comments, rtl::ExtractFileName(Picture.FileName), {}};
    if (WithFolder)
        fields.Folder = rtl::ExtractFilePath(PictureLoading::RelFileName(Picture.FileName, ShowFile));
    return fields;
}

std::vector<int> FindPictures(const std::string& Text, const TSearchOptions& Options)
{
    std::vector<int> found;
    const int count = PicInfoUnit::PicCount();
    for (int i = 0; i < count; ++i) {
        const TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(i);
        // Only the folder needs the file looked up on disk.
        if (picture && PictureMatches(Text, FieldsOf(*picture, Setup::VisteloFilename, Options.FilePath), Options))
            found.push_back(i);
    }
    return found;
}

} // namespace SearchUnit

TSearchForm::TSearchForm(TComponent* AOwner, TSearchCatalog& Catalog) : TForm(AOwner), catalog_(Catalog)
{
    SetCaption("Bilder suchen");
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu, biHelp});
    SetPosition(poOwnerFormCenter);
    SetClientWidth(330);
    SetClientHeight(300);

    SearchWordLabel = new TLabel(this);
    SearchWordLabel->SetParent(this);
    SearchWordLabel->SetCaption("&Suchbegriffe:");
    SearchWordLabel->SetBounds(10, 10, 200, 16);
    SearchWordEdit = new TEdit(this);
    SearchWordEdit->SetParent(this);
    SearchWordEdit->SetBounds(10, 28, 310, 21);
    SearchWordLabel->SetFocusControl(SearchWordEdit);

    FieldsLabel = new TLabel(this);
    FieldsLabel->SetParent(this);
    FieldsLabel->SetCaption("In die Suche einbeziehen:");
    FieldsLabel->SetBounds(10, 60, 300, 16);
    KeyWordsCheck = NewCheck("Stich&worte", 78, true);
    CommentsCheck = NewCheck("Bild&beschreibungen/Kommentare", 98, true);
    FilenameCheck = NewCheck("&Dateinamen", 118, false);
    FilePathCheck = NewCheck("Datei&pfade", 138, false);

    OptionsLabel = new TLabel(this);
    OptionsLabel->SetParent(this);
    OptionsLabel->SetCaption("weitere Suchoptionen:");
    OptionsLabel->SetBounds(10, 166, 300, 16);
    CasesensitivCheck = NewCheck("&Groß- und Kleinschreibung beachten", 184, false);
    OneExpressionCheck = NewCheck("Worte müssen &zusammenhängen", 204, false);
    AllwordsCheck = NewCheck("Alle Suchbegriffe müssen passen", 224, false);
    OneExpressionCheck->OnClick = [this](TObject* Sender) { OneExpressionCheckClick(Sender); };
    AllwordsCheck->OnClick = [this](TObject* Sender) { AllwordsCheckClick(Sender); };

    OKBtn = new TButton(this);
    OKBtn->SetParent(this);
    OKBtn->SetCaption("&Ok, Suchen");
    OKBtn->Default = true;
    OKBtn->ModalResult = mrOk;
    OKBtn->SetBounds(10, 264, 100, 25);
    OKBtn->OnClick = [this](TObject* Sender) { OKBtnClick(Sender); };
    CancelBtn = new TButton(this);
    CancelBtn->SetParent(this);
    CancelBtn->SetCaption("&Abbrechen");
    CancelBtn->Cancel = true;
    CancelBtn->ModalResult = mrCancel;
    CancelBtn->SetBounds(115, 264, 100, 25);
    HelpBtn = new TButton(this);
    HelpBtn->SetParent(this);
    HelpBtn->SetCaption("&Hilfe");
    HelpBtn->SetBounds(220, 264, 100, 25);
    HelpBtn->OnClick = [this](TObject* Sender) { HelpBtnClick(Sender); };

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
}

TSearchForm::~TSearchForm()
{
    // The results window goes first: it reads this dialog's catalog.
    resultsForm_.reset();
}

TCheckBox* TSearchForm::NewCheck(const std::string& Caption, int Top, bool Checked)
{
    auto* check = new TCheckBox(this);
    check->SetParent(this);
    check->SetCaption(Caption);
    check->SetBounds(20, Top, 300, 18);
    check->SetChecked(Checked);
    return check;
}

bool TSearchForm::Execute() { return ShowModal() == mrOk; }

SearchUnit::TSearchOptions TSearchForm::Options() const
{
    SearchUnit::TSearchOptions options;
    options.KeyWords = KeyWordsCheck->Checked();
    options.Comments = CommentsCheck->Checked();
    options.FileName = FilenameCheck->Checked();
    options.FilePath = FilePathCheck->Checked();
    options.CaseSensitive = CasesensitivCheck->Checked();
    options.OneExpression = OneExpressionCheck->Checked();
    options.AllWords = AllwordsCheck->Checked();
    return options;
}

void TSearchForm::DoSearch() { resultsForm_->SetFound(SearchUnit::FindPictures(SearchWordEdit->Text(), Options())); }

void TSearchForm::FormActivate(TObject*)
{
    SetActiveControl(SearchWordEdit);
    SearchWordEdit->SelectAll();
}

void TSearchForm::OKBtnClick(TObject*)
{
    if (!resultsForm_)
        resultsForm_ = std::make_unique<TSearchResultsForm>(nullptr, catalog_);
    DoSearch();
}

void TSearchForm::OneExpressionCheckClick(TObject*)
{
    if (OneExpressionCheck->Checked())
        AllwordsCheck->SetChecked(false);
}

void TSearchForm::AllwordsCheckClick(TObject*)
{
    if (AllwordsCheck->Checked())
        OneExpressionCheck->SetChecked(false);
}

void TSearchForm::HelpBtnClick(TObject*) { ui::ShowMessage(TAAForm::NoHelpMessage); }
