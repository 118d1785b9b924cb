// The scanner layer's composite calls: choosing the source, acquiring one
// image in a loop of its own, capability setters and the error boxes.

#include "editor/tools/MultiTWAIN.h"
#include "editor/tools/TwainSourceForms.h"
#include "platform/scanner/Scanner.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"

namespace {

int recordedError = 0;

// A window of our own when the caller has none: the session's events are
// posted to it.
HWND MakeProxyWindow()
{
    return ui::CreateRawWindow(ui::MakeWindowProc(
        [](HWND wnd, UINT msg, WPARAM w, LPARAM l) -> LRESULT { return ui::DefWindowProc(wnd, msg, w, l); }));
}

// Waits for the next message; false on WM_QUIT.
bool NextMessage(TMsg& message)
{
    for (;;) {
        ui::PumpPlatformEvents();
        if (ui::PeekMessage(message, nullptr, 0, 0, PM_REMOVE))
            return message.message != WM_QUIT;
        ui::WaitForEvents(50);
    }
}

} // namespace

void TWAIN_RecordError(int code)
{
    if (recordedError == 0)
        recordedError = code;
}

void TWAIN_ResetError() { recordedError = 0; }

int TWAIN_RecordedError() { return recordedError; }

void TWAIN_ShowErrorMessage(const std::string& text)
{
    ui::MessageBox(nullptr, text, "TWAIN Error", MB_OK | MB_ICONEXCLAMATION);
}

void TWAIN_ReportLastError(const std::string&) { TWAIN_ShowErrorMessage("TWAIN_ReportLastError: an error occurred"); }

bool TWAIN_SelectImageSource(HWND window)
{
    HWND proxy = nullptr;
    if (!window) {
        proxy = window = MakeProxyWindow();
        if (!window) {
            TWAIN_ShowErrorMessage("TWAIN_SelectImageSource: Unable to create proxy window");
            return false;
        }
    } else if (!ui::IsWindow(window)) {
        TWAIN_ShowErrorMessage("TWAIN_SelectImageSource: window handle is invalid");
        return false;
    }
    bool chosen = false;
    if (!TWAIN_LoadManagerLibrary()) {
        TWAIN_ShowErrorMessage("Unable to load Source Manager (TWAIN_32.DLL)");
    } else if (!TWAIN_OpenManagerSession(window)) {
        TWAIN_ShowErrorMessage("Unable to open Source Manager (TWAIN_32.DLL)");
    } else {
        std::string source = MultiTWAIN::DefaultSource;
        chosen = TwainSourceForms::SelectSource(scanner::Devices(), source);
        if (chosen)
            MultiTWAIN::DefaultSource = source;
        TWAIN_CloseManagerSession(window);
    }
    TWAIN_FreeManagerLibrary();
    if (proxy)
        ui::DestroyRawWindow(proxy);
    return chosen;
}

HGLOBAL TWAIN_AcquireOneImage(HWND window, int pixelTypes)
{
    TWAIN_ResetError();
    TWAIN_EmptyImageTable();
    HWND proxy = nullptr;
    if (!ui::IsWindow(window))
        proxy = window = MakeProxyWindow();
    bool enabled = false;
    if (!window)
        TWAIN_ShowErrorMessage("Unable to create proxy window");
    else if (!TWAIN_LoadManagerLibrary())
        TWAIN_ShowErrorMessage("Unable to load Source Manager (TWAIN_32.DLL)");
    else if (!TWAIN_OpenManagerSession(window))
        TWAIN_ShowErrorMessage("Unable to open Source Manager (TWAIN_32.DLL)");
    else if (!TWAIN_OpenStandardSource() || !TWAIN_ChoosePixelKind(pixelTypes) || !TWAIN_ActivateSource(window))
        TWAIN_ReportLastError("");
    else
        enabled = true;
    HGLOBAL image = nullptr;
    if (enabled) {
        TMsg message;
        while (TWAIN_CurrentStage() >= 5 && TWAIN_ImagesReceived() == 0 && NextMessage(message))
            if (!TWAIN_FilterWindowMessage(message)) {
                ui::TranslateMessage(message);
                ui::DispatchMessage(message);
            }
        image = TWAIN_ImagesReceived() > 0 ? TWAIN_ImageAt(TWAIN_ImagesReceived() - 1) : nullptr;
    }
    TWAIN_DeactivateSource();
    TWAIN_ShutSource();
    TWAIN_CloseManagerSession(window);
    TWAIN_FreeManagerLibrary();
    if (proxy)
        ui::DestroyRawWindow(proxy);
    return image;
}

int TWAIN_AcquireToBmpFile(HWND window, const std::string& fileName)
{
    HGLOBAL image = TWAIN_AcquireOneImage(window, 0);
    if (!image)
        return -1;
    const int result = TWAIN_StoreImageAsBmp(image, fileName);
    TWAIN_ReleaseImageHandle(image);
    return result;
}

bool TWAIN_PutCapabilityValue(std::uint16_t capability, std::uint16_t, std::int32_t value)
{
    if (TWAIN_CurrentStage() != 4) {
        TWAIN_ShowErrorMessage("Attempt to set capability outside State 4.");
        return false;
    }
    switch (capability) {
    case ICAP_PIXELTYPE: return TWAIN_ChoosePixelKind(1 << value);
    case ICAP_BITDEPTH: return scanner::SetDepth(value) == scanner::StatusGood;
    // The library scans in its own units and one frame per start.
    case ICAP_UNITS:
    case CAP_XFERCOUNT: return true;
    default: return false;
    }
}

bool TWAIN_PutTransferCount(int count) { return TWAIN_PutCapabilityValue(CAP_XFERCOUNT, TWTY_INT16, count); }
bool TWAIN_PutUnits(int units) { return TWAIN_PutCapabilityValue(ICAP_UNITS, TWTY_UINT16, units); }
bool TWAIN_PutBitDepth(int bits) { return TWAIN_PutCapabilityValue(ICAP_BITDEPTH, TWTY_UINT16, bits); }
bool TWAIN_PutPixelKind(int kind) { return TWAIN_PutCapabilityValue(ICAP_PIXELTYPE, TWTY_UINT16, kind); }
