#include "graph/canvas/Canvas.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace talivo {

namespace {

// The raster operation for a pen mode that combines the pen with the destination.
std::optional<QPainter::CompositionMode> RasterOperation(TPenMode mode)
{
    switch (mode) {
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmMergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    default:
        return std::nullopt;
    }
}

QPainter::CompositionMode CopyComposition(int32_t copyMode)
{
    switch (copyMode) {
    case cmSrcPaint:
        return QPainter::RasterOp_SourceOrDestination;
    case cmSrcAnd:
        return QPainter::RasterOp_SourceAndDestination;
    case cmSrcInvert:
        return QPainter::RasterOp_SourceXorDestination;
    case cmNotSrcCopy:
        return QPainter::RasterOp_NotSource;
    case cmDstInvert:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QColor Inverted(const QColor &color)
{
    return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue(), color.alpha());
}

// The largest circle, or run of rectangles, drawn from an image of it.
constexpr int kMaxSpriteSide = 128;

// The image kept under key, painted on a transparent image of the size when first asked for.
// Bounded, so that ever new colours and shapes do not hoard memory.
template <typename TImages, typename TKey, typename TPaint>
const QImage &KeptImage(TImages &images, const TKey &key, const QSize &size, const TPaint &paint)
{
    const auto known = images.find(key);
    if (known != images.end())
        return known->second;
    if (images.size() >= 256)
        images.clear();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    paint(painter);
    painter.end();
    return images.emplace(key, std::move(image)).first->second;
}

// A circle of the size with the outline and fill the canvas gives the painter, kept for the
// next circle of the same size and tools.
struct TSpriteKey {
    int Width;
    int Height;
    QRgb Outline;
    int OutlineWidth;
    QRgb Fill;
    friend bool operator==(const TSpriteKey &, const TSpriteKey &) = default;
};

struct TSpriteHash {
    size_t operator()(const TSpriteKey &key) const
    {
        return qHashMulti(0, key.Width, key.Height, key.Outline, key.OutlineWidth, key.Fill);
    }
};

const QImage &CircleSprite(const QSize &size, const QPen &pen, const QColor &fill)
{
    static auto *const sprites = new std::unordered_map<TSpriteKey, QImage, TSpriteHash>;
    const TSpriteKey key{size.width(), size.height(), pen.color().rgba(), pen.width(), fill.rgba()};
    return KeptImage(*sprites, key, size, [&](QPainter &painter) {
        painter.setPen(pen);
        painter.setBrush(fill);
        painter.drawEllipse(QRectF(0, 0, size.width() - 1, size.height() - 1));
    });
}

QPolygon DevicePolygon(const TCanvas &canvas, const TPoints &points)
{
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const TPoint &point : points) {
        const TPoint d = canvas.LPtoDP(point);
        polygon.append(QPoint(d.X, d.Y));
    }
    return polygon;
}

} // namespace

