// The replay side of the capture reader: the worker thread that reads the
// data section ahead of the replay clock and hands records to the stream
// handlers when they fall due.
#include <algorithm>

#include "platform/base/Clock.h"
#include "pravex/capture/CaptureData.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"

using namespace capture;

namespace {

// The worker's longest sleep between iterations in real-time mode.
constexpr DWORD kIdleWaitMs = 10;

bool IsDue(DWORD recordTime, DWORD clockTime, DWORD window) {
  return static_cast<std::uint64_t>(recordTime) <= static_cast<std::uint64_t>(clockTime) + window;
}

}  // namespace

// What the worker keeps for one replay; touched by the worker thread only.
struct CCaptureFileReader::ReplayState {
  bool prerollOnly = false;
  bool frameMode = false;
  DWORD maxWindow = 0;
  CCaptureData* pending = nullptr;  // read but not yet queued (one reference)
  bool endReached = false;
  bool appliedPause = false;  // the pause state last given to clock and handlers
  DWORD wait = kIdleWaitMs;
  DWORD frames = 0;
  DWORD lastReadTime = 0;
  // The armed pause mark.
  bool armed = false;
  DWORD markTime = 0;
  DWORD markLength = 0;
  bool holding = false;
  DWORD holdStart = 0;  // time-source reading when the hold began
};

void CCaptureFileReader::AddHandler(CCaptureSink* handler, WORD streamType, DWORD leadWindow, bool wantsControl) {
  if (!handler) return;
  std::lock_guard<std::recursive_mutex> control(m_control);
  Stop();  // handler queues belong to the worker while it runs
  CSingleLock lock(&m_lock);
  for (const HandlerEntry& entry : m_handlers) {
    if (entry.streamType == streamType && entry.handler == handler) return;
  }
  m_handlers.push_back(HandlerEntry{streamType, handler, leadWindow, wantsControl, {}});
}

void CCaptureFileReader::ClearHandlers() {
  std::lock_guard<std::recursive_mutex> control(m_control);
  Stop();
  CSingleLock lock(&m_lock);
  ReleaseQueues();
  m_handlers.clear();
}

void CCaptureFileReader::SetClock(CReplayClock* clock) { m_clock = clock; }

CReplayClock* CCaptureFileReader::GetClock() { return &Clock(); }

void CCaptureFileReader::SetFrameRate(DWORD fps) {
  if (fps) m_frameRate = fps;
}

void CCaptureFileReader::AddPauseMark(DWORD time, DWORD pauseLength) {
  CSingleLock lock(&m_lock);
  const auto at = std::upper_bound(m_pauseMarks.begin(), m_pauseMarks.end(), time,
                                   [](DWORD t, const PauseMark& mark) { return t < mark.time; });
  m_pauseMarks.insert(at, PauseMark{time, pauseLength});
}

void CCaptureFileReader::ClearPauseMarks() {
  CSingleLock lock(&m_lock);
  m_pauseMarks.clear();
}

std::vector<DWORD> CCaptureFileReader::PauseMarkTimes() {
  CSingleLock lock(&m_lock);
  std::vector<DWORD> times;
  times.reserve(m_pauseMarks.size());
  for (const PauseMark& mark : m_pauseMarks) times.push_back(mark.time);
  return times;
}

bool CCaptureFileReader::Start(DWORD startTime, DWORD stopTime) {
  std::lock_guard<std::recursive_mutex> control(m_control);
  Stop();
  CSingleLock lock(&m_lock);
  if (!m_open) return false;
  m_startTime = startTime;
  m_stopTime = stopTime;
  {
    CSingleLock clockLock(&Clock());
    Clock().Reset(TRUE, stopTime ? stopTime : m_duration);
    Clock().SetTime(startTime);
  }
  m_peakQueued = 0;
  m_inPreroll = true;
  m_running = true;
  if (!m_worker.Start([this] { Worker(); })) {
    m_inPreroll = false;
    m_running = false;
    return false;
  }
  return true;
}

