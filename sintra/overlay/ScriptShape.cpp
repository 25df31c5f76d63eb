#include "sintra/overlay/ScriptShape.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Strings.h"
#include "platform/gfx/DC.h"
#include "sintra/overlay/ShapeGeometry.h"

namespace {

struct KeyInfo {
  const char* key;
  int code;
  int minValues;  // -1: no rule
  int maxValues;
};

const KeyInfo kKeys[] = {
    {"POLY", SHAPE_POLY, 6, -1},         {"POLYOFF", SHAPE_POLYOFF, -1, -1}, {"POLYSPLINE", SHAPE_POLYSPLINE, 6, -1},
    {"POLYLINE", SHAPE_POLYLINE, 4, -1}, {"SPLINE", SHAPE_SPLINE, 4, -1},    {"RECT", SHAPE_RECT, 4, 4},
    {"RECTOFF", SHAPE_RECTOFF, -1, -1},  {"CLIPRECT", SHAPE_CLIPRECT, -1, -1}, {"CIRCLE", SHAPE_CIRCLE, 4, 4},
    {"CIRCLEOFF", SHAPE_CIRCLEOFF, -1, -1}, {"ARC", SHAPE_ARC, 7, 7},      {"ARCTO", SHAPE_ARCTO, 5, 5},
    {"LINE", SHAPE_LINE, 4, 4},          {"LINETO", SHAPE_LINETO, 2, 2},     {"MINW", SHAPE_MINW, 1, 1},
    {"MINH", SHAPE_MINH, 1, 1},          {"MAXW", SHAPE_MAXW, 1, 1},         {"MAXH", SHAPE_MAXH, 1, 1},
    {"WIDTH", SHAPE_WIDTH, 1, 1},        {"HEIGHT", SHAPE_HEIGHT, 1, 1},     {"COLOR", SHAPE_COLOR, 3, 3},
};

const KeyInfo* FindKey(std::string_view key) {
  for (const KeyInfo& k : kKeys)
    if (key == k.key) return &k;  // keys match case-sensitively
  return nullptr;
}

// Parses the comma-separated values of one element; false on a parse error.
bool ParseValues(std::string_view text, std::vector<CShapeExpression>& values) {
  if (str::Trim(text).empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    CShapeExpression e;
    if (!e.Parse(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)))
      return false;
    if (values.size() >= CScriptShape::kMaxValues) return false;
    values.push_back(std::move(e));
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

// Evaluated values of a token for W = w - 1, H = h - 1.
std::vector<float> Evaluate(const CShapeToken& t, int w, int h) {
  std::vector<float> v;
  v.reserve(t.values.size());
  for (const CShapeExpression& e : t.values) v.push_back(e.Evaluate(static_cast<float>(w) - 1.0f, static_cast<float>(h) - 1.0f));
  return v;
}

CPoint Point(const std::vector<float>& v, size_t i, int scale) {
  return CPoint(ShapeValueToInt(v[i]) * scale, ShapeValueToInt(v[i + 1]) * scale);
}

std::vector<CPoint> Points(const std::vector<float>& v, int scale) {
  std::vector<CPoint> p;
  for (size_t i = 0; i + 1 < v.size(); i += 2) p.push_back(Point(v, i, scale));
  return p;
}

void DrawArc(CDC& dc, const CPoint& centre, int radius, float start, float sweep) {
  for (const CPoint& p : shapegeom::ArcPoints(dc.GetCurrentPosition(), centre, radius, start, sweep)) dc.LineTo(p);
}

// Draws one evaluated token with the selected pen and brush.
void DrawToken(CDC& dc, int code, const std::vector<float>& v, int scale) {
  const auto poly = [&](const std::vector<CPoint>& pts, bool closed) {
    if (pts.size() < 2) return;
    if (closed) dc.Polygon(pts.data(), static_cast<int>(pts.size()));
    else dc.Polyline(pts.data(), static_cast<int>(pts.size()));
  };
  switch (code) {
    case SHAPE_POLY:
    case SHAPE_POLYOFF: poly(Points(v, scale), true); break;
    case SHAPE_POLYSPLINE: poly(shapegeom::SplinePoints(Points(v, scale), true), true); break;
    case SHAPE_POLYLINE: poly(Points(v, scale), false); break;
    case SHAPE_SPLINE: poly(shapegeom::SplinePoints(Points(v, scale), false), false); break;
    case SHAPE_RECT:
    case SHAPE_RECTOFF:
      if (v.size() >= 4) {
        const CPoint a = Point(v, 0, scale), b = Point(v, 2, scale);
        dc.Rectangle(a.x, a.y, b.x, b.y);
      }
      break;
    case SHAPE_CIRCLE:
    case SHAPE_CIRCLEOFF:
      if (v.size() >= 4) {
        const CPoint a = Point(v, 0, scale), b = Point(v, 2, scale);
        dc.Ellipse(a.x, a.y, b.x, b.y);
      }
      break;
    case SHAPE_LINE:
      dc.MoveTo(Point(v, 0, scale));
      dc.LineTo(Point(v, 2, scale));
      break;
    case SHAPE_LINETO: dc.LineTo(Point(v, 0, scale)); break;
    case SHAPE_ARC:
      dc.MoveTo(Point(v, 0, scale));
      DrawArc(dc, Point(v, 2, scale), ShapeValueToInt(v[4] * static_cast<float>(scale)), v[5], v[6]);
      break;
    case SHAPE_ARCTO:
      DrawArc(dc, Point(v, 0, scale), ShapeValueToInt(v[2] * static_cast<float>(scale)), v[3], v[4]);
      break;
    default: break;  // CLIPRECT, restrict and COLOR elements draw nothing
  }
}

}  // namespace

CScriptShape::CScriptShape() {
  m_scripts[2] = "<RECT>0,0, W,H</RECT>";
  m_scripts[10] = "COPYFILL";
  CreateTokens();
}

CScriptShape::CScriptShape(const CScriptShape& other) { *this = other; }

CScriptShape& CScriptShape::operator=(const CScriptShape& other) {
  if (this == &other) return *this;
  m_extra = other.m_extra;
  for (int i = 0; i < kScripts; ++i) m_scripts[i] = other.m_scripts[i];
  m_name = other.m_name;
  CreateTokens();
  return *this;
}

CScriptShape::~CScriptShape() = default;

bool CScriptShape::IsCopyFill(int phase) const {
  return phase >= 8 && phase <= 12 && str::Trim(m_scripts[phase]) == "COPYFILL";
}

void CScriptShape::Tokenise(const std::string& script, std::vector<CShapeToken>& tokens) {
  tokens.clear();
  size_t pos = 0;
  while (tokens.size() < kMaxTokens) {
    const size_t open = script.find('<', pos);
    if (open == std::string::npos) return;
    const size_t keyEnd = script.find('>', open + 1);
    if (keyEnd == std::string::npos) return;
    const std::string_view key(script.data() + open + 1, keyEnd - open - 1);
    const size_t close = script.find('<', keyEnd + 1);
    if (close == std::string::npos) return;
    const size_t closeEnd = script.find('>', close + 1);
    if (closeEnd == std::string::npos) return;
    const std::string_view closing(script.data() + close + 1, closeEnd - close - 1);
    if (closing.size() != key.size() + 1 || closing[0] != '/' || closing.substr(1) != key) return;
    pos = closeEnd + 1;
    const KeyInfo* info = FindKey(key);
    if (!info) continue;  // unknown keys are skipped
    CShapeToken token;
    token.code = info->code;
    if (!ParseValues(std::string_view(script.data() + keyEnd + 1, close - keyEnd - 1), token.values)) return;
    const int count = static_cast<int>(token.values.size());
    if ((info->minValues >= 0 && count < info->minValues) || (info->maxValues >= 0 && count > info->maxValues)) return;
    tokens.push_back(std::move(token));
  }
}

void CScriptShape::ParseScript(int index) {
  if (index >= 8 && index <= 12 && IsCopyFill(index)) {
    m_tokens[index].clear();
    return;
  }
  Tokenise(m_scripts[index], m_tokens[index]);
}

void CScriptShape::CreateTokens() {
  for (int i = 0; i < kScripts; ++i) ParseScript(i);
}

const std::string& CScriptShape::GetScript(int index) const {
  static const std::string empty;
  return index >= 0 && index < kScripts ? m_scripts[index] : empty;
}

void CScriptShape::SetScript(int index, const std::string& script) {
  if (index < 0 || index >= kScripts) return;
  m_scripts[index] = script;
  ParseScript(index);
}

const std::vector<CShapeToken>& CScriptShape::GetTokens(int index) const {
  static const std::vector<CShapeToken> none;
  return index >= 0 && index < kScripts ? m_tokens[index] : none;
}

DWORD CScriptShape::GetOverlayFlags() const {
  DWORD flags = 0;
  for (int i = 0; i < kPhases; ++i) {
    if (!m_tokens[i].empty() || (IsCopyFill(i) && !m_tokens[i - 8].empty())) flags |= 1u << i;
  }
  return flags;
}

void CScriptShape::Render(HDC dcHandle, const CRect& rect, const CRect&, int scale, int phase, int outlineWidth) {
  CDC* dc = CDC::FromHandle(dcHandle);
  if (!dc || phase < 0 || phase >= kPhases || scale < 1 || scale > 2) return;
  const bool copy = IsCopyFill(phase);
  const std::vector<CShapeToken>& tokens = copy ? m_tokens[phase - 8] : m_tokens[phase];
  // The phase colour: the first COLOR element's components, read unscaled (a
  // colour is not a coordinate), each kept to its low byte as at scale 1.
  m_colors[phase] = Color16(0);
  for (const CShapeToken& t : tokens) {
    if (t.code != SHAPE_COLOR) continue;
    const std::vector<float> v = Evaluate(t, rect.Width(), rect.Height());
    m_colors[phase] = Color16(RGB(static_cast<BYTE>(ShapeValueToInt(v[0]) & 0xFF),
                                  static_cast<BYTE>(ShapeValueToInt(v[1]) & 0xFF),
                                  static_cast<BYTE>(ShapeValueToInt(v[2]) & 0xFF)));
    break;
  }
  const int width = std::clamp(outlineWidth, 0, 255) * scale;
  CPen pen(PS_SOLID, width, RGB(0, 0, 0));
  CPen* oldPen = dc->SelectObject(&pen);
  CGdiObject* oldBrush = dc->SelectStockObject(copy ? NULL_BRUSH : BLACK_BRUSH);
  for (const CShapeToken& t : tokens) {
    const bool cutOut = t.code == SHAPE_POLYOFF || t.code == SHAPE_RECTOFF || t.code == SHAPE_CIRCLEOFF;
    CGdiObject* tokenBrush = cutOut ? dc->SelectStockObject(WHITE_BRUSH) : nullptr;
    DrawToken(*dc, t.code, Evaluate(t, rect.Width(), rect.Height()), scale);
    if (tokenBrush) dc->SelectObject(tokenBrush);
  }
  if (oldPen) dc->SelectObject(oldPen);
  if (oldBrush) dc->SelectObject(oldBrush);
}

BOOL CScriptShape::GetTextRect(CRect& out, int width, int height, int scale) const {
  for (const CShapeToken& t : m_tokens[6]) {
    if (t.code != SHAPE_CLIPRECT || t.values.size() < 4) continue;
    const std::vector<float> v = Evaluate(t, width, height);
    const CPoint a = Point(v, 0, scale), b = Point(v, 2, scale);
    out = CRect(a.x, a.y, b.x, b.y);
    out.NormalizeRect();
    return TRUE;
  }
  return FALSE;
}

void CScriptShape::ProcessRestrictData(int& width, int& height, int startWidth, int startHeight) const {
  const int w0 = width, h0 = height;
  for (const CShapeToken& t : m_tokens[kRestrict]) {
    if (t.values.empty()) continue;
    const int c = ShapeValueToInt(Evaluate(t, w0, h0)[0]);
    switch (t.code) {
      case SHAPE_MINW: width = std::max(width, c); break;
      case SHAPE_MINH: height = std::max(height, c); break;
      case SHAPE_MAXW: width = std::min(width, c); break;
      case SHAPE_MAXH: height = std::min(height, c); break;
      case SHAPE_WIDTH:
        if (width != startWidth) width = c;
        break;
      case SHAPE_HEIGHT:
        if (height != startHeight) height = c;
        break;
      default: break;
    }
  }
}

Color16 CScriptShape::GetColor(int phase) const { return phase >= 0 && phase < kPhases ? m_colors[phase] : Color16(); }
