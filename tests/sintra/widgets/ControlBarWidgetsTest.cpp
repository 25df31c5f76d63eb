// The control bar's widgets in a headless window with injected input and
// exact pixels: the bitmap button bar (rows, hot areas, check boxes,
// tooltip notices), the time counter, the LED meter, the progress bar and
// the caption button.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/BitStatic.h"
#include "sintra/widgets/MouseTrack.h"
#include "sintra/widgets/StaticLedBar.h"
#include "sintra/widgets/StaticProgressLedBar.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransButton.h"
#include "sintra/widgets/TransLedProgress.h"
#include "sintra/widgets/WidgetMessages.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

enum { kPlay, kStop, kPause, kOpen, kEighth, kQuarter, kHalf, kOne, kTwo, kFour, kEight };

// The player's button bar at (0, 0) of a 300 x 60 window.
struct ButtonBarFixture {
  CRecordingWnd top;
  CBitButton bar;
  CBitmap art;
  CDC artDC;
  ButtonBarFixture() {
    EXPECT_TRUE(top.CreateTop(0, 0, 300, 60));
    AfxSetMainWnd(&top);
    EXPECT_EQ(bar.Create(&top, CRect(0, 0, 132, 28), 544), 1);
    const struct {
      UINT id;
      CRect area;
      int normal, box, checked;
    } buttons[] = {
        {32771, {3, 3, 25, 25}, 1, 0, 0},     {32772, {27, 3, 49, 25}, 1, 0, 0},
        {32773, {51, 3, 73, 25}, 0, 1, 0},    {32797, {75, 3, 98, 25}, 1, 0, 0},
        {32791, {82, 16, 87, 24}, 1, 1, 0},   {32792, {88, 16, 93, 24}, 1, 1, 0},
        {32798, {94, 16, 99, 24}, 1, 1, 0},   {32793, {100, 16, 109, 24}, 1, 1, 1},
        {32794, {110, 16, 115, 24}, 1, 1, 0}, {32795, {116, 16, 121, 24}, 1, 1, 0},
        {32796, {122, 16, 127, 24}, 1, 1, 0},
    };
    for (const auto& b : buttons) bar.AddButton(b.id, b.area, b.normal, b.box, b.checked);
    bar.SetToolTip(3700);
    EXPECT_TRUE(art.LoadBitmap(544));
    artDC.CreateCompatibleDC(nullptr);
    artDC.SelectObject(&art);
    ui::ProcessPendingMessages();
  }
  ~ButtonBarFixture() {
    AfxSetMainWnd(nullptr);
    top.DestroyWindow();
  }
  // Whether the window shows area `index` exactly as row `row` of the art.
  bool ShowsRow(int index, int row) {
    ui::ProcessPendingMessages();
    if (artPixels.empty())
      for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 132; ++x) artPixels.push_back(artDC.GetPixel(x, y) & 0xFFFFFF);
    std::vector<std::uint32_t> shown;
    int width = 0, height = 0;
    if (!ui::ReadWindowPixels(top.m_hWnd, shown, width, height)) return false;
    CRect a;
    switch (index) {
      case kPlay:
        a = CRect(3, 3, 25, 25);
        break;
      case kStop:
        a = CRect(27, 3, 49, 25);
        break;
      case kPause:
        a = CRect(51, 3, 73, 25);
        break;
      default:
        a = CRect(100, 16, 109, 24);
        break;
    }
    for (int y = a.top; y < a.bottom; ++y)
      for (int x = a.left; x < a.right; ++x) {
        const COLORREF art = artPixels[static_cast<std::size_t>((y + row * 28) * 132 + x)];
        const std::uint32_t rgb = shown[static_cast<std::size_t>(y * width + x)];
        if (RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF) != art) return false;
      }
    return true;
  }
  std::vector<COLORREF> artPixels;
};

}  // namespace

TEST(BitButton, TheFourRowsOfTheBarShowAtPlayStopAndPause) {
  ButtonBarFixture f;
  EXPECT_EQ(f.bar.GetDlgCtrlID(), 99);
  EXPECT_TRUE(f.ShowsRow(kPlay, 1));
  EXPECT_TRUE(f.ShowsRow(kPause, 0));  // disabled
  EXPECT_TRUE(f.ShowsRow(kOne, 3));    // the checked speed
  ui::InjectMouseMove(f.bar.m_hWnd, POINT{30, 10});
  EXPECT_TRUE(f.ShowsRow(kStop, 2));
  EXPECT_FALSE(f.ShowsRow(kStop, 1));  // the rows really differ
  EXPECT_TRUE(f.ShowsRow(kPlay, 1));
  f.bar.EnableButton(kPause, 1);
  f.bar.CheckButton(kPause, 1);
  EXPECT_TRUE(f.ShowsRow(kPause, 3));
  // Row 0 between the areas.
  EXPECT_EQ(ui::GetWindowPixel(f.top.m_hWnd, 26, 10), f.artDC.GetPixel(26, 10) & 0xFFFFFF);
}

