#include "app/MarkStyle.h"

namespace talivo {

TColor MarkTextColor(TColor color)
{
    const uint32_t sum = (color & 0xFF) + (color >> 8 & 0xFF) + (color >> 16 & 0xFF);
    return sum >= 384 ? 0x000000 : 0xFFFFFF;
}

int32_t MarkFontHeight(int pointSize)
{
    return static_cast<int32_t>(-0.5 * pointSize);
}

} // namespace talivo
