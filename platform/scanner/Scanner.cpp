#include "platform/scanner/Scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace scanner {

static_assert(StatusGood == SANE_STATUS_GOOD && StatusUnsupported == SANE_STATUS_UNSUPPORTED &&
              StatusCancelled == SANE_STATUS_CANCELLED && StatusDeviceBusy == SANE_STATUS_DEVICE_BUSY &&
              StatusInvalid == SANE_STATUS_INVAL && StatusEof == SANE_STATUS_EOF &&
              StatusJammed == SANE_STATUS_JAMMED && StatusNoDocs == SANE_STATUS_NO_DOCS &&
              StatusCoverOpen == SANE_STATUS_COVER_OPEN && StatusIoError == SANE_STATUS_IO_ERROR &&
              StatusNoMem == SANE_STATUS_NO_MEM && StatusAccessDenied == SANE_STATUS_ACCESS_DENIED);

namespace {

// The scanner library and its device modules keep memory they never free,
// and the modules are unloaded before a sanitized build looks for leaks;
// what they allocate during a call is theirs, not ours to report.
struct TLibraryCall {
#if defined(__SANITIZE_ADDRESS__)
    TLibraryCall() { __lsan_disable(); }
    ~TLibraryCall() { __lsan_enable(); }
#else
    TLibraryCall() = default;
#endif
    TLibraryCall(const TLibraryCall&) = delete;
    TLibraryCall& operator=(const TLibraryCall&) = delete;
};

bool opened = false;
SANE_Handle device = nullptr;

// The option of that name, with its number; nullptr when there is none.
const SANE_Option_Descriptor* FindOption(const char* name, SANE_Int& number)
{
    const TLibraryCall call;
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(device, i);
        if (!option)
            return nullptr;
        if (option->name && std::strcmp(option->name, name) == 0) {
            number = i;
            return option;
        }
    }
}

int SetStringOption(const char* name, const std::string& value)
{
    const TLibraryCall call;
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(name, number) : nullptr;
    if (!option || option->type != SANE_TYPE_STRING)
        return StatusUnsupported;
    std::vector<char> text(static_cast<std::size_t>(std::max<SANE_Int>(option->size, 1)) + value.size() + 1);
    std::memcpy(text.data(), value.c_str(), value.size() + 1);
    return sane_control_option(device, number, SANE_ACTION_SET_VALUE, text.data(), nullptr);
}

// Rows of a frame, widened to the bitmap block's depth: 1-bit line art and
// 8-bit grey keep theirs, 16-bit samples keep their high byte, colour
// becomes blue, green, red.
struct TLayout {
    int Width = 0;
    int Height = 0;
    int Bits = 0; // of the block
    std::size_t Stride = 0;
};

