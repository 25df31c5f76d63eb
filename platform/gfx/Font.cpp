// Fonts: LOGFONTA to a Pango font description.
#include "platform/gfx/Font.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/Strings.h"
#include "platform/gfx/detail/GfxInternal.h"
#include "platform/gfx/detail/TextLayout.h"

namespace gfx_detail {

FontData::~FontData() {
  if (m_description) pango_font_description_free(m_description);
}

namespace {

// Pixels from the top of the ascent to the bottom of the descent at the
// description's current size.
double CellHeight(const PangoFontDescription* description) {
  PangoContext* context = NewMeasuringContext(false);
  PangoFontMetrics* metrics = pango_context_get_metrics(context, description, nullptr);
  const double h = (pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics)) /
                   static_cast<double>(PANGO_SCALE);
  pango_font_metrics_unref(metrics);
  g_object_unref(context);
  return h;
}

}  // namespace

PangoFontDescription* FontData::Description() const {
  std::call_once(m_once, [this] {
    const std::string face = str::Trim(logFont.lfFaceName);
    // Faces missing on this system are found by the font configuration's
    // aliases; DejaVu Sans is named as the last resort.
    const std::string families = face.empty() || symbolFace ? "DejaVu Sans" : face + ",DejaVu Sans";
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, families.c_str());
    const LONG weight = logFont.lfWeight <= 0 ? FW_NORMAL : (logFont.lfWeight > 1000 ? 1000 : logFont.lfWeight);
    pango_font_description_set_weight(d, static_cast<PangoWeight>(weight < 100 ? 100 : weight));
    pango_font_description_set_style(d, logFont.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    // Negative heights give the character (em) height, positive the cell height.
    long height = logFont.lfHeight;
    if (height == 0) height = 16;
    height = std::clamp(height, -2000L, 2000L);
    if (height < 0) {
      pango_font_description_set_absolute_size(d, -height * static_cast<double>(PANGO_SCALE));
    } else {
      pango_font_description_set_absolute_size(d, height * static_cast<double>(PANGO_SCALE));
      const double cell = CellHeight(d);
      const double em = cell > 0 ? height * height / cell : height;
      pango_font_description_set_absolute_size(d, em * PANGO_SCALE);
    }
    m_description = d;
  });
  return m_description;
}

std::shared_ptr<FontData> MakeFont(const LOGFONTA& logFont) {
  auto data = std::make_shared<FontData>();
  data->logFont = logFont;
  data->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
  data->symbolFace = str::EqualsNoCase(str::Trim(data->logFont.lfFaceName), "Marlett");
  return data;
}

const std::shared_ptr<FontData>& DefaultFont() {
  static const std::shared_ptr<FontData>* font = [] {
    LOGFONTA lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    return new std::shared_ptr<FontData>(MakeFont(lf));
  }();
  return *font;
}

}  // namespace gfx_detail

CFont::CFont() : CGdiObject(Kind::Font) {}
CFont::~CFont() = default;

BOOL CFont::CreateFontIndirect(const LOGFONTA* font) {
  if (!font) return FALSE;
  m_data = gfx_detail::MakeFont(*font);
  return m_data != nullptr;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = outPrecision;
  lf.lfClipPrecision = clipPrecision;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = pitchAndFamily;
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSizeTenths, const char* faceName, CDC* dc) {
  const int dpi = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
  const long height = -(static_cast<long>(pointSizeTenths) * (dpi > 0 ? dpi : 96) + 360) / 720;
  return CreateFont(static_cast<int>(height), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0,
                    faceName);
}

int CFont::GetLogFont(LOGFONTA* font) const {
  if (!font || !m_data) return 0;
  *font = m_data->logFont;
  return static_cast<int>(sizeof(LOGFONTA));
}

BOOL CFont::DeleteObject() {
  const BOOL was = m_data != nullptr;
  m_data.reset();
  return was;
}
