#pragma once

#include "graph/objects/CircularNode.h"

namespace talivo {

// A circle of half the node's size, centred, optionally with a pennant on a pole rising from it
// to the node's top edge. The hit region is that of the full-size circle. Drawing it makes a
// resizable node a square of the smaller side.
class TCircularFlagNode : public TCircularNode {
public:
    explicit TCircularFlagNode(TGraphDocument *owner) : TCircularNode(owner) {}

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;
    static const TPropTable &PropTable();

    bool Flag() const { return fFlag; }
    // Stores and repaints, but reports no data change: toggling the pennant does not mark the
    // document modified.
    void SetFlag(bool value);

protected:
    ~TCircularFlagNode() override = default;

    void DrawBorder(TCanvas &canvas) override;

private:
    bool fFlag = false;
};

} // namespace talivo
