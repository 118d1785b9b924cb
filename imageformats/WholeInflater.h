#pragma once
// TWholeInflater inflates a zlib stream whose whole input is at hand and
// whose output size is known (a TIFF strip or tile, a PNG's joined image
// data) in one call, several times faster than the streaming TLZ77Decoder.
// It only answers for complete, sound streams: the readers hand anything
// else to TLZ77Decoder, whose partial output on damaged data they keep.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class TWholeInflater {
public:
    TWholeInflater();
    ~TWholeInflater();
    TWholeInflater(const TWholeInflater&) = delete;
    TWholeInflater& operator=(const TWholeInflater&) = delete;

    struct TResult {
        std::size_t Written = 0;  // bytes of output
        std::size_t Consumed = 0; // bytes of input up to the stream's end
    };
    // Inflates the zlib stream at the start of `input` into `output`. Nothing
    // when the stream is damaged, cut short (its checksum included) or holds
    // more than `output` takes.
    std::optional<TResult> Inflate(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

private:
    struct Library;
    Library* library_;
};
