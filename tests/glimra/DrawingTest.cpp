// Exact pixels of every kind drawn into small 5-6-5 frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "GlimraTestSupport.h"
#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateText.h"
#include "glimra/HandleBox.h"

using glimratest::Frame;

namespace {
constexpr WORD kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F;

CAnnotateBox PlainBox(const CRect& r, DWORD transparency) {
  CAnnotateBox box(0);
  box.SetRect(r);
  box.SetTransparency(transparency);
  box.SetColor(RGB(255, 0, 0));
  box.SetOutlineColor(RGB(0, 0, 255));
  return box;
}
}  // namespace

TEST(Drawing, OpaqueBoxWritesItsColoursExactly) {
  Frame f(10, 8, 0x1234);
  CAnnotateBox box = PlainBox(CRect(2, 1, 7, 6), 0);
  box.Draw(f.Bits(), f.Bits(), &f.info, box.GetRect(), CSize(10, 8), 0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      WORD expected = 0x1234;
      if (x >= 2 && x < 7 && y >= 1 && y < 6) expected = (y == 1 || y == 5 || x == 2 || x == 6) ? kBlue : kRed;
      EXPECT_EQ(f.At(x, y), expected) << x << "," << y;
    }
  }
}

TEST(Drawing, FullyTransparentBoxOnlyDropsTheLowGreenBit) {
  Frame f(10, 8, 0xFFFF);
  CAnnotateBox box = PlainBox(CRect(0, 0, 10, 8), 100);
  box.Draw(f.Bits(), f.Bits(), &f.info, box.GetRect(), CSize(10, 8), 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(f.At(x, y) | 0x20, 0xFFFF);
  // Half transparency mixes; a draw at percent 100 leaves the weight at 0 (opaque).
  Frame g(4, 4, 0);
  CAnnotateBox half = PlainBox(CRect(0, 0, 4, 4), 50);
  half.Draw(g.Bits(), g.Bits(), &g.info, half.GetRect(), CSize(4, 4), 0);
  EXPECT_EQ(g.At(1, 1), BlendPixel565(0, 128, Color16(RGB(255, 0, 0))));
  half.Draw(g.Bits(), g.Bits(), &g.info, half.GetRect(), CSize(4, 4), 100);
  EXPECT_EQ(g.At(1, 1), kRed);
}

TEST(Drawing, PartlyClippedBoxOutlinesOnlyTheEdgesItReaches) {
  Frame f(12, 8, 0);
  CAnnotateBox box = PlainBox(CRect(2, 1, 10, 7), 0);
  // The list hands each object its rectangle cut by the area to repaint.
  box.Draw(f.Bits(), f.Bits(), &f.info, CRect(5, 1, 10, 7), CSize(12, 8), 0);
  EXPECT_EQ(f.At(4, 3), 0);      // outside the clip
  EXPECT_EQ(f.At(5, 3), kRed);   // clip's left edge is not the box's
  EXPECT_EQ(f.At(9, 3), kBlue);  // box's right edge inside the clip
  EXPECT_EQ(f.At(6, 1), kBlue);  // top row
  Frame g(12, 8, 0);
  box.Draw(g.Bits(), g.Bits(), &g.info, CRect(2, 1, 6, 7), CSize(12, 8), 0);
  EXPECT_EQ(g.At(2, 3), kBlue);
  EXPECT_EQ(g.At(5, 3), kRed);
  EXPECT_EQ(g.At(6, 3), 0);
}

TEST(Drawing, MagnifyingBoxTakesItsBlockInsideTheFrame) {
  Frame source(16, 8, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) source.Ref(x, y) = static_cast<WORD>(x + 32 * y);
  CAnnotateBox zoom(1);
  zoom.SetZoom(2);
  zoom.SetOutlineColor(RGB(255, 255, 255));
  // Left edge: the block's centre is moved right so it starts at x = 0.
  zoom.SetRect(CRect(-10, 0, 6, 8));
  Frame f(16, 8, 0x4444);
  zoom.Draw(f.Bits(), source.Bits(), &f.info, CRect(0, 0, 16, 8), CSize(16, 8), 0);
  EXPECT_EQ(f.At(0, 1), 5 + 32 * 2);  // block (5, 0) = source (0 + 5, 2 + 0)
  EXPECT_EQ(f.At(4, 3), 7 + 32 * 3);
  EXPECT_EQ(f.At(5, 3), 0xFFFF);  // right outline column
  EXPECT_EQ(f.At(2, 0), 0xFFFF);  // top outline row
  EXPECT_EQ(f.At(6, 3), 0x4444);
  // Right edge: the block ends inside the frame.
  zoom.SetRect(CRect(10, 0, 26, 8));
  Frame g(16, 8, 0x4444);
  zoom.Draw(g.Bits(), source.Bits(), &g.info, CRect(0, 0, 16, 8), CSize(16, 8), 0);
  EXPECT_EQ(g.At(11, 1), 7 + 32 * 2);
  EXPECT_EQ(g.At(15, 1), 9 + 32 * 2);
}

TEST(Drawing, MagnifyingBoxWidensChangedAreas) {
  CAnnotateBox zoom(1);
  zoom.SetRect(CRect(0, 0, 40, 40));
  EXPECT_TRUE(zoom.ComplexIntersect());
  EXPECT_EQ(zoom.ProcessIntersect(CRect(20, 20, 21, 21)), CRect(19, 19, 24, 24));
  EXPECT_EQ(zoom.ProcessIntersect(CRect(100, 100, 110, 110)), CRect(100, 100, 110, 110));
  CAnnotateBox plain(0);
  plain.SetRect(CRect(0, 0, 40, 40));
  EXPECT_EQ(plain.ProcessIntersect(CRect(20, 20, 21, 21)), CRect(20, 20, 21, 21));
}

TEST(Drawing, BrushStrokeOfOnePointIsOneStamp) {
  Frame f(24, 24, 0);
  CAnnotateBrush brush(2);  // 5 pixels
  brush.SetColor(RGB(255, 0, 0));
  CPoint pt(10, 10);
  EXPECT_EQ(brush.AddData(&pt), CRect(8, 8, 13, 13));
  brush.Draw(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 24, 24), CSize(24, 24), 0);
  EXPECT_EQ(f.At(10, 10), kRed);
  int changed = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      if (f.At(x, y) == 0) continue;
      ++changed;
      EXPECT_TRUE(x >= 8 && x < 13 && y >= 8 && y < 13) << x << "," << y;
    }
  EXPECT_GT(changed, 5);
  EXPECT_LT(changed, 25);  // soft: the corners stay untouched
  EXPECT_TRUE(brush.Pick(CPoint(10, 10), &f.info, CSize(24, 24)));
  EXPECT_FALSE(brush.Pick(CPoint(20, 20), &f.info, CSize(24, 24)));
}

