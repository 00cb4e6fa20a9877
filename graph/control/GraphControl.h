#pragma once

#include "graph/canvas/CanvasRecall.h"
#include "graph/canvas/CanvasTools.h"
#include "graph/canvas/Types.h"
#include "graph/control/GraphScrollBar.h"
#include "graph/control/RepaintArea.h"
#include "graph/objects/GraphConstraints.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphHost.h"
#include "graph/objects/GraphNode.h"
#include "graph/objects/GraphNodePicture.h"
#include "graph/objects/GraphObject.h"
#include "graph/objects/GraphObjectClass.h"
#include "graph/objects/GraphObjectList.h"
#include "graph/objects/UpdateBatch.h"

#include <QAbstractScrollArea>
#include <QBuffer>
#include <QImage>
#include <QPicture>
#include <QRegion>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QHelpEvent;
class QIODevice;
class QMenu;

namespace talivo {

class TGraphControl;
class TGraphLink;
class TGraphNode;

enum TGraphCommandMode : uint8_t {
    cmViewOnly,
    cmPan,
    cmEdit,
    cmInsertNode,
    cmInsertLink,
    cmInsertPolyLink,
};
// The modes in which a press on the graph makes a new object.
inline bool IsInsertMode(TGraphCommandMode mode)
{
    return mode == cmInsertNode || mode == cmInsertLink || mode == cmInsertPolyLink;
}
enum TGraphBoundsKind : uint8_t { bkGraph, bkSelected, bkDragging };
using TGraphBoundsKinds = TSet<TGraphBoundsKind, uint8_t>;
enum TGraphClipboardFormat : uint8_t { cfNative, cfMetafile, cfBitmap };
using TGraphClipboardFormats = TSet<TGraphClipboardFormat, uint8_t>;
enum TGraphZoomOrigin : uint8_t { zoTopLeft, zoCenter, zoCursor, zoCursorCenter };
enum THAlignOption : uint8_t { haNoChange, haLeft, haCenter, haRight, haSpaceEqually };
enum TVAlignOption : uint8_t { vaNoChange, vaTop, vaCenter, vaBottom, vaSpaceEqually };
enum TResizeOption : uint8_t { roNoChange, roSmallest, roLargest };

using TNotifyEvent = std::function<void(TGraphControl *sender)>;
using TGraphNotifyEvent = std::function<void(TGraphControl *graph, TGraphObject *graphObject)>;
using TGraphContextPopupEvent = std::function<void(TGraphControl *graph, TGraphObject *graphObject,
                                                   const TPoint &mousePos, bool &handled)>;
using TContextPopupEvent =
    std::function<void(TGraphControl *sender, const TPoint &mousePos, bool &handled)>;
using TGraphObjectDrawEvent =
    std::function<void(TGraphControl *graph, TGraphObject *graphObject, TCanvas &canvas)>;
using TGraphDrawEvent = std::function<void(TGraphControl *graph, TCanvas &canvas)>;
using TGraphBeginDragEvent =
    std::function<void(TGraphControl *graph, TGraphObject *graphObject, uint32_t ht)>;
using TGraphEndDragEvent = std::function<void(TGraphControl *graph, TGraphObject *graphObject,
                                              uint32_t ht, bool cancelled)>;
using TGraphStreamEvent =
    std::function<void(TGraphControl *graph, TGraphObject *graphObject, QIODevice &stream)>;
using TGraphHookEvent = std::function<void(TGraphControl *graph, TGraphObject *graphObject,
                                           TGraphLink *link, int32_t index)>;
using TGraphCanHookEvent = std::function<void(TGraphControl *graph, TGraphObject *graphObject,
                                              TGraphLink *link, int32_t index, bool &canHook)>;
using TGraphCanLinkEvent =
    std::function<void(TGraphControl *graph, TGraphLink *link, TGraphObject *source,
                       TGraphObject *target, bool &canLink)>;
using TCanMoveResizeNodeEvent =
    std::function<void(TGraphControl *graph, TGraphNode *node, int32_t &newLeft, int32_t &newTop,
                       int32_t &newWidth, int32_t &newHeight, bool &canMove, bool &canResize)>;
using TGraphCanRemoveEvent =
    std::function<void(TGraphControl *graph, TGraphObject *graphObject, bool &canRemove)>;
using TGraphNodeResizeEvent = std::function<void(TGraphControl *graph, TGraphNode *node)>;
using TGraphNodesMovedEvent =
    std::function<void(TGraphControl *graph, const std::vector<TNodePlace> &before, bool byKey)>;
using TGraphInfoTipEvent =
    std::function<void(TGraphControl *graph, TGraphObject *graphObject, QString &infoTip)>;

// The custom clipboard format under which objects are copied and pasted.
inline constexpr const char *CF_GRAPHOBJECTS = "Graph Object Format";

// The graph canvas control: owns a document of graph objects and is the host its objects ask
// for their looks, their repaints and the drag; keeps the dragged objects, batches change
// notifications, keeps the modified flag and reports all of it through events.
//
// It is a QAbstractScrollArea because the view scrolls a graph larger than the window with
// scroll bars inside the control's frame; the objects are painted on the viewport.
//
// Objects belong to the control: whatever leaves Objects (Delete, Remove, Clear, an object's own
// Delete) is freed by the control.
class TGraphControl : public QAbstractScrollArea, public TGraphHost {
    Q_OBJECT

public:
    explicit TGraphControl(QWidget *parent = nullptr);
    ~TGraphControl() override;

