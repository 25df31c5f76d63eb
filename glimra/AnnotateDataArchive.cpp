// Reading and writing the annotation archive of a set (layout in
// docs/annotation-archive.md).
#include <new>

#include "glimra/AnnotateData.h"
#include "platform/base/File.h"

namespace {
// The smallest stored list entry: its start time and a list block with an
// empty comment and no objects.
constexpr DWORD kMinListEntryBytes = 4 + 40;
}  // namespace

DWORD CAnnotateData::CalculateHeaderSize() const {
  return 16 + CMemoryArchive::StringSize(kSignature) + CMemoryArchive::StringSize(m_headerText) +
         CMemoryArchive::StringSize(m_comment);
}

DWORD CAnnotateData::CalculateDataSize() {
  unsigned long long size = CalculateHeaderSize();
  for (CAnnotateList* list : m_lists) size += 4ull + list->CalculateDataSize();
  return size > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(size);
}

BOOL CAnnotateData::SaveHeader(CMemoryArchive& ar, DWORD count) {
  return ar.SetDWORD(kHeaderVersion) && ar.SetDWORD(CalculateHeaderSize()) && ar.SetDWORD(count) &&
         ar.SetDWORD(m_headerReserved) && ar.SetString(kSignature) && ar.SetString(m_headerText) &&
         ar.SetString(m_comment);
}

BOOL CAnnotateData::Save(CMemoryArchive& ar) {
  if (!SaveHeader(ar, static_cast<DWORD>(m_lists.size()))) return FALSE;
  for (CAnnotateList* list : m_lists)
    if (!ar.SetDWORD(list->GetTime()) || !list->Save(ar)) return FALSE;
  return TRUE;
}

BOOL CAnnotateData::SaveFromTo(CMemoryArchive& ar, DWORD from, DWORD to) {
  DWORD count = 0;
  for (CAnnotateList* list : m_lists)
    if (from <= list->GetTime() && list->GetTime() < to) ++count;
  if (!SaveHeader(ar, count)) return FALSE;
  for (CAnnotateList* list : m_lists) {
    if (from > list->GetTime() || list->GetTime() >= to) continue;
    if (!ar.SetDWORD(list->GetTime() - from) || !list->Save(ar)) return FALSE;
  }
  return TRUE;
}

BOOL CAnnotateData::SaveFromTo(CMemoryArchive& ar, const CClipRangeList& ranges) {
  DWORD count = 0;
  for (int k = 0; k < ranges.GetCount(); ++k)
    for (CAnnotateList* list : m_lists)
      if (ranges.GetFrom(k) <= list->GetTime() && list->GetTime() < ranges.GetTo(k)) ++count;
  if (!SaveHeader(ar, count)) return FALSE;
  for (int k = 0; k < ranges.GetCount(); ++k) {
    const DWORD from = ranges.GetFrom(k), to = ranges.GetTo(k);
    for (CAnnotateList* list : m_lists) {
      if (from > list->GetTime() || list->GetTime() >= to) continue;
      const DWORD start = list->GetTime() - from + static_cast<DWORD>(k) * (to - from);
      if (!ar.SetDWORD(start) || !list->Save(ar)) return FALSE;
    }
  }
  return TRUE;
}

BOOL CAnnotateData::LoadHeader(CMemoryArchive& ar, DWORD& count) {
  DWORD version = 0, size = 0, reserved = 0;
  std::string signature, text, comment;
  if (!ar.GetDWORD(version) || !ar.GetDWORD(size) || !ar.GetDWORD(count) || !ar.GetDWORD(reserved) ||
      !ar.GetString(signature) || !ar.GetString(text) || !ar.GetString(comment))
    return FALSE;
  if (signature != kSignature || version != kHeaderVersion) return FALSE;
  // Each entry takes at least a start time and an empty list block.
  if (count > kMaxLists || count > ar.GetRemaining() / kMinListEntryBytes) return FALSE;
  m_headerReserved = reserved;
  m_headerText = text;
  m_comment = comment;
  return TRUE;
}

