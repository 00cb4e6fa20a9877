#include "graph/control/GraphControl.h"

#include "graph/control/GraphControlInput.h"

#include <QKeyEvent>

namespace talivo {

namespace {

// The platform's virtual key code of a Qt key; 0 for keys it has no code for here.
uint16_t VirtualKeyOf(int Key)
{
    if ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9)) {
        return static_cast<uint16_t>(Key);
    }
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24) {
        return static_cast<uint16_t>(VK_F1 + (Key - Qt::Key_F1));
    }
    switch (Key) {
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
Qt::KeyboardModifiers ModifiersAfter(const QKeyEvent &Event)
{
    Qt::KeyboardModifiers Modifiers = Event.modifiers();
    Qt::KeyboardModifier Own;
    switch (Event.key()) {
    case Qt::Key_Shift:
        Own = Qt::ShiftModifier;
        break;
    case Qt::Key_Control:
        Own = Qt::ControlModifier;
        break;
    case Qt::Key_Alt:
        Own = Qt::AltModifier;
        break;
    default:
        return Modifiers;
    }
    Modifiers.setFlag(Own, Event.type() == QEvent::KeyPress);
    return Modifiers;
}

TShiftState KeyShiftState(const QKeyEvent &Event)
{
    return ShiftStateOf(ModifiersAfter(Event), Qt::NoButton);
}

} // namespace

bool TGraphControl::event(QEvent *Event)
{
    if (Event->type() == QEvent::KeyPress) {
        auto &KeyEvent = *static_cast<QKeyEvent *>(Event);
        const bool FocusKey = KeyEvent.key() == Qt::Key_Tab || KeyEvent.key() == Qt::Key_Backtab;
        if (FocusKey && !(KeyEvent.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Qt moves the focus on Tab before keyPressEvent sees the key, but the key handler
            // steps through the objects with it: the focus chain gets only what it leaves.
            uint16_t Key = VK_TAB;
            if (HandleKeyDown(KeyEvent, Key)) {
                return true;
            }
            const bool Backward = KeyEvent.key() == Qt::Key_Backtab ||
                                  KeyEvent.modifiers().testFlag(Qt::ShiftModifier);
            if (!focusNextPrevChild(!Backward)) {
                FrameworkKeyDown(KeyEvent, Key);
            }
            return true;
        }
    }
    return QAbstractScrollArea::event(Event);
}

void TGraphControl::keyPressEvent(QKeyEvent *Event)
{
    uint16_t Key = VirtualKeyOf(Event->key());
    if (!HandleKeyDown(*Event, Key)) {
        FrameworkKeyDown(*Event, Key);
    }
}

void TGraphControl::keyReleaseEvent(QKeyEvent *Event)
{
    QAbstractScrollArea::keyReleaseEvent(Event);
    RecheckPointer(*Event);
}

bool TGraphControl::HandleKeyDown(QKeyEvent &Event, uint16_t &Key)
{
    RecheckPointer(Event);
    if (Key == 0 || !fDefaultKeyMap || !DefaultKeyHandler(Key, KeyShiftState(Event))) {
        return false;
    }
    Event.accept();
    return true;
}

void TGraphControl::FrameworkKeyDown(QKeyEvent &Event, uint16_t &Key)
{
    if (Key != 0 && OnKeyDown) {
        OnKeyDown(this, Key, KeyShiftState(Event));
        if (Key == 0) {
            Event.accept();
            return;
        }
    }
    // Qt's scroll area would scroll on its own with the arrow and page keys; the canvas leaves
    // unhandled keys to its parents instead.
    Event.ignore();
}

void TGraphControl::RecheckPointer(const QKeyEvent &Event)
{
    if (fPointerInside) {
        MouseMove(ShiftStateOf(ModifiersAfter(Event), fMouseButtons), fPointerPos.x(),
                  fPointerPos.y());
    }
}

bool TGraphControl::DefaultKeyHandler(uint16_t &Key, TShiftState Shift)
{
    bool Handled = false;
    const bool Editing = fCommandMode == cmEdit || IsInsertMode(fCommandMode);
    if (fDragSource) {
        GraphConstraints().SetSourceRect(DraggingBounds());
        Handled = fDragSource->KeyPress(Key, Shift);
    } else if (Editing) {
        // The bounds of the whole selection, so that the objects moved together stay inside.
        GraphConstraints().SetSourceRect(SelectionBounds());
        ForEachObject(
            [&](TGraphObject *Obj, int32_t) {
                if (Obj->KeyPress(Key, Shift)) {
                    Handled = true;
                }
                return true;
            },
            0, true);
    }
    if (Handled) {
        return true;
    }
    if (Key == VK_TAB && Editing) {
        SelectNextObject(Shift.Contains(ssShift));
        return true;
    }
    if (fCommandMode != cmPan) {
        return false;
    }
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (HorzScrollBar().IsScrollBarVisible()) {
            const int32_t Step = HorzScrollBar().Increment();
            ScrollWithin(HorzScrollBar(), Key == VK_LEFT ? -Step : Step);
        }
        return true;
    case VK_UP:
    case VK_DOWN:
        if (VertScrollBar().IsScrollBarVisible()) {
            const int32_t Step = VertScrollBar().Increment();
            ScrollWithin(VertScrollBar(), Key == VK_UP ? -Step : Step);
        }
        return true;
    default:
        return false;
    }
}

} // namespace talivo