std::size_t DibStride(int width, int bits) { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

void CopyRow(const SANE_Parameters& p, const std::uint8_t* from, std::uint8_t* to, const TLayout& layout)
{
    const bool colour = p.format == SANE_FRAME_RGB;
    if (p.depth == 1 && !colour) {
        std::memcpy(to, from, std::min<std::size_t>(static_cast<std::size_t>(p.bytes_per_line), layout.Stride));
        return;
    }
    const int samples = colour ? 3 : 1;
    const int step = p.depth == 16 ? 2 : 1;
    for (int x = 0; x < layout.Width; ++x)
        for (int c = 0; c < samples; ++c) {
            const std::uint8_t* sample = from + (static_cast<std::size_t>(x) * samples + c) * step;
            std::uint16_t value = sample[0];
            if (step == 2) {
                std::uint16_t wide;
                std::memcpy(&wide, sample, 2);
                value = static_cast<std::uint16_t>(wide >> 8);
            }
            // Blue first in the block.
            to[static_cast<std::size_t>(x) * samples + (colour ? 2 - c : 0)] = static_cast<std::uint8_t>(value);
        }
}

HGLOBAL MakeDib(const SANE_Parameters& p, const std::vector<std::uint8_t>& data)
{
    const bool colour = p.format == SANE_FRAME_RGB;
    if ((p.format != SANE_FRAME_GRAY && !colour) || p.pixels_per_line <= 0 || p.bytes_per_line <= 0 ||
        (p.depth != 1 && p.depth != 8 && p.depth != 16) || (colour && p.depth == 1))
        return nullptr;
    TLayout layout;
    layout.Width = p.pixels_per_line;
    layout.Height = static_cast<int>(data.size() / static_cast<std::size_t>(p.bytes_per_line));
    layout.Bits = colour ? 24 : (p.depth == 1 ? 1 : 8);
    layout.Stride = DibStride(layout.Width, layout.Bits);
    if (layout.Height <= 0)
        return nullptr;
    const int colours = layout.Bits == 24 ? 0 : 1 << layout.Bits;
    const std::size_t header = 40 + static_cast<std::size_t>(colours) * 4;
    const std::size_t image = layout.Stride * static_cast<std::size_t>(layout.Height);
    HGLOBAL block = ui::GlobalAlloc(GHND, header + image);
    if (!block)
        return nullptr;
    auto* bytes = static_cast<std::uint8_t*>(ui::GlobalLock(block));
    const auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(bytes + at, &v, 4); };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(layout.Width));
    put32(8, static_cast<std::uint32_t>(layout.Height));
    bytes[12] = 1;
    bytes[14] = static_cast<std::uint8_t>(layout.Bits);
    put32(20, static_cast<std::uint32_t>(image));
    put32(32, static_cast<std::uint32_t>(colours));
    for (int i = 0; i < colours; ++i) {
        // Line art: a set bit is black.
        const int level = layout.Bits == 1 ? 255 * (1 - i) : i;
        std::memset(bytes + 40 + static_cast<std::size_t>(i) * 4, level, 3);
    }
    for (int y = 0; y < layout.Height; ++y)
        CopyRow(p, data.data() + static_cast<std::size_t>(y) * p.bytes_per_line,
                bytes + header + static_cast<std::size_t>(layout.Height - 1 - y) * layout.Stride, layout);
    ui::GlobalUnlock(block);
    return block;
}

SANE_Status Parameters(SANE_Parameters& p)
{
    const TLibraryCall call;
    return sane_get_parameters(device, &p);
}

SANE_Status ReadSome(std::uint8_t* buffer, SANE_Int size, SANE_Int& length)
{
    const TLibraryCall call;
    return sane_read(device, buffer, size, &length);
}

} // namespace

bool Load()
{
    opened = true;
    return true;
}

void Unload()
{
    Close();
    opened = false;
}

bool Loaded() { return opened; }

int Init()
{
    const TLibraryCall call;
    SANE_Int version = 0;
    return sane_init(&version, nullptr);
}

void Exit()
{
    const TLibraryCall call;
    sane_exit();
}

std::vector<std::string> Devices()
{
    const TLibraryCall call;
    const SANE_Device** list = nullptr;
    std::vector<std::string> names;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return names;
    for (; *list; ++list)
        names.emplace_back((*list)->name);
    return names;
}

int Open(const std::string& name)
{
    const TLibraryCall call;
    device = nullptr;
    return sane_open(name.c_str(), &device);
}

void Close()
{
    const TLibraryCall call;
    if (device)
        sane_close(device);
    device = nullptr;
}

