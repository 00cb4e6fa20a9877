#pragma once

#include "graph/objects/PolygonalNode.h"

namespace talivo {

// A node shaped as a diamond with its corners at the middles of the sides.
class TRhomboidalNode : public TPolygonalNode {
public:
    explicit TRhomboidalNode(TGraphDocument *owner) : TPolygonalNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TRhomboidalNode() override = default;

    void DefineVertices(const TRect &rect, TPoints &points) const override;
    TRect QueryMaxTextRect() const override;
};

} // namespace talivo
