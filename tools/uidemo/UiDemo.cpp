// olvane-uidemo: a skinned borderless window with a child area, a context
// menu and a tooltip, built only on the window and drawing layers.
//
//   olvane-uidemo                 run until the window is closed (Escape, or Exit in the menu)
//   olvane-uidemo --screenshot F  open the context menu by injected input, write a PNG picture to F, quit
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gfx/DC.h"
#include "platform/gfx/Rgn.h"
#include "platform/os/Resources.h"
#include "platform/ui/App.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/ToolTipWnd.h"
#include "tools/uidemo/ControlsDemo.h"
#include "tools/uidemo/WidgetsDemo.h"

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 300;
constexpr int kCaption = 26;
constexpr int kCorner = 14;
constexpr COLORREF kFace = RGB(0xEB, 0xEB, 0xEB);
constexpr COLORREF kCaptionFace = RGB(0xD6, 0xE3, 0xFF);
constexpr COLORREF kText = RGB(0x32, 0x32, 0x32);
constexpr COLORREF kAccent = RGB(0xED, 0xBE, 0x4A);
constexpr UINT kCmdExit = 32779;
constexpr UINT kCmdControls = 32787;
constexpr UINT kCmdHighQuality = 32790;

// The child area: a test picture with a label, standing where a replay view goes.
class CDemoView : public CWnd {
 public:
  bool m_highQuality = true;

