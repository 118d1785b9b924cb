#include "imageformats/PixelOrder.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VISTELO_PIXEL_SHUFFLE 1
#endif

namespace PixelOrder {

namespace {

// The plain loops finish what the shuffles leave and serve other processors.
// Each pixel is read whole before it is written, so a row may be its own
// target.
void Exchange24Bytes(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i, source += 3, target += 3) {
    const std::uint8_t first = source[0], middle = source[1], last = source[2];
    target[0] = last;
    target[1] = middle;
    target[2] = first;
  }
}

void Exchange32Bytes(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count) {
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
bool HasByteShuffle() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return has;
}

// Five pixels per 16-byte load; the 16th byte is stored unchanged, so the
// next load (which starts on it) still sees the source byte when a row is
// converted in place. The loop stops while a full load stays inside the row.
__attribute__((target("ssse3"))) std::uint32_t Exchange24Shuffled(const std::uint8_t* source, std::uint8_t* target,
                                                                   std::uint32_t count) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  std::uint32_t done = 0;
  for (; done + 6 <= count; done += 5, source += 15, target += 15) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_shuffle_epi8(pixels, order));
  }
  return done;
}

__attribute__((target("ssse3"))) std::uint32_t Exchange32Shuffled(const std::uint8_t* source, std::uint8_t* target,
                                                                   std::uint32_t count) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
  std::uint32_t done = 0;
  for (; done + 4 <= count; done += 4, source += 16, target += 16) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_shuffle_epi8(pixels, order));
  }
  return done;
}

#endif

}  // namespace

void ExchangeRedBlue24(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count) {
  std::uint32_t done = 0;
#ifdef VISTELO_PIXEL_SHUFFLE
  if (HasByteShuffle()) done = Exchange24Shuffled(source, target, count);
#endif
  Exchange24Bytes(source + 3 * std::size_t{done}, target + 3 * std::size_t{done}, count - done);
}

void ExchangeRedBlue32(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count) {
  std::uint32_t done = 0;
#ifdef VISTELO_PIXEL_SHUFFLE
  if (HasByteShuffle()) done = Exchange32Shuffled(source, target, count);
#endif
  Exchange32Bytes(source + 4 * std::size_t{done}, target + 4 * std::size_t{done}, count - done);
}

}  // namespace PixelOrder
