#include "core/Tools.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/Controls.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Tools {

namespace {

const std::string crlf = "\r\n";

std::string Substring(const std::string& text, std::size_t from, std::size_t count)
{
    return from < text.size() ? text.substr(from, count) : std::string();
}

// The 1-based characters first..last of text; shorter when the text ends earlier.
std::string Characters(const std::string& text, std::size_t first, std::size_t last)
{
    return Substring(text, first - 1, last - first + 1);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Lines of a CR LF list, a last line without CR LF included.
template <typename Visit> void ForEachLine(const std::string& text, Visit visit)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(crlf, start);
        if (end == std::string::npos) {
            visit(text.substr(start));
            return;
        }
        visit(text.substr(start, end - start));
        start = end + crlf.size();
    }
}

// Removes the window's queued messages in [first, last] without dispatching them.
void KillMessages(HWND window, UINT first, UINT last)
{
    TMsg message;
    while (ui::PeekMessage(message, window, first, last, PM_REMOVE)) {
    }
}

// Decimal text with the separator after every third digit from the right.
std::string GroupDigits(const std::string& plain)
{
    const std::string separator = GetLocalCharacter(LOCALE_STHOUSAND);
    const bool negative = !plain.empty() && plain.front() == '-';
    const std::string digits = negative ? plain.substr(1) : plain;
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::size_t fromRight = digits.size() - i;
        grouped += digits[i];
        if (fromRight > 1 && (fromRight - 1) % 3 == 0)
            grouped += separator;
    }
    return negative ? "-" + grouped : grouped;
}

} // namespace

int CountStrNr(const std::string& text) { return CountStrNrDiv(text, crlf); }

std::string GetStrNr(const std::string& text, int n) { return GetStrNrDiv(text, crlf, n); }

int CountStrNrDiv(const std::string& text, const std::string& separator)
{
    if (separator.empty())
        return 0;
    int count = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, at + separator.size()))
        ++count;
    return count;
}

std::string GetStrNrDiv(const std::string& text, const std::string& separator, int n)
{
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        const std::size_t at = separator.empty() ? std::string::npos : text.find(separator, start);
        if (at == std::string::npos)
            return {};
        start = at + separator.size();
    }
    const std::size_t end = separator.empty() ? std::string::npos : text.find(separator, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string KillSubStr(const std::string& text, const std::string& sub)
{
    if (sub.empty())
        return text;
    std::string result = text;
    // A removal can only create a new occurrence across the joint, so the
    // search resumes just before it instead of at the start.
    std::size_t at = result.find(sub);
    while (at != std::string::npos) {
        result.erase(at, sub.size());
        at = result.find(sub, at >= sub.size() ? at - sub.size() + 1 : 0);
    }
    return result;
}

std::string KillBeginEndSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string DirName(const std::string& path)
{
    if (path.empty() || IsSeparator(path.back()))
        return path;
    return path + '/';
}

std::string IfStr(bool flag, const std::string& a, const std::string& b) { return flag ? a : b; }

std::string LabelFilename(const std::string& text)
{
    std::string caption;
    caption.reserve(text.size());
    for (char c : text) {
        caption += c;
        if (c == '&')
            caption += '&';
    }
    return caption;
}

std::int32_t HexToInt(const std::string& text)
{
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    std::uint32_t value = 0;
    for (char c : upper) {
        std::uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else
            throw EConvertError("Kann " + upper + " nicht als hexadezimale Zahl interpretieren!");
        value = value * 16 + digit; // wraps like the 32-bit sum of the weighted digits
    }
    return static_cast<std::int32_t>(value);
}

TGUID StringToGUID(const std::string& text)
{
    TGUID guid;
    guid.D1 = static_cast<std::uint32_t>(HexToInt(Characters(text, 1, 8)));
    guid.D2 = static_cast<std::uint16_t>(HexToInt(Characters(text, 10, 13)));
    guid.D3 = static_cast<std::uint16_t>(HexToInt(Characters(text, 15, 18)));
    guid.D4[0] = static_cast<std::uint8_t>(HexToInt(Characters(text, 20, 21)));
    guid.D4[1] = static_cast<std::uint8_t>(HexToInt(Characters(text, 22, 23)));
    for (std::size_t k = 2; k < 8; ++k) {
        const std::size_t first = 25 + 2 * (k - 2);
        guid.D4[k] = static_cast<std::uint8_t>(HexToInt(Characters(text, first, first + 1)));
    }
    return guid;
}

bool CompareGUID(const TGUID& a, const TGUID& b)
{
    return a.D1 == b.D1 && a.D2 == b.D2 && a.D3 == b.D3 && std::memcmp(a.D4, b.D4, sizeof a.D4) == 0;
}

std::string ExtractFilenameWithOutExt(const std::string& path)
{
    std::size_t nameStart = 0;
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1])) {
            nameStart = i;
            break;
        }
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return path;
    return path.substr(0, dot);
}

