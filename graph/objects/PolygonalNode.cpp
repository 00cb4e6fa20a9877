#include "graph/objects/PolygonalNode.h"

#include "graph/canvas/GraphNodeRegion.h"
#include "graph/objects/HexagonalNode.h"
#include "graph/objects/PentagonalNode.h"
#include "graph/objects/RectangularNode.h"
#include "graph/objects/RhomboidalNode.h"
#include "graph/objects/TriangularNode.h"

namespace talivo {

namespace {

int32_t Half(int64_t Value)
{
    return static_cast<int32_t>(Value / 2);
}

// The corners and middles of a bounds rectangle that the polygons are built from.
struct TFrame {
    explicit TFrame(const TRect &Rect)
        : L(Rect.Left), T(Rect.Top), R(Rect.Right), B(Rect.Bottom),
          cX(Half(int64_t{Rect.Left} + Rect.Right)), cY(Half(int64_t{Rect.Top} + Rect.Bottom)),
          Lq(AddWrapped(Rect.Left, (int64_t{Rect.Right} - Rect.Left) / 4)),
          Rq(AddWrapped(Rect.Right, -((int64_t{Rect.Right} - Rect.Left) / 4)))
    {}

    // Lq and Rq lie a quarter of the width inside the left and the right side.
    int32_t L, T, R, B, cX, cY, Lq, Rq;
};

} // namespace

const TGraphObjectClass &TPolygonalNode::StaticClass()
{
    static const TGraphObjectClass Class("TPolygonalNode", &TGraphNode::StaticClass(), nullptr);
    return Class;
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

void TPolygonalNode::BoundsChanged(int32_t dX, int32_t dY, int32_t dWidth, int32_t dHeight)
{
    if (dWidth != 0 || dHeight != 0)
        DefineVertices(GetBoundsRect(), fVertices);
    else
        OffsetPoints(fVertices, static_cast<int>(fVertices.size()) - 1, dX, dY);
    TGraphNode::BoundsChanged(dX, dY, dWidth, dHeight);
}

TPoints TPolygonalNode::LinkIntersect(const TPoint &Pt, double Angle) const
{
    return IntersectLinePolygon(Pt, Angle, fVertices, static_cast<int>(fVertices.size()) - 1);
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

void TPolygonalNode::DrawBorder(TCanvas &Canvas)
{
    Canvas.Polygon(fVertices);
}

TRect TPolygonalNode::VertexTextRect(TRect (*Define)(const TPoints &Vertices)) const
{
    TRect rect = TGraphNode::QueryMaxTextRect();
    // The vertices follow the bounds once the node is initialised; before, the shape has none.
    if (fVertices.empty())
        return rect;
    TRect area = Define(fVertices);
    IntersectRect(area, rect);
    return area;
}

const TGraphObjectClass &TRectangularNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<TRectangularNode>("TRectangularNode", &TPolygonalNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TRectangularNode::ClassType() const
{
    return StaticClass();
}

void TRectangularNode::DefineVertices(const TRect &Rect, TPoints &Points) const
{
    const TFrame f(Rect);
    Points = {{f.L, f.T}, {f.R, f.T}, {f.R, f.B}, {f.L, f.B}};
}

const TGraphObjectClass &TTriangularNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<TTriangularNode>("TTriangularNode", &TPolygonalNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TTriangularNode::ClassType() const
{
    return StaticClass();
}

void TTriangularNode::DefineVertices(const TRect &Rect, TPoints &Points) const
{
    const TFrame f(Rect);
    Points = {{f.cX, f.T}, {f.R, f.B}, {f.L, f.B}};
}

TRect TTriangularNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &V) {
        return TRect{Half(int64_t{V[0].X} + V[2].X), Half(int64_t{V[0].Y} + V[2].Y),
                     Half(int64_t{V[0].X} + V[1].X), V[1].Y};
    });
}

const TGraphObjectClass &TRhomboidalNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<TRhomboidalNode>("TRhomboidalNode", &TPolygonalNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TRhomboidalNode::ClassType() const
{
    return StaticClass();
}

void TRhomboidalNode::DefineVertices(const TRect &Rect, TPoints &Points) const
{
    const TFrame f(Rect);
    Points = {{f.cX, f.T}, {f.R, f.cY}, {f.cX, f.B}, {f.L, f.cY}};
}

TRect TRhomboidalNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &V) {
        return TRect{Half(int64_t{V[0].X} + V[3].X), Half(int64_t{V[0].Y} + V[3].Y),
                     Half(int64_t{V[1].X} + V[2].X), Half(int64_t{V[1].Y} + V[2].Y)};
    });
}

const TGraphObjectClass &TPentagonalNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<TPentagonalNode>("TPentagonalNode", &TPolygonalNode::StaticClass());
    return Class;
}

const TGraphObjectClass &TPentagonalNode::ClassType() const
{
    return StaticClass();
}

void TPentagonalNode::DefineVertices(const TRect &Rect, TPoints &Points) const
{
    const TFrame f(Rect);
    Points = {{f.cX, f.T}, {f.R, f.cY}, {f.Rq, f.B}, {f.Lq, f.B}, {f.L, f.cY}};
}

TRect TPentagonalNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &V) {
        return TRect{V[3].X, Half(int64_t{V[0].Y} + V[4].Y), V[2].X, V[2].Y};
    });
}

const TGraphObjectClass &THexagonalNode::StaticClass()
{
    static const TGraphObjectClass Class =
        TGraphObjectClass::Of<THexagonalNode>("THexagonalNode", &TPolygonalNode::StaticClass());
    return Class;
}

const TGraphObjectClass &THexagonalNode::ClassType() const
{
    return StaticClass();
}

void THexagonalNode::DefineVertices(const TRect &Rect, TPoints &Points) const
{
    const TFrame f(Rect);
    Points = {{f.Lq, f.T}, {f.Rq, f.T}, {f.R, f.cY}, {f.Rq, f.B}, {f.Lq, f.B}, {f.L, f.cY}};
}

TRect THexagonalNode::QueryMaxTextRect() const
{
    return VertexTextRect([](const TPoints &V) { return TRect{V[0].X, V[0].Y, V[3].X, V[3].Y}; });
}

} // namespace talivo
