#include "graph/GraphControl.h"

#include "graph/GraphUtils.h"

#include <QScrollBar>

namespace talivo {

namespace {

bool IsInsertMode(TGraphCommandMode Mode)
{
    return Mode == cmInsertNode || Mode == cmInsertLink || Mode == cmInsertPolyLink;
}

Qt::CursorShape CursorShape(TCursor Cursor)
{
    switch (Cursor) {
    case crCross:
        return Qt::CrossCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

bool TGraphControl::BeginDragObject(TGraphObject *GraphObject, const TPoint &Pt, uint32_t HT)
{
    if (!GraphObject) {
        return false;
    }
    UndoStorage.clear();
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
            RestoreObjects(UndoStorage);
        }
    }
    UndoStorage.clear();
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

void TGraphControl::BackupObjects(TObjectsBackup &Backup, TGraphObjectList &List)
{
    for (int32_t I = 0; I < List.Count(); ++I) {
        Backup.push_back(List[I]->SaveToEntries());
    }
}

void TGraphControl::RestoreObjects(const TObjectsBackup &Backup)
{
    BeginUpdate();
    ++SuspendQueryEvents;
    try {
        for (const TPropEntries &Entries : Backup) {
            // Every record starts with the object's ID; an object that has gone meanwhile
            // cannot be restored and its record is passed over.
            TGraphObject *Obj =
                Entries.empty() || Entries.front().Path != "ID"
                    ? nullptr
                    : FindObjectByID(static_cast<uint32_t>(PropOrdinal(Entries.front().Value)));
            if (Obj) {
                Obj->LoadFromEntries(Entries);
            }
        }
    } catch (...) {
        --SuspendQueryEvents;
        EndUpdate();
        throw;
    }
    --SuspendQueryEvents;
    EndUpdate();
}

TPoint TGraphControl::SnapPoint(const TPoint &Pt) const
{
    const int32_t Grid = fGridSize;
    return {(Pt.X + Grid / 2) / Grid * Grid, (Pt.Y + Grid / 2) / Grid * Grid};
}

void TGraphControl::SnapOffset(const TPoint &Pt, int32_t &dX, int32_t &dY) const
{
    const TPoint Q = SnapPoint({AddWrapped(Pt.X, dX), AddWrapped(Pt.Y, dY)});
    if (dX != 0) {
        dX = Q.X - Pt.X;
    }
    if (dY != 0) {
        dY = Q.Y - Pt.Y;
    }
}

void TGraphControl::ScrollInView(const TGraphObject *GraphObject)
{
    if (GraphObject) {
        ScrollInView(GraphObject->SelectedVisualRect());
    }
}

void TGraphControl::ScrollInView(const TRect &Rect)
{
    // The visible part of the graph: the client rectangle mapped back to graph units.
    const double Scale = Nearest(fZoom * 10) / 1000.0;
    const auto ToGraph = [Scale](int32_t Client, int32_t Position) {
        return Nearest((Client + Position) / Scale);
    };
    const int32_t PosX = horizontalScrollBar()->value();
    const int32_t PosY = verticalScrollBar()->value();
    const TRect Visible{ToGraph(0, PosX), ToGraph(0, PosY), ToGraph(viewport()->width(), PosX),
                        ToGraph(viewport()->height(), PosY)};
    TPoint Pt = Rect.TopLeft();
    if (Rect.Width() <= Visible.Width() && Visible.Right < Rect.Right) {
        Pt.X = Rect.Right;
    }
    if (Rect.Height() <= Visible.Height() && Visible.Bottom < Rect.Bottom) {
        Pt.Y = Rect.Bottom;
    }
    ScrollInView(Pt);
}

void TGraphControl::ScrollInView(const TPoint &Pt)
{
    const auto Follow = [](QScrollBar *Bar, int32_t Pos, int32_t Extent) {
        if (!Bar->isVisible()) {
            return;
        }
        if (Pos < Bar->value()) {
            Bar->setValue(Pos);
        } else if (Pos > Bar->value() + Extent) {
            Bar->setValue(Pos - Extent);
        }
    };
    Follow(horizontalScrollBar(), Nearest(Pt.X * fZoom / 100), viewport()->width());
    Follow(verticalScrollBar(), Nearest(Pt.Y * fZoom / 100), viewport()->height());
}

void TGraphControl::SetScreenCursor(TCursor Value)
{
    fScreenCursor = Value;
    viewport()->setCursor(CursorShape(Value == crDefault ? fCursor : Value));
}

void TGraphControl::SetCursor(TCursor Value)
{
    fCursor = Value;
    viewport()->setCursor(CursorShape(Value));
}

} // namespace talivo
