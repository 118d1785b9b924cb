#include "editor/tools/MultiTWAIN.h"

#include <algorithm>
#include <array>

#include "editor/tools/TwainSourceForms.h"
#include "platform/scanner/Scanner.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"

namespace MultiTWAIN {

std::string DefaultSource;

} // namespace MultiTWAIN

using namespace MultiTWAIN;

namespace {

int state = 1;
int availability = 0;
TW_IDENTITY appIdentity;
TW_IDENTITY sourceIdentity;
HWND parent = nullptr;
bool hideUserInterface = false;
std::uint16_t lastReturnCode = TWRC_SUCCESS;
int lastStatus = scanner::StatusGood; // of the library's last call
int pendingTransfers = 0;
HGLOBAL lastImage = nullptr;
std::array<HGLOBAL, TWAIN_MaxImages> imageTable{};
int imageCount = 0;
int imagesDelivered = 0; // numbers handed to the callback since the table was emptied
TTwainImageHandler imageHandler = nullptr;
// What the source has to tell its window: an image is ready, or its window
// was closed.
enum TSourceEvent : std::uint8_t { seNone, seXferReady, seCloseRequest };
TSourceEvent sourceEvent = seNone;

// The return code of a library status.
std::uint16_t Call(int status)
{
    lastStatus = status;
    lastReturnCode = status == scanner::StatusGood ? TWRC_SUCCESS : TWRC_FAILURE;
    return lastReturnCode;
}

void Assert(bool condition)
{
    if (!condition)
        ui::MessageBox(nullptr, "Assertion failed", "EZTWAIN", MB_OK);
}

std::string Truncated(const std::string& text) { return text.substr(0, 33); }

// The pixel type a scan mode stands for; -1 for other modes.
int PixelTypeOfMode(const std::string& mode)
{
    std::string lower = mode;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "lineart" || lower == "binary" || lower == "halftone")
        return TWPT_BW;
    if (lower == "gray" || lower == "grey")
        return TWPT_GRAY;
    if (lower == "color" || lower == "colour")
        return TWPT_RGB;
    return -1;
}

void PostSourceEvent(TSourceEvent event)
{
    sourceEvent = event;
    ui::PostMessage(parent, WM_TWAINEVENT, 0, 0);
}

// Stores one received image and hands it to the handler. A full table
// keeps no more, but the handler still gets every image.
void Deliver(HGLOBAL dib)
{
    lastImage = dib;
    if (imageCount < TWAIN_MaxImages)
        imageTable[static_cast<std::size_t>(imageCount++)] = dib;
    state = 7;
    const int number = imagesDelivered++;
    if (imageHandler)
        imageHandler(dib, number);
}

// Ends the transfer of one image: the next page of a feeder is pending,
// anything else ends the burst.
void EndTransfer()
{
    pendingTransfers = 0;
    if (scanner::FromFeeder() && Call(scanner::Start()) == TWRC_SUCCESS)
        pendingTransfers = 1;
    if (pendingTransfers > 0) {
        state = 6;
        return;
    }
    scanner::Cancel();
    state = 5;
    // Nothing more to scan: the source's part of the session is over, as
    // when the user closes a source's window.
    PostSourceEvent(seCloseRequest);
}

} // namespace

void TWAIN_FillAppIdentity(int major, int minor, int language, int country, const std::string& version,
                           const std::string& manufacturer, const std::string& family, const std::string& product)
{
    appIdentity = TW_IDENTITY{};
    appIdentity.Version = {static_cast<std::uint16_t>(major), static_cast<std::uint16_t>(minor),
                           static_cast<std::uint16_t>(language), static_cast<std::uint16_t>(country),
                           Truncated(version)};
    appIdentity.ProtocolMajor = 1;
    appIdentity.ProtocolMinor = 6;
    appIdentity.SupportedGroups = 3;
    appIdentity.Manufacturer = Truncated(manufacturer);
    appIdentity.ProductFamily = Truncated(family);
    appIdentity.ProductName = Truncated(product);
}

const TW_IDENTITY& TWAIN_AppIdentity() { return appIdentity; }

bool TWAIN_ManagerPresent()
{
    if (scanner::Loaded())
        return true;
    if (availability == 0) {
        availability = TWAIN_LoadManagerLibrary() ? 1 : -1;
        if (availability == 1)
            TWAIN_FreeManagerLibrary();
    }
    return availability == 1;
}

int TWAIN_UnitVersion() { return 106; }
int TWAIN_CurrentStage() { return state; }
bool TWAIN_SourceDialogSuppressed() { return hideUserInterface; }
void TWAIN_SuppressSourceDialog(int flag) { hideUserInterface = flag != 0; }
void TWAIN_InstallImageHandler(TTwainImageHandler handler) { imageHandler = handler; }
void TWAIN_RemoveImageHandler() { imageHandler = nullptr; }

void TWAIN_EmptyImageTable()
{
    imageTable.fill(nullptr);
    imageCount = 0;
    imagesDelivered = 0;
}

int TWAIN_ImagesReceived() { return imageCount; }

HGLOBAL TWAIN_ImageAt(int n) { return n >= 0 && n < imageCount ? imageTable[static_cast<std::size_t>(n)] : nullptr; }

bool TWAIN_LoadManagerLibrary()
{
    if (state >= 2)
        return true;
    if (!scanner::Load())
        return false;
    state = 2;
    availability = 1;
    return true;
}

bool TWAIN_OpenManagerSession(HWND window)
{
    if (!TWAIN_LoadManagerLibrary())
        return false;
    if (state == 2) {
        parent = window;
        if (Call(scanner::Init()) == TWRC_SUCCESS)
            state = 3;
    }
    return state >= 3;
}