TEST(Drawing, BrushIndexOutOfRangeIsOnePixel) {
  Frame f(8, 8, 0);
  CAnnotateBrush brush(9);
  EXPECT_EQ(brush.GetBrushIndex(), 0);
  EXPECT_EQ(brush.BrushSize(), 1);
  brush.SetColor(RGB(0, 255, 0));
  CPoint a(1, 1), b(5, 1);
  brush.AddData(&a);
  brush.AddData(&b);
  brush.Draw(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 8, 8), CSize(8, 8), 0);
  EXPECT_EQ(f.Count(kGreen), 4);  // 1..4; the last point is left out
  EXPECT_EQ(f.At(5, 1), 0);
}

TEST(Drawing, BrushStampsNearTheEdgeStayInsideTheFrame) {
  Frame f(8, 8, 0);
  CAnnotateBrush brush(7);  // 22 pixels, wider than the frame
  brush.SetColor(RGB(255, 0, 0));
  CPoint pt(0, 0);
  brush.AddData(&pt);
  brush.Draw(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 8, 8), CSize(8, 8), 0);
  EXPECT_EQ(f.At(0, 0), kRed);
  // The part of the stamp inside the frame is the same stamp drawn clear of
  // every edge: cutting at the frame moves nothing.
  Frame whole(40, 40, 0);
  CPoint centre(16, 16);
  brush.SetData(&centre);
  EXPECT_EQ(brush.GetSize(), 1);
  brush.Draw(whole.Bits(), whole.Bits(), &whole.info, CRect(0, 0, 40, 40), CSize(40, 40), 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(f.At(x, y), whole.At(16 + x, 16 + y)) << x << "," << y;
  EXPECT_EQ(whole.At(16, 16), kRed);
  EXPECT_EQ(whole.At(4, 16), 0);  // nothing beyond the stamp's reach
  EXPECT_EQ(whole.At(16, 27), 0);
}

