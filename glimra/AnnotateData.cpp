#include "glimra/AnnotateData.h"

#include <algorithm>
#include <new>

#include "glimra/AnnotateLine.h"
#include "platform/base/MulDiv.h"

namespace {
constexpr CSize kNewListBitmap(1024, 768);
}  // namespace

CAnnotateData::CAnnotateData() = default;

CAnnotateData::~CAnnotateData() { RemoveAll(); }

void CAnnotateData::RemoveAll() {
  m_display.clear();
  m_pickedObject = nullptr;
  m_pickedList = nullptr;
  m_lastHandle = 0;
  for (CAnnotateList* list : m_lists) delete list;
  m_lists.clear();
}

BOOL CAnnotateData::IsVisible(const CAnnotateList* list, DWORD time) const {
  const unsigned long long t = time / 100 * 100ull;
  const unsigned long long s = list->GetTime() / 100 * 100ull;
  const unsigned long long pauseDelay = static_cast<unsigned long long>(std::max(m_pauseDelay, 0));
  unsigned long long hold = list->GetPauseMode() == 2 ? pauseDelay : list->GetDelay();
  if (hold < pauseDelay) hold = pauseDelay;
  return t >= s && (list->GetPauseMode() == 3 || t < s + hold);
}

CRect CAnnotateData::UpdateAnnotationDisplayList(DWORD time, CAnnotateList** added) {
  CRect changed;
  for (size_t i = 0; i < m_display.size();) {
    CAnnotateList* list = m_display[i];
    if (IsVisible(list, time)) {
      ++i;
      continue;
    }
    m_display.erase(m_display.begin() + static_cast<long>(i));
    changed.UnionRect(changed, list->GetRect());
    list->LooseFocus();
  }
  if (added) *added = nullptr;
  for (CAnnotateList* list : m_lists) {
    if (!IsVisible(list, time) || DisplayLookup(list)) continue;
    AddDisplay(list);
    list->SetFocus();
    changed.UnionRect(changed, list->GetRect());
    if (added) *added = list;
  }
  return changed;
}

CRect CAnnotateData::ProcessIntersect(const CRect& changed) {
  CRect r = changed;
  for (CAnnotateList* list : m_display)
    if (list->ComplexIntersect()) r.UnionRect(r, list->ProcessIntersect(r));
  return r;
}

BOOL CAnnotateData::RenderAnnotation(BYTE* frame, BYTE* source, const BITMAPINFO* header, const CRect& update,
                                     const CSize& window, BOOL antiAlias) {
  if (m_render) {
    for (CAnnotateList* list : m_display) {
      list->SetWindowSize(window);
      list->Render(frame, source, header, update, antiAlias);
    }
  }
  int width = 0, height = 0;
  long stride = 0;
  if (!m_pickedObject || !m_handleDraw || !CAnnotateObject::FrameGeometry(header, width, height, stride) ||
      window.cx <= 0 || window.cy <= 0)
    return TRUE;
  PrepareHandleBox();
  const CRect mapped(MulDiv(update.left, width, window.cx), MulDiv(update.top, height, window.cy),
                     MulDiv(update.right, width, window.cx), MulDiv(update.bottom, height, window.cy));
  m_handleBox.Draw(frame, source, header, mapped, CSize(width, height));
  return TRUE;
}

void CAnnotateData::PrepareHandleBox() {
  m_handleBox.SetRect(m_pickedObject->GetRect());
  m_handleBox.SetLinePick(m_pickedObject->GetType() == ANNOTATE_LINE);
  if (m_pickedObject->GetType() == ANNOTATE_LINE) {
    const auto* line = dynamic_cast<const CAnnotateLine*>(m_pickedObject);
    if (line) {
      m_handleBox.GetStart() = line->GetOrigin();
      m_handleBox.GetEnd() = line->GetEnd();
    }
  }
}

int CAnnotateData::IndexOfList(const CAnnotateList* list) const {
  for (size_t i = 0; i < m_lists.size(); ++i)
    if (m_lists[i] == list) return static_cast<int>(i);
  return -1;
}

void CAnnotateData::InsertList(CAnnotateList* list) {
  auto it = std::find_if(m_lists.begin(), m_lists.end(),
                         [&](const CAnnotateList* l) { return l->GetTime() > list->GetTime(); });
  m_lists.insert(it, list);
}

CAnnotateList* CAnnotateData::GetOrCreate(DWORD start) {
  if (CAnnotateList* list = Lookup(start)) return list;
  auto* list = new CAnnotateList(kNewListBitmap);
  list->SetTime(start);
  InsertList(list);
  return list;
}

CAnnotateList* CAnnotateData::AddNew(DWORD start) {
  if (CAnnotateList* list = Lookup(start)) return list;
  CAnnotateList* list = nullptr;
  try {
    list = GetOrCreate(start);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  m_changed = TRUE;
  return list;
}

CAnnotateList* CAnnotateData::Lookup(DWORD start) const {
  for (CAnnotateList* list : m_lists)
    if (list->GetTime() == start) return list;
  return nullptr;
}

CAnnotateList* CAnnotateData::DisplayLookup(DWORD start) const {
  for (CAnnotateList* list : m_display)
    if (list->GetTime() == start) return list;
  return nullptr;
}

BOOL CAnnotateData::DisplayLookup(const CAnnotateList* list) const {
  return std::find(m_display.begin(), m_display.end(), list) != m_display.end();
}

void CAnnotateData::AddDisplay(CAnnotateList* list) {
  if (!list || DisplayLookup(list)) return;
  auto it = std::find_if(m_display.begin(), m_display.end(),
                         [&](const CAnnotateList* l) { return l->GetTime() > list->GetTime(); });
  m_display.insert(it, list);
}

void CAnnotateData::RemoveDisplay(const CAnnotateList* list) {
  m_display.erase(std::remove(m_display.begin(), m_display.end(), list), m_display.end());
}

CAnnotateList* CAnnotateData::GetListAt(int i) const {
  return i >= 0 && i < GetListCount() ? m_lists[static_cast<size_t>(i)] : nullptr;
}

CAnnotateList* CAnnotateData::GetDisplayListAt(int i) const {
  return i >= 0 && i < GetDisplayListCount() ? m_display[static_cast<size_t>(i)] : nullptr;
}

CRect CAnnotateData::GetDisplayListRect() const {
  CRect r;
  for (const CAnnotateList* list : m_display) r.UnionRect(r, list->GetRect());
  return r;
}

BOOL CAnnotateData::NudgeAnnotateListTime(CAnnotateList* list, int delta, DWORD limit) {
  const int i = IndexOfList(list);
  if (i < 0) return FALSE;
  const long long start = list->GetTime();
  const long long prev = i > 0 ? m_lists[static_cast<size_t>(i) - 1]->GetTime() : 0;
  const long long next = i + 1 < GetListCount() ? m_lists[static_cast<size_t>(i) + 1]->GetTime() : limit;
  long long moved = start;
  if (delta < 0) {
    if (start == prev) return FALSE;
    if (start - prev >= -static_cast<long long>(delta))
      moved = start + delta;
    else
      moved = i > 0 ? prev + 100 : 0;
  } else {
    if (start == next) return FALSE;
    moved = next - start < delta ? next - 100 : start + delta;
  }
  list->SetTime(static_cast<DWORD>(std::clamp<long long>(moved, 0, 0xFFFFFFFFll)));
  return TRUE;
}
