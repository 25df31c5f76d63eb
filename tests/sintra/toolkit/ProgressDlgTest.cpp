#include <gtest/gtest.h>

#include "platform/ui/App.h"
#include "platform/ui/Headless.h"
#include "sintra/toolkit/ProgressDlg.h"

// The bar follows the position within its range, never past its ends, and
// a reversed range does not divide by zero.
TEST(ProgressDlg, BarFillsInProportionAndClampsToItsRange) {
  CProgressDlg dlg;
  ASSERT_TRUE(dlg.Create("Working"));
  const int inner = dlg.BarRect().Width() - 2;
  dlg.SetRange(0, 4);
  EXPECT_EQ(dlg.FilledWidth(), 0);
  dlg.SetPos(2);
  EXPECT_EQ(dlg.FilledWidth(), inner / 2);
  dlg.SetPos(99);
  EXPECT_EQ(dlg.GetPos(), 4);
  EXPECT_EQ(dlg.FilledWidth(), inner);
  dlg.SetPos(-5);
  EXPECT_EQ(dlg.FilledWidth(), 0);
  dlg.SetRange(7, 7);
  dlg.SetPos(1);
  EXPECT_EQ(dlg.FilledWidth(), inner);
  dlg.SetRange(INT32_MIN, INT32_MAX);
  dlg.SetPos(INT32_MAX);
  EXPECT_EQ(dlg.FilledWidth(), inner);
  // The filled part is painted in a different colour from the empty part.
  dlg.SetRange(0, 2);
  EXPECT_TRUE(dlg.Step(1));
  const CRect bar = dlg.BarRect();
  EXPECT_NE(ui::GetWindowPixel(dlg.m_hWnd, bar.left + 3, bar.CenterPoint().y),
            ui::GetWindowPixel(dlg.m_hWnd, bar.right - 3, bar.CenterPoint().y));
}

// Clicking Cancel, typing Escape or closing the window each stop the
// operation at its next step.
TEST(ProgressDlg, CancelEscapeAndCloseStopTheNextStep) {
  for (int way = 0; way < 3; ++way) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create("Working"));
    dlg.SetRange(0, 10);
    ASSERT_TRUE(dlg.Step(1));
    CWnd* cancel = dlg.GetDlgItem(CProgressDlg::kCancelId);
    ASSERT_NE(cancel, nullptr);
    if (way == 0) {
      CRect r;
      cancel->GetWindowRect(&r);
      dlg.ScreenToClient(&r);
      ASSERT_TRUE(ui::InjectClick(dlg.m_hWnd, r.CenterPoint()));
    } else if (way == 1) {
      dlg.SetFocus();
      ASSERT_TRUE(ui::InjectKeyPress(dlg.m_hWnd, VK_ESCAPE));
    } else {
      ASSERT_TRUE(ui::InjectClose(dlg.m_hWnd));
    }
    EXPECT_FALSE(dlg.Step(2)) << "way " << way;
    EXPECT_TRUE(dlg.IsCancelled());
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "closing cancels; the operation owns the window";
  }
}
