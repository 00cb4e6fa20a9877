#include "app/MarkedImage.h"

#include "app/ImageFile.h"
#include "graph/Canvas.h"
#include "graph/GraphControl.h"
#include "i18n/Translation.h"

#include <stdexcept>

namespace talivo {

void PrepareCanvas(TGraphControl &graph)
{
    graph.SetColor(0xFFFFFF);
    graph.SetTransparent(true);
    graph.SetMinNodeSize(10);
    graph.SetMarkerSize(2);
    graph.SetShowGrid(false);
    graph.KeepCenterInside = true;
    graph.KeepInside = false;
}

void ShowImage(TGraphControl &graph, QImage image)
{
    const int w = image.width();
    const int h = image.height();
    if (w <= 0 || h <= 0)
        return;
    TGraphConstraints &constraints = graph.GraphConstraints();
    constraints.SetMinLeft(0);
    constraints.SetMinTop(0);
    constraints.SetMaxRight(w);
    constraints.SetMaxBottom(h);
    graph.SetMinNodeSize(10);
    graph.SetMarkerSize(2);
    graph.SetFixedScrollBars(true);
    graph.Background().SetImage(image);
    graph.SetShowBackground(true);
    graph.HorzScrollBar().SetVisible(true);
    graph.VertScrollBar().SetVisible(true);
    graph.SetShowGrid(false);
    graph.SetSnapToGrid(false);
    graph.SetCommandMode(cmViewOnly);
}

QImage RenderImageWithMarks(TGraphControl &graph)
{
    if (graph.Background().IsEmpty())
        return {};
    const QImage &background = graph.Background().Image();
    // Marks have colours whatever the picture holds: a greyscale or palette picture would turn
    // them grey or into the nearest palette entry.
    QImage image = background.convertToFormat(background.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                           : QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error(
            _("There is not enough memory to draw the marks into the image.").toStdString());
    TCanvas canvas;
    if (!canvas.BeginPaint(image))
        throw std::runtime_error(_("The marks cannot be drawn into the image.").toStdString());
    graph.Draw(canvas);
    canvas.EndPaint();
    return image;
}

bool SaveImageWithMarks(TGraphControl &graph, const QString &fileName)
{
    const QImage image = RenderImageWithMarks(graph);
    if (image.isNull())
        return false;
    WriteImageFile(image, fileName);
    return true;
}

} // namespace talivo
