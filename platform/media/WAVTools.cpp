#include "platform/media/WAVTools.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

namespace WAVTools {
namespace {

[[noreturn]] void NoWAVFile(const std::string& name) { throw EWAVError("\"" + name + "\" Keine WAV-Datei!"); }

[[noreturn]] void WriteFailed(const std::string& name, int error)
{
    throw EWriteError("Cannot write file \"" + name + "\": " + std::strerror(error), error);
}

bool ReadTag(TStream& file, char (&tag)[4], std::uint32_t& length)
{
    std::uint8_t header[8];
    if (file.Read(header, 8) != 8)
        return false;
    std::memcpy(tag, header, 4);
    length = rtl::GetLE32(header + 4);
    return true;
}

bool IsTag(const char (&tag)[4], const char* name) { return std::memcmp(tag, name, 4) == 0; }

// Past a chunk's body and its pad byte; false once that lies beyond the end.
bool SkipChunk(TStream& file, std::int64_t bodyStart, std::uint32_t length, std::int64_t fileLength)
{
    const std::int64_t next = bodyStart + length + (length & 1);
    if (next >= fileLength)
        return false;
    file.Seek(next, soFromBeginning);
    return true;
}

TWAVFormat DecodeFormat(const std::uint8_t* p)
{
    TWAVFormat format;
    format.FormatTag = rtl::GetLE16(p);
    format.Channels = rtl::GetLE16(p + 2);
    format.SamplesPerSec = rtl::GetLE32(p + 4);
    format.AvgBytesPerSec = rtl::GetLE32(p + 8);
    format.BlockAlign = rtl::GetLE16(p + 12);
    format.BitsPerSample = rtl::GetLE16(p + 14);
    return format;
}

} // namespace

void WriteWAVHeader(TStream& File, const TWAVParams& Params)
{
    const std::int64_t position = File.Position();
    std::int64_t dataSize = Params.DataSize;
    if (position > 0) {
        if (dataSize == -1)
            dataSize = position - WAVHeaderSize;
        File.Seek(0, soFromBeginning);
    }
    const std::uint16_t channels = Params.Stereo ? 2 : 1;
    const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * (Params.BitsPerSample / 8));
    std::uint8_t header[WAVHeaderSize];
    std::memcpy(header, "RIFF", 4);
    rtl::PutLE32(header + 4, static_cast<std::uint32_t>(File.Size() - 8));
    std::memcpy(header + 8, "WAVEfmt ", 8);
    rtl::PutLE32(header + 16, 16);
    rtl::PutLE16(header + 20, 1);
    rtl::PutLE16(header + 22, channels);
    rtl::PutLE32(header + 24, Params.SampleRate);
    rtl::PutLE32(header + 28, Params.SampleRate * blockAlign);
    rtl::PutLE16(header + 32, blockAlign);
    rtl::PutLE16(header + 34, Params.BitsPerSample);
    std::memcpy(header + 36, "data", 4);
    rtl::PutLE32(header + 40, static_cast<std::uint32_t>(dataSize));
    File.WriteBuffer(header, WAVHeaderSize);
    if (position > 0)
        File.Seek(position, soFromBeginning);
}

void ReadWAVHeader(const std::string& FileName, TWAVInfo& Info)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyNone);
    ReadWAVHeader(file, FileName, Info);
}

// Every chunk is passed by its full length and pad byte, whatever its size,
// so a longer format chunk or a list chunk anywhere never misleads the walk.
void ReadWAVHeader(TStream& File, const std::string& Name, TWAVInfo& Info)
{
    Info = TWAVInfo{};
    Info.FileLength = File.Size();
    File.Seek(0, soFromBeginning);
    char tag[4];
    std::uint32_t length = 0;
    if (!ReadTag(File, tag, length) || !IsTag(tag, "RIFF"))
        NoWAVFile(Name);
    std::uint8_t wave[4];
    if (File.Read(wave, 4) != 4 || std::memcmp(wave, "WAVE", 4) != 0)
        NoWAVFile(Name);
    bool haveFormat = false;
    while (ReadTag(File, tag, length)) {
        const std::int64_t bodyStart = File.Position();
        if (IsTag(tag, "data")) {
            if (length != 0xFFFFFFFFu)
                Info.DataLength = length;
            return;
        }
        if (IsTag(tag, "fmt ") && !haveFormat && length >= 16) {
            std::uint8_t format[16];
            if (File.Read(format, 16) != 16)
                return;
            Info.Format = DecodeFormat(format);
            haveFormat = true;
        }
        if (!SkipChunk(File, bodyStart, length, Info.FileLength))
            return;
    }
}

int ComputeSampleLevel(const void* Buffer, int Count, int BytesPerSample, bool Signed8, bool Stereo)
{
    (void)Stereo; // left and right samples are measured alike
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    int peak = 0;
    if (BytesPerSample == 2) {
        for (int i = 0; i + 1 < Count; i += 2)
            peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(rtl::GetLE16(bytes + i)))));
    } else if (!Signed8) {
        for (int i = 0; i < Count; ++i)
            peak = std::max(peak, std::abs(bytes[i] - 128));
    } else {
        for (int i = 0; i < Count; ++i)
            peak = std::max(peak, static_cast<std::int8_t>(bytes[i]) + 128);
    }
    return peak;
}

// --- TWAVFileWriter ---

TWAVFileWriter::TWAVFileWriter(const std::string& Target) : target_(Target)
{
    static std::atomic<unsigned> counter{0};
    struct stat info { };
    do
        temp_ = Target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    while (lstat(temp_.c_str(), &info) == 0);
    file_ = std::make_unique<TFileStream>(temp_, fmCreate);
    WriteWAVHeader(*file_, TWAVParams{});
}

TWAVFileWriter::~TWAVFileWriter() { Abandon(); }

void TWAVFileWriter::Append(const void* Data, int Count)
{
    if (!file_ || Count <= 0)
        return;
    try {
        file_->WriteBuffer(Data, Count);
    } catch (...) {
        Abandon();
        throw;
    }
    dataSize_ += Count;
}

void TWAVFileWriter::Finish(TWAVParams Params)
{
    if (!file_)
        return;
    try {
        Params.DataSize = -1;
        WriteWAVHeader(*file_, Params);
        if (fsync(file_->Handle()) != 0)
            WriteFailed(target_, errno);
        file_.reset();
        if (std::rename(temp_.c_str(), target_.c_str()) != 0)
            WriteFailed(target_, errno);
    } catch (...) {
        Abandon();
        throw;
    }
    temp_.clear();
}

void TWAVFileWriter::Abandon()
{
    file_.reset();
    if (!temp_.empty())
        std::remove(temp_.c_str());
    temp_.clear();
}

} // namespace WAVTools
