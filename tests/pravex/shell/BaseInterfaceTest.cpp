#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateData.h"
#include "glimra/MemoryArchive.h"
#include "platform/base/DibStride.h"
#include "platform/settings/SettingsKey.h"
#include "platform/ui/App.h"
#include "platform/ui/Cursor.h"
#include "pravex/capture/CaptureFileWriter.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/shell/WindowPlacement.h"
#include "sintra/skin/SkinData.h"
#include "tests/common/TestEnvironment.h"
#include "tests/pravex/shell/ShellTestWindow.h"

namespace {

// A replay window with the built-in skin, at (100, 100) of the screen.
struct ShellScene {
  std::unique_ptr<CShellTestWindow> wnd = std::make_unique<CShellTestWindow>();
  ShellScene() {
    CSettingsKey::DeleteKey(placement::kPositionsKey);
    EXPECT_TRUE(wnd->Setup("NONE"));
    wnd->SetupWindows(4);
    ui::ProcessPendingMessages();
  }
  ~ShellScene() {
    if (wnd->GetSafeHwnd()) wnd->DestroyWindow();
    ui::ProcessPendingMessages();
  }
  void Store(const std::string& name, const std::string& value) {
    CSettingsKey key;
    ASSERT_TRUE(key.Create(placement::kPositionsKey));
    ASSERT_TRUE(key.SetString(name, value));
  }
  std::string Stored(const std::string& name) {
    CSettingsKey key;
    std::string value;
    if (!key.Open(placement::kPositionsKey) || !key.QueryString(name, value)) return "<missing>";
    return value;
  }
  CRect Rect(CWnd* w) {
    WINDOWPLACEMENT wp{};
    w->GetWindowPlacement(&wp);
    return wp.rcNormalPosition;
  }
};

CRect WorkArea() {
  CRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

std::string WriteCapture(const std::string& dir, const std::vector<BYTE>* annotations) {
  const std::string path = dir + "/shell.zeph";
  CCaptureFileWriter writer;
  writer.Create(path);
  writer.AddStream(capture::kStreamScreen, 16, 8);
  const std::vector<BYTE> grey(DibStride(16, 16) * 8, 0x42);
  writer.AddScreenPicture(0, grey.data(), 16, 8, 16, true);
  writer.AddScreenPicture(500, grey.data(), 16, 8, 16, false);
  if (annotations) writer.SetAnnotationArchive(*annotations);
  writer.Finish();
  return path;
}

}  // namespace

TEST(BaseInterface, StartsWithTheDocumentedValues) {
  ShellScene s;
  CShellTestWindow& w = *s.wnd;
  EXPECT_EQ(w.GetVideoPreview(), 1);
  EXPECT_EQ(w.GetAudioPreview(), 0);
  EXPECT_EQ(w.GetScreenPreview(), 0);
  EXPECT_EQ(w.GetAutoHide(), 0);
  EXPECT_EQ(w.GetOntop(), 0);
  EXPECT_EQ(w.GetVideoCrop(), 0);
  EXPECT_EQ(w.GetInterfaceShown(), 1);
  EXPECT_EQ(w.GetPreviewWndScale(), 0x00010001u);
  EXPECT_TRUE(w.GetCaptureRect().IsRectNull());
  EXPECT_FALSE(w.GetCaptureFileReader()->IsOpen());
  CRenderVars& vars = w.GetRenderVars();
  EXPECT_EQ(vars.GetVideoTransparency(), 50);
  EXPECT_EQ(vars.GetVideoPosition(), 2);
  EXPECT_EQ(vars.GetVideoReplayMode(), 3);
  EXPECT_EQ(vars.GetCursorDisplay(), 1);
  EXPECT_EQ(w.GetTipDelay(), 1000);
  EXPECT_EQ(w.GetHoverSpot(), -1);
  EXPECT_EQ(w.GetPressedSpot(), -1);
  // The video preview is the render settings' video display.
  w.SetVideoPreview(0);
  EXPECT_EQ(vars.GetVideoDisplay(), 0);
  w.SetCaptureRect(10, 20, 300, 200);
  EXPECT_EQ(w.GetCaptureRect(), CRect(10, 20, 310, 220));
  w.SetCursorDisplay(3);
  EXPECT_EQ(vars.GetCursorDisplay(), 3);
}

TEST(BaseInterface, PreviewScaleHalvesAreNeverZero) {
  ShellScene s;
  s.wnd->SetPreviewWndScale(0);
  EXPECT_EQ(s.wnd->GetPreviewWndScale(), 0x00010001u);
  s.wnd->SetPreviewWndScale(0x00020000);
  EXPECT_EQ(s.wnd->GetPreviewWndScale(), 0x00020001u);
  s.wnd->SetPreviewWndScale(0x00000003);
  EXPECT_EQ(s.wnd->GetPreviewWndScale(), 0x00010003u);
  s.wnd->SetPreviewWndScale(0xFFFF0005);
  EXPECT_EQ(s.wnd->GetPreviewWndScale(), 0xFFFF0005u);
}

TEST(BaseInterface, SetUpIconGivesTheWindowBothIcons) {
  ShellScene s;
  s.wnd->SetUpIcon(129, 1);
  EXPECT_EQ(GetIconId(s.wnd->GetIcon(TRUE)), 129u);
  EXPECT_EQ(GetIconId(s.wnd->GetIcon(FALSE)), 129u);
  EXPECT_EQ(GetIconId(s.wnd->GetTray().GetIcon()), 129u);
  EXPECT_EQ(s.wnd->GetTray().GetTip(), "Playing Torvik capture");
  EXPECT_EQ(s.wnd->GetTray().GetRememberedId(), 129u);
  s.wnd->SetUpIcon(130, 0);  // not remembered
  EXPECT_EQ(GetIconId(s.wnd->GetIcon(TRUE)), 130u);
  EXPECT_EQ(s.wnd->GetTray().GetTip(), "Paused Torvik replay");
  EXPECT_EQ(s.wnd->GetTray().GetRememberedId(), 129u);
}

TEST(BaseInterface, PlacementIsWrittenAsPlainTextValues) {
  ShellScene s;
  EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 1);  // nothing stored: shown, large layout
  EXPECT_EQ(s.wnd->GetLargeLayout(), 1);
  s.wnd->SetWindowPos(nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  s.wnd->SavePlacement("Olvo");
  EXPECT_EQ(s.Stored("OlvoInterface"), "120,80,1,1\n");
  EXPECT_EQ(s.Stored("OlvoScreen"), "<missing>");

  // A child view is stored in its parent's client coordinates; other windows
  // in their own formats.
  CWnd view, tree;
  ASSERT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(5, 20, 305, 220), s.wnd.get(), 7));
  ASSERT_TRUE(tree.CreateEx(0, nullptr, "tree", WS_POPUP | WS_VISIBLE, CRect(40, 50, 240, 350), nullptr, 0));
  s.wnd->SetScreenWindow(&view);
  s.wnd->SetTreeWindow(&tree);
  s.wnd->SetInterfaceShown(0);
  s.wnd->SavePlacement("Olvo");
  EXPECT_EQ(s.Stored("OlvoInterface"), "120,80,0,1\n");
  EXPECT_EQ(s.Stored("OlvoScreen"), "5,20,0,1\n");
  EXPECT_EQ(s.Stored("OlvoScreenSize"), "300,200\n");
  EXPECT_EQ(s.Stored("OlvoTree"), "40,50,200,300, 0,1\n");
  EXPECT_EQ(s.Stored("OlvoVideo"), "<missing>");
  EXPECT_EQ(s.Stored("OlvoCoords"), "<missing>");

  // Video and coordinates windows are moved, never sized; their shown field counts.
  CWnd video;
  ASSERT_TRUE(video.CreateEx(0, nullptr, "video", WS_POPUP | WS_VISIBLE, CRect(0, 0, 64, 48), nullptr, 0));
  s.wnd->SetVideoWindow(&video);
  s.Store("OlvoVideo", "70,90,5,1\n");
  EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 0);  // the tree's value is read last
  EXPECT_EQ(s.Rect(&video), CRect(70, 90, 134, 138));
  s.wnd->SetTreeWindow(nullptr);
  EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 5);
  s.wnd->SetTreeWindow(&tree);
  s.wnd->SetVideoWindow(nullptr);
  video.DestroyWindow();

  // Read back into moved windows.
  view.SetWindowPos(nullptr, 0, 0, 10, 10, SWP_NOZORDER);
  tree.SetWindowPos(nullptr, 0, 0, 10, 10, SWP_NOZORDER);
  s.wnd->SetWindowPos(nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 0);
  EXPECT_EQ(s.Rect(s.wnd.get()).TopLeft(), CPoint(120, 80));
  EXPECT_EQ(s.Rect(&view), CRect(5, 20, 305, 220));
  EXPECT_EQ(s.Rect(&tree), CRect(40, 50, 240, 350));
  tree.DestroyWindow();
  view.DestroyWindow();
}

