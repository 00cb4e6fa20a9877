#pragma once

#include "graph/objects/EllipticNode.h"

namespace talivo {

// A node shaped as a circle of diameter Width. Drawing it makes a resizable node square (its
// height becomes its width), reported as a resize like any other.
class TCircularNode : public TEllipticNode {
public:
    explicit TCircularNode(TGraphDocument *owner) : TEllipticNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TCircularNode() override = default;

    QRegion CreateRegion() const override;
    TPlacedRegion CreatePlacedRegion() const override;
    void DrawBorder(TCanvas &canvas) override;
};

} // namespace talivo
