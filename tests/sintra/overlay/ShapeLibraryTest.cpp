// The shipped frame library and the library reader.
#include <gtest/gtest.h>

#include "sintra/overlay/OverlayBuffer.h"
#include "sintra/overlay/ShapeLibrary.h"
#include "tests/common/TestEnvironment.h"

namespace {

// Ink pixels of one phase of a shape rendered into a mask of w x h.
class PhaseMask : public COverlayBuffer {
 public:
  PhaseMask() : COverlayBuffer(0x1FFF) { CreateHeader(); }
  int Ink(CScriptShape& shape, int phase, int w, int h) {
    Size(w, -h);
    StartRender();
    shape.Render(GetRenderDC(), CRect(0, 0, w, h), CRect(0, 0, w, h), 1, phase, 2);
    EndRender(phase);
    const BYTE* bits = GetMask(phase);
    int n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) n += !((bits[y * (MaskLineWidth() / 8) + x / 8] >> (7 - x % 8)) & 1);
    return n;
  }
};

}  // namespace

TEST(ShapeLibrary, ShippedFramesLoadAndDraw) {
  CShapeLibrary library;
  ASSERT_TRUE(library.LoadFile((testenv::SourceDir() + "/resources/shapes/Frames.shapes").c_str()));
  EXPECT_EQ(library.GetCategory(), "Frames");
  EXPECT_EQ(library.GetIcon(), 3);
  for (const char* name : {"Box", "Rounded box", "Speech bubble", "Cloud", "Starburst", "Arrow banner"}) {
    const CScriptShape* found = library.FindShape(name);
    ASSERT_NE(found, nullptr) << name;
    CScriptShape shape = *found;
    const DWORD flags = shape.GetOverlayFlags();
    EXPECT_TRUE(flags & (1u << 2)) << name;   // a fill
    EXPECT_TRUE(flags & (1u << 10)) << name;  // an outline
    CRect text;
    EXPECT_TRUE(shape.GetTextRect(text, 200, 100, 1)) << name;
    EXPECT_FALSE(text.IsRectEmpty()) << name;
    EXPECT_TRUE(CRect(0, 0, 200, 100).PtInRect(text.CenterPoint())) << name;
    PhaseMask mask;
    const int fill = mask.Ink(shape, 2, 200, 100);
    const int outline = mask.Ink(shape, 10, 200, 100);
    EXPECT_GT(fill, 200 * 100 / 3) << name;  // covers a good part of the frame
    EXPECT_LT(outline, fill) << name;        // the outline is thin
    EXPECT_GT(outline, 400) << name;
  }
}

TEST(ShapeLibrary, ReaderRules) {
  CShapeLibrary library;
  EXPECT_TRUE(library.LoadText("<ICON>99</ICON><SHAPES><SHAPE><FILL><RECT>0,0,W,H</RECT></FILL></SHAPE>"
                               "<SHAPE><NAME>Only</NAME><FILL><CIRCLE>0,0,W,H</CIRCLE></FILL>"
                               "<RESTRICT><MINW>50</MINW></RESTRICT></SHAPE></SHAPES>"));
  EXPECT_EQ(library.GetIcon(), 15);
  EXPECT_EQ(library.GetCategory(), "Shapes");
  ASSERT_EQ(library.GetCount(), 1);  // the nameless shape is skipped
  const CScriptShape* shape = library.FindShape("only");
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->GetOverlayFlags(), 1u << 2);
  int w = 10, h = 10;
  shape->ProcessRestrictData(w, h, 10, 10);
  EXPECT_EQ(w, 50);
  EXPECT_FALSE(library.LoadText(""));
  EXPECT_FALSE(library.LoadFile("/nonexistent/file.shapes"));
}