bool TCanvas::PrepareShape(bool filled)
{
    if (!fPainter || fPen.Mode() == pmNop)
        return false;
    const double scale = ScaleX();
    if (fApplied.Valid && fApplied.Filled == filled && fApplied.Scale == scale &&
        fApplied.Pen == fPen && fApplied.Brush == fBrush) {
        if (fApplied.Draws) {
            if (!fApplied.PenOnPainter) {
                fPainter->setPen(fApplied.QtPen);
                fApplied.PenOnPainter = true;
            }
            fPainter->setCompositionMode(
                static_cast<QPainter::CompositionMode>(fApplied.Composition));
        }
        return fApplied.Draws;
    }
    fApplied.Valid = true;
    fApplied.Filled = filled;
    fApplied.Scale = scale;
    fApplied.Pen.Assign(fPen);
    fApplied.Brush.Assign(fBrush);
    fApplied.Draws = false;
    fApplied.Plain = false;
    QPen pen = fPen.ToQPen(scale);
    QBrush brush = filled ? fBrush.ToQBrush() : QBrush(Qt::NoBrush);
    QPainter::CompositionMode composition = QPainter::CompositionMode_SourceOver;
    const auto recolour = [&](const QColor &penColor, const QColor &brushColor) {
        pen.setColor(penColor);
        brush.setColor(brushColor);
    };
    switch (fPen.Mode()) {
    case pmBlack:
        recolour(Qt::black, Qt::black);
        break;
    case pmWhite:
        recolour(Qt::white, Qt::white);
        break;
    case pmNotCopy:
        recolour(Inverted(pen.color()), Inverted(brush.color()));
        break;
    default:
        if (!fVectorRecording)
            composition = RasterOperation(fPen.Mode()).value_or(composition);
        break;
    }
    if (pen.style() == Qt::NoPen && brush.style() == Qt::NoBrush)
        return false;
    fPainter->setPen(pen);
    fPainter->setBrush(brush);
    fPainter->setCompositionMode(composition);
    fApplied.Draws = true;
    fApplied.Composition = composition;
    fApplied.Plain = !fVectorRecording && composition == QPainter::CompositionMode_SourceOver &&
                     pen.style() == Qt::SolidLine && pen.width() <= 1 &&
                     pen.color().alpha() == 255 && brush.style() == Qt::SolidPattern &&
                     brush.color().alpha() == 255 &&
                     !fPainter->testRenderHint(QPainter::Antialiasing) &&
                     fPainter->deviceTransform().type() <= QTransform::TxTranslate;
    fApplied.PenColor = pen.color();
    fApplied.BrushColor = brush.color();
    fApplied.QtPen = pen;
    fApplied.PenOnPainter = true;
    return true;
}

QRectF TCanvas::OutlineRect(int32_t left, int32_t top, int32_t right, int32_t bottom) const
{
    QRect box = DeviceBox(left, top, right, bottom);
    const QPen &pen = fPainter->pen();
    const int width = pen.width();
    if (fPen.Style() == psInsideFrame && pen.style() != Qt::NoPen && width > 1) {
        // Qt's aliased stroke of width w along x covers x - w/2 .. x - w/2 + w - 1.
        box.adjust(width / 2, width / 2, -((width - 1) / 2), -((width - 1) / 2));
        box.setRight(std::max(box.right(), box.left()));
        box.setBottom(std::max(box.bottom(), box.top()));
    }
    // The outline runs along right()/bottom() (inclusive); the fill stops before them.
    return QRectF(box.left(), box.top(), box.right() - box.left(), box.bottom() - box.top());
}

void TCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!PrepareShape(true)) {
        FlushRun();
        return;
    }
    // The outline's corners lie on whole pixels. The outline covers the box's edges inclusive,
    // the fill what lies within them; the painter's own rectangle differs only where it meets
    // the edge of the device, or has no extent.
    const QRect box = OutlineRect(left, top, right, bottom).toRect();
    const QRect outline(box.topLeft(), QSize(box.width() + 1, box.height() + 1));
    if (!fApplied.Plain || !fDeviceRect.contains(outline)) {
        FlushRun();
        fPainter->drawRect(box);
        return;
    }
    if (fInRun) {
        fRun.push_back(
            {box, fApplied.QtPen.width(), fApplied.PenColor.rgba(), fApplied.BrushColor.rgba()});
        return;
    }
    if (box.width() < 1 || box.height() < 1) {
        fPainter->drawRect(box);
        return;
    }
    fPainter->fillRect(outline, fApplied.PenColor);
    if (box.width() > 1 && box.height() > 1)
        fPainter->fillRect(outline.adjusted(1, 1, -1, -1), fApplied.BrushColor);
}

