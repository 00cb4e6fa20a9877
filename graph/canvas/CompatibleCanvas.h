#pragma once

#include "graph/canvas/Canvas.h"

#include <QImage>

namespace talivo {

// A canvas without a window, for measuring text with a font (caption placement). It is bound
// to a 1 x 1 image for its whole life, so drawing on it is harmless and its clip box is that one
// pixel. Fonts are sized in pixels, so what it measures is what any canvas at 1:1 draws.
class TCompatibleCanvas : public TCanvas {
public:
    TCompatibleCanvas();
    ~TCompatibleCanvas() override;

private:
    QImage fImage;
};

} // namespace talivo