TEST(BitButton, EachOfPlayStopAndPauseShowsAllFourRows) {
  ButtonBarFixture f;
  for (int index : {kPlay, kStop, kPause}) {
    SCOPED_TRACE(index);
    const POINT inside{index * 24 + 10, 10};
    f.bar.SetCheckBox(index);
    f.bar.EnableButton(index, 0);
    f.bar.CheckButton(index, 1);
    EXPECT_TRUE(f.ShowsRow(index, 0));  // disabled, even though checked
    f.bar.EnableButton(index, 1);
    EXPECT_TRUE(f.ShowsRow(index, 3));
    f.bar.CheckButton(index, 0);
    EXPECT_TRUE(f.ShowsRow(index, 1));
    ui::InjectMouseMove(f.bar.m_hWnd, inside);
    EXPECT_TRUE(f.ShowsRow(index, 2));
    ui::InjectMouseMove(f.top.m_hWnd, POINT{200, 40});
    EXPECT_TRUE(f.ShowsRow(index, 1));
  }
}

TEST(BitButton, HotAreasInvalidationAndTooltipNotices) {
  ButtonBarFixture f;
  ui::InjectMouseMove(f.bar.m_hWnd, POINT{10, 10});
  ui::ProcessPendingMessages();
  EXPECT_EQ(f.bar.GetHotButton(), kPlay);
  EXPECT_EQ(f.top.Count(WM_HIDE_TOOLTIP), 1);
  ASSERT_EQ(f.top.Count(WM_SHOW_TOOLTIP), 1);
  EXPECT_EQ(f.top.Only(WM_SHOW_TOOLTIP)[0].wParam, 3700u);

  // Play to Stop: exactly the two areas wait to be painted.
  f.bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  std::vector<CRect> pending = f.bar.PendingUpdate().Rects();
  CUpdateRegion expected;
  expected.Add(CRect(3, 3, 25, 25));
  expected.Add(CRect(27, 3, 49, 25));
  CUpdateRegion got;
  for (const CRect& r : pending) got.Add(r);
  CUpdateRegion missing = expected;
  for (const CRect& r : pending) missing.Subtract(r);
  EXPECT_TRUE(missing.IsEmpty());
  CUpdateRegion extra = got;
  for (const CRect& r : expected.Rects()) extra.Subtract(r);
  EXPECT_TRUE(extra.IsEmpty());
  ui::ProcessPendingMessages();

  // A disabled area never becomes hot and keeps its row-0 look.
  ui::InjectMouseMove(f.bar.m_hWnd, POINT{60, 10});
  ui::ProcessPendingMessages();
  EXPECT_EQ(f.bar.GetHotButton(), -1);
  EXPECT_TRUE(f.ShowsRow(kPause, 0));
  EXPECT_EQ(f.bar.TestButton(CPoint(60, 10)), -1);

  f.top.messages.clear();
  ui::InjectMouseMove(f.top.m_hWnd, POINT{200, 40});  // off the bar
  ui::ProcessPendingMessages();
  EXPECT_EQ(f.top.Count(WM_HIDE_TOOLTIP), 1);
  EXPECT_EQ(f.top.Only(WM_HIDE_TOOLTIP)[0].wParam, 3700u);
}

TEST(BitButton, ACheckedCheckBoxIsInvertedBeforeItsCommandIsPosted) {
  ButtonBarFixture f;
  int checkSeen = -1;
  int commands = 0;
  f.top.hook = [&](UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && wParam == 32793) {
      ++commands;
      checkSeen = f.bar.GetCheck(kOne);
    }
  };
  ui::InjectClick(f.bar.m_hWnd, POINT{104, 20});
  ui::ProcessPendingMessages();
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(checkSeen, 0);
  // The handler leaves the speed alone, so the button now shows unchecked (hot while the mouse is on it).
  EXPECT_TRUE(f.ShowsRow(kOne, 2));
  ui::InjectMouseMove(f.top.m_hWnd, POINT{200, 40});
  EXPECT_TRUE(f.ShowsRow(kOne, 1));

  // A release outside any area posts no area command.
  f.top.messages.clear();
  ui::InjectClick(f.bar.m_hWnd, POINT{26, 10});
  ui::ProcessPendingMessages();
  for (const auto& m : f.top.Only(WM_COMMAND)) EXPECT_EQ(LOWORD(m.wParam), 99u);
}

