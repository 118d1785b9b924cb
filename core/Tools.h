#pragma once

// The system's box of small routines: line lists kept in one text with CR LF
// separators, folder scanning, GUID texts, number and time formatting and
// platform queries.

#include "platform/graphics/Types.h"
#include "platform/ui/Messages.h"

#include "platform/rtl/DateTime.h"
#include <new>

#include <cstdint>
#include <string>

class TCanvas;
class TComponent;
class TControl;
class TWinControl;

// A GUID in its four fields, as the plug-ins report it.
struct TGUID {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::uint8_t D4[8] = {};
};

// The platform version record (148 bytes, as the version query fills it).
struct TOSVersionInfo {
    std::uint32_t dwOSVersionInfoSize = 148;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};

// Platform ids of the version record.
constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// Locale items of GetLocalCharacter.
constexpr int LOCALE_SDECIMAL = 14;
constexpr int LOCALE_STHOUSAND = 15;

namespace Tools {

// Line lists: every line ends with CR LF; a last line without one is not counted.
int CountStrNr(const std::string& text);
// Line n (0-based; n <= 0 gives the first), "" past the end.
std::string GetStrNr(const std::string& text, int n);
// The same with any separator.
int CountStrNrDiv(const std::string& text, const std::string& separator);
std::string GetStrNrDiv(const std::string& text, const std::string& separator, int n);

// text with every occurrence of sub removed, until none is left.
std::string KillSubStr(const std::string& text, const std::string& sub);
// text without leading and trailing blanks (only the blank character).
std::string KillBeginEndSpaces(const std::string& text);
// path with a trailing separator; "" stays "".
std::string DirName(const std::string& path);
std::string IfStr(bool flag, const std::string& a, const std::string& b);
// text for a caption: every "&" doubled, so none becomes an accelerator.
std::string LabelFilename(const std::string& text);
// Value of a hexadecimal text in wrapping 32-bit arithmetic; "" is 0. Other
// characters raise EConvertError.
std::int32_t HexToInt(const std::string& text);

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" to a GUID; missing digits count 0.
TGUID StringToGUID(const std::string& text);
bool CompareGUID(const TGUID& a, const TGUID& b);

// path without the extension of its file part.
std::string ExtractFilenameWithOutExt(const std::string& path);

// Size of the first file matching name (wildcards allowed); raises Exception
// "Fehler in Unit Tools.FilenameFileSize" when none matches.
std::int64_t FilenameFileSize(const std::string& name);
bool FilenameDeleteFile(const std::string& name);
// Paths of the files in folder matching any of the CR LF separated masks,
// each followed by CR LF; a name matching two masks is listed twice. Folders
// beginning with "." are not entered.
std::string ScanDirectory(const std::string& folder, const std::string& masks, bool recursive);

// The folder that stands in for the Windows folder, and the system folder;
// each with a trailing "/".
std::string GetWinDir();
std::string GetSysDir();
bool GetVersionInfo(TOSVersionInfo& info);
bool WindowsNT();
bool Windows9x();
std::string GetWindowsVersion();

// The locale's text for a locale item ("" for items it does not know).
std::string GetLocalCharacter(int item);
// Decimal text with the locale's thousands separator between groups of three.
std::string ZahlPunkt(std::int32_t value);
std::string CompZahlPunkt(std::int64_t value);
// Elapsed milliseconds as HH:MM:SS:mmm.
std::string TickCountToStr(std::uint32_t ms);
// Time text of a - b, "." and the milliseconds.
std::string SubTime(TDateTime a, TDateTime b);

// Takes the queued messages of the window (nullptr: of every window) out one
// by one, translating and dispatching each, until none is left.
void ProcessComponentMessages(HWND window);
// Drop the window's queued mouse messages (512-522), keyboard messages
// (256-264), or both (keyboard first), without dispatching them.
void KillMouseMessages(HWND window);
void KillKeyboardMessages(HWND window);
void KillMouseKeyBoardMessages(HWND window);

// Sets the enabled state of every control inside control, children before
// their parent, and then of control itself. A control that fails to change is
// left as it is and the others still change.
void ChangeEnabled(TControl* control, bool enabled);
void DisableAll(TControl* control);
void EnableAll(TControl* control);

// The page of pageControl (one of its child controls) named exactly name;
// the last one when several carry the name. None raises Exception.
TWinControl* FindPage(const TWinControl& pageControl, const std::string& name);

// Creates a form of class Form owned by owner such that reference already
// names it while its constructor runs (code the constructor calls may look
// the form up through it). When the constructor fails, reference is set to
// none and the error passes on.
template <class Form> void CreateOwnerForm(TComponent* owner, Form*& reference)
{
    void* memory = ::operator new(sizeof(Form));
    reference = static_cast<Form*>(memory);
    try {
        new (memory) Form(owner);
    } catch (...) {
        reference = nullptr;
        ::operator delete(memory);
        throw;
    }
}

// Makes the outline of rect the canvas's clip region, replacing the one before.
void SetClipRect(TCanvas& canvas, const TRect& rect);

// Clear, respectively copy, n 32-bit words.
void ZeroMem32(void* p, int n);
void MoveMem32(const void* source, void* target, int n);

std::string Rot13(const std::string& text);

} // namespace Tools
