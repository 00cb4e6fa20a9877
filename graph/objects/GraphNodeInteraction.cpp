#include "graph/objects/GraphNode.h"

#include "graph/objects/GraphDocument.h"

#include <array>

namespace talivo {

namespace {

// The order in which overlapping markers win a hit test.
constexpr std::array<uint32_t, 8> kMarkerHitOrder = {
    hzBottomRight, hzBottomLeft, hzTopRight, hzTopLeft, hzBottom, hzRight, hzLeft, hzTop};

bool HasAny(uint32_t HT, uint32_t Zones)
{
    return (HT & Zones) != 0;
}

QRect ToQRect(const TRect &Rect)
{
    return QRect(QPoint(Rect.Left, Rect.Top), QPoint(Rect.Right - 1, Rect.Bottom - 1));
}

} // namespace

TPoint TGraphNode::MarkerCenter(uint32_t Zone) const
{
    const int32_t midX = AddWrapped(fLeft, fWidth / 2);
    const int32_t midY = AddWrapped(fTop, fHeight / 2);
    switch (Zone) {
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

uint32_t TGraphNode::QueryHitTest(const TPoint &Pt) const
{
    if (Selected()) {
        const int32_t radius = NeighborhoodRadius();
        for (uint32_t zone : kMarkerHitOrder)
            if (MakeSquare(MarkerCenter(zone), radius).Contains(Pt))
                return zone;
    }
    uint32_t HT = hzNone;
    if (RegionContains(Pt))
        HT |= hzBody;
    if (Options().Contains(goShowCaption) && TextRect().Contains(Pt))
        HT |= hzCaption;
    return HT;
}

bool TGraphNode::RegionContains(const TPoint &Pt) const
{
    const int64_t x = int64_t{Pt.X} - fRegionShift.x();
    const int64_t y = int64_t{Pt.Y} - fRegionShift.y();
    if (x != static_cast<int>(x) || y != static_cast<int>(y))
        return Region().contains(QPoint(Pt.X, Pt.Y));
    return fRegion.contains(QPoint(static_cast<int>(x), static_cast<int>(y)));
}

bool TGraphNode::RegionIntersects(const TRect &Rect) const
{
    const QRect rect = ToQRect(Rect);
    const int64_t left = int64_t{rect.left()} - fRegionShift.x();
    const int64_t top = int64_t{rect.top()} - fRegionShift.y();
    const int64_t right = int64_t{rect.right()} - fRegionShift.x();
    const int64_t bottom = int64_t{rect.bottom()} - fRegionShift.y();
    if (left != static_cast<int>(left) || top != static_cast<int>(top) ||
        right != static_cast<int>(right) || bottom != static_cast<int>(bottom))
        return Region().intersects(rect);
    return fRegion.intersects(QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
                                    QPoint(static_cast<int>(right), static_cast<int>(bottom))));
}

bool TGraphNode::ContainsRect(const TRect &Rect) const
{
    if (Selected())
        return TGraphObject::ContainsRect(Rect);
    return Showing() && !Rect.IsEmpty() && RegionIntersects(Rect);
}

TCursor TGraphNode::QueryCursor(uint32_t HT) const
{
    const bool resizable = !IsLocked() && IsResizable();
    const bool movable = !IsLocked() && IsMovable();
    switch (HT) {
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
        return TGraphObject::QueryCursor(HT);
    }
}

TObjectSides TGraphNode::QueryMobility(uint32_t HT) const
{
    if (!HasAny(HT, hzMarkerMask))
        return TGraphObject::QueryMobility(HT);
    constexpr uint32_t whole = hzBody | hzCaption;
    TObjectSides sides;
    if (HasAny(HT, hzLeft | hzTopLeft | hzBottomLeft | whole))
        sides.Include(osLeft);
    if (HasAny(HT, hzTop | hzTopLeft | hzTopRight | whole))
        sides.Include(osTop);
    if (HasAny(HT, hzRight | hzTopRight | hzBottomRight | whole))
        sides.Include(osRight);
    if (HasAny(HT, hzBottom | hzBottomLeft | hzBottomRight | whole))
        sides.Include(osBottom);
    return sides;
}

bool TGraphNode::OffsetHitTest(uint32_t HT, int32_t dX, int32_t dY)
{
    const int32_t oldLeft = fLeft;
    const int32_t oldTop = fTop;
    const int32_t oldWidth = fWidth;
    const int32_t oldHeight = fHeight;
    const int32_t movedLeft = AddWrapped(fLeft, dX);
    const int32_t movedTop = AddWrapped(fTop, dY);
    int32_t left = fLeft;
    int32_t top = fTop;
    int32_t width = fWidth;
    int32_t height = fHeight;
    const auto moveLeftEdge = [&] {
        left = movedLeft;
        width = AddWrapped(fWidth, -int64_t{dX});
    };
    const auto moveTopEdge = [&] {
        top = movedTop;
        height = AddWrapped(fHeight, -int64_t{dY});
    };
    const auto moveRightEdge = [&] { width = AddWrapped(fWidth, dX); };
    const auto moveBottomEdge = [&] { height = AddWrapped(fHeight, dY); };
    bool leftMoved = false;
    bool topMoved = false;
    bool resize = true;
    switch (HT & hzMarkerMask) {
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
        return TGraphObject::OffsetHitTest(HT, dX, dY);
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

void TGraphNode::SnapHitTestOffset(uint32_t HT, int32_t &dX, int32_t &dY) const
{
    if (!HasAny(HT, hzMarkerMask))
        return;
    const TPoint corner = {HasAny(HT, hzRight | hzTopRight | hzBottomRight) ? Right() : fLeft,
                           HasAny(HT, hzBottom | hzBottomLeft | hzBottomRight) ? Bottom() : fTop};
    Host().SnapOffset(corner, dX, dY);
}

bool TGraphNode::BeginFollowDrag(uint32_t HT)
{
    if (!HasAny(HT, hzMarkerMask))
        return false;
    return TGraphObject::BeginFollowDrag(HT);
}

} // namespace talivo
