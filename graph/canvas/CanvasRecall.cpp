#include "graph/canvas/CanvasRecall.h"

namespace talivo {

TCanvasRecall::TCanvasRecall(TCanvas *reference) : fReference(reference)
{
    Store();
}

TCanvasRecall::~TCanvasRecall()
{
    Retrieve();
}

void TCanvasRecall::Store()
{
    if (fReference == nullptr)
        return;
    fFont.Assign(fReference->Font());
    fPen.Assign(fReference->Pen());
    fBrush.Assign(fReference->Brush());
    fCopyMode = fReference->CopyMode();
    fTextFlags = fReference->TextFlags();
}

void TCanvasRecall::Retrieve()
{
    if (fReference == nullptr)
        return;
    fReference->Font().Assign(fFont);
    fReference->Pen().Assign(fPen);
    fReference->Brush().Assign(fBrush);
    fReference->SetCopyMode(fCopyMode);
    fReference->SetTextFlags(fTextFlags);
}

void TCanvasRecall::SetReference(TCanvas *value)
{
    if (value == fReference)
        return;
    Retrieve();
    fReference = value;
    Store();
}

} // namespace talivo
