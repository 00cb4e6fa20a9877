#include "graph/control/GraphControl.h"

#include "graph/canvas/CanvasColors.h"
#include "graph/canvas/GraphUtils.h"
#include "platform/AtomicFile.h"
#include "platform/TranslatableError.h"

#include <QBuffer>
#include <QPaintEvent>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace talivo {

namespace {

// a * b / c rounded half away from zero, like the system's MulDiv; c must not be 0.
int64_t MulDiv(int64_t a, int64_t b, int64_t c)
{
    const int64_t product = a * b;
    const int64_t quotient = product / c;
    const int64_t remainder = product % c;
    if (2 * (remainder < 0 ? -remainder : remainder) >= (c < 0 ? -c : c))
        return quotient + ((product < 0) != (c < 0) ? -1 : 1);
    return quotient;
}

// The smallest multiple of step that is not less than value.
int64_t CeilToMultiple(int64_t value, int64_t step)
{
    const int64_t remainder = value % step;
    if (remainder == 0)
        return value;
    return remainder > 0 ? value - remainder + step : value - remainder;
}

QRect ToQRect(const TRect &rect)
{
    return {QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1)};
}

TRect Inflated(const TRect &rect, int32_t by)
{
    return {ClampToInt32(int64_t{rect.Left} - by), ClampToInt32(int64_t{rect.Top} - by),
            ClampToInt32(int64_t{rect.Right} + by), ClampToInt32(int64_t{rect.Bottom} + by)};
}

// The device column (vertical false) or row at which a logical coordinate lands.
int32_t DeviceCoordinate(const TCanvas &canvas, int32_t value, bool vertical)
{
    return vertical ? canvas.LPtoDP(TPoint{0, value}).Y : canvas.LPtoDP(TPoint{value, 0}).X;
}

// For every device coordinate from first to last - 1, the picture coordinate drawn there: the
// last one that starts at or before it, so that a picture pixel covers exactly the device pixels
// between where it and its successor land, the way an object's edge lands. Clamped to the
// picture's size, since the device range may reach a pixel beyond either end.
std::vector<int32_t> SourceCoordinates(const TCanvas &canvas, int32_t first, int32_t last,
                                       int32_t size, bool vertical)
{
    const double scale = vertical
                             ? static_cast<double>(canvas.ViewportExt().cy) / canvas.WindowExt().cy
                             : static_cast<double>(canvas.ViewportExt().cx) / canvas.WindowExt().cx;
    // Picture coordinates sharing one device pixel: the search around the estimate spans them.
    const int64_t span = static_cast<int64_t>(1.0 / scale) + 2;
    std::vector<int32_t> result;
    result.reserve(static_cast<size_t>(std::max(last - first, 0)));
    for (int32_t device = first; device < last; ++device) {
        const TPoint estimate = canvas.DPtoLP(TPoint{device, device});
        int64_t low = int64_t{vertical ? estimate.Y : estimate.X} - span;
        int64_t high = low + 2 * span;
        // The largest coordinate in [low, high] that lands at or before device.
        while (low < high) {
            const int64_t middle = low + (high - low + 1) / 2;
            if (DeviceCoordinate(canvas, ClampToInt32(middle), vertical) <= device)
                low = middle;
            else
                high = middle - 1;
        }
        result.push_back(static_cast<int32_t>(std::clamp<int64_t>(low, 0, size - 1)));
    }
    return result;
}

template <int BytesPerPixel>
void ResampleRow(uchar *target, const uchar *source, const std::vector<int32_t> &columns)
{
    for (const int32_t column : columns) {
        std::memcpy(target, source + qsizetype{column} * BytesPerPixel, BytesPerPixel);
        target += BytesPerPixel;
    }
}

using TResampleRow = void (*)(uchar *, const uchar *, const std::vector<int32_t> &);

// The row copier for whole pixels of the depth; null when pixels are not whole bytes.
TResampleRow RowResampler(int depth)
{
    switch (depth) {
    case 8:
        return ResampleRow<1>;
    case 16:
        return ResampleRow<2>;
    case 24:
        return ResampleRow<3>;
    case 32:
        return ResampleRow<4>;
    case 64:
        return ResampleRow<8>;
    case 128:
        return ResampleRow<16>;
    default:
        return nullptr;
    }
}