TEST(TimeDisplay, ThreePairsShowTheTimeFromTheDigitStrip) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 120, 40));
  CTimeDisplay counter;
  ASSERT_TRUE(counter.Create(&top, POINT{10, 10}, 0, 4, 3, 0xFFFF));
  counter.SetColours(RGB(255, 255, 255), RGB(101, 101, 101));
  CRect r;
  counter.GetWindowRect(&r);
  EXPECT_EQ(r.Size(), CSize(70, 19));
  counter.SetData(366100);
  ui::ProcessPendingMessages();

  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(7027));
  CDC stripDC;
  stripDC.CreateCompatibleDC(nullptr);
  stripDC.SelectObject(&strip);
  // Expected "01:01:01": cell images 0 1 10 0 1 10 0 1 (separators 4 pixels wide).
  auto check = [&](int x0, int image, int width) {
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < width; ++x) {
        const COLORREF art = stripDC.GetPixel(image * 10 + x, y) & 0xFFFFFF;
        // The digit's shape in the counter's ink, on its face.
        const COLORREF want = art == RGB(255, 0, 255) ? RGB(255, 255, 255) : RGB(101, 101, 101);
        ASSERT_EQ(ui::GetWindowPixel(top.m_hWnd, 11 + x0 + x, 11 + y), want) << image << " " << x << "," << y;
      }
  };
  const int images[8] = {0, 1, 10, 0, 1, 10, 0, 1};
  int x = 0;
  for (int image : images) {
    const int width = image == 10 ? 4 : 10;
    check(x, image, width);
    x += width;
  }
  EXPECT_EQ(x, 68);

  // The next second redraws one cell only.
  counter.SetData(366200);
  const std::vector<CRect>& pending = counter.PendingUpdate().Rects();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0], CRect(59, 1, 69, 18));
  ui::ProcessPendingMessages();
  check(58, 2, 10);

  // A time too long for the cells stops at 99:59:59 and draws only digits.
  counter.SetData(0xFFFFFFFF);
  ui::ProcessPendingMessages();
  check(0, 9, 10);
  check(24, 5, 10);
  top.DestroyWindow();
}

TEST(MouseTrack, EntryMovesAndLeavesTellTheMainWindow) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 100, 100));
  AfxSetMainWnd(&top);
  CRecordingWnd a, b;
  ASSERT_TRUE(a.CreateChild(&top, CRect(0, 0, 50, 50), 1));
  ASSERT_TRUE(b.CreateChild(&top, CRect(50, 0, 100, 50), 2));
  ui::ProcessPendingMessages();
  CMouseTrack track;
  track.Init(a.m_hWnd, 0);
  track.SetToolTip(3615);
  EXPECT_EQ(track.OnMouseMove(), 1);
  EXPECT_TRUE(track.MouseOver());
  EXPECT_FALSE(a.PendingUpdate().IsEmpty());  // redrawn on entry
  EXPECT_EQ(track.OnMouseMove(), 0);          // already over
  EXPECT_EQ(top.Count(WM_HIDE_TOOLTIP), 1);
  ASSERT_EQ(top.Count(WM_SHOW_TOOLTIP), 1);
  EXPECT_EQ(top.Only(WM_SHOW_TOOLTIP)[0].wParam, 3615u);
  EXPECT_EQ(track.OnMouseMove(b.m_hWnd), 0);  // the leave request moves to b
  EXPECT_EQ(track.m_hTrack, b.m_hWnd);
  EXPECT_EQ(track.OnMouseOut(a.m_hWnd), 0);  // not the tracked window
  EXPECT_TRUE(track.MouseOver());
  EXPECT_EQ(track.OnMouseOut(b.m_hWnd), 1);
  EXPECT_FALSE(track.MouseOver());
  ASSERT_EQ(top.Count(WM_HIDE_TOOLTIP), 2);
  EXPECT_EQ(top.Only(WM_HIDE_TOOLTIP)[1].wParam, 3615u);
  AfxSetMainWnd(nullptr);
  top.DestroyWindow();
}