void CCaptureFileReader::Stop() {
  std::lock_guard<std::recursive_mutex> control(m_control);
  if (m_worker.IsRunning()) {
    m_stopEvent.SetEvent();
    m_worker.Join();
    m_stopEvent.ResetEvent();
  }
  m_running = false;
  m_inPreroll = false;
}

void CCaptureFileReader::SetPaused(bool paused) {
  CSingleLock lock(&m_lock);
  m_paused = paused;
}

void CCaptureFileReader::ShowStartPicture() {
  {
    std::lock_guard<std::recursive_mutex> control(m_control);
    // A running worker clears the flag as it leaves: stop it before setting.
    Stop();
    m_prerollOnly = true;
    if (!Start(0, 1)) {
      m_prerollOnly = false;
      return;
    }
  }
  while (m_prerollOnly) Sleep(kIdleWaitMs);
}

void CCaptureFileReader::SendControl(DWORD recordType, DWORD time, bool everyHandler) {
  for (HandlerEntry& entry : m_handlers) {
    if (!everyHandler && !entry.wantsControl) continue;
    entry.handler->WriteCaptureData(CCaptureData::CreateControl(recordType, entry.streamType, time));
  }
}

void CCaptureFileReader::QueueRecord(CCaptureData* record) {
  for (HandlerEntry& entry : m_handlers) {
    if (entry.streamType != record->GetStreamType()) continue;
    record->AddRef();
    entry.queue.push_back(record);
    ++m_queued;
  }
  if (m_queued > m_peakQueued) m_peakQueued = m_queued;
  record->Release();
}

// Hands every due record to its handler; lowers wait to the time until the
// next record falls due. True when all queues are empty afterwards.
bool CCaptureFileReader::DeliverDue(DWORD clockTime, DWORD& wait) {
  bool allEmpty = true;
  for (HandlerEntry& entry : m_handlers) {
    while (!entry.queue.empty() && IsDue(entry.queue.front()->GetTime(), clockTime, entry.leadWindow)) {
      CCaptureData* record = entry.queue.front();
      entry.queue.pop_front();
      --m_queued;
      entry.handler->WriteCaptureData(record);  // the queue's reference goes to the handler
    }
    if (!entry.queue.empty()) {
      allEmpty = false;
      const std::uint64_t due = static_cast<std::uint64_t>(entry.queue.front()->GetTime()) - entry.leadWindow;
      const std::uint64_t until = due > clockTime ? due - clockTime : 0;
      if (until < wait) wait = static_cast<DWORD>(until);
    }
  }
  return allEmpty;
}

void CCaptureFileReader::ReleaseQueues() {
  for (HandlerEntry& entry : m_handlers) {
    for (CCaptureData* record : entry.queue) record->Release();
    entry.queue.clear();
  }
  m_queued = 0;
}

// The next data record, kept as pending until queued; null once the end of
// the data (a read failure, the end marker or the trailer) has been reached.
bool CCaptureFileReader::ReadNext(ReplayState& state) {
  while (!state.pending && !state.endReached) {
    CCaptureData* record = m_source.ReadRecord(true);
    const DWORD type = record->GetRecordType();
    if (type == kRecordEndOfStream || record->GetStreamType() == kStreamTrailer) {
      record->Release();
      state.endReached = true;
    } else if (type == kRecordSkipped) {
      record->Release();
    } else {
      state.pending = record;
    }
  }
  return state.pending != nullptr;
}

// Reads from the seek point up to the start time plus the largest lead
// window: what is due at the start is delivered at once, the rest queued.
bool CCaptureFileReader::Preroll(ReplayState& state) {
  while (ReadNext(state)) {
    CCaptureData* record = state.pending;
    if (!IsDue(record->GetTime(), m_startTime, state.maxWindow)) return true;  // stays pending
    state.pending = nullptr;
    for (HandlerEntry& entry : m_handlers) {
      if (entry.streamType != record->GetStreamType()) continue;
      record->AddRef();
      if (IsDue(record->GetTime(), m_startTime, entry.leadWindow)) {
        entry.handler->WriteCaptureData(record);
      } else {
        entry.queue.push_back(record);
        ++m_queued;
      }
    }
    if (m_queued > m_peakQueued) m_peakQueued = m_queued;
    record->Release();
  }
  return false;
}

