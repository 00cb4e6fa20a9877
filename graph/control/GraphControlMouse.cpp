#include "graph/control/GraphControl.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/control/GraphControlInput.h"
#include "graph/control/GraphCursors.h"
#include "graph/objects/GraphNode.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace talivo {

namespace {

constexpr TRect NoMarkedArea{
    std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(),
    -std::numeric_limits<int32_t>::max(), -std::numeric_limits<int32_t>::max()};

// The button that changed in a press or release; Qt's other buttons are not the platform's.
bool ButtonOf(const QMouseEvent &event, TMouseButton &button)
{
    switch (event.button()) {
    case Qt::LeftButton:
        button = mbLeft;
        return true;
    case Qt::RightButton:
        button = mbRight;
        return true;
    case Qt::MiddleButton:
        button = mbMiddle;
        return true;
    default:
        return false;
    }
}

TShiftState MouseShiftState(const QMouseEvent &event)
{
    return ShiftStateOf(event.modifiers(), event.buttons());
}

// The client pixel that holds the pointer. On a screen with more device pixels than client
// pixels the pointer lies between client pixels (a scale of 2 puts device pixel 201 at 100.5):
// it is in the pixel it lies on, as on a screen at scale 1, not in the nearest one.
QPoint ClientPos(const QMouseEvent &event)
{
    const QPointF pos = event.position();
    return {static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y()))};
}

// The text a hint shows: the part before "|" (the rest is the status-line form).
QString ShortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

} // namespace

void TGraphControl::mousePressEvent(QMouseEvent *event)
{
    fMouseButtons = event->buttons();
    fPointerInside = true;
    fPointerPos = ClientPos(*event);
    TMouseButton button;
    if (!ButtonOf(*event, button))
        return;
    if (button == mbLeft)
        fClicked = true;
    MouseDown(button, MouseShiftState(*event), fPointerPos.x(), fPointerPos.y());
}

void TGraphControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    fMouseButtons = event->buttons();
    fPointerInside = true;
    fPointerPos = ClientPos(*event);
    TMouseButton button;
    if (!ButtonOf(*event, button))
        return;
    // The second press of a double click is no click of its own.
    fClicked = false;
    if (button == mbLeft)
        DblClick();
    MouseDown(button, MouseShiftState(*event) + TShiftState{ssDouble}, fPointerPos.x(),
              fPointerPos.y());
}

void TGraphControl::mouseMoveEvent(QMouseEvent *event)
{
    fMouseButtons = event->buttons();
    fPointerInside = true;
    fPointerPos = ClientPos(*event);
    MouseMove(MouseShiftState(*event), fPointerPos.x(), fPointerPos.y());
}

void TGraphControl::mouseReleaseEvent(QMouseEvent *event)
{
    fMouseButtons = event->buttons();
    fPointerPos = ClientPos(*event);
    fPointerInside = viewport()->rect().contains(fPointerPos);
    TMouseButton button;
    if (!ButtonOf(*event, button))
        return;
    if (button == mbLeft && fClicked) {
        fClicked = false;
        if (fPointerInside)
            Click();
    }
    MouseUp(button, MouseShiftState(*event), fPointerPos.x(), fPointerPos.y());
    if (!fPointerInside && !fMouseButtons)
        MouseLeft();
}

bool TGraphControl::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Leave:
        fPointerInside = false;
        if (!fMouseButtons)
            MouseLeft();
        break;
    case QEvent::ToolTip:
        if (ShowObjectHint(*static_cast<QHelpEvent *>(event)))
            return true;
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TGraphControl::MouseLeft()
{
    RenewObjectAtCursor(nullptr);
    SetScreenCursor(crDefault);
}

