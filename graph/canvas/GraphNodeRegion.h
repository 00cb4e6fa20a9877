#pragma once

#include "graph/canvas/PlacedRegion.h"
#include "graph/canvas/Types.h"

#include <QRegion>

#include <cstdint>

// Regions of the node shapes in graph units. Each takes the arguments of the canvas call that
// draws the shape's outline and covers exactly the pixels that call covers at 1:1 with a
// one-pixel pen, fill included: a point tested against the region is on the node precisely where
// the node is seen. The pixels come from the canvas's own rasteriser, since Qt's analytic
// ellipse and polygon regions disagree with its stroked outlines by a pixel here and there.
//
// A shape larger than about four million pixels is rasterised at a reduced scale and its region
// follows the outline only to within that scale; one beyond 2^30 units in either direction gets
// its bounding rectangle. Both keep the work and memory bounded whatever size a file claims.

namespace talivo {

QRegion PolygonRegion(const TPoints &points);
QRegion EllipseRegion(int32_t left, int32_t top, int32_t right, int32_t bottom);
QRegion RoundRectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom,
                        int32_t cornerWidth, int32_t cornerHeight);

// The same regions as a shape shared with every equal one, and its shift.
TPlacedRegion PlacedPolygonRegion(const TPoints &points);
TPlacedRegion PlacedEllipseRegion(int32_t left, int32_t top, int32_t right, int32_t bottom);
TPlacedRegion PlacedRoundRectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                    int32_t cornerWidth, int32_t cornerHeight);

} // namespace talivo
