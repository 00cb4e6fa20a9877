#pragma once

#include "graph/objects/GraphNode.h"

namespace talivo {

// A node shaped as a rectangle with rounded corners; the corner ellipse is a quarter of the
// larger side wide and high.
class TRoundRectangularNode : public TGraphNode {
public:
    explicit TRoundRectangularNode(TGraphDocument *owner) : TGraphNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

    TPoints LinkIntersect(const TPoint &pt, double angle) const override;

protected:
    ~TRoundRectangularNode() override = default;

    QRegion CreateRegion() const override;
    TPlacedRegion CreatePlacedRegion() const override;
    void DrawBorder(TCanvas &canvas) override;

private:
    int32_t CornerSize() const;
};

} // namespace talivo
