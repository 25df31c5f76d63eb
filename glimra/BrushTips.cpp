// The eight brush tips shared by every brush, read once from resource 8000.
#include <cstring>
#include <mutex>
#include <vector>

#include "glimra/AnnotateBrush.h"
#include "platform/base/ByteReader.h"
#include "platform/os/ResourceLookup.h"

namespace {
constexpr UINT kTipResource = 8000;
constexpr int kSheetWidth = 176, kSheetHeight = 22, kCell = 22;

struct TipSheet {
  std::vector<BYTE> tips[8];
};

// Copies the tips out of the 8-bit bottom-up picture; leaves them fully
// transparent (255) when the picture is not what it should be.
void ReadSheet(TipSheet& sheet, const BYTE* data, DWORD size) {
  CByteReader r(data, size);
  if (size < 54 || data[0] != 'B' || data[1] != 'M') return;
  r.Skip(10);
  const DWORD offset = r.GetLE32();
  r.Skip(4);
  const int width = r.GetLES32(), height = r.GetLES32();
  r.Skip(2);
  const int bits = r.GetLE16();
  if (r.HasOverrun() || width != kSheetWidth || height != kSheetHeight || bits != 8) return;
  const DWORD stride = (kSheetWidth + 3) / 4 * 4;
  if (offset > size || size - offset < stride * kSheetHeight) return;
  for (int i = 0; i < 8; ++i) {
    const int tip = CAnnotateBrush::TipSize(i), cell = 154 - kCell * i;
    for (int y = 0; y < tip; ++y) {
      const BYTE* row = data + offset + static_cast<DWORD>(kSheetHeight - 1 - y) * stride;
      std::memcpy(&sheet.tips[i][static_cast<size_t>(y) * tip], row + cell, static_cast<size_t>(tip));
    }
  }
}

const TipSheet& Sheet() {
  static TipSheet sheet;
  static std::once_flag once;
  std::call_once(once, [] {
    for (int i = 0; i < 8; ++i) {
      const int tip = CAnnotateBrush::TipSize(i);
      sheet.tips[i].assign(static_cast<size_t>(tip) * tip, 255);
    }
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (os::FindResourceData("BITMAP", kTipResource, &data, &size)) ReadSheet(sheet, data, size);
  });
  return sheet;
}
}  // namespace

const BYTE* BrushTipData(int index) {
  static const BYTE kNone = 0;
  if (index < 0 || index >= 8) return &kNone;
  return Sheet().tips[index].data();
}
