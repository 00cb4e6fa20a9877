#include "graph/CircularFlagNode.h"
#include "graph/CircularMarkNode.h"
#include "graph/CircularNode.h"
#include "graph/EllipticNode.h"
#include "graph/GraphClasses.h"
#include "graph/GraphControl.h"
#include "graph/HexagonalNode.h"
#include "graph/PentagonalNode.h"
#include "graph/RectangularNode.h"
#include "graph/RhomboidalNode.h"
#include "graph/RoundRectangularNode.h"
#include "graph/TriangularNode.h"

namespace talivo {

// The first class registered is every new control's default node class.
void RegisterNodeClasses()
{
    TGraphControl::RegisterNode(TRectangularNode::StaticClass());
    TGraphControl::RegisterNode(TRoundRectangularNode::StaticClass());
    TGraphControl::RegisterNode(TEllipticNode::StaticClass());
    TGraphControl::RegisterNode(TTriangularNode::StaticClass());
    TGraphControl::RegisterNode(TRhomboidalNode::StaticClass());
    TGraphControl::RegisterNode(TPentagonalNode::StaticClass());
    TGraphControl::RegisterNode(THexagonalNode::StaticClass());
    TGraphControl::RegisterNode(TCircularNode::StaticClass());
    TGraphControl::RegisterNode(TCircularMarkNode::StaticClass());
    TGraphControl::RegisterNode(TCircularFlagNode::StaticClass());
}

} // namespace talivo
