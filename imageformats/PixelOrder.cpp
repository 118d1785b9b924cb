#include "imageformats/PixelOrder.h"

#include <array>
#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VISTELO_PIXEL_SHUFFLE 1
#endif

namespace PixelOrder {

namespace {

// The plain loops finish what the shuffles leave and serve other processors.
// Each pixel is read whole before it is written, so a row may be its own
// target.
void Exchange24Bytes(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i, source += 3, target += 3) {
        const std::uint8_t first = source[0], middle = source[1], last = source[2];
        target[0] = last;
        target[1] = middle;
        target[2] = first;
    }
}

void Exchange32Bytes(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i, source += 4, target += 4) {
        const std::uint8_t first = source[0], middle = source[1], last = source[2], fourth = source[3];
        target[0] = last;
        target[1] = middle;
        target[2] = first;
        target[3] = fourth;
    }
}

#ifdef VISTELO_PIXEL_SHUFFLE

// The processor's features are read here, so that a conversion run by a
// static initialiser finds them too.
bool HasByteShuffle()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

// Byte permutes across a whole 64-byte register, with masked loads and
// stores for the end of a row.
bool HasWideByteShuffle()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0 &&
            __builtin_cpu_supports("avx512vbmi") != 0;
    }();
    return has;
}

#define VISTELO_WIDE_SHUFFLE __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// The byte order of 64 bytes of exchanged pixels of `size` bytes; a last
// incomplete pixel stays as it is.
constexpr std::array<std::uint8_t, 64> ExchangeOrder(int size)
{
    std::array<std::uint8_t, 64> order{};
    const int whole = 64 - 64 % size;
    for (int i = 0; i < 64; ++i) {
        const int place = i % size;
        order[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i >= whole || place > 2 ? i
                                                                                               : i - place + 2 - place);
    }
    return order;
}
alignas(64) constexpr std::array<std::uint8_t, 64> kExchange24 = ExchangeOrder(3);
alignas(64) constexpr std::array<std::uint8_t, 64> kExchange32 = ExchangeOrder(4);

// The whole-register permute; the masked form keeps clear of a compiler's
// false warning about the unmasked one.
VISTELO_WIDE_SHUFFLE __m512i Permuted(__m512i order, __m512i bytes)
{
    return _mm512_maskz_permutexvar_epi8(~__mmask64{0}, order, bytes);
}

// Twenty-one pixels per 64-byte load, the 64th byte stored unchanged as in
// the 16-byte form. Each load is made before the store of the block ahead
// of it: a load that overlaps a store still on its way would wait for it,
// which made rows converted in place twice as slow. The pixels left over
// (fewer than 22) go through one masked load and store, which touch no byte
// past the row.
VISTELO_WIDE_SHUFFLE void Exchange24Permuted(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    const __m512i order = _mm512_load_si512(kExchange24.data());
    if (count >= 22) {
        __m512i pixels = _mm512_loadu_si512(source);
        for (; count >= 43; count -= 21, source += 63, target += 63) {
            const __m512i next = _mm512_loadu_si512(source + 63);
            _mm512_storeu_si512(target, Permuted(order, pixels));
            pixels = next;
        }
        _mm512_storeu_si512(target, Permuted(order, pixels));
        count -= 21, source += 63, target += 63;
    }
    if (count == 0)
        return;
    const __mmask64 bytes = (std::uint64_t{1} << (3 * count)) - 1;
    _mm512_mask_storeu_epi8(target, bytes, Permuted(order, _mm512_maskz_loadu_epi8(bytes, source)));
}

// Sixteen pixels per 64 bytes; the last (fewer than 16) through one masked
// load and store.
VISTELO_WIDE_SHUFFLE void Exchange32Permuted(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    const __m512i order = _mm512_load_si512(kExchange32.data());
    for (; count >= 16; count -= 16, source += 64, target += 64)
        _mm512_storeu_si512(target, Permuted(order, _mm512_loadu_si512(source)));
    if (count == 0)
        return;
    const __mmask64 bytes = (std::uint64_t{1} << (4 * count)) - 1;
    _mm512_mask_storeu_epi8(target, bytes, Permuted(order, _mm512_maskz_loadu_epi8(bytes, source)));
}

// Five pixels per 16-byte load; the 16th byte is stored unchanged, so the
// next load (which starts on it) still sees the source byte when a row is
// converted in place. As in the wide form, each load comes before the store
// of the block ahead of it. The loop stops while a full load stays inside
// the row.
__attribute__((target("ssse3"))) std::uint32_t Exchange24Shuffled(const std::uint8_t* source, std::uint8_t* target,
                                                                  std::uint32_t count)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    if (count < 6)
        return 0;
    std::uint32_t done = 0;
    __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    for (; done + 11 <= count; done += 5, source += 15, target += 15) {
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 15));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_shuffle_epi8(pixels, order));
        pixels = next;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_shuffle_epi8(pixels, order));
    return done + 5;
}

__attribute__((target("ssse3"))) std::uint32_t Exchange32Shuffled(const std::uint8_t* source, std::uint8_t* target,
                                                                  std::uint32_t count)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    std::uint32_t done = 0;
    for (; done + 4 <= count; done += 4, source += 16, target += 16) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_shuffle_epi8(pixels, order));
    }
    return done;
}

#endif

} // namespace

void ExchangeRedBlue24(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    std::uint32_t done = 0;
#ifdef VISTELO_PIXEL_SHUFFLE
    if (HasWideByteShuffle())
        return Exchange24Permuted(source, target, count);
    if (HasByteShuffle())
        done = Exchange24Shuffled(source, target, count);
#endif
    Exchange24Bytes(source + 3 * std::size_t{done}, target + 3 * std::size_t{done}, count - done);
}

void ExchangeRedBlue32(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count)
{
    std::uint32_t done = 0;
#ifdef VISTELO_PIXEL_SHUFFLE
    if (HasWideByteShuffle())
        return Exchange32Permuted(source, target, count);
    if (HasByteShuffle())
        done = Exchange32Shuffled(source, target, count);
#endif
    Exchange32Bytes(source + 4 * std::size_t{done}, target + 4 * std::size_t{done}, count - done);
}

} // namespace PixelOrder
