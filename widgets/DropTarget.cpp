#include "widgets/DropTarget.h"

#include <cstdlib>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ClipboardData.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/ShellBlocks.h"

IMPLEMENT_CLASS(TDropTarget)
IMPLEMENT_CLASS(TDropFileTarget)
IMPLEMENT_CLASS(TDropTextTarget)
IMPLEMENT_CLASS(TDropDummy)

namespace {

constexpr unsigned ScrollInterval = 100;

TShiftState ShiftStateOfKeys(DWORD keys)
{
    TShiftState shift;
    if (keys & MK_SHIFT)
        shift.Include(ssShift);
    if (keys & MK_CONTROL)
        shift.Include(ssCtrl);
    if (keys & MK_ALT)
        shift.Include(ssAlt);
    if (keys & MK_LBUTTON)
        shift.Include(ssLeft);
    if (keys & MK_RBUTTON)
        shift.Include(ssRight);
    if (keys & MK_MBUTTON)
        shift.Include(ssMiddle);
    return shift;
}

void AddAll(TStrings& strings, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        strings.Add(line);
}

std::uint32_t EffectOfBytes(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 4)
        return DROPEFFECT_NONE;
    return rtl::GetLE32(bytes.data());
}

// A fully see-through cursor image in the window colour.
std::unique_ptr<TImageList> BlankCursorImages()
{
    auto images = std::make_unique<TImageList>(32, 32);
    TBitmap blank(32, 32);
    blank.Canvas().Brush.Color = clWindow;
    blank.Canvas().FillRect(Rect(0, 0, 32, 32));
    images->AddMasked(blank, clWindow);
    return images;
}

} // namespace

namespace DropTarget {

bool GetFilesFromHGlobal(HGLOBAL Block, TStrings& Files)
{
    std::vector<std::string> names;
    const auto* data = static_cast<const std::uint8_t*>(ui::GlobalLock(Block));
    const bool found = ui::ParseDropFiles(data, ui::GlobalSize(Block), names);
    ui::GlobalUnlock(Block);
    AddAll(Files, names);
    return found;
}

bool GetNamesFromHGlobal(HGLOBAL Block, bool Wide, TStrings& Names)
{
    std::vector<std::string> names;
    const auto* data = static_cast<const std::uint8_t*>(ui::GlobalLock(Block));
    const bool complete = data && ui::ParseNameList(data, ui::GlobalSize(Block), 0, Wide, names);
    ui::GlobalUnlock(Block);
    AddAll(Names, names);
    return complete;
}

} // namespace DropTarget

// ---------------------------------------------------------------------------
// TDropTarget

TDropTarget::TDropTarget(TComponent* AOwner)
    : TInterfacedComponent(AOwner), cursorImages_(BlankCursorImages()), scrollTimer_(std::make_unique<TTimer>(nullptr))
{
    AddRef();
    scrollTimer_->SetEnabled(false);
    scrollTimer_->SetInterval(ScrollInterval);
    scrollTimer_->OnTimer = [this](TObject*) { DoTargetScroll(); };
}

TDropTarget::~TDropTarget()
{
    cursorImages_.reset();
    scrollTimer_.reset();
    HideDragImage();
    ReleaseDataObject();
    Unregister();
}

void TDropTarget::Register(TWinControl* Control)
{
    if (Control == target_ && (registered_ || !Control))
        return;
    Unregister();
    target_ = Control;
    if (!target_)
        return;
    target_->FreeNotification(this);
    if (FAILED(ui::RegisterDragDrop(target_->Handle(), this)))
        throw Exception("Failed to Register " + target_->Name());
    registered_ = true;
    registeredWnd_ = target_->Handle();
}

void TDropTarget::Unregister()
{
    // A target that stays set while its window is gone would block the next
    // Register of the same control, and one freed first would dangle.
    if (target_)
        target_->RemoveFreeNotification(this);
    Revoke();
}

void TDropTarget::Revoke()
{
    if (registered_)
        ui::RevokeDragDrop(registeredWnd_);
    registered_ = false;
    registeredWnd_ = nullptr;
    target_ = nullptr;
}

