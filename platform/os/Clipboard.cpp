#include "platform/os/Clipboard.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/os/PackedDib.h"
#include "platform/os/X11Clipboard.h"

namespace {

struct Store {
  std::mutex mutex;
  bool open = false;
  std::thread::id openedBy;
  const void* owner = nullptr;
  std::map<UINT, HGLOBAL> data;  // blocks the clipboard owns
  bool changed = false;          // since it was opened
  std::uint64_t published = 0;   // the desktop publication of `data`, 0 none
  HGLOBAL foreign = nullptr;     // a picture read from another program until closing
};

Store& TheStore() {
  static Store* store = new Store;  // lives to the end of the process
  return *store;
}

bool OpenHere(const Store& s) { return s.open && s.openedBy == std::this_thread::get_id(); }

void FreeAll(Store& s) {
  for (auto& [format, block] : s.data) GlobalFree(block);
  s.data.clear();
}

// Another program took the desktop clipboard since our data was published:
// our data is no longer what the clipboard holds.
void ForgetIfTaken(Store& s, os_detail::CX11Clipboard* desktop) {
  if (desktop && s.published != 0 && !s.changed && !desktop->StillOwns(s.published)) {
    FreeAll(s);
    s.published = 0;
  }
}

bool ReadDibBlock(HGLOBAL block, os::CRgbPicture& picture) {
  const std::size_t size = GlobalSize(block);
  const void* bytes = GlobalLock(block);
  const bool ok = bytes && os::ReadPackedDib(bytes, size, picture);
  if (bytes) GlobalUnlock(block);
  return ok;
}

HGLOBAL BlockFrom(const std::vector<std::uint8_t>& bytes) {
  HGLOBAL block = bytes.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  void* p = block ? GlobalLock(block) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

}  // namespace

BOOL OpenClipboard(const void* owner) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.open && s.openedBy != std::this_thread::get_id()) return FALSE;
  s.open = true;
  s.openedBy = std::this_thread::get_id();
  s.owner = owner;
  return TRUE;
}

BOOL CloseClipboard() {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenHere(s)) return FALSE;
  if (s.foreign) {
    GlobalFree(s.foreign);
    s.foreign = nullptr;
  }
  if (s.changed) {
    s.changed = false;
    if (os_detail::CX11Clipboard* desktop = os_detail::CX11Clipboard::Instance()) {
      auto picture = std::make_shared<os::CRgbPicture>();
      auto it = s.data.find(CF_DIB);
      if (it != s.data.end() && ReadDibBlock(it->second, *picture))
        s.published = desktop->Publish(std::move(picture));
      else if (s.published != 0)
        s.published = desktop->Publish(nullptr);
    }
  }
  s.open = false;
  s.owner = nullptr;
  return TRUE;
}

BOOL EmptyClipboard() {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenHere(s)) return FALSE;
  FreeAll(s);
  if (s.foreign) {
    GlobalFree(s.foreign);
    s.foreign = nullptr;
  }
  s.changed = true;
  return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenHere(s) || !data || GlobalSize(data) == 0 || format == CF_BITMAP) return nullptr;
  if (format == CF_DIB) {
    os::CRgbPicture check;
    if (!ReadDibBlock(data, check)) return nullptr;
  }
  auto it = s.data.find(format);
  if (it != s.data.end() && it->second != data) GlobalFree(it->second);
  s.data[format] = data;
  s.changed = true;
  return data;
}

HGLOBAL GetClipboardData(UINT format) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenHere(s)) return nullptr;
  os_detail::CX11Clipboard* desktop = os_detail::CX11Clipboard::Instance();
  ForgetIfTaken(s, desktop);
  auto it = s.data.find(format);
  if (it != s.data.end()) return it->second;
  if (format != CF_DIB || !desktop || s.published != 0 || s.changed) return nullptr;
  if (!s.foreign) {
    os::CRgbPicture picture;
    if (desktop->FetchPicture(picture)) s.foreign = BlockFrom(os::WritePackedDib24(picture));
  }
  return s.foreign;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> lock(s.mutex);
  os_detail::CX11Clipboard* desktop = os_detail::CX11Clipboard::Instance();
  ForgetIfTaken(s, desktop);
  if (s.data.count(format)) return TRUE;
  if (format != CF_DIB || !desktop || s.published != 0 || s.changed) return FALSE;
  return desktop->OtherOwnerOffersPicture() ? TRUE : FALSE;
}
