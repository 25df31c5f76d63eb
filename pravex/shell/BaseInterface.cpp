#include "pravex/shell/BaseInterface.h"

#include <vector>

#include "glimra/AnnotateData.h"
#include "glimra/MemoryArchive.h"
#include "platform/ui/Cursor.h"
#include "pravex/capture/CaptureData.h"

CBaseInterface::CBaseInterface() = default;

CBaseInterface::~CBaseInterface() = default;

void CBaseInterface::SetupWindows(int hotSpots) {
  SetupWindow(hotSpots);
  CreateChildWindows();
}

void CBaseInterface::SetUpIcon(UINT id, int remember) {
  SetTrayIcon(id, remember);
  HICON icon = LoadIcon(nullptr, id);
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CBaseInterface::SetPreviewWndScale(unsigned scale) {
  unsigned high = scale >> 16;
  unsigned low = scale & 0xFFFFu;
  if (high == 0) high = 1;
  if (low == 0) low = 1;
  m_previewScale = (high << 16) | low;
}

int CBaseInterface::GetAnnotationFromFile(CAnnotateData* data) {
  if (!data) return 0;
  const CCaptureData* record = m_reader.GetAnnotationRecord();
  data->RemoveAll();
  if (!record || !record->GetDataBytes() || record->GetDataLength() == 0) return 0;
  // The archive reads from its own copy, so the record stays untouched.
  std::vector<BYTE> copy(record->GetDataBytes(), record->GetDataBytes() + record->GetDataLength());
  CMemoryArchive archive(copy.data(), static_cast<DWORD>(copy.size()));
  return data->Load(archive, TRUE) ? 1 : 0;
}
