// Shape scripts: expressions, tokenising, drawing phases into masks, text
// rectangles, size restrictions, arcs and splines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sintra/overlay/OverlayBuffer.h"
#include "sintra/overlay/ScriptShape.h"
#include "sintra/overlay/ShapeGeometry.h"

namespace {

float Eval(const char* text, float w = 0, float h = 0) {
  CShapeExpression e;
  EXPECT_TRUE(e.Parse(text)) << text;
  return e.Evaluate(w, h);
}

// Renders one phase of a shape into a fresh mask of the object's size x scale.
class ShapeMask : public COverlayBuffer {
 public:
  ShapeMask(CScriptShape& shape, int phase, int outline) : COverlayBuffer(1u << phase), m_shape(shape), m_phase(phase), m_outline(outline) {
    CreateHeader();
  }
  void Draw(int w, int h, int scale) {
    Size(w * scale, -h * scale);
    StartRender();
    m_shape.Render(GetRenderDC(), CRect(0, 0, w, h), CRect(0, 0, w, h), scale, m_phase, m_outline);
    EndRender(m_phase);
  }
  bool Ink(int x, int y) {
    const BYTE* bits = GetMask(m_phase);
    return !((bits[y * (MaskLineWidth() / 8) + x / 8] >> (7 - x % 8)) & 1);
  }
  // Bounding box of the ink, right and bottom exclusive.
  CRect InkBounds() {
    CRect r(GetMaskWidth(), GetMaskHeight(), 0, 0);
    for (int y = 0; y < GetMaskHeight(); ++y)
      for (int x = 0; x < GetMaskWidth(); ++x)
        if (Ink(x, y)) r = CRect(std::min<int>(r.left, x), std::min<int>(r.top, y), std::max<int>(r.right, x + 1), std::max<int>(r.bottom, y + 1));
    return r;
  }

 private:
  CScriptShape& m_shape;
  int m_phase;
  int m_outline;
};

}  // namespace

TEST(ShapeExpression, LeftToRightWithGroups) {
  EXPECT_FLOAT_EQ(Eval("2+3*4"), 20.0f);
  EXPECT_FLOAT_EQ(Eval("2+(3*4)"), 14.0f);
  EXPECT_FLOAT_EQ(Eval(" W / 2", 100, 0), 50.0f);
  EXPECT_FLOAT_EQ(Eval("H-10", 0, 50), 40.0f);
  EXPECT_FLOAT_EQ(Eval("1.5*x2"), 3.0f);  // unknown characters are ignored
  EXPECT_FLOAT_EQ(Eval(""), 0.0f);
  EXPECT_FLOAT_EQ(Eval("((W", 7, 0), 7.0f);  // open groups close at the end
  EXPECT_TRUE(std::isinf(Eval("1/0")));
  CShapeExpression e;
  EXPECT_FALSE(e.Parse("1234567890123456789012"));  // 22 characters
  EXPECT_TRUE(e.Parse("123456789012345678901"));
  EXPECT_FALSE(e.Parse("(((((((((((1)))))))))))"));  // 11 levels
  EXPECT_TRUE(e.Parse("((((((((((1))))))))))"));
  EXPECT_FALSE(e.Parse("1)"));
}

TEST(ShapeExpression, ValuesAreClampedBeforeConversion) {
  EXPECT_EQ(ShapeValueToInt(Eval("1/0")), static_cast<int>(kShapeCoordinateLimit));
  EXPECT_EQ(ShapeValueToInt(Eval("0-1/0")), -static_cast<int>(kShapeCoordinateLimit));
  EXPECT_EQ(ShapeValueToInt(Eval("0/0")), 0);
  EXPECT_EQ(ShapeValueToInt(Eval("99999999999999999999")), static_cast<int>(kShapeCoordinateLimit));
  EXPECT_EQ(ShapeValueToInt(-7.9f), -7);
}

