#pragma once

// The RIFF WAVE header of the editor's recordings: writing the 44-byte header
// (a placeholder at the start, the real sizes at the end), reading the format
// and data length of any WAV file, and the peak level of a recorded buffer.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/Exceptions.h"

class TStream;
class TFileStream;

// A file that is no RIFF WAVE file: "\"name\" Keine WAV-Datei!".
class EWAVError : public Exception {
public:
    using Exception::Exception;
};

struct TWAVParams {
    std::int32_t DataSize = -1;   // -1: the bytes after the header, taken from the file position
    std::uint32_t SampleRate = 0; // full 32 bits: rates above 65535 Hz stay what they are
    std::uint16_t BitsPerSample = 16;
    bool Stereo = false;
};

// The format chunk's 16 bytes.
struct TWAVFormat {
    std::uint16_t FormatTag = 0;
    std::uint16_t Channels = 0;
    std::uint32_t SamplesPerSec = 0;
    std::uint32_t AvgBytesPerSec = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 0;
};

struct TWAVInfo {
    TWAVFormat Format;            // all zero when the file has no format chunk
    std::int64_t DataLength = -1; // -1: no data chunk, or its length was never filled in
    std::int64_t FileLength = 0;
};

namespace WAVTools {

constexpr int WAVHeaderSize = 44;

// Writes the header at the start of the stream and returns to the position
// it was at. At position 0 (an empty file) it is a placeholder whose RIFF
// length reads 0 - 8.
void WriteWAVHeader(TStream& File, const TWAVParams& Params);

// Reads the header of the file: its format, the length of its data chunk and
// its own length. Raises EWAVError for a file that is no RIFF WAVE file; the
// file system's errors pass on as they are.
void ReadWAVHeader(const std::string& FileName, TWAVInfo& Info);
// The same over an open stream read from its start; Name goes into the error.
void ReadWAVHeader(TStream& File, const std::string& Name, TWAVInfo& Info);

// The peak of a buffer: the largest absolute 16-bit sample (2 bytes per
// sample), the largest distance from 128 for unsigned 8-bit samples, or the
// largest value + 128 for signed 8-bit ones. Both channels count alike.
int ComputeSampleLevel(const void* Buffer, int Count, int BytesPerSample, bool Signed8, bool Stereo);

// A recording made into a temporary file beside its target: the placeholder
// header first, the samples as they come, and the final header when it is
// finished; only then does it replace the target. Abandoning it (or a
// failure) leaves the target as it was.
class TWAVFileWriter {
public:
    // Raises EFCreateError when the temporary file cannot be made.
    explicit TWAVFileWriter(const std::string& Target);
    ~TWAVFileWriter();
    TWAVFileWriter(const TWAVFileWriter&) = delete;
    TWAVFileWriter& operator=(const TWAVFileWriter&) = delete;

    // Raise EWriteError when the disk refuses the bytes.
    void Append(const void* Data, int Count);
    void Finish(TWAVParams Params);
    void Abandon();

    const std::string& Target() const { return target_; }
    std::int64_t DataSize() const { return dataSize_; }

private:
    std::string target_;
    std::string temp_;
    std::unique_ptr<TFileStream> file_;
    std::int64_t dataSize_ = 0;
};

} // namespace WAVTools
