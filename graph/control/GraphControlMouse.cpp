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
bool ButtonOf(const QMouseEvent &Event, TMouseButton &Button)
{
    switch (Event.button()) {
    case Qt::LeftButton:
        Button = mbLeft;
        return true;
    case Qt::RightButton:
        Button = mbRight;
        return true;
    case Qt::MiddleButton:
        Button = mbMiddle;
        return true;
    default:
        return false;
    }
}

TShiftState MouseShiftState(const QMouseEvent &Event)
{
    return ShiftStateOf(Event.modifiers(), Event.buttons());
}

// The client pixel that holds the pointer. On a screen with more device pixels than client
// pixels the pointer lies between client pixels (a scale of 2 puts device pixel 201 at 100.5):
// it is in the pixel it lies on, as on a screen at scale 1, not in the nearest one.
QPoint ClientPos(const QMouseEvent &Event)
{
    const QPointF Pos = Event.position();
    return {static_cast<int>(std::floor(Pos.x())), static_cast<int>(std::floor(Pos.y()))};
}

// The text a hint shows: the part before "|" (the rest is the status-line form).
QString ShortHint(const QString &Hint)
{
    const qsizetype Bar = Hint.indexOf(QLatin1Char('|'));
    return Bar < 0 ? Hint : Hint.left(Bar);
}

} // namespace

void TGraphControl::mousePressEvent(QMouseEvent *Event)
{
    fMouseButtons = Event->buttons();
    fPointerInside = true;
    fPointerPos = ClientPos(*Event);
    TMouseButton Button;
    if (!ButtonOf(*Event, Button)) {
        return;
    }
    if (Button == mbLeft) {
        fClicked = true;
    }
    MouseDown(Button, MouseShiftState(*Event), fPointerPos.x(), fPointerPos.y());
}

void TGraphControl::mouseDoubleClickEvent(QMouseEvent *Event)
{
    fMouseButtons = Event->buttons();
    fPointerInside = true;
    fPointerPos = ClientPos(*Event);
    TMouseButton Button;
    if (!ButtonOf(*Event, Button)) {
        return;
    }
    // The second press of a double click is no click of its own.
    fClicked = false;
    if (Button == mbLeft) {
        DblClick();
    }
    MouseDown(Button, MouseShiftState(*Event) + TShiftState{ssDouble}, fPointerPos.x(),
              fPointerPos.y());
}

void TGraphControl::mouseMoveEvent(QMouseEvent *Event)
{
    fMouseButtons = Event->buttons();
    fPointerInside = true;
    fPointerPos = ClientPos(*Event);
    MouseMove(MouseShiftState(*Event), fPointerPos.x(), fPointerPos.y());
}

void TGraphControl::mouseReleaseEvent(QMouseEvent *Event)
{
    fMouseButtons = Event->buttons();
    fPointerPos = ClientPos(*Event);
    fPointerInside = viewport()->rect().contains(fPointerPos);
    TMouseButton Button;
    if (!ButtonOf(*Event, Button)) {
        return;
    }
    if (Button == mbLeft && fClicked) {
        fClicked = false;
        if (fPointerInside) {
            Click();
        }
    }
    MouseUp(Button, MouseShiftState(*Event), fPointerPos.x(), fPointerPos.y());
    if (!fPointerInside && !fMouseButtons) {
        MouseLeft();
    }
}

bool TGraphControl::viewportEvent(QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::Leave:
        fPointerInside = false;
        if (!fMouseButtons) {
            MouseLeft();
        }
        break;
    case QEvent::ToolTip:
        if (ShowObjectHint(*static_cast<QHelpEvent *>(Event))) {
            return true;
        }
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(Event);
}

void TGraphControl::MouseLeft()
{
    RenewObjectAtCursor(nullptr);
    SetScreenCursor(crDefault);
}

