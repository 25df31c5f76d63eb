#include "sintra/widgets/HotBitmap.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/base/ByteReader.h"
#include "platform/base/DibStride.h"
#include "platform/base/File.h"
#include "platform/gfx/DC.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Wnd.h"
#include "sintra/skin/Palette.h"

namespace {

// The part of a file beyond the picture that a load reads into memory at most
// (hot-spot records with their images).
constexpr std::uint64_t kMaxSpotSection = 256u << 20;

std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const BYTE* p) { return CByteReader::LoadLE32(p); }

std::size_t MaskStride(int width) { return ((static_cast<std::size_t>(width) + 31) / 32) * 4; }

// Shows the wait cursor while a load runs.
class CWaitCursorScope {
 public:
  CWaitCursorScope() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~CWaitCursorScope() { SetCursor(m_previous); }

 private:
  HCURSOR m_previous;
};

}  // namespace

bool CHotSpot::Contains(CPoint point) const {
  if (!rect.PtInRect(point)) return false;
  if (mask.empty()) return true;
  const std::size_t x = static_cast<std::size_t>(point.x - rect.left);
  const std::size_t y = static_cast<std::size_t>(point.y - rect.top);
  const std::size_t at = y * MaskStride(rect.Width()) + x / 8;
  if (at >= mask.size()) return false;
  return (mask[at] & (0x80u >> (x % 8))) == 0;
}

// A load's results, committed only when the whole file was good.
struct CHotBitmap::Parsed {
  std::vector<BYTE> picture;
  std::vector<CHotSpot> spots;
  bool foreignMarker = false;
  bool hasPicture = false;
};

CHotBitmap::CHotBitmap() = default;
CHotBitmap::~CHotBitmap() = default;

int CHotBitmap::Initialise(HWND window, int width, int height, int bits) {
  m_window = nullptr;
  m_width = m_height = m_bits = m_stride = 0;
  m_base.clear();
  m_buffer.clear();
  m_spots.clear();
  m_redraw.clear();
  m_hot = m_pressed = -1;
  m_status = kStatusOk;
  m_foreignMarker = false;
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
  if (bits != 8 && bits != 16 && bits != 24) return 0;
  const std::uint64_t stride = DibStride(static_cast<std::uint32_t>(width), static_cast<std::uint16_t>(bits));
  const std::uint64_t size = stride * static_cast<std::uint64_t>(height);  // at most 16384 * 49152
  try {
    m_base.assign(size, 0);
    m_buffer.assign(size, 0);
  } catch (const std::bad_alloc&) {
    m_base.clear();
    m_buffer.clear();
    return 0;
  }
  m_window = window;
  m_width = width;
  m_height = height;
  m_bits = bits;
  m_stride = static_cast<int>(stride);
  std::memset(&m_info, 0, sizeof(m_info));
  m_info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  m_info.bmiHeader.biWidth = width;
  m_info.bmiHeader.biHeight = height;
  m_info.bmiHeader.biPlanes = 1;
  m_info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  m_info.bmiHeader.biSizeImage = static_cast<DWORD>(size);
  if (bits == 16) {
    m_info.bmiHeader.biCompression = BI_BITFIELDS;
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(m_info.bmiColors, masks, sizeof(masks));
  } else if (bits == 8) {
    const PALETTEENTRY* table = FixedPaletteTable(false);
    for (int i = 0; i < kPaletteEntries; ++i)
      m_info.bmiColors[i] = RGBQUAD{table[i].peBlue, table[i].peGreen, table[i].peRed, 0};
    m_info.bmiHeader.biClrUsed = kPaletteEntries;
  }
  return 1;
}

std::string CHotBitmap::DepthFileName(const char* name, int bits) {
  std::string out = name ? name : "";
  if (bits == 8) {
    if (out.size() < 2) return {};
    out[1] = '8';
  } else if (bits == 16 || bits == 24) {
    if (out.size() < 3) return {};
    out[1] = bits == 16 ? '1' : '2';
    out[2] = bits == 16 ? '6' : '4';
  }
  return out;
}

int CHotBitmap::Fail(int status) {
  m_status = status;
  return 0;
}

