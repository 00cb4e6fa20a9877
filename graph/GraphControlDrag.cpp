#include "graph/GraphControl.h"

#include "graph/GraphCursors.h"
#include "graph/GraphUtils.h"

namespace talivo {

namespace {

bool IsInsertMode(TGraphCommandMode Mode)
{
    return Mode == cmInsertNode || Mode == cmInsertLink || Mode == cmInsertPolyLink;
}

} // namespace

bool TGraphControl::BeginDragObject(TGraphObject *GraphObject, const TPoint &Pt, uint32_t HT)
{
    if (!GraphObject) {
        return false;
    }
    ClearUndoStorage();
    fDragSource = GraphObject;
    fDragHitTest = HT;
    fDragSourcePt = Pt;
    fDragTargetPt = Pt;
    if (!GraphObject->Selected()) {
        ClearSelection();
        GraphObject->SetSelected(true);
    }
    while (fDraggingObjects.Count() > 0) {
        fDraggingObjects.Delete(fDraggingObjects.Count() - 1);
    }
    fDraggingObjects.Add(GraphObject);
    if (IsInsertMode(fCommandMode)) {
        fDragModified = true;
        return true;
    }
    fDragModified = false;
    for (int32_t I = 0; I < fSelectedObjects.Count(); ++I) {
        TGraphObject *Obj = fSelectedObjects[I];
        if (Obj->ID() != GraphObject->ID() && Obj->BeginFollowDrag(HT)) {
            fDraggingObjects.Add(Obj);
        }
    }
    // The record is taken once the followers have joined, so that cancelling puts every moved
    // object back, not only the one under the pointer.
    BackupObjects(UndoStorage, fDraggingObjects);
    DoObjectBeginDrag(GraphObject, HT);
    return true;
}

void TGraphControl::PerformDragBy(int32_t dX, int32_t dY)
{
    if (!fDragSource || (dX == 0 && dY == 0)) {
        return;
    }
    TObjectSides Mobility;
    if (KeepInside) {
        for (int32_t I = 0; I < fDraggingObjects.Count(); ++I) {
            Mobility += fDraggingObjects[I]->QueryMobility(fDragHitTest);
        }
    }
    fGraphConstraints->SetSourceRect(DraggingBounds());
    if (!fGraphConstraints->ConfineOffset(dX, dY, Mobility)) {
        return;
    }
    BeginUpdate();
    try {
        for (int32_t I = 0; I < fDraggingObjects.Count(); ++I) {
            fDraggingObjects[I]->OffsetHitTest(fDragHitTest, dX, dY);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    fDragTargetPt = {AddWrapped(fDragTargetPt.X, dX), AddWrapped(fDragTargetPt.Y, dY)};
    ScrollInView(fDragTargetPt);
}

void TGraphControl::EndDragObject(bool Accept)
{
    if (!fDragSource) {
        return;
    }
    TGraphObject *Source = fDragSource;
    fDragSource = nullptr;
    for (int32_t I = 1; I < fDraggingObjects.Count(); ++I) {
        fDraggingObjects[I]->EndFollowDrag();
    }
    while (fDraggingObjects.Count() > 0) {
        fDraggingObjects.Delete(fDraggingObjects.Count() - 1);
    }
    const bool InsertMode = IsInsertMode(fCommandMode);
    if (!Accept) {
        fDragModified = false;
        if (InsertMode) {
            // When the source is leaving the document right now, its removal frees it.
            if (IsListed(Source)) {
                TGraphObject::Free(Source);
            }
        } else {
            UndoStorage.seek(0);
            RestoreObjects(UndoStorage);
        }
    }
    ClearUndoStorage();
    if (!InsertMode) {
        DoObjectEndDrag(Source, fDragHitTest, !Accept);
    } else if (fCommandMode != cmInsertPolyLink) {
        SetCommandMode(cmEdit);
    }
    if (fDragModified) {
        fModified = true;
        DoGraphChange();
    }
}

void TGraphControl::ClearUndoStorage()
{
    UndoStorage.close();
    UndoStorage.setData(QByteArray());
    UndoStorage.open(QIODevice::ReadWrite);
}

TPoint TGraphControl::SnapPoint(const TPoint &Pt) const
{
    // Computed wide: a point near the end of the coordinate range wraps instead of overflowing.
    const int64_t Grid = fGridSize;
    const auto Snap = [Grid](int32_t Value) {
        return static_cast<int32_t>((Value + Grid / 2) / Grid * Grid);
    };
    return {Snap(Pt.X), Snap(Pt.Y)};
}

void TGraphControl::SnapOffset(const TPoint &Pt, int32_t &dX, int32_t &dY) const
{
    const TPoint Q = SnapPoint({AddWrapped(Pt.X, dX), AddWrapped(Pt.Y, dY)});
    if (dX != 0) {
        dX = AddWrapped(Q.X, -int64_t{Pt.X});
    }
    if (dY != 0) {
        dY = AddWrapped(Q.Y, -int64_t{Pt.Y});
    }
}

void TGraphControl::SetScreenCursor(TCursor Value)
{
    fScreenCursor = Value;
    viewport()->setCursor(GraphCursor(Value == crDefault ? fCursor : Value));
}

void TGraphControl::SetCursor(TCursor Value)
{
    fCursor = Value;
    viewport()->setCursor(GraphCursor(Value));
}

} // namespace talivo
