#include "widgets/DrawUtils.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Modules.h"
#include "platform/ui/Forms.h"

namespace DrawUtils {

namespace {

std::function<void()>& BeepHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

void Beep()
{
    if (BeepHandler()) {
        BeepHandler()();
        return;
    }
    // The terminal's bell is the one sound every desktop passes on.
    if (isatty(STDERR_FILENO))
        (void)!write(STDERR_FILENO, "\a", 1);
}

void SetBeepHandlerForTests(std::function<void()> Handler) { BeepHandler() = std::move(Handler); }

std::string ReadRawArgument(const std::string& CmdLine, std::size_t& Pos)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    for (;;) {
        while (Pos < CmdLine.size() && blank(CmdLine[Pos]))
            ++Pos;
        if (Pos + 1 < CmdLine.size() && CmdLine[Pos] == '"' && CmdLine[Pos + 1] == '"')
            Pos += 2; // an empty pair in front counts for nothing
        else
            break;
    }
    std::string argument;
    while (Pos < CmdLine.size() && !blank(CmdLine[Pos])) {
        if (CmdLine[Pos] == '"') {
            ++Pos;
            while (Pos < CmdLine.size() && CmdLine[Pos] != '"')
                argument += CmdLine[Pos++];
            if (Pos < CmdLine.size())
                ++Pos;
        } else {
            argument += CmdLine[Pos++];
        }
    }
    return argument;
}

void SplitCommandLine(const std::string& CmdLine, std::string& ProgName, std::string& Params)
{
    ProgName.clear();
    Params.clear();
    std::size_t pos = 0;
    std::vector<std::string> arguments;
    for (;;) {
        std::string argument = ReadRawArgument(CmdLine, pos);
        if (argument.empty())
            break;
        arguments.push_back(std::move(argument));
    }
    if (arguments.empty())
        return;
    ProgName = arguments.front();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1)
            Params += ' ';
        const std::string& argument = arguments[i];
        if (argument.find(' ') != std::string::npos)
            Params += '"' + argument + '"';
        else
            Params += argument;
    }
}

std::string AnsiUpperFirstChar(const std::string& Text)
{
    std::string result = rtl::AnsiLowerCase(Text);
    if (result.empty())
        return result;
    // The first character may take several bytes.
    std::size_t length = 1;
    while (length < result.size() && (static_cast<unsigned char>(result[length]) & 0xC0) == 0x80)
        ++length;
    return rtl::AnsiUpperCase(result.substr(0, length)) + result.substr(length);
}

std::string DropT(const std::string& Name)
{
    if (Name.size() > 1 && (Name[0] == 'T' || Name[0] == 't'))
        return Name.substr(1);
    return Name;
}

std::string ResStr(const std::string& Text) { return Text; }

std::string GetEnvVar(const std::string& Name)
{
    constexpr std::size_t MaxLength = 2048;
    const char* value = std::getenv(Name.c_str());
    return value ? std::string(value).substr(0, MaxLength) : "";
}

HMODULE LoadDLL(const std::string& LibName)
{
    HMODULE module = rtl::LoadLibrary(LibName);
    if (!module)
        throw EWin32Error("Win32 Error.  Code: 0.\n" + rtl::LastLibraryError(), 0);
    return module;
}

bool RegisterServer(const std::string& ModuleName)
{
    HMODULE module = LoadDLL(ModuleName);
    using Entry = long (*)();
    auto entry = reinterpret_cast<Entry>(rtl::GetProcAddress(module, "DllRegisterServer"));
    if (entry)
        entry();
    rtl::FreeLibrary(module);
    return entry != nullptr;
}

void NotImplemented()
{
    Screen->SetCursor(crDefault);
    ui::MessageBox(nullptr, "Function not yet implemented", Application->Title, MB_OK | MB_ICONINFORMATION);
    throw EAbort("");
}

void RaiseWin32Error(int Code)
{
    if (Code == 0)
        return;
    throw EWin32Error("Win32 Error.  Code: " + std::to_string(Code) + ".\n" + std::strerror(Code), Code);
}

void CheckWin32(bool Ok)
{
    if (!Ok)
        RaiseWin32Error(errno != 0 ? errno : EINVAL);
}

int MsgBox(const std::string& Caption, const std::string& Text, UINT Flags)
{
    return Application->MessageBox(Text, Caption, Flags);
}

int MsgDlg(const std::string& Msg, TMsgDlgType AType, TMsgDlgButtons AButtons, int HelpCtx)
{
    return ui::MessageDlg(Msg, AType, AButtons, HelpCtx);
}

void ShowMDIClientEdge(HWND, bool) { }

void FreeUnusedOle() { }

std::string GetWindowsVersion()
{
    utsname system{};
    if (uname(&system) != 0)
        return {};
    return std::string(system.sysname) + " " + system.release;
}

bool CompareMem(const void* P1, const void* P2, std::size_t Size) { return std::memcmp(P1, P2, Size) == 0; }

namespace {

// Each block starts with its size; the caller sees what follows.
constexpr std::size_t MemoHeader = alignof(std::max_align_t);

long& MemoSizeOf(void* Block) { return *reinterpret_cast<long*>(static_cast<char*>(Block) - MemoHeader); }

} // namespace

void* AllocMemo(long Size)
{
    if (Size <= 0)
        return nullptr;
    char* raw = static_cast<char*>(std::calloc(1, MemoHeader + static_cast<std::size_t>(Size)));
    if (!raw)
        throw EOutOfMemory("Out of memory");
    *reinterpret_cast<long*>(raw) = Size;
    return raw + MemoHeader;
}

void* ReallocMemo(void* Block, long Size)
{
    if (!Block)
        return AllocMemo(Size);
    if (Size <= 0) {
        FreeMemo(Block);
        return nullptr;
    }
    const long old = MemoSizeOf(Block);
    char* raw = static_cast<char*>(
        std::realloc(static_cast<char*>(Block) - MemoHeader, MemoHeader + static_cast<std::size_t>(Size)));
    if (!raw)
        throw EOutOfMemory("Out of memory");
    *reinterpret_cast<long*>(raw) = Size;
    if (Size > old)
        std::memset(raw + MemoHeader + old, 0, static_cast<std::size_t>(Size - old));
    return raw + MemoHeader;
}

void FreeMemo(void*& Block)
{
    if (Block)
        std::free(static_cast<char*>(Block) - MemoHeader);
    Block = nullptr;
}

long GetMemoSize(const void* Block) { return Block ? MemoSizeOf(const_cast<void*>(Block)) : 0; }

void HugeMove(void* Base, long DestIndex, long SrcIndex, long Count)
{
    if (Count <= 0)
        return;
    auto* items = static_cast<std::uint32_t*>(Base);
    std::memmove(items + DestIndex, items + SrcIndex, static_cast<std::size_t>(Count) * sizeof(std::uint32_t));
}

std::unique_ptr<char[]> StrPAlloc(const std::string& Text)
{
    auto copy = std::make_unique<char[]>(Text.size() + 1);
    std::memcpy(copy.get(), Text.c_str(), Text.size() + 1);
    return copy;
}

} // namespace DrawUtils
