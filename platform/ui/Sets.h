#pragma once
// A small set of enumeration values held in one word, like the form library's set types.
#include <cstdint>
#include <initializer_list>

template <class E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> items) {
        for (E e : items) FBits |= Bit(e);
    }
    static constexpr TEnumSet FromBits(std::uint32_t bits) {
        TEnumSet s;
        s.FBits = bits;
        return s;
    }

    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint32_t Bits() const { return FBits; }

    constexpr TEnumSet& Include(E e) { FBits |= Bit(e); return *this; }
    constexpr TEnumSet& Exclude(E e) { FBits &= ~Bit(e); return *this; }
    constexpr TEnumSet& operator<<(E e) { return Include(e); }
    constexpr TEnumSet& operator>>(E e) { return Exclude(e); }

    friend constexpr TEnumSet operator+(TEnumSet a, TEnumSet b) { return FromBits(a.FBits | b.FBits); }
    friend constexpr TEnumSet operator|(TEnumSet a, TEnumSet b) { return FromBits(a.FBits | b.FBits); }
    friend constexpr TEnumSet operator&(TEnumSet a, TEnumSet b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr TEnumSet operator-(TEnumSet a, TEnumSet b) { return FromBits(a.FBits & ~b.FBits); }
    friend constexpr TEnumSet operator*(TEnumSet a, TEnumSet b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr bool operator==(TEnumSet a, TEnumSet b) { return a.FBits == b.FBits; }

private:
    static constexpr std::uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
    std::uint32_t FBits = 0;
};