    // The class registry of the documents.
    static void RegisterNode(const TGraphNodeClass &nodeClass)
    {
        TGraphDocument::RegisterNode(nodeClass);
    }
    static void UnregisterNode(const TGraphNodeClass &nodeClass)
    {
        TGraphDocument::UnregisterNode(nodeClass);
    }
    static int32_t NodeClassCount() { return TGraphDocument::NodeClassCount(); }
    static const TGraphNodeClass *NodeClasses(int32_t index)
    {
        return TGraphDocument::NodeClasses(index);
    }
    static void RegisterLink(const TGraphLinkClass &linkClass)
    {
        TGraphDocument::RegisterLink(linkClass);
    }
    static void UnregisterLink(const TGraphLinkClass &linkClass)
    {
        TGraphDocument::UnregisterLink(linkClass);
    }
    static int32_t LinkClassCount() { return TGraphDocument::LinkClassCount(); }
    static const TGraphLinkClass *LinkClasses(int32_t index)
    {
        return TGraphDocument::LinkClasses(index);
    }
    static const TGraphObjectClass *FindClass(std::string_view className)
    {
        return TGraphDocument::FindClass(className);
    }

    // Objects.
    // A node of the class (DefaultNodeClass when null), or null when its creation failed.
    TGraphNode *InsertNode(const TRect &bounds, const TGraphNodeClass *nodeClass = nullptr);
    TGraphObject *FindObjectByID(uint32_t id) const;
    // The object under the graph point (x, y): the topmost hit, except that a selected object's
    // marker wins over objects above it. With lookAfter the search starts below that object.
    TGraphObject *FindObjectAt(int32_t x, int32_t y, TGraphObject *lookAfter = nullptr) const;
    TGraphObject *FindNextObject(int32_t startIndex, bool inclusive, bool backward, bool wrap,
                                 const TGraphObjectClass *graphObjectClass = nullptr) const;
    bool SelectNextObject(bool backward, const TGraphObjectClass *graphObjectClass = nullptr);
    int32_t ObjectsCount(const TGraphObjectClass *graphObjectClass = nullptr) const;
    int32_t SelectedObjectsCount(const TGraphObjectClass *graphObjectClass = nullptr) const;
    using TGraphForEachMethod = std::function<bool(TGraphObject *graphObject, int32_t userData)>;
    int32_t ForEachObject(const TGraphForEachMethod &callback, int32_t userData, bool selection);
    void Clear();
    void ClearSelection() override;
    bool AlignSelection(THAlignOption horz, TVAlignOption vert);
    bool ResizeSelection(TResizeOption horz, TResizeOption vert);
    uint32_t CreateUniqueID(TGraphObject *graphObject);

    // Change batching and notification.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return fDocument.IsUpdating(); }
    // Repaints the whole control, or the graph rectangle rect; merged inside a batch.
    void Invalidate();
    void InvalidateRect(const TRect &rect) override;
    void ObjectChanged(TGraphObject *graphObject, TGraphChangeFlags flags);
    TRect GetBoundingRect(TGraphBoundsKind kind);
    TRect GetObjectsBounds(const TGraphObjectList &list) const
    {
        return fDocument.GetObjectsBounds(list);
    }
    TRect GraphBounds() { return GetBoundingRect(bkGraph); }
    TRect SelectionBounds() { return GetBoundingRect(bkSelected); }
    TRect DraggingBounds() { return GetBoundingRect(bkDragging); }

    // Dragging, called by the objects.
    bool BeginDragObject(TGraphObject *graphObject, const TPoint &pt, uint32_t ht) override;
    void PerformDragBy(int32_t dx, int32_t dy) override;
    void EndDragObject(bool accept) override;
    // The record of a drag, for cancelling it: a count, then per object its ID and property
    // stream. Restoring passes over the objects that have gone meanwhile.
    void BackupObjects(QIODevice &stream, TGraphObjectList &list)
    {
        fDocument.BackupObjects(stream, list);
    }
    void RestoreObjects(QIODevice &stream) { fDocument.RestoreObjects(stream); }

