#pragma once

#include "graph/canvas/CanvasRecall.h"
#include "graph/canvas/CanvasTools.h"
#include "graph/canvas/Types.h"
#include "graph/control/GraphScrollBar.h"
#include "graph/control/RepaintArea.h"
#include "graph/objects/GraphConstraints.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphHost.h"
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
inline bool IsInsertMode(TGraphCommandMode Mode)
{
    return Mode == cmInsertNode || Mode == cmInsertLink || Mode == cmInsertPolyLink;
}
enum TGraphBoundsKind : uint8_t { bkGraph, bkSelected, bkDragging };
using TGraphBoundsKinds = TSet<TGraphBoundsKind, uint8_t>;
enum TGraphClipboardFormat : uint8_t { cfNative, cfMetafile, cfBitmap };
using TGraphClipboardFormats = TSet<TGraphClipboardFormat, uint8_t>;
enum TGraphZoomOrigin : uint8_t { zoTopLeft, zoCenter, zoCursor, zoCursorCenter };
enum THAlignOption : uint8_t { haNoChange, haLeft, haCenter, haRight, haSpaceEqually };
enum TVAlignOption : uint8_t { vaNoChange, vaTop, vaCenter, vaBottom, vaSpaceEqually };
enum TResizeOption : uint8_t { roNoChange, roSmallest, roLargest };

using TNotifyEvent = std::function<void(TGraphControl *Sender)>;
using TGraphNotifyEvent = std::function<void(TGraphControl *Graph, TGraphObject *GraphObject)>;
using TGraphContextPopupEvent = std::function<void(TGraphControl *Graph, TGraphObject *GraphObject,
                                                   const TPoint &MousePos, bool &Handled)>;
using TContextPopupEvent =
    std::function<void(TGraphControl *Sender, const TPoint &MousePos, bool &Handled)>;
using TGraphObjectDrawEvent =
    std::function<void(TGraphControl *Graph, TGraphObject *GraphObject, TCanvas &Canvas)>;
using TGraphDrawEvent = std::function<void(TGraphControl *Graph, TCanvas &Canvas)>;
using TGraphBeginDragEvent =
    std::function<void(TGraphControl *Graph, TGraphObject *GraphObject, uint32_t HT)>;
using TGraphEndDragEvent = std::function<void(TGraphControl *Graph, TGraphObject *GraphObject,
                                              uint32_t HT, bool Cancelled)>;
using TGraphStreamEvent =
    std::function<void(TGraphControl *Graph, TGraphObject *GraphObject, QIODevice &Stream)>;
using TGraphHookEvent = std::function<void(TGraphControl *Graph, TGraphObject *GraphObject,
                                           TGraphLink *Link, int32_t Index)>;
using TGraphCanHookEvent = std::function<void(TGraphControl *Graph, TGraphObject *GraphObject,
                                              TGraphLink *Link, int32_t Index, bool &CanHook)>;
using TGraphCanLinkEvent =
    std::function<void(TGraphControl *Graph, TGraphLink *Link, TGraphObject *Source,
                       TGraphObject *Target, bool &CanLink)>;
using TCanMoveResizeNodeEvent =
    std::function<void(TGraphControl *Graph, TGraphNode *Node, int32_t &NewLeft, int32_t &NewTop,
                       int32_t &NewWidth, int32_t &NewHeight, bool &CanMove, bool &CanResize)>;
using TGraphCanRemoveEvent =
    std::function<void(TGraphControl *Graph, TGraphObject *GraphObject, bool &CanRemove)>;
