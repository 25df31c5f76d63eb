// Fuzz target: a capture file is opened, its information table built, and
// every record read forward from the data start (screen records decoded,
// cursor records merged, audio anchors mapped), then the file is walked
// backward and sought through its index.
#include "fuzz/ScratchFile.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "pravex/capture/CaptureAudio.h"
#include "pravex/capture/CaptureCursor.h"
#include "pravex/capture/CaptureFileReader.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureIndex.h"
#include "pravex/capture/CaptureInfo.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"

using namespace capture;

namespace {

const std::string& InputPath() { return fuzz::ScratchPath("capture"); }
bool WriteInput(const uint8_t* data, size_t size) { return fuzz::WriteScratch("capture", data, size); }

void UseRecord(CCaptureData* record, CScreenCodec& codec, CCaptureCursor& cursor) {
  switch (record->GetRecordType()) {
    case kRecordScreen: codec.Decode(*static_cast<CCaptureScreen*>(record)); break;
    case kRecordCursor: static_cast<CCaptureCursor*>(record)->MergeInto(cursor); break;
    case kRecordAudio: {
      auto* audio = static_cast<CCaptureAudio*>(record);
      audio->TimeAtBytes(audio->BytesAtTime(record->GetTime()));
      break;
    }
    default: break;
  }
  const BYTE* bytes = nullptr;
  DWORD length = 0;
  for (int i = 0; i < record->GetPieceCount(); ++i) record->GetPiece(i, bytes, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20) || !WriteInput(data, size)) return 0;
  CCaptureFileReader reader;
  if (!reader.Open(InputPath())) return 0;
  CCaptureInfo info;
  reader.BuildInfo(info);
  info.Lookup("CaptureFile_Version", "1");

  CScreenCodec codec(false, (size & 1) != 0);
  auto* cursor = new CCaptureCursor();
  reader.SeekToTime(0);
  for (int i = 0; i < 100000; ++i) {
    CCaptureData* record = reader.ReadRecord(true);
    const bool end = record->GetRecordType() == kRecordEndOfStream;
    UseRecord(record, codec, *cursor);
    record->Release();
    if (end) break;
  }
  cursor->Release();

  reader.GetSource().SeekToEnd();
  for (int i = 0; i < 100000; ++i) {
    CCaptureData* record = reader.ReadRecord(false);
    const bool end = record->GetRecordType() == kRecordEndOfStream;
    record->Release();
    if (end) break;
  }
  const CCaptureIndex* index = reader.GetIndex();
  const DWORD entries = index ? index->GetEntryCount() : 0;
  for (DWORD i = 0; i < entries && i < 64; ++i) {
    reader.SeekToTime(index->GetEntry(i).time + (i & 1), (i & 2) != 0);
    reader.ReadRecord(true)->Release();
  }
  reader.SeekToTime(reader.GetDuration());
  reader.Close();
  return 0;
}