    // The graph stream. Loading replaces every object; a stream that is no graph stream raises
    // EGraphStreamError "Invalid stream content" and changes nothing. Saving a file replaces it
    // only once the new content is completely written.
    void SaveToStream(QIODevice &stream) { fDocument.SaveToStream(stream); }
    void LoadFromStream(QIODevice &stream) { fDocument.LoadFromStream(stream); }
    void SaveToFile(const QString &fileName) { fDocument.SaveToFile(fileName); }
    void LoadFromFile(const QString &fileName) { fDocument.LoadFromFile(fileName); }
    // Adds the objects of a graph stream, moved by the offset as far as the constraints allow,
    // and shows them.
    void MergeFromStream(QIODevice &stream, int32_t offsetX, int32_t offsetY);
    void MergeFromFile(const QString &fileName, int32_t offsetX, int32_t offsetY);
    // Copies the selected objects (or all) to the clipboard; nothing for an empty list.
    void CopyToClipboard(bool selection);
    // Adds and selects the objects on the clipboard; false when it holds none.
    bool PasteFromClipboard();
    TPoint SnapPoint(const TPoint &pt) const;
    void SnapOffset(const TPoint &pt, int32_t &dx, int32_t &dy) const override;

    // Graph units and client (viewport) pixels: client = graph * V / 1000 - position, with
    // V = rnd(Zoom * 10), both ways rounded to nearest, exactly as a canvas prepared by AdjustDC.
    TPoint ClientToGraph(int32_t x, int32_t y) const;
    TPoint GraphToClient(int32_t x, int32_t y) const;
    TPoint ScreenToGraph(int32_t x, int32_t y) const;
    TPoint GraphToScreen(int32_t x, int32_t y) const;
    // In place; a TRect is two points.
    void CPToGP(TPoint *points, int32_t count) const;
    void GPToCP(TPoint *points, int32_t count) const;
    // The graph point under the mouse pointer; setting it moves the pointer.
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint &pt);
    // The client rectangle in graph units.
    TRect VisibleBounds() const;
    // Maps graph units of the canvas to its device the way the viewport shows them; origin shifts
    // the device's origin further (a part of the graph drawn at the device's top left).
    virtual void AdjustDC(TCanvas &canvas, const TPoint *origin = nullptr) const;

    // Zooms are percentages, clamped to [0.1, 32767]; the operations return whether the zoom
    // changed.
    void SetZoom(double value);
    bool ChangeZoom(double newZoom, TGraphZoomOrigin origin);
    bool ChangeZoomBy(double delta, TGraphZoomOrigin origin);
    // Zooms and brings the graph point pt to the centre.
    bool ChangeZoomPosition(double newZoom, const TPoint &pt);
    // Fits the rectangle into the client area; false when the zoom this needs was clamped.
    bool ZoomRect(const TRect &rect);
    bool ZoomObject(const TGraphObject *graphObject);
    bool ZoomSelection();
    bool ZoomGraph();

    // Scrolls as little as needed to show the object, rectangle or point.
    void ScrollInView(const TGraphObject *graphObject);
    void ScrollInView(const TRect &rect);
    void ScrollInView(const TPoint &pt);
    // Scrolls the object, rectangle or point to the centre as far as the ranges allow.
    void ScrollCenter(const TGraphObject *graphObject);
    void ScrollCenter(const TRect &rect);
    void ScrollCenter(const TPoint &pt);
    // Moves the content by client pixels and repaints it at once; the positions stay (the scroll
    // bars call it when their position changes).
    void ScrollBy(int32_t deltaX, int32_t deltaY);

    TGraphScrollBar &HorzScrollBar() { return *fHorzScrollBar; }
    const TGraphScrollBar &HorzScrollBar() const { return *fHorzScrollBar; }
    void SetHorzScrollBar(const TGraphScrollBar &value) { fHorzScrollBar->Assign(value); }
    TGraphScrollBar &VertScrollBar() { return *fVertScrollBar; }
    const TGraphScrollBar &VertScrollBar() const { return *fVertScrollBar; }
    void SetVertScrollBar(const TGraphScrollBar &value) { fVertScrollBar->Assign(value); }
    virtual void UpdateScrollBars();

