#pragma once
// Integers stored in byte buffers in a fixed byte order. The system's own
// files are little-endian; several picture formats are big-endian. Reading
// byte by byte keeps unaligned buffers safe; compilers fold it into one load.

#include <cstdint>
#include <vector>

namespace rtl {

inline std::uint16_t GetLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// Three bytes, as a blue-green-red pixel holds 0x00RRGGBB.
inline std::uint32_t GetLE24(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16;
}

inline std::uint32_t GetLE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint64_t GetLE64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(GetLE32(p)) | static_cast<std::uint64_t>(GetLE32(p + 4)) << 32;
}

inline std::uint16_t GetBE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

inline std::uint32_t GetBE24(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]);
}

inline std::uint32_t GetBE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
        static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

inline void PutLE16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

// The low three bytes of value; a fourth byte beside them is left alone.
inline void PutLE24(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
}

inline void PutLE32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutLE64(std::uint8_t* p, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutBE16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
}

inline void PutBE32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// Little-endian fields appended to a growing buffer (file headers written in
// order).
inline void AppendLE16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.resize(out.size() + 2);
    PutLE16(out.data() + out.size() - 2, value);
}

inline void AppendLE32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.resize(out.size() + 4);
    PutLE32(out.data() + out.size() - 4, value);
}

// Signed views of the same bytes (two's complement, as the files store them).
inline std::int16_t GetLE16s(const std::uint8_t* p) { return static_cast<std::int16_t>(GetLE16(p)); }
inline std::int32_t GetLE32s(const std::uint8_t* p) { return static_cast<std::int32_t>(GetLE32(p)); }
inline std::int16_t GetBE16s(const std::uint8_t* p) { return static_cast<std::int16_t>(GetBE16(p)); }
inline std::int32_t GetBE32s(const std::uint8_t* p) { return static_cast<std::int32_t>(GetBE32(p)); }

} // namespace rtl
