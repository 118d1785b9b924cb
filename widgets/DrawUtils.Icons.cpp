#include "widgets/DrawUtils.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Modules.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "widgets/TimerLst.h"

namespace DrawUtils {

namespace {

constexpr auto PaletteRelativeFlag = static_cast<std::uint32_t>(kPaletteRelative);
constexpr int FirstUserCursor = 100;
constexpr int LastCursorNumber = 32767;

struct WaitState {
    int Count = 0;
    TCursor Saved = crDefault;
};

WaitState& Waiting()
{
    static WaitState state;
    return state;
}

} // namespace

std::int16_t WaitCursor = crHourGlass;

std::int16_t DefineCursor(std::uintptr_t Cursor)
{
    // A number nobody set answers with the arrow's shape.
    const std::uintptr_t unused = Screen->Cursors(crArrow);
    for (int number = FirstUserCursor; number <= LastCursorNumber; ++number)
        if (Screen->Cursors(number) == unused) {
            Screen->SetCursors(number, Cursor);
            return static_cast<std::int16_t>(number);
        }
    throw EOutOfResources("Not enough resources");
}

namespace {

void LoadIcon(TIcon& Icon, std::span<const std::uint8_t> Bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    stream.Seek(0, 0);
    Icon.LoadFromStream(stream);
}

// The hot spot of a cursor file's first image; the file read as an icon.
std::uintptr_t CursorOfFile(std::span<const std::uint8_t> Bytes)
{
    // Cursor files (type 2) carry the hot spot; an icon file (type 1) as a
    // frame of an animated cursor points with its top-left corner.
    if (Bytes.size() < 22 || (Bytes[2] != 1 && Bytes[2] != 2) || Bytes[4] == 0)
        throw EInvalidGraphic("Invalid cursor");
    const bool cursor = Bytes[2] == 2;
    const int hotX = cursor ? rtl::GetLE16(&Bytes[10]) : 0;
    const int hotY = cursor ? rtl::GetLE16(&Bytes[12]) : 0;
    std::vector<std::uint8_t> asIcon(Bytes.begin(), Bytes.end());
    asIcon[2] = 1;
    TIcon icon;
    LoadIcon(icon, asIcon);
    auto image = CreateBitmapFromIcon(icon, clFuchsia);
    return ui::CreateCursorFromBitmap(*image, hotX, hotY);
}

} // namespace

std::int16_t DefineCursor(HMODULE Instance, const std::string& ResID)
{
    if (const auto bytes = rtl::FindResource(Instance, RT_CURSOR, ResID))
        return DefineCursor(CursorOfFile(*bytes));
    const std::uintptr_t animated = LoadAniCursor(Instance, ResID);
    if (!animated)
        ResourceNotFound(ResID);
    return DefineCursor(animated);
}

namespace {

bool TagIs(std::span<const std::uint8_t> Data, std::size_t At, const char* Tag)
{
    return std::memcmp(Data.data() + At, Tag, 4) == 0;
}

// The body of the first chunk named Tag in [Begin, End), searching inside
// "LIST" chunks of type ListType; every size is checked against the end.
std::span<const std::uint8_t> FindChunk(std::span<const std::uint8_t> Data, std::size_t Begin, std::size_t End,
                                        const char* Tag, const char* ListType)
{
    std::size_t at = Begin;
    while (at + 8 <= End) {
        const std::uint32_t size = rtl::GetLE32(&Data[at + 4]);
        if (size > End - at - 8)
            return {};
        const std::size_t body = at + 8;
        if (TagIs(Data, at, Tag))
            return Data.subspan(body, size);
        if (TagIs(Data, at, "LIST") && size >= 4 && TagIs(Data, body, ListType)) {
            auto inner = FindChunk(Data, body + 4, body + size, Tag, ListType);
            if (!inner.empty())
                return inner;
        }
        at = body + size + (size & 1);
    }
    return {};
}

} // namespace

std::vector<std::uint8_t> FirstAniFrame(std::span<const std::uint8_t> Data)
{
    if (Data.size() < 12 || !TagIs(Data, 0, "RIFF") || !TagIs(Data, 8, "ACON"))
        return {};
    const std::size_t end = std::min<std::size_t>(Data.size(), std::size_t{8} + rtl::GetLE32(&Data[4]));
    const auto frame = FindChunk(Data, 12, end, "icon", "fram");
    return {frame.begin(), frame.end()};
}

std::uintptr_t LoadAniCursor(HMODULE Instance, const std::string& ResID)
{
    const auto bytes = rtl::FindResource(Instance, "ANICURSOR", ResID);
    if (!bytes)
        return 0;
    const std::vector<std::uint8_t> frame = FirstAniFrame(*bytes);
    if (frame.empty())
        return 0;
    try {
        return CursorOfFile(frame);
    } catch (const Exception&) {
        return 0;
    }
}

void StartWait()
{
    WaitState& state = Waiting();
    if (state.Count++ == 0) {
        state.Saved = Screen->Cursor();
        Screen->SetCursor(WaitCursor);
    }
}

void StopWait()
{
    WaitState& state = Waiting();
    if (state.Count == 0)
        return;
    if (--state.Count == 0)
        Screen->SetCursor(state.Saved);
}

void ResourceNotFound(const std::string& Name) { throw EResNotFound("Resource " + Name + " not found"); }

void ResourceNotFound(int Ident) { ResourceNotFound(std::to_string(Ident)); }

namespace {

std::string NumberedName(int Ident) { return "#" + std::to_string(Ident); }

} // namespace

std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE Module, const std::string& ResID)
{
    auto bitmap = std::make_unique<TBitmap>();
    try {
        bitmap->LoadFromResourceName(Module, ResID);
    } catch (const Exception&) {
        return nullptr;
    }
    return bitmap;
}

