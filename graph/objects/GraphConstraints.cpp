#include "graph/objects/GraphConstraints.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"

namespace talivo {

TGraphConstraints::TGraphConstraints(TGraphDocument *owner) : fOwner(owner) {}

void TGraphConstraints::SetBoundsRect(const TRect &rect)
{
    if (rect != fBoundsRect) {
        fBoundsRect = rect;
        DoChange();
    }
}

void TGraphConstraints::SetBounds(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight)
{
    SetBoundsRect({aLeft, aTop, AddWrapped(aLeft, aWidth), AddWrapped(aTop, aHeight)});
}

int32_t TGraphConstraints::GetField(int32_t index) const
{
    switch (index) {
    case 0:
        return fBoundsRect.Left;
    case 1:
        return fBoundsRect.Top;
    case 2:
        return fBoundsRect.Right;
    default:
        return fBoundsRect.Bottom;
    }
}

void TGraphConstraints::SetField(int32_t index, int32_t value)
{
    TRect rect = fBoundsRect;
    switch (index) {
    case 0:
        rect.Left = value;
        break;
    case 1:
        rect.Top = value;
        break;
    case 2:
        rect.Right = value;
        break;
    default:
        rect.Bottom = value;
        break;
    }
    SetBoundsRect(rect);
}

bool TGraphConstraints::WithinBounds(const TPoints &pts) const
{
    for (const TPoint &pt : pts) {
        if (!fBoundsRect.Contains(pt))
            return false;
    }
    return true;
}

bool TGraphConstraints::ConfinePt(TPoint &pt) const
{
    const TPoint old = pt;
    if (pt.X < fBoundsRect.Left)
        pt.X = fBoundsRect.Left;
    else if (pt.X > fBoundsRect.Right)
        pt.X = fBoundsRect.Right;
    if (pt.Y < fBoundsRect.Top)
        pt.Y = fBoundsRect.Top;
    else if (pt.Y > fBoundsRect.Bottom)
        pt.Y = fBoundsRect.Bottom;
    return pt == old;
}

bool TGraphConstraints::ConfineRect(TRect &rect) const
{
    const TRect old = rect;
    if (rect.Left < fBoundsRect.Left)
        rect.Left = fBoundsRect.Left;
    if (rect.Top < fBoundsRect.Top)
        rect.Top = fBoundsRect.Top;
    if (rect.Right > fBoundsRect.Right)
        rect.Right = fBoundsRect.Right;
    if (rect.Bottom > fBoundsRect.Bottom)
        rect.Bottom = fBoundsRect.Bottom;
    return rect == old;
}

bool TGraphConstraints::ConfineOffset(int32_t &dx, int32_t &dy, TObjectSides mobility) const
{
    const TRect &s = fSourceRect;
    const TRect &b = fBoundsRect;
    // In 64 bits, so that a source far outside the bounds cannot overflow the test.
    if (mobility.Contains(osLeft) && int64_t{s.Left} + dx < b.Left)
        dx = static_cast<int32_t>(int64_t{b.Left} - s.Left);
    if (mobility.Contains(osTop) && int64_t{s.Top} + dy < b.Top)
        dy = static_cast<int32_t>(int64_t{b.Top} - s.Top);
    if (mobility.Contains(osRight) && int64_t{s.Right} + dx > b.Right)
        dx = static_cast<int32_t>(int64_t{b.Right} - s.Right);
    if (mobility.Contains(osBottom) && int64_t{s.Bottom} + dy > b.Bottom)
        dy = static_cast<int32_t>(int64_t{b.Bottom} - s.Bottom);
    return dx != 0 || dy != 0;
}

void TGraphConstraints::DoChange()
{
    fOwner->Host().ConstraintsChanged();
    if (OnChange)
        OnChange(this);
}

} // namespace talivo