void TGraphControl::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y)
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    TPoint pt = ClientToGraph(x, y);
    CheckObjectAtCursor(pt);
    const bool startsSomething = button == mbLeft && !shift.Contains(ssDouble);
    switch (fCommandMode) {
    case cmPan:
        if (startsSomething) {
            fDragSourcePt = {x, y};
            SetScreenCursor(GC_HANDGRAB);
        }
        break;
    case cmViewOnly:
    case cmEdit:
        if (fObjectAtCursor && fCommandMode != cmViewOnly &&
            fObjectAtCursor->Options().Contains(goSelectable)) {
            fObjectAtCursor->MouseDown(button, shift, pt);
        } else if (startsSomething) {
            fDragSourcePt = pt;
            fDragTargetPt = pt;
            SetMarkedArea(MakeRect(fDragSourcePt, fDragTargetPt));
            SetScreenCursor(crCross);
        }
        break;
    case cmInsertNode:
    case cmInsertLink:
    case cmInsertPolyLink:
        if (fDragSource) {
            fDragSource->MouseDown(button, shift, pt);
        } else if (startsSomething && fCommandMode == cmInsertNode) {
            TGraphObject *obj =
                InsertObjectByMouse(pt, fDefaultNodeClass, shift.Contains(ssCtrl) != fSnapToGrid);
            if (obj) {
                obj->SetSelected(true);
                obj->MouseDown(button, shift, pt);
                if (fDragSource == obj) {
                    SetCursorPos(pt);
                } else {
                    SetCommandMode(cmEdit);
                    ObjectChanged(obj, {gcData});
                }
                RenewObjectAtCursor(obj);
            }
        }
        break;
    }
}