bool Modes(std::vector<std::string>& modes)
{
    const TLibraryCall call;
    modes.clear();
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(SANE_NAME_SCAN_MODE, number) : nullptr;
    if (!option || option->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return false;
    for (const SANE_String_Const* item = option->constraint.string_list; item && *item; ++item)
        modes.emplace_back(*item);
    return true;
}

int SetMode(const std::string& mode) { return SetStringOption(SANE_NAME_SCAN_MODE, mode); }

bool Choices(const char* name, std::vector<std::string>& list, std::string& value)
{
    const TLibraryCall call;
    list.clear();
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(name, number) : nullptr;
    if (!option || option->type != SANE_TYPE_STRING || option->constraint_type != SANE_CONSTRAINT_STRING_LIST ||
        option->size <= 0)
        return false;
    for (const SANE_String_Const* item = option->constraint.string_list; item && *item; ++item)
        list.emplace_back(*item);
    std::vector<char> text(static_cast<std::size_t>(option->size) + 1, '\0');
    if (sane_control_option(device, number, SANE_ACTION_GET_VALUE, text.data(), nullptr) != SANE_STATUS_GOOD)
        return false;
    value = text.data();
    return true;
}

int SetChoice(const char* name, const std::string& value) { return SetStringOption(name, value); }

bool Resolution(int& dpi)
{
    const TLibraryCall call;
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(SANE_NAME_SCAN_RESOLUTION, number) : nullptr;
    if (!option || (option->type != SANE_TYPE_INT && option->type != SANE_TYPE_FIXED) ||
        option->size != sizeof(SANE_Word))
        return false;
    SANE_Word value = 0;
    if (sane_control_option(device, number, SANE_ACTION_GET_VALUE, &value, nullptr) != SANE_STATUS_GOOD)
        return false;
    dpi = option->type == SANE_TYPE_FIXED ? static_cast<int>(SANE_UNFIX(value)) : value;
    return true;
}

int SetResolution(int dpi)
{
    const TLibraryCall call;
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(SANE_NAME_SCAN_RESOLUTION, number) : nullptr;
    if (!option || (option->type != SANE_TYPE_INT && option->type != SANE_TYPE_FIXED))
        return StatusUnsupported;
    SANE_Word value = option->type == SANE_TYPE_FIXED ? SANE_FIX(dpi) : dpi;
    return sane_control_option(device, number, SANE_ACTION_SET_VALUE, &value, nullptr);
}

int SetDepth(int bits)
{
    const TLibraryCall call;
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(SANE_NAME_BIT_DEPTH, number) : nullptr;
    if (!option || option->type != SANE_TYPE_INT)
        return StatusUnsupported;
    SANE_Int value = bits;
    return sane_control_option(device, number, SANE_ACTION_SET_VALUE, &value, nullptr);
}

bool FromFeeder()
{
    const TLibraryCall call;
    SANE_Int number = 0;
    const SANE_Option_Descriptor* option = device ? FindOption(SANE_NAME_SCAN_SOURCE, number) : nullptr;
    if (!option || option->type != SANE_TYPE_STRING || option->size <= 0)
        return false;
    std::vector<char> value(static_cast<std::size_t>(option->size) + 1, '\0');
    if (sane_control_option(device, number, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
        return false;
    std::string source(value.data());
    std::transform(source.begin(), source.end(), source.begin(), [](unsigned char c) { return std::tolower(c); });
    return source.find("feeder") != std::string::npos || source.find("adf") != std::string::npos;
}

int Start()
{
    const TLibraryCall call;
    return device ? sane_start(device) : StatusInvalid;
}

void Cancel()
{
    const TLibraryCall call;
    if (device)
        sane_cancel(device);
}

int ReadImage(HGLOBAL& dib)
{
    dib = nullptr;
    SANE_Parameters p{};
    if (const SANE_Status status = Parameters(p); status != SANE_STATUS_GOOD)
        return status;
    std::vector<std::uint8_t> data;
    std::uint8_t buffer[65536];
    for (;;) {
        SANE_Int length = 0;
        const SANE_Status status = ReadSome(buffer, sizeof buffer, length);
        if (status == SANE_STATUS_EOF)
            break;
        if (status != SANE_STATUS_GOOD)
            return status;
        // A frame larger than any block we may hand out is no picture.
        if (data.size() + static_cast<std::size_t>(length) > ui::MaxGlobalBlock)
            return StatusNoMem;
        data.insert(data.end(), buffer, buffer + length);
    }
    dib = MakeDib(p, data);
    return dib ? StatusGood : StatusInvalid;
}

} // namespace scanner
