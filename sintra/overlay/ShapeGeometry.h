// Point generation for the curved elements of shape scripts: arcs stepped in
// 5-degree steps and cubic Hermite splines through their points.
#pragma once

#include <vector>

#include "platform/base/Point.h"

namespace shapegeom {

// Points of an arc around centre with the radius, from the start angle over the
// sweep (degrees, counter-clockwise on screen), always in increasing angle:
// one point every 5 degrees that differs from the previous point (starting from
// `from`), then the exact end point. Sweeps are limited to four turns.
std::vector<CPoint> ArcPoints(const CPoint& from, const CPoint& centre, int radius, float startAngle, float sweep);

// Points of a spline through points: closed needs 3 points, open 2, else the
// result is empty. Each span gives its start point and 7 points between; exact
// repeats of the previous point are dropped.
std::vector<CPoint> SplinePoints(const std::vector<CPoint>& points, bool closed);

}  // namespace shapegeom