void TDropTarget::Notification(TComponent* AComponent, TOperation Operation)
{
    TInterfacedComponent::Notification(AComponent, Operation);
    // The control is being destroyed: only its handle may still be used.
    if (Operation == opRemove && AComponent == target_)
        Revoke();
}

void TDropTarget::SetShowImage(bool Value)
{
    showImage_ = Value;
    if (dragImageHandle_)
        ui::ImageList_DragShowNolock(Value);
}

TPoint TDropTarget::ClientPoint(TPoint ScreenPos) const
{
    return target_ ? target_->ScreenToClient(ScreenPos) : ScreenPos;
}

void TDropTarget::ReleaseDataObject()
{
    if (dataObject_)
        dataObject_->Release();
    dataObject_ = nullptr;
}

void TDropTarget::ShowDragImageAt(TPoint Point)
{
    dragImageHandle_ = nullptr;
    if (!showImage_ || !target_)
        return;
    HIMAGELIST image = ui::ImageList_GetDragImage(nullptr, &ImageHotSpot);
    if (!image)
        return;
    ui::ImageList_SetDragCursorImage(cursorImages_.get(), 0, ImageHotSpot.X, ImageHotSpot.Y);
    if (ui::ImageList_DragEnter(target_->Handle(), Point.X, Point.Y))
        dragImageHandle_ = image;
}

void TDropTarget::HideDragImage()
{
    if (dragImageHandle_ && target_ && target_->HandleAllocated())
        ui::ImageList_DragLeave(target_->Handle());
    dragImageHandle_ = nullptr;
}

HRESULT TDropTarget::DragEnter(IDataObject* dataObj, DWORD keyState, TPoint screenPos, DWORD& effect)
{
    ClearData();
    ReleaseDataObject();
    dataObject_ = dataObj;
    if (dataObject_)
        dataObject_->AddRef();
    LastPoint = ClientPoint(screenPos);
    ShowDragImageAt(LastPoint);
    if (!dataObject_ || !HasValidFormats()) {
        ReleaseDataObject();
        effect = DROPEFFECT_NONE;
        return S_OK;
    }
    ScrollDirs = {};
    if (target_) {
        ScrollMargin = std::abs(target_->Font().Height());
        const DWORD style = ui::WindowScrollStyle(target_->Handle());
        if (style & WS_HSCROLL)
            ScrollDirs.Include(DropTarget::sdHorizontal);
        if (style & WS_VSCROLL)
            ScrollDirs.Include(DropTarget::sdVertical);
    }
    if (GetDataOnEnter)
        DoGetData();
    const TShiftState shift = ShiftStateOfKeys(keyState);
    effect = GetValidDropEffect(shift, LastPoint, effect);
    DoEnter(shift, LastPoint, effect);
    return S_OK;
}

HRESULT TDropTarget::DragOver(DWORD keyState, TPoint screenPos, DWORD& effect)
{
    const TPoint point = ClientPoint(screenPos);
    bool scrolling = false;
    if (dataObject_) {
        const TShiftState shift = ShiftStateOfKeys(keyState);
        effect = GetValidDropEffect(shift, point, effect);
        DoDragOver(shift, point, effect);
        scrolling = !ScrollDirs.Empty() && (effect & DROPEFFECT_SCROLL) != 0;
    } else {
        effect = DROPEFFECT_NONE;
    }
    scrollTimer_->SetEnabled(scrolling);
    if (dragImageHandle_ && !scrolling && (point.X != LastPoint.X || point.Y != LastPoint.Y))
        ui::ImageList_DragMove(point.X, point.Y);
    LastPoint = point;
    return S_OK;
}

HRESULT TDropTarget::DragLeave()
{
    ClearData();
    scrollTimer_->SetEnabled(false);
    ReleaseDataObject();
    HideDragImage();
    DoLeave();
    return S_OK;
}

