#pragma once

#include "graph/objects/GraphObject.h"

#include <QCursor>

namespace talivo {

// The canvas's own screen cursors, numbered after the platform's cursor resources.
constexpr TCursor GC_HANDFLAT = 51;
constexpr TCursor GC_HANDGRAB = 52;
constexpr TCursor GC_HANDPNT = 53;
constexpr TCursor GC_XHAIR1 = 54;
constexpr TCursor GC_XHAIR2 = 55;
constexpr TCursor GC_XHAIR3 = 56;
constexpr TCursor GC_XHAIRLINK = 57;

// The cursor shown for a cursor number: the canvas's own pictures for 51 to 57, the matching
// system shape for the platform's negative numbers, the arrow for anything else.
QCursor GraphCursor(TCursor cursor);

} // namespace talivo
