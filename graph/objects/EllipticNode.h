#pragma once

#include "graph/objects/GraphNode.h"

namespace talivo {

// A node shaped as the ellipse that fills its bounds.
class TEllipticNode : public TGraphNode {
public:
    explicit TEllipticNode(TGraphDocument *AOwner) : TGraphNode(AOwner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

    TPoints LinkIntersect(const TPoint &Pt, double Angle) const override;

protected:
    ~TEllipticNode() override = default;

    QRegion CreateRegion() const override;
    TPlacedRegion CreatePlacedRegion() const override;
    void DrawBorder(TCanvas &Canvas) override;
};

} // namespace talivo