HRESULT TDropTarget::Drop(IDataObject* /*dataObj*/, DWORD keyState, TPoint screenPos, DWORD& effect)
{
    if (!dataObject_) {
        effect = DROPEFFECT_NONE;
        HideDragImage();
        return S_OK;
    }
    scrollTimer_->SetEnabled(false);
    HideDragImage();
    const TShiftState shift = ShiftStateOfKeys(keyState);
    const TPoint point = ClientPoint(screenPos);
    effect = GetValidDropEffect(shift, point, effect);
    if (GetDataOnEnter || DoGetData())
        DoDrop(shift, point, effect);
    else
        effect = DROPEFFECT_NONE;
    ClearData();
    ReleaseDataObject();
    return S_OK;
}

void TDropTarget::DoEnter(TShiftState ShiftState, TPoint Point, DWORD& Effect)
{
    if (OnEnter)
        OnEnter(this, ShiftState, Point, Effect);
}

void TDropTarget::DoDragOver(TShiftState ShiftState, TPoint Point, DWORD& Effect)
{
    if (OnDragOver)
        OnDragOver(this, ShiftState, Point, Effect);
}

void TDropTarget::DoDrop(TShiftState ShiftState, TPoint Point, DWORD& Effect)
{
    if (OnDrop)
        OnDrop(this, ShiftState, Point, Effect);
}

void TDropTarget::DoLeave()
{
    if (OnLeave)
        OnLeave(this);
}

DWORD TDropTarget::GetValidDropEffect(TShiftState ShiftState, TPoint Point, DWORD Effect)
{
    const DWORD allowed = Effect & Dragtypes.Bits() & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    if (OnGetDropEffect) {
        DWORD answer = allowed;
        OnGetDropEffect(this, ShiftState, Point, answer);
        return answer;
    }
    const bool shift = ShiftState.Contains(ssShift);
    const bool ctrl = ShiftState.Contains(ssCtrl);
    DWORD result = DROPEFFECT_NONE;
    if (shift && ctrl && (allowed & DROPEFFECT_LINK))
        result = DROPEFFECT_LINK;
    else if (shift && !ctrl && (allowed & DROPEFFECT_MOVE))
        result = DROPEFFECT_MOVE;
    else if (allowed & DROPEFFECT_COPY)
        result = DROPEFFECT_COPY;
    else if (allowed & DROPEFFECT_MOVE)
        result = DROPEFFECT_MOVE;
    else if (allowed & DROPEFFECT_LINK)
        result = DROPEFFECT_LINK;
    if (!ScrollDirs.Empty() && target_) {
        const int width = target_->ClientWidth();
        const int height = target_->ClientHeight();
        const bool nearSide = Point.X < ScrollMargin || Point.X > width - ScrollMargin;
        const bool nearTopOrBottom = Point.Y < ScrollMargin || Point.Y > height - ScrollMargin;
        if ((ScrollDirs.Contains(DropTarget::sdHorizontal) && nearSide) ||
            (ScrollDirs.Contains(DropTarget::sdVertical) && nearTopOrBottom))
            result |= DROPEFFECT_SCROLL;
    }
    return result;
}

void TDropTarget::DoTargetScroll()
{
    if (!target_)
        return;
    if (dragImageHandle_)
        ui::ImageList_DragShowNolock(false);
    if (LastPoint.Y < ScrollMargin)
        target_->Perform(WM_VSCROLL, SB_LINEUP, 0);
    else if (LastPoint.Y > target_->ClientHeight() - ScrollMargin)
        target_->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    if (LastPoint.X < ScrollMargin)
        target_->Perform(WM_HSCROLL, SB_LINELEFT, 0);
    else if (LastPoint.X > target_->ClientWidth() - ScrollMargin)
        target_->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
    if (dragImageHandle_) {
        ui::ImageList_DragMove(LastPoint.X, LastPoint.Y);
        ui::ImageList_DragShowNolock(true);
    }
}

DWORD TDropTarget::PasteFromClipboard()
{
    std::vector<std::uint8_t> bytes;
    return ReadClipboard(CF_PREFERREDDROPEFFECT, bytes) ? EffectOfBytes(bytes) : DROPEFFECT_NONE;
}

