#include "graph/control/GraphControl.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QToolTip>

#include <limits>
#include <vector>

namespace talivo {

void TGraphControl::DoZoomChange()
{
    if (OnZoomChange)
        OnZoomChange(this);
}

void TGraphControl::DoGraphChange()
{
    if (OnGraphChange)
        OnGraphChange(this);
}

void TGraphControl::DoCommandModeChange()
{
    if (OnCommandModeChange)
        OnCommandModeChange(this);
}

void TGraphControl::DoBeforeDraw(TCanvas &canvas)
{
    if (OnBeforeDraw)
        OnBeforeDraw(this, canvas);
}

void TGraphControl::DoAfterDraw(TCanvas &canvas)
{
    if (OnAfterDraw)
        OnAfterDraw(this, canvas);
}

void TGraphControl::DoObjectClick(TGraphObject *graphObject)
{
    if (OnObjectClick)
        OnObjectClick(this, graphObject);
}

void TGraphControl::DoObjectDblClick(TGraphObject *graphObject)
{
    if (OnObjectDblClick)
        OnObjectDblClick(this, graphObject);
}

void TGraphControl::DoObjectInitInstance(TGraphObject *graphObject)
{
    if (OnObjectInitInstance)
        OnObjectInitInstance(this, graphObject);
}

void TGraphControl::DoObjectInsert(TGraphObject *graphObject)
{
    if (OnObjectInsert)
        OnObjectInsert(this, graphObject);
}

void TGraphControl::DoObjectRemove(TGraphObject *graphObject)
{
    if (OnObjectRemove)
        OnObjectRemove(this, graphObject);
}

void TGraphControl::DoObjectSelect(TGraphObject *graphObject)
{
    if (OnObjectSelect)
        OnObjectSelect(this, graphObject);
}

void TGraphControl::DoObjectChange(TGraphObject *graphObject)
{
    if (OnObjectChange)
        OnObjectChange(this, graphObject);
}

void TGraphControl::DoObjectMouseEnter(TGraphObject *graphObject)
{
    if (OnObjectMouseEnter)
        OnObjectMouseEnter(this, graphObject);
}

void TGraphControl::DoObjectMouseLeave(TGraphObject *graphObject)
{
    if (OnObjectMouseLeave)
        OnObjectMouseLeave(this, graphObject);
}

void TGraphControl::DoObjectBeforeDraw(TCanvas &canvas, TGraphObject *graphObject)
{
    if (OnObjectBeforeDraw)
        OnObjectBeforeDraw(this, graphObject, canvas);
}

void TGraphControl::DoObjectAfterDraw(TCanvas &canvas, TGraphObject *graphObject)
{
    if (OnObjectAfterDraw)
        OnObjectAfterDraw(this, graphObject, canvas);
}

void TGraphControl::DoObjectContextPopup(TGraphObject *graphObject, const TPoint &mousePos,
                                         bool &handled)
{
    if (OnObjectContextPopup)
        OnObjectContextPopup(this, graphObject, mousePos, handled);
}

void TGraphControl::DoObjectBeginDrag(TGraphObject *graphObject, uint32_t ht)
{
    if (OnObjectBeginDrag)
        OnObjectBeginDrag(this, graphObject, ht);
}

void TGraphControl::DoObjectEndDrag(TGraphObject *graphObject, uint32_t ht, bool cancelled)
{
    if (OnObjectEndDrag)
        OnObjectEndDrag(this, graphObject, ht, cancelled);
}

void TGraphControl::DoNodesMoved(std::vector<TNodePlace> before, bool byKey)
{
    std::erase_if(before, [](const TNodePlace &place) {
        return place.Node->GetBoundsRect() == place.Bounds;
    });
    if (!before.empty() && OnNodesMoved)
        OnNodesMoved(this, before, byKey);
}

void TGraphControl::DoObjectRead(TGraphObject *graphObject, QIODevice &stream)
{
    if (OnObjectRead)
        OnObjectRead(this, graphObject, stream);
}

void TGraphControl::DoObjectWrite(TGraphObject *graphObject, QIODevice &stream)
{
    if (OnObjectWrite)
        OnObjectWrite(this, graphObject, stream);
}

void TGraphControl::DoObjectUnhook(TGraphObject *graphObject, TGraphLink *link, int32_t index)
{
    if (OnObjectUnhook)
        OnObjectUnhook(this, graphObject, link, index);
}

void TGraphControl::DoObjectHook(TGraphObject *graphObject, TGraphLink *link, int32_t index)
{
    if (OnObjectHook)
        OnObjectHook(this, graphObject, link, index);
}

bool TGraphControl::DoCanHookLink(TGraphObject *graphObject, TGraphLink *link, int32_t index)
{
    bool canHook = true;
    if (OnCanHookLink && !QueryEventsSuspended())
        OnCanHookLink(this, graphObject, link, index, canHook);
    return canHook;
}

bool TGraphControl::DoCanLinkObjects(TGraphLink *link, TGraphObject *source, TGraphObject *target)
{
    bool canLink = true;
    if (OnCanLinkObjects && !QueryEventsSuspended())
        OnCanLinkObjects(this, link, source, target, canLink);
    return canLink;
}

void TGraphControl::DoCanMoveResizeNode(TGraphNode *node, int32_t &newLeft, int32_t &newTop,
                                        int32_t &newWidth, int32_t &newHeight, bool &canMove,
                                        bool &canResize)
{
    if (OnCanMoveResizeNode && !QueryEventsSuspended())
        OnCanMoveResizeNode(this, node, newLeft, newTop, newWidth, newHeight, canMove, canResize);
}

bool TGraphControl::DoCanRemoveObject(TGraphObject *graphObject)
{
    bool canRemove = true;
    if (OnCanRemoveObject && !QueryEventsSuspended())
        OnCanRemoveObject(this, graphObject, canRemove);
    return canRemove;
}

void TGraphControl::DoNodeMoveResize(TGraphNode *node)
{
    if (OnNodeMoveResize)
        OnNodeMoveResize(this, node);
}

TGraphObject *TGraphControl::FindObjectAt(int32_t x, int32_t y, TGraphObject *lookAfter) const
{
    const TPoint pt{x, y};
    int64_t below = std::numeric_limits<int64_t>::max();
    if (lookAfter) {
        below = fDocument.ObjectIndex().OrderOf(lookAfter);
        if (below < 0)
            return nullptr;
    }
    // Only the objects whose area holds the point can be hit; they come in list order, and are
    // walked from the top down as the list would be.
    std::vector<TGraphObject *> candidates;
    fDocument.ObjectIndex().Query({x, y, x, y}, candidates);
    TGraphObject *result = nullptr;
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
        TGraphObject *obj = *it;
        if (obj == fDragSource || (lookAfter && fDocument.ObjectIndex().OrderOf(obj) >= below))
            continue;
        const uint32_t ht = obj->HitTest(pt);
        if (ht == hzNone)
            continue;
        if (!result) {
            result = obj;
            if (SelectedObjects().Count() == 0 || obj->Selected())
                break;
            continue;
        }
        // Below the topmost hit only a selected object's marker counts.
        if (obj->Selected() && (obj->IsLink() || (ht & (hzBody | hzCaption)) == 0)) {
            result = obj;
            break;
        }
    }
    return result;
}

