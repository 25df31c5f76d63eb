#include "glimra/AnnotateList.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "glimra/AnnotateBox.h"
#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateText.h"
#include "glimra/MemoryArchive.h"
#include "platform/base/MulDiv.h"
#include "platform/base/Strings.h"
#include "platform/gfx/DC.h"

namespace {
// The smallest stored object: a common block with an empty comment.
constexpr DWORD kMinObjectBytes = 60;
}  // namespace

std::string AnnotateTimeString(DWORD t) {
  const DWORD c = t / 10;
  return str::Format("%02d:%02d:%02d:%02d", static_cast<int>(t / 3600000), static_cast<int>((c % 360000) / 6000),
                     static_cast<int>((c % 6000) / 100), static_cast<int>(c % 100));
}

CAnnotateList::CAnnotateList(const CSize& bitmap) : m_bitmap(bitmap), m_window(bitmap) { UpdateTime(); }

CAnnotateList::~CAnnotateList() {
  DeleteObjects();
  FreeEditBuffer();
}

void CAnnotateList::DeleteObjects() {
  for (CAnnotateObject* o : m_objects)
    if (o != m_editObject) delete o;
  m_objects.clear();
  delete m_editObject;
  m_editObject = nullptr;
  m_excludeObject = nullptr;
}

void CAnnotateList::FreeEditBuffer() {
  delete[] m_editBuffer;
  m_editBuffer = nullptr;
  m_editBufferSize = 0;
}

BYTE* CAnnotateList::Render(BYTE* frame, BYTE* source, const BITMAPINFO* header, BOOL antiAlias) {
  return Render(frame, source, header, CRect(0, 0, m_window.cx, m_window.cy), antiAlias);
}

BYTE* CAnnotateList::Render(BYTE* frame, BYTE* source, const BITMAPINFO* header, const CRect& update, BOOL antiAlias) {
  int width = 0, height = 0;
  long stride = 0;
  if (!frame || !CAnnotateObject::FrameGeometry(header, width, height, stride)) return frame;
  m_bitmap = CSize(width, height);
  const CRect area(WindowToBitmap(update.TopLeft(), -1), WindowToBitmap(update.BottomRight(), 1));
  if (!m_editObject) {
    m_drawTarget = frame;
    Draw(header, source, area, 0, antiAlias);
    return frame;
  }
  // The edit buffer is only needed while editing; it holds a whole frame.
  const unsigned long long bytes = static_cast<unsigned long long>(stride) * height;
  if (bytes > 0xFFFFFFFFull) return frame;
  if (m_editBufferSize != bytes) {
    FreeEditBuffer();
    m_editBuffer = new (std::nothrow) BYTE[bytes];
    if (!m_editBuffer) return frame;
    m_editBufferSize = static_cast<DWORD>(bytes);
  }
  CopyToEditBuffer(frame, header, area);
  m_drawTarget = m_editBuffer;
  if (!m_editObject->GetRect().IsRectEmpty()) {
    CRect clip;
    if (clip.IntersectRect(m_editObject->GetRect(), area)) {
      m_editObject->SetAntiAlias(antiAlias);
      m_editObject->Draw(m_editBuffer, source, header, clip, m_bitmap, 0);
    }
  }
  return m_editBuffer;
}

void CAnnotateList::CopyToEditBuffer(const BYTE* frame, const BITMAPINFO* header, const CRect& area) {
  int width = 0, height = 0, bytes = 2;
  long stride = 0;
  CAnnotateObject::FrameGeometry(header, width, height, stride, &bytes);
  if (area.left <= 0 && area.top <= 0 && area.right >= width && area.bottom >= height) {
    std::memcpy(m_editBuffer, frame, m_editBufferSize);
    return;
  }
  CRect a;
  if (!a.IntersectRect(area, CRect(0, 0, width, height))) return;
  for (int y = a.top; y < a.bottom; ++y) {
    const long offset = static_cast<long>(y) * stride + static_cast<long>(a.left) * bytes;
    std::memcpy(m_editBuffer + offset, frame + offset, static_cast<size_t>(a.Width()) * bytes);
  }
}

void CAnnotateList::Paint(HDC dc, BYTE* frame, BYTE* source, const BITMAPINFO* header, const CRect& update,
                          BOOL antiAlias) {
  BYTE* bits = Render(frame, source, header, update, antiAlias);
  if (dc && bits)
    dc->StretchDIBits(0, 0, m_window.cx, m_window.cy, 0, 0, m_bitmap.cx, m_bitmap.cy, bits, header, DIB_RGB_COLORS,
                      SRCCOPY);
}

void CAnnotateList::Draw(const BITMAPINFO* header, BYTE* source, const CRect& area, BYTE percent, BOOL antiAlias) {
  for (CAnnotateObject* o : m_objects) {
    if (o == m_excludeObject || o->GetRect().IsRectEmpty()) continue;
    CRect clip;
    if (!clip.IntersectRect(o->GetRect(), area)) continue;
    o->SetAntiAlias(antiAlias);
    o->Draw(m_drawTarget, source, header, clip, m_bitmap, percent);
  }
}