TEST(StaticLedBar, TwentyCellsGreenOrangeRedAndAnEmptyRange) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 120, 20));
  CStaticLedBar bar;
  ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 105, 10), &top, 5));
  bar.SetCells(20);
  bar.SetColours(RGB(0, 0, 0), RGB(0, 0, 0));
  bar.SetPos(100);
  ui::ProcessPendingMessages();
  // Cells of 4 pixels from x = 3, every 5 pixels.
  for (int i = 0; i < 20; ++i) {
    const COLORREF want = i < 12 ? RGB(0, 255, 0) : i < 18 ? RGB(255, 128, 0) : RGB(255, 0, 0);
    EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 3 + 5 * i + 1, 5), want) << i;
  }
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 7, 5), RGB(0, 0, 0));  // the gap
  bar.SetRange(50, 50);                                           // a step of 0
  bar.SetPos(0);
  bar.BlankWindow();
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 4, 5), RGB(0, 64, 0));  // unlit green
  bar.MoveWindow(0, 0, 3, 10);                                     // narrower than its borders
  ui::ProcessPendingMessages();
  top.DestroyWindow();
}

namespace {
// A meter whose peak hold runs on a hand-driven clock.
class CManualClockLedBar : public CStaticLedBar {
 public:
  DWORD now = 1000;

 protected:
  DWORD Now() const override { return now; }
};
}  // namespace

TEST(StaticLedBar, ThePeakIsHeldForHalfASecond) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 120, 20));
  CManualClockLedBar bar;
  ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 105, 10), &top, 5));
  bar.SetCells(20);
  bar.SetColours(RGB(0, 0, 0), RGB(0, 0, 0));
  bar.SetPos(80);
  bar.now += 50;
  bar.SetPos(20);
  EXPECT_EQ(bar.GetPeak(), 80);
  ui::ProcessPendingMessages();
  auto lit = [&](int cell) {
    return ui::GetWindowPixel(top.m_hWnd, 3 + 5 * cell + 1, 5) != RGB(0, 64, 0) &&
           ui::GetWindowPixel(top.m_hWnd, 3 + 5 * cell + 1, 5) != RGB(128, 64, 0);
  };
  EXPECT_TRUE(lit(3));
  EXPECT_FALSE(lit(4));
  EXPECT_TRUE(lit(15));  // the cell just below the peak's index
  EXPECT_FALSE(lit(14));
  bar.now = 1000 + 499;
  bar.SendMessage(WM_TIMER, CStaticLedBar::kPeakTimer, 0);
  EXPECT_EQ(bar.GetPeak(), 80);
  bar.now = 1000 + 500;
  bar.SendMessage(WM_TIMER, CStaticLedBar::kPeakTimer, 0);
  EXPECT_EQ(bar.GetPeak(), 0);
  ui::ProcessPendingMessages();
  EXPECT_FALSE(lit(15));
  top.DestroyWindow();
}

TEST(TransLedProgress, ClicksAndDragsPostPercentOnlyWhenItChanges) {
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 220, 40));
  CTransLedProgress progress;
  ASSERT_TRUE(progress.Create(CRect(10, 5, 114, 33), 3650, &top, 0x02FFFFFF, 0x02656565, 0x02C8C8C8));
  EXPECT_EQ(progress.GetDlgCtrlID(), 0xFFFF);
  EXPECT_EQ(progress.GetStyle() & (WS_VISIBLE | SS_NOTIFY), SS_NOTIFY);
  EXPECT_EQ(progress.GetCells(), (104 - 4 + 1) / 3);
  EXPECT_EQ(progress.Layout().rows, 2);
  progress.ShowWindow(SW_SHOW);
  progress.SetPos(40);
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 10 + 3, 5 + 10), RGB(101, 101, 101));   // lit
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 10 + 99, 5 + 10), RGB(200, 200, 200));  // unlit

  auto positions = [&] {
    std::vector<int> out;
    for (const auto& m : top.Only(WM_PROGRESS_POSITION)) out.push_back(static_cast<int>(m.wParam));
    return out;
  };
  ui::InjectClick(progress.m_hWnd, POINT{0, 10});  // left of the cells
  ui::ProcessPendingMessages();
  EXPECT_EQ(positions(), std::vector<int>{0});
  EXPECT_EQ(top.Count(WM_PROGRESS_DRAG_BEGIN), 1);
  EXPECT_EQ(top.Count(WM_PROGRESS_DRAG_END), 1);
  top.messages.clear();
  ui::InjectMouseButton(progress.m_hWnd, POINT{103, 10}, VK_LBUTTON, true);  // right of them
  ui::InjectMouseMove(progress.m_hWnd, POINT{150, 10});                      // dragged beyond: still 100
  ui::InjectMouseMove(progress.m_hWnd, POINT{52, 10});
  ui::InjectMouseButton(progress.m_hWnd, POINT{52, 10}, VK_LBUTTON, false);
  ui::ProcessPendingMessages();
  EXPECT_EQ(positions(), (std::vector<int>{100, 50}));
  EXPECT_FALSE(progress.IsDragging());
  EXPECT_EQ(progress.GetPos(), 50);
  top.DestroyWindow();

  g_progressColourScheme = 4;
  CTransLedProgress grey;
  grey.InitColor();
  COLORREF lit = 0, unlit = 0;
  grey.GetHiLoRgb(0, lit, unlit);
  EXPECT_EQ(lit, 0x02656565u);
  EXPECT_EQ(grey.GetBackground(), 0x02FFFFFFu);
  g_progressColourScheme = 0;
}

