#include "graph/objects/GraphNode.h"

#include "graph/objects/GraphDocument.h"

#include <array>

namespace talivo {

namespace {

// The order in which overlapping markers win a hit test.
constexpr std::array<uint32_t, 8> kMarkerHitOrder = {
    hzBottomRight, hzBottomLeft, hzTopRight, hzTopLeft, hzBottom, hzRight, hzLeft, hzTop};

bool HasAny(uint32_t ht, uint32_t zones)
{
    return (ht & zones) != 0;
}

QRect ToQRect(const TRect &rect)
{
    return QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1));
}

} // namespace

TPoint TGraphNode::MarkerCenter(uint32_t zone) const
{
    const int32_t midX = AddWrapped(fLeft, fWidth / 2);
    const int32_t midY = AddWrapped(fTop, fHeight / 2);
    switch (zone) {
    case hzLeft:
        return {fLeft, midY};
    case hzTop:
        return {midX, fTop};
    case hzRight:
        return {Right(), midY};
    case hzBottom:
        return {midX, Bottom()};
    case hzTopLeft:
        return {fLeft, fTop};
    case hzTopRight:
        return {Right(), fTop};
    case hzBottomLeft:
        return {fLeft, Bottom()};
    default:
        return {Right(), Bottom()};
    }
}

uint32_t TGraphNode::QueryHitTest(const TPoint &pt) const
{
    if (Selected()) {
        const int32_t radius = NeighborhoodRadius();
        for (uint32_t zone : kMarkerHitOrder)
            if (MakeSquare(MarkerCenter(zone), radius).Contains(pt))
                return zone;
    }
    uint32_t ht = hzNone;
    if (RegionContains(pt))
        ht |= hzBody;
    if (Options().Contains(goShowCaption) && TextRect().Contains(pt))
        ht |= hzCaption;
    return ht;
}

bool TGraphNode::RegionContains(const TPoint &pt) const
{
    const int64_t x = int64_t{pt.X} - fRegionShift.x();
    const int64_t y = int64_t{pt.Y} - fRegionShift.y();
    if (x != static_cast<int>(x) || y != static_cast<int>(y))
        return Region().contains(QPoint(pt.X, pt.Y));
    return fRegion.contains(QPoint(static_cast<int>(x), static_cast<int>(y)));
}

bool TGraphNode::RegionIntersects(const TRect &rect) const
{
    const QRect qtRect = ToQRect(rect);
    const int64_t left = int64_t{qtRect.left()} - fRegionShift.x();
    const int64_t top = int64_t{qtRect.top()} - fRegionShift.y();
    const int64_t right = int64_t{qtRect.right()} - fRegionShift.x();
    const int64_t bottom = int64_t{qtRect.bottom()} - fRegionShift.y();
    if (left != static_cast<int>(left) || top != static_cast<int>(top) ||
        right != static_cast<int>(right) || bottom != static_cast<int>(bottom))
        return Region().intersects(qtRect);
    return fRegion.intersects(QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
                                    QPoint(static_cast<int>(right), static_cast<int>(bottom))));
}

bool TGraphNode::ContainsRect(const TRect &rect) const
{
    if (Selected())
        return TGraphObject::ContainsRect(rect);
    return Showing() && !rect.IsEmpty() && RegionIntersects(rect);
}

TCursor TGraphNode::QueryCursor(uint32_t ht) const
{
    const bool resizable = !IsLocked() && IsResizable();
    const bool movable = !IsLocked() && IsMovable();
    switch (ht) {
    case hzLeft:
    case hzRight:
        return resizable ? crSizeWE : crHandPoint;
    case hzTop:
    case hzBottom:
        return resizable ? crSizeNS : crHandPoint;
    case hzTopLeft:
    case hzBottomRight:
        return resizable ? crSizeNWSE : crHandPoint;
    case hzTopRight:
    case hzBottomLeft:
        return resizable ? crSizeNESW : crHandPoint;
    case hzBody:
    case hzCaption:
    case hzBody | hzCaption:
        return movable ? crSizeAll : crHandPoint;
    default:
        return TGraphObject::QueryCursor(ht);
    }
}