// Picks the pixels of image at the given columns and rows (nearest neighbour), both ascending and
// not empty. The result has image's format, or a 32-bit one when its pixels are not whole bytes.
QImage Resample(const QImage &image, std::vector<int32_t> columns, std::vector<int32_t> rows)
{
    TResampleRow copy = RowResampler(image.depth());
    if (!copy) {
        // Only the part that is drawn is converted.
        const QRect part(QPoint(columns.front(), rows.front()),
                         QPoint(columns.back(), rows.back()));
        for (int32_t &column : columns)
            column -= part.left();
        for (int32_t &row : rows)
            row -= part.top();
        return Resample(image.copy(part).convertToFormat(QImage::Format_ARGB32), std::move(columns),
                        std::move(rows));
    }
    QImage result(static_cast<int>(columns.size()), static_cast<int>(rows.size()), image.format());
    if (result.isNull())
        return result;
    result.setColorTable(image.colorTable());
    const qsizetype rowBytes = qsizetype{result.width()} * (image.depth() / 8);
    for (size_t row = 0; row < rows.size(); ++row) {
        uchar *target = result.scanLine(static_cast<int>(row));
        if (row > 0 && rows[row] == rows[row - 1])
            std::memcpy(target, result.constScanLine(static_cast<int>(row - 1)), rowBytes);
        else
            copy(target, image.constScanLine(rows[row]), columns);
    }
    return result;
}

// The part area of the image, sharing the image's pixels where the format allows it: valid only
// while the image is.
QImage SubImage(const QImage &image, const TRect &area)
{
    if (!RowResampler(image.depth()))
        return image.copy(ToQRect(area));
    const qsizetype offset =
        qsizetype{area.Top} * image.bytesPerLine() + qsizetype{area.Left} * (image.depth() / 8);
    QImage view(image.constBits() + offset, area.Width(), area.Height(), image.bytesPerLine(),
                image.format());
    view.setColorTable(image.colorTable());
    return view;
}

void SaveFile(const QString &fileName, const TFileContentWriter &write)
{
    WriteFileAtomically(fileName, write, [&](TSaveStep step, const QString &reason) {
        return std::make_exception_ptr(ETranslatableError(step == TSaveStep::Create
                                                              ? N_("Cannot create file %1: %2")
                                                              : N_("Cannot write file %1: %2"),
                                                          {fileName, reason}));
    });
}

} // namespace

void TGraphControl::Invalidate()
{
    PerformInvalidate({0, 0, viewport()->width(), viewport()->height()});
}

bool TGraphControl::PerformInvalidate(const TRect &clientRect)
{
    // Only what lies in the window can be repainted; cutting there first also keeps far-off
    // coordinates out of Qt's integer rectangles.
    TRect visible = clientRect;
    IntersectRect(visible, {0, 0, viewport()->width(), viewport()->height()});
    if (visible.IsEmpty())
        return false;
    const QRect area = ToQRect(visible);
    if (!IsUpdating() && RepaintBatchCount == 0) {
        viewport()->update(area);
        return true;
    }
    SaveInvalidateRegion.Add(area);
    return true;
}

void TGraphControl::InvalidateSelection()
{
    const TRepaintBatch batch(*this);
    for (int32_t i = 0; i < SelectedObjects().Count(); ++i)
        SelectedObjects()[i]->Invalidate();
}

void TGraphControl::ApplyTransparency()
{
    // Opaque, the paint fills every pixel itself, so Qt neither erases the viewport first nor
    // paints what lies under it; transparent, Qt paints the parent under it.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, !fTransparent);
}

void TGraphControl::SetTransparent(bool value)
{
    if (value == fTransparent)
        return;
    fTransparent = value;
    ApplyTransparency();
    Invalidate();
}

void TGraphControl::paintEvent(QPaintEvent *event)
{
    // Qt's backing store already double-buffers the window, so the paint goes straight onto the
    // viewport. The canvas ends its painter when it goes, also when drawing raises; the
    // application object shows what is raised.
    TCanvas canvas;
    if (!canvas.BeginPaint(*viewport()))
        return;
    canvas.SetClipRegion(event->region());
    canvas.Font().Assign(fFont);
    canvas.Brush().SetColor(fColor);
    canvas.Brush().SetStyle(bsSolid);
    if (!fTransparent) {
        const QRect box = event->region().boundingRect();
        canvas.FillRect({box.left(), box.top(), box.right() + 1, box.bottom() + 1});
    }
    AdjustDC(canvas);
    Paint(canvas);
}

void TGraphControl::Paint(TCanvas &canvas)
{
    if (fShowBackground)
        DrawBackground(canvas);
    if (fShowGrid)
        DrawGrid(canvas);
    DrawObjects(canvas, Objects());
    DrawEditStates(canvas);
}

