#pragma once

#include "graph/canvas/Canvas.h"
#include "graph/canvas/CanvasTools.h"
#include "graph/canvas/Types.h"
#include "graph/objects/GraphObjectClass.h"
#include "graph/objects/GraphObjectList.h"
#include "graph/stream/GraphProperties.h"

#include <QString>

#include <cstdint>
#include <stdexcept>

class QIODevice;

namespace talivo {

class TGraphDocument;
class TGraphHost;

enum TGraphObjectOption : uint8_t { goLinkable, goSelectable, goShowCaption };
using TGraphObjectOptions = TSet<TGraphObjectOption, uint8_t>;

enum TGraphObjectState : uint8_t {
    osCreating,
    osDestroying,
    osLoading,
    osReading,
    osWriting,
    osUpdating,
    osDragging,
    osDragDisabled,
    osConverting,
};
using TGraphObjectStates = TSet<TGraphObjectState, uint16_t>;

enum TGraphChangeFlag : uint8_t { gcView, gcData, gcText, gcPlacement, gcDependency };
using TGraphChangeFlags = TSet<TGraphChangeFlag, uint8_t>;

enum TGraphDependencyChangeFlag : uint8_t { gdcChanged, gdcRemoved };

// The sides of a moved rectangle that must stay inside the graph's bounds.
enum TObjectSide : uint8_t { osLeft, osTop, osRight, osBottom };
using TObjectSides = TSet<TObjectSide, uint8_t>;

// Hit-test codes. 0 misses, 1 hits an object that cannot be selected; nodes answer with the zone
// bits below (a point in the body may also be in the caption: 1536); links use 2048 and up.
constexpr uint32_t hzNone = 0;
constexpr uint32_t hzInert = 1;
constexpr uint32_t hzLeft = 2;
constexpr uint32_t hzTop = 4;
constexpr uint32_t hzRight = 8;
constexpr uint32_t hzBottom = 16;
constexpr uint32_t hzTopLeft = 32;
constexpr uint32_t hzTopRight = 64;
constexpr uint32_t hzBottomLeft = 128;
constexpr uint32_t hzBottomRight = 256;
constexpr uint32_t hzBody = 512;
constexpr uint32_t hzCaption = 1024;
constexpr uint32_t hzMarkerMask = 0x7FE;
// BeginDrag's request to find the zone itself.
constexpr uint32_t hzUnknown = 0xFFFFFFFF;

// Screen cursors, with the platform's identifiers.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Mouse and keyboard vocabulary of the input hooks.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, uint8_t>;

// Virtual key codes the objects and the control handle, and the others the control hands on to
// the application. Letters and digits are their upper-case ASCII codes.
constexpr uint16_t VK_BACK = 0x08;
constexpr uint16_t VK_TAB = 0x09;
constexpr uint16_t VK_RETURN = 0x0D;
constexpr uint16_t VK_SHIFT = 0x10;
constexpr uint16_t VK_CONTROL = 0x11;
constexpr uint16_t VK_MENU = 0x12;
constexpr uint16_t VK_ESCAPE = 0x1B;
constexpr uint16_t VK_SPACE = 0x20;
constexpr uint16_t VK_PRIOR = 0x21;
constexpr uint16_t VK_NEXT = 0x22;
constexpr uint16_t VK_END = 0x23;
constexpr uint16_t VK_HOME = 0x24;
constexpr uint16_t VK_LEFT = 0x25;
constexpr uint16_t VK_UP = 0x26;
constexpr uint16_t VK_RIGHT = 0x27;
constexpr uint16_t VK_DOWN = 0x28;
constexpr uint16_t VK_INSERT = 0x2D;
constexpr uint16_t VK_DELETE = 0x2E;
constexpr uint16_t VK_F1 = 0x70;

// An operation that a class must supply was called on a class that does not.
class EAbstractError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The base of everything on the graph canvas. An object belongs to exactly one document (its
// owner), which frees it when it leaves the document's object list; so objects are never deleted
// directly, only through Free (or Delete, or by removing them from the owner's Objects). What
// an object needs of the view that shows it, it asks of the document's host.
//
// Construction runs in two steps: the C++ constructor builds the object (osCreating set, every
// change only collected), then the class's virtual constructor (TGraphObjectClass) calls
// AfterConstruction, which gives it its ID, initialises it and appends it to the owner's list.
class TGraphObject {
public:
    // An object list whose entries can be swapped in place without notifications, as an object
    // converted to another class takes the place of the old one.
    class TReplaceableList : public TGraphObjectList {
    public:
        void ReplaceAll(TGraphObject *oldItem, TGraphObject *newItem);
    };

    explicit TGraphObject(TGraphDocument *owner);
    TGraphObject(const TGraphObject &) = delete;
    TGraphObject &operator=(const TGraphObject &) = delete;

    static const TGraphObjectClass &StaticClass();
    virtual const TGraphObjectClass &ClassType() const;
    std::string_view ClassName() const { return ClassType().ClassName(); }
    static const TPropTable &PropTable();
    const TPropTable &GetPropTable() const { return ClassType().PropTable(); }

    // Destroys the object: BeforeDestruction (which takes it out of its owner's list) and then
    // the destructor. Nothing for null.
    static void Free(TGraphObject *obj);

    // Completion of construction and the start of destruction; see the class comment.
    virtual void AfterConstruction();
    virtual void BeforeDestruction();

    // Copying. Assign takes the object part from another graph object (not Tag, HasCustomData,
    // ID or Data); AssignTo hands this object to dest.Assign.
    virtual void AssignTo(TGraphObject &dest) const;
    virtual void Assign(const TGraphObject &source);

    // Called by the file reader once every object of a stream exists.
    virtual void Loaded();
    virtual void ReplaceID(uint32_t oldId, uint32_t newId);
    // Replaces every occurrence of oldObject in the dependents and link lists.
    virtual void ReplaceObject(TGraphObject *oldObject, TGraphObject *newObject);

    // The object that now stands in this one's place: itself when nothing was converted, else a
    // new object of anotherClass (this one is then freed).
    TGraphObject *ConvertTo(const TGraphObjectClass *anotherClass);

    // The object's stream form: "ID" and its properties under "G.", in table order.
    TPropEntries SaveToEntries();
    void LoadFromEntries(const TPropEntries &entries);
    // The object's property stream (the body of its record in a graph stream).
    void SaveToStream(QIODevice &stream);
    void LoadFromStream(QIODevice &stream);

    void BeginUpdate();
    void EndUpdate();
    virtual void Changed(TGraphChangeFlags flags);
    virtual bool IsUpdateLocked() const;
    // Asks the owner to repaint the selected visual rectangle.
    void Invalidate();

    void BringToFront();
    void SendToBack();
    int32_t GetZOrder() const;
    void SetZOrder(int32_t newIndex);

    bool IsLink() const { return ClassType().IsLink(); }
    bool IsNode() const { return ClassType().IsNode(); }
    bool IsLocked() const;

    // Frees the object when CanDelete allows it; false otherwise and for null.
    static bool Delete(TGraphObject *obj);
    bool CanDelete();

    uint32_t HitTest(const TPoint &pt) const;
    bool ContainsPoint(int32_t x, int32_t y) const { return HitTest({x, y}) != 0; }
    virtual bool ContainsRect(const TRect &rect) const;

    bool BeginDrag(const TPoint &pt, uint32_t ht = hzUnknown);
    bool DragTo(const TPoint &pt, bool snapToGrid);
    bool DragBy(int32_t dx, int32_t dy, bool snapToGrid);
    bool EndDrag(bool accept);
    virtual bool BeginFollowDrag(uint32_t ht);
    virtual bool EndFollowDrag();
    virtual void DisableDrag();
    virtual void EnableDrag();

    virtual TObjectSides QueryMobility(uint32_t ht) const;
    virtual TCursor QueryCursor(uint32_t ht) const;
    virtual bool OffsetHitTest(uint32_t ht, int32_t dx, int32_t dy);
    virtual void SnapHitTestOffset(uint32_t ht, int32_t &dx, int32_t &dy) const;
    virtual void MoveBy(int32_t dx, int32_t dy) = 0;

    // Input hooks; pt in graph units.
    virtual void MouseDown(TMouseButton button, TShiftState shift, const TPoint &pt);
    virtual void MouseMove(TShiftState shift, const TPoint &pt);
    virtual void MouseUp(TMouseButton button, TShiftState shift, const TPoint &pt);
    // True when the key was handled.
    virtual bool KeyPress(uint16_t &key, TShiftState shift);

    // Drawing.
    virtual void Draw(TCanvas &canvas);
    virtual void DrawState(TCanvas &canvas);
    virtual bool IsVisibleOn(const TCanvas &canvas) const;

    virtual TRect GetBoundsRect() const = 0;
    virtual void SetBoundsRect(const TRect &rect) = 0;
    virtual TRect GetSelectedVisualRect() const;
    virtual int32_t NeighborhoodRadius() const;
    virtual TPoint FixHookAnchor() const = 0;
    virtual TPoint RelativeHookAnchor(const TPoint &pt) const = 0;
    // The owner calls it when its own font changes.
    virtual void ParentFontChanged();

    // Properties.
    uint32_t ID() const { return fID; }
    TGraphDocument *Owner() const { return fOwner; }
    TGraphObjectStates States() const { return fStates; }
    bool HasState(TGraphObjectState state) const { return fStates.Contains(state); }
    const QString &Text() const { return fText; }
    void SetText(const QString &value);
    const QString &Hint() const { return fHint; }
    void SetHint(const QString &value);
    TBrush &Brush() { return fBrush; }
    const TBrush &Brush() const { return fBrush; }
    void SetBrush(const TBrush &value) { fBrush.Assign(value); }
    TPen &Pen() { return fPen; }
    const TPen &Pen() const { return fPen; }
    void SetPen(const TPen &value) { fPen.Assign(value); }
    TFont &Font() { return fFont; }
    const TFont &Font() const { return fFont; }
    void SetFont(const TFont &value) { fFont.Assign(value); }
    bool ParentFont() const { return fParentFont; }
    void SetParentFont(bool value);
    TGraphObjectOptions Options() const { return fOptions; }
    void SetOptions(TGraphObjectOptions value);
    bool Visible() const { return fVisible; }
    void SetVisible(bool value);
    int32_t Tag() const { return fTag; }
    void SetTag(int32_t value) { fTag = value; }
    bool HasCustomData() const { return fHasCustomData; }
    void SetHasCustomData(bool value);
    bool Selected() const { return fSelected; }
    void SetSelected(bool value);
    bool Dragging() const { return fStates.Contains(osDragging); }
    bool Showing() const;
    int32_t ZOrder() const { return GetZOrder(); }
    TRect BoundsRect() const { return GetBoundsRect(); }
    const TRect &VisualRect() const { return fVisualRect; }
    TRect SelectedVisualRect() const { return GetSelectedVisualRect(); }
    void *Data() const { return fData; }
    void SetData(void *value) { fData = value; }
    // The caption as drawn (shortened and wrapped).
    const QString &TextToShow() const
    {
        SettleText();
        return fTextToShow;
    }

    int32_t DependentCount() const { return fDependentList.Count(); }
    TGraphObject *Dependents(int32_t index) const { return fDependentList.Items(index); }
    int32_t LinkInputCount() const { return fLinkInputList.Count(); }
    TGraphObject *LinkInputs(int32_t index) const { return fLinkInputList.Items(index); }
    int32_t LinkOutputCount() const { return fLinkOutputList.Count(); }
    TGraphObject *LinkOutputs(int32_t index) const { return fLinkOutputList.Items(index); }

protected:
    virtual ~TGraphObject();

    virtual void Initialize();
    virtual void NotifyDependents(TGraphDependencyChangeFlag flag);
    virtual void LookupDependencies();
    virtual void UpdateDependencies();
    virtual void UpdateDependencyTo(TGraphObject *graphObject, TGraphDependencyChangeFlag flag);
    // recalc: place the caption anew; otherwise shift its rectangle by (dx, dy).
    virtual void UpdateTextPlacement(bool recalc, int32_t dx, int32_t dy);
    // Brings the caption's placement up to date where an object places it only when it is
    // needed.
    virtual void SettleText() const {}
    // Called after the object moved by (dx, dy) and grew by (dWidth, dHeight).
    virtual void BoundsChanged(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight);
    // BoundsChanged for bounds set as reading sets them: what follows the bounds follows, and
    // the change is not reported.
    void PlaceQuietly(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight);
    virtual void DependentChanged(TGraphObject *graphObject, TGraphObjectListAction action);
    virtual void LinkInputChanged(TGraphObject *graphObject, TGraphObjectListAction action);
    virtual void LinkOutputChanged(TGraphObject *graphObject, TGraphObjectListAction action);

    virtual void DrawControlPoint(TCanvas &canvas, const TPoint &pt, bool resizable) const;
    virtual void DrawControlPoints(TCanvas &canvas) = 0;
    virtual void DrawHighlight(TCanvas &canvas) = 0;
    virtual void DrawText(TCanvas &canvas) = 0;
    virtual void DrawBody(TCanvas &canvas) = 0;
    virtual TRect QueryVisualRect() const = 0;
    virtual uint32_t QueryHitTest(const TPoint &pt) const;

    void IncludeState(TGraphObjectState state) { fStates.Include(state); }
    void ExcludeState(TGraphObjectState state) { fStates.Exclude(state); }
    // Stores the caption as drawn.
    void SetTextToShow(const QString &value) { fTextToShow = value; }
    void SetVisualRect(const TRect &value);
    TGraphChangeFlags VisualRectFlags() const { return fVisualRectFlags; }
    void SetVisualRectFlags(TGraphChangeFlags value) { fVisualRectFlags = value; }
    TGraphObjectList &DependentList() { return fDependentList; }
    TGraphObjectList &LinkInputList() { return fLinkInputList; }
    TGraphObjectList &LinkOutputList() { return fLinkOutputList; }
    // Sets the ID and keeps the owner's ID index in step.
    void SetID(uint32_t value);
    // Whoever shows the owner (GraphDocument.h defines it).
    TGraphHost &Host() const;

private:
    friend class TGraphObjectClass;
    friend class TGraphDocument;
    friend class TObjectIndex;

    void StyleChanged(const void *sender);
    void ListChanged(TGraphObjectList *sender, TGraphObject *graphObject,
                     TGraphObjectListAction action);
    // Copies the owner's font without reporting a font change.
    void CopyParentFont();
    // Called by CreateReplacing on the new object.
    void ReplaceFrom(TGraphObject *predecessor);

    uint32_t fID = 0;
    TGraphDocument *fOwner;
    TBrush fBrush;
    TPen fPen;
    QString fText;
    QString fHint;
    TFont fFont;
    bool fParentFont = true;
    TGraphObjectOptions fOptions{goLinkable, goSelectable, goShowCaption};
    bool fVisible = true;
    bool fSelected = false;
    TGraphObjectStates fStates;
    TReplaceableList fDependentList;
    TReplaceableList fLinkInputList;
    TReplaceableList fLinkOutputList;
    QString fTextToShow;
    int32_t fTag = 0;
    void *fData = nullptr;
    bool fHasCustomData = false;
    TRect fVisualRect;
    TGraphChangeFlags fVisualRectFlags{gcPlacement};
    int32_t UpdateCount = 0;
    TGraphChangeFlags PendingChanges;
    int32_t DragDisableCount = 0;
    // The object's entry in its owner's spatial index; -1 while it is not listed.
    int32_t fIndexSlot = -1;
    // The object's number in the order of its document's selection list; -1 while it is not
    // listed.
    int64_t fSelectionOrder = -1;
};

} // namespace talivo
