#pragma once
// Helpers of the reader tests: loading a picture from bytes in memory, the
// reason and message of a refusal, integers and zlib data for hand-made
// files.
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imageformats/Refusal.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace imagetest {

using Bytes = std::vector<std::uint8_t>;

template <class Reader> std::unique_ptr<Reader> LoadBytes(const Bytes& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto picture = std::make_unique<Reader>();
    picture->LoadFromStream(stream);
    return picture;
}

// The reason a reader refuses the bytes for (its name, "rrTruncated"), or
// "no refusal".
template <class Reader> std::string RefusalOf(const Bytes& bytes)
{
    try {
        LoadBytes<Reader>(bytes);
    } catch (const EImageRefused& e) {
        return RefusalReasonName(e.Reason);
    }
    return "no refusal";
}

// The picture error's message, or "no error".
template <class Reader> std::string LoadErrorOf(const Bytes& bytes)
{
    try {
        LoadBytes<Reader>(bytes);
    } catch (const EInvalidGraphic& e) {
        return e.Message;
    }
    return "no error";
}

// Integers appended to a hand-made file in the format's byte order.
inline void AppendLE16(Bytes& b, std::uint16_t v)
{
    b.resize(b.size() + 2);
    rtl::PutLE16(&b[b.size() - 2], v);
}
inline void AppendLE32(Bytes& b, std::uint32_t v)
{
    b.resize(b.size() + 4);
    rtl::PutLE32(&b[b.size() - 4], v);
}
inline void AppendBE32(Bytes& b, std::uint32_t v)
{
    b.resize(b.size() + 4);
    rtl::PutBE32(&b[b.size() - 4], v);
}

inline Bytes Deflate(const Bytes& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

} // namespace imagetest
