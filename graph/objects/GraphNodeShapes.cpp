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

int32_t Offset(int32_t Value, int64_t Delta)
{
    return AddWrapped(Value, Delta);
}

} // namespace

const TGraphObjectClass &TRoundRectangularNode::StaticClass()
{
    static const TGraphObjectClass Class = TGraphObjectClass::Of<TRoundRectangularNode>(
        "TRoundRectangularNode", &TGraphNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TRoundRectangularNode::ClassType() const
{
    return StaticClass();
}

int32_t TRoundRectangularNode::CornerSize() const
{
    return std::max(Width(), Height()) / 4;
}

TPoints TRoundRectangularNode::LinkIntersect(const TPoint &Pt, double Angle) const
{
    return IntersectLineRoundRect(Pt, Angle, GetBoundsRect(), CornerSize(), CornerSize());
}

QRegion TRoundRectangularNode::CreateRegion() const
{
    return CreatePlacedRegion().Placed();
}

TPlacedRegion TRoundRectangularNode::CreatePlacedRegion() const
{
    return PlacedRoundRectRegion(Left(), Top(), Right(), Bottom(), CornerSize(), CornerSize());
}

void TRoundRectangularNode::DrawBorder(TCanvas &Canvas)
{
    Canvas.RoundRect(Left(), Top(), Right(), Bottom(), CornerSize(), CornerSize());
}

const TGraphObjectClass &TEllipticNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<TEllipticNode>("TEllipticNode", &TGraphNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TEllipticNode::ClassType() const
{
    return StaticClass();
}

TPoints TEllipticNode::LinkIntersect(const TPoint &Pt, double Angle) const
{
    return IntersectLineEllipse(Pt, Angle, GetBoundsRect());
}

QRegion TEllipticNode::CreateRegion() const
{
    return CreatePlacedRegion().Placed();
}

TPlacedRegion TEllipticNode::CreatePlacedRegion() const
{
    return PlacedEllipseRegion(Left(), Top(), Right(), Bottom());
}

void TEllipticNode::DrawBorder(TCanvas &Canvas)
{
    Canvas.Ellipse(Left(), Top(), Right(), Bottom());
}

const TGraphObjectClass &TCircularNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<TCircularNode>("TCircularNode", &TEllipticNode::StaticClass());
    return Class;
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

void TCircularNode::DrawBorder(TCanvas &Canvas)
{
    Canvas.Ellipse(Left(), Top(), Right(), Offset(Top(), Width()));
    SetHeight(Width());
}

const TGraphObjectClass &TCircularMarkNode::StaticClass()
{
    static const TGraphObjectClass Class = TGraphObjectClass::Of<TCircularMarkNode>(
        "TCircularMarkNode", &TCircularNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TCircularMarkNode::ClassType() const
{
    return StaticClass();
}

void TCircularMarkNode::DrawBorder(TCanvas &Canvas)
{
    const int32_t L = Left();
    const int32_t T = Top();
    const int32_t D = std::min(Width(), Height());
    const int32_t h = D / 2;
    Canvas.Ellipse(L, T, Offset(L, D), Offset(T, D));
    Canvas.MoveTo(Offset(L, h), T);
    Canvas.LineTo(Offset(L, h), Offset(T, D));
    Canvas.MoveTo(L, Offset(T, h));
    Canvas.LineTo(Offset(L, D), Offset(T, h));
    SetWidth(D);
    SetHeight(D);
}

const TGraphObjectClass &TCircularFlagNode::StaticClass()
{
    static const TGraphObjectClass Class = TGraphObjectClass::Of<TCircularFlagNode>(
        "TCircularFlagNode", &TCircularNode::StaticClass(), &TCircularFlagNode::PropTable);
    return Class;
}

const TGraphObjectClass &TCircularFlagNode::ClassType() const
{
    return StaticClass();
}

const TPropTable &TCircularFlagNode::PropTable()
{
    static const TPropTable Table = [] {
        TPropTable table;
        table.Base = &TCircularNode::StaticClass().PropTable();
        table.Published = {Prop<&TCircularFlagNode::Flag, &TCircularFlagNode::SetFlag>(
            "Flag", TPropKind::Bool, int64_t{0})};
        return table;
    }();
    return Table;
}

void TCircularFlagNode::SetFlag(bool Value)
{
    if (Value != fFlag) {
        fFlag = Value;
        Invalidate();
    }
}

void TCircularFlagNode::DrawBorder(TCanvas &Canvas)
{
    const int32_t L = Left();
    const int32_t T = Top();
    const double size = static_cast<double>(Width()) + Height();
    const double q = size / 4;
    const double r = size / 8;
    const int32_t e = Nearest(q - r);
    const int32_t D = std::min(Width(), Height());
    Canvas.Ellipse(Offset(L, e), Offset(T, e), Offset(L, int64_t{D} - e),
                   Offset(T, int64_t{D} - e));
    if (fFlag && r > 0) {
        const double cX = L + r + e;
        const double cY = T + r + e;
        const double dX = r / 2;
        const double dY = -2 * r;
        const double length = std::sqrt(dX * dX + dY * dY);
        const double uX = dX / length;
        const double uY = dY / length;
        const TPoint pole = {Nearest(cX + dX), Nearest(cY + dY)};
        const TPoint tip = {Nearest(cX + dX + 2 * r / 3), Nearest(cY + dY + 2 * r / 4)};
        Canvas.MoveTo(Nearest(cX + r * uX), Nearest(cY + r * uY));
        Canvas.LineTo(pole.X, pole.Y);
        Canvas.MoveTo(pole.X, pole.Y);
        Canvas.LineTo(tip.X, tip.Y);
        Canvas.MoveTo(tip.X, tip.Y);
        Canvas.LineTo(Nearest(cX + 1.4 * r * uX), Nearest(cY + 1.4 * r * uY));
    }
    SetWidth(D);
    SetHeight(D);
}

} // namespace talivo
