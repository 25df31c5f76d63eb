// A window's own scroll bars: CScrollBar children kept above the other
// children at the window's right and bottom edges, outside its client area.
#include <algorithm>

#include "platform/ui/ScrollBar.h"
#include "platform/ui/UiCore.h"
#include "platform/ui/Wnd.h"

namespace {

bool ValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

}  // namespace

CScrollBar* CWnd::WindowBar(int bar, bool create) {
  if (!ValidBar(bar) || !m_hWnd) return nullptr;
  std::unique_ptr<CScrollBar>& slot = m_bars[bar];
  if (slot && slot->m_hWnd) return slot.get();
  if (!create) return nullptr;
  auto made = std::make_unique<CScrollBar>();
  made->m_windowBar = true;
  const DWORD style = (bar == SB_VERT ? SBS_VERT : SBS_HORZ);
  if (!made->Create(style, CRect(0, 0, 0, 0), this, 0)) return nullptr;
  slot = std::move(made);
  return slot.get();
}

CScrollBar* CWnd::GetWindowScrollBar(int bar) const {
  if (!ValidBar(bar) || !m_bars[bar] || !m_bars[bar]->m_hWnd) return nullptr;
  return m_bars[bar].get();
}

bool CWnd::IsWindowBarOf(const CWnd* parent) const {
  return parent && m_parent == parent &&
         ((parent->m_bars[0] && parent->m_bars[0].get() == this) ||
          (parent->m_bars[1] && parent->m_bars[1].get() == this));
}

void CWnd::SetWindowBarShown(int bar, bool show, bool tellWindow) {
  CScrollBar* sb = WindowBar(bar, show);
  const DWORD styleBit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  if (show)
    m_style |= styleBit;
  else
    m_style &= ~styleBit;
  if (!sb) return;
  const bool shown = (sb->m_style & WS_VISIBLE) != 0;
  if (shown == show) return;
  // Shown or hidden without the usual invalidation of the parent's client:
  // the bar lies outside it, and the relayout repaints what changed.
  if (show)
    sb->m_style |= WS_VISIBLE;
  else
    sb->m_style &= ~WS_VISIBLE;
  if (!show) uicore::WindowHidden(sb->m_hWnd);
  if (tellWindow)
    LayoutWindowBars();
  else
    LayoutWindowBarsQuietly();
}

void CWnd::LayoutWindowBarsQuietly() {
  if (!m_hWnd) return;
  CRect full;
  GetClientRectWithBars(&full);
  CRect client;
  GetClientRect(&client);
  const int t = CScrollBar::kThickness;
  CScrollBar* h = GetWindowScrollBar(SB_HORZ);
  CScrollBar* v = GetWindowScrollBar(SB_VERT);
  const bool hShown = h && (h->m_style & WS_VISIBLE);
  if (v) {
    v->m_extra = hShown ? std::min(t, full.Height()) : 0;
    v->m_rect = CRect(client.right, 0, full.right, full.bottom);
  }
  if (h) {
    h->m_extra = 0;
    h->m_rect = CRect(0, client.bottom, client.right, full.bottom);
  }
  for (CScrollBar* bar : {h, v})
    if (bar && (bar->m_style & WS_VISIBLE)) bar->InvalidateTree();
}

void CWnd::LayoutWindowBars() {
  LayoutWindowBarsQuietly();
  if (++m_barLayoutDepth <= 2) {
    // The client area changed: the window lays itself out again (which may
    // change its bars once more; the depth limit ends a window that keeps
    // flipping them).
    CRect client;
    GetClientRect(&client);
    InvalidateTree();
    SendMessage(WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
  }
  --m_barLayoutDepth;
}

BOOL CWnd::SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw) {
  if (!info) return FALSE;
  if (bar == SB_CTL) {
    CScrollBar* self = dynamic_cast<CScrollBar*>(this);
    return self ? self->SetScrollInfo(info, redraw) : FALSE;
  }
  CScrollBar* sb = WindowBar(bar, true);
  if (!sb) return FALSE;
  sb->SetScrollInfo(info, redraw);
  const bool keep = (info->fMask & SIF_DISABLENOSCROLL) != 0;
  sb->EnableWindow(sb->CanScroll() ? TRUE : FALSE);
  SetWindowBarShown(bar, sb->CanScroll() || keep);
  return TRUE;
}

BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask) {
  if (!info) return FALSE;
  if (bar == SB_CTL) {
    CScrollBar* self = dynamic_cast<CScrollBar*>(this);
    return self ? self->GetScrollInfo(info, mask) : FALSE;
  }
  CScrollBar* sb = WindowBar(bar, true);
  return sb ? sb->GetScrollInfo(info, mask) : FALSE;
}

int CWnd::SetScrollPos(int bar, int pos, BOOL redraw) {
  SCROLLINFO old{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(bar, &old, SIF_POS);
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(bar, &info, redraw);
  return old.nPos;
}

int CWnd::GetScrollPos(int bar) const {
  if (bar == SB_CTL) {
    const CScrollBar* self = dynamic_cast<const CScrollBar*>(this);
    return self ? self->GetScrollPos() : 0;
  }
  const CScrollBar* sb = GetWindowScrollBar(bar);
  return sb ? sb->GetScrollPos() : 0;
}

void CWnd::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  SetScrollInfo(bar, &info, redraw);
}

void CWnd::GetScrollRange(int bar, int* minPos, int* maxPos) const {
  const CScrollBar* sb = bar == SB_CTL ? dynamic_cast<const CScrollBar*>(this) : GetWindowScrollBar(bar);
  if (sb) {
    sb->GetScrollRange(minPos, maxPos);
    return;
  }
  if (minPos) *minPos = 0;
  if (maxPos) *maxPos = 0;
}

int CWnd::GetScrollLimit(int bar) {
  const CScrollBar* sb = bar == SB_CTL ? dynamic_cast<const CScrollBar*>(this) : GetWindowScrollBar(bar);
  return sb ? sb->GetScrollLimit() : 0;
}

void CWnd::ShowScrollBar(UINT bar, BOOL show) {
  if (bar == static_cast<UINT>(SB_CTL)) {
    ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    return;
  }
  if (bar == static_cast<UINT>(SB_HORZ) || bar == static_cast<UINT>(SB_BOTH)) SetWindowBarShown(SB_HORZ, show != 0);
  if (bar == static_cast<UINT>(SB_VERT) || bar == static_cast<UINT>(SB_BOTH)) SetWindowBarShown(SB_VERT, show != 0);
}
