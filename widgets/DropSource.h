#pragma once

// The source of a drag-and-drop operation and of clipboard copies: the
// component is at once the data object that offers its data in a list of
// formats and the drop source that steers the drag. TDropSource holds what is
// common; TDropTextSource offers a text, TDropFileSource a list of files.
//
// A drag runs inside Execute. Its result is the effect the target answered
// when it took the drop, so a caller that moves data deletes the original
// only when Execute reports drDropMove.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Ole.h"
#include "platform/ui/ShellItems.h"

// Formats registered by name when the unit starts.
extern UINT CF_FILECONTENTS;
extern UINT CF_FILEGROUPDESCRIPTOR;
extern UINT CF_IDLIST;
extern UINT CF_PREFERREDDROPEFFECT;
extern UINT CF_URL;
extern UINT CF_FILENAMEMAP;
extern UINT CF_FILENAMEMAPW;
// The shell's allocator: item-ID lists are made and freed with it.
extern IMalloc* ShellMalloc;

// A component that implements interfaces with a reference count of its own.
// Sources and targets hold one reference on themselves, so interface use
// never frees them: their owner does.
class TInterfacedComponent : public TComponent, public virtual IUnknown {
    DECLARE_CLASS(TInterfacedComponent, TComponent)
public:
    explicit TInterfacedComponent(TComponent* AOwner);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;
    int RefCount() const { return refCount_; }

private:
    std::atomic<std::int32_t> refCount_{0};
};

// The bits of a set of drag types are the drop effects (copy 1, move 2, link 4).
enum TDragType : std::uint8_t { dtCopy, dtMove, dtLink };
using TDragTypes = TEnumSet<TDragType>;
enum TDragResult : std::uint8_t { drDropCopy, drDropMove, drDropLink, drCancel, drOutMemory, drUnknown };

using TDropEvent = std::function<void(TObject* Sender, TDragType DragType, bool& ContinueDrop)>;
using TFeedbackEvent = std::function<void(TObject* Sender, int Effect, bool& UseDefaultCursors)>;

constexpr int MaxDataFormats = 20;

class TDropSource : public TInterfacedComponent, public IDataObject, public IDropSource {
    DECLARE_CLASS(TDropSource, TInterfacedComponent)
public:
    explicit TDropSource(TComponent* AOwner);
    ~TDropSource() override;

    TDragTypes Dragtypes{dtCopy};
    TDropEvent OnDrop;
    TFeedbackEvent OnFeedback;

    // Formats offered, in the order added.
    std::array<FORMATETC, MaxDataFormats> DataFormats{};
    int DataFormatCount = 0;

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    bool ShowImage() const { return showImage_; }
    void SetShowImage(bool Value);
    TPoint ImageHotSpot{16, 16};
    // The coordinates of ImageHotSpot: index 1 is x, 2 is y.
    int GetPoint(int Index) const;
    void SetPoint(int Index, int Value);
    // The last effect the drag reported, or that of the last clipboard copy.
    DWORD FeedbackEffect() const { return feedbackEffect_; }

    // Runs the drag with the allowed effects Dragtypes.
    TDragResult Execute();

    virtual HRESULT DoGetData(const FORMATETC& Format, STGMEDIUM& Medium) = 0;
    // Appends a format; ignored when MaxDataFormats are listed.
    virtual void AddFormatEtc(CLIPFORMAT Format, DVTARGETDEVICE* Device, DWORD Aspect, std::int32_t Index, DWORD Tymed);
    // Places the class's main format on the open clipboard.
    virtual bool CutOrCopyToClipboard();
    virtual bool CutToClipboard();
    virtual bool CopyToClipboard();

    // IDataObject
    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) override;
    HRESULT SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) override;
    HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT DAdvise(const FORMATETC& format, DWORD advf, IAdviseSink* sink, DWORD* connection) override;
    HRESULT DUnadvise(DWORD connection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) override;

    // IDropSource
    HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) override;
    HRESULT GiveFeedback(DWORD effect) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Asks the object for a format in global memory and puts it on the open
    // clipboard; false when either fails.
    bool PlaceOnClipboard(UINT Format);
    // Whether the request asks for the content in a medium the class serves.
    static bool Serves(const FORMATETC& Format, UINT Wanted, DWORD Tymed);
    // A global-memory medium with the bytes; E_OUTOFMEMORY when they do not fit.
    static HRESULT GlobalMedium(const std::vector<std::uint8_t>& Bytes, STGMEDIUM& Medium);

private:
    bool ClipboardOperation(DWORD Effect);
    bool Loading() const { return (ComponentState() & csLoading) != 0; }

    TImageList* images_ = nullptr;
    int imageIndex_ = 0;
    bool showImage_ = false;
    DWORD feedbackEffect_ = DROPEFFECT_NONE;
};

// Enumerates a source's formats from its position on.
class TEnumFormatEtc final : public IEnumFORMATETC {
public:
    TEnumFormatEtc(const std::array<FORMATETC, MaxDataFormats>& Formats, int Count, int Position = 0);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFORMATETC** ppenum) override;

private:
    ~TEnumFormatEtc() = default;

    std::array<FORMATETC, MaxDataFormats> formats_;
    int count_;
    int position_;
    std::atomic<ULONG> refs_{1};
};

class TDropTextSource : public TDropSource {
    DECLARE_CLASS(TDropTextSource, TDropSource)
public:
    explicit TDropTextSource(TComponent* AOwner);

    std::string Text;

    HRESULT DoGetData(const FORMATETC& Format, STGMEDIUM& Medium) override;
    bool CutOrCopyToClipboard() override;
};

class TDropFileSource : public TDropSource {
    DECLARE_CLASS(TDropFileSource, TDropSource)
public:
    explicit TDropFileSource(TComponent* AOwner);

    TStrings& Files() { return files_; }
    void SetFiles(const TStrings& Value) { files_.Assign(&Value); }
    // Names the files get at the target, one per file, or none.
    TStrings& MappedNames() { return mappedNames_; }
    void SetMappedNames(const TStrings& Value) { mappedNames_.Assign(&Value); }

    HRESULT DoGetData(const FORMATETC& Format, STGMEDIUM& Medium) override;
    bool CutOrCopyToClipboard() override;

private:
    TStringList files_;
    TStringList mappedNames_;
};

namespace DropSource {

// The five global-memory formats of file and item-list sources.
void AddFileFormats(TDropSource& Source);
// The bytes every source gives for "Preferred DropEffect".
std::vector<std::uint8_t> PreferredEffectBytes(DWORD Effect);

} // namespace DropSource
