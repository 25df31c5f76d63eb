// The annotation objects shown together from one start time for a hold time,
// in drawing order, with the frame size they were made on.
#pragma once

#include <string>
#include <vector>

#include "glimra/AnnotateObject.h"
#include "platform/gfx/Gdi.h"

class CMemoryArchive;

class CAnnotateList {
 public:
  static constexpr const char* kDefaultComment = "#add comment here#";
  static constexpr DWORD kDefaultDelay = 5000;

  explicit CAnnotateList(const CSize& bitmap);
  ~CAnnotateList();
  CAnnotateList(const CAnnotateList&) = delete;
  CAnnotateList& operator=(const CAnnotateList&) = delete;

  // Draws the list into the 16-bit frame over update (window pixels); returns
  // the buffer holding the result (the frame, or the edit buffer while editing).
  BYTE* Render(BYTE* frame, BYTE* source, const BITMAPINFO* header, const CRect& update, BOOL antiAlias);
  BYTE* Render(BYTE* frame, BYTE* source, const BITMAPINFO* header, BOOL antiAlias);
  void Paint(HDC dc, BYTE* frame, BYTE* source, const BITMAPINFO* header, const CRect& update, BOOL antiAlias);
  // Draws every object meeting area (frame pixels) into the draw target.
  void Draw(const BITMAPINFO* header, BYTE* source, const CRect& area, BYTE percent, BOOL antiAlias);

  int Add(CAnnotateObject* object);
  CAnnotateObject* GetAt(int i) const;
  void RemoveAt(int i);
  int GetSize() const { return static_cast<int>(m_objects.size()); }
  BOOL MoveObject(int from, int to);
  int IndexOf(const CAnnotateObject* object) const;

  void SetTime(DWORD time);
  DWORD GetTime() const { return m_time; }
  void SetDelay(DWORD delay);
  DWORD GetDelay() const { return m_hold & 0x0FFFFFFFu; }
  void SetPauseMode(int mode);
  int GetPauseMode() const { return static_cast<int>(m_hold >> 28); }
  DWORD GetHoldWord() const { return m_hold; }
  void UpdateTime();
  const std::string& TimeString() const { return m_timeString; }
  const std::string& DelayString() const { return m_delayString; }
  void SetComment(const char* comment) { m_comment = comment ? comment : ""; }
  const std::string& GetComment() const { return m_comment; }
  const CRect& GetRect() const { return m_rect; }
  BOOL ComplexIntersect() const { return m_complexIntersect; }
  const CSize& GetBitmapSize() const { return m_bitmap; }
  const CSize& GetWindowSize() const { return m_window; }

  BOOL SetBitmapSize(const CSize& size);
  BOOL SetBitmapSize(int cx, int cy) { return SetBitmapSize(CSize(cx, cy)); }
  void Reset(const CSize& size);
  void SetWindowSize(const CSize& size) { m_window = size; }
  void SetWindowSize(int cx, int cy) { m_window = CSize(cx, cy); }
  CPoint WindowToBitmap(const CPoint& pt, int margin) const;
  CRect WindowToBitmap(const CRect& rect, int margin) const;
  CPoint BitmapToWindow(const CPoint& pt) const;
  CRect BitmapToWindow(const CRect& rect) const;

  // Editing.
  void SetEditObject(CAnnotateObject* object) { m_editObject = object; }
  CAnnotateObject* GetEditObject() const { return m_editObject; }
  BOOL EditMode() const { return m_editObject != nullptr; }
  void SetExcludeObject(CAnnotateObject* object) { m_excludeObject = object; }
  CRect AddEditData(void* data);
  CRect SetEditData(void* data);
  CRect FinishPick();
  CRect FinishEdit(BOOL keep);
  CAnnotateObject* Pick(const CPoint& pt, const BITMAPINFO* header);
  BOOL Pick(CAnnotateObject* object) const { return IndexOf(object) >= 0; }
  BOOL RemovePickedObject(CAnnotateObject* object);
  void UpdateBoundingRect();
  void SetFocus();
  void LooseFocus();
  CRect ProcessIntersect(const CRect& changed);

  DWORD CalculateDataSize();
  BOOL Save(CMemoryArchive& archive);
  BOOL Load(CMemoryArchive& archive, BOOL reset);
  BOOL LoadObject(CMemoryArchive& archive);

  // Largest object count and bitmap side accepted from an archive.
  static constexpr DWORD kMaxObjects = 1u << 16;
  static constexpr int kMaxBitmapSide = 1 << 15;

 private:
  void DeleteObjects();
  void FreeEditBuffer();
  void CopyToEditBuffer(const BYTE* frame, const BITMAPINFO* header, const CRect& area);

  CSize m_bitmap;
  CSize m_window;
  std::string m_comment = kDefaultComment;
  std::string m_timeString;
  std::string m_delayString;
  std::vector<CAnnotateObject*> m_objects;
  CAnnotateObject* m_editObject = nullptr;
  CAnnotateObject* m_excludeObject = nullptr;
  BYTE* m_drawTarget = nullptr;
  BYTE* m_editBuffer = nullptr;
  DWORD m_editBufferSize = 0;
  DWORD m_time = 0;
  BOOL m_complexIntersect = FALSE;
  CRect m_rect;
  DWORD m_hold = kDefaultDelay;
};

// "HH:MM:SS:hh" of a time in milliseconds.
std::string AnnotateTimeString(DWORD time);
