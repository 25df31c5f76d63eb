// The editing services of the set: picking, handles and deleting.
#include "glimra/AnnotateData.h"

namespace {
CRect Inflated(CRect r, int by) {
  r.InflateRect(by, by);
  return r;
}
}  // namespace

CRect CAnnotateData::PickedWindowRect() const {
  if (!m_pickedObject || !m_pickedList) return CRect();
  return m_pickedList->BitmapToWindow(Inflated(m_pickedObject->GetRect(), 6));
}

CRect CAnnotateData::Pick(const CPoint& pt, const BITMAPINFO* header) {
  CRect r = PickedWindowRect();
  m_pickedObject = nullptr;
  m_pickedList = nullptr;
  for (CAnnotateList* list : m_display) {
    if (CAnnotateObject* hit = list->Pick(pt, header)) {
      m_pickedObject = hit;
      m_pickedList = list;
    }
  }
  r.UnionRect(r, PickedWindowRect());
  return r;
}

CRect CAnnotateData::Pick(CAnnotateList* list, CAnnotateObject* object) {
  CRect r = PickedWindowRect();
  m_pickedObject = nullptr;
  m_pickedList = nullptr;
  if (list && IndexOfList(list) >= 0 && list->Pick(object)) {
    m_pickedObject = object;
    m_pickedList = list;
  }
  r.UnionRect(r, PickedWindowRect());
  return r;
}

CRect CAnnotateData::ResetPick() {
  CRect r;
  if (m_pickedObject && m_pickedList) r = Inflated(m_pickedList->BitmapToWindow(m_pickedObject->GetRect()), 6);
  m_pickedObject = nullptr;
  m_pickedList = nullptr;
  m_lastHandle = 0;
  return r;
}

CRect CAnnotateData::RemovePickedObject() {
  const CRect r = PickedWindowRect();
  if (m_pickedList && m_pickedObject) m_pickedList->RemovePickedObject(m_pickedObject);
  m_pickedObject = nullptr;
  m_pickedList = nullptr;
  m_lastHandle = 0;
  return r;
}

CRect CAnnotateData::DeleteList(CAnnotateList* list) {
  const int i = IndexOfList(list);
  if (i < 0) return CRect();
  const CRect r = list->BitmapToWindow(Inflated(list->GetRect(), 6));
  if (m_pickedList == list) {
    m_pickedList = nullptr;
    m_pickedObject = nullptr;
  }
  RemoveDisplay(list);
  m_lists.erase(m_lists.begin() + i);
  delete list;
  return r;
}

CRect CAnnotateData::DeleteObject(CAnnotateList* list, CAnnotateObject* object) {
  if (!list || IndexOfList(list) < 0 || list->IndexOf(object) < 0) return CRect();
  const CRect r = list->BitmapToWindow(Inflated(object->GetRect(), 6));
  if (m_pickedObject == object) {
    m_pickedObject = nullptr;
    m_pickedList = nullptr;
  }
  list->RemovePickedObject(object);
  return r;
}

int CAnnotateData::GetHandle(const CPoint& pt, CPoint& offset) {
  offset = CPoint(0, 0);
  m_lastHandle = 0;
  if (!m_pickedObject) return 0;
  PrepareHandleBox();
  m_lastHandle = m_handleBox.GetHandle(pt, offset);
  return m_lastHandle;
}