int CAnnotateList::Add(CAnnotateObject* object) {
  if (!object) return -1;
  m_objects.push_back(object);
  return GetSize() - 1;
}

CAnnotateObject* CAnnotateList::GetAt(int i) const {
  return i >= 0 && i < GetSize() ? m_objects[static_cast<size_t>(i)] : nullptr;
}

int CAnnotateList::IndexOf(const CAnnotateObject* object) const {
  for (int i = 0; i < GetSize(); ++i)
    if (m_objects[static_cast<size_t>(i)] == object) return i;
  return -1;
}

void CAnnotateList::RemoveAt(int i) {
  if (i < 0 || i >= GetSize()) return;
  CAnnotateObject* o = m_objects[static_cast<size_t>(i)];
  m_objects.erase(m_objects.begin() + i);
  if (o == m_excludeObject) m_excludeObject = nullptr;
  if (o == m_editObject) m_editObject = nullptr;
  delete o;
}

BOOL CAnnotateList::MoveObject(int from, int to) {
  if (from < 0 || to < 0 || from >= GetSize() || to >= GetSize()) return FALSE;
  CAnnotateObject* o = m_objects[static_cast<size_t>(from)];
  m_objects.erase(m_objects.begin() + from);
  m_objects.insert(m_objects.begin() + to, o);
  return TRUE;
}

void CAnnotateList::SetTime(DWORD time) {
  m_time = time;
  UpdateTime();
}

void CAnnotateList::SetDelay(DWORD delay) {
  m_hold = (m_hold & 0xF0000000u) | (delay & 0x0FFFFFFFu);
  UpdateTime();
}

void CAnnotateList::SetPauseMode(int mode) { m_hold = (m_hold & 0x0FFFFFFFu) | (static_cast<DWORD>(mode) << 28); }

void CAnnotateList::UpdateTime() {
  m_timeString = AnnotateTimeString(m_time);
  m_delayString = AnnotateTimeString(GetDelay());
}

BOOL CAnnotateList::SetBitmapSize(const CSize& size) {
  if (size.cx == m_bitmap.cx && size.cy == m_bitmap.cy) return FALSE;
  Reset(size);
  return TRUE;
}

void CAnnotateList::Reset(const CSize& size) {
  DeleteObjects();
  m_bitmap = size;
  FreeEditBuffer();
  m_comment = kDefaultComment;
}

CPoint CAnnotateList::WindowToBitmap(const CPoint& pt, int margin) const {
  const CSize w(m_window.cx > 0 ? m_window.cx : m_bitmap.cx, m_window.cy > 0 ? m_window.cy : m_bitmap.cy);
  if (w.cx <= 0 || w.cy <= 0) return CPoint();
  const long long x = static_cast<long long>(MulDiv(pt.x, m_bitmap.cx, w.cx)) + margin;
  const long long y = static_cast<long long>(MulDiv(pt.y, m_bitmap.cy, w.cy)) + margin;
  return CPoint(static_cast<int>(std::clamp<long long>(x, 0, std::max(0, m_bitmap.cx))),
                static_cast<int>(std::clamp<long long>(y, 0, std::max(0, m_bitmap.cy))));
}

CRect CAnnotateList::WindowToBitmap(const CRect& rect, int margin) const {
  return CRect(WindowToBitmap(rect.TopLeft(), -margin), WindowToBitmap(rect.BottomRight(), margin));
}

CPoint CAnnotateList::BitmapToWindow(const CPoint& pt) const {
  if (m_bitmap.cx <= 0 || m_bitmap.cy <= 0) return pt;
  return CPoint(MulDiv(pt.x, m_window.cx, m_bitmap.cx), MulDiv(pt.y, m_window.cy, m_bitmap.cy));
}

CRect CAnnotateList::BitmapToWindow(const CRect& rect) const {
  return CRect(BitmapToWindow(rect.TopLeft()), BitmapToWindow(rect.BottomRight()));
}

CRect CAnnotateList::AddEditData(void* data) {
  return m_editObject ? BitmapToWindow(m_editObject->AddData(data)) : CRect();
}

CRect CAnnotateList::SetEditData(void* data) {
  return m_editObject ? BitmapToWindow(m_editObject->SetData(data)) : CRect();
}

CRect CAnnotateList::FinishPick() {
  CRect r;
  if (m_editObject) {
    r = m_editObject->GetRect();
    r.InflateRect(4, 4);
    r = BitmapToWindow(r);
  }
  m_editObject = nullptr;
  m_excludeObject = nullptr;
  UpdateBoundingRect();
  return r;
}