    // The picture under the objects: one picture pixel per graph unit, its top-left corner at
    // graph point (0, 0). Shown while ShowBackground is on.
    TGraphNodePicture &Background() { return fDocument.Background(); }
    const TGraphNodePicture &Background() const { return fDocument.Background(); }
    void SetBackground(const TGraphNodePicture &value) { fDocument.Background().Assign(value); }
    // On: the parent shows wherever nothing is drawn. Off: the control fills itself with Color.
    bool Transparent() const { return fTransparent; }
    void SetTransparent(bool value);
    // Draws every object onto the canvas at its graph coordinates in the canvas's own mapping:
    // no background, grid, markers or rubber band. The canvas's tools are left as they were.
    void Draw(TCanvas &canvas);
    // Draws every object scaled to fit rect, keeping the proportions, centred in it.
    void Print(TCanvas &canvas, const TRect &rect);
    // The objects of the list as a vector recording of their bounds' size, the bounds' top-left
    // corner at the origin.
    virtual QPicture GetAsMetafile(const TGraphObjectList &list);
    // The objects of the list in a 24-bit image. With ShowBackground and a background picture it
    // is a copy of the picture with the objects at their graph coordinates; otherwise it has the
    // size of the objects' bounds, with the bounds' top-left corner at its origin. Raises
    // std::runtime_error when the image cannot be allocated.
    virtual QImage GetAsBitmap(const TGraphObjectList &list);
    void CopyToGraphic(QPicture &graphic);
    void CopyToGraphic(QImage &graphic);
    // The vector form is written as SVG, the bitmap as BMP. A failed save raises
    // std::runtime_error and leaves any previous file as it was.
    void SaveAsMetafile(const QString &fileName);
    void SaveAsBitmap(const QString &fileName);
    // An SVG document of the recording, which other programs read.
    static QByteArray MetafileToSvg(const QPicture &metafile);

    using TMouseEvent = std::function<void(TGraphControl *sender, TMouseButton button,
                                           TShiftState shift, int32_t x, int32_t y)>;
    using TMouseMoveEvent =
        std::function<void(TGraphControl *sender, TShiftState shift, int32_t x, int32_t y)>;
    using TKeyEvent = std::function<void(TGraphControl *sender, uint16_t &key, TShiftState shift)>;

    // The rubber band in graph units. It shows while Right >= Left and Bottom >= Top, so a band
    // of zero size still shows; the empty rectangle removes it.
    const TRect &MarkedArea() const { return fMarkedArea; }
    void SetMarkedArea(const TRect &value);
    // Selects the objects of the class (any object when null) that overlap rect and deselects
    // the others; with keepOld the overlapping ones toggle and the others stay as they are.
    void ToggleSelection(const TRect &rect, bool keepOld,
                         const TGraphObjectClass *graphObjectClass = nullptr);
    // A node of the class at the graph point pt, sized to the smallest node (or a grid cell) and
    // kept inside the constraints; pt becomes its bottom-right corner. Null for a point outside
    // the constraints, for a link class and when the node cannot be made.
    TGraphObject *InsertObjectByMouse(TPoint &pt, const TGraphObjectClass *graphObjectClass,
                                      bool snapToGrid);

    // The framework control's mouse and key events. OnMouseDown fires before the control
    // handles a press; OnMouseMove and OnMouseUp after it, so a release's drag has ended and the
    // selection is up to date. OnKeyDown gets the keys the default key handler leaves; setting
    // Key to 0 consumes the key.
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyDown;

    // The screen cursor over the control.
    TCursor ScreenCursor() const { return fScreenCursor; }
    void SetScreenCursor(TCursor value) override;
    bool UseRightToLeftReading() const override;

    // The objects, the selection and the IDs the control shows.
    TGraphDocument &Document() { return fDocument; }
    const TGraphDocument &Document() const { return fDocument; }

    // Lists.
    TGraphObjectList &Objects() { return fDocument.Objects(); }
    const TGraphObjectList &Objects() const { return fDocument.Objects(); }
    TGraphObjectList &SelectedObjects() { return fDocument.SelectedObjects(); }
    const TGraphObjectList &SelectedObjects() const { return fDocument.SelectedObjects(); }
    TGraphObjectList &DraggingObjects() { return fDraggingObjects; }
    const TGraphObjectList &DraggingObjects() const { return fDraggingObjects; }