int CHotBitmap::LoadBitmapFile(const char* folder, const char* name, int /*flag*/) {
  CWaitCursorScope wait;
  const std::string file = DepthFileName(name, m_bits);
  if (file.empty() || m_buffer.empty()) return Fail(kStatusNotOpened);
  std::string path = folder ? folder : "";
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += file;

  CFile in;
  if (!in.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return Fail(kStatusNotOpened);
  const std::int64_t length = in.GetLength();
  if (length < static_cast<std::int64_t>(kHeaderSize)) return Fail(kStatusBadHeader);
  // A good file holds at most a (possibly poorly compressed) picture and the
  // spot section; anything longer is not read into memory.
  const std::uint64_t limit = kPixelOffset + 6 + 2 * m_buffer.size() + 64 + kMaxSpotSection;
  if (static_cast<std::uint64_t>(length) > limit) return Fail(kStatusBadHeader);
  std::vector<BYTE> data;
  try {
    data.resize(static_cast<std::size_t>(length));
  } catch (const std::bad_alloc&) {
    return Fail(kStatusMismatch);
  }
  if (in.Read(data.data(), static_cast<std::uint32_t>(data.size())) != data.size()) return Fail(kStatusBadHeader);
  return LoadFromMemory(data.data(), data.size());
}

int CHotBitmap::LoadFromMemory(const BYTE* data, std::size_t size) {
  if (!data || size < kHeaderSize) return Fail(kStatusBadHeader);
  const std::uint32_t width = Le32(data + 6);
  const std::uint32_t height = Le32(data + 10);
  const std::uint32_t dataSize = Le32(data + 18);
  const bool pictureOnly = Le32(data + 22) == 0xFFFFFFFFu;
  const bool noPixels = (data[26] & 0x0F) != 0;
  const std::uint16_t bits = Le16(data + 34);
  const std::uint16_t spotCount = Le16(data + 40);
  const bool compressed = Le32(data + 52) != 0;
  if (Le16(data) != kHeaderSize || Le32(data + 2) != kVersion) return Fail(kStatusBadHeader);
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return Fail(kStatusBadHeader);
  if (bits != 8 && bits != 16 && bits != 24) return Fail(kStatusBadHeader);
  if (m_buffer.empty() || static_cast<int>(width) != m_width || static_cast<int>(height) != m_height || bits != m_bits)
    return Fail(kStatusMismatch);

  Parsed parsed;
  parsed.foreignMarker = data[88] != kMarker;
  std::size_t pos = kPixelOffset;
  const std::size_t rowLength = static_cast<std::size_t>(m_width) * (m_bits / 8);
  const std::size_t stride = static_cast<std::size_t>(m_stride);
  if (!noPixels) {
    // The picture's rows are stored either unpadded or padded like the buffer.
    const std::uint64_t packed = static_cast<std::uint64_t>(rowLength) * static_cast<std::uint64_t>(m_height);
    const bool padded = dataSize == m_buffer.size();
    if (dataSize != packed && !padded) return Fail(kStatusMismatch);
    const BYTE* rows = nullptr;
    std::vector<BYTE> inflated;
    if (compressed) {
      if (size < pos + 6) return Fail(kStatusMismatch);
      const std::uint32_t blockSize = Le32(data + pos + 2);
      pos += 6;
      if (blockSize < 4 || blockSize > size - pos) return Fail(kStatusMismatch);
      if (Le32(data + pos) != dataSize) return Fail(kStatusMismatch);
      try {
        inflated.resize(dataSize);
      } catch (const std::bad_alloc&) {
        return Fail(kStatusMismatch);
      }
      uLongf outLength = static_cast<uLongf>(dataSize);
      if (uncompress(inflated.data(), &outLength, data + pos + 4, static_cast<uLong>(blockSize - 4)) != Z_OK ||
          outLength != dataSize)
        return Fail(kStatusMismatch);
      rows = inflated.data();
      pos += blockSize;
    } else {
      if (size < pos || dataSize > size - pos) return Fail(kStatusMismatch);
      rows = data + pos;
      pos += dataSize;
    }
    parsed.picture.assign(m_buffer.size(), 0);
    if (padded || stride == rowLength) {
      std::memcpy(parsed.picture.data(), rows, dataSize);
    } else {
      for (int y = 0; y < m_height; ++y)
        std::memcpy(parsed.picture.data() + y * stride, rows + y * rowLength, rowLength);
    }
    parsed.hasPicture = true;
  }
  if (!pictureOnly) {
    if (pos > size || !ParseSpots(data + pos, size - pos, spotCount, parsed)) return Fail(kStatusBadHeader);
  }

  // Commit.
  if (parsed.hasPicture) m_base.swap(parsed.picture);
  m_buffer = m_base;
  m_spots.swap(parsed.spots);
  m_foreignMarker = parsed.foreignMarker;
  m_hot = m_pressed = -1;
  m_redraw.clear();
  m_status = kStatusOk;
  return 1;
}

bool CHotBitmap::ParseSpots(const BYTE* data, std::size_t size, std::size_t count, Parsed& out) const {
  CByteReader reader(data, size);
  const std::size_t bytesPerPixel = static_cast<std::size_t>(m_bits / 8);
  int groupSelected = -1;
  try {
    out.spots.reserve(std::min<std::size_t>(count, size / kSpotFixedSize));
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t start = reader.GetPosition();
      const std::uint32_t recordSize = reader.GetLE32();
      CHotSpot spot;
      spot.rect.left = reader.GetLES32();
      spot.rect.top = reader.GetLES32();
      spot.rect.right = reader.GetLES32();
      spot.rect.bottom = reader.GetLES32();
      spot.flags = reader.GetLE32();
      spot.value = reader.GetLES32();
      spot.kind = reader.GetU8();
      const unsigned imageBits = reader.GetU8();
      const std::size_t tooltipLength = reader.GetLE16();
      const std::uint32_t maskSize = reader.GetLE32();
      if (reader.HasOverrun() || recordSize < kSpotFixedSize || recordSize > size - start) return false;
      const CRect& r = spot.rect;
      if (r.left < 0 || r.top < 0 || r.right > m_width || r.bottom > m_height || r.IsRectEmpty()) return false;
      if (tooltipLength > kMaxTooltip || (imageBits >> kHotSpotLooks) != 0) return false;
      const std::size_t maskBytes = MaskStride(r.Width()) * static_cast<std::size_t>(r.Height());
      if (maskSize != 0 && maskSize != maskBytes) return false;
      const std::size_t imageBytes = static_cast<std::size_t>(r.Width()) * bytesPerPixel * r.Height();
      std::uint64_t expected = kSpotFixedSize + tooltipLength + maskSize;
      for (int look = 0; look < kHotSpotLooks; ++look)
        if (imageBits & (1u << look)) expected += imageBytes;
      if (expected != recordSize) return false;

      const BYTE* text = reader.Take(tooltipLength);
      spot.tooltip.assign(reinterpret_cast<const char*>(text), tooltipLength);
      const auto nul = spot.tooltip.find('\0');
      if (nul != std::string::npos) spot.tooltip.resize(nul);
      if (maskSize) {
        const BYTE* mask = reader.Take(maskSize);
        spot.mask.assign(mask, mask + maskSize);
      }
      for (int look = 0; look < kHotSpotLooks; ++look) {
        if (!(imageBits & (1u << look))) continue;
        const BYTE* image = reader.Take(imageBytes);
        spot.images[look].assign(image, image + imageBytes);
      }
      if (reader.HasOverrun()) return false;
      if (spot.flags & kHotSpotRadioGroup) {
        if ((spot.flags & 0xFF) == 0) groupSelected = static_cast<int>(i);
        spot.groupSelected = groupSelected;
      }
      out.spots.push_back(std::move(spot));
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  // A radio spot shows checked when it is the selection its group ended with.
  for (auto& spot : out.spots)
    if (spot.flags & kHotSpotRadioGroup) spot.checked = (&spot - out.spots.data()) == groupSelected ? 1 : 0;
  return true;
}

const CHotSpot* CHotBitmap::GetSpot(int index) const {
  return index >= 0 && index < HotSpotCount() ? &m_spots[static_cast<std::size_t>(index)] : nullptr;
}

int CHotBitmap::TestSpot(CPoint point, UINT message) {
  int found = -1;
  for (std::size_t i = 0; i < m_spots.size(); ++i) {
    const CHotSpot& spot = m_spots[i];
    if (spot.kind == kHotSpotDecoration || spot.value < 0) continue;
    if (spot.Contains(point)) {
      found = static_cast<int>(i);
      break;
    }
  }
  m_hot = found;
  if (message == WM_LBUTTONDOWN) m_pressed = found;
  if (message == WM_LBUTTONUP) m_pressed = -1;
  UpdateLooks();
  return found;
}

void CHotBitmap::MouseOut() {
  m_hot = -1;
  UpdateLooks();
}

int CHotBitmap::DesiredLook(int index) const {
  const CHotSpot& spot = m_spots[static_cast<std::size_t>(index)];
  if (spot.value < 0) return kLookDisabled;
  if (index == m_hot && index == m_pressed) return kLookPressed;
  if (index == m_hot && m_pressed < 0) return kLookHot;
  return spot.checked ? kLookChecked : kLookNormal;
}

void CHotBitmap::UpdateLooks() {
  for (int i = 0; i < HotSpotCount(); ++i) {
    const int look = DesiredLook(i);
    if (look != m_spots[static_cast<std::size_t>(i)].look) DrawSpot(i, look);
  }
}

void CHotBitmap::DrawSpot(int index, int look) {
  CHotSpot& spot = m_spots[static_cast<std::size_t>(index)];
  spot.look = look;
  // A look without an image of its own falls back to a plainer one, and in
  // the end to the picture itself.
  int shown = look;
  while (shown >= 0 && spot.images[static_cast<std::size_t>(shown)].empty()) {
    if (shown == kLookPressed)
      shown = kLookHot;
    else if (shown == kLookHot || shown == kLookDisabled)
      shown = spot.checked ? kLookChecked : kLookNormal;
    else if (shown == kLookChecked)
      shown = kLookNormal;
    else
      shown = -1;
  }
  const std::size_t bytesPerPixel = static_cast<std::size_t>(m_bits / 8);
  const std::size_t rowBytes = static_cast<std::size_t>(spot.rect.Width()) * bytesPerPixel;
  const BYTE* image = shown >= 0 ? spot.images[static_cast<std::size_t>(shown)].data() : nullptr;
  for (int y = spot.rect.top; y < spot.rect.bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(m_height - 1 - y) * static_cast<std::size_t>(m_stride);
    BYTE* dst = m_buffer.data() + row + spot.rect.left * bytesPerPixel;
    const BYTE* src = image ? image + static_cast<std::size_t>(spot.rect.bottom - 1 - y) * rowBytes
                            : m_base.data() + row + spot.rect.left * bytesPerPixel;
    if (spot.mask.empty()) {
      std::memcpy(dst, src, rowBytes);
      continue;
    }
    for (int x = spot.rect.left; x < spot.rect.right; ++x) {
      if (!spot.Contains(CPoint(x, y))) continue;
      const std::size_t off = static_cast<std::size_t>(x - spot.rect.left) * bytesPerPixel;
      std::memcpy(dst + off, src + off, bytesPerPixel);
    }
  }
  Redraw(spot.rect);
}

void CHotBitmap::Redraw(const CRect& rect) {
  // Nobody may be taking the list: keep it short by merging.
  if (m_redraw.size() >= 64) {
    CRect all = m_redraw.front();
    for (const CRect& r : m_redraw) all.UnionRect(all, r);
    m_redraw.assign(1, all);
  }
  m_redraw.push_back(rect);
  if (m_window && IsWindow(m_window)) ::InvalidateRect(m_window, &rect, FALSE);
}

void CHotBitmap::SetUpDisplay() {
  m_buffer = m_base;
  for (int i = 0; i < HotSpotCount(); ++i) DrawSpot(i, DesiredLook(i));
}

void CHotBitmap::SetCheckButton(int index, int value) {
  if (index < 0 || index >= HotSpotCount()) return;
  CHotSpot& spot = m_spots[static_cast<std::size_t>(index)];
  if ((spot.flags & kHotSpotRadioGroup) && value) {
    for (int i = 0; i < HotSpotCount(); ++i) {
      CHotSpot& other = m_spots[static_cast<std::size_t>(i)];
      if (!(other.flags & kHotSpotRadioGroup)) continue;
      other.groupSelected = index;
      if (i != index && other.checked) {
        other.checked = 0;
        DrawSpot(i, DesiredLook(i));
      }
    }
  }
  spot.checked = value ? 1 : 0;
  DrawSpot(index, value ? kLookChecked : kLookNormal);
}

int CHotBitmap::TestToolTip() {
  if (m_hot < 0 || m_hot >= HotSpotCount() || !m_window || !IsWindow(m_window)) return 0;
  const CHotSpot& spot = m_spots[static_cast<std::size_t>(m_hot)];
  ::SendMessage(m_window, WM_HOTSPOT_TOOLTIP, static_cast<WPARAM>(m_hot),
                reinterpret_cast<LPARAM>(spot.tooltip.c_str()));
  return 1;
}

void CHotBitmap::Paint(CDC* dc, const RECT* area) const {
  if (!dc || m_buffer.empty()) return;
  CRect part(0, 0, m_width, m_height);
  if (area && !part.IntersectRect(part, *area)) return;
  // Rows are bottom-up, so the source's y counts from the picture's bottom.
  dc->StretchDIBits(part.left, part.top, part.Width(), part.Height(), part.left, m_height - part.bottom, part.Width(),
                    part.Height(), m_buffer.data(), &m_info, DIB_RGB_COLORS, SRCCOPY);
}

std::vector<CRect> CHotBitmap::TakeRedrawRects() {
  std::vector<CRect> out;
  out.swap(m_redraw);
  return out;
}
