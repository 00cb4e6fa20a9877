#pragma once

#include "graph/canvas/Canvas.h"

#include <cstdint>

namespace talivo {

// Keeps a copy of one canvas's font, pen, brush, copy mode and text flags so that drawing code
// borrowing the canvas can hand it back unchanged: the tools are put back on Retrieve, when the
// reference moves to another canvas, and when the recall object goes.
class TCanvasRecall {
public:
    explicit TCanvasRecall(TCanvas *reference);
    ~TCanvasRecall();
    TCanvasRecall(const TCanvasRecall &) = delete;
    TCanvasRecall &operator=(const TCanvasRecall &) = delete;

    void Store();
    void Retrieve();

    TCanvas *Reference() const { return fReference; }
    void SetReference(TCanvas *value);

private:
    TPen fPen;
    TFont fFont;
    TBrush fBrush;
    int32_t fCopyMode = cmSrcCopy;
    int32_t fTextFlags = 0;
    TCanvas *fReference = nullptr;
};

} // namespace talivo