TEST(BaseInterface, PlacementThatDoesNotParseIsIgnored) {
  ShellScene s;
  s.wnd->SetWindowPos(nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  for (const char* bad : {"10,20,0", "10,20,0,x", "", "99999999999,20,0,1", "10;20;0;1", "-2147483649,1,0,1"}) {
    s.Store("OlvoInterface", bad);
    s.wnd->SetLargeLayout(0);
    EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 1) << bad;
    EXPECT_EQ(s.Rect(s.wnd.get()).TopLeft(), CPoint(200, 150)) << bad;
    EXPECT_EQ(s.wnd->GetLargeLayout(), 1) << bad;
  }
  // Blanks around the numbers are fine, as is the smallest int.
  s.Store("OlvoInterface", " 30 , 40,0 ,0\n");
  EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 0);
  EXPECT_EQ(s.Rect(s.wnd.get()).TopLeft(), CPoint(30, 40));
  EXPECT_EQ(s.wnd->GetLargeLayout(), 0);
  int v[2];
  EXPECT_TRUE(placement::ParseInts("-2147483648,2147483647", v, 2));
  EXPECT_EQ(v[0], INT_MIN);
  EXPECT_EQ(v[1], INT_MAX);
}

TEST(BaseInterface, APlacementOffTheWorkAreaIsBroughtBack) {
  ShellScene s;
  const CRect work = WorkArea();
  CRect before;
  s.wnd->GetWindowRect(&before);
  s.Store("OlvoInterface", std::to_string(work.right + 500) + ",100,1,1\n");
  EXPECT_EQ(s.wnd->ReadPlacement("Olvo"), 1);
  CRect r = s.Rect(s.wnd.get());
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.Size(), before.Size());
  // Only the move area must stay visible: a window hanging half off stays put.
  s.Store("OlvoInterface", std::to_string(work.right - 20) + ",100,1,1\n");
  s.wnd->ReadPlacement("Olvo");
  EXPECT_EQ(s.Rect(s.wnd.get()).left, work.right - 20);
  // Above the work area: its top comes to the work area's top.
  s.Store("OlvoInterface", "10,-1000,1,1\n");
  s.wnd->ReadPlacement("Olvo");
  EXPECT_EQ(s.Rect(s.wnd.get()).TopLeft(), CPoint(10, work.top));
}

