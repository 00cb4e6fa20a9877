#include "graph/control/GraphCursors.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <map>

namespace talivo {

namespace {

constexpr int kCursorSize = 32;
constexpr int kCenter = 15;

QPainterPath RoundBox(qreal Left, qreal Top, qreal Right, qreal Bottom, qreal Radius)
{
    QPainterPath Path;
    Path.addRoundedRect(QRectF(Left, Top, Right - Left, Bottom - Top), Radius, Radius);
    return Path;
}

// A hand: white with a black outline, readable on dark and light backgrounds alike.
QPixmap HandPicture(const QPainterPath &Outline)
{
    QPixmap Picture(kCursorSize, kCursorSize);
    Picture.fill(Qt::transparent);
    QPainter Painter(&Picture);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(QPen(Qt::black, 1.2));
    Painter.setBrush(Qt::white);
    Painter.drawPath(Outline.simplified());
    return Picture;
}

QPainterPath FlatHand()
{
    QPainterPath Hand = RoundBox(9, 13, 24, 28, 4);
    Hand = Hand.united(RoundBox(9.5, 6, 13, 17, 1.7));
    Hand = Hand.united(RoundBox(13, 3, 16.5, 17, 1.7));
    Hand = Hand.united(RoundBox(16.5, 4, 20, 17, 1.7));
    Hand = Hand.united(RoundBox(20, 7, 23.5, 17, 1.7));
    QPainterPath Thumb;
    Thumb.moveTo(10, 24);
    Thumb.lineTo(3, 15);
    Thumb.lineTo(5.5, 13);
    Thumb.lineTo(11, 18);
    Thumb.closeSubpath();
    return Hand.united(Thumb);
}

QPainterPath GrabbingHand()
{
    QPainterPath Hand = RoundBox(8, 12, 24, 27, 5);
    for (qreal Left : {9.0, 12.8, 16.6, 20.4}) {
        Hand = Hand.united(RoundBox(Left, 8, Left + 3.8, 15, 1.9));
    }
    return Hand.united(RoundBox(5, 14, 10, 20, 2.5));
}

QPainterPath PointingHand()
{
    QPainterPath Hand = RoundBox(10, 14, 24, 29, 4);
    Hand = Hand.united(RoundBox(11, 1, 14.5, 17, 1.7));
    for (qreal Left : {14.5, 17.7, 20.9}) {
        Hand = Hand.united(RoundBox(Left, 11, Left + 3.2, 17, 1.6));
    }
    return Hand.united(RoundBox(6, 17, 11, 22, 2.5));
}

// Cross-hairs open in the middle, so the point under the pointer stays visible; Extra draws the
// small sign that tells the cross-hairs apart.
template <typename F> QPixmap CrossHairPicture(F &&Extra)
{
    QPixmap Picture(kCursorSize, kCursorSize);
    Picture.fill(Qt::transparent);
    QPainter Painter(&Picture);
    for (const QPen &Pen : {QPen(Qt::white, 3), QPen(Qt::black, 1)}) {
        Painter.setPen(Pen);
        Painter.drawLine(kCenter, 1, kCenter, kCenter - 3);
        Painter.drawLine(kCenter, kCenter + 3, kCenter, kCursorSize - 3);
        Painter.drawLine(1, kCenter, kCenter - 3, kCenter);
        Painter.drawLine(kCenter + 3, kCenter, kCursorSize - 3, kCenter);
        Extra(Painter);
    }
    return Picture;
}

QCursor MakeCursor(TCursor Cursor)
{
    switch (Cursor) {
    case GC_HANDFLAT:
        return QCursor(HandPicture(FlatHand()), 15, 15);
    case GC_HANDGRAB:
        return QCursor(HandPicture(GrabbingHand()), 15, 15);
    case GC_HANDPNT:
        return QCursor(HandPicture(PointingHand()), 12, 1);
    case GC_XHAIR1:
        return QCursor(CrossHairPicture([](QPainter &) {}), kCenter, kCenter);
    case GC_XHAIR2:
        return QCursor(CrossHairPicture([](QPainter &P) { P.drawRect(20, 20, 7, 7); }), kCenter,
                       kCenter);
    case GC_XHAIR3:
        return QCursor(CrossHairPicture([](QPainter &P) { P.drawEllipse(19, 19, 9, 9); }), kCenter,
                       kCenter);
    default:
        return QCursor(CrossHairPicture([](QPainter &P) {
                           P.drawRect(18, 18, 4, 4);
                           P.drawRect(26, 26, 4, 4);
                           P.drawLine(22, 22, 26, 26);
                       }),
                       kCenter, kCenter);
    }
}

Qt::CursorShape CursorShape(TCursor Cursor)
{
    switch (Cursor) {
    case crCross:
        return Qt::CrossCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

std::map<TCursor, QCursor> &DrawnCursors()
{
    static std::map<TCursor, QCursor> Cursors;
    return Cursors;
}

} // namespace

QCursor GraphCursor(TCursor Cursor)
{
    if (Cursor < GC_HANDFLAT || Cursor > GC_XHAIRLINK) {
        return QCursor(CursorShape(Cursor));
    }
    // Pictures need the application's GUI: they are drawn on first use and let go with the
    // application, not after it.
    auto Found = DrawnCursors().find(Cursor);
    if (Found == DrawnCursors().end()) {
        if (DrawnCursors().empty()) {
            qAddPostRoutine([] { DrawnCursors().clear(); });
        }
        Found = DrawnCursors().emplace(Cursor, MakeCursor(Cursor)).first;
    }
    return Found->second;
}

} // namespace talivo
