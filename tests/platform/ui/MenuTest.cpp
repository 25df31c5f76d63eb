#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/Gdi.h"
#include "platform/os/Resources.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Menu.h"
#include "tests/platform/ui/UiTestWindows.h"

namespace {

constexpr const char* kMenuText =
    "# test menu\n"
    "POPUP \"top\"\n"
    "  ITEM \"&Open\\tCtrl+O\" 100\n"
    "  SEPARATOR\n"
    "  ITEM \"&Grayed\" 101 GRAYED\n"
    "  POPUP \"&Size\"\n"
    "    ITEM \"Small\" 200 RADIO\n"
    "    ITEM \"Large\" 201 RADIO CHECKED\n"
    "  END\n"
    "  ITEM \"&Exit\" 102\n"
    "  ITEM \"&Edit\" 103\n"
    "END\n";

struct MenuFixture {
  CMenu bar;
  CMenu* popup = nullptr;
  CRecordingWnd owner;
  MenuFixture() {
    EXPECT_TRUE(bar.LoadMenuText(kMenuText, std::strlen(kMenuText)));
    popup = bar.GetSubMenu(0);
    EXPECT_TRUE(owner.CreateTop(100, 100, 200, 200));
  }
  UINT Track(const std::vector<int>& keys) {
    for (int vk : keys) ui::InjectKeyPress(owner.m_hWnd, vk);
    // Two trailing Escapes end the menu even when a case goes wrong.
    ui::InjectKeyPress(owner.m_hWnd, VK_ESCAPE);
    ui::InjectKeyPress(owner.m_hWnd, VK_ESCAPE);
    return static_cast<UINT>(popup->TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, 150, 150, &owner));
  }
};

TEST(Menu, ResourceMenuLoadsWithItsStructure) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(129));
  ASSERT_EQ(menu.GetMenuItemCount(), 2u);
  CMenu* first = menu.GetSubMenu(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetMenuItemCount(), 19u);
  EXPECT_EQ(first->GetMenuItemID(0), 32771u);
  EXPECT_EQ(first->GetMenuItemID(3), 0u);            // separator
  EXPECT_EQ(first->GetMenuItemID(4), 0xFFFFFFFFu);   // "Clips" popup
  std::string text;
  first->GetMenuString(4, text, MF_BYPOSITION);
  EXPECT_EQ(text, "Clips");
  first->GetMenuString(32771, text, MF_BYCOMMAND);
  EXPECT_EQ(text, "&Play      \tCtrl+P       ");
  EXPECT_EQ(first->GetSubMenu(13)->GetMenuItemID(2), 32902u);
  EXPECT_EQ(menu.GetSubMenu(1)->GetMenuItemCount(), 10u);
  EXPECT_FALSE(CMenu().LoadMenu(4242));
}

TEST(Menu, MalformedMenuTextIsRefused) {
  const char* bad[] = {
      "POPUP \"a\"\n ITEM \"x\" 1\n",            // no END
      "END\n",                                 // END at the top
      "POPUP \"a\"\n BUTTON \"x\" 1\nEND\n",     // unknown statement
      "POPUP \"a\"\n ITEM \"x\" 99999999999\nEND\n",  // id out of range
      "POPUP \"a\"\n ITEM \"x 1\nEND\n",         // unterminated text
      "POPUP \"a\"\n ITEM \"x\" 1 BOLD\nEND\n",  // unknown option
      "POPUP \"a\"\n ITEM \"x\"\nEND\n",         // no id
      "POPUP \"a\"\n SEPARATOR 5\nEND\n",        // trailing junk
  };
  for (const char* text : bad) {
    CMenu menu;
    EXPECT_FALSE(menu.LoadMenuText(text, std::strlen(text))) << text;
    EXPECT_EQ(menu.GetMenuItemCount(), 0u) << text;
  }
  std::string deep;
  for (int i = 0; i < 40; ++i) deep += "POPUP \"p\"\n";
  for (int i = 0; i < 40; ++i) deep += "END\n";
  CMenu menu;
  EXPECT_FALSE(menu.LoadMenuText(deep.data(), deep.size()));
}