CRect CAnnotateList::FinishEdit(BOOL keep) {
  CRect r;
  if (m_editObject) {
    if (keep) {
      if (IndexOf(m_editObject) < 0) m_objects.push_back(m_editObject);
      r = BitmapToWindow(m_editObject->GetRect());
    } else if (IndexOf(m_editObject) < 0) {
      delete m_editObject;
    }
  }
  m_editObject = nullptr;
  m_excludeObject = nullptr;
  UpdateBoundingRect();
  return r;
}

CAnnotateObject* CAnnotateList::Pick(const CPoint& pt, const BITMAPINFO* header) {
  for (int i = GetSize() - 1; i >= 0; --i)
    if (m_objects[static_cast<size_t>(i)]->Pick(pt, header, m_bitmap)) return m_objects[static_cast<size_t>(i)];
  return nullptr;
}

BOOL CAnnotateList::RemovePickedObject(CAnnotateObject* object) {
  const int i = IndexOf(object);
  if (i < 0) return FALSE;
  RemoveAt(i);
  UpdateBoundingRect();
  return TRUE;
}

void CAnnotateList::UpdateBoundingRect() {
  m_rect.SetRectEmpty();
  m_complexIntersect = FALSE;
  for (CAnnotateObject* o : m_objects) {
    m_rect.UnionRect(m_rect, o->GetRect());
    if (o->ComplexIntersect()) m_complexIntersect = TRUE;
  }
}

void CAnnotateList::SetFocus() {
  for (CAnnotateObject* o : m_objects) o->SetFocus();
}

void CAnnotateList::LooseFocus() {
  for (CAnnotateObject* o : m_objects) o->LooseFocus();
}

CRect CAnnotateList::ProcessIntersect(const CRect& changed) {
  CRect r = changed;
  for (CAnnotateObject* o : m_objects)
    if (o->ComplexIntersect()) r.UnionRect(r, o->ProcessIntersect(r));
  return r;
}

DWORD CAnnotateList::CalculateDataSize() {
  DWORD size = 36 + CMemoryArchive::StringSize(m_comment);
  for (CAnnotateObject* o : m_objects) size += o->CalculateDataSize();
  return size;
}

BOOL CAnnotateList::Save(CMemoryArchive& ar) {
  if (!ar.SetDWORD(1) || !ar.SetDWORD(m_hold) || !ar.SetDWORD(static_cast<DWORD>(m_objects.size())) ||
      !ar.SetSize(m_bitmap) || !ar.SetRect(m_rect) || !ar.SetString(m_comment))
    return FALSE;
  for (CAnnotateObject* o : m_objects)
    if (!o->Save(ar)) return FALSE;
  return TRUE;
}

BOOL CAnnotateList::Load(CMemoryArchive& ar, BOOL reset) {
  DWORD version = 0, hold = 0, count = 0;
  CSize bitmap;
  if (!ar.GetDWORD(version) || version != 1 || !ar.GetDWORD(hold) || !ar.GetDWORD(count) || !ar.GetSize(bitmap))
    return FALSE;
  // Every object takes at least a common block: refuse counts the bytes cannot hold.
  if (count > kMaxObjects || count > ar.GetRemaining() / kMinObjectBytes) return FALSE;
  if (bitmap.cx < 0 || bitmap.cy < 0 || bitmap.cx > kMaxBitmapSide || bitmap.cy > kMaxBitmapSide) return FALSE;
  m_hold = hold;
  m_bitmap = bitmap;
  if (reset) {
    DeleteObjects();
    m_complexIntersect = FALSE;
    m_comment = kDefaultComment;
  }
  CRect rect;
  if (!ar.GetRect(rect) || !CAnnotateObject::IsSaneRect(rect) || !ar.GetString(m_comment)) return FALSE;
  m_rect = rect;
  UpdateTime();
  for (DWORD i = 0; i < count; ++i)
    if (!LoadObject(ar)) return FALSE;
  return TRUE;
}

BOOL CAnnotateList::LoadObject(CMemoryArchive& ar) {
  CAnnotateObject common;
  if (!common.Load(ar)) return FALSE;
  std::unique_ptr<CAnnotateObject> object;
  switch (common.GetType()) {
    case ANNOTATE_TEXT:
      object = std::make_unique<CAnnotateText>(common);
      break;
    case ANNOTATE_BRUSH:
      object = std::make_unique<CAnnotateBrush>(common);
      break;
    case ANNOTATE_BOX:
      object = std::make_unique<CAnnotateBox>(common);
      break;
    case ANNOTATE_LINE:
      object = std::make_unique<CAnnotateLine>(common);
      break;
    default:
      return FALSE;
  }
  if (!object->Load(ar)) return FALSE;
  if (object->GetType() == ANNOTATE_BOX && object->ComplexIntersect()) m_complexIntersect = TRUE;
  m_objects.push_back(object.release());
  return TRUE;
}
