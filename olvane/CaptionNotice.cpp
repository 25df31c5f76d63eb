#include "olvane/CaptionNotice.h"

#include "platform/ui/Wnd.h"

void CCaptionNotice::Show(CWnd* caption, const std::string& text, DWORD now) {
  if (!caption || !caption->GetSafeHwnd()) return;
  if (m_caption != caption->GetSafeHwnd()) caption->GetWindowText(m_title);
  m_caption = caption->GetSafeHwnd();
  m_text = text;
  m_shownAt = now;
  caption->SetWindowText(text.c_str());
  caption->Invalidate(FALSE);
}

void CCaptionNotice::Tick(DWORD now) {
  if (!m_caption || now - m_shownAt < kShowMs) return;
  CWnd* caption = CWnd::FromHandle(m_caption);
  m_caption = nullptr;
  if (!caption) return;
  std::string shown;
  caption->GetWindowText(shown);
  if (shown != m_text) return;
  caption->SetWindowText(m_title.c_str());
  caption->Invalidate(FALSE);
}
