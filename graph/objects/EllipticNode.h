#pragma once

#include "graph/objects/GraphNode.h"

namespace talivo {

// A node shaped as the ellipse that fills its bounds.
class TEllipticNode : public TGraphNode {
public:
    explicit TEllipticNode(TGraphDocument *owner) : TGraphNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

    TPoints LinkIntersect(const TPoint &pt, double angle) const override;

protected:
    ~TEllipticNode() override = default;

    QRegion CreateRegion() const override;
    TPlacedRegion CreatePlacedRegion() const override;
    void DrawBorder(TCanvas &canvas) override;
};

} // namespace talivo
