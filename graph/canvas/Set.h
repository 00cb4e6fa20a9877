#pragma once

#include <initializer_list>
#include <type_traits>

namespace talivo {

// A set of an enumeration E stored as a bit mask: bit n stands for the value of ordinal n.
template <typename E, typename Bits> class TSet {
public:
    using TElement = E;
    using TBits = Bits;

    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E value : values)
            Include(value);
    }
    static constexpr TSet FromBits(Bits value)
    {
        TSet result;
        result.fBits = value;
        return result;
    }

    constexpr Bits ToBits() const { return fBits; }
    constexpr bool Contains(E value) const { return (fBits & Bit(value)) != 0; }
    constexpr bool IsEmpty() const { return fBits == 0; }
    constexpr TSet &Include(E value)
    {
        fBits = static_cast<Bits>(fBits | Bit(value));
        return *this;
    }
    constexpr TSet &Exclude(E value)
    {
        fBits = static_cast<Bits>(fBits & ~Bit(value));
        return *this;
    }
    // True when the two sets share a member.
    constexpr bool Overlaps(TSet other) const { return (fBits & other.fBits) != 0; }

    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(Bits(a.fBits | b.fBits)); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(Bits(a.fBits & ~b.fBits)); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(Bits(a.fBits & b.fBits)); }
    constexpr TSet &operator+=(TSet other) { return *this = *this + other; }
    constexpr TSet &operator-=(TSet other) { return *this = *this - other; }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr Bits Bit(E value) { return static_cast<Bits>(Bits{1} << value); }

    Bits fBits = 0;
};

template <typename T> struct IsTSet : std::false_type {};
template <typename E, typename B> struct IsTSet<TSet<E, B>> : std::true_type {};

} // namespace talivo
