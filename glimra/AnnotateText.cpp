#include "glimra/AnnotateText.h"

#include <algorithm>
#include <cstring>

#include "glimra/MemoryArchive.h"
#include "platform/base/MulDiv.h"
#include "platform/gfx/DC.h"

namespace {
constexpr DWORD kTextVersion = 5;
constexpr DWORD kDefaultTextColour = 0x99FF;
constexpr DWORD kDefaultFormat = 36;  // DT_SINGLELINE | DT_VCENTER
constexpr DWORD kTextPlanes = 0x444;
constexpr LONG kMaxFontSize = 2048;

CRect Union(const CRect& a, const CRect& b) {
  CRect u;
  u.UnionRect(a, b);
  return u;
}
}  // namespace

LOGFONTA CAnnotateText::DefaultFont() {
  LOGFONTA lf{};
  lf.lfHeight = 20;
  lf.lfPitchAndFamily = 34;
  lf.lfQuality = 1;
  std::strcpy(lf.lfFaceName, "Verdana");
  return lf;
}

void CAnnotateText::InitOwnFields() {
  m_textColor = kDefaultTextColour;
  m_logFont = DefaultFont();
  m_textFormat = kDefaultFormat;
  m_textMargin = 4;
  m_frameMargin = 0;
  m_textOutline = 2;
}

CAnnotateText::CAnnotateText() : COverlayText(nullptr, kDefaultFormat, kDefaultTextColour, 0, 0, kTextPlanes) {
  InitOwnFields();
  m_type = ANNOTATE_TEXT;
  m_style = 1;
  m_transparency = 40;
  CreateHeader();
}

CAnnotateText::CAnnotateText(const LOGFONTA* font, COLORREF textColour, DWORD format, DWORD style) : CAnnotateText() {
  if (font) m_logFont = *font;
  m_logFont.lfFaceName[sizeof(m_logFont.lfFaceName) - 1] = 0;
  m_textColor = textColour;
  m_textFormat = format;
  m_style = style;
  m_transparency = 0;  // drawn opaque, unlike the plain constructor's text
  m_comment = "Enter text here";
}

CAnnotateText::CAnnotateText(const CAnnotateObject& common)
    : CAnnotateObject(common), COverlayText(nullptr, kDefaultFormat, kDefaultTextColour, 0, 0, kTextPlanes) {
  InitOwnFields();
  CreateHeader();
}

CAnnotateText::~CAnnotateText() = default;

void CAnnotateText::SetLogFont(const LOGFONTA& font) {
  m_logFont = font;
  m_logFont.lfFaceName[sizeof(m_logFont.lfFaceName) - 1] = 0;
  ClearBuffers();
}

void CAnnotateText::SetFormat(DWORD format) {
  m_textFormat = format;
  ClearBuffers();
}

void CAnnotateText::SetTextMargin(int margin) {
  m_textMargin = std::clamp(margin, 0, 255);
  ClearBuffers();
}

void CAnnotateText::SetTextOutline(int width) {
  m_textOutline = std::clamp(width, 0, 255);
  ClearBuffers();
}

void CAnnotateText::SetScriptShape(const CScriptShape& shape) {
  m_shape = shape;
  m_shape.CreateTokens();
  ClearBuffers();
}

void CAnnotateText::SetComment(const char* comment) {
  CAnnotateObject::SetComment(comment);
  ClearBuffers();
}

CRect CAnnotateText::ProcessIntersect(const CRect& changed) { return changed; }

DWORD CAnnotateText::EffectivePlanes() const {
  DWORD planes = m_shape.GetOverlayFlags() & ~(1u << OVERLAY_TEXT);
  if (!m_comment.empty()) planes |= 1u << OVERLAY_TEXT;
  const DWORD style = m_style & 0xF;
  if (style != 1 && style != 2) planes &= ~(1u << OVERLAY_FILL);
  if (style != 2 && style != 3) planes &= ~(1u << OVERLAY_OUTLINE);
  return planes;
}

void CAnnotateText::Draw(BYTE* target, BYTE*, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
                         BYTE percent) {
  int width = 0, height = 0;
  long stride = 0;
  if (!target || !FrameGeometry(frame, width, height, stride) || !IsSaneRect(m_rect)) return;
  const CRect rect = ScaleToFrame(m_rect, width, height, space);
  CRect area;
  if (!IsSaneRect(rect) || !area.IntersectRect(rect, clip)) return;
  SetPlaneMask(EffectivePlanes());
  BlitBuffer(target, frame, rect, area, OpacityWeight(percent), m_antiAlias);
}

void CAnnotateText::Render(const CRect& rect, const CRect& clip, int scale, int plane) {
  if (plane != OVERLAY_TEXT) {
    m_shape.Render(GetRenderDC(), rect, clip, scale, plane, m_textOutline);
    return;
  }
  // Font sizes from an archive are held to a sane range before scaling.
  LOGFONTA lf = m_logFont;
  lf.lfHeight = std::clamp<LONG>(lf.lfHeight, -kMaxFontSize, kMaxFontSize) * scale;
  lf.lfWidth = std::clamp<LONG>(lf.lfWidth, -kMaxFontSize, kMaxFontSize) * scale;
  m_renderFont.DeleteObject();
  if (!m_renderFont.CreateFontIndirect(&lf)) return;
  COverlayText::SetFont(&m_renderFont);
  COverlayText::SetFormat(m_textFormat);
  CRect text;
  if (!m_shape.GetTextRect(text, rect.Width(), rect.Height(), scale))
    text.SetRect(0, 0, rect.Width() * scale, rect.Height() * scale);
  text.DeflateRect(m_textMargin * scale, m_textMargin * scale);
  RenderText(m_comment.c_str(), text, 0, 0);
}

