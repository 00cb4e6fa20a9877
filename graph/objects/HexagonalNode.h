#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a hexagon with flat top and bottom.
class THexagonalNode : public TPolygonalNode {
public:
    explicit THexagonalNode(TGraphDocument *owner) : TPolygonalNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~THexagonalNode() override = default;

    void DefineVertices(const TRect &rect, TPoints &points) const override;
    TRect QueryMaxTextRect() const override;
};

} // namespace talivo
