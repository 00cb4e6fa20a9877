#include "graph/control/GraphControl.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphClasses.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace talivo {

TGraphControl::TGraphControl(QWidget *parent) : QAbstractScrollArea(parent)
{
    RegisterGraphClasses();
    fDocument.SetHost(this);
    fDraggingObjects.SetOnChange(
        [this](TGraphObjectList *sender, TGraphObject *graphObject, TGraphObjectListAction action) {
            DraggingListChanged(sender, graphObject, action);
        });
    ApplyTransparency();
    if (NodeClassCount() > 0)
        fDefaultNodeClass = NodeClasses(0);
    if (LinkClassCount() > 0)
        fDefaultLinkClass = LinkClasses(0);
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

void TGraphControl::ObjectReplaced(TGraphObject *oldObject, TGraphObject *newObject)
{
    fDraggingObjects.ReplaceAll(oldObject, newObject);
    // The old object is about to go; nothing may keep pointing at it.
    if (fObjectAtCursor == oldObject)
        fObjectAtCursor = newObject;
    if (fDragSource == oldObject)
        fDragSource = newObject;
}

bool TGraphControl::ObjectAdded(TGraphObject *graphObject)
{
    // A new object can only widen the graph's bounds, and the selection and the drag do not hold
    // it yet: a fresh cache takes it in directly instead of being recomputed over every object,
    // which would make inserting objects one by one quadratic.
    const bool fresh = !IsUpdating() && !SaveBoundsChange.Contains(bkGraph);
    if (fresh && graphObject->Showing()) {
        if (SaveBoundsFound[bkGraph]) {
            UnionRect(SaveBounds[bkGraph], graphObject->VisualRect());
        } else {
            SaveBounds[bkGraph] = graphObject->VisualRect();
            SaveBoundsFound[bkGraph] = true;
        }
    }
    return fresh;
}

void TGraphControl::ObjectRemoved(TGraphObject *graphObject)
{
    if (fDragSource == graphObject)
        graphObject->EndDrag(false);
    else if (graphObject->Dragging())
        fDraggingObjects.Remove(graphObject);
    if (fObjectAtCursor == graphObject)
        RenewObjectAtCursor(nullptr);
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

void TGraphControl::DraggingListChanged(TGraphObjectList *, TGraphObject *graphObject,
                                        TGraphObjectListAction action)
{
    if (graphObject->Owner() == &fDocument)
        SaveBoundsChange.Include(bkDragging);
    else if (action == glAdded)
        fDraggingObjects.Remove(graphObject);
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
    if (RepaintBatchCount == 0)
        FlushInvalidateRegion();
}

TGraphControl::TRepaintBatch::TRepaintBatch(TGraphControl &graph) : fGraph(graph)
{
    ++fGraph.RepaintBatchCount;
}

TGraphControl::TRepaintBatch::~TRepaintBatch()
{
    if (--fGraph.RepaintBatchCount == 0 && !fGraph.IsUpdating())
        fGraph.FlushInvalidateRegion();
}

void TGraphControl::FlushInvalidateRegion()
{
    if (!fDestroying && !SaveInvalidateRegion.IsEmpty())
        viewport()->update(SaveInvalidateRegion.Take());
    fBatchGraphArea.Set = false;
}

void TGraphControl::ObjectChanged(TGraphObject *graphObject, TGraphChangeFlags flags)
{
    fDocument.ObjectChanged(graphObject, flags);
}

void TGraphControl::ShowObjectChange(TGraphObject *graphObject, TGraphChangeFlags flags,
                                     bool boundsKnown)
{
    if (fDestroying)
        return;
    if (flags.Contains(gcPlacement) && fDragSource && graphObject != fDragSource &&
        !graphObject->Dragging())
        DragStaticValid = false;
    if (!flags.Contains(gcPlacement))
        return;
    if (IsUpdating()) {
        SaveRangeChange = true;
        return;
    }
    if (!boundsKnown)
        MarkBoundsStale();
    CalcAutoRange();
}

bool TGraphControl::AccountsModification(bool inBatch)
{
    // Inside a batch, a change made in an insert mode leaves the graph as it was; outside one, a
    // drag counts its changes and reports them once, when it ends.
    if (inBatch)
        return IsInsertMode(fCommandMode);
    if (fDragSource) {
        fDragModified = true;
        return true;
    }
    return false;
}

TRect TGraphControl::GetBoundingRect(TGraphBoundsKind kind)
{
    if (kind == bkGraph && SaveBoundsChange.Contains(bkGraph) && fDragSource && DragStaticValid) {
        const TRect dragged = GetBoundingRect(bkDragging);
        const bool draggedFound = SaveBoundsFound[bkDragging];
        TRect &result = SaveBounds[bkGraph];
        result = DragStaticFound ? DragStaticBounds : dragged;
        if (DragStaticFound && draggedFound)
            UnionRect(result, dragged);
        SaveBoundsFound[bkGraph] = DragStaticFound || draggedFound;
        SaveBoundsChange.Exclude(bkGraph);
    }
    if (SaveBoundsChange.Contains(kind)) {
        const TGraphObjectList &list = kind == bkGraph      ? Objects()
                                       : kind == bkSelected ? SelectedObjects()
                                                            : fDraggingObjects;
        SaveBounds[kind] = fDocument.ObjectsBounds(list, SaveBoundsFound[kind]);
        SaveBoundsChange.Exclude(kind);
    }
    return SaveBounds[kind];
}

void TGraphControl::InvalidateRect(const TRect &rect)
{
    const bool batched = IsUpdating() || RepaintBatchCount > 0;
    // In a batch that repaints the whole client already, whatever else changes is in it.
    if (batched && SaveInvalidateRegion.Covers(viewport()->rect()))
        return;
    if (batched && RepaintedInBatch(rect))
        return;
    TRect r = GraphToClientRect(rect);
    r.Right = AddWrapped(r.Right, 1);
    r.Bottom = AddWrapped(r.Bottom, 1);
    // Only rectangles that went into the area count: one wholly outside the window would
    // stretch the known rectangle over parts of the window not repainted.
    if (PerformInvalidate(r) && batched && SaveInvalidateRegion.IsBounded() &&
        rect.Left <= rect.Right && rect.Top <= rect.Bottom) {
        TBatchGraphArea &area = fBatchGraphArea;
        if (area.KnownSet) {
            UnionRect(area.Known, rect);
        } else {
            area.Known = rect;
            area.KnownSet = true;
        }
    }
}

bool TGraphControl::RepaintedInBatch(const TRect &rect)
{
    // Many objects changing together (a big selection put back) mostly lie outside the window
    // or inside the graph area repainted already: those are spared the mapping. The mapping
    // keeps the order along each axis, so what lies inside maps inside.
    if (rect.Left > rect.Right || rect.Top > rect.Bottom)
        return false;
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
    if (rect.Right < area.Window.Left || rect.Left > area.Window.Right ||
        rect.Bottom < area.Window.Top || rect.Top > area.Window.Bottom)
        return true;
    return area.KnownSet && rect.Left >= area.Known.Left && rect.Top >= area.Known.Top &&
           rect.Right <= area.Known.Right && rect.Bottom <= area.Known.Bottom;
}

TRect TGraphControl::GraphToClientRect(const TRect &rect) const
{
    TPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
    GPToCP(corners, 2);
    return {corners[0].X, corners[0].Y, corners[1].X, corners[1].Y};
}

void TGraphControl::ConstraintsChanged()
{
    CalcAutoRange();
    Invalidate();
}

void TGraphControl::FontChanged()
{
    const TUpdateBatch batch(*this);
    for (int32_t i = 0; i < Objects().Count(); ++i)
        Objects()[i]->ParentFontChanged();
}

void TGraphControl::SetCommandMode(TGraphCommandMode value)
{
    if (value == fCommandMode)
        return;
    PolyLinkStarted = false;
    if (fDragSource)
        fDragSource->EndDrag(false);
    fCommandMode = value;
    if (value != cmPan && value != cmEdit)
        ClearSelection();
    CalcAutoRange();
    if (!fDestroying)
        DoCommandModeChange();
}

void TGraphControl::SetGridSize(int32_t value)
{
    if (value < 4 || value > 128 || value == fGridSize)
        return;
    fGridSize = static_cast<TGridSize>(value);
    if (fShowGrid)
        Invalidate();
}

void TGraphControl::SetGridColor(TColor value)
{
    if (value != fGridColor) {
        fGridColor = value;
        if (fShowGrid)
            Invalidate();
    }
}

void TGraphControl::SetShowGrid(bool value)
{
    if (value != fShowGrid) {
        fShowGrid = value;
        Invalidate();
    }
}

void TGraphControl::SetShowHiddenObjects(bool value)
{
    if (value != fShowHiddenObjects) {
        fShowHiddenObjects = value;
        DragStaticValid = false;
        MarkBoundsStale();
        CalcAutoRange();
        Invalidate();
    }
}

void TGraphControl::SetHideSelection(bool value)
{
    if (value != fHideSelection) {
        fHideSelection = value;
        if (!hasFocus() && SelectedObjects().Count() > 0)
            InvalidateSelection();
    }
}

void TGraphControl::SetLockNodes(bool value)
{
    if (value != fLockNodes) {
        fLockNodes = value;
        Invalidate();
    }
}

void TGraphControl::SetLockLinks(bool value)
{
    if (value != fLockLinks) {
        fLockLinks = value;
        Invalidate();
    }
}

void TGraphControl::SetMarkerColor(TColor value)
{
    if (value != fMarkerColor) {
        fMarkerColor = value;
        if (SelectedObjects().Count() > 0)
            Invalidate();
    }
}

void TGraphControl::SetMarkerStyle(TBrushStyle value)
{
    if (value != fMarkerStyle) {
        fMarkerStyle = value;
        if (SelectedObjects().Count() > 0)
            Invalidate();
    }
}

void TGraphControl::SetMarkerSize(TMarkerSize value)
{
    if (value != fMarkerSize) {
        fMarkerSize = value;
        fDocument.ObjectIndex().InvalidateAll();
        if (SelectedObjects().Count() > 0)
            Invalidate();
    }
}

void TGraphControl::SetDrawOrder(TGraphDrawOrder value)
{
    if (value != fDrawOrder) {
        fDrawOrder = value;
        Invalidate();
    }
}

void TGraphControl::SetFixedScrollBars(bool value)
{
    if (value != fFixedScrollBars) {
        fFixedScrollBars = value;
        CalcAutoRange();
    }
}

void TGraphControl::SetShowBackground(bool value)
{
    if (value != fShowBackground) {
        fShowBackground = value;
        Invalidate();
    }
}

void TGraphControl::SetPolygonCornerCount(int32_t value)
{
    fPolygonCornerCount = std::max(value, 1);
}

void TGraphControl::SetColor(TColor value)
{
    if (value != fColor) {
        fColor = value;
        Invalidate();
    }
}

bool TGraphControl::UseRightToLeftReading() const
{
    return layoutDirection() == Qt::RightToLeft;
}

} // namespace talivo
