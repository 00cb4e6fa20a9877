#pragma once

#include "graph/objects/GraphNode.h"

namespace talivo {

// A node whose shape is a polygon of vertices computed from the bounds. The vertices are
// recomputed on a resize and only shifted on a move.
class TPolygonalNode : public TGraphNode {
public:
    explicit TPolygonalNode(TGraphDocument *owner) : TGraphNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

    const TPoints &Vertices() const { return fVertices; }

    TPoints LinkIntersect(const TPoint &pt, double angle) const override;
    // The mean of the vertices.
    TPoint GetCenter() const override;

protected:
    ~TPolygonalNode() override = default;

    void Initialize() override;
    void BoundsChanged(int32_t dx, int32_t dy, int32_t dWidth, int32_t dHeight) override;
    QRegion CreateRegion() const override;
    TPlacedRegion CreatePlacedRegion() const override;
    void DrawBorder(TCanvas &canvas) override;

    // The vertices of the shape in the bounds rect, in drawing order.
    virtual void DefineVertices(const TRect &rect, TPoints &points) const = 0;
    // The caption area bounded by the vertices' box (Left, Top, Right, Bottom built from
    // the vertices by Define) and by the general caption area.
    TRect VertexTextRect(TRect (*define)(const TPoints &vertices)) const;

private:
    TPoints fVertices;
};

} // namespace talivo