void TGraphControl::DrawBackground(TCanvas &canvas)
{
    const QImage &image = Background().Image();
    if (image.isNull())
        return;
    // Only the part within the clip is drawn: a small repaint of a large picture then costs
    // little. The clip box was rounded to graph units, so one picture pixel more on each side
    // covers the device pixels a picture pixel only partly overlaps.
    TRect area = Inflated(canvas.ClipRect(), 1);
    IntersectRect(area, {0, 0, image.width(), image.height()});
    if (!area.IsEmpty()) {
        const bool oneToOne = canvas.WindowExt() == canvas.ViewportExt();
        const bool upright = int64_t{canvas.ViewportExt().cx} * canvas.WindowExt().cx > 0 &&
                             int64_t{canvas.ViewportExt().cy} * canvas.WindowExt().cy > 0;
        if (canvas.IsVectorRecording()) {
            // A recording may keep the image it is given beyond this picture's lifetime.
            canvas.StretchDraw(area, image.copy(ToQRect(area)));
        } else if (oneToOne || !upright) {
            canvas.StretchDraw(area, SubImage(image, area));
        } else {
            DrawBackgroundScaled(canvas, image, area);
        }
    }
    // The clip stays: on screen it is the region being repainted, and objects outside it are
    // skipped by it.
    canvas.Brush().SetStyle(bsClear);
}

void TGraphControl::DrawBackgroundScaled(TCanvas &canvas, const QImage &image, const TRect &area)
{
    // area reaches a picture pixel beyond the clip on each side, so its device pixels cover the
    // clip even where the clip box was rounded inwards.
    const TRect device = canvas.LPtoDP(area);
    const QRect box = ToQRect(device);
    if (box.isEmpty())
        return;
    const std::vector<int32_t> columns =
        SourceCoordinates(canvas, box.left(), box.right() + 1, image.width(), false);
    const std::vector<int32_t> rows =
        SourceCoordinates(canvas, box.top(), box.bottom() + 1, image.height(), true);
    const QImage scaled = Resample(image, columns, rows);
    if (scaled.isNull())
        return;
    // The scaled pixels go on one to one.
    canvas.SaveState();
    canvas.SetWindowOrg({0, 0});
    canvas.SetWindowExt({1, 1});
    canvas.SetViewportOrg({0, 0});
    canvas.SetViewportExt({1, 1});
    canvas.StretchDraw({box.left(), box.top(), box.right() + 1, box.bottom() + 1}, scaled);
    canvas.RestoreState();
}

void TGraphControl::DrawGrid(TCanvas &canvas)
{
    TRect area = canvas.ClipRect();
    IntersectRect(area, GraphConstraints().BoundsRect());
    if (area.IsEmpty())
        return;
    canvas.Pen().SetMode(pmCopy);
    const TColor color = ColorToRGB(fGridColor);
    // Where the zoom packs several lattice lines into one device pixel, that pixel is set once.
    const auto lines = [&](int32_t first, int32_t last, bool vertical) {
        std::vector<int32_t> result;
        int32_t lastDevice = 0;
        for (int64_t line = CeilToMultiple(first, fGridSize); line < last; line += fGridSize) {
            const int32_t device = DeviceCoordinate(canvas, static_cast<int32_t>(line), vertical);
            if (result.empty() || device != lastDevice) {
                result.push_back(static_cast<int32_t>(line));
                lastDevice = device;
            }
        }
        return result;
    };
    const std::vector<int32_t> columns = lines(area.Left, area.Right, false);
    for (const int32_t y : lines(area.Top, area.Bottom, true)) {
        for (const int32_t x : columns)
            canvas.SetPixel(x, y, color);
    }
}

void TGraphControl::DrawObjects(TCanvas &canvas, const TGraphObjectList &list)
{
    DoBeforeDraw(canvas);
    fCanvasRecall.SetReference(&canvas);
    try {
        fDocument.DrawObjects(canvas, list);
    } catch (...) {
        fCanvasRecall.SetReference(nullptr);
        throw;
    }
    fCanvasRecall.SetReference(nullptr);
    DoAfterDraw(canvas);
}

void TGraphControl::DrawEditStates(TCanvas &canvas)
{
    if (!fHideSelection || hasFocus()) {
        for (int32_t i = 0; i < SelectedObjects().Count(); ++i)
            SelectedObjects()[i]->DrawState(canvas);
    }
    if (fValidMarkedArea && !fMarkedArea.IsEmpty()) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetMode(pmNot);
        canvas.Pen().SetStyle(psDot);
        canvas.Pen().SetWidth(0);
        canvas.Rectangle(fMarkedArea);
    }
}

void TGraphControl::Draw(TCanvas &canvas)
{
    DrawObjects(canvas, Objects());
}

