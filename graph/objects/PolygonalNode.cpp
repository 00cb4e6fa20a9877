#include "graph/objects/PolygonalNode.h"

#include "graph/canvas/GraphNodeRegion.h"
#include "graph/objects/HexagonalNode.h"
#include "graph/objects/PentagonalNode.h"
#include "graph/objects/RectangularNode.h"
#include "graph/objects/RhomboidalNode.h"
#include "graph/objects/TriangularNode.h"

namespace talivo {

namespace {

int32_t Half(int64_t value)
{
    return static_cast<int32_t>(value / 2);
}

// The corners and middles of a bounds rectangle that the polygons are built from.
struct TFrame {
    explicit TFrame(const TRect &rect)
        : L(rect.Left), T(rect.Top), R(rect.Right), B(rect.Bottom),
          cX(Half(int64_t{rect.Left} + rect.Right)), cY(Half(int64_t{rect.Top} + rect.Bottom)),
          Lq(AddWrapped(rect.Left, (int64_t{rect.Right} - rect.Left) / 4)),
          Rq(AddWrapped(rect.Right, -((int64_t{rect.Right} - rect.Left) / 4)))
    {}

    // Lq and Rq lie a quarter of the width inside the left and the right side.
    int32_t L, T, R, B, cX, cY, Lq, Rq;
};

} // namespace

const TGraphObjectClass &TPolygonalNode::StaticClass()
{
    static const TGraphObjectClass objectClass("TPolygonalNode", &TGraphNode::StaticClass(),
                                               nullptr);
    return objectClass;
}

const TGraphObjectClass &TPolygonalNode::ClassType() const
{
    return StaticClass();
}

void TPolygonalNode::Initialize()
{
    DefineVertices(GetBoundsRect(), fVertices);
    TGraphNode::Initialize();
}

void TPolygonalNode::BoundsChanged(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight)
{
    if (dWidth != 0 || dHeight != 0)
        DefineVertices(GetBoundsRect(), fVertices);
    else
        OffsetPoints(fVertices, static_cast<int>(fVertices.size()) - 1, dx, dy);
    TGraphNode::BoundsChanged(dx, dy, dWidth, dHeight);
}

TPoints TPolygonalNode::LinkIntersect(const TPoint &pt, double angle) const
{
    return IntersectLinePolygon(pt, angle, fVertices, static_cast<int>(fVertices.size()) - 1);
}

TPoint TPolygonalNode::GetCenter() const
{
    return CenterOfPoints(fVertices, static_cast<int>(fVertices.size()) - 1);
}

QRegion TPolygonalNode::CreateRegion() const
{
    return CreatePlacedRegion().Placed();
}

TPlacedRegion TPolygonalNode::CreatePlacedRegion() const
{
    return PlacedPolygonRegion(fVertices);
}

void TPolygonalNode::DrawBorder(TCanvas &canvas)
{
    canvas.Polygon(fVertices);
}

TRect TPolygonalNode::VertexTextRect(TRect (*define)(const TPoints &vertices)) const
{
    TRect rect = TGraphNode::QueryMaxTextRect();
    // The vertices follow the bounds once the node is initialised; before, the shape has none.
    if (fVertices.empty())
        return rect;
    TRect area = define(fVertices);
    IntersectRect(area, rect);
    return area;
}

const TGraphObjectClass &TRectangularNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<TRectangularNode>("TRectangularNode", &TPolygonalNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TRectangularNode::ClassType() const
{
    return StaticClass();
}

void TRectangularNode::DefineVertices(const TRect &rect, TPoints &points) const
{
    const TFrame f(rect);
    points = {{f.L, f.T}, {f.R, f.T}, {f.R, f.B}, {f.L, f.B}};
}

const TGraphObjectClass &TTriangularNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<TTriangularNode>("TTriangularNode", &TPolygonalNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TTriangularNode::ClassType() const
{
    return StaticClass();
}

void TTriangularNode::DefineVertices(const TRect &rect, TPoints &points) const
{
    const TFrame f(rect);
    points = {{f.cX, f.T}, {f.R, f.B}, {f.L, f.B}};
}

TRect TTriangularNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &v) {
        return TRect{Half(int64_t{v[0].X} + v[2].X), Half(int64_t{v[0].Y} + v[2].Y),
                     Half(int64_t{v[0].X} + v[1].X), v[1].Y};
    });
}

const TGraphObjectClass &TRhomboidalNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<TRhomboidalNode>("TRhomboidalNode", &TPolygonalNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TRhomboidalNode::ClassType() const
{
    return StaticClass();
}

void TRhomboidalNode::DefineVertices(const TRect &rect, TPoints &points) const
{
    const TFrame f(rect);
    points = {{f.cX, f.T}, {f.R, f.cY}, {f.cX, f.B}, {f.L, f.cY}};
}

TRect TRhomboidalNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &v) {
        return TRect{Half(int64_t{v[0].X} + v[3].X), Half(int64_t{v[0].Y} + v[3].Y),
                     Half(int64_t{v[1].X} + v[2].X), Half(int64_t{v[1].Y} + v[2].Y)};
    });
}

const TGraphObjectClass &TPentagonalNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<TPentagonalNode>("TPentagonalNode", &TPolygonalNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &TPentagonalNode::ClassType() const
{
    return StaticClass();
}

void TPentagonalNode::DefineVertices(const TRect &rect, TPoints &points) const
{
    const TFrame f(rect);
    points = {{f.cX, f.T}, {f.R, f.cY}, {f.Rq, f.B}, {f.Lq, f.B}, {f.L, f.cY}};
}

TRect TPentagonalNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &v) {
        return TRect{v[3].X, Half(int64_t{v[0].Y} + v[4].Y), v[2].X, v[2].Y};
    });
}

const TGraphObjectClass &THexagonalNode::StaticClass()
{
    static const TGraphObjectClass objectClass =
        TGraphObjectClass::Of<THexagonalNode>("THexagonalNode", &TPolygonalNode::StaticClass());
    return objectClass;
}

const TGraphObjectClass &THexagonalNode::ClassType() const
{
    return StaticClass();
}

void THexagonalNode::DefineVertices(const TRect &rect, TPoints &points) const
{
    const TFrame f(rect);
    points = {{f.Lq, f.T}, {f.Rq, f.T}, {f.R, f.cY}, {f.Rq, f.B}, {f.Lq, f.B}, {f.L, f.cY}};
}

TRect THexagonalNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &v) { return TRect{v[0].X, v[0].Y, v[3].X, v[3].Y}; });
}

} // namespace talivo
