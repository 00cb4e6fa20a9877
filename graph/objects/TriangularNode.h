#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a triangle with its apex at the top centre.
class TTriangularNode : public TPolygonalNode {
public:
    explicit TTriangularNode(TGraphDocument *owner) : TPolygonalNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TTriangularNode() override = default;

    void DefineVertices(const TRect &rect, TPoints &points) const override;
    TRect QueryMaxTextRect() const override;
};

} // namespace talivo