TEST(Menu, StatesChecksRadioAndEditing) {
  MenuFixture f;
  CMenu* m = f.popup;
  EXPECT_EQ(m->EnableMenuItem(101, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(m->EnableMenuItem(101, MF_BYCOMMAND | MF_GRAYED), 0u);
  EXPECT_EQ(m->EnableMenuItem(999, MF_GRAYED), 0xFFFFFFFFu);
  EXPECT_EQ(m->CheckMenuItem(100, MF_CHECKED), 0u);
  EXPECT_EQ(m->GetMenuState(100, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  // Radio check inside the sub-menu, found by command id from the parent.
  EXPECT_TRUE(m->CheckMenuRadioItem(200, 201, 200, MF_BYCOMMAND));
  EXPECT_EQ(m->GetMenuState(200, MF_BYCOMMAND) & (MF_CHECKED | MFT_RADIOCHECK), MF_CHECKED | MFT_RADIOCHECK);
  EXPECT_EQ(m->GetMenuState(201, MF_BYCOMMAND) & MF_CHECKED, 0u);
  // Replace a placeholder and add items, as a caller fills a list of clips.
  CMenu* sub = m->GetSubMenu(3);
  EXPECT_TRUE(sub->ModifyMenu(0, MF_BYPOSITION | MF_STRING, 27000, "clip one"));
  EXPECT_TRUE(sub->AppendMenu(MF_STRING, 27001, "clip two"));
  EXPECT_TRUE(sub->InsertMenu(0, MF_BYPOSITION | MF_STRING, 26999, "first"));
  EXPECT_EQ(sub->GetMenuItemID(0), 26999u);
  EXPECT_EQ(sub->GetMenuItemID(1), 27000u);
  EXPECT_EQ(sub->GetMenuItemCount(), 4u);
  EXPECT_TRUE(m->DeleteMenu(27001, MF_BYCOMMAND));
  EXPECT_EQ(sub->GetMenuItemCount(), 3u);
}

TEST(Menu, InjectedKeysChooseCommands) {
  struct Case {
    std::vector<int> keys;
    UINT expected;
  };
  const Case cases[] = {
      {{VK_DOWN, VK_RETURN}, 100},                           // first item
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 0xFFFF},     // a sub-menu: Enter opens it
      {{VK_DOWN, VK_DOWN, VK_RETURN}, 0},                    // the grayed item cannot be chosen
      {{VK_UP, VK_RETURN}, 103},                             // Up wraps to the last item
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, 201},
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, 102},
      {{'S', VK_RETURN}, 200},                               // shortcut letter opens the sub-menu
      {{'O'}, 100},
      {{'E', 'E', VK_RETURN}, 103},                          // two items share a letter: steps between them
      {{VK_ESCAPE}, 0},
  };
  for (const Case& c : cases) {
    MenuFixture f;
    std::vector<int> keys = c.keys;
    UINT expected = c.expected;
    if (expected == 0xFFFF) {
      keys.insert(keys.end(), {VK_RETURN});  // Enter on the opened sub-menu's first item
      expected = 200;
    }
    EXPECT_EQ(f.Track(keys), expected) << "case starting " << c.keys[0] << " of " << c.keys.size();
    EXPECT_EQ(ui::GetOpenMenuWindow(0), nullptr);
  }
}

TEST(Menu, WithoutReturnCmdTheCommandIsPostedToTheOwner) {
  MenuFixture f;
  ui::InjectKeyPress(f.owner.m_hWnd, VK_DOWN);
  ui::InjectKeyPress(f.owner.m_hWnd, VK_RETURN);
  EXPECT_TRUE(f.popup->TrackPopupMenu(TPM_RIGHTBUTTON, 150, 150, &f.owner));
  EXPECT_GE(f.owner.Count(WM_INITMENUPOPUP), 1);
  ui::ProcessPendingMessages();
  ASSERT_EQ(f.owner.Count(WM_COMMAND), 1);
  EXPECT_EQ(f.owner.Only(WM_COMMAND)[0].wParam, 100u);
}

TEST(Menu, MouseHoverOpensSubMenuAndClickChoosesAndPaintsHot) {
  MenuFixture f;
  COLORREF hotPixel = 0;
  int step = 0;
  f.owner.hook = [&](UINT m, WPARAM, LPARAM) {
    if (m != WM_TIMER) return;
    RECT r;
    if (step == 0 && ui::GetOpenMenuItemRect(0, 3, &r)) {
      ui::InjectMouseMove(ui::GetOpenMenuWindow(0), POINT{r.left + 5, r.top + 5});
      step = 1;
    } else if (step == 1 && ui::GetOpenMenuWindow(1)) {
      step = 2;  // the sub-menu opened; it and the hot item are painted before the next tick
    } else if (step == 2 && ui::GetOpenMenuItemRect(0, 3, &r)) {
      hotPixel = ui::GetWindowPixel(ui::GetOpenMenuWindow(0), 6, r.top + 2);
      ui::GetOpenMenuItemRect(1, 1, &r);
      ui::InjectClick(ui::GetOpenMenuWindow(1), POINT{r.left + 5, r.top + 5});
      step = 3;
    }
  };
  f.owner.SetTimer(1, 10);
  EXPECT_EQ(static_cast<UINT>(f.popup->TrackPopupMenu(TPM_RETURNCMD, 150, 150, &f.owner)), 201u);
  EXPECT_EQ(hotPixel, GetSysColor(COLOR_HIGHLIGHT));
  f.owner.KillTimer(1);
}

TEST(Menu, PressOutsideDismisses) {
  MenuFixture f;
  ui::InjectMouseButton(f.owner.m_hWnd, POINT{1, 1}, VK_LBUTTON, true);
  EXPECT_EQ(static_cast<UINT>(f.popup->TrackPopupMenu(TPM_RETURNCMD, 150, 150, &f.owner)), 0u);
  EXPECT_EQ(f.owner.Count(WM_LBUTTONDOWN), 0);  // the press went to the menu
}

TEST(Resources, StringsByIdAndTableParsing) {
  std::string text;
  EXPECT_TRUE(LoadResourceString(3615, text));
  EXPECT_EQ(text, "This is the current playback position");
  EXPECT_FALSE(LoadResourceString(1, text));
  char small[8];
  EXPECT_EQ(LoadString(128, small, sizeof(small)), 7);
  EXPECT_STREQ(small, "kalvo T");
  EXPECT_EQ(LoadString(1, small, sizeof(small)), 0);
  EXPECT_EQ(FindResourceData("MENU", 129).data != nullptr, true);
  EXPECT_EQ(FindResourceData("BITMAP", 129).data, nullptr);
  const std::string table = "# c\n1 one\n\n2\ttab\\tand\\\\\n3x bad\n99999999999 big\n4 \r\n";
  std::vector<std::pair<UINT, std::string>> got;
  ParseStringTable(table.data(), table.size(),
                   [](void* ctx, UINT id, std::string s) {
                     static_cast<std::vector<std::pair<UINT, std::string>>*>(ctx)->emplace_back(id, s);
                   },
                   &got);
  const std::vector<std::pair<UINT, std::string>> expected = {{1, "one"}, {2, "tab\tand\\"}, {4, ""}};
  EXPECT_EQ(got, expected);
}

}  // namespace

namespace {

TEST(Menu, DestroyingTheOwnerWhileOpenEndsTheMenu) {
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "one");
  auto owner = std::make_unique<CRecordingWnd>();
  ASSERT_TRUE(owner->CreateTop(0, 0, 50, 50));
  CRecordingWnd clock;
  ASSERT_TRUE(clock.CreateTop(0, 0, 5, 5, WS_POPUP));
  clock.hook = [&](UINT m, WPARAM, LPARAM) {
    if (m == WM_TIMER && owner) owner.reset();  // destroys and deletes the owner mid-menu
  };
  clock.SetTimer(1, 5);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 10, 10, owner.get()), 0);
  EXPECT_EQ(owner, nullptr);
}

}  // namespace