void TGraphControl::CheckObjectAtCursor(const TPoint &pt)
{
    RenewObjectAtCursor(fDragSource ? fDragSource : FindObjectAt(pt.X, pt.Y));
}

void TGraphControl::RenewObjectAtCursor(TGraphObject *newObjectAtCursor)
{
    if (newObjectAtCursor == fObjectAtCursor)
        return;
    if (fObjectAtCursor)
        DoObjectMouseLeave(fObjectAtCursor);
    fObjectAtCursor = newObjectAtCursor;
    if (fObjectAtCursor)
        DoObjectMouseEnter(fObjectAtCursor);
    if (!fDragSource)
        QToolTip::hideText();
}

void TGraphControl::Click()
{
    if (SelectedObjects().Count() == 0) {
        if (OnClick)
            OnClick(this);
    } else {
        DoObjectClick(SelectedObjects()[0]);
    }
}

void TGraphControl::DblClick()
{
    if (fDragSource)
        return;
    if (SelectedObjects().Count() == 0) {
        if (OnDblClick)
            OnDblClick(this);
    } else {
        DoObjectDblClick(SelectedObjects()[0]);
    }
}

void TGraphControl::DoContextPopup(const TPoint &mousePos, bool &handled)
{
    if (fDragSource) {
        handled = true;
        return;
    }
    if (SelectedObjects().Count() > 0) {
        DoObjectContextPopup(SelectedObjects()[0], mousePos, handled);
        if (!handled && fObjectPopupMenu) {
            fObjectPopupMenu->popup(viewport()->mapToGlobal(QPoint(mousePos.X, mousePos.Y)));
            handled = true;
        }
    }
    if (handled)
        return;
    if (OnContextPopup)
        OnContextPopup(this, mousePos, handled);
    if (!handled && fPopupMenu) {
        fPopupMenu->popup(viewport()->mapToGlobal(QPoint(mousePos.X, mousePos.Y)));
        handled = true;
    }
}

void TGraphControl::contextMenuEvent(QContextMenuEvent *event)
{
    bool handled = false;
    DoContextPopup({event->pos().x(), event->pos().y()}, handled);
    event->setAccepted(handled);
}

void TGraphControl::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (fHideSelection && SelectedObjects().Count() > 0)
        InvalidateSelection();
}

void TGraphControl::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (fHideSelection && SelectedObjects().Count() > 0)
        InvalidateSelection();
}

} // namespace talivo