TEST(ScriptShape, TokenisingRules) {
  struct Case {
    const char* script;
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"<RECT>0,0,W,H</RECT><CIRCLE>1,1,5,5</CIRCLE>", {SHAPE_RECT, SHAPE_CIRCLE}},
      {"<RECT>0,0,W</RECT><CIRCLE>1,1,5,5</CIRCLE>", {}},                         // dropped, ends the script
      {"<CIRCLE>1,1,5,5</CIRCLE><RECT>0,0,W</RECT><LINE>0,0,1,1</LINE>", {SHAPE_CIRCLE}},
      {"<rect>0,0,W,H</rect><LINE>0,0,1,1</LINE>", {SHAPE_LINE}},                 // lower case is skipped
      {"<NOTE>hello</NOTE><LINETO>3,4</LINETO>", {SHAPE_LINETO}},
      {"<RECT>0,0,W,H</RECTX><LINE>0,0,1,1</LINE>", {}},                          // mismatched closing tag
      {"text before <POLY>0,0,5,0,5,5</POLY> after", {SHAPE_POLY}},
      {"<POLY>0,0,5,0,5</POLY>", {}},                                            // too few values
      {"<POLYOFF>1,2</POLYOFF><CLIPRECT></CLIPRECT>", {SHAPE_POLYOFF, SHAPE_CLIPRECT}},  // no count rule
      {"<LINE>0,0,1,(2</LINE><ARC>1,2,3,4,5,6,7</ARC><ARC>1))</ARC>", {SHAPE_LINE, SHAPE_ARC}},
      {"<COLOR>255,0,0</COLOR><MINW>40</MINW>", {SHAPE_COLOR, SHAPE_MINW}},
      {"<RECT>0,0,W,H", {}},
  };
  for (const Case& c : cases) {
    std::vector<CShapeToken> tokens;
    CScriptShape::Tokenise(c.script, tokens);
    std::vector<int> codes;
    for (const auto& t : tokens) codes.push_back(t.code);
    EXPECT_EQ(codes, c.codes) << c.script;
  }
}

TEST(ScriptShape, DefaultsAndOverlayFlags) {
  CScriptShape shape;
  EXPECT_EQ(shape.GetName(), "Box");
  EXPECT_EQ(shape.GetScript(2), "<RECT>0,0, W,H</RECT>");
  EXPECT_EQ(shape.GetScript(10), "COPYFILL");
  EXPECT_EQ(shape.GetOverlayFlags(), (1u << 2) | (1u << 10));
  shape.SetScript(2, "");
  EXPECT_EQ(shape.GetOverlayFlags(), 0u);  // COPYFILL of an empty phase sets nothing
  shape.SetScript(0, "<CIRCLE>0,0,W,H</CIRCLE>");
  shape.SetScript(8, "COPYFILL");
  shape.SetScript(6, "<CLIPRECT>5,5,W-5,H-5</CLIPRECT>");
  EXPECT_EQ(shape.GetOverlayFlags(), (1u << 0) | (1u << 8) | (1u << 6));
  CScriptShape copy;
  copy.SetExtra(7);
  shape = copy;
  EXPECT_EQ(shape.GetOverlayFlags(), (1u << 2) | (1u << 10));
  EXPECT_EQ(shape.GetExtra(), 7u);
}

TEST(ScriptShape, WidthAndHeightAtScaleTwo) {
  CScriptShape shape;  // <RECT>0,0, W,H</RECT>
  ShapeMask mask(shape, 2, 0);
  mask.Draw(101, 51, 2);
  // W = 100, H = 50 at scale 2: the rectangle (0,0)-(200,100) with its one-pixel frame.
  EXPECT_EQ(mask.InkBounds(), CRect(0, 0, 200, 100));
  EXPECT_FALSE(mask.Ink(200, 100));
  EXPECT_TRUE(mask.Ink(199, 99));
}

TEST(ScriptShape, CopyFillDrawsTheFillPhaseHollow) {
  CScriptShape shape;
  ShapeMask outline(shape, 10, 1);
  outline.Draw(20, 10, 1);
  EXPECT_TRUE(outline.Ink(0, 0));
  EXPECT_TRUE(outline.Ink(18, 8));  // W = 19, H = 9; the right and bottom edges are excluded
  EXPECT_FALSE(outline.Ink(19, 9));
  EXPECT_FALSE(outline.Ink(10, 5));  // hollow inside
  ShapeMask fill(shape, 2, 1);
  fill.Draw(20, 10, 1);
  EXPECT_TRUE(fill.Ink(10, 5));
}

TEST(ScriptShape, CutOutElementsPaintPaper) {
  CScriptShape shape;
  shape.SetScript(2, "<RECT>0,0,W,H</RECT><RECTOFF>5,2,15,8</RECTOFF>");
  ShapeMask mask(shape, 2, 0);
  mask.Draw(21, 11, 1);
  EXPECT_TRUE(mask.Ink(2, 2));
  EXPECT_TRUE(mask.Ink(5, 2));    // the pen still draws the cut-out's border
  EXPECT_FALSE(mask.Ink(10, 5));  // paper inside
}

