#pragma once

// Common controls: track bar, progress bar, up-down arrows, the status bar,
// the page control and the tool bar, each a toolkit widget inside its
// window (see StdCtrls.h); and the cool bar, whose bands hold other controls.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/StdCtrls.h"

class TImageList;

enum TTrackBarOrientation : std::uint8_t { trHorizontal, trVertical };

// A value on a range, kept within [Min, Max].
struct TRangeValue {
    int Min = 0;
    int Max = 10;
    int Position = 0;
    // Sets the range; Max below Min is raised to Min; Position is clamped.
    void SetRange(int AMin, int AMax);
    // Clamps into the range; true when Position changed.
    bool SetPosition(int Value);
};

// A control showing a value on a range.
class TRangeControl : public TNativeControl {
    DECLARE_CLASS(TRangeControl, TNativeControl)
public:
    TRangeControl(TComponent* AOwner, int AMax);

    int Min() const { return range_.Min; }
    void SetMin(int Value);
    int Max() const { return range_.Max; }
    void SetMax(int Value);
    int Position() const { return range_.Position; }
    void SetPosition(int Value);

protected:
    // The range or position changed from code (shows it by default).
    virtual void RangeChanged() { NativeWidgetCreated(); }
    LRESULT DialogCode() const override { return DLGC_WANTARROWS; }
    // Clamps; true when the position changed.
    bool MovePosition(int Value) { return range_.SetPosition(Value); }

private:
    TRangeValue range_;
};

class TTrackBar : public TRangeControl {
    DECLARE_CLASS(TTrackBar, TRangeControl)
public:
    explicit TTrackBar(TComponent* AOwner);

    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation Value);
    int Frequency = 1;

    // The user moved the slider (setting Position from code fires nothing).
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;

private:
    TTrackBarOrientation orientation_ = trHorizontal;
};

class TProgressBar : public TRangeControl {
    DECLARE_CLASS(TProgressBar, TRangeControl)
public:
    explicit TProgressBar(TComponent* AOwner);

    int Step = 10;
    void StepIt() { SetPosition(Position() + Step); }
    void StepBy(int Delta) { SetPosition(Position() + Delta); }

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
};

enum TUDBtnType : std::uint8_t { btNext, btPrev };
enum TUDOrientation : std::uint8_t { udHorizontal, udVertical };

// Two arrow buttons stepping a value; an associated control shows it. Each
// step reaches the control as the window system's scroll notification
// (WM_VSCROLL, WM_HSCROLL when horizontal) with the code SB_THUMBPOSITION
// and the new position in the high word; handling it fires OnClick, and a
// descendant may answer it in its own way. UDM_SETPOS sets the position
// without any notification.
class TCustomUpDown : public TRangeControl {
    DECLARE_CLASS(TCustomUpDown, TRangeControl)
public:
    explicit TCustomUpDown(TComponent* AOwner);

    int Increment = 1;
    // Past an end the value jumps to the other end.
    bool Wrap = false;
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* Value);
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation Value);

    // The user's step: OnChanging may refuse it; the scroll notification
    // follows it.
    void Step(TUDBtnType Button);
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
    // The arrow the user pressed (hides the plain click event of controls).
    std::function<void(TObject* Sender, TUDBtnType Button)> OnClick;

protected:
    using TRangeControl::Click;
    virtual void Click(TUDBtnType Button);
    void Dispatch(TMessage& Message) override;
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void RangeChanged() override { ShowInAssociate(); }
    void ShowInAssociate();

    TWinControl* associate_ = nullptr;
    TUDOrientation orientation_ = udVertical;
    TUDBtnType pressed_ = btNext;
};

class TUpDown : public TCustomUpDown {
    DECLARE_CLASS(TUpDown, TCustomUpDown)
public:
    explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) { }
};

class TBitmap;
class TTimer;

// Plays a short animation: Frames holds FrameCount pictures of equal size
// side by side, shown one after another every Interval milliseconds,
// Repetitions times (0: until stopped). The control is as large as one
// frame; with Center the frame is centred in a larger control. Frames of
// the program's own drawing go in through Frames() and FramesChanged().
class TAnimate : public TCustomControl {
    DECLARE_CLASS(TAnimate, TCustomControl)
public:
    explicit TAnimate(TComponent* AOwner);
    ~TAnimate() override;

    TBitmap& Frames() { return *frames_; }
    // Call after changing Frames (the size follows the first frame; playing
    // stops; OnOpen fires).
    void FramesChanged();
    int FrameCount() const { return frameCount_; }
    void SetFrameCount(int Value);
    int FrameWidth() const;
    int FrameHeight() const;
    // The frame shown now.
    int CurrentFrame() const { return current_; }

    unsigned Interval() const;
    void SetInterval(unsigned Value);
    int Repetitions = 0;
    bool Center = true;
    // The first and last frame Active plays.
    int StartFrame = 0;
    int StopFrame = -1; // -1: the last
    bool Active() const { return active_; }
    void SetActive(bool Value);

    // Plays frames FromFrame..ToFrame Count times (0: until stopped).
    void Play(int FromFrame, int ToFrame, int Count);
    void Stop();
    // Shows one frame without playing.
    void Seek(int Frame);