void TGraphControl::Print(TCanvas &canvas, const TRect &rect)
{
    const TRect graph = GraphBounds();
    if (graph.IsEmpty())
        return;
    const int64_t graphWidth = int64_t{graph.Right} - graph.Left;
    const int64_t graphHeight = int64_t{graph.Bottom} - graph.Top;
    const int64_t targetWidth = int64_t{rect.Right} - rect.Left;
    const int64_t targetHeight = int64_t{rect.Bottom} - rect.Top;
    int64_t width = targetWidth;
    int64_t height = targetHeight;
    if (static_cast<double>(targetHeight) / graphHeight >
        static_cast<double>(targetWidth) / graphWidth)
        height = MulDiv(graphHeight, targetWidth, graphWidth);
    else
        width = MulDiv(graphWidth, targetHeight, graphHeight);
    const int64_t left = rect.Left + (targetWidth - width) / 2;
    const int64_t top = rect.Top + (targetHeight - height) / 2;
    const QPicture metafile = GetAsMetafile(Objects());
    canvas.StretchDraw({ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + width),
                        ClampToInt32(top + height)},
                       metafile);
}

QPicture TGraphControl::GetAsMetafile(const TGraphObjectList &list)
{
    const TRect bounds = GetObjectsBounds(list);
    QPicture metafile;
    TCanvas canvas;
    if (!canvas.BeginPaint(metafile))
        throw ETranslatableError(N_("Cannot record a metafile."));
    canvas.SetViewportOrg(
        {AddWrapped(0, -int64_t{bounds.Left}), AddWrapped(0, -int64_t{bounds.Top})});
    DrawObjects(canvas, list);
    canvas.EndPaint();
    metafile.setBoundingRect(QRect(0, 0, ClampToInt32(int64_t{bounds.Right} - bounds.Left + 1),
                                   ClampToInt32(int64_t{bounds.Bottom} - bounds.Top + 1)));
    return metafile;
}

QImage TGraphControl::GetAsBitmap(const TGraphObjectList &list)
{
    const QImage &picture = Background().Image();
    const bool onPicture = fShowBackground && !picture.isNull();
    const TRect bounds = GetObjectsBounds(list);
    const QSize size = onPicture ? picture.size()
                                 : QSize(ClampToInt32(int64_t{bounds.Right} - bounds.Left + 1),
                                         ClampToInt32(int64_t{bounds.Bottom} - bounds.Top + 1));
    QImage bitmap(size, QImage::Format_RGB888);
    // A fresh bitmap is white, and so is what shows through a see-through picture.
    bitmap.fill(Qt::white);
    TCanvas canvas;
    if (bitmap.isNull() || !canvas.BeginPaint(bitmap))
        throw ETranslatableError(N_("Not enough memory for a bitmap of %1 x %2 pixels."),
                                 {QString::number(size.width()), QString::number(size.height())});
    TPoint origin;
    if (onPicture) {
        canvas.StretchDraw({0, 0, size.width(), size.height()}, picture);
    } else {
        // Drawn at graph coordinates, objects away from (0, 0) would miss a bitmap of their
        // bounds' size: the bounds' top-left corner goes to its origin.
        origin = {AddWrapped(0, -int64_t{bounds.Left}), AddWrapped(0, -int64_t{bounds.Top})};
    }
    canvas.SetViewportOrg(origin);
    DrawObjects(canvas, list);
    canvas.EndPaint();
    return bitmap;
}

void TGraphControl::CopyToGraphic(QPicture &graphic)
{
    graphic = GetAsMetafile(Objects());
}

void TGraphControl::CopyToGraphic(QImage &graphic)
{
    graphic = GetAsBitmap(Objects());
}

void TGraphControl::SaveAsMetafile(const QString &fileName)
{
    const QByteArray svg = MetafileToSvg(GetAsMetafile(Objects()));
    SaveFile(fileName, [&](QIODevice &file) { return file.write(svg) == svg.size(); });
}

void TGraphControl::SaveAsBitmap(const QString &fileName)
{
    const QImage bitmap = GetAsBitmap(Objects());
    SaveFile(fileName, [&](QIODevice &file) { return bitmap.save(&file, "BMP"); });
}

QByteArray TGraphControl::MetafileToSvg(const QPicture &metafile)
{
    const QRect bounds = metafile.boundingRect();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(bounds.size());
    generator.setViewBox(QRect(QPoint(0, 0), bounds.size()));
    generator.setResolution(metafile.logicalDpiX());
    QPainter painter;
    if (!painter.begin(&generator))
        throw ETranslatableError(N_("Cannot write an SVG document."));
    painter.drawPicture(-bounds.topLeft(), metafile);
    painter.end();
    return buffer.data();
}

} // namespace talivo
