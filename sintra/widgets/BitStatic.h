// A static that shows one picture of an image list cut from a bitmap strip.
#pragma once

#include "platform/gfx/ImageList.h"
#include "platform/ui/Static.h"

class CBitStatic : public CStatic {
 public:
  static constexpr UINT kControlId = 100;

  CBitStatic();
  ~CBitStatic() override;

  using CStatic::Create;
  // A visible owner-drawn child (id 100) with cx x cy images of the bitmap
  // resource, whose pixels of `mask` let the background through.
  BOOL Create(CWnd* parent, const RECT& rect, UINT bitmapId, int cx, int cy, COLORREF mask);
  void SetImage(int index);
  int GetImage() const { return m_image; }
  CImageList& GetImageList() { return m_images; }

  void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

 private:
  CImageList m_images;
  int m_image = 0;
};