TEST(Drawing, LineAndArrowPolygons) {
  struct Case {
    DWORD style;
    int points;
  } cases[] = {{0, 4}, {1, 7}, {2, 7}, {3, 10}};
  for (const Case& c : cases) {
    CAnnotateLine line(2, c.style);
    EXPECT_EQ(line.CreateLine(CPoint(0, 0), CPoint(100, 0), 1), c.points) << c.style;
    const POINT* p = line.GetPoints();
    if (c.style == 2) {
      EXPECT_EQ(p[0].x, 0);  // the head points at the origin
    } else if (c.style != 0) {
      EXPECT_EQ(p[0].x, 100);
    }
    if (c.style == 1) {
      // Head base 3 w back from the end, wings 3 w wide, shaft w wide.
      EXPECT_EQ(p[1].x, 85);
      EXPECT_EQ(p[1].y, 8);
      EXPECT_EQ(p[2].y, 3);
      EXPECT_EQ(p[3].x, 0);
    }
  }
  CAnnotateLine empty(2, 1);
  CPoint a(5, 5);
  empty.AddData(&a);
  EXPECT_EQ(empty.GetPointCount(), 0);
  EXPECT_TRUE(empty.GetRect().IsRectEmpty());
  EXPECT_FALSE(empty.Pick(a, nullptr, CSize(10, 10)));
  CAnnotateLine wide(99, 0);
  EXPECT_EQ(wide.GetWidth(), 22);
}

TEST(Drawing, LineFillsItsPolygonInItsColour) {
  Frame f(32, 20, 0);
  CAnnotateLine line(2, 0);  // 5 wide
  line.SetColor(RGB(0, 255, 0));
  CPoint a(2, 10), b(28, 10);
  line.AddData(&a);
  line.SetData(&b);
  EXPECT_EQ(line.GetRect(), CRect(2, 8, 28, 12));
  line.Draw(f.Bits(), f.Bits(), &f.info, line.GetRect(), CSize(32, 20), 0);
  EXPECT_EQ(f.At(10, 9), kGreen);
  EXPECT_EQ(f.At(10, 10), kGreen);
  EXPECT_EQ(f.At(10, 5), 0);
  EXPECT_EQ(f.At(30, 10), 0);
  EXPECT_TRUE(line.Pick(CPoint(15, 10), &f.info, CSize(32, 20)));
  line.LooseFocus();  // masks dropped; drawn again on the next draw
  Frame g(32, 20, 0);
  line.Draw(g.Bits(), g.Bits(), &g.info, line.GetRect(), CSize(32, 20), 0);
  EXPECT_EQ(g.pixels, f.pixels);
}

