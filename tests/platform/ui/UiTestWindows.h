// Small recording windows shared by the window-layer tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/App.h"
#include "platform/ui/Wnd.h"

struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A window that records every message it gets and can run a hook on each.
class CRecordingWnd : public CWnd {
 public:
  std::vector<RecordedMessage> messages;
  std::function<void(UINT, WPARAM, LPARAM)> hook;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back({message, wParam, lParam});
    if (hook) hook(message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
  }
  int Count(UINT message) const {
    int n = 0;
    for (const auto& m : messages) n += m.message == message ? 1 : 0;
    return n;
  }
  std::vector<RecordedMessage> Only(UINT message) const {
    std::vector<RecordedMessage> out;
    for (const auto& m : messages)
      if (m.message == message) out.push_back(m);
    return out;
  }

  BOOL CreateTop(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE, const char* cls = nullptr) {
    return CreateEx(0, cls, "test", style, CRect(x, y, x + w, y + h), nullptr, 0);
  }
  BOOL CreateChild(CWnd* parent, const CRect& r, UINT id = 1, DWORD extra = 0, const char* cls = nullptr) {
    return Create(cls, "", WS_CHILD | WS_VISIBLE | extra, r, parent, id);
  }
};