TEST(ScriptShape, PhaseColourIsReadUnscaled) {
  CScriptShape shape;
  shape.SetScript(0, "<COLOR>200,W,300</COLOR><CIRCLE>0,0,W,H</CIRCLE>");
  ShapeMask mask(shape, 0, 1);
  mask.Draw(11, 11, 1);
  EXPECT_EQ(shape.GetColor(0).GetColorRef(), RGB(200, 10, 300 & 0xFF));
  mask.Draw(11, 11, 2);
  EXPECT_EQ(shape.GetColor(0).GetColorRef(), RGB(200, 10, 300 & 0xFF));
  EXPECT_EQ(shape.GetColor(1).GetColorRef(), 0u);
}

TEST(ScriptShape, TextRectAndRestrictions) {
  CScriptShape shape;
  CRect r;
  EXPECT_FALSE(shape.GetTextRect(r, 100, 50, 1));
  shape.SetScript(6, "<CLIPRECT>W-10,H-5,10,5</CLIPRECT>");
  ASSERT_TRUE(shape.GetTextRect(r, 101, 51, 2));
  EXPECT_EQ(r, CRect(20, 10, 180, 90));
  shape.SetScript(13, "<HEIGHT>25</HEIGHT><MINW>40</MINW><MAXH>20</MAXH>");
  int w = 20, h = 100;
  shape.ProcessRestrictData(w, h, 20, 50);  // elements apply in order
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 20);
  shape.SetScript(13, "<HEIGHT>25</HEIGHT><MINW>40</MINW><MAXH>30</MAXH>");
  w = 60, h = 50;
  shape.ProcessRestrictData(w, h, 20, 50);  // height as it started: left alone by HEIGHT
  EXPECT_EQ(w, 60);
  EXPECT_EQ(h, 30);
  shape.SetScript(13, "<MAXW>W/2</MAXW>");
  w = 80, h = 10;
  shape.ProcessRestrictData(w, h, 0, 0);
  EXPECT_EQ(w, 39);  // (80 - 1) / 2
}

TEST(ShapeGeometry, ArcSweepsInIncreasingAngle) {
  // Sweep -90 from 0 degrees runs from -90 up to 0: from straight below the centre to its right.
  const auto pts = shapegeom::ArcPoints(CPoint(0, 0), CPoint(50, 50), 20, 0, -90);
  ASSERT_GE(pts.size(), 10u);
  EXPECT_EQ(pts.front(), CPoint(50, 69));  // truncate(-20 + 0.5) is -19
  EXPECT_EQ(pts.back(), CPoint(70, 50));
  for (size_t i = 1; i < pts.size(); ++i) EXPECT_GE(pts[i].x, pts[i - 1].x);
  const auto forward = shapegeom::ArcPoints(CPoint(0, 0), CPoint(50, 50), 20, 0, 90);
  EXPECT_EQ(forward.front(), CPoint(70, 50));
  EXPECT_EQ(forward.back(), CPoint(50, 30));  // positive angles turn upwards on screen
  EXPECT_LE(shapegeom::ArcPoints(CPoint(0, 0), CPoint(0, 0), 5, 0, 1e30f).size(), 300u);
}

TEST(ScriptShape, ArcElementDrawsTheLineToItsStart) {
  CScriptShape shape;
  shape.SetScript(2, "<ARC>0,10,10,10,10,180,90</ARC>");
  ShapeMask mask(shape, 2, 1);
  mask.Draw(21, 21, 1);
  EXPECT_TRUE(mask.Ink(0, 10));   // the start point
  EXPECT_TRUE(mask.Ink(1, 10));   // the arc's first point at 180 degrees
  EXPECT_TRUE(mask.Ink(9, 19));   // the arc reaches the bottom (270 degrees)
  EXPECT_FALSE(mask.Ink(10, 1));  // but not the top
  EXPECT_FALSE(mask.Ink(19, 10));
}

TEST(ShapeGeometry, SplinesPassThroughTheirPoints) {
  const std::vector<CPoint> open = {{0, 0}, {80, 0}};
  const auto line = shapegeom::SplinePoints(open, false);
  EXPECT_EQ(line.front(), CPoint(0, 0));
  EXPECT_EQ(line.back(), CPoint(80, 0));  // a straight spline keeps its points
  EXPECT_EQ(line.size(), 9u);
  const std::vector<CPoint> tri = {{0, 0}, {40, 0}, {20, 30}};
  const auto closed = shapegeom::SplinePoints(tri, true);
  EXPECT_EQ(closed.size(), 24u);
  EXPECT_EQ(closed[8], CPoint(40, 0));
  EXPECT_EQ(closed[16], CPoint(20, 30));
  EXPECT_TRUE(shapegeom::SplinePoints({{1, 1}, {2, 2}}, true).empty());
  EXPECT_TRUE(shapegeom::SplinePoints({{1, 1}}, false).empty());
}
