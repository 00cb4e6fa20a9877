#pragma once

#include "graph/control/GraphScrollBar.h"
#include "graph/objects/GraphObject.h"

#include <algorithm>
#include <cstdint>

#include <Qt>

namespace talivo {

// The platform's shift state for Qt's modifier keys and held mouse buttons.
inline TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift.Include(ssShift);
    if (modifiers & Qt::AltModifier)
        shift.Include(ssAlt);
    if (modifiers & Qt::ControlModifier)
        shift.Include(ssCtrl);
    if (buttons & Qt::LeftButton)
        shift.Include(ssLeft);
    if (buttons & Qt::RightButton)
        shift.Include(ssRight);
    if (buttons & Qt::MiddleButton)
        shift.Include(ssMiddle);
    return shift;
}

// Moves the scroll position by delta, kept within [0, Range].
inline void ScrollWithin(TGraphScrollBar &bar, int64_t delta)
{
    const int64_t position = std::clamp<int64_t>(bar.Position() + delta, 0, bar.Range());
    bar.SetPosition(static_cast<int32_t>(position));
}

} // namespace talivo