std::unique_ptr<TBitmap> MakeBitmap(const std::string& ResID) { return MakeModuleBitmap(rtl::HInstance(), ResID); }

std::unique_ptr<TBitmap> MakeBitmapID(int ResID) { return MakeBitmap(NumberedName(ResID)); }

std::unique_ptr<TIcon> MakeModuleIcon(HMODULE Module, const std::string& ResID)
{
    const auto bytes = rtl::FindResource(Module, RT_ICON, ResID);
    if (!bytes)
        return nullptr;
    auto icon = std::make_unique<TIcon>();
    try {
        LoadIcon(*icon, *bytes);
    } catch (const Exception&) {
        return nullptr;
    }
    return icon;
}

std::unique_ptr<TIcon> MakeIcon(const std::string& ResID) { return MakeModuleIcon(rtl::HInstance(), ResID); }

std::unique_ptr<TIcon> MakeIconID(int ResID) { return MakeIcon(NumberedName(ResID)); }

std::unique_ptr<TBitmap> CreateBitmapFromIcon(TIcon& Icon, TColor BackColor)
{
    auto bitmap = std::make_unique<TBitmap>(Icon.Width(), Icon.Height());
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush.Color = BackColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, bitmap->Width(), bitmap->Height()));
    canvas.Draw(0, 0, Icon);
    bitmap->SetTransparentColor(BackColor);
    bitmap->SetTransparent(true);
    return bitmap;
}

namespace {

// An icon file of one 32-bit image with its see-through mask.
std::vector<std::uint8_t> IconFileOf(TBitmap& Bitmap, TColor Key)
{
    const int w = Bitmap.Width(), h = Bitmap.Height();
    const int maskStride = ((w + 31) / 32) * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(40 + w * h * 4 + maskStride * h);
    std::vector<std::uint8_t> out;
    rtl::AppendLE16(out, 0);
    rtl::AppendLE16(out, 1); // an icon
    rtl::AppendLE16(out, 1); // one image
    out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
    out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
    rtl::AppendLE16(out, 0);
    rtl::AppendLE16(out, 1);  // planes
    rtl::AppendLE16(out, 32); // bits per pixel
    rtl::AppendLE32(out, imageSize);
    rtl::AppendLE32(out, 6 + 16);
    rtl::AppendLE32(out, 40);
    rtl::AppendLE32(out, static_cast<std::uint32_t>(w));
    rtl::AppendLE32(out, static_cast<std::uint32_t>(2 * h)); // image and mask
    rtl::AppendLE16(out, 1);
    rtl::AppendLE16(out, 32);
    for (int i = 0; i < 6; ++i)
        rtl::AppendLE32(out, 0);
    TCanvas& canvas = Bitmap.Canvas();
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const TColor c = canvas.Pixels(x, y);
            const bool clear = c == Key;
            out.push_back(static_cast<std::uint8_t>(GetBValue(c)));
            out.push_back(static_cast<std::uint8_t>(GetGValue(c)));
            out.push_back(static_cast<std::uint8_t>(GetRValue(c)));
            out.push_back(clear ? 0 : 255);
        }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < w; ++x)
            if (canvas.Pixels(x, y) == Key)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

std::unique_ptr<TIcon> CreateIconFromBitmap(TBitmap& Bitmap, TColor TransparentColor)
{
    if (Bitmap.Empty())
        return nullptr;
    const TColor chosen = TransparentColor == clDefault ? Bitmap.TransparentColor() : TransparentColor;
    const TColor key = ColorToRGB(static_cast<TColor>(static_cast<std::uint32_t>(chosen) & ~PaletteRelativeFlag));
    const std::vector<std::uint8_t> file = IconFileOf(Bitmap, key);
    auto icon = std::make_unique<TIcon>();
    LoadIcon(*icon, file);
    return icon;
}

} // namespace DrawUtils
