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
    constexpr TSet(std::initializer_list<E> Values)
    {
        for (E Value : Values) {
            Include(Value);
        }
    }
    static constexpr TSet FromBits(Bits Value)
    {
        TSet Result;
        Result.fBits = Value;
        return Result;
    }

    constexpr Bits ToBits() const { return fBits; }
    constexpr bool Contains(E Value) const { return (fBits & Bit(Value)) != 0; }
    constexpr bool IsEmpty() const { return fBits == 0; }
    constexpr TSet &Include(E Value)
    {
        fBits = static_cast<Bits>(fBits | Bit(Value));
        return *this;
    }
    constexpr TSet &Exclude(E Value)
    {
        fBits = static_cast<Bits>(fBits & ~Bit(Value));
        return *this;
    }
    // True when the two sets share a member.
    constexpr bool Overlaps(TSet Other) const { return (fBits & Other.fBits) != 0; }

    friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(Bits(A.fBits | B.fBits)); }
    friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(Bits(A.fBits & ~B.fBits)); }
    friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(Bits(A.fBits & B.fBits)); }
    constexpr TSet &operator+=(TSet Other) { return *this = *this + Other; }
    constexpr TSet &operator-=(TSet Other) { return *this = *this - Other; }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr Bits Bit(E Value) { return static_cast<Bits>(Bits{1} << Value); }

    Bits fBits = 0;
};

template <typename T> struct IsTSet : std::false_type {};
template <typename E, typename B> struct IsTSet<TSet<E, B>> : std::true_type {};

} // namespace talivo
