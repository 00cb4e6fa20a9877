#include "graph/canvas/CompatibleCanvas.h"

namespace talivo {

TCompatibleCanvas::TCompatibleCanvas() : fImage(1, 1, QImage::Format_RGB32)
{
    fImage.fill(Qt::white);
    BeginPaint(fImage);
}

TCompatibleCanvas::~TCompatibleCanvas()
{
    // The painter must let go of the image before the image goes.
    EndPaint();
}

} // namespace talivo
