#include "platform/ui/DropFiles.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/ui/UiCore.h"

namespace {

struct DropState {
  std::mutex mutex;
  std::uintptr_t nextId = 1;
  std::map<std::uintptr_t, std::vector<std::string>> live;  // drops being handled
  std::map<Uint32, std::vector<std::string>> gathering;     // by SDL window id, between begin and complete
};

DropState& State() {
  static DropState state;
  return state;
}

// The files of a live drop, copied under the lock.
bool FilesOf(HDROP drop, std::vector<std::string>& files) {
  DropState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  const auto it = s.live.find(reinterpret_cast<std::uintptr_t>(drop));
  if (it == s.live.end()) return false;
  files = it->second;
  return true;
}

// Hands one gesture's files to the window that accepts them.
void Deliver(Uint32 sdlId, std::vector<std::string> files) {
  if (files.empty()) return;
  CWnd* top = sdlId ? uicore::TopLevelForSdl(sdlId) : uicore::Lookup(uicore::Get().mainWnd);
  if (!top || !(top->GetExStyle() & WS_EX_ACCEPTFILES)) return;
  DropState& s = State();
  std::uintptr_t id = 0;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    id = s.nextId++;
    s.live.emplace(id, std::move(files));
  }
  const HWND hwnd = top->m_hWnd;
  ::SendMessage(hwnd, WM_DROPFILES, static_cast<WPARAM>(id), 0);
  DragFinish(reinterpret_cast<HDROP>(id));
}

}  // namespace

namespace uicore {

void HandleDropEvent(const SDL_Event& ev) {
  DropState& s = State();
  const Uint32 window = ev.drop.windowID;
  switch (ev.type) {
    case SDL_DROPBEGIN: {
      std::lock_guard<std::mutex> lock(s.mutex);
      s.gathering[window].clear();
      break;
    }
    case SDL_DROPFILE: {
      std::string path = ev.drop.file ? ev.drop.file : "";
      SDL_free(ev.drop.file);
      if (path.empty()) break;
      bool gathered = false;
      {
        std::lock_guard<std::mutex> lock(s.mutex);
        const auto it = s.gathering.find(window);
        if (it != s.gathering.end()) {
          it->second.push_back(std::move(path));
          gathered = true;
        }
      }
      // A file outside a begin/complete pair is a drop of its own.
      if (!gathered) Deliver(window, {std::move(path)});
      break;
    }
    case SDL_DROPTEXT:
      SDL_free(ev.drop.file);  // text is not a file
      break;
    case SDL_DROPCOMPLETE: {
      std::vector<std::string> files;
      {
        std::lock_guard<std::mutex> lock(s.mutex);
        const auto it = s.gathering.find(window);
        if (it == s.gathering.end()) break;
        files = std::move(it->second);
        s.gathering.erase(it);
      }
      Deliver(window, std::move(files));
      break;
    }
    default:
      break;
  }
}

bool IsDropEvent(Uint32 type) {
  return type == SDL_DROPBEGIN || type == SDL_DROPFILE || type == SDL_DROPTEXT || type == SDL_DROPCOMPLETE;
}

}  // namespace uicore

void DragAcceptFiles(HWND hwnd, BOOL accept) {
  CWnd* wnd = uicore::Lookup(hwnd);
  if (!wnd) return;
  CWnd* top = wnd->GetTopLevelParent();
  if (!top) return;
  if (accept)
    top->ModifyStyleEx(0, WS_EX_ACCEPTFILES);
  else
    top->ModifyStyleEx(WS_EX_ACCEPTFILES, 0);
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size) {
  std::vector<std::string> files;
  if (!FilesOf(drop, files)) return 0;
  if (index == 0xFFFFFFFFu) return static_cast<UINT>(files.size());
  if (index >= files.size()) return 0;
  const std::string& path = files[index];
  if (buffer && size > 0) {
    const std::size_t n = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
  }
  return static_cast<UINT>(path.size());
}

std::vector<std::string> DragQueryFiles(HDROP drop) {
  std::vector<std::string> files;
  FilesOf(drop, files);
  return files;
}

void DragFinish(HDROP drop) {
  DropState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.live.erase(reinterpret_cast<std::uintptr_t>(drop));
}
