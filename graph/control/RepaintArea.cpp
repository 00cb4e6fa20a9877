#include "graph/control/RepaintArea.h"

#include <utility>

namespace talivo {

namespace {

constexpr int kMaxRects = 32;

} // namespace

void TRepaintArea::Add(const QRect &rect)
{
    if (!fBounds.isEmpty()) {
        fBounds |= rect;
        return;
    }
    fRegion += rect;
    if (fRegion.rectCount() > kMaxRects) {
        fBounds = fRegion.boundingRect();
        fRegion = QRegion();
    }
}

QRegion TRepaintArea::Take()
{
    if (!fBounds.isEmpty())
        return QRegion(std::exchange(fBounds, QRect()));
    return std::exchange(fRegion, QRegion());
}

} // namespace talivo
