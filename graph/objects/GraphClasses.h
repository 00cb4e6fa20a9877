#pragma once

namespace talivo {

// Registers the canvas's classes in their fixed order: the link class TGraphLink, then the node
// classes (RegisterNodeClasses). Runs once per process, before the first control is made or the
// first class is looked up by name; at the end of the process the classes are unregistered in
// reverse order.
void RegisterGraphClasses();

// Registers the node classes with TGraphDocument::RegisterNode, in this order: TRectangularNode,
// TRoundRectangularNode, TEllipticNode, TTriangularNode, TRhomboidalNode, TPentagonalNode,
// THexagonalNode, TCircularNode, TCircularMarkNode, TCircularFlagNode. Defined beside the node
// classes; only RegisterGraphClasses calls it.
void RegisterNodeClasses();

} // namespace talivo
