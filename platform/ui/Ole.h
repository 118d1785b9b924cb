#pragma once

// The component-object side of data exchange: result codes, reference-counted
// interfaces, format descriptions and storage media, as data objects, drop
// sources and drop targets use them. The objects live in this process; data
// that crosses to other programs goes through the MIME mapping (qt/MimeFormats.h).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/Types.h"
#include "platform/ui/GlobalMemory.h"
#include "platform/ui/Messages.h"

class TBitmap;

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using CLIPFORMAT = std::uint16_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064);
constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003);
constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Interfaces a component can be asked for.
enum IID : std::uint8_t { IID_IUnknown, IID_IDataObject, IID_IEnumFORMATETC, IID_IDropSource, IID_IDropTarget };
using REFIID = IID;

// Every interface derives virtually from IUnknown, so a component that
// implements several of them has one reference count.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// Which side of the data a format describes and where it is kept.
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_GDI = 16;
constexpr DWORD TYMED_NULL = 0;
constexpr DWORD DATADIR_GET = 1;
constexpr DWORD DATADIR_SET = 2;

struct DVTARGETDEVICE;

struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    DVTARGETDEVICE* ptd = nullptr;
    DWORD dwAspect = DVASPECT_CONTENT;
    std::int32_t lindex = -1;
    DWORD tymed = TYMED_HGLOBAL;
};

// Graphic objects handed over in a medium: a bitmap and the colours of its
// palette. The receiver of a medium owns them until ReleaseStgMedium.
using HBITMAP = std::shared_ptr<TBitmap>;
using HPALETTE = std::shared_ptr<std::vector<std::uint32_t>>;

struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    HGLOBAL hGlobal = nullptr;
    HBITMAP hBitmap;
    HPALETTE hPalette;
    IUnknown* pUnkForRelease = nullptr;
};

// Frees what the medium holds and empties it.
void ReleaseStgMedium(STGMEDIUM& medium);

struct IEnumFORMATETC : virtual IUnknown {
    // Copies up to celt entries; S_OK only when all celt were copied.
    virtual HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFORMATETC** ppenum) = 0;

protected:
    ~IEnumFORMATETC() = default;
};

struct IAdviseSink;
struct IEnumSTATDATA;

struct IDataObject : virtual IUnknown {
    virtual HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC& format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& in, FORMATETC& out) = 0;
    virtual HRESULT SetData(const FORMATETC& format, STGMEDIUM& medium, bool release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) = 0;
    virtual HRESULT DAdvise(const FORMATETC& format, DWORD advf, IAdviseSink* sink, DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** enumerator) = 0;

protected:
    ~IDataObject() = default;
};

// Drop effects; DROPEFFECT_SCROLL asks the target to scroll.
constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;
constexpr DWORD DROPEFFECT_SCROLL = 0x80000000;

// A key state (MK_* of Messages.h) also carries the Alt key while dragging.
constexpr DWORD MK_ALT = 0x0020;

struct IDropSource : virtual IUnknown {
    virtual HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) = 0;
    virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
    ~IDropSource() = default;
};

struct IDropTarget : virtual IUnknown {
    virtual HRESULT DragEnter(IDataObject* dataObj, DWORD keyState, TPoint screenPos, DWORD& effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, TPoint screenPos, DWORD& effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* dataObj, DWORD keyState, TPoint screenPos, DWORD& effect) = 0;

protected:
    ~IDropTarget() = default;
};

namespace ui {

// Start and end of the data-exchange layer. They nest; the layer needs
// nothing else set up, so they only count.
HRESULT OleInitialize();
void OleUninitialize();

// The block's bytes in a medium holding global memory; empty otherwise.
std::vector<std::uint8_t> MediumBytes(const STGMEDIUM& medium);

} // namespace ui
