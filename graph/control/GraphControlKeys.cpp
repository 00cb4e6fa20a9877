#include "graph/control/GraphControl.h"

#include "graph/control/GraphControlInput.h"

#include <QKeyEvent>

#include <vector>

namespace talivo {

namespace {

// The platform's virtual key code of a Qt key; 0 for keys it has no code for here.
uint16_t VirtualKeyOf(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<uint16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<uint16_t>(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

// The modifier keys held once the event has taken effect. Qt does not promise that the event of
// a modifier key itself reports that key's new state.
Qt::KeyboardModifiers ModifiersAfter(const QKeyEvent &event)
{
    Qt::KeyboardModifiers modifiers = event.modifiers();
    Qt::KeyboardModifier own;
    switch (event.key()) {
    case Qt::Key_Shift:
        own = Qt::ShiftModifier;
        break;
    case Qt::Key_Control:
        own = Qt::ControlModifier;
        break;
    case Qt::Key_Alt:
        own = Qt::AltModifier;
        break;
    default:
        return modifiers;
    }
    modifiers.setFlag(own, event.type() == QEvent::KeyPress);
    return modifiers;
}

TShiftState KeyShiftState(const QKeyEvent &event)
{
    return ShiftStateOf(ModifiersAfter(event), Qt::NoButton);
}

} // namespace

bool TGraphControl::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto &keyEvent = *static_cast<QKeyEvent *>(event);
        const bool focusKey = keyEvent.key() == Qt::Key_Tab || keyEvent.key() == Qt::Key_Backtab;
        if (focusKey && !(keyEvent.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Qt moves the focus on Tab before keyPressEvent sees the key, but the key handler
            // steps through the objects with it: the focus chain gets only what it leaves.
            uint16_t key = VK_TAB;
            if (HandleKeyDown(keyEvent, key))
                return true;
            const bool backward = keyEvent.key() == Qt::Key_Backtab ||
                                  keyEvent.modifiers().testFlag(Qt::ShiftModifier);
            if (!focusNextPrevChild(!backward))
                FrameworkKeyDown(keyEvent, key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TGraphControl::keyPressEvent(QKeyEvent *event)
{
    uint16_t key = VirtualKeyOf(event->key());
    if (!HandleKeyDown(*event, key))
        FrameworkKeyDown(*event, key);
}

void TGraphControl::keyReleaseEvent(QKeyEvent *event)
{
    QAbstractScrollArea::keyReleaseEvent(event);
    RecheckPointer(*event);
}

bool TGraphControl::HandleKeyDown(QKeyEvent &event, uint16_t &key)
{
    RecheckPointer(event);
    if (key == 0 || !fDefaultKeyMap || !DefaultKeyHandler(key, KeyShiftState(event)))
        return false;
    event.accept();
    return true;
}

void TGraphControl::FrameworkKeyDown(QKeyEvent &event, uint16_t &key)
{
    if (key != 0 && OnKeyDown) {
        OnKeyDown(this, key, KeyShiftState(event));
        if (key == 0) {
            event.accept();
            return;
        }
    }
    // Qt's scroll area would scroll on its own with the arrow and page keys; the canvas leaves
    // unhandled keys to its parents instead.
    event.ignore();
}

void TGraphControl::RecheckPointer(const QKeyEvent &event)
{
    if (fPointerInside)
        MouseMove(ShiftStateOf(ModifiersAfter(event), fMouseButtons), fPointerPos.x(),
                  fPointerPos.y());
}

bool TGraphControl::DefaultKeyHandler(uint16_t &key, TShiftState shift)
{
    bool handled = false;
    const bool editing = fCommandMode == cmEdit || IsInsertMode(fCommandMode);
    if (fDragSource) {
        GraphConstraints().SetSourceRect(DraggingBounds());
        handled = fDragSource->KeyPress(key, shift);
    } else if (editing) {
        const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
        std::vector<TNodePlace> before;
        if (arrow && OnNodesMoved) {
            before.reserve(static_cast<size_t>(SelectedObjects().Count()));
            for (int32_t i = 0; i < SelectedObjects().Count(); ++i) {
                if (TGraphObject *obj = SelectedObjects()[i]; obj->IsNode())
                    before.push_back({static_cast<TGraphNode *>(obj), obj->GetBoundsRect()});
            }
        }
        // The bounds of the whole selection, so that the objects moved together stay inside.
        GraphConstraints().SetSourceRect(SelectionBounds());
        ForEachObject(
            [&](TGraphObject *obj, int32_t) {
                if (obj->KeyPress(key, shift))
                    handled = true;
                return true;
            },
            0, true);
        DoNodesMoved(std::move(before), true);
    }
    if (handled)
        return true;
    if (key == VK_TAB && editing) {
        SelectNextObject(shift.Contains(ssShift));
        return true;
    }
    if (fCommandMode != cmPan)
        return false;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (HorzScrollBar().IsScrollBarVisible()) {
            const int32_t step = HorzScrollBar().Increment();
            ScrollWithin(HorzScrollBar(), key == VK_LEFT ? -step : step);
        }
        return true;
    case VK_UP:
    case VK_DOWN:
        if (VertScrollBar().IsScrollBarVisible()) {
            const int32_t step = VertScrollBar().Increment();
            ScrollWithin(VertScrollBar(), key == VK_UP ? -step : step);
        }
        return true;
    default:
        return false;
    }
}

} // namespace talivo
