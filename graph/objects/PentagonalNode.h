#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a pentagon with its apex at the top centre.
class TPentagonalNode : public TPolygonalNode {
public:
    explicit TPentagonalNode(TGraphDocument *AOwner) : TPolygonalNode(AOwner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TPentagonalNode() override = default;

    void DefineVertices(const TRect &Rect, TPoints &Points) const override;
    TRect QueryMaxTextRect() const override;
};

} // namespace talivo
