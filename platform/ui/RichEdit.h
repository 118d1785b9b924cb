#pragma once

// A rich-text edit: a memo on the toolkit's rich-text widget. It shows its
// text in the control's own font (face, pixel height, style and colour),
// wraps long lines at its edge or scrolls them sideways, can hide its caret
// so that a read-only text shows no cursor, and tells its owner when the
// caret or the selection moves. The text stays plain: what is pasted in
// arrives without its formatting, so Lines and Text always hold all of it.
//
// Character positions (SelStart, LineIndex, LineFromChar) count a line break
// as one character, as the widget does; Text joins the lines with CR LF.

#include <cstdint>

#include "platform/ui/StdCtrls.h"

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TRichEdit : public TMemo {
    DECLARE_CLASS(TRichEdit, TMemo)
public:
    explicit TRichEdit(TComponent* AOwner);
    ~TRichEdit() override;

    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle Value);
    // Lines longer than the edit is wide wrap at its edge (true) or run on.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    // Whether the blinking caret shows while the edit has the focus.
    bool CaretVisible() const { return caretVisible_; }
    void SetCaretVisible(bool Value);

    // The line (from 0) that holds the character; -1 as the character picks
    // the line of the selection's start.
    int LineFromChar(int CharIndex = -1) const;
    // The position of the line's first character; -1 for a line past the end.
    int LineIndex(int Line) const;

    // The caret moved or the selection changed, by the user or by code.
    TNotifyEvent OnSelectionChange;

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;
    virtual void SelectionChange();

private:
    void ApplyFont();

    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool caretVisible_ = true;
};