void TGraphControl::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)
{
    if (!hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
    if (OnMouseDown) {
        OnMouseDown(this, Button, Shift, X, Y);
    }
    TPoint Pt = ClientToGraph(X, Y);
    CheckObjectAtCursor(Pt);
    const bool StartsSomething = Button == mbLeft && !Shift.Contains(ssDouble);
    switch (fCommandMode) {
    case cmPan:
        if (StartsSomething) {
            fDragSourcePt = {X, Y};
            SetScreenCursor(GC_HANDGRAB);
        }
        break;
    case cmViewOnly:
    case cmEdit:
        if (fObjectAtCursor && fCommandMode != cmViewOnly &&
            fObjectAtCursor->Options().Contains(goSelectable)) {
            fObjectAtCursor->MouseDown(Button, Shift, Pt);
        } else if (StartsSomething) {
            fDragSourcePt = Pt;
            fDragTargetPt = Pt;
            SetMarkedArea(MakeRect(fDragSourcePt, fDragTargetPt));
            SetScreenCursor(crCross);
        }
        break;
    case cmInsertNode:
    case cmInsertLink:
    case cmInsertPolyLink:
        if (fDragSource) {
            fDragSource->MouseDown(Button, Shift, Pt);
        } else if (StartsSomething && fCommandMode == cmInsertNode) {
            TGraphObject *Obj =
                InsertObjectByMouse(Pt, fDefaultNodeClass, Shift.Contains(ssCtrl) != fSnapToGrid);
            if (Obj) {
                Obj->SetSelected(true);
                Obj->MouseDown(Button, Shift, Pt);
                if (fDragSource == Obj) {
                    SetCursorPos(Pt);
                } else {
                    SetCommandMode(cmEdit);
                    ObjectChanged(Obj, {gcData});
                }
                RenewObjectAtCursor(Obj);
            }
        }
        break;
    }
}

void TGraphControl::MouseMove(TShiftState Shift, int32_t X, int32_t Y)
{
    const TPoint Pt = ClientToGraph(X, Y);
    CheckObjectAtCursor(Pt);
    if (fCommandMode == cmPan) {
        if (Shift.Contains(ssLeft)) {
            if (HorzScrollBar().IsScrollBarVisible()) {
                ScrollWithin(HorzScrollBar(), int64_t{fDragSourcePt.X} - X);
            }
            if (VertScrollBar().IsScrollBarVisible()) {
                ScrollWithin(VertScrollBar(), int64_t{fDragSourcePt.Y} - Y);
            }
            fDragSourcePt = {X, Y};
        } else {
            SetScreenCursor(GC_HANDFLAT);
        }
    } else if (fValidMarkedArea) {
        fDragTargetPt = Pt;
        SetMarkedArea(MakeRect(fDragSourcePt, fDragTargetPt));
        ScrollInView(fDragTargetPt);
    } else if (fObjectAtCursor && fCommandMode != cmViewOnly) {
        fObjectAtCursor->MouseMove(Shift, Pt);
    } else if (fCommandMode == cmInsertNode || fCommandMode == cmInsertLink) {
        SetScreenCursor(GC_XHAIR1);
    } else {
        SetScreenCursor(fCursor);
    }
    if (OnMouseMove) {
        OnMouseMove(this, Shift, X, Y);
    }
}

void TGraphControl::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)
{
    const TPoint Pt = ClientToGraph(X, Y);
    CheckObjectAtCursor(Pt);
    if (fCommandMode == cmPan) {
        if (Button == mbLeft) {
            SetScreenCursor(GC_HANDFLAT);
        }
    } else if (fCommandMode == cmInsertPolyLink) {
        // Polyline insertion belongs to links, which this canvas does not create.
    } else if (fValidMarkedArea) {
        if (Shift.Contains(ssAlt)) {
            if (!fMarkedArea.IsEmpty()) {
                ZoomRect(fMarkedArea);
            }
        } else if (fCommandMode == cmEdit) {
            ToggleSelection(fMarkedArea, Shift.Contains(ssShift),
                            Shift.Contains(ssCtrl) ? &TGraphNode::StaticClass() : nullptr);
        }
        SetMarkedArea(NoMarkedArea);
        SetScreenCursor(fCursor);
    } else if (fObjectAtCursor && fCommandMode != cmViewOnly) {
        fObjectAtCursor->MouseUp(Button, Shift, Pt);
    } else {
        SetScreenCursor(fCursor);
    }
    if (OnMouseUp) {
        OnMouseUp(this, Button, Shift, X, Y);
    }
}

void TGraphControl::SetMarkedArea(const TRect &Value)
{
    if (Value == fMarkedArea) {
        return;
    }
    if (fValidMarkedArea) {
        InvalidateRect(fMarkedArea);
    }
    fMarkedArea = Value;
    fValidMarkedArea = Value.Right >= Value.Left && Value.Bottom >= Value.Top;
    // A band beyond the graph widens the scroll range, so the view can follow it.
    CalcAutoRange();
    if (fValidMarkedArea) {
        InvalidateRect(fMarkedArea);
    }
}

