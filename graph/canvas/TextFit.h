#pragma once

#include "graph/canvas/Canvas.h"
#include "graph/canvas/Types.h"

#include <QString>

namespace talivo {

// Breaks text into lines no wider than maxWidth, measured with the canvas's current font as
// whole runs, and joins them with CR LF. A line ends at CR, LF, CR LF or LF CR in the text; when
// a character overflows, the line ends after the last break character (one of " !),-./:;>?\]}")
// that fits, or before the overflowing character when there is none. A line's first character
// is always taken, even when it alone is too wide. Spaces around the breaks are dropped; a text
// that ends with a line break keeps CR LF at its end. Characters are UTF-16 code units.
QString WrapText(const TCanvas &canvas, const QString &text, int32_t maxWidth);

// The caption a node shows in rect: the text wrapped to rect's width and cut to the lines that
// fit rect's height (empty when not even the first line fits). The last line kept gets an
// ellipsis mark (mark, or fallbackMark when the font has no glyph for mark's first character)
// and loses characters before the mark while it is wider than rect, keeping at least one.
QString MinimizeText(const TCanvas &canvas, const QString &text, const TRect &rect,
                     const QString &mark, const QString &fallbackMark);

// MinimizeText with this program's ellipsis marks, which are both empty: a cut caption simply
// ends, and only a last line wider than the rectangle is shortened.
QString MinimizeText(const TCanvas &canvas, const QString &text, const TRect &rect);

} // namespace talivo
