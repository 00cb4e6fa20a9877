#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace talivo {

// Graph coordinates: signed 32-bit graph units, Y growing downwards. One graph unit is one pixel
// of the background image. Right and bottom edges are excluded from point tests.
struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;

    friend bool operator==(const TPoint &, const TPoint &) = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(const TPoint &p) const
    {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }

    friend bool operator==(const TRect &, const TRect &) = default;
};

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;

    friend bool operator==(const TSize &, const TSize &) = default;
};

using TPoints = std::vector<TPoint>;

// A colour in the 0x00BBGGRR layout (red in the low byte). Values from 0xFF000000 up are system
// colours, resolved against the palette only when drawn.
using TColor = uint32_t;

// Nearest integer, ties to even (the default floating-point rounding mode).
inline int32_t Nearest(double x)
{
    return static_cast<int32_t>(std::lrint(x));
}

} // namespace talivo