TEST(BaseInterface, AChildViewIsKeptInsideItsParentNotOnTheWorkArea) {
  ShellScene s;
  CWnd view;
  ASSERT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 20, 100, 120), s.wnd.get(), 7));
  s.wnd->SetScreenWindow(&view);
  CRect client;
  s.wnd->GetClientRect(&client);
  // Wholly right of the parent's client area (though on the screen).
  s.Store("OlvoScreen", std::to_string(client.right + 10) + ",30,1,1\n");
  s.Store("OlvoScreenSize", "200,150\n");
  s.wnd->ReadPlacement("Olvo");
  EXPECT_EQ(s.Rect(&view), CRect(client.right - 200, 30, client.right, 180));
  // No size stored: 100 x 100.
  CSettingsKey key;
  ASSERT_TRUE(key.Open(placement::kPositionsKey));
  key.DeleteValue("OlvoScreenSize");
  s.Store("OlvoScreen", "15,25,1,1\n");
  s.wnd->ReadPlacement("Olvo");
  EXPECT_EQ(s.Rect(&view), CRect(15, 25, 115, 125));
  view.DestroyWindow();
}

TEST(BaseInterface, KeepInsideMovesOnlyWhatLiesWhollyOutside) {
  const CRect area(0, 0, 1000, 700);
  const CRect window(50, 60, 350, 260);
  // (test rectangle, expected top-left)
  const struct {
    CRect test;
    CPoint at;
  } cases[] = {
      {CRect(1000, 60, 1100, 80), CPoint(700, 60)},  // wholly right
      {CRect(-200, 60, 0, 80), CPoint(0, 60)},       // wholly left
      {CRect(50, 700, 350, 720), CPoint(50, 500)},   // wholly below, shorter than the area
      {CRect(50, -40, 350, 0), CPoint(50, 0)},       // wholly above
      {CRect(990, 690, 1100, 720), CPoint(50, 60)},  // partly inside
  };
  for (const auto& c : cases) EXPECT_EQ(placement::KeepInside(window, c.test, area), c.at);
  // A window taller than the area, wholly below: its top comes to the area's top.
  EXPECT_EQ(placement::KeepInside(CRect(0, 800, 100, 1600), CRect(0, 800, 100, 1600), area), CPoint(0, 0));
}