    TNotifyEvent OnOpen;
    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

protected:
    void Paint() override;

private:
    void NextFrame();

    std::unique_ptr<TBitmap> frames_;
    std::unique_ptr<TTimer> timer_;
    int frameCount_ = 1;
    int current_ = 0;
    int from_ = 0;
    int to_ = 0;
    int playsLeft_ = 0;
    bool active_ = false;
};

class TStatusPanel {
public:
    std::string Text;
    int Width = 50;
};

class TStatusBar : public TNativeControl {
    DECLARE_CLASS(TStatusBar, TNativeControl)
public:
    explicit TStatusBar(TComponent* AOwner);

    // One text over the whole bar instead of the panels.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& Value);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    TStatusPanel& AddPanel();
    TStatusPanel& Panels(int Index);
    // Shows panel texts and widths changed through Panels().
    void UpdatePanels();

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override { UpdatePanels(); }

private:
    std::vector<std::unique_ptr<TStatusPanel>> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
};

class TPageControl;

// One page of a page control; its caption is the tab's text.
class TTabSheet : public TWinControl {
    DECLARE_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* Value);
    // A page without a tab can still be shown from code (wizards).
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool Value);
    int PageIndex() const;

protected:
    void Dispatch(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

class TPageControl : public TNativeControl {
    DECLARE_CLASS(TPageControl, TNativeControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Index);
    // The next (or previous) page with a visible tab, wrapping; nullptr if none.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward) const;

    // The user picks a tab: OnChanging may refuse, OnChange follows.
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
    TNotifyEvent OnChange;

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override { UpdateTabs(); }
    TRect AlignRect() const override;
    void BoundsChanged(const TRect& oldBounds) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    // Shows the tabs of the pages with visible tabs (none: no tab row).
    void UpdateTabs();
    void PlacePages();
    void UserPickedTab(int TabIndex);
    std::vector<TTabSheet*> TabPages() const;

    static constexpr int TabRowHeight = 24; // the tabs above the pages

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    bool updatingTabs_ = false;
};

enum TToolButtonStyle : std::uint8_t { tbsButton, tbsSeparator };

class TToolBar;

// A button of a tool bar: the tool bar's image at ImageIndex (its caption
// when there is none), or a gap between groups of buttons.
class TToolButton : public TNativeControl {
    DECLARE_CLASS(TToolButton, TNativeControl)
public:
    explicit TToolButton(TComponent* AOwner);

    // The tool bar it sits on (nullptr on any other parent).
    TToolBar* ToolBar() const;
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle Value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;

private:
    friend class TToolBar;
    TToolButtonStyle style_ = tbsButton;
    int imageIndex_ = -1;
};

// A row of tool buttons along the top of its parent, placed left to right in
// the order they were put on it; other controls on it take their own width.
class TToolBar : public TCustomControl {
    DECLARE_CLASS(TToolBar, TCustomControl)
public:
    explicit TToolBar(TComponent* AOwner);

    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int Value);
    // Flat buttons show their edge only under the mouse.
    bool Flat() const { return flat_; }
    void SetFlat(bool Value);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value);

    int ButtonCount() const;
    TToolButton* Buttons(int Index) const;

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void ControlChanged(TControl* Child) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TToolButton*> ToolButtons() const;
    void UpdateButtons();

    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    bool flat_ = false;
    TImageList* images_ = nullptr;
};

class TCoolBar;

// One band of a cool bar: a place for one control. A band that is not of
// fixed size shows a grip at its left.
class TCoolBand {
public:
    explicit TCoolBand(TCoolBar* Owner) : bar_(Owner) { }

    // Puts the control on the bar; a band without a width or minimum height
    // takes them from the control.
    TControl* Control() const { return control_; }
    void SetControl(TControl* Value);
    // The whole band, grip included.
    int Width() const { return width_; }
    void SetWidth(int Value);
    // The least width of the control and the height of the band.
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int Value);
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int Value);
    bool FixedSize() const { return fixedSize_; }
    void SetFixedSize(bool Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);

    // Where the band lies on the bar since the last layout.
    TRect BandRect() const { return rect_; }

private:
    friend class TCoolBar;
    TCoolBar* bar_;
    TControl* control_ = nullptr;
    int width_ = 0;
    int minWidth_ = 0;
    int minHeight_ = 0;
    bool fixedSize_ = false;
    bool visible_ = true;
    TRect rect_{};
};

// A bar of bands side by side along the top of its parent. Bands keep their
// widths, the last band that is not of fixed size takes what is left, and
// the bar is as high as its highest band.
class TCoolBar : public TCustomControl {
    DECLARE_CLASS(TCoolBar, TCustomControl)
public:
    explicit TCoolBar(TComponent* AOwner);
    ~TCoolBar() override;

    TCoolBand& AddBand();
    int BandCount() const { return static_cast<int>(bands_.size()); }
    TCoolBand& Bands(int Index) const;

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;

private:
    friend class TCoolBand;
    // A band changed: the bar takes the height of its bands and lays them out.
    void BandsChanged();
    std::vector<TCoolBand*> VisibleBands() const;

    std::vector<std::unique_ptr<TCoolBand>> bands_;
};