    // Properties.
    TGridSize GridSize() const override { return fGridSize; }
    void SetGridSize(int32_t value);
    TColor GridColor() const { return fGridColor; }
    void SetGridColor(TColor value);
    bool ShowGrid() const { return fShowGrid; }
    void SetShowGrid(bool value);
    bool SnapToGrid() const override { return fSnapToGrid; }
    void SetSnapToGrid(bool value) { fSnapToGrid = value; }
    bool ShowHiddenObjects() const override { return fShowHiddenObjects; }
    void SetShowHiddenObjects(bool value);
    bool HideSelection() const { return fHideSelection; }
    void SetHideSelection(bool value);
    bool LockNodes() const override { return fLockNodes; }
    void SetLockNodes(bool value);
    bool LockLinks() const override { return fLockLinks; }
    void SetLockLinks(bool value);
    TColor MarkerColor() const override { return fMarkerColor; }
    void SetMarkerColor(TColor value);
    TBrushStyle MarkerStyle() const override { return fMarkerStyle; }
    void SetMarkerStyle(TBrushStyle value);
    TMarkerSize MarkerSize() const override { return fMarkerSize; }
    void SetMarkerSize(TMarkerSize value);
    double Zoom() const { return fZoom; }
    bool DefaultKeyMap() const { return fDefaultKeyMap; }
    void SetDefaultKeyMap(bool value) { fDefaultKeyMap = value; }
    QMenu *ObjectPopupMenu() const { return fObjectPopupMenu; }
    void SetObjectPopupMenu(QMenu *value) { fObjectPopupMenu = value; }
    QMenu *PopupMenu() const { return fPopupMenu; }
    void SetPopupMenu(QMenu *value) { fPopupMenu = value; }
    const TGraphNodeClass *DefaultNodeClass() const { return fDefaultNodeClass; }
    void SetDefaultNodeClass(const TGraphNodeClass *value) { fDefaultNodeClass = value; }
    const TGraphLinkClass *DefaultLinkClass() const { return fDefaultLinkClass; }
    void SetDefaultLinkClass(const TGraphLinkClass *value) { fDefaultLinkClass = value; }
    bool Modified() const { return fDocument.Modified(); }
    void SetModified(bool value) { fDocument.SetModified(value); }
    TGraphCommandMode CommandMode() const { return fCommandMode; }
    void SetCommandMode(TGraphCommandMode value);
    TGraphConstraints &GraphConstraints() { return fDocument.GraphConstraints(); }
    const TGraphConstraints &GraphConstraints() const { return fDocument.GraphConstraints(); }
    void SetGraphConstraints(const TGraphConstraints &value)
    {
        fDocument.GraphConstraints().Assign(value);
    }
    uint16_t MinNodeSize() const { return fDocument.MinNodeSize(); }
    void SetMinNodeSize(uint16_t value) { fDocument.SetMinNodeSize(value); }
    TGraphDrawOrder DrawOrder() const override { return fDrawOrder; }
    void SetDrawOrder(TGraphDrawOrder value);
    bool FixedScrollBars() const { return fFixedScrollBars; }
    void SetFixedScrollBars(bool value);
    bool ShowBackground() const { return fShowBackground; }
    void SetShowBackground(bool value);
    TGraphClipboardFormats ClipboardFormats() const { return fClipboardFormats; }
    void SetClipboardFormats(TGraphClipboardFormats value) { fClipboardFormats = value; }
    int32_t PolygonCornerCount() const { return fPolygonCornerCount; }
    void SetPolygonCornerCount(int32_t value);
    TGraphObject *DragSource() const override { return fDragSource; }
    uint32_t DragHitTest() const override { return fDragHitTest; }
    const TPoint &DragSourcePt() const { return fDragSourcePt; }
    const TPoint &DragTargetPt() const override { return fDragTargetPt; }
    TGraphObject *ObjectAtCursor() const { return fObjectAtCursor; }
    // The control's colour, font and cursor (the objects take theirs from these).
    TColor Color() const override { return fColor; }
    void SetColor(TColor value);
    TFont &Font() { return fFont; }
    const TFont &Font() const override { return fFont; }
    void SetFont(const TFont &value) { fFont.Assign(value); }
    TCursor Cursor() const override { return fCursor; }
    void SetCursor(TCursor value);

    // Public fields; the document keeps them, since they rule where its nodes may be.
    bool &KeepInside = fDocument.KeepInside;
    bool &KeepCenterInside = fDocument.KeepCenterInside;

    // Events, fired only when assigned and always through the Do... method of the same name.
    TGraphNotifyEvent OnObjectInitInstance;
    TGraphNotifyEvent OnObjectInsert;
    TGraphNotifyEvent OnObjectRemove;
    TGraphNotifyEvent OnObjectChange;
    TGraphNotifyEvent OnObjectSelect;
    TGraphNotifyEvent OnObjectClick;
    TGraphNotifyEvent OnObjectDblClick;
    TGraphContextPopupEvent OnObjectContextPopup;
    TGraphObjectDrawEvent OnObjectBeforeDraw;
    TGraphObjectDrawEvent OnObjectAfterDraw;
    TGraphBeginDragEvent OnObjectBeginDrag;
    TGraphEndDragEvent OnObjectEndDrag;
    TGraphNotifyEvent OnObjectMouseEnter;
    TGraphNotifyEvent OnObjectMouseLeave;
    TGraphStreamEvent OnObjectRead;
    TGraphStreamEvent OnObjectWrite;
    TGraphHookEvent OnObjectHook;
    TGraphHookEvent OnObjectUnhook;
    TGraphCanHookEvent OnCanHookLink;
    TGraphCanLinkEvent OnCanLinkObjects;
    TCanMoveResizeNodeEvent OnCanMoveResizeNode;
    TGraphCanRemoveEvent OnCanRemoveObject;
    TGraphNodeResizeEvent OnNodeMoveResize;
    // The user moved or resized nodes, by a drag that ended accepted or by an arrow key: each
    // node that changed, with its bounds before. Every other node stayed where it was.
    TGraphNodesMovedEvent OnNodesMoved;
    TNotifyEvent OnGraphChange;
    TNotifyEvent OnCommandModeChange;
    TGraphDrawEvent OnBeforeDraw;
    TGraphDrawEvent OnAfterDraw;
    TGraphInfoTipEvent OnInfoTip;
    TNotifyEvent OnZoomChange;
    // The framework control's own click, double click and context-popup events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TContextPopupEvent OnContextPopup;

protected:
    template <class> friend class TUpdateBatch;