bool TDropTarget::Offers(UINT Format, DWORD Tymed) const
{
    FORMATETC format{static_cast<CLIPFORMAT>(Format), nullptr, DVASPECT_CONTENT, -1, Tymed};
    return dataObject_ && dataObject_->QueryGetData(format) == S_OK;
}

bool TDropTarget::ReadGlobal(UINT Format, std::vector<std::uint8_t>& Bytes) const
{
    Bytes.clear();
    if (!dataObject_)
        return false;
    FORMATETC format{static_cast<CLIPFORMAT>(Format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    const bool read = dataObject_->GetData(format, medium) == S_OK && medium.tymed == TYMED_HGLOBAL;
    if (read)
        Bytes = ui::MediumBytes(medium);
    ReleaseStgMedium(medium);
    return read;
}

bool TDropTarget::ReadClipboard(UINT Format, std::vector<std::uint8_t>& Bytes)
{
    Bytes.clear();
    if (!ui::IsClipboardFormatAvailable(Format) || !ui::OpenClipboard())
        return false;
    HGLOBAL block = ui::GetClipboardData(Format);
    if (block)
        Bytes = ui::GlobalBytes(block);
    ui::CloseClipboard();
    return block != nullptr;
}

void TDropTarget::ReadMappedNames(TStrings& Names, int Items) const
{
    Names.Clear();
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> names;
    if (ReadGlobal(CF_FILENAMEMAP, bytes))
        ui::ParseNameList(bytes.data(), bytes.size(), 0, false, names);
    else if (ReadGlobal(CF_FILENAMEMAPW, bytes))
        ui::ParseNameList(bytes.data(), bytes.size(), 0, true, names);
    if (static_cast<int>(names.size()) == Items)
        AddAll(Names, names);
}

// ---------------------------------------------------------------------------
// TDropFileTarget

TDropFileTarget::TDropFileTarget(TComponent* AOwner) : TDropTarget(AOwner) { }

bool TDropFileTarget::HasValidFormats() { return Offers(CF_HDROP, TYMED_HGLOBAL); }

void TDropFileTarget::ClearData()
{
    files_.Clear();
    mappedNames_.Clear();
}

bool TDropFileTarget::DoGetData()
{
    ClearData();
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> names;
    if (!ReadGlobal(CF_HDROP, bytes) || !ui::ParseDropFiles(bytes.data(), bytes.size(), names))
        return false;
    AddAll(files_, names);
    ReadMappedNames(mappedNames_, files_.Count());
    return true;
}

DWORD TDropFileTarget::PasteFromClipboard()
{
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> names;
    if (!ReadClipboard(CF_HDROP, bytes))
        return DROPEFFECT_NONE;
    files_.Clear();
    if (!ui::ParseDropFiles(bytes.data(), bytes.size(), names))
        return DROPEFFECT_NONE;
    AddAll(files_, names);
    const DWORD preferred = TDropTarget::PasteFromClipboard();
    return preferred != DROPEFFECT_NONE ? preferred : DROPEFFECT_COPY;
}

// ---------------------------------------------------------------------------
// TDropTextTarget

TDropTextTarget::TDropTextTarget(TComponent* AOwner) : TDropTarget(AOwner) { }

bool TDropTextTarget::HasValidFormats() { return Offers(CF_TEXT, TYMED_HGLOBAL); }

void TDropTextTarget::ClearData() { Text.clear(); }

namespace {

std::string TextOfBlock(const std::vector<std::uint8_t>& bytes)
{
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

} // namespace

bool TDropTextTarget::DoGetData()
{
    if (!Text.empty())
        return true;
    std::vector<std::uint8_t> bytes;
    if (!ReadGlobal(CF_TEXT, bytes))
        return false;
    Text = TextOfBlock(bytes);
    return true;
}

DWORD TDropTextTarget::PasteFromClipboard()
{
    std::vector<std::uint8_t> bytes;
    if (!ReadClipboard(CF_TEXT, bytes))
        return DROPEFFECT_NONE;
    Text = TextOfBlock(bytes);
    return DROPEFFECT_COPY;
}

// ---------------------------------------------------------------------------
// TDropDummy

TDropDummy::TDropDummy(TComponent* AOwner) : TDropTarget(AOwner) { }