void CCaptureFileReader::ArmMarkFrom(ReplayState& state, std::size_t index) {
  state.armed = index < m_pauseMarks.size();
  if (state.armed) {
    state.markTime = m_pauseMarks[index].time;
    state.markLength = m_pauseMarks[index].length;
  }
  Clock().SetMarker(state.armed ? state.markTime : CReplayClock::kNoMarker);
}

// Arms the first mark later than time: of several marks at one time only the
// first added ever takes effect.
void CCaptureFileReader::ArmNextMarkAfter(ReplayState& state, DWORD time) {
  std::size_t i = 0;
  while (i < m_pauseMarks.size() && m_pauseMarks[i].time <= time) ++i;
  ArmMarkFrom(state, i);
}

// Under the reader lock: pauses at an armed mark the clock has reached, and
// ends a timed hold that ran out or that the owner ended by resuming. Returns
// the notify kind to send once the lock is released, or -1; reached tells that
// it paused at markTime.
int CCaptureFileReader::PauseMarkStep(ReplayState& state, DWORD& markTime, bool& reached) {
  int notify = -1;
  if (state.armed && !state.holding && Clock().Now() >= state.markTime) {
    m_paused = true;
    markTime = state.markTime;
    reached = true;
    if (state.markLength > 0) {
      state.holding = true;
      state.holdStart = Clock().GetSourceTime();
    } else {
      ArmNextMarkAfter(state, markTime);
      notify = CReplayNotify::kPausedAtMark;
    }
  } else if (state.holding) {
    const bool ranOut = static_cast<DWORD>(Clock().GetSourceTime() - state.holdStart) > state.markLength;
    if (!state.appliedPause || ranOut) {
      const bool stillPaused = state.appliedPause && m_paused;
      markTime = state.markTime;
      m_paused = false;
      state.holding = false;
      ArmNextMarkAfter(state, markTime);
      if (ranOut && stillPaused) notify = CReplayNotify::kResumedAfterMark;
    }
  }
  m_holding = state.holding;
  return notify;
}

CCaptureFileReader::LoopEnd CCaptureFileReader::RealTimeLoop(ReplayState& state) {
  for (;;) {
    if (m_stopEvent.Wait(state.wait)) return LoopEnd::Stopped;
    state.wait = kIdleWaitMs;
    DWORD markTime = 0;
    bool reachedMark = false;
    int notify;
    {
      CSingleLock lock(&m_lock);
      notify = PauseMarkStep(state, markTime, reachedMark);
    }
    if (notify >= 0 && m_notify) m_notify->OnReplayNotify(notify, markTime);

    const bool paused = m_paused;
    if (paused != state.appliedPause) {
      Clock().SetPaused(paused);
      // The worker wakes a little after the mark at times: the clock goes
      // back to it, so nothing later than the mark is shown while paused.
      if (paused && reachedMark && Clock().Now() > markTime) Clock().SetTime(markTime);
      SendControl(paused ? kRecordPaused : kRecordPlaying, Clock().Now(), false);
      state.appliedPause = paused;
    }
    if (ReadNext(state) && IsDue(state.pending->GetTime(), Clock().Now(), state.maxWindow)) {
      QueueRecord(state.pending);
      state.pending = nullptr;
      state.wait = 0;
    }
    const DWORD now = Clock().Now();
    // Nothing past an armed mark is handed over before the mark step has
    // paused there, and the worker wakes at the mark rather than at the next
    // record after it.
    const bool markAhead = state.armed && !state.holding;
    const bool allEmpty = DeliverDue(markAhead ? std::min(now, state.markTime) : now, state.wait);
    if (markAhead && state.markTime > now) state.wait = std::min(state.wait, state.markTime - now);
    // At the stop time the replay ends once everything up to it was read and
    // handed over, so a clock that jumps past it still shows the last picture.
    const bool readUpToNow = state.endReached || (state.pending && !IsDue(state.pending->GetTime(), now, state.maxWindow));
    if (m_stopTime && now >= m_stopTime && readUpToNow) return LoopEnd::EndReached;
    if (state.endReached && allEmpty && now >= m_duration && !m_paused) return LoopEnd::EndReached;
  }
}