    virtual void DoZoomChange();
    void DoGraphChange() override;
    virtual void DoCommandModeChange();
    virtual void DoBeforeDraw(TCanvas &canvas);
    virtual void DoAfterDraw(TCanvas &canvas);
    virtual void DoObjectClick(TGraphObject *graphObject);
    virtual void DoObjectDblClick(TGraphObject *graphObject);
    void DoObjectInitInstance(TGraphObject *graphObject) override;
    void DoObjectInsert(TGraphObject *graphObject) override;
    void DoObjectRemove(TGraphObject *graphObject) override;
    void DoObjectSelect(TGraphObject *graphObject) override;
    void DoObjectChange(TGraphObject *graphObject) override;
    virtual void DoObjectMouseEnter(TGraphObject *graphObject);
    virtual void DoObjectMouseLeave(TGraphObject *graphObject);
    void DoObjectBeforeDraw(TCanvas &canvas, TGraphObject *graphObject) override;
    void DoObjectAfterDraw(TCanvas &canvas, TGraphObject *graphObject) override;
    virtual void DoObjectContextPopup(TGraphObject *graphObject, const TPoint &mousePos,
                                      bool &handled);
    virtual void DoObjectBeginDrag(TGraphObject *graphObject, uint32_t ht);
    virtual void DoObjectEndDrag(TGraphObject *graphObject, uint32_t ht, bool cancelled);
    // Reports the nodes of before whose bounds differ now, if any.
    void DoNodesMoved(std::vector<TNodePlace> before, bool byKey);
    void DoObjectRead(TGraphObject *graphObject, QIODevice &stream) override;
    void DoObjectWrite(TGraphObject *graphObject, QIODevice &stream) override;
    virtual void DoObjectUnhook(TGraphObject *graphObject, TGraphLink *link, int32_t index);
    virtual void DoObjectHook(TGraphObject *graphObject, TGraphLink *link, int32_t index);
    virtual bool DoCanHookLink(TGraphObject *graphObject, TGraphLink *link, int32_t index);
    virtual bool DoCanLinkObjects(TGraphLink *link, TGraphObject *source, TGraphObject *target);
    void DoCanMoveResizeNode(TGraphNode *node, int32_t &newLeft, int32_t &newTop, int32_t &newWidth,
                             int32_t &newHeight, bool &canMove, bool &canResize) override;
    bool DoCanRemoveObject(TGraphObject *graphObject) override;
    void DoNodeMoveResize(TGraphNode *node) override;
    // The scroll ranges follow the graph's bounds; the view computes them.
    virtual void CalcAutoRange();
    virtual void CheckObjectAtCursor(const TPoint &pt);
    virtual void RenewObjectAtCursor(TGraphObject *newObjectAtCursor);

