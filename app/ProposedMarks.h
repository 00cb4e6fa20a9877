#pragma once

#include "app/Measurement.h"
#include "graph/canvas/Types.h"

#include <QSize>

#include <cstdint>
#include <vector>

namespace talivo {

class TGraphDocument;
class TGraphNode;

// A mark as a click makes it: a circle of radius r around the centre, in the colour, tagged with
// the group id and captioned with the text ("#" and its number, or nothing), the caption half the
// point size high. Raises std::runtime_error when the canvas cannot make it.
TGraphNode &InsertMark(TGraphDocument &graph, TPoint centre, int32_t r, int groupId, TColor color,
                       const QString &text, int pointSize);

// The pixel a proposed centre (in picture pixels) falls on, the nearest one, ties to even; a
// centre beyond the picture's edge takes the edge's pixel.
TPoint PixelOf(double x, double y, QSize picture);

// Proposed objects become marks of the group, in one batch of the canvas: one for each point
// that no object on the canvas, nor a mark added before it, has its centre within r of (the
// distance r itself included). They are numbered on from the group's count in the order of the
// points. Returns how many were added; the group's count is the caller's to raise.
int AddProposedMarks(TGraphDocument &graph, const std::vector<TPoint> &points,
                     const TGroupRow &group, int32_t r, int pointSize);

} // namespace talivo
