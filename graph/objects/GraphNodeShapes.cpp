#include "graph/canvas/GraphNodeRegion.h"
#include "graph/objects/CircularFlagNode.h"
#include "graph/objects/CircularMarkNode.h"
#include "graph/objects/CircularNode.h"
#include "graph/objects/EllipticNode.h"
#include "graph/objects/RoundRectangularNode.h"

#include <algorithm>
#include <cmath>

namespace talivo {

namespace {

int32_t Offset(int32_t value, int64_t delta)
{
    return AddWrapped(value, delta);
}

} // namespace

const TGraphObjectClass &TRoundRectangularNode::StaticClass()
{
    static const TGraphObjectClass objectClass = TGraphObjectClass::Of<TRoundRectangularNode>(
        "TRoundRectangularNode", &TGraphNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TRoundRectangularNode::ClassType() const
{
    return StaticClass();
}

int32_t TRoundRectangularNode::CornerSize() const
{
    return std::max(Width(), Height()) / 4;
}

TPoints TRoundRectangularNode::LinkIntersect(const TPoint &pt, double angle) const
{
    return IntersectLineRoundRect(pt, angle, GetBoundsRect(), CornerSize(), CornerSize());
}

QRegion TRoundRectangularNode::CreateRegion() const
{
    return CreatePlacedRegion().Placed();
}

TPlacedRegion TRoundRectangularNode::CreatePlacedRegion() const
{
    return PlacedRoundRectRegion(Left(), Top(), Right(), Bottom(), CornerSize(), CornerSize());
}

void TRoundRectangularNode::DrawBorder(TCanvas &canvas)
{
    canvas.RoundRect(Left(), Top(), Right(), Bottom(), CornerSize(), CornerSize());
}

const TGraphObjectClass &TEllipticNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<TEllipticNode>("TEllipticNode", &TGraphNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TEllipticNode::ClassType() const
{
    return StaticClass();
}

TPoints TEllipticNode::LinkIntersect(const TPoint &pt, double angle) const
{
    return IntersectLineEllipse(pt, angle, GetBoundsRect());
}

QRegion TEllipticNode::CreateRegion() const
{
    return CreatePlacedRegion().Placed();
}

TPlacedRegion TEllipticNode::CreatePlacedRegion() const
{
    return PlacedEllipseRegion(Left(), Top(), Right(), Bottom());
}

void TEllipticNode::DrawBorder(TCanvas &canvas)
{
    canvas.Ellipse(Left(), Top(), Right(), Bottom());
}

const TGraphObjectClass &TCircularNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<TCircularNode>("TCircularNode", &TEllipticNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TCircularNode::ClassType() const
{
    return StaticClass();
}

QRegion TCircularNode::CreateRegion() const
{
    return CreatePlacedRegion().Placed();
}

TPlacedRegion TCircularNode::CreatePlacedRegion() const
{
    return PlacedEllipseRegion(Left(), Top(), Right(), Offset(Top(), Width()));
}

void TCircularNode::DrawBorder(TCanvas &canvas)
{
    canvas.Ellipse(Left(), Top(), Right(), Offset(Top(), Width()));
    SetHeight(Width());
}

const TGraphObjectClass &TCircularMarkNode::StaticClass()
{
    static const TGraphObjectClass objectClass = TGraphObjectClass::Of<TCircularMarkNode>(
        "TCircularMarkNode", &TCircularNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TCircularMarkNode::ClassType() const
{
    return StaticClass();
}

void TCircularMarkNode::DrawBorder(TCanvas &canvas)
{
    const int32_t l = Left();
    const int32_t t = Top();
    const int32_t d = std::min(Width(), Height());
    const int32_t h = d / 2;
    canvas.Ellipse(l, t, Offset(l, d), Offset(t, d));
    canvas.MoveTo(Offset(l, h), t);
    canvas.LineTo(Offset(l, h), Offset(t, d));
    canvas.MoveTo(l, Offset(t, h));
    canvas.LineTo(Offset(l, d), Offset(t, h));
    SetWidth(d);
    SetHeight(d);
}

const TGraphObjectClass &TCircularFlagNode::StaticClass()
{
    static const TGraphObjectClass objectClass = TGraphObjectClass::Of<TCircularFlagNode>(
        "TCircularFlagNode", &TCircularNode::StaticClass(), &TCircularFlagNode::PropTable);
    return objectClass;
}

const TGraphObjectClass &TCircularFlagNode::ClassType() const
{
    return StaticClass();
}

const TPropTable &TCircularFlagNode::PropTable()
{
    static const TPropTable table = [] {
        TPropTable table;
        table.Base = &TCircularNode::StaticClass().PropTable();
        table.Published = {Prop<&TCircularFlagNode::Flag, &TCircularFlagNode::SetFlag>(
            "Flag", TPropKind::Bool, int64_t{0})};
        return table;
    }();
    return table;
}

void TCircularFlagNode::SetFlag(bool value)
{
    if (value != fFlag) {
        fFlag = value;
        Invalidate();
    }
}

void TCircularFlagNode::DrawBorder(TCanvas &canvas)
{
    const int32_t l = Left();
    const int32_t t = Top();
    const double size = static_cast<double>(Width()) + Height();
    const double q = size / 4;
    const double r = size / 8;
    const int32_t e = Nearest(q - r);
    const int32_t d = std::min(Width(), Height());
    canvas.Ellipse(Offset(l, e), Offset(t, e), Offset(l, int64_t{d} - e),
                   Offset(t, int64_t{d} - e));
    if (fFlag && r > 0) {
        const double cX = l + r + e;
        const double cY = t + r + e;
        const double dx = r / 2;
        const double dy = -2 * r;
        const double length = std::sqrt(dx * dx + dy * dy);
        const double uX = dx / length;
        const double uY = dy / length;
        const TPoint pole = {Nearest(cX + dx), Nearest(cY + dy)};
        const TPoint tip = {Nearest(cX + dx + 2 * r / 3), Nearest(cY + dy + 2 * r / 4)};
        canvas.MoveTo(Nearest(cX + r * uX), Nearest(cY + r * uY));
        canvas.LineTo(pole.X, pole.Y);
        canvas.MoveTo(pole.X, pole.Y);
        canvas.LineTo(tip.X, tip.Y);
        canvas.MoveTo(tip.X, tip.Y);
        canvas.LineTo(Nearest(cX + 1.4 * r * uX), Nearest(cY + 1.4 * r * uY));
    }
    SetWidth(d);
    SetHeight(d);
}

} // namespace talivo
