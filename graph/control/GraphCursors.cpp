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

QPainterPath RoundBox(qreal left, qreal top, qreal right, qreal bottom, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(left, top, right - left, bottom - top), radius, radius);
    return path;
}

// A hand: white with a black outline, readable on dark and light backgrounds alike.
QPixmap HandPicture(const QPainterPath &outline)
{
    QPixmap picture(kCursorSize, kCursorSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(outline.simplified());
    return picture;
}

QPainterPath FlatHand()
{
    QPainterPath hand = RoundBox(9, 13, 24, 28, 4);
    hand = hand.united(RoundBox(9.5, 6, 13, 17, 1.7));
    hand = hand.united(RoundBox(13, 3, 16.5, 17, 1.7));
    hand = hand.united(RoundBox(16.5, 4, 20, 17, 1.7));
    hand = hand.united(RoundBox(20, 7, 23.5, 17, 1.7));
    QPainterPath thumb;
    thumb.moveTo(10, 24);
    thumb.lineTo(3, 15);
    thumb.lineTo(5.5, 13);
    thumb.lineTo(11, 18);
    thumb.closeSubpath();
    return hand.united(thumb);
}

QPainterPath GrabbingHand()
{
    QPainterPath hand = RoundBox(8, 12, 24, 27, 5);
    for (qreal left : {9.0, 12.8, 16.6, 20.4})
        hand = hand.united(RoundBox(left, 8, left + 3.8, 15, 1.9));
    return hand.united(RoundBox(5, 14, 10, 20, 2.5));
}

QPainterPath PointingHand()
{
    QPainterPath hand = RoundBox(10, 14, 24, 29, 4);
    hand = hand.united(RoundBox(11, 1, 14.5, 17, 1.7));
    for (qreal left : {14.5, 17.7, 20.9})
        hand = hand.united(RoundBox(left, 11, left + 3.2, 17, 1.6));
    return hand.united(RoundBox(6, 17, 11, 22, 2.5));
}

// Cross-hairs open in the middle, so the point under the pointer stays visible; extra draws the
// small sign that tells the cross-hairs apart.
template <typename F> QPixmap CrossHairPicture(F &&extra)
{
    QPixmap picture(kCursorSize, kCursorSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (const QPen &pen : {QPen(Qt::white, 3), QPen(Qt::black, 1)}) {
        painter.setPen(pen);
        painter.drawLine(kCenter, 1, kCenter, kCenter - 3);
        painter.drawLine(kCenter, kCenter + 3, kCenter, kCursorSize - 3);
        painter.drawLine(1, kCenter, kCenter - 3, kCenter);
        painter.drawLine(kCenter + 3, kCenter, kCursorSize - 3, kCenter);
        extra(painter);
    }
    return picture;
}

QCursor MakeCursor(TCursor cursor)
{
    switch (cursor) {
    case GC_HANDFLAT:
        return QCursor(HandPicture(FlatHand()), 15, 15);
    case GC_HANDGRAB:
        return QCursor(HandPicture(GrabbingHand()), 15, 15);
    case GC_HANDPNT:
        return QCursor(HandPicture(PointingHand()), 12, 1);
    case GC_XHAIR1:
        return QCursor(CrossHairPicture([](QPainter &) {}), kCenter, kCenter);
    case GC_XHAIR2:
        return QCursor(CrossHairPicture([](QPainter &p) { p.drawRect(20, 20, 7, 7); }), kCenter,
                       kCenter);
    case GC_XHAIR3:
        return QCursor(CrossHairPicture([](QPainter &p) { p.drawEllipse(19, 19, 9, 9); }), kCenter,
                       kCenter);
    default:
        return QCursor(CrossHairPicture([](QPainter &p) {
                           p.drawRect(18, 18, 4, 4);
                           p.drawRect(26, 26, 4, 4);
                           p.drawLine(22, 22, 26, 26);
                       }),
                       kCenter, kCenter);
    }
}

Qt::CursorShape CursorShape(TCursor cursor)
{
    switch (cursor) {
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
    static std::map<TCursor, QCursor> cursors;
    return cursors;
}

} // namespace

QCursor GraphCursor(TCursor cursor)
{
    if (cursor < GC_HANDFLAT || cursor > GC_XHAIRLINK)
        return QCursor(CursorShape(cursor));
    // Pictures need the application's GUI: they are drawn on first use and let go with the
    // application, not after it.
    auto found = DrawnCursors().find(cursor);
    if (found == DrawnCursors().end()) {
        if (DrawnCursors().empty())
            qAddPostRoutine([] { DrawnCursors().clear(); });
        found = DrawnCursors().emplace(cursor, MakeCursor(cursor)).first;
    }
    return found->second;
}

} // namespace talivo
