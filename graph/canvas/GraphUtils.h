#pragma once

#include "graph/canvas/Types.h"

#include <QRegion>

#include <algorithm>
#include <cstdint>
#include <limits>

// Free geometry helpers of the graph canvas: integer points and rectangles, point arrays, angles,
// lines and their intersections with shapes, and the mapping of clip regions.
//
// Point arrays come with High, the index of their last element (-1 when empty); only elements
// 0..High are used, and never more than the array holds.
//
// Angles are radians in the plane with Y growing downwards: 0 points to growing X, Pi/2 to growing
// Y, so a positive rotation turns clockwise on the screen.

namespace talivo {

inline constexpr double Pi = 3.141592653589793;

// An affine transformation: x' = x*eM11 + y*eM21 + eDx, y' = x*eM12 + y*eM22 + eDy.
struct XFORM {
    float eM11 = 1.0f;
    float eM12 = 0.0f;
    float eM21 = 0.0f;
    float eM22 = 1.0f;
    float eDx = 0.0f;
    float eDy = 0.0f;
};

// Coordinate arithmetic that leaves the 32-bit range wraps around like the processor's integer
// addition instead of being undefined.
inline int32_t AddWrapped(int32_t a, int64_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// The nearest 32-bit value: a coordinate computed wide is kept at the end of the range.
inline int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool IsBetween(int32_t value, int32_t bound1, int32_t bound2);
bool EqualPoint(const TPoint &pt1, const TPoint &pt2);

void OffsetPoints(TPoints &points, int high, int32_t dx, int32_t dy);
void ShiftPoints(TPoints &points, int high, int32_t dx, int32_t dy, const TPoint &org);
void RotatePoints(TPoints &points, int high, double angle, const TPoint &org);
void ScalePoints(TPoints &points, int high, double factor, const TPoint &org);
void TransformPoints(TPoints &points, int high, const XFORM &xForm);
TPoint CenterOfPoints(const TPoints &points, int high);
TRect BoundsRectOfPoints(const TPoints &points, int high);
int NearestPoint(const TPoints &points, int high, const TPoint &pt, TPoint &nearestPt);

TRect MakeSquare(const TPoint &center, int32_t size);
TRect MakeRect(const TPoint &pt1, const TPoint &pt2);
TPoint CenterOfRect(const TRect &rect);
void UnionRect(TRect &rect1, const TRect &rect2);
void IntersectRect(TRect &rect1, const TRect &rect2);
bool OverlappedRect(const TRect &rect1, const TRect &rect2);

QRegion TransformRgn(const QRegion &rgn, const XFORM &xForm);

double NormalizeAngle(double angle);
double LineLength(const TPoint &pt1, const TPoint &pt2);
double LineSlopeAngle(const TPoint &pt1, const TPoint &pt2);
TPoint NextPointOfLine(double angle, const TPoint &pt, double distance);
TPoint NearestPointOnLine(const TPoint &linePt1, const TPoint &linePt2, const TPoint &pt);
double DistanceToLine(const TPoint &linePt1, const TPoint &linePt2, const TPoint &pt);

bool IntersectLines(const TPoint &linePt1, double angle1, const TPoint &linePt2, double angle2,
                    TPoint &pt);
TPoints IntersectLinePolygon(const TPoint &linePt, double angle, const TPoints &points, int high);
TPoints IntersectLinePolyline(const TPoint &linePt, double angle, const TPoints &points, int high);
TPoints IntersectLineRect(const TPoint &linePt, double angle, const TRect &rect);
TPoints IntersectLineEllipse(const TPoint &linePt, double angle, const TRect &bounds);
TPoints IntersectLineRoundRect(const TPoint &linePt, double angle, const TRect &bounds,
                               int32_t cornerWidth, int32_t cornerHeight);

} // namespace talivo
