#include "sintra/overlay/ShapeGeometry.h"

#include <cmath>

namespace shapegeom {

namespace {

constexpr double kDegree = 0.01745329277777778;
constexpr float kMaxSweep = 1440.0f;

int Round(double v) {
  v += 0.5;
  if (!(v == v)) return 0;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(v);  // truncation toward zero after adding one half
}

CPoint ArcPoint(const CPoint& c, int r, double degrees) {
  return CPoint(c.x + Round(r * std::cos(degrees * kDegree)), c.y - Round(r * std::sin(degrees * kDegree)));
}

bool Same(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

void Keep(std::vector<CPoint>& out, const CPoint& p) {
  if (out.empty() || !Same(out.back(), p)) out.push_back(p);
}

}  // namespace

std::vector<CPoint> ArcPoints(const CPoint& from, const CPoint& centre, int radius, float startAngle, float sweep) {
  std::vector<CPoint> out;
  if (!(startAngle == startAngle) || !(sweep == sweep) || std::fabs(startAngle) > 1e6f) return out;
  if (sweep > kMaxSweep) sweep = kMaxSweep;
  if (sweep < -kMaxSweep) sweep = -kMaxSweep;
  const double begin = sweep > 0 ? startAngle : startAngle + sweep;
  const double end = sweep > 0 ? startAngle + sweep : startAngle;
  CPoint previous = from;
  for (double t = begin; t < end; t += 5.0) {
    const CPoint p = ArcPoint(centre, radius, t);
    if (!Same(p, previous)) out.push_back(p);
    previous = p;
  }
  out.push_back(ArcPoint(centre, radius, end));
  return out;
}

std::vector<CPoint> SplinePoints(const std::vector<CPoint>& points, bool closed) {
  std::vector<CPoint> out;
  const size_t n = points.size();
  if (n < (closed ? 3u : 2u)) return out;
  // Tangents: half the difference of the neighbours; zero at open ends.
  std::vector<double> mx(n), my(n);
  for (size_t i = 0; i < n; ++i) {
    if (!closed && (i == 0 || i == n - 1)) continue;
    const CPoint& next = points[(i + 1) % n];
    const CPoint& prev = points[(i + n - 1) % n];
    mx[i] = (static_cast<double>(next.x) - prev.x) / 2.0;
    my[i] = (static_cast<double>(next.y) - prev.y) / 2.0;
  }
  const size_t spans = closed ? n : n - 1;
  for (size_t i = 0; i < spans; ++i) {
    const size_t k = (i + 1) % n;
    const CPoint& a = points[i];
    const CPoint& b = points[k];
    Keep(out, a);
    for (int j = 1; j <= 7; ++j) {
      const double t = j / 8.0, t2 = t * t, t3 = t2 * t;
      const double h00 = 2 * t3 - 3 * t2 + 1, h01 = 3 * t2 - 2 * t3, h10 = t3 - 2 * t2 + t, h11 = t3 - t2;
      const double x = a.x * h00 + b.x * h01 + mx[i] * h10 + mx[k] * h11;
      const double y = a.y * h00 + b.y * h01 + my[i] * h10 + my[k] * h11;
      Keep(out, CPoint(Round(x), Round(y)));
    }
  }
  if (!closed) Keep(out, points[n - 1]);
  return out;
}

}  // namespace shapegeom
