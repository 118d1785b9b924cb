#include "platform/media/AudioSource.h"

#include <cstring>

#include "platform/media/MidiSource.h"
#include "platform/media/Mp3Source.h"
#include "platform/media/WavReader.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"

namespace media {
namespace {

bool HasMpegExtension(const std::string& FileName)
{
    std::string ext = ExtractFileExt(FileName);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".mp3" || ext == ".mp2" || ext == ".mp1" || ext == ".mpa" || ext == ".mpg" || ext == ".mpeg" ||
        ext == ".mpeg3" || ext == ".mpeg2" || ext == ".mpeg1";
}

// An ID3 tag or an MPEG audio frame header at the start.
bool LooksLikeMpeg(const uint8_t* head, size_t size)
{
    if (size >= 3 && std::memcmp(head, "ID3", 3) == 0)
        return true;
    return size >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0 && (head[1] & 0x06) != 0;
}

} // namespace

std::unique_ptr<AudioSource> OpenAudioFile(const std::string& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    uint8_t head[12] = {};
    const size_t headSize = static_cast<size_t>(file.Read(head, sizeof head));
    if (headSize >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
        std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
        file.SetPosition(0);
        file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        return std::make_unique<WavSource>(std::move(bytes));
    }
    if (headSize >= 4 && std::memcmp(head, "MThd", 4) == 0)
        return std::make_unique<MidiSource>(FileName);
    if (HasMpegExtension(FileName) || LooksLikeMpeg(head, headSize))
        return std::make_unique<Mp3Source>(FileName);
    throw EMediaError("Unbekanntes Klangformat: " + FileName);
}

} // namespace media
