#pragma once

// The scanner layer: a state-keeping wrapper that walks an image-acquisition
// session through states 1 to 7 (library loaded, manager open, source open,
// source enabled, transfer ready, transferring) with plain functions. The
// manager is the system's scanner library, loaded at run time; sources are
// its devices; pixel types are their scan modes. Images arrive as global
// memory blocks holding a bottom-up device-independent bitmap (a 40-byte
// info header, the colour table, the rows). One session exists at a time:
// all state belongs to the unit. Everything runs on the user-interface
// thread.

#include <cstdint>
#include <string>

#include "platform/ui/GlobalMemory.h"
#include "platform/ui/Messages.h"

class TCanvas;

// Return codes.
constexpr std::uint16_t TWRC_SUCCESS = 0;
constexpr std::uint16_t TWRC_FAILURE = 1;
constexpr std::uint16_t TWRC_CHECKSTATUS = 2;
constexpr std::uint16_t TWRC_CANCEL = 3;
constexpr std::uint16_t TWRC_DSEVENT = 4;
constexpr std::uint16_t TWRC_NOTDSEVENT = 5;
constexpr std::uint16_t TWRC_XFERDONE = 6;

// Condition codes.
constexpr std::uint16_t TWCC_SUCCESS = 0;
constexpr std::uint16_t TWCC_BUMMER = 1;
constexpr std::uint16_t TWCC_LOWMEMORY = 2;
constexpr std::uint16_t TWCC_NODS = 3;
constexpr std::uint16_t TWCC_MAXCONNECTIONS = 4;
constexpr std::uint16_t TWCC_OPERATIONERROR = 5;
constexpr std::uint16_t TWCC_BADCAP = 6;
constexpr std::uint16_t TWCC_BADVALUE = 10;
constexpr std::uint16_t TWCC_SEQERROR = 11;
constexpr std::uint16_t TWCC_DENIED = 16;
constexpr std::uint16_t TWCC_PAPERJAM = 20;

// Pixel types.
constexpr int TWPT_BW = 0;
constexpr int TWPT_GRAY = 1;
constexpr int TWPT_RGB = 2;

constexpr int TWLG_GERMAN = 6;
constexpr int TWCY_GERMANY = 49;

// Capabilities the setters know.
constexpr std::uint16_t CAP_XFERCOUNT = 0x0001;
constexpr std::uint16_t ICAP_PIXELTYPE = 0x0101;
constexpr std::uint16_t ICAP_UNITS = 0x0102;
constexpr std::uint16_t ICAP_BITDEPTH = 0x112B;
constexpr std::uint16_t TWTY_INT16 = 1;
constexpr std::uint16_t TWTY_UINT16 = 4;

struct TW_VERSION {
    std::uint16_t MajorNum = 0;
    std::uint16_t MinorNum = 0;
    std::uint16_t Language = 0;
    std::uint16_t Country = 0;
    std::string Info; // up to 33 characters
};

struct TW_IDENTITY {
    std::uint32_t Id = 0;
    TW_VERSION Version;
    std::uint16_t ProtocolMajor = 0;
    std::uint16_t ProtocolMinor = 0;
    std::uint32_t SupportedGroups = 0;
    std::string Manufacturer; // up to 33 characters each
    std::string ProductFamily;
    std::string ProductName;
};

// Gets each received image (the handler owns the block) and its number.
using TTwainImageHandler = void (*)(HGLOBAL dib, int number);

// The image table's size.
constexpr int TWAIN_MaxImages = 999;

// Set-up and state.
void TWAIN_FillAppIdentity(int major, int minor, int language, int country, const std::string& version,
                           const std::string& manufacturer, const std::string& family, const std::string& product);
const TW_IDENTITY& TWAIN_AppIdentity();
bool TWAIN_ManagerPresent();
int TWAIN_UnitVersion();
int TWAIN_CurrentStage();
bool TWAIN_SourceDialogSuppressed();
void TWAIN_SuppressSourceDialog(int flag);
void TWAIN_InstallImageHandler(TTwainImageHandler handler);
void TWAIN_RemoveImageHandler();
void TWAIN_EmptyImageTable();
int TWAIN_ImagesReceived();
HGLOBAL TWAIN_ImageAt(int n);

// Session steps.
bool TWAIN_LoadManagerLibrary();
bool TWAIN_OpenManagerSession(HWND window);
bool TWAIN_OpenStandardSource();
bool TWAIN_ChoosePixelKind(int mask);
bool TWAIN_ActivateSource(HWND window);
bool TWAIN_DeactivateSource();
bool TWAIN_ShutSource();
bool TWAIN_CloseManagerSession(HWND window);
bool TWAIN_FreeManagerLibrary();

std::uint16_t TWAIN_PreviousReturnCode();
std::uint16_t TWAIN_FetchConditionCode();

// Events and transfers.
bool TWAIN_FilterWindowMessage(const TMsg& message);
void TWAIN_FetchPendingImages();
bool TWAIN_SelectImageSource(HWND window);
HGLOBAL TWAIN_AcquireOneImage(HWND window, int pixelTypes);
int TWAIN_AcquireToBmpFile(HWND window, const std::string& fileName);

// Capabilities (state 4 only).
bool TWAIN_PutCapabilityValue(std::uint16_t capability, std::uint16_t itemType, std::int32_t value);
bool TWAIN_PutTransferCount(int count);
bool TWAIN_PutUnits(int units);
bool TWAIN_PutBitDepth(int bits);
bool TWAIN_PutPixelKind(int kind);

// Images.
void TWAIN_ReleaseImageHandle(HGLOBAL dib);
int TWAIN_ImageWidthOf(HGLOBAL dib);
int TWAIN_ImageHeightOf(HGLOBAL dib);
// Colours in the table after the info header; 0 for none.
int TWAIN_PaletteSizeOf(const std::uint8_t* header);
const std::uint8_t* TWAIN_PixelBitsOf(const std::uint8_t* header);
// The image 1:1 at (x, y) of the canvas, from (sourceX, sourceY) on.
void TWAIN_PaintImage(TCanvas& canvas, int x, int y, int width, int height, HGLOBAL dib, int sourceX, int sourceY);
// 0 written; -1 no name chosen; -2 file not created; -3 no image; -4 not written.
int TWAIN_StoreImageAsBmp(HGLOBAL dib, const std::string& fileName);

// Errors.
void TWAIN_ShowErrorMessage(const std::string& text);
void TWAIN_ReportLastError(const std::string& text);
void TWAIN_RecordError(int code);
void TWAIN_ResetError();
// The first error since the last reset (0: none), with the return and
// condition codes recorded for the failed calls.
int TWAIN_RecordedError();

namespace MultiTWAIN {

// The source OpenStandardSource opens; empty: the first device.
extern std::string DefaultSource;
// The message posted to the session's window when a source has an event
// (an image ready, or its window closed).
constexpr UINT WM_TWAINEVENT = 0x8000 + 0x7A1; // WM_APP + 0x7A1

} // namespace MultiTWAIN