    // The framework control's click routing.
    virtual void Click();
    virtual void DblClick();
    virtual void DoContextPopup(const TPoint &mousePos, bool &handled);
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    // The document's reports.
    void UpdateBegun() override;
    void UpdateEnded() override;
    bool ObjectAdded(TGraphObject *graphObject) override;
    void ObjectRemoved(TGraphObject *graphObject) override;
    void SelectionChanged(TGraphObject *graphObject) override;
    void Cleared() override;
    void ShowObjectChange(TGraphObject *graphObject, TGraphChangeFlags flags,
                          bool boundsKnown) override;
    bool AccountsModification(bool inBatch) override;
    void DraggingListChanged(TGraphObjectList *sender, TGraphObject *graphObject,
                             TGraphObjectListAction action);
    // Tells every object that the control's font changed.
    void FontChanged();
    // The graph's bounds changed: the scroll ranges follow and the control repaints.
    void ConstraintsChanged() override;
    // The converted object takes the old one's place in the drag and under the pointer.
    void ObjectReplaced(TGraphObject *oldObject, TGraphObject *newObject) override;
    bool IsDestroying() const { return fDestroying; }
    bool QueryEventsSuspended() const { return fDocument.QueryEventsSuspended(); }
    void SuspendQueries() { fDocument.SuspendQueries(); }
    void ResumeQueries() { fDocument.ResumeQueries(); }
    // Repaints a rectangle in client pixels, or merges it into the batch's repaint area.
    // Whether any of the rectangle lies in the window.
    bool PerformInvalidate(const TRect &clientRect);
    // Whether the graph rectangle needs no repaint of its own in the running batch.
    bool RepaintedInBatch(const TRect &rect);
    // Object records (the document reads and writes them).
    void WriteObjects(QIODevice &stream, const TGraphObjectList &list)
    {
        fDocument.WriteObjects(stream, list);
    }
    void ReadObjects(QIODevice &stream) { fDocument.ReadObjects(stream); }
    void RenumberNewObjects(int32_t first) { fDocument.RenumberNewObjects(first); }
    void WriteGraphObject(QIODevice &stream, TGraphObject *graphObject)
    {
        fDocument.WriteGraphObject(stream, graphObject);
    }
    TGraphObject *ReadGraphObject(QIODevice &stream) { return fDocument.ReadGraphObject(stream); }

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The scroll bars scroll the content themselves (ScrollBy).
    void scrollContentsBy(int dx, int dy) override;

    // The screen paint, in this order: background, grid, objects, selection and rubber band.
    virtual void Paint(TCanvas &canvas);
    virtual void DrawBackground(TCanvas &canvas);
    virtual void DrawGrid(TCanvas &canvas);
    virtual void DrawObjects(TCanvas &canvas, const TGraphObjectList &list);
    virtual void DrawEditStates(TCanvas &canvas);
    void paintEvent(QPaintEvent *event) override;

    // Mouse input in client pixels, in the platform's terms.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    // The built-in keys (DefaultKeyMap); true when the key was handled.
    virtual bool DefaultKeyHandler(uint16_t &key, TShiftState shift);

    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void MarkBoundsStale() { SaveBoundsChange = {bkGraph, bkSelected, bkDragging}; }
    // The index of FindNextObject's result, or -1.
    int32_t FindNextIndex(int32_t startIndex, bool inclusive, bool backward, bool wrap,
                          const TGraphObjectClass *graphObjectClass) const;
    TRect GraphToClientRect(const TRect &rect) const;
    // A canvas bound to nothing, prepared by AdjustDC for each conversion between graph units and
    // client pixels: the conversions run for every repaint request, and building a canvas for
    // each would cost more than the mapping.
    mutable TCanvas fMappingCanvas;

    TGridSize fGridSize = DefaultGridSize;
    TColor fGridColor = 0x808080;
    bool fShowGrid = true;
    bool fSnapToGrid = true;
    bool fShowHiddenObjects = false;
    bool fHideSelection = false;
    bool fLockNodes = false;
    bool fLockLinks = false;
    TColor fMarkerColor = clBlack;
    TBrushStyle fMarkerStyle = bsSolid;
    TMarkerSize fMarkerSize = DefaultMarkerSize;
    double fZoom = 100.0;
    // The objects, the selection and the IDs; the control is its view.
    TGraphDocument fDocument;
    TGraphObject::TReplaceableList fDraggingObjects;
    bool fDefaultKeyMap = true;
    QMenu *fObjectPopupMenu = nullptr;
    QMenu *fPopupMenu = nullptr;
    const TGraphNodeClass *fDefaultNodeClass = nullptr;
    const TGraphLinkClass *fDefaultLinkClass = nullptr;
    TGraphCommandMode fCommandMode = cmEdit;
    TGraphDrawOrder fDrawOrder = doDefault;
    bool fFixedScrollBars = false;
    bool fShowBackground = false;
    TGraphObject *fDragSource = nullptr;
    uint32_t fDragHitTest = 0;
    TPoint fDragSourcePt;
    TPoint fDragTargetPt;
    bool fDragModified = false;
    TGraphClipboardFormats fClipboardFormats{cfNative};
    TGraphObject *fObjectAtCursor = nullptr;
    TColor fColor = clWindow;
    TFont fFont;
    TCursor fCursor = crDefault;
    TCursor fScreenCursor = crDefault;
    bool SaveRangeChange = false;
    // The client area to repaint at the end of a batch.
    TRepaintArea SaveInvalidateRegion;
    // What the batch knows in graph units, for the view it was taken in: the window, grown by
    // what rounding can add, and once the area above is one bounding rectangle, the graph
    // rectangles whose client rectangles went into it since, united.
    struct TBatchGraphArea {
        TRect Window;
        TRect Known;
        bool KnownSet = false;
        double Zoom = 0;
        int32_t HorzPosition = 0;
        int32_t VertPosition = 0;
        QSize Size;
        bool Set = false;
    } fBatchGraphArea;
    TGraphBoundsKinds SaveBoundsChange;
    std::array<TRect, 3> SaveBounds{};
    // Whether a cached rectangle came from at least one object (else it is (0, 0, 0, 0)).
    std::array<bool, 3> SaveBoundsFound{};
    // During a drag, the bounds of the objects that do not move with it, taken when it starts:
    // the graph's bounds after each step are these and the dragged objects' bounds, without a
    // pass over every object. Valid until an object outside the drag changes its place.
    TRect DragStaticBounds;
    bool DragStaticFound = false;
    bool DragStaticValid = false;
    // The record of the drag source as it was when the drag started.
    QBuffer UndoStorage;
    // The followers of the drag as they were when it started: nodes by their bounds (a drag
    // moves or resizes them and nothing else, and their bounds are read back in an instant
    // however many there are), any other object by its record, as the source.
    std::vector<TNodePlace> FollowerPlaces;
    // Where the drag's source stood when the drag began.
    TRect fDragSourceBounds;
    QBuffer FollowerStorage;
    bool PolyLinkStarted = false;
    int32_t fPolygonCornerCount = 0;
    bool fDestroying = false;
    // The rubber band in graph units; it shows while fValidMarkedArea is set.
    TRect fMarkedArea{2147483647, 2147483647, -2147483647, -2147483647};
    bool fValidMarkedArea = false;

