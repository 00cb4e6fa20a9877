#include "graph/control/GraphControl.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/control/GraphCursors.h"
#include "graph/objects/GraphNode.h"

#include <algorithm>
#include <vector>

namespace talivo {

bool TGraphControl::BeginDragObject(TGraphObject *GraphObject, const TPoint &Pt, uint32_t HT)
{
    if (!GraphObject) {
        return false;
    }
    const TRepaintBatch Batch(*this);
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
    BackupObjects(UndoStorage, fDraggingObjects);
    for (int32_t I = 0; I < SelectedObjects().Count(); ++I) {
        TGraphObject *Obj = SelectedObjects()[I];
        if (Obj->ID() != GraphObject->ID() && Obj->BeginFollowDrag(HT)) {
            fDraggingObjects.Add(Obj);
        }
    }
    // The followers are recorded as well, so that cancelling puts every moved object back, not
    // only the one under the pointer.
    BackupFollowers();
    TakeDragStaticBounds();
    DoObjectBeginDrag(GraphObject, HT);
    return true;
}

void TGraphControl::TakeDragStaticBounds()
{
    DragStaticFound = false;
    for (int32_t I = Objects().Count() - 1; I >= 0; --I) {
        const TGraphObject *Obj = Objects()[I];
        if (Obj == fDragSource || Obj->Dragging() || !Obj->Showing()) {
            continue;
        }
        if (DragStaticFound) {
            UnionRect(DragStaticBounds, Obj->VisualRect());
        } else {
            DragStaticBounds = Obj->VisualRect();
            DragStaticFound = true;
        }
    }
    DragStaticValid = true;
}

void TGraphControl::BackupFollowers()
{
    TGraphObjectList Others;
    FollowerPlaces.reserve(static_cast<size_t>(fDraggingObjects.Count()));
    for (int32_t I = 1; I < fDraggingObjects.Count(); ++I) {
        TGraphObject *Obj = fDraggingObjects[I];
        if (Obj->IsNode()) {
            FollowerPlaces.push_back({Obj, Obj->GetBoundsRect()});
        } else {
            Others.Add(Obj);
        }
    }
    if (Others.Count() > 0) {
        BackupObjects(FollowerStorage, Others);
    }
}

void TGraphControl::RestoreFollowers(const std::vector<TGraphObject *> &Followers)
{
    if (FollowerStorage.size() > 0) {
        FollowerStorage.seek(0);
        RestoreObjects(FollowerStorage);
    }
    const TUpdateBatch batch(*this, TBatchQueries::Suspend);
    // The dragging list only loses objects during a drag (those that leave the document), so the
    // places and the followers still dragged come in the same order.
    auto place = FollowerPlaces.cbegin();
    for (TGraphObject *obj : Followers) {
        while (place != FollowerPlaces.cend() && place->Object != obj) {
            ++place;
        }
        if (place == FollowerPlaces.cend()) {
            break;
        }
        // As the record of the source is read back: the area left and the one returned to are
        // repainted, and the graph's bounds follow. A node that only moved repaints the area it
        // leaves by itself.
        auto *node = static_cast<TGraphNode *>(obj);
        const TRect now = node->GetBoundsRect();
        if (now.Width() != place->Bounds.Width() || now.Height() != place->Bounds.Height()) {
            obj->Invalidate();
        }
        node->PutBack(place->Bounds);
        ObjectChanged(obj, {gcView, gcPlacement});
    }
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
    GraphConstraints().SetSourceRect(DraggingBounds());
    if (!GraphConstraints().ConfineOffset(dX, dY, Mobility)) {
        return;
    }
    {
        const TUpdateBatch batch(*this);
        for (int32_t i = 0; i < fDraggingObjects.Count(); ++i) {
            fDraggingObjects[i]->OffsetHitTest(fDragHitTest, dX, dY);
        }
    }
    fDragTargetPt = {AddWrapped(fDragTargetPt.X, dX), AddWrapped(fDragTargetPt.Y, dY)};
    ScrollInView(fDragTargetPt);
}

void TGraphControl::EndDragObject(bool Accept)
{
    if (!fDragSource) {
        return;
    }
    const TRepaintBatch Batch(*this);
    TGraphObject *Source = fDragSource;
    fDragSource = nullptr;
    DragStaticValid = false;
    const bool InsertMode = IsInsertMode(fCommandMode);
    std::vector<TGraphObject *> Followers;
    if (!Accept && !InsertMode) {
        Followers.reserve(static_cast<size_t>(std::max(fDraggingObjects.Count() - 1, 0)));
        for (int32_t I = 1; I < fDraggingObjects.Count(); ++I) {
            Followers.push_back(fDraggingObjects[I]);
        }
    }
    for (int32_t I = 1; I < fDraggingObjects.Count(); ++I) {
        fDraggingObjects[I]->EndFollowDrag();
    }
    while (fDraggingObjects.Count() > 0) {
        fDraggingObjects.Delete(fDraggingObjects.Count() - 1);
    }
    if (!Accept) {
        fDragModified = false;
        if (InsertMode) {
            // When the source is leaving the document right now, its removal frees it.
            if (fDocument.IsListed(Source)) {
                TGraphObject::Free(Source);
            }
        } else {
            UndoStorage.seek(0);
            RestoreObjects(UndoStorage);
            RestoreFollowers(Followers);
        }
    }
    ClearUndoStorage();
    if (!InsertMode) {
        DoObjectEndDrag(Source, fDragHitTest, !Accept);
    } else if (fCommandMode != cmInsertPolyLink) {
        SetCommandMode(cmEdit);
    }
    if (fDragModified) {
        fDocument.MarkModified();
    }
}

void TGraphControl::ClearUndoStorage()
{
    for (QBuffer *Storage : {&UndoStorage, &FollowerStorage}) {
        Storage->close();
        Storage->setData(QByteArray());
        Storage->open(QIODevice::ReadWrite);
    }
    FollowerPlaces.clear();
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
