#pragma once

// Little-endian 32-bit integers in byte buffers, as every file of the system
// stores them.

#include <cstdint>

namespace LittleEndian {

inline void PutInt32(std::uint8_t* at, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

inline std::int32_t GetInt32(const std::uint8_t* at)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

} // namespace LittleEndian
