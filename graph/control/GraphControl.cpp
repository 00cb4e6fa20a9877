#include "graph/control/GraphControl.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphClasses.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace talivo {

TGraphControl::TGraphControl(QWidget *Parent) : QAbstractScrollArea(Parent)
{
    RegisterGraphClasses();
    fDocument.SetHost(this);
    fDraggingObjects.SetOnChange(
        [this](TGraphObjectList *Sender, TGraphObject *GraphObject, TGraphObjectListAction Action) {
            DraggingListChanged(Sender, GraphObject, Action);
        });
    ApplyTransparency();
    if (NodeClassCount() > 0) {
        fDefaultNodeClass = NodeClasses(0);
    }
    if (LinkClassCount() > 0) {
        fDefaultLinkClass = LinkClasses(0);
    }
    fFont.OnChange = [this] { FontChanged(); };
    // The pointer's shape follows the objects under it also while no button is held; the
    // control takes the focus when clicked but is no tab stop.
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

TGraphControl::~TGraphControl()
{
    fDestroying = true;
    fDocument.FreeObjects();
    fDraggingObjects.SetOnChange(nullptr);
    fDocument.SetHost(nullptr);
}

void TGraphControl::ObjectReplaced(TGraphObject *OldObject, TGraphObject *NewObject)
{
    fDraggingObjects.ReplaceAll(OldObject, NewObject);
    // The old object is about to go; nothing may keep pointing at it.
    if (fObjectAtCursor == OldObject) {
        fObjectAtCursor = NewObject;
    }
    if (fDragSource == OldObject) {
        fDragSource = NewObject;
    }
}

bool TGraphControl::ObjectAdded(TGraphObject *GraphObject)
{
    // A new object can only widen the graph's bounds, and the selection and the drag do not hold
    // it yet: a fresh cache takes it in directly instead of being recomputed over every object,
    // which would make inserting objects one by one quadratic.
    const bool Fresh = !IsUpdating() && !SaveBoundsChange.Contains(bkGraph);
    if (Fresh && GraphObject->Showing()) {
        if (SaveBoundsFound[bkGraph]) {
            UnionRect(SaveBounds[bkGraph], GraphObject->VisualRect());
        } else {
            SaveBounds[bkGraph] = GraphObject->VisualRect();
            SaveBoundsFound[bkGraph] = true;
        }
    }
    return Fresh;
}

void TGraphControl::ObjectRemoved(TGraphObject *GraphObject)
{
    if (fDragSource == GraphObject) {
        GraphObject->EndDrag(false);
    } else if (GraphObject->Dragging()) {
        fDraggingObjects.Remove(GraphObject);
    }
    if (fObjectAtCursor == GraphObject) {
        RenewObjectAtCursor(nullptr);
    }
}

void TGraphControl::SelectionChanged(TGraphObject *)
{
    SaveBoundsChange.Include(bkSelected);
}

void TGraphControl::Cleared()
{
    SetCommandMode(cmEdit);
    HorzScrollBar().SetPosition(0);
    VertScrollBar().SetPosition(0);
}

void TGraphControl::DraggingListChanged(TGraphObjectList *, TGraphObject *GraphObject,
                                        TGraphObjectListAction Action)
{
    if (GraphObject->Owner() == &fDocument) {
        SaveBoundsChange.Include(bkDragging);
    } else if (Action == glAdded) {
        fDraggingObjects.Remove(GraphObject);
    }
}

void TGraphControl::BeginUpdate()
{
    fDocument.BeginUpdate();
}

void TGraphControl::EndUpdate()
{
    fDocument.EndUpdate();
}

void TGraphControl::UpdateBegun()
{
    SaveRangeChange = false;
    if (RepaintBatchCount == 0) {
        SaveInvalidateRegion.Take();
        fBatchGraphArea.Set = false;
    }
}

void TGraphControl::UpdateEnded()
{
    if (SaveRangeChange) {
        MarkBoundsStale();
        CalcAutoRange();
    }
    if (RepaintBatchCount == 0) {
        FlushInvalidateRegion();
    }
}

TGraphControl::TRepaintBatch::TRepaintBatch(TGraphControl &Graph) : fGraph(Graph)
{
    ++fGraph.RepaintBatchCount;
}

TGraphControl::TRepaintBatch::~TRepaintBatch()
{
    if (--fGraph.RepaintBatchCount == 0 && !fGraph.IsUpdating()) {
        fGraph.FlushInvalidateRegion();
    }
}

void TGraphControl::FlushInvalidateRegion()
{
    if (!fDestroying && !SaveInvalidateRegion.IsEmpty()) {
        viewport()->update(SaveInvalidateRegion.Take());
    }
    fBatchGraphArea.Set = false;
}

void TGraphControl::ObjectChanged(TGraphObject *GraphObject, TGraphChangeFlags Flags)
{
    fDocument.ObjectChanged(GraphObject, Flags);
}

void TGraphControl::ShowObjectChange(TGraphObject *GraphObject, TGraphChangeFlags Flags,
                                     bool BoundsKnown)
{
    if (fDestroying) {
        return;
    }
    if (Flags.Contains(gcPlacement) && fDragSource && GraphObject != fDragSource &&
        !GraphObject->Dragging()) {
        DragStaticValid = false;
    }
    if (!Flags.Contains(gcPlacement)) {
        return;
    }
    if (IsUpdating()) {
        SaveRangeChange = true;
        return;
    }
    if (!BoundsKnown) {
        MarkBoundsStale();
    }
    CalcAutoRange();
}

bool TGraphControl::AccountsModification(bool InBatch)
{
    // Inside a batch, a change made in an insert mode leaves the graph as it was; outside one, a
    // drag counts its changes and reports them once, when it ends.
    if (InBatch) {
        return IsInsertMode(fCommandMode);
    }
    if (fDragSource) {
        fDragModified = true;
        return true;
    }
    return false;
}

TRect TGraphControl::GetBoundingRect(TGraphBoundsKind Kind)
{
    if (Kind == bkGraph && SaveBoundsChange.Contains(bkGraph) && fDragSource && DragStaticValid) {
        const TRect Dragged = GetBoundingRect(bkDragging);
        const bool DraggedFound = SaveBoundsFound[bkDragging];
        TRect &Result = SaveBounds[bkGraph];
        Result = DragStaticFound ? DragStaticBounds : Dragged;
        if (DragStaticFound && DraggedFound) {
            UnionRect(Result, Dragged);
        }
        SaveBoundsFound[bkGraph] = DragStaticFound || DraggedFound;
        SaveBoundsChange.Exclude(bkGraph);
    }
    if (SaveBoundsChange.Contains(Kind)) {
        const TGraphObjectList &List = Kind == bkGraph      ? Objects()
                                       : Kind == bkSelected ? SelectedObjects()
                                                            : fDraggingObjects;
        SaveBounds[Kind] = fDocument.ObjectsBounds(List, SaveBoundsFound[Kind]);
        SaveBoundsChange.Exclude(Kind);
    }
    return SaveBounds[Kind];
}

void TGraphControl::InvalidateRect(const TRect &Rect)
{
    const bool batched = IsUpdating() || RepaintBatchCount > 0;
    // In a batch that repaints the whole client already, whatever else changes is in it.
    if (batched && SaveInvalidateRegion.Covers(viewport()->rect())) {
        return;
    }
    if (batched && RepaintedInBatch(Rect)) {
        return;
    }
    TRect R = GraphToClientRect(Rect);
    R.Right = AddWrapped(R.Right, 1);
    R.Bottom = AddWrapped(R.Bottom, 1);
    // Only rectangles that went into the area count: one wholly outside the window would
    // stretch the known rectangle over parts of the window not repainted.
    if (PerformInvalidate(R) && batched && SaveInvalidateRegion.IsBounded() &&
        Rect.Left <= Rect.Right && Rect.Top <= Rect.Bottom) {
        TBatchGraphArea &area = fBatchGraphArea;
        if (area.KnownSet) {
            UnionRect(area.Known, Rect);
        } else {
            area.Known = Rect;
            area.KnownSet = true;
        }
    }
}

bool TGraphControl::RepaintedInBatch(const TRect &Rect)
{
    // Many objects changing together (a big selection put back) mostly lie outside the window
    // or inside the graph area repainted already: those are spared the mapping. The mapping
    // keeps the order along each axis, so what lies inside maps inside.
    if (Rect.Left > Rect.Right || Rect.Top > Rect.Bottom) {
        return false;
    }
    TBatchGraphArea &area = fBatchGraphArea;
    const int32_t horzPosition = fHorzScrollBar->Position();
    const int32_t vertPosition = fVertScrollBar->Position();
    const QSize size = viewport()->size();
    if (!area.Set || area.Zoom != fZoom || area.HorzPosition != horzPosition ||
        area.VertPosition != vertPosition || area.Size != size) {
        area = {};
        area.Set = true;
        area.Zoom = fZoom;
        area.HorzPosition = horzPosition;
        area.VertPosition = vertPosition;
        area.Size = size;
        // The window in graph units, grown by more than the three pixels that rounding both
        // ways and the repainted edge can add.
        TPoint corners[2] = {{0, 0}, {size.width(), size.height()}};
        CPToGP(corners, 2);
        const int64_t margin = fZoom > 0 ? static_cast<int64_t>(std::ceil(300 / fZoom)) + 2
                                         : std::numeric_limits<int32_t>::max();
        area.Window = {ClampToInt32(corners[0].X - margin), ClampToInt32(corners[0].Y - margin),
                       ClampToInt32(corners[1].X + margin), ClampToInt32(corners[1].Y + margin)};
    }
    if (Rect.Right < area.Window.Left || Rect.Left > area.Window.Right ||
        Rect.Bottom < area.Window.Top || Rect.Top > area.Window.Bottom) {
        return true;
    }
    return area.KnownSet && Rect.Left >= area.Known.Left && Rect.Top >= area.Known.Top &&
           Rect.Right <= area.Known.Right && Rect.Bottom <= area.Known.Bottom;
}

TRect TGraphControl::GraphToClientRect(const TRect &Rect) const
{
    TPoint Corners[2] = {Rect.TopLeft(), Rect.BottomRight()};
    GPToCP(Corners, 2);
    return {Corners[0].X, Corners[0].Y, Corners[1].X, Corners[1].Y};
}

void TGraphControl::ConstraintsChanged()
{
    CalcAutoRange();
    Invalidate();
}

void TGraphControl::FontChanged()
{
    const TUpdateBatch batch(*this);
    for (int32_t i = 0; i < Objects().Count(); ++i) {
        Objects()[i]->ParentFontChanged();
    }
}

void TGraphControl::SetCommandMode(TGraphCommandMode Value)
{
    if (Value == fCommandMode) {
        return;
    }
    PolyLinkStarted = false;
    if (fDragSource) {
        fDragSource->EndDrag(false);
    }
    fCommandMode = Value;
    if (Value != cmPan && Value != cmEdit) {
        ClearSelection();
    }
    CalcAutoRange();
    if (!fDestroying) {
        DoCommandModeChange();
    }
}

void TGraphControl::SetGridSize(int32_t Value)
{
    if (Value < 4 || Value > 128 || Value == fGridSize) {
        return;
    }
    fGridSize = static_cast<TGridSize>(Value);
    if (fShowGrid) {
        Invalidate();
    }
}

void TGraphControl::SetGridColor(TColor Value)
{
    if (Value != fGridColor) {
        fGridColor = Value;
        if (fShowGrid) {
            Invalidate();
        }
    }
}

void TGraphControl::SetShowGrid(bool Value)
{
    if (Value != fShowGrid) {
        fShowGrid = Value;
        Invalidate();
    }
}

void TGraphControl::SetShowHiddenObjects(bool Value)
{
    if (Value != fShowHiddenObjects) {
        fShowHiddenObjects = Value;
        DragStaticValid = false;
        MarkBoundsStale();
        CalcAutoRange();
        Invalidate();
    }
}

void TGraphControl::SetHideSelection(bool Value)
{
    if (Value != fHideSelection) {
        fHideSelection = Value;
        if (!hasFocus() && SelectedObjects().Count() > 0) {
            InvalidateSelection();
        }
    }
}

void TGraphControl::SetLockNodes(bool Value)
{
    if (Value != fLockNodes) {
        fLockNodes = Value;
        Invalidate();
    }
}

void TGraphControl::SetLockLinks(bool Value)
{
    if (Value != fLockLinks) {
        fLockLinks = Value;
        Invalidate();
    }
}

void TGraphControl::SetMarkerColor(TColor Value)
{
    if (Value != fMarkerColor) {
        fMarkerColor = Value;
        if (SelectedObjects().Count() > 0) {
            Invalidate();
        }
    }
}

void TGraphControl::SetMarkerStyle(TBrushStyle Value)
{
    if (Value != fMarkerStyle) {
        fMarkerStyle = Value;
        if (SelectedObjects().Count() > 0) {
            Invalidate();
        }
    }
}

void TGraphControl::SetMarkerSize(TMarkerSize Value)
{
    if (Value != fMarkerSize) {
        fMarkerSize = Value;
        fDocument.ObjectIndex().InvalidateAll();
        if (SelectedObjects().Count() > 0) {
            Invalidate();
        }
    }
}

void TGraphControl::SetDrawOrder(TGraphDrawOrder Value)
{
    if (Value != fDrawOrder) {
        fDrawOrder = Value;
        Invalidate();
    }
}

void TGraphControl::SetFixedScrollBars(bool Value)
{
    if (Value != fFixedScrollBars) {
        fFixedScrollBars = Value;
        CalcAutoRange();
    }
}

void TGraphControl::SetShowBackground(bool Value)
{
    if (Value != fShowBackground) {
        fShowBackground = Value;
        Invalidate();
    }
}

void TGraphControl::SetPolygonCornerCount(int32_t Value)
{
    fPolygonCornerCount = std::max(Value, 1);
}

void TGraphControl::SetColor(TColor Value)
{
    if (Value != fColor) {
        fColor = Value;
        Invalidate();
    }
}

bool TGraphControl::UseRightToLeftReading() const
{
    return layoutDirection() == Qt::RightToLeft;
}

} // namespace talivo