void TCanvas::DrawRunRectangle(QPainter &painter, const TRunRectangle &rectangle)
{
    const QRect &box = rectangle.Box;
    if (box.width() < 1 || box.height() < 1) {
        // No extent: whatever the painter makes of it (a line, or nothing), outside the fill
        // path. Plain tools are these.
        painter.setPen(QPen(QColor::fromRgb(rectangle.Pen), rectangle.PenWidth, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(QColor::fromRgb(rectangle.Brush));
        painter.drawRect(box);
        return;
    }
    const QRect outline(box.topLeft(), QSize(box.width() + 1, box.height() + 1));
    painter.fillRect(outline, QColor::fromRgb(rectangle.Pen));
    if (box.width() > 1 && box.height() > 1)
        painter.fillRect(outline.adjusted(1, 1, -1, -1), QColor::fromRgb(rectangle.Brush));
}

const QImage &TCanvas::RunImage(const std::vector<uint32_t> &key, const QRect &bounds,
                                const std::vector<TRunRectangle> &run)
{
    struct THash {
        size_t operator()(const std::vector<uint32_t> &words) const
        {
            return qHashRange(words.begin(), words.end());
        }
    };
    static auto *const sprites = new std::unordered_map<std::vector<uint32_t>, QImage, THash>;
    return KeptImage(*sprites, key, bounds.size(), [&](QPainter &painter) {
        painter.translate(-bounds.topLeft());
        for (const TRunRectangle &rectangle : run)
            DrawRunRectangle(painter, rectangle);
    });
}

void TCanvas::BeginRectangleRun()
{
    FlushRun();
    fInRun = true;
}

void TCanvas::EndRectangleRun()
{
    FlushRun();
    fInRun = false;
}

void TCanvas::DrawRun()
{
    std::vector<TRunRectangle> run;
    run.swap(fRun);
    if (!fPainter)
        return;
    // The rectangles were plain, drawn over what lies below; the painter may meanwhile hold the
    // composition of a shape about to be drawn.
    const QPainter::CompositionMode composition = fPainter->compositionMode();
    fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRect bounds;
    for (const TRunRectangle &rectangle : run) {
        const QRect &box = rectangle.Box;
        bounds |= QRect(box.topLeft(), QSize(box.width() + 1, box.height() + 1));
    }
    if (run.size() == 1 || bounds.width() > kMaxSpriteSide || bounds.height() > kMaxSpriteSide) {
        // Markers far apart, around a big object: an image of them would be mostly empty. The
        // tools on the painter may be those of a shape about to be drawn.
        const QPen pen = fPainter->pen();
        const QBrush brush = fPainter->brush();
        for (const TRunRectangle &rectangle : run)
            DrawRunRectangle(*fPainter, rectangle);
        fPainter->setPen(pen);
        fPainter->setBrush(brush);
        fPainter->setCompositionMode(composition);
        return;
    }
    // The image is keyed by the rectangles relative to its corner, so that every object of one
    // size shares it wherever it lies.
    std::vector<uint32_t> &key = fRunKey;
    key.clear();
    for (const TRunRectangle &rectangle : run) {
        const QRect &box = rectangle.Box;
        key.insert(key.end(),
                   {uint32_t(box.left() - bounds.left()), uint32_t(box.top() - bounds.top()),
                    uint32_t(box.width()), uint32_t(box.height()), uint32_t(rectangle.PenWidth),
                    rectangle.Pen, rectangle.Brush});
    }
    // Opaque pixels replace what lies below and transparent ones keep it, as the fills would.
    fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    fPainter->drawImage(bounds.topLeft(), RunImage(key, bounds, run));
    fPainter->setCompositionMode(composition);
}

void TCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    FlushRun();
    if (!PrepareShape(true))
        return;
    const QRectF outline = OutlineRect(left, top, right, bottom);
    const QRect box = outline.toRect();
    // Marks are small circles in a few colours, drawn by the thousand: such a circle, inside the
    // device, is put down as an image of it drawn once, which gives the same pixels (the
    // painter draws a circle the same wherever it lies; near the device's edge and for flatter
    // ellipses it does not).
    const QSize size(box.width() + 1, box.height() + 1);
    if (fApplied.Plain && size.width() <= kMaxSpriteSide &&
        std::abs(box.width() - box.height()) <= 1 &&
        fDeviceRect.contains(QRect(box.topLeft(), size))) {
        fPainter->drawImage(box.topLeft(), CircleSprite(size, fApplied.QtPen, fApplied.BrushColor));
        return;
    }
    fPainter->drawEllipse(outline);
}

void TCanvas::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                        int32_t cornerWidth, int32_t cornerHeight)
{
    FlushRun();
    if (!PrepareShape(true))
        return;
    const double radiusX = std::abs(cornerWidth * ScaleX()) / 2.0;
    const double radiusY = std::abs(cornerHeight * ScaleY()) / 2.0;
    fPainter->drawRoundedRect(OutlineRect(left, top, right, bottom), radiusX, radiusY,
                              Qt::AbsoluteSize);
}

