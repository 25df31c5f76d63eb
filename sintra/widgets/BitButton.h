// A row of clickable areas drawn from one bitmap that holds the whole row in
// four looks, one under the other: row 0 disabled (and the space between
// areas), row 1 normal, row 2 hot, row 3 checked. A click on an area posts
// its command to the parent; a check box is inverted first.
#pragma once

#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Button.h"
#include "sintra/widgets/BitButtonArea.h"
#include "sintra/widgets/MouseTrack.h"

class CBitButton : public CButton {
 public:
  static constexpr UINT kControlId = 99;
  static constexpr int kRows = 4;

  CBitButton();
  ~CBitButton() override;

  using CButton::Create;
  // A visible owner-drawn child with control id 99 showing bitmap resource
  // `bitmapId`; 1, or 0 when the control cannot be created.
  int Create(CWnd* parent, const RECT& rect, UINT bitmapId);
  void AddButton(UINT id, const RECT& area, int enabled, int checkBox, int checked);
  void EnableButton(int index, int value);
  void CheckButton(int index, int value);
  void SetCheckBox(int index);
  void InvalidateButton(int index);
  int GetCheck(int index) const;
  int IsCheckBox(int index) const;
  UINT GetMessageID(int index) const;
  // The first enabled area containing the point, or -1.
  int TestButton(CPoint point) const;
  int GetHotButton() const { return m_hot; }
  int GetButtonCount() const { return static_cast<int>(m_areas.size()); }
  void SetToolTip(unsigned id) { m_track.SetToolTip(id); }
  // The bitmap row an area shows now (0 disabled, 1 normal, 2 hot, 3 checked).
  int RowOf(int index) const;

  void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

 protected:
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void OnLButtonUp(UINT flags, CPoint point) override;

 private:
  bool Valid(int index) const { return index >= 0 && index < GetButtonCount(); }

  CBitmap m_bitmap;
  std::vector<CBitButtonArea> m_areas;
  int m_hot = -1;
  CMouseTrack m_track;
};
