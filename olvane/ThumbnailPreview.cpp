#include "olvane/ThumbnailPreview.h"

#include <algorithm>

#include "olvane/ProgressMarks.h"
#include "platform/gfx/DC.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "sintra/skin/SkinData.h"

namespace {
constexpr COLORREF kFrame = RGB(0, 0, 0);
constexpr COLORREF kNoPicture = RGB(48, 48, 48);
}  // namespace

CThumbnailPreview::CThumbnailPreview(std::unique_ptr<IThumbnailSource> source) : m_worker(std::move(source)) {}

CThumbnailPreview::~CThumbnailPreview() {
  // The worker may still post to this window: posting to a window that is
  // gone is dropped, so destroying first is safe.
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CThumbnailPreview::Create(CWnd* owner) {
  if (m_hWnd) return TRUE;
  m_font.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  const char* cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
  const CSize size = PopupSize();
  if (!CreateEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, cls, "", WS_POPUP, CRect(CPoint(0, 0), size), owner, 0)) return FALSE;
  m_worker.SetTarget(m_hWnd, WM_THUMBNAIL_READY);
  return TRUE;
}

void CThumbnailPreview::SetClip(const std::string& path, CSize pictureSize) {
  HidePreview();
  m_generation = m_worker.SetClip(path);
  m_picture.reset();
  m_wantedSecond = -1;
  const CSize fit = FitThumbnail(pictureSize.cx, pictureSize.cy);
  m_pictureSize = fit.cx > 0 ? fit : CSize(kThumbnailMaxWidth, kThumbnailMaxHeight);
}

CSize CThumbnailPreview::PopupSize() const {
  const CSize picture = m_picture ? CSize(m_picture->width, m_picture->height) : m_pictureSize;
  return CSize(picture.cx + 2, picture.cy + 2 + kTextHeight);
}

CRect CThumbnailPreview::PictureRect() const {
  const CSize size = PopupSize();
  return CRect(1, 1, size.cx - 1, size.cy - 1 - kTextHeight);
}

void CThumbnailPreview::ShowAt(DWORD time, CPoint anchor) {
  if (!m_hWnd) return;
  const int second = static_cast<int>(std::min<DWORD>(time / 1000, 0x7FFFFFFF));
  m_anchor = anchor;
  const std::string text = CProgressMarks::FormatTime(time);
  const bool changed = second != m_wantedSecond || text != m_timeText || !IsShown();
  m_timeText = text;
  if (second != m_wantedSecond) {
    m_wantedSecond = second;
    if (auto cached = m_worker.Find(second))
      m_picture = std::move(cached);
    else
      m_worker.Request(second);
  }
  Place();
  if (changed) Invalidate(FALSE);
}

void CThumbnailPreview::Place() {
  const CSize size = PopupSize();
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  CRect r(CPoint(m_anchor.x - size.cx / 2, m_anchor.y - kGap - size.cy), size);
  if (r.right > work.right) r.OffsetRect(work.right - r.right, 0);
  if (r.left < work.left) r.OffsetRect(work.left - r.left, 0);
  if (r.top < work.top) r.OffsetRect(0, work.top - r.top);
  CRect now;
  GetWindowRect(&now);
  if (now == r && IsShown()) return;
  SetWindowPos(&wndTopMost, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CThumbnailPreview::HidePreview() {
  if (m_hWnd && IsWindowVisible()) ShowWindow(SW_HIDE);
}

void CThumbnailPreview::OnThumbnailReady(int second, unsigned generation) {
  // Only the picture still wanted, of the clip still open, is shown; others
  // stay in the cache for when the pointer comes back.
  if (generation != m_generation || second != m_wantedSecond) return;
  auto picture = m_worker.Find(second);
  if (!picture) return;
  m_picture = std::move(picture);
  if (IsShown()) {
    Place();
    Invalidate(FALSE);
  }
}

LRESULT CThumbnailPreview::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_THUMBNAIL_READY) {
    OnThumbnailReady(static_cast<int>(wParam), static_cast<unsigned>(lParam));
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CThumbnailPreview::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, kFrame);
  const CRect picture = PictureRect();
  if (m_picture && m_picture->width == picture.Width() && m_picture->height == picture.Height()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_picture->width;
    info.bmiHeader.biHeight = m_picture->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(m_picture->pixels.size());
    dc.SetDIBitsToDevice(picture.left, picture.top, picture.Width(), picture.Height(), 0, 0, 0,
                         static_cast<UINT>(m_picture->height), m_picture->pixels.data(), &info, DIB_RGB_COLORS);
  } else {
    dc.FillSolidRect(&picture, kNoPicture);
  }
  CRect text(1, picture.bottom, client.right - 1, client.bottom - 1);
  dc.FillSolidRect(&text, g_skinData.SkinColour(SKIN_TOOLTIP_BACK));
  CFont* old = dc.SelectObject(&m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(g_skinData.SkinColour(SKIN_TOOLTIP_TEXT));
  dc.DrawText(m_timeText, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.SelectObject(old);
}
