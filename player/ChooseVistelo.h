#pragma once

// The show chooser of a show list: one line per enabled show with its
// thumbnail, title and info text, read lazily from the show files.

#include "platform/rtl/Classes.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TButton;
class TLabel;
class TSmoothBitmap;
class TVisteloList;

// One line of the chooser.
class TVisteloInfo : public TObject {
    DECLARE_CLASS(TVisteloInfo, TObject)
public:
    TVisteloInfo();
    ~TVisteloInfo() override;

    std::string FileName; // the show file as the list names it
    std::string Text;     // the show's info text
    std::string Title;
    std::int32_t InfoValue = -1;
    std::unique_ptr<TSmoothBitmap> Thumbnail;
    bool NotLoaded = true; // the show's info was not read yet
};

// The chooser's list: lines of one height, each drawn by OnDrawItem, one of
// them selected; it owns the lines' infos.
class TVisteloListBox : public TCustomControl {
    DECLARE_CLASS(TVisteloListBox, TCustomControl)
public:
    explicit TVisteloListBox(TComponent* AOwner);
    ~TVisteloListBox() override;

    std::vector<std::unique_ptr<TVisteloInfo>> Items;
    int ItemHeight = 16;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int Value);
    // The first line shown.
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int Value);
    void AddItem(std::unique_ptr<TVisteloInfo> Info);
    void Clear();
    // The line at a point of the client area; -1 below the last one.
    int ItemAtPos(int X, int Y) const;

    std::function<void(int Index, const TRect& Rect, bool Selected)> OnDrawItem;

protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    int VisibleLines() const;
    void ScrollIntoView();
    int itemIndex_ = -1;
    int topIndex_ = 0;
};

class TChooseVisteloForm : public TForm {
    DECLARE_CLASS(TChooseVisteloForm, TForm)
public:
    // ShowFiles is the playback window's list of show files, which the
    // chooser rebuilds from the enabled entries.
    TChooseVisteloForm(TComponent* AOwner, std::string& ShowFiles);
    ~TChooseVisteloForm() override;

    // With StartIndex -1 the user chooses among the enabled entries (LastIndex
    // is preselected unless -1); the result is the chosen line or -1. Another
    // StartIndex counts all entries and comes back as the line among the
    // enabled ones. FileName is left as it is. The chooser frees itself
    // before returning: the caller must not touch it afterwards.
    int Execute(TVisteloList* List, int StartIndex, int LastIndex, std::string& FileName);

    // Reads the show's info once (title, text, thumbnail, value).
    void GetVisteloInfo(TVisteloInfo& Info);

    TLabel* TitleLabel = nullptr;
    TVisteloListBox* VisteloListBox = nullptr;
    TButton* StartButton = nullptr;
    TButton* QuitButton = nullptr;

    // The chooser is never smaller than 363 x 200.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

private:
    void DrawItem(int Index, const TRect& Line, bool Highlighted);
    void FormResize(TObject* Sender);
    void ArrangeControls();

    std::string& showFiles_;
    TVisteloList* list_ = nullptr;
};
