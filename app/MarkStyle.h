#pragma once

#include "graph/canvas/Types.h"

#include <cstdint>

namespace talivo {

// The caption colour that stays readable on a mark of the given colour: black on colours whose
// mean channel value is at least 128 (channel sum 384), white on darker ones.
TColor MarkTextColor(TColor color);

// The caption height of marks drawn at a point size: half the size in pixels, as a negative
// font height, truncated toward zero.
int32_t MarkFontHeight(int pointSize);

} // namespace talivo
