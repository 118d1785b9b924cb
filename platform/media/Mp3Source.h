#pragma once

// MPEG audio layers 1, 2 and 3 (and whatever else the decoding library
// plays), decoded on demand from the file.

#include <string>

#include "platform/media/AudioSource.h"

struct mpg123_handle_struct;

namespace media {

class Mp3Source : public AudioSource {
public:
    // Raises EMediaError when the file holds no MPEG audio frame.
    explicit Mp3Source(const std::string& FileName);
    ~Mp3Source() override;
    Mp3Source(const Mp3Source&) = delete;
    Mp3Source& operator=(const Mp3Source&) = delete;

    AudioFormat Format() const override { return format_; }
    size_t Read(float* out, size_t frames) override;
    void Rewind() override;
    int64_t LengthFrames() const override { return length_; }

private:
    mpg123_handle_struct* handle_ = nullptr;
    AudioFormat format_;
    int64_t length_ = -1;
    bool ended_ = false;
};

} // namespace media
