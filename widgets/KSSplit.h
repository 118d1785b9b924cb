#pragma once

// A bar between two aligned controls of one parent. Dragging it shows a
// sizing line over the parent; the release resizes one of the two controls.
// The line is a small window of its own laid over the parent, so the
// window system repaints what it covered when it moves or goes away.

#include <cstdint>
#include <functional>

#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"

enum TSplitterStyle : std::uint8_t {
    spUnknown,
    spHorizontalFirst,
    spHorizontalSecond,
    spVerticalFirst,
    spVerticalSecond
};
enum TInverseMode : std::uint8_t { imNew, imClear, imMove };

using TSplitterMoveEvent = std::function<void(TObject* Sender, int X, int Y, bool& AllowChange)>;

class TSizingLine;

class TKsSplitter : public TCustomPanel {
    DECLARE_CLASS(TKsSplitter, TCustomPanel)
public:
    explicit TKsSplitter(TComponent* AOwner);
    ~TKsSplitter() override;

    TControl* ControlFirst() const { return controlFirst_; }
    void SetControlFirst(TControl* Value);
    TControl* ControlSecond() const { return controlSecond_; }
    void SetControlSecond(TControl* Value);
    TAlign GetAlign() const { return Align(); }
    void SetAlign(TAlign Value);
    int TopLeftLimit = 20;
    int BottomRightLimit = 20;
    // What a form file of older versions stores: one value for both limits.
    void ReadLimitOffset(int Value);

    bool Sizing() const { return sizing_; }
    // The sizing line while dragging (parent client coordinates), else empty.
    TRect SizingLine() const;

    TNotifyEvent OnPosChanged;
    TSplitterMoveEvent OnPosChanging;

    TSplitterStyle GetStyle() const;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void Changing(int X, int Y, bool& AllowChange);
    virtual void Changed();

private:
    void UpdateCursor();
    void PickControlFirst();
    void StartInverseRect();
    void EndInverseRect(int X, int Y, bool AllowChange, bool Apply);
    void ShowInverseRect(int X, int Y, TInverseMode Mode);
    void FreeLine();
    // Keeps the splitter's edge inside the limits; true when X or Y moved
    // along the axis the bar moves on.
    bool Clamp(int& X, int& Y) const;
    void ApplySize(int X, int Y);
    void StopSizing(int X, int Y, bool Apply);
    void BorrowKeys();
    void ReturnKeys();
    void SplitterKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    bool Horizontal() const { return style_ == spHorizontalFirst || style_ == spHorizontalSecond; }

    TControl* controlFirst_ = nullptr;
    TControl* controlSecond_ = nullptr;
    bool sizing_ = false;
    TSplitterStyle style_ = spUnknown;
    int lineAt_ = 0; // along the moving axis, parent client coordinates
    TPoint pressOffset_;
    TRect limitRect_;
    // On the parent while dragging; the parent frees it when it goes first.
    TSizingLine* line_ = nullptr;
    TWinControl* keyOwner_ = nullptr;
    TKeyEvent borrowedKeyDown_;
    bool savedShowHint_ = true;
};
