#pragma once

// The floating comments box: a small tool window beside the playback window
// that shows the current picture's comment in a memo whose font and colours
// the viewer chooses.

#include "platform/ui/Forms.h"

#include <functional>

class TColorDialog;
class TFontDialog;
class TMainMenu;
class TMemo;
class TMenuItem;

class TCommentsBoxForm : public TForm {
    DECLARE_CLASS(TCommentsBoxForm, TForm)
public:
    // ShowWindow is the playback window; it owns the box.
    explicit TCommentsBoxForm(TForm* ShowWindow);

    TMemo* CommentsMemo = nullptr;
    TMainMenu* MainMenu = nullptr;
    TMenuItem* ViewMenu = nullptr;
    TMenuItem* FontItem = nullptr;
    TMenuItem* ForegroundItem = nullptr;
    TMenuItem* BackgroundItem = nullptr;
    TMenuItem* CloseItem = nullptr;

    // The playback window's font and colour dialogs; while unset the box
    // uses dialogs of its own.
    TFontDialog* FontDialog = nullptr;
    TColorDialog* ColorDialog = nullptr;

    // How the box reaches the playback window: closing it (which clears the
    // window's wish for the box), and the window's key handlers, which keep
    // the show controllable while the box has the focus. While OnCloseRequest
    // is unset, "Schließen" closes the box itself.
    std::function<void()> OnCloseRequest;
    TKeyEvent OnShowKeyUp;
    TKeyPressEvent OnShowKeyPress;

    void FontItemClick(TObject* Sender);
    void ForegroundItemClick(TObject* Sender);
    void BackgroundItemClick(TObject* Sender);
    void CloseItemClick(TObject* Sender);

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;

private:
    // Runs a dialog with the box taken down from stay-on-top.
    bool RunBelow(const std::function<bool()>& Dialog);
    TFontDialog& Fonts();
    TColorDialog& Colors();
    TFontDialog* ownFontDialog_ = nullptr;
    TColorDialog* ownColorDialog_ = nullptr;
};
