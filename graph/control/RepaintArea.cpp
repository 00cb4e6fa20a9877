#include "graph/control/RepaintArea.h"

#include <utility>

namespace talivo {

namespace {

constexpr int kMaxRects = 32;

} // namespace

void TRepaintArea::Add(const QRect &Rect)
{
    if (!fBounds.isEmpty()) {
        fBounds |= Rect;
        return;
    }
    fRegion += Rect;
    if (fRegion.rectCount() > kMaxRects) {
        fBounds = fRegion.boundingRect();
        fRegion = QRegion();
    }
}

QRegion TRepaintArea::Take()
{
    if (!fBounds.isEmpty()) {
        return QRegion(std::exchange(fBounds, QRect()));
    }
    return std::exchange(fRegion, QRegion());
}

} // namespace talivo
