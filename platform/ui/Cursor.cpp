#include "platform/ui/Cursor.h"

#include <mutex>
#include <vector>

#include "platform/os/Resources.h"
#include "platform/ui/UiCore.h"

namespace {

struct CursorEntry {
  UINT id;
  bool system;
  SDL_Cursor* native;  // owned for the process; may be null headless
};

struct IconEntry {
  UINT id;
  SDL_Surface* surface;  // owned for the process
};

std::vector<CursorEntry>& Cursors() {
  static std::vector<CursorEntry> cursors;
  return cursors;
}

std::vector<IconEntry>& Icons() {
  static std::vector<IconEntry> icons;
  return icons;
}

std::recursive_mutex g_handleMutex;

SDL_SystemCursor SystemCursorFor(UINT id) {
  switch (id) {
    case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_SIZENWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS: return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

SDL_Surface* SurfaceFromResource(const char* type, UINT id) {
  CResourceBlock block = FindResourceData(type, id);
  if (!block.data || block.size > 0x7FFFFFFF) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(block.data, static_cast<int>(block.size));
  return rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
}

// A cursor file keeps its hot spot in the BMP file header's two reserved
// words (x, then y); a spot outside the picture falls back to its top-left.
POINT CursorHotSpot(UINT id, int width, int height) {
  CResourceBlock block = FindResourceData("CURSOR", id);
  if (!block.data || block.size < 10) return {0, 0};
  const int x = block.data[6] | (block.data[7] << 8), y = block.data[8] | (block.data[9] << 8);
  if (x >= width || y >= height) return {0, 0};
  return {x, y};
}

HCURSOR g_current = nullptr;

}  // namespace

HCURSOR LoadCursor(const void* instance, UINT id) {
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  const bool system = instance == nullptr && id >= IDC_ARROW && id <= IDC_HAND;
  auto& cursors = Cursors();
  for (std::size_t i = 0; i < cursors.size(); ++i)
    if (cursors[i].id == id && cursors[i].system == system) return reinterpret_cast<HCURSOR>(i + 1);
  SDL_Cursor* native = nullptr;
  if (uicore::EnsureStarted()) {
    if (system) {
      native = SDL_CreateSystemCursor(SystemCursorFor(id));
    } else {
      SDL_Surface* s = SurfaceFromResource("CURSOR", id);
      if (!s) return nullptr;
      const POINT hot = CursorHotSpot(id, s->w, s->h);
      native = SDL_CreateColorCursor(s, hot.x, hot.y);
      SDL_FreeSurface(s);
    }
  } else if (!system) {
    return nullptr;
  }
  cursors.push_back({id, system, native});
  return reinterpret_cast<HCURSOR>(cursors.size());
}

HCURSOR SetCursor(HCURSOR cursor) {
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  HCURSOR old = g_current;
  g_current = cursor;
  const auto index = reinterpret_cast<std::uintptr_t>(cursor);
  if (index == 0) {
    SDL_ShowCursor(SDL_DISABLE);
  } else if (index <= Cursors().size()) {
    SDL_ShowCursor(SDL_ENABLE);
    if (SDL_Cursor* native = Cursors()[index - 1].native) SDL_SetCursor(native);
  }
  return old;
}

HCURSOR GetCursor() { return g_current; }

int ShowCursor(BOOL show) {
  static int count = 0;
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  count += show ? 1 : -1;
  if (uicore::EnsureStarted()) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return count;
}

UINT GetCursorId(HCURSOR cursor) {
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  const auto index = reinterpret_cast<std::uintptr_t>(cursor);
  return index > 0 && index <= Cursors().size() ? Cursors()[index - 1].id : 0;
}

HICON LoadIcon(const void*, UINT id) {
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  auto& icons = Icons();
  for (std::size_t i = 0; i < icons.size(); ++i)
    if (icons[i].id == id) return reinterpret_cast<HICON>(i + 1);
  SDL_Surface* s = SurfaceFromResource("ICON", id);
  if (!s) return nullptr;
  icons.push_back({id, s});
  return reinterpret_cast<HICON>(icons.size());
}

UINT GetIconId(HICON icon) {
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  const auto index = reinterpret_cast<std::uintptr_t>(icon);
  return index > 0 && index <= Icons().size() ? Icons()[index - 1].id : 0;
}

namespace uicore {

void ApplyIcon(SDL_Window* window, HICON icon) {
  std::lock_guard<std::recursive_mutex> lock(g_handleMutex);
  const auto index = reinterpret_cast<std::uintptr_t>(icon);
  if (window && index > 0 && index <= Icons().size()) SDL_SetWindowIcon(window, Icons()[index - 1].surface);
}

}  // namespace uicore
