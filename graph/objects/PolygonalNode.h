#pragma once

#include "graph/objects/GraphNode.h"

namespace talivo {

// A node whose shape is a polygon of vertices computed from the bounds. The vertices are
// recomputed on a resize and only shifted on a move.
class TPolygonalNode : public TGraphNode {
public:
    explicit TPolygonalNode(TGraphDocument *AOwner) : TGraphNode(AOwner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

    const TPoints &Vertices() const { return fVertices; }

    TPoints LinkIntersect(const TPoint &Pt, double Angle) const override;
    // The mean of the vertices.
    TPoint GetCenter() const override;

protected:
    ~TPolygonalNode() override = default;

    void Initialize() override;
    void BoundsChanged(int32_t dX, int32_t dY, int32_t dWidth, int32_t dHeight) override;
    QRegion CreateRegion() const override;
    TPlacedRegion CreatePlacedRegion() const override;
    void DrawBorder(TCanvas &Canvas) override;

    // The vertices of the shape in the bounds Rect, in drawing order.
    virtual void DefineVertices(const TRect &Rect, TPoints &Points) const = 0;
    // The caption area bounded by the vertices' box (Left, Top, Right, Bottom built from
    // the vertices by Define) and by the general caption area.
    TRect VertexTextRect(TRect (*Define)(const TPoints &Vertices)) const;

private:
    TPoints fVertices;
};

} // namespace talivo
