#include "graph/control/GraphControl.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/control/GraphCursors.h"
#include "graph/objects/GraphNode.h"

#include <algorithm>
#include <vector>

namespace talivo {

bool TGraphControl::BeginDragObject(TGraphObject *graphObject, const TPoint &pt, uint32_t ht)
{
    if (!graphObject)
        return false;
    const TRepaintBatch batch(*this);
    ClearUndoStorage();
    fDragSource = graphObject;
    fDragHitTest = ht;
    fDragSourcePt = pt;
    fDragTargetPt = pt;
    if (!graphObject->Selected()) {
        ClearSelection();
        graphObject->SetSelected(true);
    }
    while (fDraggingObjects.Count() > 0)
        fDraggingObjects.Delete(fDraggingObjects.Count() - 1);
    fDraggingObjects.Add(graphObject);
    if (IsInsertMode(fCommandMode)) {
        fDragModified = true;
        return true;
    }
    fDragModified = false;
    fDragSourceBounds = graphObject->GetBoundsRect();
    BackupObjects(UndoStorage, fDraggingObjects);
    for (int32_t i = 0; i < SelectedObjects().Count(); ++i) {
        TGraphObject *obj = SelectedObjects()[i];
        if (obj->ID() != graphObject->ID() && obj->BeginFollowDrag(ht))
            fDraggingObjects.Add(obj);
    }
    // The followers are recorded as well, so that cancelling puts every moved object back, not
    // only the one under the pointer.
    BackupFollowers();
    TakeDragStaticBounds();
    DoObjectBeginDrag(graphObject, ht);
    return true;
}

void TGraphControl::TakeDragStaticBounds()
{
    DragStaticFound = false;
    for (int32_t i = Objects().Count() - 1; i >= 0; --i) {
        const TGraphObject *obj = Objects()[i];
        if (obj == fDragSource || obj->Dragging() || !obj->Showing())
            continue;
        if (DragStaticFound) {
            UnionRect(DragStaticBounds, obj->VisualRect());
        } else {
            DragStaticBounds = obj->VisualRect();
            DragStaticFound = true;
        }
    }
    DragStaticValid = true;
}

void TGraphControl::BackupFollowers()
{
    TGraphObjectList others;
    FollowerPlaces.reserve(static_cast<size_t>(fDraggingObjects.Count()));
    for (int32_t i = 1; i < fDraggingObjects.Count(); ++i) {
        TGraphObject *obj = fDraggingObjects[i];
        if (obj->IsNode())
            FollowerPlaces.push_back({static_cast<TGraphNode *>(obj), obj->GetBoundsRect()});
        else
            others.Add(obj);
    }
    if (others.Count() > 0)
        BackupObjects(FollowerStorage, others);
}

void TGraphControl::RestoreFollowers(const std::vector<TGraphObject *> &followers)
{
    if (FollowerStorage.size() > 0) {
        FollowerStorage.seek(0);
        RestoreObjects(FollowerStorage);
    }
    const TUpdateBatch batch(*this, TBatchQueries::Suspend);
    // The dragging list only loses objects during a drag (those that leave the document), so the
    // places and the followers still dragged come in the same order.
    auto place = FollowerPlaces.cbegin();
    for (TGraphObject *obj : followers) {
        while (place != FollowerPlaces.cend() && place->Node != obj)
            ++place;
        if (place == FollowerPlaces.cend())
            break;
        // As the record of the source is read back: the area left and the one returned to are
        // repainted, and the graph's bounds follow. A node that only moved repaints the area it
        // leaves by itself.
        auto *node = static_cast<TGraphNode *>(obj);
        const TRect now = node->GetBoundsRect();
        if (now.Width() != place->Bounds.Width() || now.Height() != place->Bounds.Height())
            obj->Invalidate();
        node->PutBack(place->Bounds);
        ObjectChanged(obj, {gcView, gcPlacement});
    }
}

void TGraphControl::PerformDragBy(int32_t dx, int32_t dy)
{
    if (!fDragSource || (dx == 0 && dy == 0))
        return;
    TObjectSides mobility;
    if (KeepInside) {
        for (int32_t i = 0; i < fDraggingObjects.Count(); ++i)
            mobility += fDraggingObjects[i]->QueryMobility(fDragHitTest);
    }
    GraphConstraints().SetSourceRect(DraggingBounds());
    if (!GraphConstraints().ConfineOffset(dx, dy, mobility))
        return;
    {
        const TUpdateBatch batch(*this);
        for (int32_t i = 0; i < fDraggingObjects.Count(); ++i)
            fDraggingObjects[i]->OffsetHitTest(fDragHitTest, dx, dy);
    }
    fDragTargetPt = {AddWrapped(fDragTargetPt.X, dx), AddWrapped(fDragTargetPt.Y, dy)};
    ScrollInView(fDragTargetPt);
}

void TGraphControl::EndDragObject(bool accept)
{
    if (!fDragSource)
        return;
    const TRepaintBatch batch(*this);
    TGraphObject *source = fDragSource;
    fDragSource = nullptr;
    DragStaticValid = false;
    const bool insertMode = IsInsertMode(fCommandMode);
    std::vector<TGraphObject *> followers;
    // The nodes still dragged, with where they stood when the drag began.
    std::vector<TNodePlace> moved;
    if (accept && !insertMode && OnNodesMoved) {
        moved.reserve(static_cast<size_t>(fDraggingObjects.Count()));
        if (source->IsNode() && fDocument.IsListed(source))
            moved.push_back({static_cast<TGraphNode *>(source), fDragSourceBounds});
        auto place = FollowerPlaces.cbegin();
        for (int32_t i = 1; i < fDraggingObjects.Count(); ++i) {
            while (place != FollowerPlaces.cend() && place->Node != fDraggingObjects[i])
                ++place;
            if (place == FollowerPlaces.cend())
                break;
            moved.push_back(*place);
        }
    }
    if (!accept && !insertMode) {
        followers.reserve(static_cast<size_t>(std::max(fDraggingObjects.Count() - 1, 0)));
        for (int32_t i = 1; i < fDraggingObjects.Count(); ++i)
            followers.push_back(fDraggingObjects[i]);
    }
    for (int32_t i = 1; i < fDraggingObjects.Count(); ++i)
        fDraggingObjects[i]->EndFollowDrag();
    while (fDraggingObjects.Count() > 0)
        fDraggingObjects.Delete(fDraggingObjects.Count() - 1);
    if (!accept) {
        fDragModified = false;
        if (insertMode) {
            // When the source is leaving the document right now, its removal frees it.
            if (fDocument.IsListed(source))
                TGraphObject::Free(source);
        } else {
            UndoStorage.seek(0);
            RestoreObjects(UndoStorage);
            RestoreFollowers(followers);
        }
    }
    ClearUndoStorage();
    if (!insertMode)
        DoObjectEndDrag(source, fDragHitTest, !accept);
    else if (fCommandMode != cmInsertPolyLink)
        SetCommandMode(cmEdit);
    if (fDragModified)
        fDocument.MarkModified();
    DoNodesMoved(std::move(moved), false);
}

void TGraphControl::ClearUndoStorage()
{
    for (QBuffer *storage : {&UndoStorage, &FollowerStorage}) {
        storage->close();
        storage->setData(QByteArray());
        storage->open(QIODevice::ReadWrite);
    }
    FollowerPlaces.clear();
}

TPoint TGraphControl::SnapPoint(const TPoint &pt) const
{
    // Computed wide: a point near the end of the coordinate range wraps instead of overflowing.
    const int64_t grid = fGridSize;
    const auto snap = [grid](int32_t value) {
        return static_cast<int32_t>((value + grid / 2) / grid * grid);
    };
    return {snap(pt.X), snap(pt.Y)};
}

void TGraphControl::SnapOffset(const TPoint &pt, int32_t &dx, int32_t &dy) const
{
    const TPoint q = SnapPoint({AddWrapped(pt.X, dx), AddWrapped(pt.Y, dy)});
    if (dx != 0)
        dx = AddWrapped(q.X, -int64_t{pt.X});
    if (dy != 0)
        dy = AddWrapped(q.Y, -int64_t{pt.Y});
}

void TGraphControl::SetScreenCursor(TCursor value)
{
    fScreenCursor = value;
    viewport()->setCursor(GraphCursor(value == crDefault ? fCursor : value));
}

void TGraphControl::SetCursor(TCursor value)
{
    fCursor = value;
    viewport()->setCursor(GraphCursor(value));
}

} // namespace talivo
