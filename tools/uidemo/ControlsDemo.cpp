#include "tools/uidemo/ControlsDemo.h"

#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Button.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/Static.h"
#include "sintra/skin/SkinData.h"
#include "sintra/toolkit/RoundSlider.h"
#include "sintra/toolkit/TransStatic.h"
#include "sintra/toolkit/TransWindow.h"

namespace {

constexpr int kWidth = 270;
constexpr int kHeight = 300;
constexpr COLORREF kMask = RGB(255, 0, 255);

// An owner-drawn button: a flat face in the skin's button colours, pressed
// and disabled looks from the state DrawItem is given.
class CFlatButton : public CButton {
 public:
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    CDC& dc = *item->hDC;
    CRect r(item->rcItem);
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    dc.FillSolidRect(
        &r, g_skinData.SkinColour(disabled ? SKIN_BUTTON_DISABLE : (pressed ? SKIN_BUTTON_SELECT : SKIN_BUTTON_FACE)));
    CBrush border(g_skinData.SkinColour(SKIN_BUTTON_BORDER));
    dc.FrameRect(&r, &border);
    std::string text;
    GetWindowText(text);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(g_skinData.SkinColour(disabled ? SKIN_TEXT_DISABLE : SKIN_BUTTON_TEXT));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    if (pressed) r.OffsetRect(1, 1);
    dc.DrawText(text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};

// A time in the player's digit cells, drawn from an image list.
class CDigitsStatic : public CStatic {
 public:
  CImageList m_digits;
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    CDC& dc = *item->hDC;
    CRect r(item->rcItem);
    dc.FillSolidRect(&r, RGB(255, 255, 255));
    const int cells[] = {0, 1, 10, 2, 3, 10, 4, 5};  // 01:23:45
    int x = 2;
    for (int cell : cells) {
      m_digits.Draw(&dc, cell, CPoint(x, 2), ILD_TRANSPARENT);
      x += cell == 10 ? 4 : 10;
    }
    CBrush frame(g_skinData.SkinColour(SKIN_BUTTON_BORDER));
    dc.FrameRect(&r, &frame);
  }
};

class CControlsWnd : public CTransWindow {
 public:
  BOOL CreatePanel(CWnd* owner) {
    CRect ownerRect(0, 0, 0, 0);
    if (owner) owner->GetWindowRect(&ownerRect);
    const int left = ownerRect.right + 24, top = ownerRect.top;
    if (g_skinData.m_captionHeight <= 0) g_skinData.m_captionHeight = 18;
    return Create("Olvane controls", WS_POPUP | WS_THICKFRAME | WS_VSCROLL | WS_CLIPCHILDREN | WS_VISIBLE,
                  CRect(left, top, left + kWidth, top + kHeight), owner);
  }

 protected:
  int OnCreate(CREATESTRUCT* cs) override {
    if (CTransWindow::OnCreate(cs) == -1) return -1;
    const int top = GetCaptionHeight() + 10;
    m_play.Create("Play", WS_VISIBLE | BS_OWNERDRAW, CRect(10, top, 80, top + 24), this, 32771);
    m_stop.Create("Stop", WS_VISIBLE | BS_OWNERDRAW, CRect(88, top, 158, top + 24), this, 32772);
    m_stop.EnableWindow(FALSE);
    m_plain.Create("Push", WS_VISIBLE | BS_PUSHBUTTON, CRect(166, top, 236, top + 24), this, 1);
    m_label.Create("Position", WS_VISIBLE | SS_CENTERIMAGE, CRect(10, top + 34, 80, top + 54), this);
    m_time.m_digits.Create(7027, 10, 4, kMask);
    m_time.Create("", WS_VISIBLE | SS_OWNERDRAW, CRect(88, top + 32, 88 + 74, top + 32 + 21), this, 2);
    m_corners.Create(10001, 16, 4, kMask);
    m_volume.Create("Volume", WS_VISIBLE | SS_CENTER, CRect(10, top + 70, 90, top + 88), this);
    m_slider.Create(WS_VISIBLE, CRect(26, top + 90, 74, top + 138), this, 3);
    m_slider.SetRange(0, 100);
    m_slider.SetPos(65);
    m_hbar.Create(WS_VISIBLE | SBS_HORZ, CRect(10, top + 150, 236, top + 150 + CScrollBar::kThickness), this, 4);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 999, 250, 300, 0};
    m_hbar.SetScrollInfo(&si);
    SCROLLINFO own{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 60, 10, 0};
    SetScrollInfo(SB_VERT, &own);
    return 0;
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP_REDRAWSKIN) {
      // The face behind a see-through child: the window colour, and a
      // stripe of the caption colour under the slider.
      CDC* dc = reinterpret_cast<CDC*>(wParam);
      CWnd* child = reinterpret_cast<CWnd*>(lParam);
      CRect r;
      child->GetClientRect(&r);
      dc->FillSolidRect(&r, g_skinData.SkinColour(SKIN_WINDOW_BACK));
      return 1;
    }
    return CTransWindow::WindowProc(message, wParam, lParam);
  }

  void OnPaint() override {
    CPaintDC dc(this);
    const CRect band = GetCaptionRect();
    DrawCaption(dc, band);
    // The corner images of the preview window, in a row.
    const int y = GetCaptionHeight() + 44;
    for (int i = 0; i < m_corners.GetImageCount() && i < 4; ++i)
      m_corners.Draw(&dc, i, CPoint(172 + i * 18, y), ILD_TRANSPARENT);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetTextColor(g_skinData.SkinColour(SKIN_TEXT));
    CRect note(100, GetCaptionHeight() + 92, 250, GetCaptionHeight() + 140);
    dc.DrawText("Round slider, scroll bars; drag the edges to size", &note, DT_WORDBREAK | DT_NOPREFIX);
  }

  void OnHScroll(UINT code, UINT pos, CWnd* bar) override {
    if (bar != &m_hbar) return;
    SCROLLINFO si{};
    m_hbar.GetScrollInfo(&si, SIF_ALL);
    int next = si.nPos;
    if (code == SB_LINEDOWN) next += 10;
    if (code == SB_LINEUP) next -= 10;
    if (code == SB_PAGEDOWN) next += static_cast<int>(si.nPage);
    if (code == SB_PAGEUP) next -= static_cast<int>(si.nPage);
    if (code == SB_THUMBTRACK) next = static_cast<int>(pos);
    m_hbar.SetScrollPos(next);
  }
  void OnVScroll(UINT code, UINT pos, CWnd*) override {
    int next = GetScrollPos(SB_VERT);
    if (code == SB_LINEDOWN) ++next;
    if (code == SB_LINEUP) --next;
    if (code == SB_THUMBTRACK) next = static_cast<int>(pos);
    SetScrollPos(SB_VERT, next);
  }
  void OnGetMinMaxInfo(MINMAXINFO* info) override {
    info->ptMinTrackSize = POINT{200, 160};
    info->ptMaxTrackSize = POINT{600, 500};
  }
  void PostNcDestroy() override { delete this; }

 private:
  CFlatButton m_play, m_stop;
  CButton m_plain;
  CStatic m_label;
  CDigitsStatic m_time;
  CImageList m_corners;
  CTransStatic m_volume;
  CRoundSlider m_slider;
  CScrollBar m_hbar;
};

}  // namespace

bool CreateControlsDemo(CWnd* owner) {
  auto* panel = new CControlsWnd;
  if (panel->CreatePanel(owner)) return true;
  delete panel;
  return false;
}