std::int64_t FilenameFileSize(const std::string& name)
{
    TSearchRec rec;
    if (rtl::FindFirst(name, faReadOnly | faHidden | faSysFile | faArchive, rec) != 0)
        throw Exception("Fehler in Unit Tools.FilenameFileSize");
    const std::int64_t size = rec.Size;
    rtl::FindClose(rec);
    return size;
}

bool FilenameDeleteFile(const std::string& name) { return rtl::DeleteFile(name); }

std::string ScanDirectory(const std::string& folder, const std::string& masks, bool recursive)
{
    const std::string base = DirName(folder);
    std::string result;
    TSearchRec rec;
    constexpr int attributes = faReadOnly | faHidden | faSysFile | faDirectory | faArchive;
    for (int found = rtl::FindFirst(base + "*.*", attributes, rec); found == 0; found = rtl::FindNext(rec)) {
        if ((rec.Attr & faDirectory) != 0 && recursive) {
            if (rec.Name.front() != '.')
                result += ScanDirectory(base + rec.Name, masks, true);
            continue;
        }
        ForEachLine(masks, [&](const std::string& mask) {
            if (!mask.empty() && rtl::MatchesMask(rec.Name, mask))
                result += base + rec.Name + crlf;
        });
    }
    rtl::FindClose(rec);
    return result;
}

std::string GetWinDir() { return DirName(rtl::WindowsDir()); }

std::string GetSysDir()
{
    // The shared system libraries stand in for the Windows system folder.
    return "/usr/lib/";
}

bool GetVersionInfo(TOSVersionInfo& info)
{
    utsname name{};
    if (uname(&name) != 0)
        return false;
    info = TOSVersionInfo{};
    // The kernel release "major.minor.patch-..." gives the three numbers; the
    // kernel plays the part of the NT line (one code base, protected memory).
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(name.release, "%u.%u.%u", &major, &minor, &patch);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = patch;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    return true;
}

