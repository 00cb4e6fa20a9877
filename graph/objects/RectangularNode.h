#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a rectangle.
class TRectangularNode : public TPolygonalNode {
public:
    explicit TRectangularNode(TGraphDocument *owner) : TPolygonalNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TRectangularNode() override = default;

    void DefineVertices(const TRect &rect, TPoints &points) const override;
};

} // namespace talivo
