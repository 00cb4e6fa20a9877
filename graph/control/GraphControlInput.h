#pragma once

#include "graph/control/GraphScrollBar.h"
#include "graph/objects/GraphObject.h"

#include <algorithm>
#include <cstdint>

#include <Qt>

namespace talivo {

// The platform's shift state for Qt's modifier keys and held mouse buttons.
inline TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState Shift;
    if (Modifiers & Qt::ShiftModifier) {
        Shift.Include(ssShift);
    }
    if (Modifiers & Qt::AltModifier) {
        Shift.Include(ssAlt);
    }
    if (Modifiers & Qt::ControlModifier) {
        Shift.Include(ssCtrl);
    }
    if (Buttons & Qt::LeftButton) {
        Shift.Include(ssLeft);
    }
    if (Buttons & Qt::RightButton) {
        Shift.Include(ssRight);
    }
    if (Buttons & Qt::MiddleButton) {
        Shift.Include(ssMiddle);
    }
    return Shift;
}

// Moves the scroll position by Delta, kept within [0, Range].
inline void ScrollWithin(TGraphScrollBar &Bar, int64_t Delta)
{
    const int64_t Position = std::clamp<int64_t>(Bar.Position() + Delta, 0, Bar.Range());
    Bar.SetPosition(static_cast<int32_t>(Position));
}

} // namespace talivo
