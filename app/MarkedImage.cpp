#include "app/MarkedImage.h"

#include "app/ImageFile.h"
#include "app/JobProgress.h"
#include "graph/canvas/Canvas.h"
#include "graph/objects/GraphDocument.h"
#include "i18n/Translation.h"

#include <QRegion>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace talivo {

namespace {

// Rows of the picture copied and drawn into at a time: 20 MB of a picture 20,000 pixels wide.
constexpr int kBandRows = 256;

} // namespace

void PrepareDocument(TGraphDocument &document)
{
    document.SetMinNodeSize(10);
    document.KeepCenterInside = true;
    document.KeepInside = false;
}

void PlaceImage(TGraphDocument &document, QImage image)
{
    const int w = image.width();
    const int h = image.height();
    if (w <= 0 || h <= 0)
        return;
    TGraphConstraints &constraints = document.GraphConstraints();
    constraints.SetMinLeft(0);
    constraints.SetMinTop(0);
    constraints.SetMaxRight(w);
    constraints.SetMaxBottom(h);
    document.SetMinNodeSize(10);
    document.Background().SetImage(std::move(image));
}

QImage RenderImageWithMarks(TGraphDocument &graph, TJobProgress *progress)
{
    if (graph.Background().IsEmpty())
        return {};
    const QImage &background = graph.Background().Image();
    // Marks have colours whatever the picture holds: a greyscale or palette picture would turn
    // them grey or into the nearest palette entry.
    const QImage::Format format =
        background.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    QImage image(background.size(), format);
    if (image.isNull())
        throw std::runtime_error(
            _("There is not enough memory to draw the marks into the image.").toStdString());
    uchar *const bits = image.bits();
    TCanvas canvas;
    if (!canvas.BeginPaint(image))
        throw std::runtime_error(_("The marks cannot be drawn into the image.").toStdString());
    // Band by band, each a report to the job: the picture's rows in the copy's format, then the
    // marks that reach into them, drawn within the band.
    const int w = image.width();
    const int h = image.height();
    for (int top = 0; top < h; top += kBandRows) {
        const int rows = std::min(kBandRows, h - top);
        // A picture in the copy's format gives its rows as they are.
        const bool converted = background.format() != format;
        const QImage band =
            converted ? background.copy(0, top, w, rows).convertToFormat(format) : QImage();
        if (converted && band.isNull())
            throw std::runtime_error(
                _("There is not enough memory to draw the marks into the image.").toStdString());
        for (int y = 0; y < rows; ++y)
            std::memcpy(bits + qsizetype(top + y) * image.bytesPerLine(),
                        converted ? band.constScanLine(y) : background.constScanLine(top + y),
                        size_t(image.bytesPerLine()));
        canvas.SetClipRegion(QRegion(0, top, w, rows));
        graph.Draw(canvas);
        if (progress && !progress->Proceed(double(top + rows) / h))
            return {};
    }
    canvas.EndPaint();
    return image;
}

bool SaveImageWithMarks(TGraphDocument &graph, const QString &fileName)
{
    const QImage image = RenderImageWithMarks(graph);
    if (image.isNull())
        return false;
    WriteImageFile(image, fileName);
    return true;
}

} // namespace talivo
