#pragma once
// A set over a small enumeration, one bit per value in declaration order
// (value 0 is bit 0), as the image-format library stores its option sets.

#include <cstdint>
#include <initializer_list>

template <class Enum, class Bits = std::uint8_t>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(std::initializer_list<Enum> values) {
    for (Enum v : values) Include(v);
  }
  static constexpr TEnumSet FromBits(Bits bits) {
    TEnumSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr bool Contains(Enum v) const { return (bits_ >> static_cast<unsigned>(v)) & 1u; }
  constexpr void Include(Enum v) { bits_ = static_cast<Bits>(bits_ | Bit(v)); }
  constexpr void Exclude(Enum v) { bits_ = static_cast<Bits>(bits_ & ~Bit(v)); }
  constexpr void Set(Enum v, bool on) { on ? Include(v) : Exclude(v); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr Bits ToBits() const { return bits_; }
  constexpr bool Intersects(TEnumSet other) const { return (bits_ & other.bits_) != 0; }
  constexpr bool operator==(const TEnumSet&) const = default;

 private:
  static constexpr Bits Bit(Enum v) { return static_cast<Bits>(Bits{1} << static_cast<unsigned>(v)); }
  Bits bits_ = 0;
};