TEST(StaticProgressLedBar, ShowsTheUsedShareOfTheDisk) {
  CStaticProgressLedBar disk(3, "/");
  EXPECT_GT(disk.GetTotalMiB(), 0u);
  EXPECT_LE(disk.GetFreeMiB(), disk.GetTotalMiB());
  EXPECT_GE(disk.GetPos(), 0);
  EXPECT_LE(disk.GetPos(), 100);
  disk.Reset("/no/such/folder");
  EXPECT_EQ(disk.GetTotalMiB(), 0u);
  EXPECT_EQ(disk.GetPos(), 0);
}

TEST(CaptionButtons, GlyphButtonAndImageStatic) {
  CSkinData saved = g_skinData;
  g_skinData.ForceColour();
  g_skinData.m_colour[SKIN_BUTTON_FACE] = RGB(222, 222, 222);
  g_skinData.m_colour[SKIN_BUTTON_TEXT] = RGB(50, 50, 50);
  CRecordingWnd top;
  ASSERT_TRUE(top.CreateTop(0, 0, 60, 30));
  CFont marlett;
  marlett.CreatePointFont(75, "Marlett");
  CTransButton close;
  const char glyph[2] = {static_cast<char>(114), 0};
  ASSERT_TRUE(close.Create(glyph, WS_CHILD | WS_VISIBLE, CRect(0, 0, 13, 13), &top, 32779, &marlett));
  CBitStatic corner;
  ASSERT_TRUE(corner.Create(&top, CRect(20, 0, 36, 16), 10001, 16, 16, RGB(255, 0, 255)));
  EXPECT_EQ(corner.GetDlgCtrlID(), 100);
  corner.SetImage(1);
  ui::ProcessPendingMessages();
  {
    // Image 1 of BITMAP 10001 at (0, 0), its mask colour showing the parent's face.
    CBitmap art;
    ASSERT_TRUE(art.LoadBitmap(10001));
    CDC artDC;
    artDC.CreateCompatibleDC(nullptr);
    artDC.SelectObject(&art);
    int masked = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const COLORREF a = artDC.GetPixel(16 + x, y) & 0xFFFFFF;
        const COLORREF shown = ui::GetWindowPixel(top.m_hWnd, 20 + x, y);
        if (a == RGB(255, 0, 255)) {
          ++masked;
          EXPECT_NE(shown, RGB(255, 0, 255));
        } else {
          EXPECT_EQ(shown, a) << x << "," << y;
        }
      }
    EXPECT_GT(masked, 0);
  }
  EXPECT_EQ(ui::GetWindowPixel(top.m_hWnd, 0, 0), RGB(222, 222, 222));
  int ink = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) ink += ui::GetWindowPixel(top.m_hWnd, x, y) == RGB(50, 50, 50);
  EXPECT_GT(ink, 6);  // the cross
  ui::InjectClick(close.m_hWnd, POINT{6, 6});
  ui::ProcessPendingMessages();
  ASSERT_EQ(top.Count(WM_COMMAND), 1);
  EXPECT_EQ(LOWORD(top.Only(WM_COMMAND)[0].wParam), 32779u);
  top.DestroyWindow();
  g_skinData = saved;
}
