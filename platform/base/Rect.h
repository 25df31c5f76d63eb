// Integer rectangle with exclusive right and bottom edges.
#pragma once

#include "platform/base/Point.h"

class CRect : public RECT {
 public:
  constexpr CRect() : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) : RECT(r) {}
  constexpr CRect(const RECT* r) : RECT(r ? *r : RECT{0, 0, 0, 0}) {}
  constexpr CRect(const POINT& topLeft, const SIZE& size)
      : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  constexpr CRect(const POINT& topLeft, const POINT& bottomRight)
      : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr CSize Size() const { return CSize(Width(), Height()); }
  constexpr CPoint TopLeft() const { return CPoint(left, top); }
  constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
  constexpr CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  // Empty means no area: zero or negative width or height.
  constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
  constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr bool PtInRect(const POINT& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

  constexpr void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  constexpr void CopyRect(const RECT* r) { if (r) *static_cast<RECT*>(this) = *r; }
  constexpr bool EqualRect(const RECT* r) const { return r && *this == *r; }

  constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  constexpr void OffsetRect(const POINT& p) { OffsetRect(p.x, p.y); }
  constexpr void OffsetRect(const SIZE& s) { OffsetRect(s.cx, s.cy); }
  constexpr void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  constexpr void MoveToXY(const POINT& p) { MoveToXY(p.x, p.y); }
  constexpr void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
  constexpr void InflateRect(const SIZE& s) { InflateRect(s.cx, s.cy); }
  constexpr void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
  constexpr void InflateRect(const RECT& r) { InflateRect(r.left, r.top, r.right, r.bottom); }
  constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  constexpr void DeflateRect(const SIZE& s) { InflateRect(-s.cx, -s.cy); }
  constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  constexpr void DeflateRect(const RECT& r) { DeflateRect(r.left, r.top, r.right, r.bottom); }

  // Swaps edges so that left <= right and top <= bottom.
  constexpr void NormalizeRect() {
    if (left > right) { const LONG t = left; left = right; right = t; }
    if (top > bottom) { const LONG t = top; top = bottom; bottom = t; }
  }

  // The overlap of a and b; all zero and false when they do not overlap.
  constexpr bool IntersectRect(const RECT& a, const RECT& b) {
    const CRect ra(a), rb(b);
    if (ra.IsRectEmpty() || rb.IsRectEmpty() || a.left >= b.right || b.left >= a.right || a.top >= b.bottom ||
        b.top >= a.bottom) {
      SetRectEmpty();
      return false;
    }
    SetRect(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
            a.bottom < b.bottom ? a.bottom : b.bottom);
    return true;
  }
  constexpr bool IntersectRect(const RECT* a, const RECT* b) { return a && b ? IntersectRect(*a, *b) : (SetRectEmpty(), false); }

  // The smallest rectangle holding a and b; an empty operand is ignored; all zero
  // and false when both are empty.
  constexpr bool UnionRect(const RECT& a, const RECT& b) {
    const CRect ra(a), rb(b);
    if (ra.IsRectEmpty()) {
      if (rb.IsRectEmpty()) { SetRectEmpty(); return false; }
      *this = rb;
      return true;
    }
    if (rb.IsRectEmpty()) { *this = ra; return true; }
    SetRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top, a.right > b.right ? a.right : b.right,
            a.bottom > b.bottom ? a.bottom : b.bottom);
    return true;
  }
  constexpr bool UnionRect(const RECT* a, const RECT* b) { return a && b ? UnionRect(*a, *b) : (SetRectEmpty(), false); }

  // a less b when b covers a whole side of a; otherwise a unchanged.
  constexpr bool SubtractRect(const RECT& a, const RECT& b) {
    CRect r(a);
    CRect overlap;
    if (r.IsRectEmpty()) { SetRectEmpty(); return false; }
    if (overlap.IntersectRect(a, b)) {
      if (overlap.top == r.top && overlap.bottom == r.bottom) {
        if (overlap.left == r.left) r.left = overlap.right;
        else if (overlap.right == r.right) r.right = overlap.left;
      } else if (overlap.left == r.left && overlap.right == r.right) {
        if (overlap.top == r.top) r.top = overlap.bottom;
        else if (overlap.bottom == r.bottom) r.bottom = overlap.top;
      }
    }
    *this = r;
    if (IsRectEmpty()) { SetRectEmpty(); return false; }
    return true;
  }

  constexpr bool operator==(const CRect& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
  constexpr bool operator==(const RECT& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
  constexpr bool operator!=(const CRect& r) const { return !(*this == r); }
  constexpr bool operator!=(const RECT& r) const { return !(*this == r); }
  constexpr CRect& operator+=(const POINT& p) { OffsetRect(p); return *this; }
  constexpr CRect& operator-=(const POINT& p) { OffsetRect(-p.x, -p.y); return *this; }
  constexpr CRect& operator+=(const SIZE& s) { OffsetRect(s); return *this; }
  constexpr CRect& operator-=(const SIZE& s) { OffsetRect(-s.cx, -s.cy); return *this; }
  constexpr CRect& operator&=(const RECT& r) { IntersectRect(CRect(*this), r); return *this; }
  constexpr CRect& operator|=(const RECT& r) { UnionRect(CRect(*this), r); return *this; }
  constexpr CRect operator+(const POINT& p) const { CRect r(*this); r += p; return r; }
  constexpr CRect operator-(const POINT& p) const { CRect r(*this); r -= p; return r; }
  constexpr CRect operator&(const RECT& o) const { CRect r; r.IntersectRect(*this, o); return r; }
  constexpr CRect operator|(const RECT& o) const { CRect r; r.UnionRect(*this, o); return r; }
};
