// Opens a capture file and reads it: the header section (stream
// descriptions) is scanned forward, the trailer (index, information and
// annotation records) backward from the end, and the data section in between
// is read record by record from any seek point.
//
// The replay side (CaptureReplay.cpp) plays the data section in time: a
// worker thread reads ahead of the replay clock, queues records per stream
// handler and delivers each when the clock reaches its time less the
// handler's lead window, with control records telling handlers the phase
// (reset, preroll, start, paused/playing, stopped, end of stream, frame tick).
// Lock order: the reader lock (m_lock) before the clock's lock, never the
// reverse; Open, Close and Start stop a running replay before taking it.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/Sync.h"
#include "platform/base/Thread.h"
#include "platform/base/WinTypes.h"
#include "pravex/capture/CaptureSink.h"
#include "pravex/capture/RecordSource.h"
#include "pravex/capture/ReplayClock.h"

class CCaptureData;
class CCaptureIndex;
class CCaptureInfo;

class CCaptureFileReader {
 public:
  CCaptureFileReader();
  ~CCaptureFileReader();
  CCaptureFileReader(const CCaptureFileReader&) = delete;
  CCaptureFileReader& operator=(const CCaptureFileReader&) = delete;

  // Opens a capture: false (file closed) when it cannot be opened, does not
  // start with a stream description or has no trailer record at its end. A
  // file whose trailer directly follows its header section opens with
  // duration 0. frameMode: 0 real time, 1 frame extraction.
  bool Open(const std::string& name, int frameMode = 0, bool writable = false);
  // Closes the file; the header and trailer lists stay until the next Open.
  void Close();
  bool IsOpen() const { return m_open; }
  const std::string& GetFileName() const { return m_fileName; }
  int GetFrameMode() const { return m_frameMode; }
  bool IsWritable() const { return m_writable; }

  // The stream descriptions, in file order (records stay owned by the reader).
  std::size_t GetHeaderCount() const { return m_headers.size(); }
  CCaptureData* GetHeader(std::size_t index) const { return index < m_headers.size() ? m_headers[index] : nullptr; }
  // The trailer records, as found from the end of the file towards its start.
  std::size_t GetTrailerCount() const { return m_trailers.size(); }
  CCaptureData* GetTrailer(std::size_t index) const { return index < m_trailers.size() ? m_trailers[index] : nullptr; }
  // Length of the capture in ms: the time of the last data record.
  DWORD GetDuration() const { return m_duration; }
  // File position of the first data record.
  std::int64_t GetDataStart() const { return m_dataStart; }

  // The first index record of the trailer, or null.
  const CCaptureIndex* GetIndex() const;
  // Rebuilds an information table from the trailer's information records:
  // cleared, then each record applied in file order, later keys winning.
  void BuildInfo(CCaptureInfo& info) const;
  // The trailer's annotation archive record (type 104), or null.
  const CCaptureData* GetAnnotationRecord() const;

  // Reads the next record forward, or the one before the position backward
  // (never before the data start). Always returns a record holding one
  // reference; kRecordEndOfStream means a read failure or the end.
  CCaptureData* ReadRecord(bool forward);
  // Positions the file for replay from time t through the index: the data
  // start for t = 0, no index, an empty index, a time before the second entry
  // or an entry outside the data section; otherwise the last entry not later
  // than t (one more back with oneMore when two or more precede it).
  bool SeekToTime(DWORD time, bool oneMore = false);
  // The record source, for callers that walk the file themselves.
  CRecordSource& GetSource() { return m_source; }

  // --- Replay ---------------------------------------------------------------
  // Registers a handler for a stream's records, delivered leadWindow ms before
  // their time; wantsControl adds the control records. Ignored when the same
  // handler is already registered for the stream. Not while replaying.
  void AddHandler(CCaptureSink* handler, WORD streamType, DWORD leadWindow, bool wantsControl);
  // Removes every handler, releasing the records queued for them.
  void ClearHandlers();
  // The clock the replay runs on (not owned); null uses the reader's own.
  void SetClock(CReplayClock* clock);
  CReplayClock* GetClock();
  // Frames per second of frame mode (default 4; 0 is ignored).
  void SetFrameRate(DWORD fps);
  void SetNotify(CReplayNotify* notify) { m_notify = notify; }
  void SetReplayFlag(bool on) { m_replayFlag = on; }
  bool GetReplayFlag() const { return m_replayFlag; }
  bool IsHolding() const { return m_holding; }
  bool IsInPreroll() const { return m_inPreroll; }
  bool IsRunning() const { return m_running; }
  bool IsPaused() const { return m_paused; }