TEST(Drawing, TextWithTheDefaultShapeAtStyleTwo) {
  Frame f(80, 40, 0);
  LOGFONTA lf{};
  lf.lfHeight = 16;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  CAnnotateText text(&lf, RGB(255, 0, 0), 37 /* centred single line */, 2);
  text.SetColor(RGB(0, 255, 0));
  text.SetOutlineColor(RGB(0, 0, 255));
  // A text made with a font starts opaque (the plain constructor's 40 % is
  // not inherited), so its colours land exactly.
  EXPECT_EQ(text.GetTransparency(), 0u);
  EXPECT_EQ(CAnnotateText().GetTransparency(), 40u);
  text.SetComment("HI");
  CRect r(4, 4, 76, 36);
  text.AddData(&r);
  text.Draw(f.Bits(), f.Bits(), &f.info, text.GetRect(), CSize(80, 40), 0);
  EXPECT_EQ(f.At(0, 0), 0);
  EXPECT_EQ(f.At(4, 20), kBlue);    // outline on the left edge
  EXPECT_EQ(f.At(40, 4), kBlue);    // and the top
  EXPECT_EQ(f.At(10, 10), kGreen);  // fill
  EXPECT_GT(f.Count(kRed), 10);     // the text
  EXPECT_GT(f.Count(kGreen), 500);
  // Style 0 has no fill and no outline; an empty comment has no text.
  Frame g(80, 40, 0);
  text.SetStyle(0);
  text.Draw(g.Bits(), g.Bits(), &g.info, text.GetRect(), CSize(80, 40), 0);
  EXPECT_EQ(g.Count(kGreen) + g.Count(kBlue), 0);
  EXPECT_GT(g.Count(kRed), 10);
  text.SetComment("");
  Frame h(80, 40, 0);
  text.Draw(h.Bits(), h.Bits(), &h.info, text.GetRect(), CSize(80, 40), 0);
  EXPECT_EQ(h.Count(0), 80 * 40);
}

TEST(Drawing, HandleBoxInvertsAndDrawingTwiceRestores) {
  Frame f(40, 40, 0x0F0F);
  CHandleBox handle;
  handle.SetRect(CRect(8, 8, 32, 30));
  handle.Draw(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 40, 40), CSize(40, 40));
  EXPECT_EQ(f.At(5, 5), static_cast<WORD>(~0x0F0F));    // corner square
  EXPECT_EQ(f.At(20, 19), static_cast<WORD>(~0x0F0F));  // centre cross
  EXPECT_EQ(f.At(12, 8), static_cast<WORD>(~0x0F0F));   // top edge dash
  EXPECT_EQ(f.At(18, 8), 0x0F0F);                       // the gap of a dash (column mod 10 >= 8)
  EXPECT_EQ(f.At(15, 15), 0x0F0F);
  handle.Draw(f.Bits(), f.Bits(), &f.info, CRect(0, 0, 40, 40), CSize(40, 40));
  EXPECT_EQ(f.Count(0x0F0F), 40 * 40);
}

