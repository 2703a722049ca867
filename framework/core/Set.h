// Sets of enumeration values (up to 64 elements), as published properties and form descriptions
// know them: bit i stands for the value of ordinal i.
#pragma once

#include <cstdint>
#include <initializer_list>

template <class E> class TSet {
public:
    using Element = E;

    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E v : values)
            Include(v);
    }
    static constexpr TSet FromBits(uint64_t bits)
    {
        TSet s;
        s.FBits = bits;
        return s;
    }
    // Every value from first to last, inclusive.
    static constexpr TSet Range(E first, E last)
    {
        TSet s;
        for (int i = static_cast<int>(first); i <= static_cast<int>(last); ++i)
            s.Include(static_cast<E>(i));
        return s;
    }

    constexpr uint64_t Bits() const { return FBits; }
    constexpr bool Contains(E v) const { return (FBits & Bit(v)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E v) { FBits |= Bit(v); return *this; }
    constexpr TSet& Exclude(E v) { FBits &= ~Bit(v); return *this; }

    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
    constexpr TSet& operator+=(TSet o) { FBits |= o.FBits; return *this; }
    constexpr TSet& operator-=(TSet o) { FBits &= ~o.FBits; return *this; }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr uint64_t Bit(E v) { return uint64_t{1} << static_cast<unsigned>(v); }
    uint64_t FBits = 0;
};