TEST(BaseInterface, AnnotationsComeFromTheCapturesTrailer) {
  ShellScene s;
  const std::string dir = testenv::MakeTempDir();
  CAnnotateData data;
  data.AddNew(500);
  ASSERT_EQ(data.GetListCount(), 1);

  // No annotation record: empty data and 0.
  ASSERT_TRUE(s.wnd->GetCaptureFileReader()->Open(WriteCapture(dir, nullptr)));
  EXPECT_EQ(s.wnd->GetAnnotationFromFile(&data), 0);
  EXPECT_EQ(data.GetListCount(), 0);
  s.wnd->GetCaptureFileReader()->Close();

  CAnnotateData stored;
  CAnnotateList* list = stored.AddNew(1000);
  auto* box = new CAnnotateBox(0);
  box->SetRect(CRect(1, 1, 6, 5));
  list->Add(box);
  list->UpdateBoundingRect();
  stored.AddNew(3000);
  CMemoryArchive archive(stored.CalculateDataSize(), TRUE);
  ASSERT_TRUE(stored.Save(archive));
  const std::vector<BYTE> bytes(archive.GetBuffer(), archive.GetBuffer() + archive.GetBufferSize());
  ASSERT_TRUE(s.wnd->GetCaptureFileReader()->Open(WriteCapture(dir, &bytes)));
  EXPECT_EQ(s.wnd->GetAnnotationFromFile(&data), 1);
  EXPECT_EQ(data.GetListCount(), 2);
  EXPECT_EQ(s.wnd->GetAnnotationFromFile(nullptr), 0);
  s.wnd->GetCaptureFileReader()->Close();
}

TEST(BaseInterface, CaptionPartsAreConstructedButNotCreated) {
  ShellScene s;
  CShellTestWindow& w = *s.wnd;
  EXPECT_EQ(w.GetTransStatic().GetSafeHwnd(), nullptr);
  EXPECT_EQ(w.GetRoundSlider().GetSafeHwnd(), nullptr);
  EXPECT_EQ(w.GetCaptionBar().GetSafeHwnd(), nullptr);
  // A derived window may create them on itself; they then live and die with it.
  ASSERT_TRUE(w.GetRoundSlider().Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 24, 24), &w, 901));
  ASSERT_TRUE(w.GetTransStatic().Create("Volume", WS_CHILD | WS_VISIBLE, CRect(30, 0, 90, 16), &w, 902));
  EXPECT_EQ(w.GetRoundSlider().GetParent(), &w);
  EXPECT_EQ(w.GetDlgItem(902), &w.GetTransStatic());
  w.GetRoundSlider().SetRange(0, 10);
  w.GetRoundSlider().SetPos(25);
  EXPECT_EQ(w.GetRoundSlider().GetPos(), 10);
}