BOOL CAnnotateData::Load(CMemoryArchive& ar, BOOL replace) {
  try {
    DWORD count = 0;
    if (replace) RemoveAll();
    BOOL ok = LoadHeader(ar, count);
    for (DWORD i = 0; ok && i < count; ++i) {
      DWORD start = 0;
      ok = ar.GetDWORD(start) && GetOrCreate(start)->Load(ar, TRUE);
    }
    if (ok) return TRUE;
  } catch (const std::bad_alloc&) {
  }
  RemoveAll();
  return FALSE;
}

BOOL CAnnotateData::Load(const char* path, BOOL replace) {
  CFile file;
  if (!path || !file.Open(path, CFile::modeRead)) {
    RemoveAll();
    return FALSE;
  }
  const long long length = file.GetLength();
  if (length < 0 || length > 0x7FFFFFFF) {
    RemoveAll();
    return FALSE;
  }
  CMemoryArchive ar(static_cast<DWORD>(length), TRUE);
  if (ar.GetCapacity() != length || file.Read(ar.GetBuffer(), static_cast<DWORD>(length)) != length) {
    RemoveAll();
    return FALSE;
  }
  return Load(ar, replace);
}

BOOL CAnnotateData::Save(const char* path) {
  const DWORD size = CalculateDataSize();
  CMemoryArchive ar(size, TRUE);
  if (!path || ar.GetCapacity() != size || !Save(ar)) return FALSE;
  CFile file;
  return file.Open(path, CFile::modeCreate | CFile::modeWrite) && file.Write(ar.GetBuffer(), ar.GetBufferSize());
}

BOOL CAnnotateData::PasteList(CMemoryArchive& ar, DWORD start) {
  try {
    CAnnotateList* list = GetOrCreate(start);
    const BOOL ok = list->Load(ar, FALSE);
    list->UpdateBoundingRect();
    return ok;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

BOOL CAnnotateData::CheckForAnnotation(const BYTE* data, DWORD size) {
  if (!data || size == 0) return FALSE;
  CMemoryArchive ar(size, TRUE);
  if (ar.GetCapacity() != size || !ar.SetData(data, size)) return FALSE;
  ar.Reset();
  CAnnotateData set;
  if (!set.Load(ar, TRUE)) return FALSE;
  for (int i = 0; i < set.GetListCount(); ++i)
    if (set.GetListAt(i)->GetSize() > 0) return TRUE;
  return FALSE;
}

CAnnotateAdd::CAnnotateAdd() : m_archive(1, TRUE) {}

void CAnnotateAdd::StartInsert() {
  m_count = 0;
  m_archive.Reset();
}

BOOL CAnnotateAdd::InsertAnnotation(CAnnotateData* set, DWORD from, DWORD to, DWORD newStart, DWORD, DWORD) {
  if (!set) return FALSE;
  for (int i = 0; i < set->GetListCount(); ++i) {
    CAnnotateList* list = set->GetListAt(i);
    if (from > list->GetTime() || list->GetTime() >= to) continue;
    const unsigned long long need = 4ull + list->CalculateDataSize();
    if (need > 0xFFFFFFFFull || !m_archive.EnsureSpace(static_cast<DWORD>(need))) return FALSE;
    if (!m_archive.SetDWORD(list->GetTime() + newStart - from) || !list->Save(m_archive)) return FALSE;
    ++m_count;
  }
  return TRUE;
}

BOOL CAnnotateAdd::EndInsert(CAnnotateData* set) {
  if (!set) return FALSE;
  const DWORD size = set->CalculateHeaderSize();
  CMemoryArchive header(size, TRUE);
  if (header.GetCapacity() != size || !set->SaveHeader(header, static_cast<DWORD>(m_count))) return FALSE;
  return m_archive.InsertData(0, header.GetBuffer(), header.GetBufferSize());
}
