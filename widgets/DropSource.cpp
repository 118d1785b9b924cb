#include "widgets/DropSource.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ClipboardData.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/ShellBlocks.h"

UINT CF_FILECONTENTS = ui::RegisterClipboardFormat("FileContents");
UINT CF_FILEGROUPDESCRIPTOR = ui::RegisterClipboardFormat("FileGroupDescriptor");
UINT CF_IDLIST = ui::RegisterClipboardFormat("Shell IDList Array");
UINT CF_PREFERREDDROPEFFECT = ui::RegisterClipboardFormat("Preferred DropEffect");
UINT CF_URL = ui::RegisterClipboardFormat("UniformResourceLocator");
UINT CF_FILENAMEMAP = ui::RegisterClipboardFormat("FileNameMap");
UINT CF_FILENAMEMAPW = ui::RegisterClipboardFormat("FileNameMapW");
IMalloc* ShellMalloc = ui::SHGetMalloc();

namespace {

// The data-exchange layer is in use while the unit is loaded.
struct OleUse {
    OleUse() { ui::OleInitialize(); }
    ~OleUse() { ui::OleUninitialize(); }
} oleUse;

} // namespace

IMPLEMENT_CLASS(TInterfacedComponent)
IMPLEMENT_CLASS(TDropSource)
IMPLEMENT_CLASS(TDropTextSource)
IMPLEMENT_CLASS(TDropFileSource)

// ---------------------------------------------------------------------------
// TInterfacedComponent

TInterfacedComponent::TInterfacedComponent(TComponent* AOwner) : TComponent(AOwner) { }

HRESULT TInterfacedComponent::QueryInterface(REFIID riid, void** ppvObject)
{
    void* found = nullptr;
    switch (riid) {
    case IID_IUnknown: found = static_cast<IUnknown*>(this); break;
    case IID_IDataObject: found = dynamic_cast<IDataObject*>(this); break;
    case IID_IEnumFORMATETC: found = dynamic_cast<IEnumFORMATETC*>(this); break;
    case IID_IDropSource: found = dynamic_cast<IDropSource*>(this); break;
    case IID_IDropTarget: found = dynamic_cast<IDropTarget*>(this); break;
    }
    *ppvObject = found;
    if (!found)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TInterfacedComponent::AddRef() { return static_cast<ULONG>(++refCount_); }

ULONG TInterfacedComponent::Release()
{
    const std::int32_t left = --refCount_;
    if (left == 0 && (ComponentState() & csDestroying) == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// ---------------------------------------------------------------------------
// TDropSource

TDropSource::TDropSource(TComponent* AOwner) : TInterfacedComponent(AOwner) { AddRef(); }

TDropSource::~TDropSource() { SetImages(nullptr); }

void TDropSource::SetImages(TImageList* Value)
{
    if (Value == images_)
        return;
    if (images_)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_)
        images_->FreeNotification(this);
    if (!Loading()) {
        imageIndex_ = 0;
        showImage_ = images_ != nullptr;
    }
}

void TDropSource::SetImageIndex(int Value)
{
    if (Loading()) {
        imageIndex_ = Value;
        return;
    }
    if (!images_ || images_->Count() == 0 || Value < 0) {
        imageIndex_ = 0;
        showImage_ = false;
    } else if (Value < images_->Count()) {
        imageIndex_ = Value;
    }
}

void TDropSource::SetShowImage(bool Value) { showImage_ = Value && (images_ || Loading()); }

int TDropSource::GetPoint(int Index) const { return Index == 1 ? ImageHotSpot.X : ImageHotSpot.Y; }

void TDropSource::SetPoint(int Index, int Value)
{
    if (Index == 1)
        ImageHotSpot.X = Value;
    else
        ImageHotSpot.Y = Value;
}

void TDropSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TInterfacedComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        imageIndex_ = 0;
        showImage_ = false;
    }
}

TDragResult TDropSource::Execute()
{
    const bool dragImage = showImage_ && images_ &&
        ui::ImageList_BeginDrag(images_, imageIndex_, ImageHotSpot.X, ImageHotSpot.Y);
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result;
    try {
        result = ui::DoDragDrop(this, this, Dragtypes.Bits(), effect);
    } catch (...) {
        if (dragImage)
            ui::ImageList_EndDrag();
        throw;
    }
    if (dragImage)
        ui::ImageList_EndDrag();
    if (result == E_OUTOFMEMORY)
        return drOutMemory;
    if (result == DRAGDROP_S_CANCEL)
        return drCancel;
    if (result != DRAGDROP_S_DROP)
        return drUnknown;
    const DWORD taken = effect & Dragtypes.Bits();
    if (taken & DROPEFFECT_COPY)
        return drDropCopy;
    if (taken & DROPEFFECT_MOVE)
        return drDropMove;
    if (taken & DROPEFFECT_LINK)
        return drDropLink;
    return drCancel;
}

