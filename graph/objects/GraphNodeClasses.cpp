#include "graph/objects/CircularFlagNode.h"
#include "graph/objects/CircularMarkNode.h"
#include "graph/objects/CircularNode.h"
#include "graph/objects/EllipticNode.h"
#include "graph/objects/GraphClasses.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/HexagonalNode.h"
#include "graph/objects/PentagonalNode.h"
#include "graph/objects/RectangularNode.h"
#include "graph/objects/RhomboidalNode.h"
#include "graph/objects/RoundRectangularNode.h"
#include "graph/objects/TriangularNode.h"

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
