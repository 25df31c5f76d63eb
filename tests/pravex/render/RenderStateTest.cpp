// The states' whole-state records and the video-only renderer.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"
#include "tests/pravex/render/RenderTestUtil.h"

using namespace capture;
using namespace rendertest;

namespace {

BYTE Red(int, int) { return 255; }
BYTE Zero(int, int) { return 0; }

}  // namespace

TEST(RenderState, ScreenStateRecodesItsPictureAsOneCompleteRecord) {
  CScreenState state;
  auto pixels = FlatPicture(9, 5, 16, 0x1234);
  pixels[20] = 0x99;
  state.Apply(ScreenRecord(pixels, 9, 5, 16, CRect(0, 0, 9, 5)));
  CCaptureData* record = state.GetStateRecord();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->GetFlags() & (kFlagDelta | kFlagComplete), kFlagComplete);
  auto* screen = dynamic_cast<CCaptureScreen*>(record);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->GetChangedRect(), CRect(0, 0, 9, 5));
  CScreenCodec codec;
  ASSERT_TRUE(codec.Decode(*screen));
  ASSERT_EQ(codec.GetPictureSize(), pixels.size());
  EXPECT_EQ(0, std::memcmp(codec.GetPicture(), pixels.data(), pixels.size()));
  record->Release();
  CScreenState empty;
  EXPECT_EQ(empty.GetStateRecord(), nullptr);
}

TEST(RenderState, CursorStateMergesWhatAPrerollDelivered) {
  CCursorState state;
  state.SetRawMode(true);
  state.Apply(Control(kRecordBeginPreroll, kStreamCursor));
  state.Apply(MonoCursor(8, 8, {}, 5, 6, 1, 2));
  state.Apply(CursorMove(30, 40, 3, 4, 0));
  state.Apply(CursorClick(2));
  state.Apply(Control(kRecordEndPreroll, kStreamCursor));
  auto* merged = dynamic_cast<CCaptureCursor*>(state.GetStateRecord());
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(merged->GetContentFlags(), 7);
  EXPECT_EQ(merged->GetX(), 30);
  EXPECT_EQ(merged->GetHotSpotY(), 4);
  EXPECT_EQ(merged->GetShapeWidth(), 8);
  EXPECT_EQ(merged->GetClickState(), 2);
  merged->Release();
  // The live state followed every record.
  EXPECT_EQ(state.GetX(), 30);
  EXPECT_EQ(state.GetClickState(), 2);
  EXPECT_FALSE(state.IsPreroll());
}

TEST(RenderState, VideoOnlyRendererShowsTheCameraPictureAlone) {
  CTestRenderer r;
  r.SetForVideoOnly(1);
  r.ClearPreview();
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(8, 8, 1, 32, nullptr);
  dc.SelectObject(&bitmap);
  EXPECT_EQ(r.Paint(dc, CRect(0, 0, 8, 8), CRect(0, 0, 8, 8), RGB(0, 0, 9)), 0);
  EXPECT_EQ(dc.GetPixel(4, 4), RGB(0, 0, 9));
  r.WriteCaptureData(VideoFrame(4, 4, Red, Zero, Zero));
  EXPECT_EQ(r.Count("full"), 1);
  EXPECT_EQ(r.Count("resize"), 1);
  int w = 0, h = 0;
  r.GetSize(w, h);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 4);
  EXPECT_EQ(r.Paint(dc, CRect(0, 0, 8, 8), CRect(0, 0, 8, 8), RGB(0, 0, 9)), 1);
  EXPECT_EQ(dc.GetPixel(4, 4), RGB(255, 0, 0));
  EXPECT_EQ(r.ComposeAll(), nullptr);  // no screen picture, no back buffer
}
