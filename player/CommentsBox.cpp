#include "player/CommentsBox.h"

#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

IMPLEMENT_CLASS(TCommentsBoxForm)

namespace {

// The menu tree frees its items.
TMenuItem* NewItem(const std::string& Caption, TNotifyEvent OnClick)
{
    auto* item = new TMenuItem(nullptr);
    item->Caption = Caption;
    item->OnClick = std::move(OnClick);
    return item;
}

} // namespace

TCommentsBoxForm::TCommentsBoxForm(TForm* ShowWindow) : TForm(ShowWindow)
{
    SetCaption("Kommentar");
    SetBorderStyle(bsSizeToolWin);
    SetFormStyle(fsStayOnTop);
    SetBounds(0, 0, 300, 160);
    // The playback window's keys work while the box has the focus.
    KeyPreview = true;

    CommentsMemo = new TMemo(this);
    CommentsMemo->SetParent(this);
    CommentsMemo->SetAlign(alClient);

    MainMenu = new TMainMenu(this);
    ViewMenu = NewItem("&Ansicht", nullptr);
    MainMenu->Items().Add(ViewMenu);
    FontItem = NewItem("&Font...", [this](TObject* Sender) { FontItemClick(Sender); });
    ForegroundItem = NewItem("&Vordergrundfarbe...", [this](TObject* Sender) { ForegroundItemClick(Sender); });
    BackgroundItem = NewItem("&Hintergrundfarbe...", [this](TObject* Sender) { BackgroundItemClick(Sender); });
    CloseItem = NewItem("&Schließen", [this](TObject* Sender) { CloseItemClick(Sender); });
    for (TMenuItem* item : {FontItem, ForegroundItem, BackgroundItem})
        ViewMenu->Add(item);
    ViewMenu->Add(CloseItem);
    // The bar shows on the box only once the box has it as its menu.
    SetMenu(MainMenu);

    OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
}

void TCommentsBoxForm::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    // A plain owned window: the owner keeps it above itself and takes it
    // along when minimised, and it gets no button of its own on the task bar.
    Params.Style = WS_VISIBLE;
    if (auto* owner = dynamic_cast<TWinControl*>(Owner()))
        Params.WndParent = owner->Handle();
}

bool TCommentsBoxForm::RunBelow(const std::function<bool()>& Dialog)
{
    // The dialog must come up in front of the box.
    SetFormStyle(fsNormal);
    bool chosen = false;
    try {
        chosen = Dialog();
    } catch (...) {
        SetFormStyle(fsStayOnTop);
        throw;
    }
    SetFormStyle(fsStayOnTop);
    return chosen;
}

TFontDialog& TCommentsBoxForm::Fonts()
{
    if (FontDialog)
        return *FontDialog;
    if (!ownFontDialog_)
        ownFontDialog_ = new TFontDialog(this);
    return *ownFontDialog_;
}

TColorDialog& TCommentsBoxForm::Colors()
{
    if (ColorDialog)
        return *ColorDialog;
    if (!ownColorDialog_)
        ownColorDialog_ = new TColorDialog(this);
    return *ownColorDialog_;
}

void TCommentsBoxForm::FontItemClick(TObject*)
{
    TFontDialog& dialog = Fonts();
    dialog.Font().Assign(CommentsMemo->Font());
    if (RunBelow([&] { return dialog.Execute(); }))
        CommentsMemo->SetFont(dialog.Font());
}

void TCommentsBoxForm::ForegroundItemClick(TObject*)
{
    TColorDialog& dialog = Colors();
    dialog.Color = CommentsMemo->Font().Color();
    if (RunBelow([&] { return dialog.Execute(); }))
        CommentsMemo->Font().SetColor(dialog.Color);
}

void TCommentsBoxForm::BackgroundItemClick(TObject*)
{
    TColorDialog& dialog = Colors();
    dialog.Color = CommentsMemo->Color();
    if (RunBelow([&] { return dialog.Execute(); }))
        CommentsMemo->SetColor(dialog.Color);
}

void TCommentsBoxForm::CloseItemClick(TObject*)
{
    if (OnCloseRequest)
        OnCloseRequest();
    else
        Close();
}

void TCommentsBoxForm::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnShowKeyUp)
        OnShowKeyUp(this, Key, Shift);
    TForm::KeyUp(Key, Shift);
}

void TCommentsBoxForm::KeyPress(char32_t& Key)
{
    if (OnShowKeyPress)
        OnShowKeyPress(this, Key);
    TForm::KeyPress(Key);
}
