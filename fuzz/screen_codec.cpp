// Fuzz target for the screen codec. Input: three bytes choosing depth
// (8/16/24), width (1-64) and height (1-48), then records, each a u8 op and a
// u16 length of data: op & 7 is the encoding, op & 8 zlib-compresses the data,
// op & 16 changes the width, op & 32 states a wrong uncompressed length.
// Every record is decoded by a share-mode and a copy-mode codec, which must
// agree; the final picture must survive encode-then-decode, and a delta
// between the last two pictures must reproduce the last.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"
#include "pravex/capture/CaptureFormat.h"
#include "pravex/capture/CaptureScreen.h"
#include "pravex/capture/ScreenCodec.h"

using namespace capture;

namespace {

struct Geometry {
  DWORD width;
  DWORD height;
  WORD bits;
};

bool SamePixels(const BYTE* a, const BYTE* b, const Geometry& g) {
  const std::size_t stride = DibStride(g.width, g.bits);
  for (DWORD y = 0; y < g.height; ++y) {
    if (std::memcmp(a + y * stride, b + y * stride, g.width * (g.bits / 8)) != 0) return false;
  }
  return true;
}

CCaptureScreen* MakeRecord(const Geometry& g, BYTE op, const uint8_t* data, std::size_t length) {
  auto* record = new CCaptureScreen();
  record->SetGeometry(g.width, g.height, g.bits);
  record->SetEncoding(op & 7);
  if (!(op & 8)) {
    record->SetDataCopy(data, static_cast<DWORD>(length));
    return record;
  }
  uLongf packed = compressBound(static_cast<uLong>(length));
  std::vector<BYTE> out(packed);
  if (compress2(out.data(), &packed, data, static_cast<uLong>(length), 1) == Z_OK) {
    record->SetDataCopy(out.data(), static_cast<DWORD>(packed));
    record->SetCompression(kCompressionZlib, (op & 32) ? static_cast<DWORD>(length / 2 + 1) : static_cast<DWORD>(length));
  }
  return record;
}

// Encodes the picture, decodes it with a fresh codec and checks the result.
void CheckRoundTrip(const BYTE* picture, const Geometry& g, bool zlib) {
  CScreenCodec encoder(true, false);
  auto* record = new CCaptureScreen();
  record->SetGeometry(g.width, g.height, g.bits);
  record->SetEncoding(kScreenDecoded);
  record->SetDataCopy(picture, static_cast<DWORD>(DibImageSize(g.width, g.height, g.bits)));
  if (!encoder.Encode(*record, zlib)) std::abort();
  CScreenCodec decoder;
  if (!decoder.Decode(*record) || !SamePixels(record->GetDataBytes(), picture, g)) std::abort();
  record->Release();
}

void CheckDelta(const BYTE* previous, const BYTE* current, const Geometry& g) {
  std::vector<BYTE> delta;
  CRect changed;
  if (!CScreenCodec::EncodeDelta(previous, current, g.width, g.height, g.bits, delta, changed)) std::abort();
  CScreenCodec decoder;
  auto* key = new CCaptureScreen();
  key->SetGeometry(g.width, g.height, g.bits);
  key->SetDataCopy(previous, static_cast<DWORD>(DibImageSize(g.width, g.height, g.bits)));
  auto* record = new CCaptureScreen();
  record->SetGeometry(g.width, g.height, g.bits);
  record->SetEncoding(kScreenDelta);
  record->SetDataCopy(delta.data(), static_cast<DWORD>(delta.size()));
  if (!decoder.Decode(*key) || !decoder.Decode(*record) || !SamePixels(record->GetDataBytes(), current, g)) std::abort();
  key->Release();
  record->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CByteReader in(data, size);
  static const WORD kDepths[3] = {8, 16, 24};
  Geometry g{1u + in.GetU8() % 64u, 1u + in.GetU8() % 48u, kDepths[in.GetU8() % 3]};
  if (in.HasOverrun()) return 0;
  CScreenCodec shared(false, true);
  CScreenCodec copied(false, false);
  std::vector<BYTE> previous;
  std::vector<BYTE> current;
  Geometry previousGeometry{}, currentGeometry{};
  for (int records = 0; !in.IsAtEnd() && records < 64; ++records) {
    const BYTE op = in.GetU8();
    const WORD length = in.GetLE16();
    const std::size_t got = std::min<std::size_t>(length, in.GetRemaining());
    const uint8_t* bytes = in.Take(got);
    if (op & 16) g.width = g.width % 64 + 1;
    CCaptureScreen* a = MakeRecord(g, op, bytes, got);
    CCaptureScreen* b = MakeRecord(g, op, bytes, got);
    const bool okA = shared.Decode(*a);
    const bool okB = copied.Decode(*b);
    if (okA != okB) std::abort();
    if (okA) {
      if (a->GetDataLength() < shared.GetPictureSize() || !SamePixels(a->GetDataBytes(), b->GetDataBytes(), g)) std::abort();
      previous.swap(current);
      previousGeometry = currentGeometry;
      current.assign(a->GetDataBytes(), a->GetDataBytes() + shared.GetPictureSize());
      currentGeometry = g;
      const bool same = previousGeometry.width == g.width && previousGeometry.height == g.height &&
                        previousGeometry.bits == g.bits;
      if (!same) previous = current;
    }
    a->Release();
    b->Release();
  }
  if (!current.empty()) {
    CheckRoundTrip(current.data(), currentGeometry, (size & 1) != 0);
    CheckDelta(previous.data(), current.data(), currentGeometry);
  }
  return 0;
}