void TGraphControl::MouseMove(TShiftState shift, int32_t x, int32_t y)
{
    const TPoint pt = ClientToGraph(x, y);
    CheckObjectAtCursor(pt);
    if (fCommandMode == cmPan) {
        if (shift.Contains(ssLeft)) {
            if (HorzScrollBar().IsScrollBarVisible())
                ScrollWithin(HorzScrollBar(), int64_t{fDragSourcePt.X} - x);
            if (VertScrollBar().IsScrollBarVisible())
                ScrollWithin(VertScrollBar(), int64_t{fDragSourcePt.Y} - y);
            fDragSourcePt = {x, y};
        } else {
            SetScreenCursor(GC_HANDFLAT);
        }
    } else if (fValidMarkedArea) {
        fDragTargetPt = pt;
        SetMarkedArea(MakeRect(fDragSourcePt, fDragTargetPt));
        ScrollInView(fDragTargetPt);
    } else if (fObjectAtCursor && fCommandMode != cmViewOnly) {
        fObjectAtCursor->MouseMove(shift, pt);
    } else if (fCommandMode == cmInsertNode || fCommandMode == cmInsertLink) {
        SetScreenCursor(GC_XHAIR1);
    } else {
        SetScreenCursor(fCursor);
    }
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TGraphControl::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y)
{
    const TPoint pt = ClientToGraph(x, y);
    CheckObjectAtCursor(pt);
    if (fCommandMode == cmPan) {
        if (button == mbLeft)
            SetScreenCursor(GC_HANDFLAT);
    } else if (fCommandMode == cmInsertPolyLink) {
        // Polyline insertion belongs to links, which this canvas does not create.
    } else if (fValidMarkedArea) {
        if (shift.Contains(ssAlt)) {
            if (!fMarkedArea.IsEmpty())
                ZoomRect(fMarkedArea);
        } else if (fCommandMode == cmEdit) {
            ToggleSelection(fMarkedArea, shift.Contains(ssShift),
                            shift.Contains(ssCtrl) ? &TGraphNode::StaticClass() : nullptr);
        }
        SetMarkedArea(NoMarkedArea);
        SetScreenCursor(fCursor);
    } else if (fObjectAtCursor && fCommandMode != cmViewOnly) {
        fObjectAtCursor->MouseUp(button, shift, pt);
    } else {
        SetScreenCursor(fCursor);
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TGraphControl::SetMarkedArea(const TRect &value)
{
    if (value == fMarkedArea)
        return;
    if (fValidMarkedArea)
        InvalidateRect(fMarkedArea);
    fMarkedArea = value;
    fValidMarkedArea = value.Right >= value.Left && value.Bottom >= value.Top;
    // A band beyond the graph widens the scroll range, so the view can follow it.
    CalcAutoRange();
    if (fValidMarkedArea)
        InvalidateRect(fMarkedArea);
}

void TGraphControl::ToggleSelection(const TRect &rect, bool keepOld,
                                    const TGraphObjectClass *graphObjectClass)
{
    if (Objects().Count() == 0)
        return;
    // Only the objects the rectangle meets can become selected, and only the selected ones can
    // lose their selection; the others would be left as they are. They are visited in list
    // order, as a walk over every object would, since the selection keeps the order of events.
    std::vector<TGraphObject *> candidates;
    fDocument.ObjectIndex().Query(rect, candidates);
    if (!keepOld && SelectedObjects().Count() > 0) {
        // Sorted by their place in the list, each looked up once.
        std::vector<std::pair<int64_t, TGraphObject *>> ordered;
        ordered.reserve(candidates.size() + static_cast<size_t>(SelectedObjects().Count()));
        for (TGraphObject *obj : candidates)
            ordered.emplace_back(fDocument.ObjectIndex().OrderOf(obj), obj);
        for (int32_t i = 0; i < SelectedObjects().Count(); ++i) {
            TGraphObject *obj = SelectedObjects()[i];
            if (const int64_t order = fDocument.ObjectIndex().OrderOf(obj); order >= 0)
                ordered.emplace_back(order, obj);
        }
        std::sort(ordered.begin(), ordered.end());
        ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
        candidates.clear();
        for (const auto &[Order, Obj] : ordered)
            candidates.push_back(Obj);
    }
    const TUpdateBatch batch(*this);
    fDocument.ObjectIndex().BeginWalk();
    try {
        for (TGraphObject *obj : candidates) {
            // A handler may have removed (and freed) an object further on.
            if (fDocument.ObjectIndex().RemovedDuringWalk(obj))
                continue;
            const bool ofClass =
                !graphObjectClass || obj->ClassType().InheritsFrom(*graphObjectClass);
            if (ofClass && obj->ContainsRect(rect))
                obj->SetSelected(!(keepOld && obj->Selected()));
            else if (!keepOld)
                obj->SetSelected(false);
        }
    } catch (...) {
        fDocument.ObjectIndex().EndWalk();
        throw;
    }
    fDocument.ObjectIndex().EndWalk();
}

TGraphObject *TGraphControl::InsertObjectByMouse(TPoint &pt,
                                                 const TGraphObjectClass *graphObjectClass,
                                                 bool snapToGrid)
{
    // Links are read from files but never made on this canvas.
    if (!graphObjectClass || !graphObjectClass->IsNode())
        return nullptr;
    if (snapToGrid)
        pt = SnapPoint(pt);
    if (!GraphConstraints().WithinBounds({pt}))
        return nullptr;
    int32_t size = MinNodeSize();
    if (fSnapToGrid && fGridSize >= MinNodeSize())
        size = fGridSize;
    else if (fSnapToGrid && MinNodeSize() % fGridSize != 0)
        size += fGridSize - MinNodeSize() % fGridSize;
    TPoint corner{AddWrapped(pt.X, size), AddWrapped(pt.Y, size)};
    GraphConstraints().ConfinePt(corner);
    TGraphNode *node = InsertNode({pt.X, pt.Y, corner.X, corner.Y}, graphObjectClass);
    if (node)
        pt = node->BoundsRect().BottomRight();
    return node;
}

bool TGraphControl::ShowObjectHint(const QHelpEvent &event)
{
    const TPoint pt = ClientToGraph(event.pos().x(), event.pos().y());
    TGraphObject *obj = FindObjectAt(pt.X, pt.Y);
    if (!obj)
        return false;
    const bool shortened = obj->TextToShow() != obj->Text();
    if (!OnInfoTip && obj->Hint().isEmpty() && !shortened)
        return false;
    QString infoTip = ShortHint(obj->Hint());
    if (infoTip.isEmpty() && shortened)
        infoTip = obj->Text();
    if (OnInfoTip)
        OnInfoTip(this, obj, infoTip);
    const TRect visual = obj->VisualRect();
    const TPoint topLeft = GraphToClient(visual.Left, visual.Top);
    const TPoint bottomRight = GraphToClient(visual.Right, visual.Bottom);
    const QRect hotArea(QPoint(topLeft.X, topLeft.Y), QPoint(bottomRight.X, bottomRight.Y));
    // An empty text hides the hint that may be showing.
    QToolTip::showText(event.globalPos(), infoTip, viewport(), hotArea);
    return true;
}

} // namespace talivo
