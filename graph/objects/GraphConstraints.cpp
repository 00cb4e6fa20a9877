#include "graph/objects/GraphConstraints.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"

namespace talivo {

TGraphConstraints::TGraphConstraints(TGraphDocument *AOwner) : fOwner(AOwner) {}

void TGraphConstraints::SetBoundsRect(const TRect &Rect)
{
    if (Rect != fBoundsRect) {
        fBoundsRect = Rect;
        DoChange();
    }
}

void TGraphConstraints::SetBounds(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight)
{
    SetBoundsRect({aLeft, aTop, AddWrapped(aLeft, aWidth), AddWrapped(aTop, aHeight)});
}

int32_t TGraphConstraints::GetField(int32_t Index) const
{
    switch (Index) {
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

void TGraphConstraints::SetField(int32_t Index, int32_t Value)
{
    TRect Rect = fBoundsRect;
    switch (Index) {
    case 0:
        Rect.Left = Value;
        break;
    case 1:
        Rect.Top = Value;
        break;
    case 2:
        Rect.Right = Value;
        break;
    default:
        Rect.Bottom = Value;
        break;
    }
    SetBoundsRect(Rect);
}

bool TGraphConstraints::WithinBounds(const TPoints &Pts) const
{
    for (const TPoint &Pt : Pts) {
        if (!fBoundsRect.Contains(Pt)) {
            return false;
        }
    }
    return true;
}

bool TGraphConstraints::ConfinePt(TPoint &Pt) const
{
    const TPoint Old = Pt;
    if (Pt.X < fBoundsRect.Left) {
        Pt.X = fBoundsRect.Left;
    } else if (Pt.X > fBoundsRect.Right) {
        Pt.X = fBoundsRect.Right;
    }
    if (Pt.Y < fBoundsRect.Top) {
        Pt.Y = fBoundsRect.Top;
    } else if (Pt.Y > fBoundsRect.Bottom) {
        Pt.Y = fBoundsRect.Bottom;
    }
    return Pt == Old;
}

bool TGraphConstraints::ConfineRect(TRect &Rect) const
{
    const TRect Old = Rect;
    if (Rect.Left < fBoundsRect.Left) {
        Rect.Left = fBoundsRect.Left;
    }
    if (Rect.Top < fBoundsRect.Top) {
        Rect.Top = fBoundsRect.Top;
    }
    if (Rect.Right > fBoundsRect.Right) {
        Rect.Right = fBoundsRect.Right;
    }
    if (Rect.Bottom > fBoundsRect.Bottom) {
        Rect.Bottom = fBoundsRect.Bottom;
    }
    return Rect == Old;
}

bool TGraphConstraints::ConfineOffset(int32_t &dX, int32_t &dY, TObjectSides Mobility) const
{
    const TRect &S = fSourceRect;
    const TRect &B = fBoundsRect;
    // In 64 bits, so that a source far outside the bounds cannot overflow the test.
    if (Mobility.Contains(osLeft) && int64_t{S.Left} + dX < B.Left) {
        dX = static_cast<int32_t>(int64_t{B.Left} - S.Left);
    }
    if (Mobility.Contains(osTop) && int64_t{S.Top} + dY < B.Top) {
        dY = static_cast<int32_t>(int64_t{B.Top} - S.Top);
    }
    if (Mobility.Contains(osRight) && int64_t{S.Right} + dX > B.Right) {
        dX = static_cast<int32_t>(int64_t{B.Right} - S.Right);
    }
    if (Mobility.Contains(osBottom) && int64_t{S.Bottom} + dY > B.Bottom) {
        dY = static_cast<int32_t>(int64_t{B.Bottom} - S.Bottom);
    }
    return dX != 0 || dY != 0;
}

void TGraphConstraints::DoChange()
{
    fOwner->Host().ConstraintsChanged();
    if (OnChange) {
        OnChange(this);
    }
}

} // namespace talivo
