#pragma once

// The target of drag-and-drop operations and clipboard pastes on a window
// control. TDropTarget decides the drop effect from the keys held and the
// allowed drag types, scrolls the control while the mouse rests near a
// scrollable edge, keeps the drag image of a drag from this program moving,
// and leaves the reading of the data to its descendants: TDropFileTarget
// (files), TDropTextTarget (text) and TDropDummy (accepts every format,
// reads nothing).
//
// Data may come from another program: every block is read within its size.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/GlobalMemory.h"
#include "widgets/DropSource.h"

using TDropTargetEvent = std::function<void(TObject* Sender, TShiftState ShiftState, TPoint Point, DWORD& Effect)>;

namespace DropTarget {

enum TScrollDirection : std::uint8_t { sdHorizontal, sdVertical };
using TScrollDirections = TEnumSet<TScrollDirection>;

// The file names of a DROPFILES block, added to Files; true when it named any.
bool GetFilesFromHGlobal(HGLOBAL Block, TStrings& Files);
// Zero-terminated names up to an empty one, 8-bit or UTF-16; true when the
// list ends inside the block.
bool GetNamesFromHGlobal(HGLOBAL Block, bool Wide, TStrings& Names);

} // namespace DropTarget

class TDropTarget : public TInterfacedComponent, public IDropTarget {
    DECLARE_CLASS(TDropTarget, TInterfacedComponent)
public:
    explicit TDropTarget(TComponent* AOwner);
    ~TDropTarget() override;

    TDragTypes Dragtypes;
    bool GetDataOnEnter = false;
    TDropTargetEvent OnEnter;
    TDropTargetEvent OnDragOver;
    TNotifyEvent OnLeave;
    TDropTargetEvent OnDrop;
    TDropTargetEvent OnGetDropEffect;

    // The data object of the drag in progress (held from entry to leave or drop).
    IDataObject* DataObject() const { return dataObject_; }
    bool Registered() const { return registered_; }
    TWinControl* Target() const { return target_; }
    bool ShowImage() const { return showImage_; }
    // Shows or hides the drag image at once while a drag is over the target.
    void SetShowImage(bool Value);
    // The owned cursor images combined with the drag image.
    TImageList& CursorImages() { return *cursorImages_; }
    // The drag image while it is shown over the target.
    HIMAGELIST DragImageHandle() const { return dragImageHandle_; }
    TPoint ImageHotSpot;
    TPoint LastPoint;
    int ScrollMargin = 0;
    DropTarget::TScrollDirections ScrollDirs;
    TTimer& ScrollTimer() { return *scrollTimer_; }

    // Registers the control for drops (removing an earlier registration);
    // raises "Failed to Register <name>" when the window refuses.
    void Register(TWinControl* Control);
    void Unregister();

    virtual void DoEnter(TShiftState ShiftState, TPoint Point, DWORD& Effect);
    virtual void DoDragOver(TShiftState ShiftState, TPoint Point, DWORD& Effect);
    virtual void DoDrop(TShiftState ShiftState, TPoint Point, DWORD& Effect);
    virtual void DoLeave();
    virtual bool DoGetData() = 0;
    virtual void ClearData() = 0;
    virtual bool HasValidFormats() = 0;
    virtual DWORD GetValidDropEffect(TShiftState ShiftState, TPoint Point, DWORD Effect);
    virtual DWORD PasteFromClipboard();

    // IDropTarget
    HRESULT DragEnter(IDataObject* dataObj, DWORD keyState, TPoint screenPos, DWORD& effect) override;
    HRESULT DragOver(DWORD keyState, TPoint screenPos, DWORD& effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* dataObj, DWORD keyState, TPoint screenPos, DWORD& effect) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Sends the target line scrolls towards the edge LastPoint is near.
    virtual void DoTargetScroll();
    // Whether the drag's data object offers the format in the medium.
    bool Offers(UINT Format, DWORD Tymed) const;
    // The bytes of a format in global memory; false when the object has none.
    bool ReadGlobal(UINT Format, std::vector<std::uint8_t>& Bytes) const;
    // The bytes of a format on the clipboard; false when it holds none.
    static bool ReadClipboard(UINT Format, std::vector<std::uint8_t>& Bytes);
    // Reads "FileNameMap", else "FileNameMapW", into Names; they stay only
    // when there is one name per item.
    void ReadMappedNames(TStrings& Names, int Items) const;

private:
    TPoint ClientPoint(TPoint ScreenPos) const;
    // Ends the registration by the window handle kept at registering.
    void Revoke();
    void ReleaseDataObject();
    void ShowDragImageAt(TPoint Point);
    void HideDragImage();

    IDataObject* dataObject_ = nullptr;
    bool registered_ = false;
    HWND registeredWnd_ = nullptr;
    TWinControl* target_ = nullptr;
    bool showImage_ = true;
    HIMAGELIST dragImageHandle_ = nullptr;
    std::unique_ptr<TImageList> cursorImages_;
    std::unique_ptr<TTimer> scrollTimer_;
};

class TDropFileTarget : public TDropTarget {
    DECLARE_CLASS(TDropFileTarget, TDropTarget)
public:
    explicit TDropFileTarget(TComponent* AOwner);

    TStrings& Files() { return files_; }
    // Names the source gave the files, one per file, or none.
    TStrings& MappedNames() { return mappedNames_; }

    bool DoGetData() override;
    void ClearData() override;
    bool HasValidFormats() override;
    DWORD PasteFromClipboard() override;

private:
    TStringList files_;
    TStringList mappedNames_;
};

class TDropTextTarget : public TDropTarget {
    DECLARE_CLASS(TDropTextTarget, TDropTarget)
public:
    explicit TDropTextTarget(TComponent* AOwner);

    std::string Text;

    bool DoGetData() override;
    void ClearData() override;
    bool HasValidFormats() override;
    DWORD PasteFromClipboard() override;
};

class TDropDummy : public TDropTarget {
    DECLARE_CLASS(TDropDummy, TDropTarget)
public:
    explicit TDropDummy(TComponent* AOwner);

    bool DoGetData() override { return false; }
    void ClearData() override { }
    bool HasValidFormats() override { return true; }
};