void TDropSource::AddFormatEtc(CLIPFORMAT Format, DVTARGETDEVICE* Device, DWORD Aspect, std::int32_t Index, DWORD Tymed)
{
    if (DataFormatCount >= MaxDataFormats)
        return;
    DataFormats[DataFormatCount++] = FORMATETC{Format, Device, Aspect, Index, Tymed};
}

bool TDropSource::CutOrCopyToClipboard() { return false; }

bool TDropSource::CutToClipboard() { return ClipboardOperation(DROPEFFECT_MOVE); }

bool TDropSource::CopyToClipboard() { return ClipboardOperation(DROPEFFECT_COPY); }

bool TDropSource::ClipboardOperation(DWORD Effect)
{
    if (!ui::OpenClipboard())
        return false;
    bool placed = false;
    try {
        ui::EmptyClipboard();
        if (CutOrCopyToClipboard()) {
            feedbackEffect_ = Effect;
            // A source without a preferred effect has placed all it offers.
            const FORMATETC preferred{static_cast<CLIPFORMAT>(CF_PREFERREDDROPEFFECT)};
            placed = QueryGetData(preferred) != S_OK || PlaceOnClipboard(CF_PREFERREDDROPEFFECT);
        }
    } catch (...) {
        ui::CloseClipboard();
        throw;
    }
    ui::CloseClipboard();
    return placed;
}

bool TDropSource::PlaceOnClipboard(UINT Format)
{
    STGMEDIUM medium;
    if (GetData(FORMATETC{static_cast<CLIPFORMAT>(Format)}, medium) != S_OK)
        return false;
    const bool placed = ui::SetClipboardData(Format, medium.hGlobal);
    medium.hGlobal = nullptr; // the clipboard owns the block now
    ReleaseStgMedium(medium);
    return placed;
}

bool TDropSource::Serves(const FORMATETC& Format, UINT Wanted, DWORD Tymed)
{
    return Format.cfFormat == Wanted && Format.dwAspect == DVASPECT_CONTENT && (Format.tymed & Tymed) != 0;
}

HRESULT TDropSource::GlobalMedium(const std::vector<std::uint8_t>& Bytes, STGMEDIUM& Medium)
{
    Medium.hGlobal = ui::GlobalAllocBytes(Bytes);
    if (!Medium.hGlobal)
        return E_OUTOFMEMORY;
    Medium.tymed = TYMED_HGLOBAL;
    return S_OK;
}

HRESULT TDropSource::GetData(const FORMATETC& format, STGMEDIUM& medium)
{
    ReleaseStgMedium(medium);
    return DoGetData(format, medium);
}

HRESULT TDropSource::GetDataHere(const FORMATETC&, STGMEDIUM&) { return E_NOTIMPL; }

HRESULT TDropSource::QueryGetData(const FORMATETC& format)
{
    for (int i = 0; i < DataFormatCount; ++i) {
        const FORMATETC& offered = DataFormats[i];
        if (offered.cfFormat == format.cfFormat && offered.dwAspect == format.dwAspect &&
            (offered.tymed & format.tymed) != 0)
            return S_OK;
    }
    return E_FAIL;
}

HRESULT TDropSource::GetCanonicalFormatEtc(const FORMATETC&, FORMATETC& out)
{
    out.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TDropSource::SetData(const FORMATETC&, STGMEDIUM&, bool) { return E_NOTIMPL; }

HRESULT TDropSource::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator)
{
    *enumerator = nullptr;
    if (direction == DATADIR_GET) {
        *enumerator = new TEnumFormatEtc(DataFormats, DataFormatCount);
        return S_OK;
    }
    return direction == DATADIR_SET ? E_NOTIMPL : E_INVALIDARG;
}

