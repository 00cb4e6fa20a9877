#pragma once

#include <QRect>
#include <QRegion>

namespace talivo {

// The area a batch of changes repaints, in client pixels: the rectangles themselves while they
// are few, so that changes far apart do not repaint everything between them, and their bounding
// rectangle once there are more. Uniting into a region costs time in its number of rectangles;
// past the limit each further rectangle costs a few comparisons, however many objects change.
class TRepaintArea {
public:
    void Add(const QRect &rect);
    bool IsEmpty() const { return fRegion.isEmpty() && fBounds.isEmpty(); }
    // Whether adding rect would change nothing; only checked once the rectangles became many.
    bool Covers(const QRect &rect) const { return fBounds.contains(rect); }
    // Whether the area became the bounding rectangle of what was added.
    bool IsBounded() const { return !fBounds.isEmpty(); }
    // The area, which is then empty again.
    QRegion Take();

private:
    QRegion fRegion;
    // The bounding rectangle, once the rectangles became too many.
    QRect fBounds;
};

} // namespace talivo
