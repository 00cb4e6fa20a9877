#include "graph/CircularFlagNode.h"
#include "graph/CircularMarkNode.h"
#include "graph/CircularNode.h"
#include "graph/EllipticNode.h"
#include "graph/GraphClasses.h"
#include "graph/GraphDocument.h"
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
    TGraphDocument::RegisterNode(TRectangularNode::StaticClass());
    TGraphDocument::RegisterNode(TRoundRectangularNode::StaticClass());
    TGraphDocument::RegisterNode(TEllipticNode::StaticClass());
    TGraphDocument::RegisterNode(TTriangularNode::StaticClass());
    TGraphDocument::RegisterNode(TRhomboidalNode::StaticClass());
    TGraphDocument::RegisterNode(TPentagonalNode::StaticClass());
    TGraphDocument::RegisterNode(THexagonalNode::StaticClass());
    TGraphDocument::RegisterNode(TCircularNode::StaticClass());
    TGraphDocument::RegisterNode(TCircularMarkNode::StaticClass());
    TGraphDocument::RegisterNode(TCircularFlagNode::StaticClass());
}

} // namespace talivo