  // Pause marks: the replay pauses when the clock reaches a mark's time, until
  // resumed (length 0) or for length ms. Marks at one time keep the order in
  // which they were added.
  void AddPauseMark(DWORD time, DWORD pauseLength);
  void ClearPauseMarks();
  // The times of the pause marks, ascending (the player draws them).
  std::vector<DWORD> PauseMarkTimes();

  // Starts replay at startTime, ending at stopTime (0: the end of the data).
  // False when no file is open. A running replay is stopped first.
  bool Start(DWORD startTime, DWORD stopTime);
  bool Start() { return Start(0, 0); }
  // Stops the worker (waiting for it) and clears running.
  void Stop();
  // Requests pause or play; the worker applies it within one iteration.
  void SetPaused(bool paused);
  // Replays only the preroll up to time 0 (the first picture), then stops.
  void ShowStartPicture();

  // Largest number of records held in handler queues at once since the last
  // Start (memory held ahead of the clock; for tests and diagnostics).
  std::size_t GetPeakQueuedRecords() const { return m_peakQueued; }

 private:
  struct HandlerEntry {
    WORD streamType;
    CCaptureSink* handler;  // not owned
    DWORD leadWindow;
    bool wantsControl;
    std::deque<CCaptureData*> queue;  // each holds one reference
  };
  struct PauseMark {
    DWORD time;
    DWORD length;
  };
  enum class LoopEnd { Stopped, EndReached };
  struct ReplayState;

  void Worker();
  bool Preroll(ReplayState& state);
  void ArmMarkFrom(ReplayState& state, std::size_t index);
  void ArmNextMarkAfter(ReplayState& state, DWORD time);
  LoopEnd RealTimeLoop(ReplayState& state);
  LoopEnd FrameLoop(ReplayState& state);
  int PauseMarkStep(ReplayState& state, DWORD& markTime, bool& reached);
  bool ReadNext(ReplayState& state);
  void QueueRecord(CCaptureData* record);
  bool DeliverDue(DWORD clockTime, DWORD& wait);
  void SendControl(DWORD recordType, DWORD time, bool everyHandler);
  void ReleaseQueues();
  CReplayClock& Clock() { return m_clock ? *m_clock : *m_ownClock; }

  void ReleaseLists();
  bool ScanHeaders();
  bool ScanTrailer();

  CRecordSource m_source;
  bool m_open = false;
  std::string m_fileName;
  int m_frameMode = 0;
  bool m_writable = false;
  std::int64_t m_dataStart = 0;
  DWORD m_duration = 0;
  std::vector<CCaptureData*> m_headers;   // owned references
  std::vector<CCaptureData*> m_trailers;  // owned references
  CCriticalSection m_lock;                // reader lock: opening, starting, preroll, pause-mark step
  // Serialises the owner-side operations that stop and start the worker
  // (Open, Close, Start, Stop, handler changes) between the owner's threads.
  // Never taken by the worker.
  std::recursive_mutex m_control;

  // Replay state.
  std::vector<HandlerEntry> m_handlers;  // registration order; touched by the worker while it runs
  std::vector<PauseMark> m_pauseMarks;   // ascending time
  CReplayClock* m_clock = nullptr;       // not owned
  std::unique_ptr<CReplayClock> m_ownClock;
  CReplayNotify* m_notify = nullptr;  // not owned
  CWorkerThread m_worker;
  CEvent m_stopEvent{false, true};
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_paused{false};
  std::atomic<bool> m_prerollOnly{false};
  std::atomic<bool> m_replayFlag{false};
  std::atomic<bool> m_inPreroll{false};
  std::atomic<bool> m_holding{false};
  DWORD m_startTime = 0;
  DWORD m_stopTime = 0;
  std::atomic<DWORD> m_frameRate{4};
  std::atomic<std::size_t> m_peakQueued{0};
  std::size_t m_queued = 0;  // worker only
};
