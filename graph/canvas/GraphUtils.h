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

bool IsBetween(int32_t Value, int32_t Bound1, int32_t Bound2);
bool EqualPoint(const TPoint &Pt1, const TPoint &Pt2);

void OffsetPoints(TPoints &Points, int High, int32_t dX, int32_t dY);
void ShiftPoints(TPoints &Points, int High, int32_t dX, int32_t dY, const TPoint &Org);
void RotatePoints(TPoints &Points, int High, double Angle, const TPoint &Org);
void ScalePoints(TPoints &Points, int High, double Factor, const TPoint &Org);
void TransformPoints(TPoints &Points, int High, const XFORM &XForm);
TPoint CenterOfPoints(const TPoints &Points, int High);
TRect BoundsRectOfPoints(const TPoints &Points, int High);
int NearestPoint(const TPoints &Points, int High, const TPoint &Pt, TPoint &NearestPt);

TRect MakeSquare(const TPoint &Center, int32_t Size);
TRect MakeRect(const TPoint &Pt1, const TPoint &Pt2);
TPoint CenterOfRect(const TRect &Rect);
void UnionRect(TRect &Rect1, const TRect &Rect2);
void IntersectRect(TRect &Rect1, const TRect &Rect2);
bool OverlappedRect(const TRect &Rect1, const TRect &Rect2);

QRegion TransformRgn(const QRegion &Rgn, const XFORM &XForm);

double NormalizeAngle(double Angle);
double LineLength(const TPoint &Pt1, const TPoint &Pt2);
double LineSlopeAngle(const TPoint &Pt1, const TPoint &Pt2);
TPoint NextPointOfLine(double Angle, const TPoint &Pt, double Distance);
TPoint NearestPointOnLine(const TPoint &LinePt1, const TPoint &LinePt2, const TPoint &Pt);
double DistanceToLine(const TPoint &LinePt1, const TPoint &LinePt2, const TPoint &Pt);

bool IntersectLines(const TPoint &LinePt1, double Angle1, const TPoint &LinePt2, double Angle2,
                    TPoint &Pt);
TPoints IntersectLinePolygon(const TPoint &LinePt, double Angle, const TPoints &Points, int High);
TPoints IntersectLinePolyline(const TPoint &LinePt, double Angle, const TPoints &Points, int High);
TPoints IntersectLineRect(const TPoint &LinePt, double Angle, const TRect &Rect);
TPoints IntersectLineEllipse(const TPoint &LinePt, double Angle, const TRect &Bounds);
TPoints IntersectLineRoundRect(const TPoint &LinePt, double Angle, const TRect &Bounds,
                               int32_t CornerWidth, int32_t CornerHeight);

} // namespace talivo
