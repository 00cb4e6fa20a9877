#include "graph/objects/GraphObject.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"

namespace talivo {

uint32_t TGraphObject::HitTest(const TPoint &Pt) const
{
    if (!Showing()) {
        return hzNone;
    }
    const TRect Area = fSelected ? GetSelectedVisualRect() : fVisualRect;
    if (!Area.Contains(Pt)) {
        return hzNone;
    }
    const uint32_t HT = QueryHitTest(Pt);
    if (HT != hzNone && !fOptions.Contains(goSelectable)) {
        return hzInert;
    }
    return HT;
}

uint32_t TGraphObject::QueryHitTest(const TPoint &) const
{
    return hzNone;
}

bool TGraphObject::ContainsRect(const TRect &Rect) const
{
    if (!Showing()) {
        return false;
    }
    return OverlappedRect(Rect, fSelected ? GetSelectedVisualRect() : fVisualRect);
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

void TGraphObject::MouseDown(TMouseButton Button, TShiftState Shift, const TPoint &Pt)
{
    if (Dragging()) {
        EndDrag(true);
    }
    if (fSelected) {
        if (Shift.Contains(ssShift)) {
            SetSelected(false);
        }
    } else if (fOptions.Contains(goSelectable)) {
        if (!Shift.Contains(ssShift)) {
            Host().ClearSelection();
        }
        SetSelected(true);
    }
    const uint32_t HT = HitTest(Pt);
    if (Button == mbLeft && !Shift.Contains(ssDouble) && fSelected && !IsLocked()) {
        BeginDrag(Pt, HT);
    }
    Host().SetScreenCursor(QueryCursor(HT));
}

void TGraphObject::MouseMove(TShiftState Shift, const TPoint &Pt)
{
    if (Dragging()) {
        DragTo(Pt, Shift.Contains(ssCtrl) != Host().SnapToGrid());
    } else {
        Host().SetScreenCursor(QueryCursor(HitTest(Pt)));
    }
}

void TGraphObject::MouseUp(TMouseButton, TShiftState, const TPoint &Pt)
{
    if (Dragging()) {
        EndDrag(true);
        Host().SetScreenCursor(QueryCursor(HitTest(Pt)));
    }
}

bool TGraphObject::KeyPress(uint16_t &Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE) {
        if (Dragging()) {
            EndDrag(false);
            return true;
        }
        return false;
    }
    int32_t dX = 0;
    int32_t dY = 0;
    switch (Key) {
    case VK_LEFT:
        dX = -1;
        break;
    case VK_RIGHT:
        dX = 1;
        break;
    case VK_UP:
        dY = -1;
        break;
    case VK_DOWN:
        dY = 1;
        break;
    default:
        return false;
    }
    if (!(Shift - TShiftState{ssShift, ssCtrl}).IsEmpty()) {
        return false;
    }
    if (Shift.Contains(ssCtrl) != Host().SnapToGrid()) {
        dX *= Host().GridSize();
        dY *= Host().GridSize();
    }
    const bool Resize = Shift.Contains(ssShift);
    const TObjectSides Sides =
        Resize ? TObjectSides{osRight, osBottom} : TObjectSides{osLeft, osTop, osRight, osBottom};
    const uint32_t Zone = Resize ? hzBottomRight : hzBody;
    if (fOwner->GraphConstraints().ConfineOffset(dX, dY, Sides)) {
        OffsetHitTest(Zone, dX, dY);
    }
    return true;
}

bool TGraphObject::BeginDrag(const TPoint &Pt, uint32_t HT)
{
    if (fStates.Contains(osDragDisabled)) {
        return false;
    }
    if (Host().DragSource() && Host().DragSource() != this) {
        return false;
    }
    if (HT == hzUnknown) {
        HT = HitTest(Pt);
    }
    if (!Host().BeginDragObject(this, Pt, HT)) {
        return false;
    }
    fStates.Include(osDragging);
    Changed({gcView});
    return true;
}

bool TGraphObject::DragTo(const TPoint &Pt, bool SnapToGrid)
{
    const TPoint &Target = Host().DragTargetPt();
    return DragBy(AddWrapped(Pt.X, -int64_t{Target.X}), AddWrapped(Pt.Y, -int64_t{Target.Y}),
                  SnapToGrid);
}

bool TGraphObject::DragBy(int32_t dX, int32_t dY, bool SnapToGrid)
{
    if (Host().DragSource() != this) {
        return false;
    }
    if (dX == 0 && dY == 0) {
        return true;
    }
    if (SnapToGrid) {
        SnapHitTestOffset(Host().DragHitTest(), dX, dY);
    }
    Host().PerformDragBy(dX, dY);
    return true;
}

bool TGraphObject::EndDrag(bool Accept)
{
    if (Host().DragSource() != this) {
        return false;
    }
    fStates.Exclude(osDragging);
    Changed({gcView});
    Host().EndDragObject(Accept);
    return true;
}

bool TGraphObject::BeginFollowDrag(uint32_t)
{
    if (fStates.Contains(osDragDisabled) && !IsLocked()) {
        return false;
    }
    fStates.Include(osDragging);
    Changed({gcView});
    return true;
}

bool TGraphObject::EndFollowDrag()
{
    if (!Dragging()) {
        return false;
    }
    fStates.Exclude(osDragging);
    Changed({gcView});
    return true;
}

void TGraphObject::DisableDrag()
{
    if (DragDisableCount == 0) {
        fStates.Include(osDragDisabled);
    }
    ++DragDisableCount;
}

void TGraphObject::EnableDrag()
{
    // An unmatched call would leave the count below zero and the next DisableDrag without effect.
    if (DragDisableCount == 0) {
        return;
    }
    --DragDisableCount;
    if (DragDisableCount == 0) {
        fStates.Exclude(osDragDisabled);
    }
}

} // namespace talivo
