#pragma once
// A set over a small enumeration, one bit per value in declaration order
// (value 0 is bit 0) — the layout in which the system stores its option sets.

#include <cstdint>
#include <initializer_list>

template <class Enum, class BitsType = std::uint32_t> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<Enum> values)
    {
        for (Enum v : values)
            Include(v);
    }
    static constexpr TEnumSet FromBits(BitsType bits)
    {
        TEnumSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr BitsType Bits() const { return bits_; }
    constexpr bool Contains(Enum v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool Intersects(TEnumSet other) const { return (bits_ & other.bits_) != 0; }

    constexpr TEnumSet& Include(Enum v)
    {
        bits_ = static_cast<BitsType>(bits_ | Bit(v));
        return *this;
    }
    constexpr TEnumSet& Exclude(Enum v)
    {
        bits_ = static_cast<BitsType>(bits_ & ~Bit(v));
        return *this;
    }
    constexpr TEnumSet& Set(Enum v, bool on) { return on ? Include(v) : Exclude(v); }

    friend constexpr TEnumSet operator+(TEnumSet a, TEnumSet b)
    {
        return FromBits(static_cast<BitsType>(a.bits_ | b.bits_));
    }
    friend constexpr TEnumSet operator-(TEnumSet a, TEnumSet b)
    {
        return FromBits(static_cast<BitsType>(a.bits_ & ~b.bits_));
    }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

private:
    static constexpr BitsType Bit(Enum v) { return static_cast<BitsType>(BitsType{1} << static_cast<unsigned>(v)); }
    BitsType bits_ = 0;
};
