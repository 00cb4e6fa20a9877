#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a rectangle.
class TRectangularNode : public TPolygonalNode {
public:
    explicit TRectangularNode(TGraphDocument *AOwner) : TPolygonalNode(AOwner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TRectangularNode() override = default;

    void DefineVertices(const TRect &Rect, TPoints &Points) const override;
};

} // namespace talivo
