#include "pravex/capture/CaptureBlock.h"

CCaptureBlock::CCaptureBlock(DWORD recordType, WORD streamType) : CCapturePayloadRecord(recordType, streamType, 1) {
  UpdateTotalLength();
}

CCaptureChunk::CCaptureChunk() : CCapturePayloadRecord(capture::kRecordChunk, 0, 1) { UpdateTotalLength(); }