    friend class TGraphScrollBar;
    std::unique_ptr<TGraphScrollBar> CreateScrollBar(TScrollBarKind kind);
    // The extent of the platform's scroll bar across its direction, in pixels.
    int32_t ScrollBarExtent() const;

    std::unique_ptr<TGraphScrollBar> fHorzScrollBar = CreateScrollBar(sbHorizontal);
    std::unique_ptr<TGraphScrollBar> fVertScrollBar = CreateScrollBar(sbVertical);
    bool UpdatingScrollBars = false;
    // UpdateScrollBars was asked for while it ran: a range changed or a bar's showing resized
    // the client meanwhile.
    bool ScrollBarsPending = false;
    // While positive, a changed range does not update the scroll bars.
    int32_t AutoRangeCount = 0;

    // Repaints the selected objects with their markers, which reach beyond SelectionBounds.
    void InvalidateSelection();
    // While one lives, repaints are merged into SaveInvalidateRegion and requested once when the
    // last one goes (inside an update batch, when the batch ends). Unlike an update batch it
    // defers nothing else, so the events and the modified state come exactly when they would
    // without it; it keeps a change of many objects' state from asking Qt for one repaint each.
    class TRepaintBatch {
    public:
        explicit TRepaintBatch(TGraphControl &graph);
        ~TRepaintBatch();
        TRepaintBatch(const TRepaintBatch &) = delete;
        TRepaintBatch &operator=(const TRepaintBatch &) = delete;

    private:
        TGraphControl &fGraph;
    };
    int32_t RepaintBatchCount = 0;
    void FlushInvalidateRegion();

    // The viewport's attributes for the current Transparent setting.
    void ApplyTransparency();
    // Draws the part of the background picture within the clip, one device pixel at a time from
    // the mapping, so that the pieces of separate repaints meet without seams.
    void DrawBackgroundScaled(TCanvas &canvas, const QImage &image, const TRect &area);

    bool fTransparent = false;
    TCanvasRecall fCanvasRecall{nullptr};

    // The pointer left the control.
    void MouseLeft();
    // Shows the hint of the object under the pointer; false leaves the hint to the framework.
    bool ShowObjectHint(const QHelpEvent &event);
    // The key handler's share of a key press (key: its virtual key code, 0 for none); true when
    // it consumed the key.
    bool HandleKeyDown(QKeyEvent &event, uint16_t &key);
    // The application's share of a key press the key handler left.
    void FrameworkKeyDown(QKeyEvent &event, uint16_t &key);
    // The pointer's shape depends on the keys held: after a key changes, the pointer is moved
    // to where it is, with the new key state.
    void RecheckPointer(const QKeyEvent &event);
    // After a merge the view is in edit mode and shows the added objects.
    void ShowMerged(const std::optional<TRect> &added);
    void ClearUndoStorage();
    // Records the followers in FollowerPlaces and FollowerStorage.
    void BackupFollowers();
    void TakeDragStaticBounds();
    // Puts the followers still dragged (followers, in the order they joined) back as recorded.
    void RestoreFollowers(const std::vector<TGraphObject *> &followers);

    // Buttons held over the control and where the pointer is, as the mouse events told them.
    Qt::MouseButtons fMouseButtons;
    bool fPointerInside = false;
    QPoint fPointerPos;
    // A left press that a release inside the control turns into a click.
    bool fClicked = false;
};

} // namespace talivo
