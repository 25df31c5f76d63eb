// The interfaces through which a replaying reader talks to its owner's parts:
// stream handlers receive records, the notify interface hears about pause
// marks the reader acted on by itself.
#pragma once

#include "platform/base/WinTypes.h"

class CCaptureData;

class CCaptureSink {
 public:
  virtual ~CCaptureSink() = default;
  // Receives one record and takes over one reference to it (the handler must
  // release it). Called on the reader's worker thread. The result is ignored.
  virtual int WriteCaptureData(CCaptureData* record) = 0;
};

class CReplayNotify {
 public:
  // Kinds passed to OnReplayNotify.
  static constexpr int kPausedAtMark = 0;
  static constexpr int kResumedAfterMark = 1;

  virtual ~CReplayNotify() = default;
  // Called on the worker thread with no reader lock held.
  virtual void OnReplayNotify(int kind, DWORD markTime) = 0;
};
