#include "tools/uidemo/WidgetsDemo.h"

#include <memory>

#include "platform/gfx/DC.h"
#include "platform/os/Resources.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/Wnd.h"
#include "sintra/skin/SkinData.h"
#include "sintra/widgets/BitButton.h"
#include "sintra/widgets/CaptionBar.h"
#include "sintra/widgets/MyToolTip.h"
#include "sintra/widgets/StaticLedBar.h"
#include "sintra/widgets/StaticProgressLedBar.h"
#include "sintra/widgets/TimeDisplay.h"
#include "sintra/widgets/TransButton.h"
#include "sintra/widgets/TransLedProgress.h"

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 120;
constexpr int kBar = 28;

// The player's colours, forced so that they hold without a skin file.
void UsePlayerColours() {
  CSkinData& s = g_skinData;
  s.ForceColour();
  s.m_colour[SKIN_WINDOW_BACK] = 0xFFFFFF;
  s.m_colour[SKIN_TEXT] = 0x323232;
  s.m_colour[SKIN_TEXT_DISABLE] = 0xBEBEBE;
  s.m_colour[SKIN_SHADOW] = 0x323232;
  s.m_colour[SKIN_LINE] = 0x646464;
  s.m_colour[SKIN_DIALOG_BACK] = 0xEBEBEB;
  s.m_colour[SKIN_BUTTON_TEXT] = 0x323232;
  s.m_colour[SKIN_BUTTON_FACE] = 0xDEDEDE;
  s.m_colour[SKIN_BUTTON_DISABLE] = 0xE6E6E6;
  s.m_colour[SKIN_BUTTON_HI] = 0x4ABEED;
  s.m_colour[SKIN_BUTTON_SELECT] = 0x4ABEED;
  s.m_colour[SKIN_BUTTON_BORDER] = 0xC8C8C8;
  s.m_colour[SKIN_BUTTON_SHADOW] = 0x323232;
  s.m_colour[SKIN_TOOLTIP_BACK] = 0xFFE3D6;
  s.m_colour[SKIN_TOOLTIP_TEXT] = 0;
  s.m_colour[SKIN_CAPTIONBAR] = 0xE7E6E7;
  s.m_colour[SKIN_CAPTIONBAR_FOCUS] = 0xFFE3D6;
  s.m_colour[SKIN_CAPTIONTEXT] = 0x323232;
  s.m_colour[SKIN_CAPTIONTEXT_FOCUS] = 0;
  s.m_colour[SKIN_MENU] = 0xF1F0F1;
}

