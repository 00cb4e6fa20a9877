#pragma once

#include <QPoint>
#include <QRegion>

namespace talivo {

// A region as a shape and the shift that places it. Shapes of one size and form are one region
// shared by every node that has them, so placing a node anew copies no rectangles.
struct TPlacedRegion {
    QRegion Shape;
    QPoint Shift;

    QRegion Placed() const { return Shift.isNull() ? Shape : Shape.translated(Shift); }
};

} // namespace talivo
