#include "graph/objects/GraphObject.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"

namespace talivo {

uint32_t TGraphObject::HitTest(const TPoint &pt) const
{
    if (!Showing())
        return hzNone;
    const TRect area = fSelected ? GetSelectedVisualRect() : fVisualRect;
    if (!area.Contains(pt))
        return hzNone;
    const uint32_t ht = QueryHitTest(pt);
    if (ht != hzNone && !fOptions.Contains(goSelectable))
        return hzInert;
    return ht;
}

uint32_t TGraphObject::QueryHitTest(const TPoint &) const
{
    return hzNone;
}

bool TGraphObject::ContainsRect(const TRect &rect) const
{
    if (!Showing())
        return false;
    return OverlappedRect(rect, fSelected ? GetSelectedVisualRect() : fVisualRect);
}

TObjectSides TGraphObject::QueryMobility(uint32_t) const
{
    return {};
}

TCursor TGraphObject::QueryCursor(uint32_t) const
{
    return Host().Cursor();
}

bool TGraphObject::OffsetHitTest(uint32_t, int32_t, int32_t)
{
    return false;
}

void TGraphObject::SnapHitTestOffset(uint32_t, int32_t &, int32_t &) const {}

void TGraphObject::MouseDown(TMouseButton button, TShiftState shift, const TPoint &pt)
{
    if (Dragging())
        EndDrag(true);
    if (fSelected) {
        if (shift.Contains(ssShift))
            SetSelected(false);
    } else if (fOptions.Contains(goSelectable)) {
        if (!shift.Contains(ssShift))
            Host().ClearSelection();
        SetSelected(true);
    }
    const uint32_t ht = HitTest(pt);
    if (button == mbLeft && !shift.Contains(ssDouble) && fSelected && !IsLocked())
        BeginDrag(pt, ht);
    Host().SetScreenCursor(QueryCursor(ht));
}

void TGraphObject::MouseMove(TShiftState shift, const TPoint &pt)
{
    if (Dragging())
        DragTo(pt, shift.Contains(ssCtrl) != Host().SnapToGrid());
    else
        Host().SetScreenCursor(QueryCursor(HitTest(pt)));
}

void TGraphObject::MouseUp(TMouseButton, TShiftState, const TPoint &pt)
{
    if (Dragging()) {
        EndDrag(true);
        Host().SetScreenCursor(QueryCursor(HitTest(pt)));
    }
}

bool TGraphObject::KeyPress(uint16_t &key, TShiftState shift)
{
    if (key == VK_ESCAPE) {
        if (Dragging()) {
            EndDrag(false);
            return true;
        }
        return false;
    }
    int32_t dx = 0;
    int32_t dy = 0;
    switch (key) {
    case VK_LEFT:
        dx = -1;
        break;
    case VK_RIGHT:
        dx = 1;
        break;
    case VK_UP:
        dy = -1;
        break;
    case VK_DOWN:
        dy = 1;
        break;
    default:
        return false;
    }
    if (!(shift - TShiftState{ssShift, ssCtrl}).IsEmpty())
        return false;
    if (shift.Contains(ssCtrl) != Host().SnapToGrid()) {
        dx *= Host().GridSize();
        dy *= Host().GridSize();
    }
    const bool resize = shift.Contains(ssShift);
    const TObjectSides sides =
        resize ? TObjectSides{osRight, osBottom} : TObjectSides{osLeft, osTop, osRight, osBottom};
    const uint32_t zone = resize ? hzBottomRight : hzBody;
    if (fOwner->GraphConstraints().ConfineOffset(dx, dy, sides))
        OffsetHitTest(zone, dx, dy);
    return true;
}

bool TGraphObject::BeginDrag(const TPoint &pt, uint32_t ht)
{
    if (fStates.Contains(osDragDisabled))
        return false;
    if (Host().DragSource() && Host().DragSource() != this)
        return false;
    if (ht == hzUnknown)
        ht = HitTest(pt);
    if (!Host().BeginDragObject(this, pt, ht))
        return false;
    fStates.Include(osDragging);
    Changed({gcView});
    return true;
}

bool TGraphObject::DragTo(const TPoint &pt, bool snapToGrid)
{
    const TPoint &target = Host().DragTargetPt();
    return DragBy(AddWrapped(pt.X, -int64_t{target.X}), AddWrapped(pt.Y, -int64_t{target.Y}),
                  snapToGrid);
}

bool TGraphObject::DragBy(int32_t dx, int32_t dy, bool snapToGrid)
{
    if (Host().DragSource() != this)
        return false;
    if (dx == 0 && dy == 0)
        return true;
    if (snapToGrid)
        SnapHitTestOffset(Host().DragHitTest(), dx, dy);
    Host().PerformDragBy(dx, dy);
    return true;
}

bool TGraphObject::EndDrag(bool accept)
{
    if (Host().DragSource() != this)
        return false;
    fStates.Exclude(osDragging);
    Changed({gcView});
    Host().EndDragObject(accept);
    return true;
}

bool TGraphObject::BeginFollowDrag(uint32_t)
{
    if (fStates.Contains(osDragDisabled) && !IsLocked())
        return false;
    fStates.Include(osDragging);
    Changed({gcView});
    return true;
}

bool TGraphObject::EndFollowDrag()
{
    if (!Dragging())
        return false;
    fStates.Exclude(osDragging);
    Changed({gcView});
    return true;
}

void TGraphObject::DisableDrag()
{
    if (DragDisableCount == 0)
        fStates.Include(osDragDisabled);
    ++DragDisableCount;
}

void TGraphObject::EnableDrag()
{
    // An unmatched call would leave the count below zero and the next DisableDrag without effect.
    if (DragDisableCount == 0)
        return;
    --DragDisableCount;
    if (DragDisableCount == 0)
        fStates.Exclude(osDragDisabled);
}

} // namespace talivo
