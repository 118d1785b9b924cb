#pragma once

// A small text editor for the long texts of the HTML export: a window with
// a rich-text edit, OK and Cancel centred below it, and a status bar that
// shows the caret's line and column. TSmallEditor holds the settings and the
// text; Execute shows the window modally.

#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"

#include <memory>
#include <string>

class TButton;
class TFont;
class TPanel;
class TRichEdit;
class TStatusBar;

class TEditorForm : public TForm {
    DECLARE_CLASS(TEditorForm, TForm)
public:
    explicit TEditorForm(TComponent* AOwner);

    TRichEdit* Editor = nullptr;
    TPanel* ButtonResizePanel = nullptr;
    TPanel* ButtonPanel = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TStatusBar* StatusBar = nullptr;

    // "line: column" of the caret, both from 1.
    std::string CaretText() const;
    void ButtonResizePanelResize(TObject* Sender);
    void UpdateCaretStatus();
};

class TSmallEditor : public TComponent {
    DECLARE_CLASS(TSmallEditor, TComponent)
public:
    explicit TSmallEditor(TComponent* AOwner);
    ~TSmallEditor() override;

    // True when the user pressed OK; Lines and Text then hold the edited text.
    bool Execute();

    TFont& Font() { return *font_; }
    std::string Caption = "Editor";
    TStringList Lines;
    TFormBorderStyle BorderStyle = bsSingle;
    int Width = 400;
    int Height = 260;
    bool ShowStatusBar = true;
    std::string Text;
    bool WordWrap = false;

private:
    std::unique_ptr<TFont> font_;
};