class CWidgetsWnd : public CWnd {
 public:
  BOOL CreatePanel(CWnd* owner) {
    CRect ownerRect(0, 0, 0, 0);
    if (owner) owner->GetWindowRect(&ownerRect);
    // Below and right of the owner, clear of the menu its screenshot opens.
    const int left = ownerRect.left + 298, top = ownerRect.bottom + 110;
    const char* cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, "Olvane widgets", WS_POPUP | WS_CLIPCHILDREN, CRect(left, top, left + kWidth, top + kHeight),
                  owner, 0))
      return FALSE;

    m_caption.Create(this, CRect(0, 0, kWidth, 18), 13 * 2 - 6);
    m_caption.SetWindowText("Desktop tour (16-bit, GSM sound, camera) - a title longer than its caption bar");
    m_caption.Activate(TRUE);
    m_glyphs.CreatePointFont(75, "Marlett");
    const char close[2] = {static_cast<char>(114), 0};
    m_close.Create(close, WS_CHILD | WS_VISIBLE, CRect(kWidth - 15, 2, kWidth - 2, 15), &m_caption, 32779, &m_glyphs);

    m_meter.Create("", WS_CHILD | WS_VISIBLE, CRect(150, 26, kWidth - 16, 40), this, 1);
    m_meter.SetCells(40);
    m_meter.SetColours(RGB(0, 0, 0), RGB(24, 24, 24));
    m_meter.SetPos(62);
    m_disk.Create(CRect(150, 50, kWidth - 16, 64), 0, this, 0x02FFFFFF, 0x02656565, 0x02C8C8C8);
    m_disk.ShowWindow(SW_SHOW);

    // The control bar as the player lays it out for this width.
    const int barTop = kHeight - kBar;
    m_buttons.Create(this, CRect(0, barTop, 132, barTop + kBar), 544);
    const struct {
      UINT id;
      CRect area;
      int normal, box, checked;
    } buttons[] = {
        {32771, {3, 3, 25, 25}, 1, 0, 0},     {32772, {27, 3, 49, 25}, 1, 0, 0},
        {32773, {51, 3, 73, 25}, 1, 1, 1},    {32797, {75, 3, 98, 25}, 1, 0, 0},
        {32791, {82, 16, 87, 24}, 1, 1, 0},   {32792, {88, 16, 93, 24}, 1, 1, 0},
        {32798, {94, 16, 99, 24}, 1, 1, 0},   {32793, {100, 16, 109, 24}, 1, 1, 1},
        {32794, {110, 16, 115, 24}, 1, 1, 0}, {32795, {116, 16, 121, 24}, 1, 1, 0},
        {32796, {122, 16, 127, 24}, 1, 1, 0},
    };
    for (const auto& b : buttons) m_buttons.AddButton(b.id, b.area, b.normal, b.box, b.checked);
    const int progressWidth = kWidth - 132 - 72;
    m_progress.Create(CRect(132, barTop, 132 + progressWidth, barTop + kBar), 3650, this, 0x02FFFFFF, 0x02656565,
                      0x02C8C8C8);
    m_progress.SetStripHeight(19);
    m_progress.SetColours(0x02656565, 0x02FFFFFF);
    m_progress.SetPos(37);
    m_progress.ShowWindow(SW_SHOW);
    m_counter.Create(this, POINT{133 + progressWidth, barTop + (kBar - 19) / 2}, 0, 4, 3, 0xFFFF);
    m_counter.SetColours(0x02FFFFFF, 0x02656565);
    m_counter.SetData(366100);

    ShowWindow(SW_SHOW);
    m_tip.Create(this);
    std::string text;
    LoadResourceString(3615, text);
    CRect counter;
    m_counter.GetWindowRect(&counter);
    m_tip.DisplayToolTip(text.c_str(), POINT{counter.left - 200, counter.top - 140});
    return TRUE;
  }

 protected:
  void OnPaint() override {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(0xEB, 0xEB, 0xEB));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0x32, 0x32, 0x32));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    CRect label(16, 26, 140, 40);
    dc.DrawText("LED meter", -1, &label, DT_SINGLELINE | DT_VCENTER);
    label.OffsetRect(0, 24);
    dc.DrawText("Disk space", -1, &label, DT_SINGLELINE | DT_VCENTER);
    CRect edge = client;
    dc.DrawEdge(&edge, EDGE_RAISED, BF_RECT);
  }
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  BOOL OnCommand(WPARAM wParam, LPARAM) override {
    if (LOWORD(wParam) == 32779) ShowWindow(SW_HIDE);
    return TRUE;
  }

 private:
  CCaptionBar m_caption;
  CFont m_glyphs;
  CTransButton m_close;
  CStaticLedBar m_meter;
  CStaticProgressLedBar m_disk{1, "/"};
  CBitButton m_buttons;
  CTransLedProgress m_progress;
  CTimeDisplay m_counter;
  CMyToolTip m_tip{8, 0x02FFE3D6};
};

}  // namespace

bool CreateWidgetsDemo(CWnd* owner) {
  UsePlayerColours();
  // Lives as long as the process, like the example's own window.
  static std::unique_ptr<CWidgetsWnd> panel;
  panel = std::make_unique<CWidgetsWnd>();
  return panel->CreatePanel(owner) != FALSE;
}
