#pragma once

#include "graph/canvas/CanvasColors.h"
#include "graph/canvas/CanvasTools.h"
#include "graph/canvas/Types.h"
#include "graph/objects/GraphObject.h"

#include <cstdint>

class QIODevice;

namespace talivo {

class TCanvas;
class TGraphNode;

using TGridSize = uint8_t;  // 4..128
using TMarkerSize = int8_t; // 3..9, stored unchecked
enum TGraphDrawOrder : uint8_t { doDefault, doNodesOnTop, doLinksOnTop };

// What the objects of a document ask of whoever shows and edits it: how objects look there, the
// rules of editing, the repaint of an area, the drag in progress, and the questions and events
// of the application. A document nobody shows has this host itself: nothing is repainted or
// dragged, every question is answered yes, and the looks are those of a new view.
class TGraphHost {
public:
    static constexpr TMarkerSize DefaultMarkerSize = 3;
    static constexpr TGridSize DefaultGridSize = 8;

    TGraphHost() = default;
    virtual ~TGraphHost() = default;
    TGraphHost(const TGraphHost &) = delete;
    TGraphHost &operator=(const TGraphHost &) = delete;

    // The looks: the font of objects that take their owner's, the colours and size of the
    // selection markers, whether hidden objects show.
    virtual const TFont &Font() const;
    virtual TColor Color() const { return clWindow; }
    virtual TColor MarkerColor() const { return clBlack; }
    virtual TBrushStyle MarkerStyle() const { return bsSolid; }
    virtual TMarkerSize MarkerSize() const { return DefaultMarkerSize; }
    virtual bool ShowHiddenObjects() const { return false; }
    virtual bool UseRightToLeftReading() const { return false; }
    virtual TGraphDrawOrder DrawOrder() const { return doDefault; }

    // The rules of editing.
    virtual bool LockNodes() const { return false; }
    virtual bool LockLinks() const { return false; }
    virtual bool SnapToGrid() const { return true; }
    virtual TGridSize GridSize() const { return DefaultGridSize; }
    // Moves the offset (dx, dy) from Pt so that it ends on the grid.
    virtual void SnapOffset(const TPoint &, int32_t &, int32_t &) const {}
    // A press on an object of the view deselects the others; only a view has presses.
    virtual void ClearSelection() {}

    // The drag in progress, which the dragged object leads.
    virtual TGraphObject *DragSource() const { return nullptr; }
    virtual uint32_t DragHitTest() const { return 0; }
    virtual const TPoint &DragTargetPt() const;
    virtual bool BeginDragObject(TGraphObject *, const TPoint &, uint32_t) { return false; }
    virtual void PerformDragBy(int32_t, int32_t) {}
    virtual void EndDragObject(bool) {}
    // The pointer's shape over the graph, and the one shown while an object asks for another.
    virtual TCursor Cursor() const { return crDefault; }
    virtual void SetScreenCursor(TCursor) {}

    // What happened to the document. The outermost update batch begins and ends (the document
    // settles its modified state after the end).
    virtual void UpdateBegun() {}
    virtual void UpdateEnded() {}
    // An object joined the document; true when the host has taken its place in already.
    virtual bool ObjectAdded(TGraphObject *) { return false; }
    // An object is leaving the document: the host lets go of it.
    virtual void ObjectRemoved(TGraphObject *) {}
    // An object joined or left the selection.
    virtual void SelectionChanged(TGraphObject *) {}
    // Clear took every object away: the view starts over.
    virtual void Cleared() {}
    // An object changed (Flags); BoundsKnown: the host took its place in when it was added.
    virtual void ShowObjectChange(TGraphObject *, TGraphChangeFlags, bool) {}
    // Whether the host accounts for a change of the objects' data itself (InBatch: inside an
    // update batch) instead of the document marking itself modified.
    virtual bool AccountsModification(bool) { return false; }
    // The area of the graph to repaint, in graph units.
    virtual void InvalidateRect(const TRect &) {}
    // An object converted to another class stands in the old one's place from now on.
    virtual void ObjectReplaced(TGraphObject *, TGraphObject *) {}
    // The bounds objects are kept in changed.
    virtual void ConstraintsChanged() {}

    // The application's events and questions about the objects.
    virtual void DoObjectInitInstance(TGraphObject *) {}
    virtual void DoObjectInsert(TGraphObject *) {}
    virtual void DoObjectRemove(TGraphObject *) {}
    virtual void DoObjectSelect(TGraphObject *) {}
    virtual void DoGraphChange() {}
    virtual void DoObjectChange(TGraphObject *) {}
    virtual void DoObjectRead(TGraphObject *, QIODevice &) {}
    virtual void DoObjectWrite(TGraphObject *, QIODevice &) {}
    virtual bool DoCanRemoveObject(TGraphObject *) { return true; }
    virtual void DoObjectBeforeDraw(TCanvas &, TGraphObject *) {}
    virtual void DoObjectAfterDraw(TCanvas &, TGraphObject *) {}
    virtual void DoCanMoveResizeNode(TGraphNode *, int32_t &, int32_t &, int32_t &, int32_t &,
                                     bool &, bool &)
    {}
    virtual void DoNodeMoveResize(TGraphNode *) {}
};

} // namespace talivo