using TGraphNodeResizeEvent = std::function<void(TGraphControl *Graph, TGraphNode *Node)>;
using TGraphInfoTipEvent =
    std::function<void(TGraphControl *Graph, TGraphObject *GraphObject, QString &InfoTip)>;

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
    explicit TGraphControl(QWidget *Parent = nullptr);
    ~TGraphControl() override;

    // The class registry of the documents.
    static void RegisterNode(const TGraphNodeClass &ANodeClass)
    {
        TGraphDocument::RegisterNode(ANodeClass);
    }
    static void UnregisterNode(const TGraphNodeClass &ANodeClass)
    {
        TGraphDocument::UnregisterNode(ANodeClass);
    }
    static int32_t NodeClassCount() { return TGraphDocument::NodeClassCount(); }
    static const TGraphNodeClass *NodeClasses(int32_t Index)
    {
        return TGraphDocument::NodeClasses(Index);
    }
    static void RegisterLink(const TGraphLinkClass &ALinkClass)
    {
        TGraphDocument::RegisterLink(ALinkClass);
    }
    static void UnregisterLink(const TGraphLinkClass &ALinkClass)
    {
        TGraphDocument::UnregisterLink(ALinkClass);
    }
    static int32_t LinkClassCount() { return TGraphDocument::LinkClassCount(); }
    static const TGraphLinkClass *LinkClasses(int32_t Index)
    {
        return TGraphDocument::LinkClasses(Index);
    }
    static const TGraphObjectClass *FindClass(std::string_view ClassName)
    {
        return TGraphDocument::FindClass(ClassName);
    }

    // Objects.
    // A node of the class (DefaultNodeClass when null), or null when its creation failed.
    TGraphNode *InsertNode(const TRect &Bounds, const TGraphNodeClass *ANodeClass = nullptr);
    TGraphObject *FindObjectByID(uint32_t ID) const;
    // The object under the graph point (X, Y): the topmost hit, except that a selected object's
    // marker wins over objects above it. With LookAfter the search starts below that object.
    TGraphObject *FindObjectAt(int32_t X, int32_t Y, TGraphObject *LookAfter = nullptr) const;
    TGraphObject *FindNextObject(int32_t StartIndex, bool Inclusive, bool Backward, bool Wrap,
                                 const TGraphObjectClass *GraphObjectClass = nullptr) const;
    bool SelectNextObject(bool Backward, const TGraphObjectClass *GraphObjectClass = nullptr);
    int32_t ObjectsCount(const TGraphObjectClass *GraphObjectClass = nullptr) const;
    int32_t SelectedObjectsCount(const TGraphObjectClass *GraphObjectClass = nullptr) const;
    using TGraphForEachMethod = std::function<bool(TGraphObject *GraphObject, int32_t UserData)>;
    int32_t ForEachObject(const TGraphForEachMethod &Callback, int32_t UserData, bool Selection);
    void Clear();
    void ClearSelection() override;
    bool AlignSelection(THAlignOption Horz, TVAlignOption Vert);
    bool ResizeSelection(TResizeOption Horz, TResizeOption Vert);
    uint32_t CreateUniqueID(TGraphObject *GraphObject);

    // Change batching and notification.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return fDocument.IsUpdating(); }
    // Repaints the whole control, or the graph rectangle Rect; merged inside a batch.
    void Invalidate();
    void InvalidateRect(const TRect &Rect) override;
    void ObjectChanged(TGraphObject *GraphObject, TGraphChangeFlags Flags);
    TRect GetBoundingRect(TGraphBoundsKind Kind);
    TRect GetObjectsBounds(const TGraphObjectList &List) const
    {
        return fDocument.GetObjectsBounds(List);
    }
    TRect GraphBounds() { return GetBoundingRect(bkGraph); }
    TRect SelectionBounds() { return GetBoundingRect(bkSelected); }
    TRect DraggingBounds() { return GetBoundingRect(bkDragging); }

    // Dragging, called by the objects.
    bool BeginDragObject(TGraphObject *GraphObject, const TPoint &Pt, uint32_t HT) override;
    void PerformDragBy(int32_t dX, int32_t dY) override;
    void EndDragObject(bool Accept) override;
    // The record of a drag, for cancelling it: a count, then per object its ID and property
    // stream. Restoring passes over the objects that have gone meanwhile.
    void BackupObjects(QIODevice &Stream, TGraphObjectList &List)
    {
        fDocument.BackupObjects(Stream, List);
    }
    void RestoreObjects(QIODevice &Stream) { fDocument.RestoreObjects(Stream); }

    // The graph stream. Loading replaces every object; a stream that is no graph stream raises
    // EGraphStreamError "Invalid stream content" and changes nothing. Saving a file replaces it
    // only once the new content is completely written.
    void SaveToStream(QIODevice &Stream) { fDocument.SaveToStream(Stream); }
    void LoadFromStream(QIODevice &Stream) { fDocument.LoadFromStream(Stream); }
    void SaveToFile(const QString &FileName) { fDocument.SaveToFile(FileName); }
    void LoadFromFile(const QString &FileName) { fDocument.LoadFromFile(FileName); }
    // Adds the objects of a graph stream, moved by the offset as far as the constraints allow,
    // and shows them.
    void MergeFromStream(QIODevice &Stream, int32_t OffsetX, int32_t OffsetY);
    void MergeFromFile(const QString &FileName, int32_t OffsetX, int32_t OffsetY);
    // Copies the selected objects (or all) to the clipboard; nothing for an empty list.
    void CopyToClipboard(bool Selection);
    // Adds and selects the objects on the clipboard; false when it holds none.
    bool PasteFromClipboard();
    TPoint SnapPoint(const TPoint &Pt) const;
    void SnapOffset(const TPoint &Pt, int32_t &dX, int32_t &dY) const override;

    // Graph units and client (viewport) pixels: client = graph * V / 1000 - position, with
    // V = rnd(Zoom * 10), both ways rounded to nearest, exactly as a canvas prepared by AdjustDC.
    TPoint ClientToGraph(int32_t X, int32_t Y) const;
    TPoint GraphToClient(int32_t X, int32_t Y) const;
    TPoint ScreenToGraph(int32_t X, int32_t Y) const;
    TPoint GraphToScreen(int32_t X, int32_t Y) const;
    // In place; a TRect is two points.
    void CPToGP(TPoint *Points, int32_t Count) const;
    void GPToCP(TPoint *Points, int32_t Count) const;
    // The graph point under the mouse pointer; setting it moves the pointer.
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint &Pt);
    // The client rectangle in graph units.
    TRect VisibleBounds() const;
    // Maps graph units of the canvas to its device the way the viewport shows them; Origin shifts
    // the device's origin further (a part of the graph drawn at the device's top left).
    virtual void AdjustDC(TCanvas &Canvas, const TPoint *Origin = nullptr) const;

    // Zooms are percentages, clamped to [0.1, 32767]; the operations return whether the zoom
    // changed.
    void SetZoom(double Value);
    bool ChangeZoom(double NewZoom, TGraphZoomOrigin Origin);
    bool ChangeZoomBy(double Delta, TGraphZoomOrigin Origin);
    // Zooms and brings the graph point Pt to the centre.
    bool ChangeZoomPosition(double NewZoom, const TPoint &Pt);
    // Fits the rectangle into the client area; false when the zoom this needs was clamped.
    bool ZoomRect(const TRect &Rect);
    bool ZoomObject(const TGraphObject *GraphObject);
    bool ZoomSelection();
    bool ZoomGraph();

    // Scrolls as little as needed to show the object, rectangle or point.
    void ScrollInView(const TGraphObject *GraphObject);
    void ScrollInView(const TRect &Rect);
    void ScrollInView(const TPoint &Pt);
    // Scrolls the object, rectangle or point to the centre as far as the ranges allow.
    void ScrollCenter(const TGraphObject *GraphObject);
    void ScrollCenter(const TRect &Rect);
    void ScrollCenter(const TPoint &Pt);
    // Moves the content by client pixels and repaints it at once; the positions stay (the scroll
    // bars call it when their position changes).
    void ScrollBy(int32_t DeltaX, int32_t DeltaY);

    TGraphScrollBar &HorzScrollBar() { return *fHorzScrollBar; }
    const TGraphScrollBar &HorzScrollBar() const { return *fHorzScrollBar; }
    void SetHorzScrollBar(const TGraphScrollBar &Value) { fHorzScrollBar->Assign(Value); }
    TGraphScrollBar &VertScrollBar() { return *fVertScrollBar; }
    const TGraphScrollBar &VertScrollBar() const { return *fVertScrollBar; }
    void SetVertScrollBar(const TGraphScrollBar &Value) { fVertScrollBar->Assign(Value); }
    virtual void UpdateScrollBars();

    // The picture under the objects: one picture pixel per graph unit, its top-left corner at
    // graph point (0, 0). Shown while ShowBackground is on.
    TGraphNodePicture &Background() { return fDocument.Background(); }
    const TGraphNodePicture &Background() const { return fDocument.Background(); }
    void SetBackground(const TGraphNodePicture &Value) { fDocument.Background().Assign(Value); }
    // On: the parent shows wherever nothing is drawn. Off: the control fills itself with Color.
    bool Transparent() const { return fTransparent; }
    void SetTransparent(bool Value);
    // Draws every object onto the canvas at its graph coordinates in the canvas's own mapping:
    // no background, grid, markers or rubber band. The canvas's tools are left as they were.
    void Draw(TCanvas &Canvas);
    // Draws every object scaled to fit Rect, keeping the proportions, centred in it.
    void Print(TCanvas &Canvas, const TRect &Rect);
    // The objects of the list as a vector recording of their bounds' size, the bounds' top-left
    // corner at the origin.
    virtual QPicture GetAsMetafile(const TGraphObjectList &List);
    // The objects of the list in a 24-bit image. With ShowBackground and a background picture it
    // is a copy of the picture with the objects at their graph coordinates; otherwise it has the
    // size of the objects' bounds, with the bounds' top-left corner at its origin. Raises
    // std::runtime_error when the image cannot be allocated.
    virtual QImage GetAsBitmap(const TGraphObjectList &List);
    void CopyToGraphic(QPicture &Graphic);
    void CopyToGraphic(QImage &Graphic);
    // The vector form is written as SVG, the bitmap as BMP. A failed save raises
    // std::runtime_error and leaves any previous file as it was.
    void SaveAsMetafile(const QString &FileName);
    void SaveAsBitmap(const QString &FileName);
    // An SVG document of the recording, which other programs read.
    static QByteArray MetafileToSvg(const QPicture &Metafile);

    using TMouseEvent = std::function<void(TGraphControl *Sender, TMouseButton Button,
                                           TShiftState Shift, int32_t X, int32_t Y)>;
    using TMouseMoveEvent =
        std::function<void(TGraphControl *Sender, TShiftState Shift, int32_t X, int32_t Y)>;
    using TKeyEvent = std::function<void(TGraphControl *Sender, uint16_t &Key, TShiftState Shift)>;

    // The rubber band in graph units. It shows while Right >= Left and Bottom >= Top, so a band
    // of zero size still shows; the empty rectangle removes it.
    const TRect &MarkedArea() const { return fMarkedArea; }
    void SetMarkedArea(const TRect &Value);
    // Selects the objects of the class (any object when null) that overlap Rect and deselects
    // the others; with KeepOld the overlapping ones toggle and the others stay as they are.
    void ToggleSelection(const TRect &Rect, bool KeepOld,
                         const TGraphObjectClass *GraphObjectClass = nullptr);
    // A node of the class at the graph point Pt, sized to the smallest node (or a grid cell) and
    // kept inside the constraints; Pt becomes its bottom-right corner. Null for a point outside
    // the constraints, for a link class and when the node cannot be made.
    TGraphObject *InsertObjectByMouse(TPoint &Pt, const TGraphObjectClass *GraphObjectClass,
                                      bool SnapToGrid);

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
    void SetScreenCursor(TCursor Value) override;
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
    void SetGridSize(int32_t Value);
    TColor GridColor() const { return fGridColor; }
    void SetGridColor(TColor Value);
    bool ShowGrid() const { return fShowGrid; }
    void SetShowGrid(bool Value);
    bool SnapToGrid() const override { return fSnapToGrid; }
    void SetSnapToGrid(bool Value) { fSnapToGrid = Value; }
    bool ShowHiddenObjects() const override { return fShowHiddenObjects; }
    void SetShowHiddenObjects(bool Value);
    bool HideSelection() const { return fHideSelection; }
    void SetHideSelection(bool Value);
    bool LockNodes() const override { return fLockNodes; }
    void SetLockNodes(bool Value);
    bool LockLinks() const override { return fLockLinks; }
    void SetLockLinks(bool Value);
    TColor MarkerColor() const override { return fMarkerColor; }
    void SetMarkerColor(TColor Value);
    TBrushStyle MarkerStyle() const override { return fMarkerStyle; }
    void SetMarkerStyle(TBrushStyle Value);
    TMarkerSize MarkerSize() const override { return fMarkerSize; }
    void SetMarkerSize(TMarkerSize Value);
    double Zoom() const { return fZoom; }
    bool DefaultKeyMap() const { return fDefaultKeyMap; }
    void SetDefaultKeyMap(bool Value) { fDefaultKeyMap = Value; }
    QMenu *ObjectPopupMenu() const { return fObjectPopupMenu; }
    void SetObjectPopupMenu(QMenu *Value) { fObjectPopupMenu = Value; }
    QMenu *PopupMenu() const { return fPopupMenu; }
    void SetPopupMenu(QMenu *Value) { fPopupMenu = Value; }
    const TGraphNodeClass *DefaultNodeClass() const { return fDefaultNodeClass; }
    void SetDefaultNodeClass(const TGraphNodeClass *Value) { fDefaultNodeClass = Value; }
    const TGraphLinkClass *DefaultLinkClass() const { return fDefaultLinkClass; }
    void SetDefaultLinkClass(const TGraphLinkClass *Value) { fDefaultLinkClass = Value; }
    bool Modified() const { return fDocument.Modified(); }
    void SetModified(bool Value) { fDocument.SetModified(Value); }
    TGraphCommandMode CommandMode() const { return fCommandMode; }
    void SetCommandMode(TGraphCommandMode Value);
    TGraphConstraints &GraphConstraints() { return fDocument.GraphConstraints(); }
    const TGraphConstraints &GraphConstraints() const { return fDocument.GraphConstraints(); }
    void SetGraphConstraints(const TGraphConstraints &Value)
    {
        fDocument.GraphConstraints().Assign(Value);
    }
    uint16_t MinNodeSize() const { return fDocument.MinNodeSize(); }
    void SetMinNodeSize(uint16_t Value) { fDocument.SetMinNodeSize(Value); }
    TGraphDrawOrder DrawOrder() const override { return fDrawOrder; }
    void SetDrawOrder(TGraphDrawOrder Value);
    bool FixedScrollBars() const { return fFixedScrollBars; }
    void SetFixedScrollBars(bool Value);
    bool ShowBackground() const { return fShowBackground; }
    void SetShowBackground(bool Value);
    TGraphClipboardFormats ClipboardFormats() const { return fClipboardFormats; }
    void SetClipboardFormats(TGraphClipboardFormats Value) { fClipboardFormats = Value; }
    int32_t PolygonCornerCount() const { return fPolygonCornerCount; }
    void SetPolygonCornerCount(int32_t Value);
    TGraphObject *DragSource() const override { return fDragSource; }
    uint32_t DragHitTest() const override { return fDragHitTest; }
    const TPoint &DragSourcePt() const { return fDragSourcePt; }
    const TPoint &DragTargetPt() const override { return fDragTargetPt; }
    TGraphObject *ObjectAtCursor() const { return fObjectAtCursor; }
    // The control's colour, font and cursor (the objects take theirs from these).
    TColor Color() const override { return fColor; }
    void SetColor(TColor Value);
    TFont &Font() { return fFont; }
    const TFont &Font() const override { return fFont; }
    void SetFont(const TFont &Value) { fFont.Assign(Value); }
    TCursor Cursor() const override { return fCursor; }
    void SetCursor(TCursor Value);

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
    virtual void DoBeforeDraw(TCanvas &Canvas);
    virtual void DoAfterDraw(TCanvas &Canvas);
    virtual void DoObjectClick(TGraphObject *GraphObject);
    virtual void DoObjectDblClick(TGraphObject *GraphObject);
    void DoObjectInitInstance(TGraphObject *GraphObject) override;
    void DoObjectInsert(TGraphObject *GraphObject) override;
    void DoObjectRemove(TGraphObject *GraphObject) override;
    void DoObjectSelect(TGraphObject *GraphObject) override;
    void DoObjectChange(TGraphObject *GraphObject) override;
    virtual void DoObjectMouseEnter(TGraphObject *GraphObject);
    virtual void DoObjectMouseLeave(TGraphObject *GraphObject);
    void DoObjectBeforeDraw(TCanvas &Canvas, TGraphObject *GraphObject) override;
    void DoObjectAfterDraw(TCanvas &Canvas, TGraphObject *GraphObject) override;
    virtual void DoObjectContextPopup(TGraphObject *GraphObject, const TPoint &MousePos,
                                      bool &Handled);
    virtual void DoObjectBeginDrag(TGraphObject *GraphObject, uint32_t HT);
    virtual void DoObjectEndDrag(TGraphObject *GraphObject, uint32_t HT, bool Cancelled);
    void DoObjectRead(TGraphObject *GraphObject, QIODevice &Stream) override;
    void DoObjectWrite(TGraphObject *GraphObject, QIODevice &Stream) override;
    virtual void DoObjectUnhook(TGraphObject *GraphObject, TGraphLink *Link, int32_t Index);
    virtual void DoObjectHook(TGraphObject *GraphObject, TGraphLink *Link, int32_t Index);
    virtual bool DoCanHookLink(TGraphObject *GraphObject, TGraphLink *Link, int32_t Index);
    virtual bool DoCanLinkObjects(TGraphLink *Link, TGraphObject *Source, TGraphObject *Target);
    void DoCanMoveResizeNode(TGraphNode *Node, int32_t &NewLeft, int32_t &NewTop, int32_t &NewWidth,
                             int32_t &NewHeight, bool &CanMove, bool &CanResize) override;
    bool DoCanRemoveObject(TGraphObject *GraphObject) override;
    void DoNodeMoveResize(TGraphNode *Node) override;
    // The scroll ranges follow the graph's bounds; the view computes them.
    virtual void CalcAutoRange();
    virtual void CheckObjectAtCursor(const TPoint &Pt);
    virtual void RenewObjectAtCursor(TGraphObject *NewObjectAtCursor);

    // The framework control's click routing.
    virtual void Click();
    virtual void DblClick();
    virtual void DoContextPopup(const TPoint &MousePos, bool &Handled);
    void contextMenuEvent(QContextMenuEvent *Event) override;
    void focusInEvent(QFocusEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;

    // The document's reports.
    void UpdateBegun() override;
    void UpdateEnded() override;
    bool ObjectAdded(TGraphObject *GraphObject) override;
    void ObjectRemoved(TGraphObject *GraphObject) override;
    void SelectionChanged(TGraphObject *GraphObject) override;
    void Cleared() override;
    void ShowObjectChange(TGraphObject *GraphObject, TGraphChangeFlags Flags,
                          bool BoundsKnown) override;
    bool AccountsModification(bool InBatch) override;
    void DraggingListChanged(TGraphObjectList *Sender, TGraphObject *GraphObject,
                             TGraphObjectListAction Action);
    // Tells every object that the control's font changed.
    void FontChanged();
    // The graph's bounds changed: the scroll ranges follow and the control repaints.
    void ConstraintsChanged() override;
    // The converted object takes the old one's place in the drag and under the pointer.
    void ObjectReplaced(TGraphObject *OldObject, TGraphObject *NewObject) override;
    bool IsDestroying() const { return fDestroying; }
    bool QueryEventsSuspended() const { return fDocument.QueryEventsSuspended(); }
    void SuspendQueries() { fDocument.SuspendQueries(); }
    void ResumeQueries() { fDocument.ResumeQueries(); }
    // Repaints a rectangle in client pixels, or merges it into the batch's repaint area.
    // Whether any of the rectangle lies in the window.
    bool PerformInvalidate(const TRect &ClientRect);
    // Whether the graph rectangle needs no repaint of its own in the running batch.
    bool RepaintedInBatch(const TRect &Rect);
    // Object records (the document reads and writes them).
    void WriteObjects(QIODevice &Stream, const TGraphObjectList &List)
    {
        fDocument.WriteObjects(Stream, List);
    }
    void ReadObjects(QIODevice &Stream) { fDocument.ReadObjects(Stream); }
    void RenumberNewObjects(int32_t First) { fDocument.RenumberNewObjects(First); }
    void WriteGraphObject(QIODevice &Stream, TGraphObject *GraphObject)
    {
        fDocument.WriteGraphObject(Stream, GraphObject);
    }
    TGraphObject *ReadGraphObject(QIODevice &Stream) { return fDocument.ReadGraphObject(Stream); }

    void resizeEvent(QResizeEvent *Event) override;
    void showEvent(QShowEvent *Event) override;
    void changeEvent(QEvent *Event) override;
    // The scroll bars scroll the content themselves (ScrollBy).
    void scrollContentsBy(int DX, int DY) override;

    // The screen paint, in this order: background, grid, objects, selection and rubber band.
    virtual void Paint(TCanvas &Canvas);
    virtual void DrawBackground(TCanvas &Canvas);
    virtual void DrawGrid(TCanvas &Canvas);
    virtual void DrawObjects(TCanvas &Canvas, const TGraphObjectList &List);
    virtual void DrawEditStates(TCanvas &Canvas);
    void paintEvent(QPaintEvent *Event) override;

    // Mouse input in client pixels, in the platform's terms.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    // The built-in keys (DefaultKeyMap); true when the key was handled.
    virtual bool DefaultKeyHandler(uint16_t &Key, TShiftState Shift);

    bool event(QEvent *Event) override;
    bool viewportEvent(QEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseDoubleClickEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;

private:
    void MarkBoundsStale() { SaveBoundsChange = {bkGraph, bkSelected, bkDragging}; }
    // The index of FindNextObject's result, or -1.
    int32_t FindNextIndex(int32_t StartIndex, bool Inclusive, bool Backward, bool Wrap,
                          const TGraphObjectClass *GraphObjectClass) const;
    TRect GraphToClientRect(const TRect &Rect) const;
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
    struct TFollowerPlace {
        TGraphObject *Object;
        TRect Bounds;
    };
    std::vector<TFollowerPlace> FollowerPlaces;
    QBuffer FollowerStorage;
    bool PolyLinkStarted = false;
    int32_t fPolygonCornerCount = 0;
    bool fDestroying = false;
    // The rubber band in graph units; it shows while fValidMarkedArea is set.
    TRect fMarkedArea{2147483647, 2147483647, -2147483647, -2147483647};
    bool fValidMarkedArea = false;

    friend class TGraphScrollBar;
    std::unique_ptr<TGraphScrollBar> CreateScrollBar(TScrollBarKind Kind);
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
        explicit TRepaintBatch(TGraphControl &Graph);
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
    void DrawBackgroundScaled(TCanvas &Canvas, const QImage &Image, const TRect &Area);

    bool fTransparent = false;
    TCanvasRecall fCanvasRecall{nullptr};

    // The pointer left the control.
    void MouseLeft();
    // Shows the hint of the object under the pointer; false leaves the hint to the framework.
    bool ShowObjectHint(const QHelpEvent &Event);
    // The key handler's share of a key press (Key: its virtual key code, 0 for none); true when
    // it consumed the key.
    bool HandleKeyDown(QKeyEvent &Event, uint16_t &Key);
    // The application's share of a key press the key handler left.
    void FrameworkKeyDown(QKeyEvent &Event, uint16_t &Key);
    // The pointer's shape depends on the keys held: after a key changes, the pointer is moved
    // to where it is, with the new key state.
    void RecheckPointer(const QKeyEvent &Event);
    // After a merge the view is in edit mode and shows the added objects.
    void ShowMerged(const std::optional<TRect> &Added);
    void ClearUndoStorage();
    // Records the followers in FollowerPlaces and FollowerStorage.
    void BackupFollowers();
    void TakeDragStaticBounds();
    // Puts the followers still dragged (Followers, in the order they joined) back as recorded.
    void RestoreFollowers(const std::vector<TGraphObject *> &Followers);

    // Buttons held over the control and where the pointer is, as the mouse events told them.
    Qt::MouseButtons fMouseButtons;
    bool fPointerInside = false;
    QPoint fPointerPos;
    // A left press that a release inside the control turns into a click.
    bool fClicked = false;
};

} // namespace talivo