TObjectSides TGraphNode::QueryMobility(uint32_t ht) const
{
    if (!HasAny(ht, hzMarkerMask))
        return TGraphObject::QueryMobility(ht);
    constexpr uint32_t whole = hzBody | hzCaption;
    TObjectSides sides;
    if (HasAny(ht, hzLeft | hzTopLeft | hzBottomLeft | whole))
        sides.Include(osLeft);
    if (HasAny(ht, hzTop | hzTopLeft | hzTopRight | whole))
        sides.Include(osTop);
    if (HasAny(ht, hzRight | hzTopRight | hzBottomRight | whole))
        sides.Include(osRight);
    if (HasAny(ht, hzBottom | hzBottomLeft | hzBottomRight | whole))
        sides.Include(osBottom);
    return sides;
}

bool TGraphNode::OffsetHitTest(uint32_t ht, int32_t dx, int32_t dy)
{
    const int32_t oldLeft = fLeft;
    const int32_t oldTop = fTop;
    const int32_t oldWidth = fWidth;
    const int32_t oldHeight = fHeight;
    const int32_t movedLeft = AddWrapped(fLeft, dx);
    const int32_t movedTop = AddWrapped(fTop, dy);
    int32_t left = fLeft;
    int32_t top = fTop;
    int32_t width = fWidth;
    int32_t height = fHeight;
    const auto moveLeftEdge = [&] {
        left = movedLeft;
        width = AddWrapped(fWidth, -int64_t{dx});
    };
    const auto moveTopEdge = [&] {
        top = movedTop;
        height = AddWrapped(fHeight, -int64_t{dy});
    };
    const auto moveRightEdge = [&] { width = AddWrapped(fWidth, dx); };
    const auto moveBottomEdge = [&] { height = AddWrapped(fHeight, dy); };
    bool leftMoved = false;
    bool topMoved = false;
    bool resize = true;
    switch (ht & hzMarkerMask) {
    case hzLeft:
        moveLeftEdge();
        leftMoved = true;
        break;
    case hzTop:
        moveTopEdge();
        topMoved = true;
        break;
    case hzRight:
        moveRightEdge();
        break;
    case hzBottom:
        moveBottomEdge();
        break;
    case hzTopLeft:
        moveLeftEdge();
        moveTopEdge();
        leftMoved = true;
        topMoved = true;
        break;
    case hzTopRight:
        moveTopEdge();
        moveRightEdge();
        topMoved = true;
        break;
    case hzBottomLeft:
        moveLeftEdge();
        moveBottomEdge();
        leftMoved = true;
        break;
    case hzBottomRight:
        moveRightEdge();
        moveBottomEdge();
        break;
    case hzBody:
    case hzCaption:
    case hzBody | hzCaption:
        left = movedLeft;
        top = movedTop;
        resize = false;
        break;
    default:
        return TGraphObject::OffsetHitTest(ht, dx, dy);
    }
    if (!(resize ? IsResizable() : IsMovable()))
        return false;
    SetBounds(left, top, width, height);

    // A resize from the left or top that reaches the minimum size or a constraint would push the
    // opposite edge; the change in that direction is refused instead.
    const int32_t minSize = Owner()->MinNodeSize();
    const bool leftRefused = leftMoved && (fWidth < minSize || AddWrapped(oldLeft, oldWidth) !=
                                                                   AddWrapped(fLeft, fWidth));
    const bool topRefused = topMoved && (fHeight < minSize || AddWrapped(oldTop, oldHeight) !=
                                                                  AddWrapped(fTop, fHeight));
    if (leftRefused && topMoved)
        SetBounds(oldLeft, oldTop, oldWidth, oldHeight);
    else if (leftRefused)
        SetBounds(oldLeft, fTop, oldWidth, fHeight);
    else if (topRefused)
        SetBounds(fLeft, oldTop, fWidth, oldHeight);
    return true;
}

void TGraphNode::SnapHitTestOffset(uint32_t ht, int32_t &dx, int32_t &dy) const
{
    if (!HasAny(ht, hzMarkerMask))
        return;
    const TPoint corner = {HasAny(ht, hzRight | hzTopRight | hzBottomRight) ? Right() : fLeft,
                           HasAny(ht, hzBottom | hzBottomLeft | hzBottomRight) ? Bottom() : fTop};
    Host().SnapOffset(corner, dx, dy);
}

bool TGraphNode::BeginFollowDrag(uint32_t ht)
{
    if (!HasAny(ht, hzMarkerMask))
        return false;
    return TGraphObject::BeginFollowDrag(ht);
}

} // namespace talivo
