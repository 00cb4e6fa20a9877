#include "graph/control/GraphControl.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>

#include <limits>
#include <vector>

namespace talivo {

void TGraphControl::DoZoomChange()
{
    if (OnZoomChange) {
        OnZoomChange(this);
    }
}

void TGraphControl::DoGraphChange()
{
    if (OnGraphChange) {
        OnGraphChange(this);
    }
}

void TGraphControl::DoCommandModeChange()
{
    if (OnCommandModeChange) {
        OnCommandModeChange(this);
    }
}

void TGraphControl::DoBeforeDraw(TCanvas &Canvas)
{
    if (OnBeforeDraw) {
        OnBeforeDraw(this, Canvas);
    }
}

void TGraphControl::DoAfterDraw(TCanvas &Canvas)
{
    if (OnAfterDraw) {
        OnAfterDraw(this, Canvas);
    }
}

void TGraphControl::DoObjectClick(TGraphObject *GraphObject)
{
    if (OnObjectClick) {
        OnObjectClick(this, GraphObject);
    }
}

void TGraphControl::DoObjectDblClick(TGraphObject *GraphObject)
{
    if (OnObjectDblClick) {
        OnObjectDblClick(this, GraphObject);
    }
}

void TGraphControl::DoObjectInitInstance(TGraphObject *GraphObject)
{
    if (OnObjectInitInstance) {
        OnObjectInitInstance(this, GraphObject);
    }
}

void TGraphControl::DoObjectInsert(TGraphObject *GraphObject)
{
    if (OnObjectInsert) {
        OnObjectInsert(this, GraphObject);
    }
}

void TGraphControl::DoObjectRemove(TGraphObject *GraphObject)
{
    if (OnObjectRemove) {
        OnObjectRemove(this, GraphObject);
    }
}

void TGraphControl::DoObjectSelect(TGraphObject *GraphObject)
{
    if (OnObjectSelect) {
        OnObjectSelect(this, GraphObject);
    }
}

void TGraphControl::DoObjectChange(TGraphObject *GraphObject)
{
    if (OnObjectChange) {
        OnObjectChange(this, GraphObject);
    }
}

void TGraphControl::DoObjectMouseEnter(TGraphObject *GraphObject)
{
    if (OnObjectMouseEnter) {
        OnObjectMouseEnter(this, GraphObject);
    }
}

void TGraphControl::DoObjectMouseLeave(TGraphObject *GraphObject)
{
    if (OnObjectMouseLeave) {
        OnObjectMouseLeave(this, GraphObject);
    }
}

void TGraphControl::DoObjectBeforeDraw(TCanvas &Canvas, TGraphObject *GraphObject)
{
    if (OnObjectBeforeDraw) {
        OnObjectBeforeDraw(this, GraphObject, Canvas);
    }
}

void TGraphControl::DoObjectAfterDraw(TCanvas &Canvas, TGraphObject *GraphObject)
{
    if (OnObjectAfterDraw) {
        OnObjectAfterDraw(this, GraphObject, Canvas);
    }
}

void TGraphControl::DoObjectContextPopup(TGraphObject *GraphObject, const TPoint &MousePos,
                                         bool &Handled)
{
    if (OnObjectContextPopup) {
        OnObjectContextPopup(this, GraphObject, MousePos, Handled);
    }
}

void TGraphControl::DoObjectBeginDrag(TGraphObject *GraphObject, uint32_t HT)
{
    if (OnObjectBeginDrag) {
        OnObjectBeginDrag(this, GraphObject, HT);
    }
}

void TGraphControl::DoObjectEndDrag(TGraphObject *GraphObject, uint32_t HT, bool Cancelled)
{
    if (OnObjectEndDrag) {
        OnObjectEndDrag(this, GraphObject, HT, Cancelled);
    }
}

void TGraphControl::DoObjectRead(TGraphObject *GraphObject, QIODevice &Stream)
{
    if (OnObjectRead) {
        OnObjectRead(this, GraphObject, Stream);
    }
}

void TGraphControl::DoObjectWrite(TGraphObject *GraphObject, QIODevice &Stream)
{
    if (OnObjectWrite) {
        OnObjectWrite(this, GraphObject, Stream);
    }
}

void TGraphControl::DoObjectUnhook(TGraphObject *GraphObject, TGraphLink *Link, int32_t Index)
{
    if (OnObjectUnhook) {
        OnObjectUnhook(this, GraphObject, Link, Index);
    }
}

void TGraphControl::DoObjectHook(TGraphObject *GraphObject, TGraphLink *Link, int32_t Index)
{
    if (OnObjectHook) {
        OnObjectHook(this, GraphObject, Link, Index);
    }
}

bool TGraphControl::DoCanHookLink(TGraphObject *GraphObject, TGraphLink *Link, int32_t Index)
{
    bool CanHook = true;
    if (OnCanHookLink && !QueryEventsSuspended()) {
        OnCanHookLink(this, GraphObject, Link, Index, CanHook);
    }
    return CanHook;
}

bool TGraphControl::DoCanLinkObjects(TGraphLink *Link, TGraphObject *Source, TGraphObject *Target)
{
    bool CanLink = true;
    if (OnCanLinkObjects && !QueryEventsSuspended()) {
        OnCanLinkObjects(this, Link, Source, Target, CanLink);
    }
    return CanLink;
}

void TGraphControl::DoCanMoveResizeNode(TGraphNode *Node, int32_t &NewLeft, int32_t &NewTop,
                                        int32_t &NewWidth, int32_t &NewHeight, bool &CanMove,
                                        bool &CanResize)
{
    if (OnCanMoveResizeNode && !QueryEventsSuspended()) {
        OnCanMoveResizeNode(this, Node, NewLeft, NewTop, NewWidth, NewHeight, CanMove, CanResize);
    }
}

bool TGraphControl::DoCanRemoveObject(TGraphObject *GraphObject)
{
    bool CanRemove = true;
    if (OnCanRemoveObject && !QueryEventsSuspended()) {
        OnCanRemoveObject(this, GraphObject, CanRemove);
    }
    return CanRemove;
}

void TGraphControl::DoNodeMoveResize(TGraphNode *Node)
{
    if (OnNodeMoveResize) {
        OnNodeMoveResize(this, Node);
    }
}

TGraphObject *TGraphControl::FindObjectAt(int32_t X, int32_t Y, TGraphObject *LookAfter) const
{
    const TPoint Pt{X, Y};
    int64_t Below = std::numeric_limits<int64_t>::max();
    if (LookAfter) {
        Below = fDocument.ObjectIndex().OrderOf(LookAfter);
        if (Below < 0) {
            return nullptr;
        }
    }
    // Only the objects whose area holds the point can be hit; they come in list order, and are
    // walked from the top down as the list would be.
    std::vector<TGraphObject *> Candidates;
    fDocument.ObjectIndex().Query({X, Y, X, Y}, Candidates);
    TGraphObject *Result = nullptr;
    for (auto It = Candidates.rbegin(); It != Candidates.rend(); ++It) {
        TGraphObject *Obj = *It;
        if (Obj == fDragSource || (LookAfter && fDocument.ObjectIndex().OrderOf(Obj) >= Below)) {
            continue;
        }
        const uint32_t HT = Obj->HitTest(Pt);
        if (HT == hzNone) {
            continue;
        }
        if (!Result) {
            Result = Obj;
            if (SelectedObjects().Count() == 0 || Obj->Selected()) {
                break;
            }
            continue;
        }
        // Below the topmost hit only a selected object's marker counts.
        if (Obj->Selected() && (Obj->IsLink() || (HT & (hzBody | hzCaption)) == 0)) {
            Result = Obj;
            break;
        }
    }
    return Result;
}

void TGraphControl::CheckObjectAtCursor(const TPoint &Pt)
{
    RenewObjectAtCursor(fDragSource ? fDragSource : FindObjectAt(Pt.X, Pt.Y));
}

void TGraphControl::RenewObjectAtCursor(TGraphObject *NewObjectAtCursor)
{
    if (NewObjectAtCursor == fObjectAtCursor) {
        return;
    }
    if (fObjectAtCursor) {
        DoObjectMouseLeave(fObjectAtCursor);
    }
    fObjectAtCursor = NewObjectAtCursor;
    if (fObjectAtCursor) {
        DoObjectMouseEnter(fObjectAtCursor);
    }
    if (!fDragSource) {
        QToolTip::hideText();
    }
}

void TGraphControl::Click()
{
    if (SelectedObjects().Count() == 0) {
        if (OnClick) {
            OnClick(this);
        }
    } else {
        DoObjectClick(SelectedObjects()[0]);
    }
}

void TGraphControl::DblClick()
{
    if (fDragSource) {
        return;
    }
    if (SelectedObjects().Count() == 0) {
        if (OnDblClick) {
            OnDblClick(this);
        }
    } else {
        DoObjectDblClick(SelectedObjects()[0]);
    }
}

void TGraphControl::DoContextPopup(const TPoint &MousePos, bool &Handled)
{
    if (fDragSource) {
        Handled = true;
        return;
    }
    if (SelectedObjects().Count() > 0) {
        DoObjectContextPopup(SelectedObjects()[0], MousePos, Handled);
        if (!Handled && fObjectPopupMenu) {
            fObjectPopupMenu->popup(viewport()->mapToGlobal(QPoint(MousePos.X, MousePos.Y)));
            Handled = true;
        }
    }
    if (Handled) {
        return;
    }
    if (OnContextPopup) {
        OnContextPopup(this, MousePos, Handled);
    }
    if (!Handled && fPopupMenu) {
        fPopupMenu->popup(viewport()->mapToGlobal(QPoint(MousePos.X, MousePos.Y)));
        Handled = true;
    }
}

void TGraphControl::contextMenuEvent(QContextMenuEvent *Event)
{
    bool Handled = false;
    DoContextPopup({Event->pos().x(), Event->pos().y()}, Handled);
    Event->setAccepted(Handled);
}

void TGraphControl::focusInEvent(QFocusEvent *Event)
{
    QAbstractScrollArea::focusInEvent(Event);
    if (fHideSelection && SelectedObjects().Count() > 0) {
        InvalidateSelection();
    }
}

void TGraphControl::focusOutEvent(QFocusEvent *Event)
{
    QAbstractScrollArea::focusOutEvent(Event);
    if (fHideSelection && SelectedObjects().Count() > 0) {
        InvalidateSelection();
    }
}

} // namespace talivo
