#include "pravex/shell/WindowPlacement.h"

#include <cctype>
#include <climits>

#include "platform/base/Strings.h"
#include "platform/ui/Wnd.h"

namespace placement {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// One decimal integer with optional sign; false on overflow or no digits.
bool ReadInt(const std::string& text, std::size_t& pos, int& value) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long n = 0;
  std::size_t digits = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    n = n * 10 + (text[pos++] - '0');
    if (n > limit) return false;
    ++digits;
  }
  if (digits == 0) return false;
  value = static_cast<int>(negative ? -n : n);
  return true;
}

}  // namespace

bool ParseInts(const std::string& text, int* values, int count) {
  if (!values || count <= 0 || count > 16) return false;
  int read[16];
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
      if (pos >= text.size() || text[pos] != ',') return false;
      ++pos;
    }
    if (!ReadInt(text, pos, read[i])) return false;
  }
  for (int i = 0; i < count; ++i) values[i] = read[i];
  return true;
}

std::string FormatPosition(int left, int top, int shown, int large) {
  return str::Format("%d,%d,%d,%d\n", left, top, shown, large);
}

std::string FormatSize(int width, int height) { return str::Format("%d,%d\n", width, height); }

std::string FormatTree(int left, int top, int width, int height, int shown, int large) {
  return str::Format("%d,%d,%d,%d, %d,%d\n", left, top, width, height, shown, large);
}

CPoint KeepInside(const CRect& window, const CRect& test, const CRect& area) {
  CPoint at(window.left, window.top);
  if (test.left >= area.right) {
    at.x = area.right - window.Width();
  } else if (area.left >= test.right) {
    at.x = area.left;
  }
  if (test.top >= area.bottom) {
    at.y = window.Height() < area.Height() ? area.bottom - window.Height() : area.top;
  } else if (area.top >= test.bottom) {
    at.y = area.top;
  }
  return at;
}

CRect PlacementArea(const CWnd* wnd) {
  CRect area;
  if (!wnd) return area;
  if (const CWnd* parent = wnd->IsTopLevel() ? nullptr : wnd->GetParent()) {
    parent->GetClientRect(&area);
  } else {
    SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  }
  return area;
}

CRect PlacementRect(const CWnd* wnd) {
  CRect rect;
  if (!wnd) return rect;
  // The normal-position rectangle is in the parent's client coordinates for
  // a child and in screen coordinates for a top-level window.
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (wnd->GetWindowPlacement(&wp)) rect = wp.rcNormalPosition;
  return rect;
}

bool KeepOnScreen(CWnd* wnd, const CRect* visiblePart) {
  if (!wnd || !wnd->GetSafeHwnd()) return false;
  const CRect area = PlacementArea(wnd);
  const CRect window = PlacementRect(wnd);
  CRect test = window;
  if (visiblePart && !visiblePart->IsRectEmpty()) {
    test = *visiblePart;
    test.OffsetRect(window.left, window.top);
  }
  const CPoint at = KeepInside(window, test, area);
  if (at.x == window.left && at.y == window.top) return false;
  wnd->SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

}  // namespace placement
