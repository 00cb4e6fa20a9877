#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a hexagon with flat top and bottom.
class THexagonalNode : public TPolygonalNode {
public:
    explicit THexagonalNode(TGraphDocument *AOwner) : TPolygonalNode(AOwner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~THexagonalNode() override = default;

    void DefineVertices(const TRect &Rect, TPoints &Points) const override;
    TRect QueryMaxTextRect() const override;
};

} // namespace talivo