bool TWAIN_OpenStandardSource()
{
    if (state != 3)
        return state >= 4;
    std::string name = DefaultSource;
    if (name.empty()) {
        const std::vector<std::string> devices = scanner::Devices();
        if (!devices.empty())
            name = devices.front();
    }
    sourceIdentity = TW_IDENTITY{};
    if (name.empty()) {
        Call(scanner::StatusInvalid);
        lastStatus = scanner::StatusUnsupported; // no source
    } else if (Call(scanner::Open(name)) == TWRC_SUCCESS) {
        sourceIdentity.ProductName = Truncated(name);
        state = 4;
    }
    if (state != 4)
        TWAIN_RecordError(4);
    return state == 4;
}

bool TWAIN_ChoosePixelKind(int mask)
{
    if (state != 4) {
        TWAIN_RecordError(7);
        return false;
    }
    if (mask == 0)
        return true;
    std::vector<std::string> modes;
    if (!scanner::Modes(modes)) {
        Call(scanner::StatusUnsupported);
        TWAIN_RecordError(2);
        return false;
    }
    if (modes.empty()) {
        TWAIN_RecordError(12);
        return false;
    }
    // The wanted types the source offers, in increasing order; the scan
    // mode of the first becomes the source's.
    std::string chosen;
    int chosenType = 99;
    bool anyType = false;
    for (const std::string& mode : modes) {
        const int type = PixelTypeOfMode(mode);
        anyType = anyType || type >= 0;
        if (type >= 0 && (mask & (1 << type)) && type < chosenType) {
            chosenType = type;
            chosen = mode;
        }
    }
    if (!anyType) {
        TWAIN_RecordError(11);
        return false;
    }
    if (chosen.empty()) {
        TWAIN_RecordError(13);
        return false;
    }
    if (Call(scanner::SetMode(chosen)) != TWRC_SUCCESS) {
        TWAIN_RecordError(3);
        return false;
    }
    return true;
}

bool TWAIN_ActivateSource(HWND window)
{
    if (state != 4) {
        TWAIN_RecordError(5);
        return false;
    }
    parent = window;
    sourceEvent = seNone;
    if (!hideUserInterface && !TwainSourceForms::AskScanSettings()) {
        // The user closed the source's window before scanning.
        state = 5;
        PostSourceEvent(seCloseRequest);
        return true;
    }
    if (Call(scanner::Start()) == TWRC_FAILURE) {
        TWAIN_RecordError(5);
        return false;
    }
    state = 5;
    PostSourceEvent(seXferReady);
    return true;
}

bool TWAIN_DeactivateSource()
{
    if (state == 5) {
        scanner::Cancel();
        Call(scanner::StatusGood);
        state = 4;
    }
    return state < 5;
}

bool TWAIN_ShutSource()
{
    lastReturnCode = TWRC_SUCCESS;
    if (state == 5)
        TWAIN_DeactivateSource();
    if (state == 4) {
        scanner::Close();
        sourceIdentity = TW_IDENTITY{};
        state = 3;
    }
    return state < 4;
}

bool TWAIN_CloseManagerSession(HWND)
{
    lastReturnCode = TWRC_SUCCESS;
    if (TWAIN_ShutSource() && state == 3) {
        scanner::Exit();
        state = 2;
    }
    return state <= 2;
}

bool TWAIN_FreeManagerLibrary()
{
    if (state == 2) {
        scanner::Unload();
        state = 1;
    }
    return state == 1;
}

std::uint16_t TWAIN_PreviousReturnCode() { return lastReturnCode; }

std::uint16_t TWAIN_FetchConditionCode()
{
    if (state < 3)
        return TWCC_SEQERROR;
    switch (lastStatus) {
    case scanner::StatusGood: return TWCC_SUCCESS;
    case scanner::StatusUnsupported: return state == 3 ? TWCC_NODS : TWCC_BADCAP;
    case scanner::StatusDeviceBusy: return TWCC_MAXCONNECTIONS;
    case scanner::StatusInvalid: return TWCC_BADVALUE;
    case scanner::StatusJammed: return TWCC_PAPERJAM;
    case scanner::StatusNoMem: return TWCC_LOWMEMORY;
    case scanner::StatusAccessDenied: return TWCC_DENIED;
    case scanner::StatusNoDocs:
    case scanner::StatusCoverOpen:
    case scanner::StatusIoError: return TWCC_OPERATIONERROR;
    default: return TWCC_BUMMER;
    }
}

bool TWAIN_FilterWindowMessage(const TMsg& message)
{
    if (state < 5 || message.message != WM_TWAINEVENT)
        return false;
    lastReturnCode = TWRC_DSEVENT;
    const TSourceEvent event = sourceEvent;
    sourceEvent = seNone;
    if (event == seXferReady) {
        state = 6;
        TWAIN_FetchPendingImages();
    } else if (event == seCloseRequest) {
        TWAIN_DeactivateSource();
    }
    return true;
}

void TWAIN_FetchPendingImages()
{
    Assert(state == 6);
    while (state == 6) {
        HGLOBAL dib = nullptr;
        const int status = scanner::ReadImage(dib);
        Call(status);
        if (status == scanner::StatusGood) {
            lastReturnCode = TWRC_XFERDONE;
            Deliver(dib);
        } else {
            lastImage = nullptr;
            lastReturnCode = status == scanner::StatusCancelled ? TWRC_CANCEL : TWRC_FAILURE;
            // A failed transfer ends the burst: asking again would fail
            // again for ever.
            scanner::Cancel();
            pendingTransfers = 0;
            state = 5;
            PostSourceEvent(seCloseRequest);
            break;
        }
        Assert(state >= 6);
        if (state == 7)
            EndTransfer();
    }
}
