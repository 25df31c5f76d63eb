// Pango layouts for the text calls of the device context.
#pragma once

#include <pango/pangocairo.h>

#include <string>

#include "platform/gfx/detail/GfxInternal.h"

namespace gfx_detail {

// A context for measuring without a surface; crisp (no antialiasing, full
// hinting) when the text is meant for a monochrome mask. Caller unrefs it.
PangoContext* NewMeasuringContext(bool crisp);

// The 8-bit text as UTF-8: valid UTF-8 is kept, other bytes are read as Latin-1.
std::string ToUtf8(const char* text, size_t length);

// Owns a layout for one piece of text in a font.
class CTextLayout {
 public:
  // cr may be null (measuring only).
  CTextLayout(const FontData& font, bool crisp, cairo_t* cr, const std::string& utf8);
  ~CTextLayout();
  CTextLayout(const CTextLayout&) = delete;
  CTextLayout& operator=(const CTextLayout&) = delete;

  PangoLayout* Get() const { return m_layout; }
  // Logical size in pixels.
  CSize Size() const;
  // Logical extents in pixels relative to the layout origin.
  CRect Extents() const;
  // Underlines the character at byte index (mnemonic prefix).
  void UnderlineAt(int index);

 private:
  PangoLayout* m_layout = nullptr;
  PangoContext* m_context = nullptr;  // owned when measuring
  PangoAttrList* m_attributes = nullptr;
};

}  // namespace gfx_detail