void TCanvas::Polygon(const TPoints &points)
{
    FlushRun();
    if (points.size() < 2 || !PrepareShape(true))
        return;
    fPainter->drawPolygon(DevicePolygon(*this, points), Qt::OddEvenFill);
}

void TCanvas::Polyline(const TPoints &points)
{
    FlushRun();
    if (points.size() < 2 || !PrepareShape(false))
        return;
    fPainter->drawPolyline(DevicePolygon(*this, points));
}

void TCanvas::LineTo(int32_t x, int32_t y)
{
    FlushRun();
    const TPoint from = LPtoDP(fPenPos);
    fPenPos = {x, y};
    if (!PrepareShape(false))
        return;
    const TPoint to = LPtoDP(fPenPos);
    fPainter->drawLine(from.X, from.Y, to.X, to.Y);
}

void TCanvas::FillRect(const TRect &rect)
{
    FlushRun();
    if (!fPainter || fBrush.Style() == bsClear)
        return;
    const TRect d = LPtoDP(rect);
    const QRect area = QRect(QPoint(std::min(d.Left, d.Right), std::min(d.Top, d.Bottom)),
                             QPoint(std::max(d.Left, d.Right) - 1, std::max(d.Top, d.Bottom) - 1));
    if (area.isEmpty())
        return;
    fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    fPainter->fillRect(area, fBrush.ToQBrush());
}

void TCanvas::FrameRect(const TRect &rect)
{
    if (rect.IsEmpty())
        return;
    // The system's frame is one logical unit wide on every side.
    FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1});
    FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
    FillRect({rect.Left, rect.Top + 1, rect.Left + 1, rect.Bottom - 1});
    FillRect({rect.Right - 1, rect.Top + 1, rect.Right, rect.Bottom - 1});
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor color)
{
    FlushRun();
    if (!fPainter)
        return;
    const TPoint d = LPtoDP(TPoint{x, y});
    fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    fPainter->fillRect(QRect(d.X, d.Y, 1, 1), ColorToQColor(color));
}

void TCanvas::StretchDraw(const TRect &rect, const QImage &image)
{
    FlushRun();
    if (!fPainter || image.isNull())
        return;
    const TRect d = LPtoDP(rect);
    const QRect target(QPoint(std::min(d.Left, d.Right), std::min(d.Top, d.Bottom)),
                       QPoint(std::max(d.Left, d.Right) - 1, std::max(d.Top, d.Bottom) - 1));
    if (target.isEmpty())
        return;
    fPainter->setCompositionMode(fVectorRecording ? QPainter::CompositionMode_SourceOver
                                                  : CopyComposition(fCopyMode));
    fPainter->drawImage(target, image);
}

void TCanvas::StretchDraw(const TRect &rect, const QPicture &picture)
{
    FlushRun();
    const QRect source = picture.boundingRect();
    if (!fPainter || source.isEmpty())
        return;
    const TRect d = LPtoDP(rect);
    const QRectF target(QPointF(std::min(d.Left, d.Right), std::min(d.Top, d.Bottom)),
                        QPointF(std::max(d.Left, d.Right), std::max(d.Top, d.Bottom)));
    if (target.isEmpty())
        return;
    fPainter->save();
    fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    fPainter->translate(target.topLeft());
    fPainter->scale(target.width() / source.width(), target.height() / source.height());
    fPainter->translate(-source.topLeft());
    fPainter->drawPicture(0, 0, picture);
    fPainter->restore();
}

} // namespace talivo