// Frame mode: the clock moves one frame at a time, as fast as the handlers
// take the records; each frame ends with a frame tick.
CCaptureFileReader::LoopEnd CCaptureFileReader::FrameLoop(ReplayState& state) {
  const DWORD fps = m_frameRate;
  for (;;) {
    if (m_stopEvent.Wait(0)) return LoopEnd::Stopped;
    if (ReadNext(state)) {
      state.lastReadTime = state.pending->GetTime();
      QueueRecord(state.pending);
      state.pending = nullptr;
    }
    DWORD wait = 0;
    const DWORD now = Clock().Now();
    const bool allEmpty = DeliverDue(now, wait);
    if (!state.endReached && IsDue(state.lastReadTime, now, state.maxWindow)) continue;
    SendControl(kRecordFrameTick, now, false);
    ++state.frames;
    // Frames count from the start time, so extraction from any time advances.
    const std::uint64_t offset = (static_cast<std::uint64_t>(state.frames) * 1000 + fps / 2) / fps;
    const std::uint64_t next = m_startTime + offset;
    Clock().SetTime(static_cast<DWORD>(std::min<std::uint64_t>(next, 0xFFFFFFFFu)));
    if (state.endReached && allEmpty) return LoopEnd::EndReached;
    if (m_stopTime && next > m_stopTime) return LoopEnd::EndReached;
  }
}

void CCaptureFileReader::Worker() {
  ReplayState state;
  state.prerollOnly = m_prerollOnly;
  state.frameMode = m_frameMode != 0;
  const bool startPaused = m_paused;
  {
    CSingleLock lock(&m_lock);
    for (const HandlerEntry& entry : m_handlers) state.maxWindow = std::max(state.maxWindow, entry.leadWindow);
    m_source.SeekTo(m_dataStart);
    SendControl(kRecordReset, 0, false);
    SendControl(kRecordBeginPreroll, m_startTime, false);
    SeekToTime(m_startTime, false);
    Preroll(state);
    SendControl(kRecordEndPreroll, m_startTime, false);
    Clock().SetPaused(state.frameMode || startPaused);
    SendControl(kRecordStart, Clock().Now(), false);
    SendControl(startPaused ? kRecordPaused : kRecordPlaying, Clock().Now(), false);
    state.appliedPause = startPaused;
    m_inPreroll = false;

    std::size_t first = 0;
    while (first < m_pauseMarks.size() && m_pauseMarks[first].time < m_startTime) ++first;
    ArmMarkFrom(state, first);
    if (state.armed && startPaused && state.markTime == m_startTime) state.markLength = 0;
  }

  LoopEnd end = state.endReached ? LoopEnd::EndReached : LoopEnd::Stopped;
  if (!state.prerollOnly) end = state.frameMode ? FrameLoop(state) : RealTimeLoop(state);

  if (state.pending) state.pending->Release();
  state.pending = nullptr;
  Clock().SetMarker(CReplayClock::kNoMarker);
  m_holding = false;
  const DWORD now = Clock().Now();
  if (state.frameMode) {
    if (!state.prerollOnly) SendControl(kRecordEndOfStream, now, true);
  } else {
    Clock().SetPaused(TRUE);
    if (end == LoopEnd::EndReached && !state.prerollOnly) SendControl(kRecordEndOfStream, now, true);
    else SendControl(kRecordStopped, now, false);
  }
  ReleaseQueues();
  m_prerollOnly = false;
  m_stopEvent.Wait(INFINITE);
}
