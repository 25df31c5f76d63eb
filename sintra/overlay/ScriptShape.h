// The outline of a text annotation as a small vector script per mask plane,
// scaled to the annotation's size. Thirteen phase scripts (one per plane, see
// OverlayPlane), a restrict script limiting the annotation's size (index 13) and
// a spare one (14). A script is a sequence of elements "<KEY>values</KEY>" (for
// example "<RECT>0,0, W,H</RECT>"); values are left-to-right expressions over W
// and H (the annotation's width and height less one).
#pragma once

#include <string>
#include <vector>

#include "platform/base/Rect.h"
#include "platform/gfx/Gdi.h"
#include "sintra/overlay/Color16.h"
#include "sintra/overlay/ShapeExpression.h"

enum ShapeTokenCode {
  SHAPE_POLY = 1,
  SHAPE_POLYOFF = 2,
  SHAPE_POLYSPLINE = 3,
  SHAPE_POLYLINE = 4,
  SHAPE_SPLINE = 5,
  SHAPE_RECT = 6,
  SHAPE_RECTOFF = 7,
  SHAPE_CLIPRECT = 8,
  SHAPE_CIRCLE = 9,
  SHAPE_CIRCLEOFF = 10,
  SHAPE_ARC = 11,
  SHAPE_ARCTO = 12,
  SHAPE_LINE = 13,
  SHAPE_LINETO = 14,
  SHAPE_MINW = 15,
  SHAPE_MINH = 16,
  SHAPE_MAXW = 17,
  SHAPE_MAXH = 18,
  SHAPE_WIDTH = 19,
  SHAPE_HEIGHT = 20,
  SHAPE_COLOR = 21
};

// One parsed element: its code and its value expressions.
struct CShapeToken {
  int code = 0;
  std::vector<CShapeExpression> values;
};

class CScriptShape {
 public:
  static constexpr int kPhases = 13;
  static constexpr int kRestrict = 13;
  static constexpr int kSpare = 14;
  static constexpr int kScripts = 15;
  // Limits that keep hostile scripts cheap.
  static constexpr size_t kMaxTokens = 4096;
  static constexpr size_t kMaxValues = 8192;

  CScriptShape();
  CScriptShape(const CScriptShape& other);
  CScriptShape& operator=(const CScriptShape& other);
  ~CScriptShape();

  // Parses every script, except outline phases (8-12) that are "COPYFILL".
  void CreateTokens();
  // Draws phase `phase` into dc (black on white mask) for rect's size at scale.
  void Render(HDC dc, const CRect& rect, const CRect& clip, int scale, int phase, int outlineWidth);
  // Bit i set when phase i has tokens, or is a "COPYFILL" outline of a phase with tokens.
  DWORD GetOverlayFlags() const;
  // The first CLIPRECT of the TEXT phase for that size and scale; FALSE without one.
  BOOL GetTextRect(CRect& out, int width, int height, int scale) const;
  // Applies the restrict script to a proposed size.
  void ProcessRestrictData(int& width, int& height, int startWidth, int startHeight) const;
  // The colour the last Render of the phase used (black without a COLOR element).
  Color16 GetColor(int phase) const;

  // Script text by index 0-14; setting one re-parses it.
  const std::string& GetScript(int index) const;
  void SetScript(int index, const std::string& script);
  const std::string& GetName() const { return m_name; }
  void SetName(const std::string& name) { m_name = name; }
  DWORD GetExtra() const { return m_extra; }
  void SetExtra(DWORD extra) { m_extra = extra; }
  const std::vector<CShapeToken>& GetTokens(int index) const;

  // Parses one script into tokens (exposed for the fuzz target and tests).
  static void Tokenise(const std::string& script, std::vector<CShapeToken>& tokens);

 private:
  bool IsCopyFill(int phase) const;
  void ParseScript(int index);

  std::vector<CShapeToken> m_tokens[kScripts];
  std::string m_scripts[kScripts];
  std::string m_name = "Box";
  Color16 m_colors[kPhases];
  DWORD m_extra = 0;
};
