#pragma once

#include <QRect>

class QWidget;

namespace talivo {

// Writes the window's placement to its section of the settings file (named after its class
// without namespace, "TFormMain"): the normal rectangle as Top, Left, Right, Bottom (right and
// bottom exclusive) and State, 2 for maximized and 0 otherwise, a minimized window included.
// Creates the settings folder when the file is missing. Throws EIniFileError when it cannot.
void SaveFormPlacement(QWidget &window);

// Puts the window back where SaveFormPlacement found it: the stored rectangle (10, 10, 810, 610
// for missing keys), moved wholly onto the screen nearest to it, then the stored state. Does
// nothing without a settings file.
void RestoreFormPlacement(QWidget &window);

// The rectangle (Left, Top, Right, Bottom, right and bottom exclusive) moved, keeping its size,
// to lie wholly within area; a side longer than the area's is cut to it, and the rectangle then
// starts at the area's edge. An empty or inverted rectangle gives the default 10, 10, 810, 610
// before it is fitted.
QRect FitPlacement(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect &area);

} // namespace talivo
