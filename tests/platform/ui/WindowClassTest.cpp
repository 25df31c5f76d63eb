#include <gtest/gtest.h>

#include "platform/gfx/Brush.h"
#include "platform/os/SysColors.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Headless.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

WNDCLASS ClassNamed(const char* name, UINT style, HBRUSH background) {
  WNDCLASS wc{};
  wc.style = style;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = LoadCursor(nullptr, IDC_HAND);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return wc;
}

TEST(WindowClass, NamedClassGivesItsWindowsStyleBackgroundAndName) {
  CBrush brush(RGB(10, 200, 30));
  WNDCLASS wc = ClassNamed("Kalvo:Olvo:001", CS_DBLCLKS, &brush);
  ASSERT_TRUE(AfxRegisterClass(&wc));
  // A second registration of the name keeps the first definition.
  WNDCLASS again = ClassNamed("Kalvo:Olvo:001", 0, nullptr);
  EXPECT_TRUE(AfxRegisterClass(&again));
  WNDCLASS info{};
  ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "Kalvo:Olvo:001", &info));
  EXPECT_EQ(info.style, CS_DBLCLKS);
  EXPECT_FALSE(GetClassInfo(AfxGetInstanceHandle(), "Kalvo:Olvo:002", &info));
  WNDCLASS unnamed = ClassNamed("", 0, nullptr);
  EXPECT_FALSE(AfxRegisterClass(&unnamed));

  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateTop(10, 10, 60, 40, WS_POPUP | WS_VISIBLE, "Kalvo:Olvo:001"));
  EXPECT_EQ(wnd.GetClassName(), "Kalvo:Olvo:001");
  EXPECT_EQ(wnd.ClassStyle(), CS_DBLCLKS);
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(wnd.m_hWnd, 5, 5), RGB(10, 200, 30));
  ui::InjectMouseButton(wnd.m_hWnd, POINT{5, 5}, VK_LBUTTON, true);
  ui::InjectMouseButton(wnd.m_hWnd, POINT{5, 5}, VK_LBUTTON, false);
  ui::InjectMouseButton(wnd.m_hWnd, POINT{5, 5}, VK_LBUTTON, true, 2);
  ui::InjectMouseButton(wnd.m_hWnd, POINT{5, 5}, VK_LBUTTON, false, 2);
  ui::ProcessPendingMessages();
  EXPECT_EQ(wnd.Count(WM_LBUTTONDBLCLK), 1);

  // A system colour index + 1 stands for that colour.
  WNDCLASS sys =
      ClassNamed("Kalvo:Olvo:Face", 0, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1)));
  ASSERT_TRUE(AfxRegisterClass(&sys));
  CRecordingWnd face;
  ASSERT_TRUE(face.CreateTop(10, 10, 20, 20, WS_POPUP | WS_VISIBLE, "Kalvo:Olvo:Face"));
  ui::ProcessPendingMessages();
  EXPECT_EQ(ui::GetWindowPixel(face.m_hWnd, 5, 5), GetSysColor(COLOR_BTNFACE));
}

// Under an X server the class name is the window's WM_CLASS class, so that
// desktops group the program's windows; with the dummy driver there is no
// X window to ask.
TEST(WindowClass, X11WindowsCarryTheClassNameInWmClass) {
  CRecordingWnd wnd;
  WNDCLASS wc = ClassNamed("Kalvo:Olvo:001", CS_DBLCLKS, nullptr);
  ASSERT_TRUE(AfxRegisterClass(&wc));
  ASSERT_TRUE(wnd.CreateTop(0, 0, 30, 30, WS_POPUP, "Kalvo:Olvo:001"));
  std::string instance, cls;
  if (!ui::GetNativeWindowClass(wnd.m_hWnd, instance, cls)) GTEST_SKIP() << "not an X11 window";
  EXPECT_EQ(cls, "Kalvo:Olvo:001");
  EXPECT_EQ(instance, program_invocation_short_name);
}

}  // namespace