HRESULT TDropSource::DAdvise(const FORMATETC&, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TDropSource::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TDropSource::EnumDAdvise(IEnumSTATDATA** enumerator)
{
    if (enumerator)
        *enumerator = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDropSource::QueryContinueDrag(bool escapePressed, DWORD keyState)
{
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (keyState & (MK_LBUTTON | MK_RBUTTON))
        return S_OK;
    TDragType type;
    if (feedbackEffect_ & DROPEFFECT_COPY)
        type = dtCopy;
    else if (feedbackEffect_ & DROPEFFECT_MOVE)
        type = dtMove;
    else if (feedbackEffect_ & DROPEFFECT_LINK)
        type = dtLink;
    else
        return DRAGDROP_S_CANCEL;
    if (!Dragtypes.Contains(type))
        return DRAGDROP_S_CANCEL;
    bool continueDrop = true;
    if (OnDrop)
        OnDrop(this, type, continueDrop);
    return continueDrop ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
}

HRESULT TDropSource::GiveFeedback(DWORD effect)
{
    feedbackEffect_ = effect;
    bool useDefaultCursors = true;
    if (OnFeedback)
        OnFeedback(this, static_cast<int>(effect), useDefaultCursors);
    return useDefaultCursors ? DRAGDROP_S_USEDEFAULTCURSORS : S_OK;
}

// ---------------------------------------------------------------------------
// TEnumFormatEtc

TEnumFormatEtc::TEnumFormatEtc(const std::array<FORMATETC, MaxDataFormats>& Formats, int Count, int Position)
    : formats_(Formats), count_(Count), position_(Position)
{ }

HRESULT TEnumFormatEtc::QueryInterface(REFIID riid, void** ppvObject)
{
    *ppvObject = riid == IID_IUnknown || riid == IID_IEnumFORMATETC ? static_cast<IEnumFORMATETC*>(this) : nullptr;
    if (!*ppvObject)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TEnumFormatEtc::AddRef() { return ++refs_; }

ULONG TEnumFormatEtc::Release()
{
    const ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TEnumFormatEtc::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched)
{
    ULONG copied = 0;
    while (copied < celt && position_ < count_)
        rgelt[copied++] = formats_[position_++];
    if (pceltFetched)
        *pceltFetched = copied;
    return copied == celt ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(ULONG celt)
{
    if (celt <= static_cast<ULONG>(count_ - position_)) {
        position_ += static_cast<int>(celt);
        return S_OK;
    }
    position_ = count_;
    return S_FALSE;
}

HRESULT TEnumFormatEtc::Reset()
{
    position_ = 0;
    return S_OK;
}

HRESULT TEnumFormatEtc::Clone(IEnumFORMATETC** ppenum)
{
    *ppenum = new TEnumFormatEtc(formats_, count_, position_);
    return S_OK;
}

// ---------------------------------------------------------------------------
// TDropTextSource

TDropTextSource::TDropTextSource(TComponent* AOwner) : TDropSource(AOwner)
{
    AddFormatEtc(CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
}

HRESULT TDropTextSource::DoGetData(const FORMATETC& Format, STGMEDIUM& Medium)
{
    Medium = STGMEDIUM{};
    if (Serves(Format, CF_TEXT, TYMED_HGLOBAL) || Serves(Format, CF_FILECONTENTS, TYMED_HGLOBAL)) {
        std::vector<std::uint8_t> bytes(Text.begin(), Text.end());
        bytes.push_back(0);
        return GlobalMedium(bytes, Medium);
    }
    if (Serves(Format, CF_FILEGROUPDESCRIPTOR, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildFileGroupDescriptor("Text Scrap File.txt", ui::FD_PROGRESSUI), Medium);
    return DV_E_FORMATETC;
}

bool TDropTextSource::CutOrCopyToClipboard() { return !Text.empty() && PlaceOnClipboard(CF_TEXT); }

// ---------------------------------------------------------------------------
// TDropFileSource

TDropFileSource::TDropFileSource(TComponent* AOwner) : TDropSource(AOwner) { DropSource::AddFileFormats(*this); }

namespace {

std::vector<std::string> Lines(const TStrings& strings)
{
    std::vector<std::string> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings.Strings(i));
    return lines;
}

} // namespace

HRESULT TDropFileSource::DoGetData(const FORMATETC& Format, STGMEDIUM& Medium)
{
    Medium = STGMEDIUM{};
    if (files_.Count() == 0)
        return E_UNEXPECTED;
    const bool namesMapped = mappedNames_.Count() == files_.Count();
    if (Serves(Format, CF_HDROP, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildDropFiles(Lines(files_)), Medium);
    if (namesMapped && Serves(Format, CF_FILENAMEMAP, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildNameList(Lines(mappedNames_)), Medium);
    if (namesMapped && Serves(Format, CF_FILENAMEMAPW, TYMED_HGLOBAL))
        return GlobalMedium(ui::BuildNameListW(Lines(mappedNames_)), Medium);
    if (Serves(Format, CF_IDLIST, TYMED_HGLOBAL)) {
        // Item lists are relative to one folder: files of several folders
        // have none.
        std::vector<std::uint8_t> cida;
        if (!ui::BuildFileCida(Lines(files_), cida))
            return E_OUTOFMEMORY;
        return GlobalMedium(cida, Medium);
    }
    if (Serves(Format, CF_PREFERREDDROPEFFECT, TYMED_HGLOBAL))
        return GlobalMedium(DropSource::PreferredEffectBytes(FeedbackEffect()), Medium);
    return DV_E_FORMATETC;
}

bool TDropFileSource::CutOrCopyToClipboard() { return files_.Count() > 0 && PlaceOnClipboard(CF_HDROP); }

namespace DropSource {

void AddFileFormats(TDropSource& Source)
{
    for (UINT format : {CF_HDROP, CF_IDLIST, CF_PREFERREDDROPEFFECT, CF_FILENAMEMAP, CF_FILENAMEMAPW})
        Source.AddFormatEtc(static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
}

std::vector<std::uint8_t> PreferredEffectBytes(DWORD Effect)
{
    std::vector<std::uint8_t> bytes(4);
    rtl::PutLE32(bytes.data(), Effect);
    return bytes;
}

} // namespace DropSource
