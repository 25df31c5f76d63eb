#include "pravex/capture/TimeSource.h"

#include "platform/base/Clock.h"

DWORD CSystemTimeSource::GetSystemTime() { return timeGetTime(); }

CSystemTimeSource& CSystemTimeSource::Instance() {
  static CSystemTimeSource source;
  return source;
}
