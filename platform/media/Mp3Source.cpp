#include "platform/media/Mp3Source.h"

#include <mutex>

#include "platform/media/SoundLibraries.h"

namespace media {
namespace {

void InitLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { Mpg123().mpg123_init(); });
}

} // namespace

Mp3Source::Mp3Source(const std::string& FileName)
{
    if (!Mpg123().Loaded)
        throw EMediaError("MPEG-Decoder nicht verfügbar: " + Mpg123().Missing);
    InitLibraryOnce();
    int error = MPG123_OK;
    handle_ = Mpg123().mpg123_new(nullptr, &error);
    if (!handle_)
        throw EMediaError("MPEG-Decoder nicht verfügbar");
    // Float output at the stream's own rate and channels; the mixer converts.
    Mpg123().mpg123_param(handle_, MPG123_FLAGS, MPG123_QUIET, 0);
    Mpg123().mpg123_format_none(handle_);
    const long* rates = nullptr;
    size_t rateCount = 0;
    Mpg123().mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        Mpg123().mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (Mpg123().mpg123_open(handle_, FileName.c_str()) != MPG123_OK ||
        Mpg123().mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels < 1 ||
        channels > 2) {
        Mpg123().mpg123_delete(handle_);
        throw EMediaError("Keine MPEG-Audiodatei: " + FileName);
    }
    format_ = {static_cast<int>(rate), channels};
    // Scanning reads the frame headers once for an exact length.
    if (Mpg123().mpg123_scan(handle_) == MPG123_OK) {
        const off_t frames = Mpg123().mpg123_length(handle_);
        length_ = frames >= 0 ? static_cast<int64_t>(frames) : -1;
    }
    Mpg123().mpg123_seek(handle_, 0, SEEK_SET);
}

Mp3Source::~Mp3Source()
{
    Mpg123().mpg123_close(handle_);
    Mpg123().mpg123_delete(handle_);
}

size_t Mp3Source::Read(float* out, size_t frames)
{
    const size_t frameBytes = sizeof(float) * format_.Channels;
    auto* target = reinterpret_cast<unsigned char*>(out);
    size_t filled = 0;
    while (!ended_ && filled < frames * frameBytes) {
        size_t done = 0;
        const int result = Mpg123().mpg123_read(handle_, target + filled, frames * frameBytes - filled, &done);
        filled += done;
        if (result == MPG123_NEW_FORMAT)
            continue; // the format is fixed to float; a changed rate mid-stream is played as is
        if (result != MPG123_OK)
            ended_ = true; // the end, or a damaged stream: what was decoded is played
        else if (done == 0)
            ended_ = true;
    }
    return filled / frameBytes;
}

void Mp3Source::Rewind()
{
    Mpg123().mpg123_seek(handle_, 0, SEEK_SET);
    ended_ = false;
}

} // namespace media