TEST(Drawing, HandlesAndReshaping) {
  CHandleBox handle;
  handle.SetRect(CRect(0, 0, 10, 10));
  CPoint offset;
  EXPECT_EQ(handle.GetHandle(CPoint(1, 1), offset), HANDLE_CENTER);  // centre wins over the corner
  handle.SetRect(CRect(10, 10, 50, 30));
  EXPECT_EQ(handle.GetHandle(CPoint(11, 11), offset), HANDLE_TOPLEFT);
  EXPECT_EQ(offset, CPoint(-1, -1));
  EXPECT_EQ(handle.GetHandle(CPoint(20, 11), offset), HANDLE_TOP);
  EXPECT_EQ(offset, CPoint(0, -1));
  EXPECT_EQ(handle.GetHandle(CPoint(49, 22), offset), HANDLE_RIGHT);
  EXPECT_EQ(handle.GetHandle(CPoint(50, 30), offset), HANDLE_BOTTOMRIGHT);
  EXPECT_EQ(handle.GetHandle(CPoint(20, 29), offset), HANDLE_BOTTOM);
  EXPECT_EQ(handle.GetHandle(CPoint(11, 20), offset), HANDLE_LEFT);
  EXPECT_EQ(handle.GetHandle(CPoint(100, 100), offset), HANDLE_NONE);
  handle.SetLinePick(TRUE);
  handle.GetStart() = CPoint(12, 12);
  EXPECT_EQ(handle.GetHandle(CPoint(13, 13), offset), HANDLE_START);
  EXPECT_EQ(handle.GetHandle(CPoint(49, 11), offset), HANDLE_NONE);

  CAnnotateBox box(0);
  box.SetRect(CRect(10, 10, 50, 30));
  box.PrepareHandle();
  box.ProcessHandle(HANDLE_RIGHT, CPoint(13, 20));
  EXPECT_EQ(box.GetRect(), CRect(5, 10, 13, 30));
  box.ProcessHandle(HANDLE_CENTER, CPoint(100, 100));
  EXPECT_EQ(box.GetRect(), CRect(80, 90, 120, 110));
  box.ProcessHandle(HANDLE_TOPLEFT, CPoint(60, 40));  // past the other corner: normalised
  EXPECT_EQ(box.GetRect(), CRect(50, 30, 60, 40));
}

TEST(Drawing, BrushReshapeScalesAboutTheCentre) {
  CAnnotateBrush brush(0);
  CPoint a(10, 10), b(20, 20);
  brush.AddData(&a);
  brush.AddData(&b);
  brush.PrepareHandle();
  brush.ProcessHandle(HANDLE_BOTTOMRIGHT, CPoint(30, 30));
  EXPECT_FLOAT_EQ(brush.GetScaleX(), 2.0f);
  EXPECT_FLOAT_EQ(brush.GetScaleY(), 2.0f);
  EXPECT_EQ(brush.GetOffset(), CPoint(5, 5));
}

TEST(Drawing, TextIsLaidOutInsideTheMargin) {
  LOGFONTA lf{};
  lf.lfHeight = 14;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  auto draw = [&](int margin, const char* textScript) {
    CAnnotateText text(&lf, RGB(255, 0, 0), 37, 0);
    CScriptShape shape;
    shape.SetScript(6, textScript);
    text.SetScriptShape(shape);
    text.SetTransparency(0);
    text.SetComment("WWWW");
    text.SetTextMargin(margin);
    CRect r(0, 0, 80, 30);
    text.AddData(&r);
    Frame f(80, 30, 0);
    text.Draw(f.Bits(), f.Bits(), &f.info, text.GetRect(), CSize(80, 30), 0);
    // Columns holding text.
    int first = 80, last = -1;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 80; ++x)
        if (f.At(x, y) == kRed) first = std::min(first, x), last = std::max(last, x);
    return std::make_pair(first, last);
  };
  const auto whole = draw(0, "");
  ASSERT_GE(whole.second, 0);
  const auto narrow = draw(20, "");  // the text is clipped to 20 .. 60
  EXPECT_GE(narrow.first, 20);
  EXPECT_LT(narrow.second, 60);
  const auto clipped = draw(0, "<CLIPRECT>0,0,W/2,H</CLIPRECT>");  // left half only
  EXPECT_GE(clipped.second, 0);
  EXPECT_LT(clipped.second, 40);
}

TEST(Drawing, BrushTipsComeFromTheBuiltInPicture) {
  for (int i = 1; i < 8; ++i) {
    const int size = CAnnotateBrush::TipSize(i);
    const BYTE* tip = BrushTipData(i);
    EXPECT_EQ(tip[(size / 2) * size + size / 2], 0) << i;  // full colour at the centre
    if (size >= 5) {
      EXPECT_EQ(tip[0], 255) << i;  // untouched outside the disc
    }
  }
  EXPECT_EQ(BrushTipData(0)[0], 0);
  EXPECT_EQ(BrushTipData(8)[0], 0);  // out of range: one byte of 0
}