bool WindowsNT()
{
    TOSVersionInfo info;
    return GetVersionInfo(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool Windows9x()
{
    TOSVersionInfo info;
    return GetVersionInfo(info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

std::string GetWindowsVersion()
{
    TOSVersionInfo info;
    if (!GetVersionInfo(info))
        return "Fehler bei GetversionEx()!";
    char text[64];
    const unsigned build = info.dwBuildNumber & 0xFFFF;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
        std::snprintf(text, sizeof text, "Microsoft Windows NT Version %u.%.2u.%u", info.dwMajorVersion,
                      info.dwMinorVersion, build);
    else if (info.dwMajorVersion == 4 && info.dwMinorVersion != 0)
        std::snprintf(text, sizeof text, "Windows 98 - Version %u.%.2u.%u", info.dwMajorVersion, info.dwMinorVersion,
                      build);
    else
        std::snprintf(text, sizeof text, "Windows 95 - Version %u.%u Build %u", info.dwMajorVersion,
                      info.dwMinorVersion, build);
    return std::string(text).substr(0, 51);
}

std::string GetLocalCharacter(int item)
{
    switch (item) {
    case LOCALE_SDECIMAL: return rtl::FormatSettings.DecimalSeparator;
    case LOCALE_STHOUSAND: return rtl::FormatSettings.ThousandSeparator;
    default: return {};
    }
}

std::string ZahlPunkt(std::int32_t value) { return GroupDigits(std::to_string(value)); }

std::string CompZahlPunkt(std::int64_t value) { return GroupDigits(std::to_string(value)); }

std::string TickCountToStr(std::uint32_t ms)
{
    const std::uint32_t hours = ms / 3600000;
    const std::uint32_t rest = ms - hours * 3600000;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%03u", hours, rest / 60000, (rest % 60000) / 1000, rest % 1000);
    return text;
}

std::string SubTime(TDateTime a, TDateTime b)
{
    const TDateTime difference = a - b;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    rtl::DecodeTime(difference, hour, minute, second, millisecond);
    return rtl::TimeToStr(difference) + "." + std::to_string(millisecond);
}

void ProcessComponentMessages(HWND window)
{
    TMsg message;
    while (ui::PeekMessage(message, window, 0, 0, PM_REMOVE)) {
        ui::TranslateMessage(message);
        ui::DispatchMessage(message);
    }
}

void KillMouseMessages(HWND window) { KillMessages(window, WM_MOUSEFIRST, WM_MOUSELAST); }

void KillKeyboardMessages(HWND window) { KillMessages(window, WM_KEYFIRST, WM_KEYLAST); }

void KillMouseKeyBoardMessages(HWND window)
{
    KillKeyboardMessages(window);
    KillMouseMessages(window);
}

void ChangeEnabled(TControl* control, bool enabled)
{
    if (!control)
        return;
    if (auto* container = dynamic_cast<TWinControl*>(control))
        for (int i = 0; i < container->ControlCount(); ++i)
            ChangeEnabled(container->Controls(i), enabled);
    try {
        control->SetEnabled(enabled);
    } catch (const Exception&) {
        // One control that refuses must not keep the others in their state.
    }
}

TWinControl* FindPage(const TWinControl& pageControl, const std::string& name)
{
    for (int i = pageControl.ControlCount() - 1; i >= 0; --i) {
        auto* page = dynamic_cast<TWinControl*>(pageControl.Controls(i));
        if (page && page->Name() == name)
            return page;
    }
    throw Exception("Tabsheet \"" + name + "\" gibt es in \"" + pageControl.Name() + "\" nicht");
}

void DisableAll(TControl* control) { ChangeEnabled(control, false); }

void EnableAll(TControl* control) { ChangeEnabled(control, true); }

void SetClipRect(TCanvas& canvas, const TRect& rect)
{
    canvas.BeginPath();
    canvas.MoveTo(rect.Left, rect.Top);
    canvas.LineTo(rect.Right, rect.Top);
    canvas.LineTo(rect.Right, rect.Bottom);
    canvas.LineTo(rect.Left, rect.Bottom);
    canvas.LineTo(rect.Left, rect.Top);
    canvas.EndPath();
    canvas.SelectClipPath(RGN_COPY);
}

void ZeroMem32(void* p, int n)
{
    if (n > 0)
        std::memset(p, 0, static_cast<std::size_t>(n) * 4);
}

void MoveMem32(const void* source, void* target, int n)
{
    if (n > 0)
        std::memmove(target, source, static_cast<std::size_t>(n) * 4);
}

std::string Rot13(const std::string& text)
{
    std::string rotated = text;
    for (char& c : rotated) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>('a' + (c - 'a' + 13) % 26);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>('A' + (c - 'A' + 13) % 26);
    }
    return rotated;
}

} // namespace Tools
