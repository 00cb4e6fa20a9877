#include "app/MarkedImage.h"

#include "graph/control/GraphControl.h"

#include <utility>

namespace talivo {

void PrepareCanvas(TGraphControl &graph)
{
    graph.SetColor(0xFFFFFF);
    graph.SetTransparent(true);
    graph.SetMarkerSize(2);
    graph.SetShowGrid(false);
    PrepareDocument(graph.Document());
}

void ShowImage(TGraphControl &graph, QImage image)
{
    if (image.width() <= 0 || image.height() <= 0)
        return;
    PlaceImage(graph.Document(), std::move(image));
    graph.SetMarkerSize(2);
    graph.SetFixedScrollBars(true);
    graph.SetShowBackground(true);
    graph.HorzScrollBar().SetVisible(true);
    graph.VertScrollBar().SetVisible(true);
    graph.SetShowGrid(false);
    graph.SetSnapToGrid(false);
    graph.SetCommandMode(cmViewOnly);
}

} // namespace talivo