Color16 CAnnotateText::GetRenderColor(int plane) {
  switch (plane) {
    case OVERLAY_FILL:
      return m_color;
    case OVERLAY_OUTLINE:
      return m_outlineColor;
    case OVERLAY_TEXT:
      return m_textColor;
    default:
      return m_shape.GetColor(plane);
  }
}

void CAnnotateText::LooseFocus() { ClearBuffers(); }

void CAnnotateText::Restrict(CRect& proposed, const CRect& start) {
  int w = proposed.Width(), h = proposed.Height();
  m_shape.ProcessRestrictData(w, h, start.Width(), start.Height());
  if (w != proposed.Width()) {
    if (proposed.left == start.left)
      proposed.right = proposed.left + w;
    else
      proposed.left = proposed.right - w;
  }
  if (h != proposed.Height()) {
    if (proposed.top == start.top)
      proposed.bottom = proposed.top + h;
    else
      proposed.top = proposed.bottom - h;
  }
}

void CAnnotateText::PrepareHandle() {
  m_handleStart = m_rect;
  m_minSize = CSize(30, 30);
}

CRect CAnnotateText::AddData(void* data) {
  if (data) {
    m_rect = *static_cast<CRect*>(data);
    Restrict(m_rect, m_rect);
  }
  return m_rect;
}

CRect CAnnotateText::SetData(void* data) {
  const CRect old = m_rect;
  AddData(data);
  return Union(old, m_rect);
}

BOOL CAnnotateText::Pick(const CPoint& pt, const BITMAPINFO*, const CSize&) {
  if (m_rect.Width() <= 0 || m_rect.Height() <= 0 || !m_rect.PtInRect(pt)) return FALSE;
  const CPoint mask(MulDiv(pt.x - m_rect.left, GetMaskWidth(), m_rect.Width()),
                    MulDiv(pt.y - m_rect.top, GetMaskHeight(), m_rect.Height()));
  return COverlayBuffer::Pick(mask);
}

DWORD CAnnotateText::CalculateDataSize() {
  DWORD size = CAnnotateObject::CalculateDataSize() + 4 + 4 + 4 + 60 + 4 + 4;
  size += CMemoryArchive::StringSize(m_shape.GetName());
  for (int i = 0; i < CScriptShape::kScripts; ++i) size += CMemoryArchive::StringSize(m_shape.GetScript(i));
  return size;
}

BOOL CAnnotateText::Save(CMemoryArchive& ar) {
  static_assert(sizeof(LOGFONTA) == 60, "the archive stores the font as 60 bytes");
  const DWORD format = (m_textFormat & 0xFFFF) | (static_cast<DWORD>(m_textMargin & 0xFF) << 16);
  if (!CAnnotateObject::Save(ar) || !ar.SetDWORD(kTextVersion) || !ar.SetDWORD(m_textColor.GetColorRef()) ||
      !ar.SetDWORD(format) || !ar.SetData(reinterpret_cast<const BYTE*>(&m_logFont), sizeof(LOGFONTA)) ||
      !ar.SetDWORD(m_shape.GetExtra()) || !ar.SetDWORD(CScriptShape::kScripts) || !ar.SetString(m_shape.GetName()))
    return FALSE;
  for (int i = 0; i < CScriptShape::kScripts; ++i)
    if (!ar.SetString(m_shape.GetScript(i))) return FALSE;
  return TRUE;
}

BOOL CAnnotateText::Load(CMemoryArchive& ar) {
  DWORD version = 0, colour = 0, format = 0;
  LOGFONTA lf{};
  if (!ar.GetDWORD(version) || (version >= 2 && version <= 4) || !ar.GetDWORD(colour) || !ar.GetDWORD(format) ||
      !ar.GetData(reinterpret_cast<BYTE*>(&lf), sizeof(LOGFONTA)))
    return FALSE;
  lf.lfFaceName[sizeof(lf.lfFaceName) - 1] = 0;
  m_textColor = colour;
  m_textFormat = format & 0xFFFF;
  m_textMargin = static_cast<int>((format >> 16) & 0xFF);
  m_logFont = lf;
  m_textOutline = 2;
  if (version == kTextVersion) {
    DWORD extra = 0, count = 0;
    std::string name;
    if (!ar.GetDWORD(extra) || !ar.GetDWORD(count) || count != CScriptShape::kScripts || !ar.GetString(name))
      return FALSE;
    std::string scripts[CScriptShape::kScripts];
    for (std::string& s : scripts)
      if (!ar.GetString(s)) return FALSE;
    CScriptShape shape;
    shape.SetExtra(extra);
    shape.SetName(name);
    for (int i = 0; i < CScriptShape::kScripts; ++i) shape.SetScript(i, scripts[i]);
    m_shape = shape;
    m_shape.CreateTokens();
  }
  ClearBuffers();
  return TRUE;
}
