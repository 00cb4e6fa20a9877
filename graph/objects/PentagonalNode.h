#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a pentagon with its apex at the top centre.
class TPentagonalNode : public TPolygonalNode {
public:
    explicit TPentagonalNode(TGraphDocument *owner) : TPolygonalNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TPentagonalNode() override = default;

    void DefineVertices(const TRect &rect, TPoints &points) const override;
    TRect QueryMaxTextRect() const override;
};

} // namespace talivo