void TGraphControl::ToggleSelection(const TRect &Rect, bool KeepOld,
                                    const TGraphObjectClass *GraphObjectClass)
{
    if (Objects().Count() == 0) {
        return;
    }
    // Only the objects the rectangle meets can become selected, and only the selected ones can
    // lose their selection; the others would be left as they are. They are visited in list
    // order, as a walk over every object would, since the selection keeps the order of events.
    std::vector<TGraphObject *> Candidates;
    fDocument.ObjectIndex().Query(Rect, Candidates);
    if (!KeepOld && SelectedObjects().Count() > 0) {
        // Sorted by their place in the list, each looked up once.
        std::vector<std::pair<int64_t, TGraphObject *>> Ordered;
        Ordered.reserve(Candidates.size() + static_cast<size_t>(SelectedObjects().Count()));
        for (TGraphObject *Obj : Candidates) {
            Ordered.emplace_back(fDocument.ObjectIndex().OrderOf(Obj), Obj);
        }
        for (int32_t I = 0; I < SelectedObjects().Count(); ++I) {
            TGraphObject *Obj = SelectedObjects()[I];
            if (const int64_t Order = fDocument.ObjectIndex().OrderOf(Obj); Order >= 0) {
                Ordered.emplace_back(Order, Obj);
            }
        }
        std::sort(Ordered.begin(), Ordered.end());
        Ordered.erase(std::unique(Ordered.begin(), Ordered.end()), Ordered.end());
        Candidates.clear();
        for (const auto &[Order, Obj] : Ordered) {
            Candidates.push_back(Obj);
        }
    }
    const TUpdateBatch batch(*this);
    fDocument.ObjectIndex().BeginWalk();
    try {
        for (TGraphObject *Obj : Candidates) {
            // A handler may have removed (and freed) an object further on.
            if (fDocument.ObjectIndex().RemovedDuringWalk(Obj)) {
                continue;
            }
            const bool OfClass =
                !GraphObjectClass || Obj->ClassType().InheritsFrom(*GraphObjectClass);
            if (OfClass && Obj->ContainsRect(Rect)) {
                Obj->SetSelected(!(KeepOld && Obj->Selected()));
            } else if (!KeepOld) {
                Obj->SetSelected(false);
            }
        }
    } catch (...) {
        fDocument.ObjectIndex().EndWalk();
        throw;
    }
    fDocument.ObjectIndex().EndWalk();
}

TGraphObject *TGraphControl::InsertObjectByMouse(TPoint &Pt,
                                                 const TGraphObjectClass *GraphObjectClass,
                                                 bool SnapToGrid)
{
    // Links are read from files but never made on this canvas.
    if (!GraphObjectClass || !GraphObjectClass->IsNode()) {
        return nullptr;
    }
    if (SnapToGrid) {
        Pt = SnapPoint(Pt);
    }
    if (!GraphConstraints().WithinBounds({Pt})) {
        return nullptr;
    }
    int32_t Size = MinNodeSize();
    if (fSnapToGrid && fGridSize >= MinNodeSize()) {
        Size = fGridSize;
    } else if (fSnapToGrid && MinNodeSize() % fGridSize != 0) {
        Size += fGridSize - MinNodeSize() % fGridSize;
    }
    TPoint Corner{AddWrapped(Pt.X, Size), AddWrapped(Pt.Y, Size)};
    GraphConstraints().ConfinePt(Corner);
    TGraphNode *Node = InsertNode({Pt.X, Pt.Y, Corner.X, Corner.Y}, GraphObjectClass);
    if (Node) {
        Pt = Node->BoundsRect().BottomRight();
    }
    return Node;
}

bool TGraphControl::ShowObjectHint(const QHelpEvent &Event)
{
    const TPoint Pt = ClientToGraph(Event.pos().x(), Event.pos().y());
    TGraphObject *Obj = FindObjectAt(Pt.X, Pt.Y);
    if (!Obj) {
        return false;
    }
    const bool Shortened = Obj->TextToShow() != Obj->Text();
    if (!OnInfoTip && Obj->Hint().isEmpty() && !Shortened) {
        return false;
    }
    QString InfoTip = ShortHint(Obj->Hint());
    if (InfoTip.isEmpty() && Shortened) {
        InfoTip = Obj->Text();
    }
    if (OnInfoTip) {
        OnInfoTip(this, Obj, InfoTip);
    }
    const TRect Visual = Obj->VisualRect();
    const TPoint TopLeft = GraphToClient(Visual.Left, Visual.Top);
    const TPoint BottomRight = GraphToClient(Visual.Right, Visual.Bottom);
    const QRect HotArea(QPoint(TopLeft.X, TopLeft.Y), QPoint(BottomRight.X, BottomRight.Y));
    // An empty text hides the hint that may be showing.
    QToolTip::showText(Event.globalPos(), InfoTip, viewport(), HotArea);
    return true;
}

} // namespace talivo
