// A text shown inside a frame drawn by a shape script: fill, outline, the shape's
// other phases and the text are each rendered into a mask plane and blended in
// their own colours.
#pragma once

#include "glimra/AnnotateObject.h"
#include "platform/gfx/Font.h"
#include "sintra/overlay/OverlayText.h"
#include "sintra/overlay/ScriptShape.h"

class CAnnotateText : public CAnnotateObject, public COverlayText {
 public:
  CAnnotateText();
  CAnnotateText(const LOGFONTA* font, COLORREF textColour, DWORD format, DWORD style);
  explicit CAnnotateText(const CAnnotateObject& common);
  CAnnotateText(const CAnnotateText&) = delete;
  CAnnotateText& operator=(const CAnnotateText&) = delete;
  ~CAnnotateText() override;

  CRect ProcessIntersect(const CRect& changed) override;
  void Draw(BYTE* target, BYTE* source, const BITMAPINFO* frame, const CRect& clip, const CSize& space,
            BYTE percent) override;
  CRect AddData(void* data) override;
  CRect SetData(void* data) override;
  BOOL Pick(const CPoint& pt, const BITMAPINFO* frame, const CSize& space) override;
  void LooseFocus() override;
  void Restrict(CRect& proposed, const CRect& start) override;
  void PrepareHandle() override;
  DWORD CalculateDataSize() override;
  BOOL Save(CMemoryArchive& archive) override;
  BOOL Load(CMemoryArchive& archive) override;
  void SetComment(const char* comment) override;

  void Render(const CRect& rect, const CRect& clip, int scale, int plane) override;
  Color16 GetRenderColor(int plane) override;

  void SetLogFont(const LOGFONTA& font);
  const LOGFONTA& GetLogFont() const { return m_logFont; }
  void SetTextColor(COLORREF colour) { m_textColor = colour; }
  COLORREF GetTextColor() const { return m_textColor.GetColorRef(); }
  void SetFormat(DWORD format);
  DWORD GetFormat() const { return m_textFormat; }
  void SetStyle(DWORD style) { m_style = style; }
  DWORD GetStyle() const { return m_style; }
  void SetTextMargin(int margin);
  int GetTextMargin() const { return m_textMargin; }
  void SetTextOutline(int width);
  int GetTextOutline() const { return m_textOutline; }
  void SetMargin(int margin) { m_frameMargin = margin; }
  int GetMargin() const { return m_frameMargin; }
  void SetScriptShape(const CScriptShape& shape);
  const CScriptShape& GetScriptShape() const { return m_shape; }
  CScriptShape& GetScriptShape() { return m_shape; }
  // The planes Draw blends for the current style and comment.
  DWORD EffectivePlanes() const;

 private:
  static LOGFONTA DefaultFont();
  void InitOwnFields();

  Color16 m_textColor;
  DWORD m_textFormat = 36;
  LOGFONTA m_logFont{};
  CScriptShape m_shape;
  int m_frameMargin = 0;
  int m_textMargin = 4;
  int m_textOutline = 2;
  CFont m_renderFont;
};
