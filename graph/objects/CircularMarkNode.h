#pragma once

#include "graph/objects/CircularNode.h"

namespace talivo {

// A circle with a vertical and a horizontal diameter, its diameter the smaller side. Drawing it
// makes a resizable node a square of that size.
class TCircularMarkNode : public TCircularNode {
public:
    explicit TCircularMarkNode(TGraphDocument *owner) : TCircularNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;

protected:
    ~TCircularMarkNode() override = default;

    void DrawBorder(TCanvas &canvas) override;
};

} // namespace talivo
