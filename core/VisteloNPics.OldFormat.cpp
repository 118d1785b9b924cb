// TVistelo: the old flat show format, read only.

#include "core/VisteloNPics.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"

#include <cstring>
#include <memory>

namespace {

constexpr std::uint16_t OldFormatVersion = 258;
// Smallest stored picture record: two empty strings, five flags and a colour.
constexpr std::int64_t MinOldRecordSize = 4 + 4 + 5 + 4;

// Reads the old format's little-endian fields; a short read raises EReadError.
class OldFormatReader {
public:
    explicit OldFormatReader(const std::string& fileName) : stream_(fileName, fmOpenRead | fmShareDenyWrite) { }

    std::int64_t BytesLeft() { return stream_.Size() - stream_.Position(); }

    void Read(void* buffer, std::int64_t count) { stream_.ReadBuffer(buffer, count); }

    std::uint8_t ReadByte()
    {
        std::uint8_t byte = 0;
        Read(&byte, 1);
        return byte;
    }

    bool ReadBool() { return ReadByte() != 0; }

    std::int32_t ReadInt32()
    {
        std::uint8_t bytes[4];
        Read(bytes, 4);
        return rtl::GetLE32s(bytes);
    }

    std::int32_t ReadCount(std::int64_t minItemSize)
    {
        const std::int32_t count = ReadInt32();
        if (count < 0 || count > BytesLeft() / minItemSize)
            throw EReadError("Damaged count in an old show file");
        return count;
    }

    std::string ReadString()
    {
        std::string stored(static_cast<size_t>(ReadCount(1)), '\0');
        Read(stored.data(), static_cast<std::int64_t>(stored.size()));
        return rtl::DecodeFileText(stored);
    }

private:
    TFileStream stream_;
};

} // namespace

bool TVistelo::LoadFromFileOld(const std::string& FileName)
{
    if (!rtl::FileExists(FileName))
        return false;
    Clear();
    try {
        OldFormatReader file(FileName);
        std::uint8_t head[6] = {};
        file.Read(head, sizeof head);
        const std::uint16_t version = rtl::GetLE16(&head[4]);
        if (std::memcmp(head, "KWTB", 4) != 0 || version != OldFormatVersion)
            return false;
        Pause = file.ReadInt32();
        RandomOrder = file.ReadBool();
        ShowFilenameInNavigationBar = file.ReadBool();
        ShowNoDescription = file.ReadBool();
        StartFullScreen = file.ReadBool();
        ShowNavigationBar = file.ReadBool();
        ShowCommentsBox = file.ReadBool();
        const std::int32_t count = file.ReadCount(MinOldRecordSize);
        Pictures.reserve(static_cast<size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            auto record = std::make_unique<TPicInfoObject>();
            record->FileName = file.ReadString();
            record->Comments = file.ReadString();
            record->ShowImage = file.ReadBool();
            record->Stretch = file.ReadBool();
            record->Proportions = file.ReadBool();
            record->Center = file.ReadBool();
            record->ShowComments = file.ReadBool();
            record->BackgroundColor = file.ReadInt32();
            PutReadEntry(i, std::move(record));
        }
        SetRandomOrder(RandomOrder);
        return true;
    } catch (const std::exception&) {
        // Too short for the format, truncated or unreadable: not a show.
        Clear();
        ClearConfig();
        return false;
    }
}