 protected:
  void OnPaint() override {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const COLORREF bars[] = {RGB(192, 192, 192), RGB(192, 192, 0), RGB(0, 192, 192), RGB(0, 192, 0),
                             RGB(192, 0, 192),   RGB(192, 0, 0),   RGB(0, 0, 192)};
    const int n = static_cast<int>(sizeof(bars) / sizeof(bars[0]));
    for (int i = 0; i < n; ++i) {
      const int left = client.Width() * i / n, right = client.Width() * (i + 1) / n;
      dc.FillSolidRect(left, 0, right - left, client.Height() * 2 / 3, bars[i]);
    }
    for (int i = 0; i < 16; ++i) {
      const int left = client.Width() * i / 16, right = client.Width() * (i + 1) / 16;
      const BYTE v = static_cast<BYTE>(i * 17);
      dc.FillSolidRect(left, client.Height() * 2 / 3, right - left, client.Height() / 3 + 1, RGB(v, v, v));
    }
    CBrush white(RGB(255, 255, 255));
    CPen pen(PS_SOLID, 2, RGB(30, 30, 30));
    CBrush* oldBrush = dc.SelectObject(&white);
    CPen* oldPen = dc.SelectObject(&pen);
    const CPoint c = client.CenterPoint();
    dc.Ellipse(c.x - 44, c.y - 44, c.x + 44, c.y + 44);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    CRect label(c.x - 44, c.y - 44, c.x + 44, c.y + 44);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kText);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.DrawText(m_highQuality ? "child area" : "child (fast)", -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
};

class CDemoWnd : public CWnd {
 public:
  BOOL CreateDemo() {
    const char* cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, "Olvane window layer", WS_POPUP | WS_CLIPCHILDREN, CRect(80, 60, 80 + kWidth, 60 + kHeight),
                  nullptr, 0))
      return FALSE;
    // Corners cut off: the skin's outline as the window's shape.
    SetWindowShape({POINT{kCorner, 0}, POINT{kWidth - kCorner, 0}, POINT{kWidth, kCorner},
                    POINT{kWidth, kHeight - kCorner}, POINT{kWidth - kCorner, kHeight}, POINT{kCorner, kHeight},
                    POINT{0, kHeight - kCorner}, POINT{0, kCorner}});
    ShowWindow(SW_SHOW);
    return TRUE;
  }
  CDemoView m_view;
  CToolTipWnd m_tip;
  bool m_controls = true;
  std::string m_status = "Right-click for the menu; drag the caption to move";

 protected:
  int OnCreate(CREATESTRUCT*) override {
    m_view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(16, kCaption + 12, kWidth - 16, kHeight - 44), this, 1);
    m_tip.Create(this);
    m_tip.SetColours(RGB(0xFF, 0xE3, 0xD6), RGB(0, 0, 0));
    SetIcon(LoadIcon(nullptr, 128), TRUE);
    return 0;
  }

  void OnPaint() override {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kFace);
    dc.FillSolidRect(0, 0, client.Width(), kCaption, kCaptionFace);
    dc.FillSolidRect(0, kCaption, client.Width(), 2, kAccent);
    CRect edge = client;
    dc.DrawEdge(&edge, EDGE_RAISED, BF_RECT);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kText);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    CRect title(kCorner + 4, 0, client.Width() - 40, kCaption);
    std::string text;
    GetWindowText(text);
    dc.DrawText(text.c_str(), -1, &title, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    CRect close(client.Width() - kCorner - 22, 4, client.Width() - kCorner - 4, kCaption - 4);
    dc.DrawText("x", -1, &close, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    CRect status(20, kHeight - 38, kWidth - 20, kHeight - 10);
    dc.DrawText(m_status.c_str(), -1, &status, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  }

  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

  void OnLButtonDown(UINT, CPoint p) override {
    if (p.y >= kCaption) return;
    if (p.x > kWidth - kCorner - 24) {
      PostMessage(WM_CLOSE);
      return;
    }
    m_dragFrom = p;
    m_dragging = true;
    SetCapture();
  }
  void OnMouseMove(UINT, CPoint p) override {
    if (!m_dragging) return;
    CRect r;
    GetWindowRect(&r);
    SetWindowPos(nullptr, r.left + p.x - m_dragFrom.x, r.top + p.y - m_dragFrom.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void OnLButtonUp(UINT, CPoint) override {
    if (m_dragging) ReleaseCapture();
    m_dragging = false;
  }

  void OnContextMenu(CWnd*, CPoint p) override {
    CMenu menu;
    if (!menu.LoadMenu(129)) return;
    CMenu* popup = menu.GetSubMenu(0);
    popup->EnableMenuItem(32772, MF_BYCOMMAND | MF_GRAYED);  // Stop: nothing is playing
    popup->EnableMenuItem(32773, MF_BYCOMMAND | MF_GRAYED);
    popup->EnableMenuItem(4, MF_BYPOSITION | MF_GRAYED);      // Clips
    popup->CheckMenuItem(kCmdControls, m_controls ? MF_CHECKED : MF_UNCHECKED);
    popup->CheckMenuItem(kCmdHighQuality, m_view.m_highQuality ? MF_CHECKED : MF_UNCHECKED);
    popup->CheckMenuRadioItem(32900, 32902, 32901, MF_BYCOMMAND);
    popup->CheckMenuRadioItem(32812, 32859, 32815, MF_BYCOMMAND);
    if (p.x == -1 && p.y == -1) {
      p = CPoint(40, 40);
      ClientToScreen(&p);
    }
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, p.x, p.y, this);
  }

  BOOL OnCommand(WPARAM wParam, LPARAM) override {
    const UINT id = LOWORD(wParam);
    if (id == kCmdExit) {
      PostMessage(WM_CLOSE);
    } else if (id == kCmdControls) {
      m_controls = !m_controls;
    } else if (id == kCmdHighQuality) {
      m_view.m_highQuality = !m_view.m_highQuality;
      m_view.Invalidate();
    }
    m_status = "Command " + std::to_string(id);
    CRect status(20, kHeight - 38, kWidth - 20, kHeight - 10);
    InvalidateRect(&status);
    return TRUE;
  }

  void OnKeyUp(UINT key, UINT, UINT) override {
    if (key == VK_ESCAPE) PostMessage(WM_CLOSE);
    if (key == 'T') {
      std::string tip;
      LoadResourceString(3615, tip);
      m_tip.DisplayToolTip(tip);
    }
  }

 private:
  CPoint m_dragFrom;
  bool m_dragging = false;
};

// Opens the menu with injected input, opens a sub-menu by hovering, saves
// the picture and closes: a scripted run for the screenshot.
class CScreenshotDriver : public CWnd {
 public:
  CScreenshotDriver(CDemoWnd* demo, std::string path) : m_demo(demo), m_path(std::move(path)) {}
  bool m_saved = false;

 protected:
  void OnTimer(std::uintptr_t) override {
    const HWND view = m_demo->m_view.m_hWnd;
    switch (m_step++) {
      case 0: ui::InjectClick(view, POINT{60, 30}, VK_RBUTTON); break;
      case 1: {
        RECT item;
        if (ui::GetOpenMenuItemRect(0, 13, &item))  // "Scaling": hover opens its sub-menu
          ui::InjectMouseMove(ui::GetOpenMenuWindow(0), POINT{item.left + 20, item.top + 5});
        break;
      }
      case 2: {
        RECT item;
        if (ui::GetOpenMenuItemRect(1, 2, &item))
          ui::InjectMouseMove(ui::GetOpenMenuWindow(1), POINT{item.left + 20, item.top + 5});
        break;
      }
      case 4:
        m_saved = ui::SaveScreenshotPng(m_path, 24) != 0;
        ui::InjectKeyPress(m_demo->m_hWnd, VK_ESCAPE);
        ui::InjectKeyPress(m_demo->m_hWnd, VK_ESCAPE);
        break;
      case 6: m_demo->PostMessage(WM_CLOSE); break;
      default: break;
    }
  }

 private:
  CDemoWnd* m_demo;
  std::string m_path;
  int m_step = 0;
};

class CDemoApp : public CWinApp {
 public:
  std::string m_screenshot;
  CDemoWnd m_wnd;
  std::unique_ptr<CScreenshotDriver> m_driver;

  BOOL InitInstance() override {
    if (!m_wnd.CreateDemo()) {
      std::fprintf(stderr, "olvane-uidemo: cannot open a window\n");
      return FALSE;
    }
    m_pMainWnd = &m_wnd;
    CreateWidgetsDemo(&m_wnd);
    CreateControlsDemo(&m_wnd);
    if (!m_screenshot.empty()) {
      m_driver = std::make_unique<CScreenshotDriver>(&m_wnd, m_screenshot);
      m_driver->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 1, 1), &m_wnd, 0);
      m_driver->SetTimer(1, 150);
    }
    return TRUE;
  }
};

}  // namespace

int main(int argc, char** argv) {
  CDemoApp app;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      app.m_screenshot = argv[++i];
    } else {
      std::fprintf(stderr, "usage: olvane-uidemo [--screenshot FILE.png]\n");
      return 2;
    }
  }
  app.Run();
  if (!app.m_screenshot.empty() && !(app.m_driver && app.m_driver->m_saved)) {
    std::fprintf(stderr, "olvane-uidemo: no screenshot was written\n");
    return 1;
  }
  return 0;
}
