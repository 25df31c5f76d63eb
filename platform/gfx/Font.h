// A font made from a LOGFONTA: height in pixels (negative for the character
// height, positive for the cell height), weight, italic, underline, strike-out
// and escapement (900 turns text by 90 degrees). Faces are resolved through the
// system's font configuration; a face that is not installed falls back to DejaVu.
#pragma once

#include <memory>

#include "platform/gfx/GdiObject.h"

namespace gfx_detail {
struct FontData;
}

class CDC;

class CFont : public CGdiObject {
 public:
  CFont();
  ~CFont() override;

  BOOL CreateFontIndirect(const LOGFONTA* font);
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, const char* faceName);
  // Size in tenths of a point at the display's 96 pixels per inch.
  BOOL CreatePointFont(int pointSizeTenths, const char* faceName, CDC* dc = nullptr);
  int GetLogFont(LOGFONTA* font) const;

  BOOL IsCreated() const override { return m_data != nullptr; }
  BOOL DeleteObject() override;

  // The shared description selected into device contexts.
  const std::shared_ptr<gfx_detail::FontData>& Data() const { return m_data; }

 private:
  std::shared_ptr<gfx_detail::FontData> m_data;
};
