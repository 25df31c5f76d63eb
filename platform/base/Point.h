// Integer point and size with the usual arithmetic.
#pragma once

#include "platform/base/WinTypes.h"

class CSize;

class CPoint : public POINT {
 public:
  constexpr CPoint() : POINT{0, 0} {}
  constexpr CPoint(int px, int py) : POINT{px, py} {}
  constexpr CPoint(const POINT& p) : POINT(p) {}
  constexpr CPoint(const SIZE& s) : POINT{s.cx, s.cy} {}

  constexpr void SetPoint(int px, int py) { x = px; y = py; }
  constexpr void Offset(int dx, int dy) { x += dx; y += dy; }
  constexpr void Offset(const POINT& p) { Offset(p.x, p.y); }
  constexpr void Offset(const SIZE& s) { Offset(s.cx, s.cy); }

  // Exact overloads for CPoint keep C++20's reversed comparisons unambiguous.
  constexpr bool operator==(const CPoint& p) const { return x == p.x && y == p.y; }
  constexpr bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
  constexpr bool operator!=(const CPoint& p) const { return !(*this == p); }
  constexpr bool operator!=(const POINT& p) const { return !(*this == p); }
  constexpr CPoint& operator+=(const POINT& p) { Offset(p); return *this; }
  constexpr CPoint& operator-=(const POINT& p) { Offset(-p.x, -p.y); return *this; }
  constexpr CPoint& operator+=(const SIZE& s) { Offset(s); return *this; }
  constexpr CPoint& operator-=(const SIZE& s) { Offset(-s.cx, -s.cy); return *this; }
  constexpr CPoint operator+(const POINT& p) const { return CPoint(x + p.x, y + p.y); }
  constexpr CPoint operator-(const POINT& p) const { return CPoint(x - p.x, y - p.y); }
  constexpr CPoint operator+(const SIZE& s) const { return CPoint(x + s.cx, y + s.cy); }
  constexpr CPoint operator-(const SIZE& s) const { return CPoint(x - s.cx, y - s.cy); }
  constexpr CPoint operator-() const { return CPoint(-x, -y); }
};

class CSize : public SIZE {
 public:
  constexpr CSize() : SIZE{0, 0} {}
  constexpr CSize(int w, int h) : SIZE{w, h} {}
  constexpr CSize(const SIZE& s) : SIZE(s) {}
  constexpr CSize(const POINT& p) : SIZE{p.x, p.y} {}

  constexpr void SetSize(int w, int h) { cx = w; cy = h; }
  constexpr bool operator==(const CSize& s) const { return cx == s.cx && cy == s.cy; }
  constexpr bool operator==(const SIZE& s) const { return cx == s.cx && cy == s.cy; }
  constexpr bool operator!=(const CSize& s) const { return !(*this == s); }
  constexpr bool operator!=(const SIZE& s) const { return !(*this == s); }
  constexpr CSize& operator+=(const SIZE& s) { cx += s.cx; cy += s.cy; return *this; }
  constexpr CSize& operator-=(const SIZE& s) { cx -= s.cx; cy -= s.cy; return *this; }
  constexpr CSize operator+(const SIZE& s) const { return CSize(cx + s.cx, cy + s.cy); }
  constexpr CSize operator-(const SIZE& s) const { return CSize(cx - s.cx, cy - s.cy); }
  constexpr CSize operator-() const { return CSize(-cx, -cy); }
};
