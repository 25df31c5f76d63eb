#include "platform/os/X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace os_detail {

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

// How long a caller waits for the clipboard thread or another program.
constexpr auto kPublishWait = std::chrono::seconds(5);
constexpr auto kFetchWait = std::chrono::seconds(5);
// An incremental transfer the requestor stopped reading is dropped after this.
constexpr auto kStaleTransfer = std::chrono::seconds(30);
// Data read from another program is never larger than the largest picture
// as 32-bit pixels plus room for a header.
constexpr std::size_t kMaxFetch = os::kMaxPicturePixels * 4 + 4096;

Display* g_display = nullptr;
XErrorHandler g_previousHandler = nullptr;

// Errors on the clipboard's own connection (a requestor window that vanished
// mid-transfer) are expected and ignored; others go to the handler that was
// there before, so the rest of the program sees no change.
int OnXError(Display* display, XErrorEvent* event) {
  if (display == g_display) return 0;
  return g_previousHandler ? g_previousHandler(display, event) : 0;
}

struct Transfer {
  Window requestor;
  Atom property;
  Atom type;
  std::shared_ptr<const Bytes> data;
  std::size_t offset;
  Clock::time_point touched;
};

class CX11ClipboardImpl final : public CX11Clipboard {
 public:
  bool Start();

  std::uint64_t Publish(std::shared_ptr<const os::CRgbPicture> picture) override;
  bool StillOwns(std::uint64_t number) override;
  bool OtherOwnerOffersPicture() override;
  bool FetchPicture(os::CRgbPicture& out) override;

 private:
  // Asks the thread for the selection converted to `target`; the result's
  // type comes back in `type`. False when the owner refused or did not answer.
  bool Fetch(Atom target, Bytes& data, Atom& type);
  void Wake();
  void Run();
  void TakeCommands();
  void OnEvent(XEvent& event);
  void OnSelectionRequest(const XSelectionRequestEvent& request);
  bool AnswerTarget(Window requestor, Atom property, Atom target);
  std::shared_ptr<const Bytes> Encoded(Atom target);
  void SendChunk(Transfer& t);
  void DropTransfers(Window requestor);
  void FinishFetch(bool ok);
  bool ReadProperty(Atom property, Bytes& data, Atom& type, int& format);

  Display* m_display = nullptr;
  Window m_window = 0;
  int m_wakeRead = -1;
  int m_wakeWrite = -1;
  std::size_t m_chunk = 0;
  Atom m_clipboard = 0, m_targets = 0, m_timestamp = 0, m_incr = 0, m_png = 0, m_bmp = 0, m_multiple = 0;
  Atom m_stampProperty = 0, m_fetchProperty = 0;

  std::mutex m_mutex;
  std::condition_variable m_changed;
  // Guarded by m_mutex: requests from callers and the thread's answers.
  bool m_publishWaiting = false;
  std::shared_ptr<const os::CRgbPicture> m_pending;
  std::uint64_t m_pendingNumber = 0;
  std::uint64_t m_lastNumber = 0;
  std::uint64_t m_handledNumber = 0;
  std::uint64_t m_ownedNumber = 0;
  bool m_fetchWaiting = false;
  std::uint64_t m_fetchId = 0;
  std::uint64_t m_fetchDoneId = 0;
  Atom m_fetchTarget = 0;
  bool m_fetchOk = false;
  Bytes m_fetchData;
  Atom m_fetchType = 0;

  // The thread's own state.
  std::shared_ptr<const os::CRgbPicture> m_next;  // waiting for a server time
  std::uint64_t m_nextNumber = 0;
  bool m_awaitingTime = false;
  std::shared_ptr<const os::CRgbPicture> m_current;
  Time m_ownTime = CurrentTime;
  std::shared_ptr<const Bytes> m_pngData, m_bmpData;
  std::vector<Transfer> m_transfers;
  bool m_fetching = false;
  bool m_receivingIncr = false;
  Bytes m_incoming;
  Atom m_incomingType = 0;
};

bool CX11ClipboardImpl::Start() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  const char* keepPrivate = std::getenv("OLVANE_PRIVATE_CLIPBOARD");
  if (keepPrivate && std::string(keepPrivate) == "1") return false;
  m_display = XOpenDisplay(nullptr);
  if (!m_display) return false;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(m_display);
    m_display = nullptr;
    return false;
  }
  m_wakeRead = pipeFds[0];
  m_wakeWrite = pipeFds[1];
  g_display = m_display;
  g_previousHandler = XSetErrorHandler(OnXError);
  m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(m_display, m_window, PropertyChangeMask);
  m_clipboard = XInternAtom(m_display, "CLIPBOARD", False);
  m_targets = XInternAtom(m_display, "TARGETS", False);
  m_timestamp = XInternAtom(m_display, "TIMESTAMP", False);
  m_incr = XInternAtom(m_display, "INCR", False);
  m_png = XInternAtom(m_display, "image/png", False);
  m_bmp = XInternAtom(m_display, "image/bmp", False);
  m_multiple = XInternAtom(m_display, "MULTIPLE", False);
  m_stampProperty = XInternAtom(m_display, "OLVANE_CLIPBOARD_TIME", False);
  m_fetchProperty = XInternAtom(m_display, "OLVANE_CLIPBOARD_DATA", False);
  // A property change is one request; keep every chunk well inside the limit.
  const long units = XMaxRequestSize(m_display);
  m_chunk = static_cast<std::size_t>(std::clamp(units * 4 - 1024, 4096L, 256L * 1024));
  XFlush(m_display);
  std::thread([this] { Run(); }).detach();
  return true;
}

void CX11ClipboardImpl::Wake() {
  const unsigned char byte = 1;
  [[maybe_unused]] const ssize_t written = write(m_wakeWrite, &byte, 1);  // a full pipe already wakes
}

std::uint64_t CX11ClipboardImpl::Publish(std::shared_ptr<const os::CRgbPicture> picture) {
  std::unique_lock<std::mutex> lock(m_mutex);
  const std::uint64_t number = ++m_lastNumber;
  m_pending = std::move(picture);
  m_pendingNumber = number;
  m_publishWaiting = true;
  Wake();
  m_changed.wait_for(lock, kPublishWait, [&] { return m_handledNumber >= number; });
  return m_ownedNumber == number && number != 0 ? number : 0;
}

bool CX11ClipboardImpl::StillOwns(std::uint64_t number) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return number != 0 && m_ownedNumber == number;
}

bool CX11ClipboardImpl::Fetch(Atom target, Bytes& data, Atom& type) {
  std::unique_lock<std::mutex> lock(m_mutex);
  const std::uint64_t id = ++m_fetchId;
  m_fetchTarget = target;
  m_fetchWaiting = true;
  Wake();
  if (!m_changed.wait_for(lock, kFetchWait, [&] { return m_fetchDoneId >= id; })) return false;
  if (m_fetchDoneId != id || !m_fetchOk) return false;
  data = std::move(m_fetchData);
  type = m_fetchType;
  return true;
}

bool CX11ClipboardImpl::OtherOwnerOffersPicture() {
  Bytes data;
  Atom type = 0;
  if (!Fetch(m_targets, data, type) || type != XA_ATOM) return false;
  for (std::size_t i = 0; i + sizeof(long) <= data.size(); i += sizeof(long)) {
    long atom;
    std::memcpy(&atom, data.data() + i, sizeof atom);
    if (static_cast<Atom>(atom) == m_png || static_cast<Atom>(atom) == m_bmp) return true;
  }
  return false;
}

bool CX11ClipboardImpl::FetchPicture(os::CRgbPicture& out) {
  Bytes data;
  Atom type = 0;
  if (Fetch(m_png, data, type) && os::ReadPngData(data.data(), data.size(), out)) return true;
  return Fetch(m_bmp, data, type) && os::ReadBmpFile(data.data(), data.size(), out);
}

// ---------------------------------------------------------------- the thread

void CX11ClipboardImpl::Run() {
  for (;;) {
    TakeCommands();
    while (XPending(m_display)) {
      XEvent event;
      XNextEvent(m_display, &event);
      OnEvent(event);
    }
    XFlush(m_display);
    pollfd fds[2] = {{ConnectionNumber(m_display), POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
    const int waitMs = m_transfers.empty() ? -1 : 5000;
    if (poll(fds, 2, waitMs) == 0) {
      const auto now = Clock::now();
      std::erase_if(m_transfers, [&](const Transfer& t) { return now - t.touched > kStaleTransfer; });
    }
    if (fds[0].revents & (POLLERR | POLLHUP)) return;  // the server went away
    if (fds[1].revents & POLLIN) {
      unsigned char drain[64];
      while (read(m_wakeRead, drain, sizeof drain) > 0) {
      }
    }
  }
}

void CX11ClipboardImpl::TakeCommands() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_publishWaiting) {
    m_publishWaiting = false;
    m_next = std::move(m_pending);
    m_nextNumber = m_pendingNumber;
    if (!m_next) {
      // Giving the clipboard up: no server time is needed for that.
      if (XGetSelectionOwner(m_display, m_clipboard) == m_window)
        XSetSelectionOwner(m_display, m_clipboard, None, CurrentTime);
      m_current.reset();
      m_pngData.reset();
      m_bmpData.reset();
      m_ownedNumber = 0;
      m_handledNumber = m_nextNumber;
      m_changed.notify_all();
    } else {
      // Ownership is taken at a real server time, which a property change
      // on our own window tells us.
      XChangeProperty(m_display, m_window, m_stampProperty, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
      m_awaitingTime = true;
    }
  }
  if (m_fetchWaiting) {
    m_fetchWaiting = false;
    m_fetching = true;
    m_receivingIncr = false;
    m_incoming.clear();
    XDeleteProperty(m_display, m_window, m_fetchProperty);
    XConvertSelection(m_display, m_clipboard, m_fetchTarget, m_fetchProperty, m_window, CurrentTime);
  }
}

void CX11ClipboardImpl::FinishFetch(bool ok) {
  m_fetching = false;
  m_receivingIncr = false;
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fetchOk = ok;
  m_fetchData = ok ? std::move(m_incoming) : Bytes();
  m_fetchType = m_incomingType;
  m_fetchDoneId = m_fetchId;
  m_incoming.clear();
  m_changed.notify_all();
}

void CX11ClipboardImpl::OnEvent(XEvent& event) {
  switch (event.type) {
    case PropertyNotify: {
      const XPropertyEvent& p = event.xproperty;
      if (p.window == m_window && p.atom == m_stampProperty && m_awaitingTime) {
        m_awaitingTime = false;
        XSetSelectionOwner(m_display, m_clipboard, m_window, p.time);
        const bool owned = XGetSelectionOwner(m_display, m_clipboard) == m_window;
        if (owned) {
          m_current = std::move(m_next);
          m_ownTime = p.time;
          m_pngData.reset();
          m_bmpData.reset();
        }
        m_next.reset();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (owned) m_ownedNumber = m_nextNumber;
        m_handledNumber = m_nextNumber;
        m_changed.notify_all();
      } else if (p.window == m_window && p.atom == m_fetchProperty && p.state == PropertyNewValue && m_receivingIncr) {
        Bytes piece;
        Atom type = 0;
        int format = 0;
        if (!ReadProperty(m_fetchProperty, piece, type, format)) {
          FinishFetch(false);
        } else if (piece.empty()) {
          FinishFetch(true);
        } else if (m_incoming.size() + piece.size() > kMaxFetch) {
          FinishFetch(false);
        } else {
          m_incomingType = type;
          m_incoming.insert(m_incoming.end(), piece.begin(), piece.end());
        }
      } else if (p.state == PropertyDelete) {
        for (Transfer& t : m_transfers)
          if (t.requestor == p.window && t.property == p.atom) {
            SendChunk(t);
            break;
          }
        std::erase_if(m_transfers, [](const Transfer& t) { return !t.data; });
      }
      break;
    }
    case SelectionRequest:
      OnSelectionRequest(event.xselectionrequest);
      break;
    case SelectionClear:
      if (event.xselectionclear.selection == m_clipboard) {
        m_current.reset();
        m_pngData.reset();
        m_bmpData.reset();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ownedNumber = 0;
      }
      break;
    case SelectionNotify: {
      const XSelectionEvent& s = event.xselection;
      if (!m_fetching || s.requestor != m_window || s.selection != m_clipboard) break;
      if (s.property == None) {
        FinishFetch(false);
        break;
      }
      Bytes data;
      Atom type = 0;
      int format = 0;
      if (!ReadProperty(s.property, data, type, format)) {
        FinishFetch(false);
      } else if (type == m_incr) {
        // The data follows in pieces, each announced by a new property value.
        m_receivingIncr = true;
        m_incoming.clear();
      } else {
        m_incoming = std::move(data);
        m_incomingType = type;
        FinishFetch(true);
      }
      break;
    }
    case DestroyNotify:
      DropTransfers(event.xdestroywindow.window);
      break;
    default:
      break;
  }
}

// Reads and deletes a property of our window. Items of format 32 come back
// as longs, as Xlib hands them out.
bool CX11ClipboardImpl::ReadProperty(Atom property, Bytes& data, Atom& type, int& format) {
  data.clear();
  long offset = 0;
  for (;;) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long items = 0, after = 0;
    unsigned char* chunk = nullptr;
    if (XGetWindowProperty(m_display, m_window, property, offset, 1L << 20, False, AnyPropertyType, &actualType,
                           &actualFormat, &items, &after, &chunk) != Success) {
      return false;
    }
    if (actualType == None) {
      if (chunk) XFree(chunk);
      return false;
    }
    type = actualType;
    format = actualFormat;
    const std::size_t unit = actualFormat == 32 ? sizeof(long) : static_cast<std::size_t>(actualFormat / 8);
    const std::size_t bytes = items * unit;
    if (data.size() + bytes > kMaxFetch) {
      XFree(chunk);
      return false;
    }
    if (chunk) {
      data.insert(data.end(), chunk, chunk + bytes);
      XFree(chunk);
    }
    offset += static_cast<long>(items * static_cast<unsigned long>(actualFormat) / 32);
    if (after == 0 || items == 0) break;
  }
  XDeleteProperty(m_display, m_window, property);
  return true;
}

void CX11ClipboardImpl::OnSelectionRequest(const XSelectionRequestEvent& request) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = request.display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  reply.property = None;
  // Old clients name no property; the target's name serves then.
  const Atom property = request.property != None ? request.property : request.target;
  const bool ours =
      request.selection == m_clipboard && m_current && (request.time == CurrentTime || request.time >= m_ownTime);
  if (ours && request.target != m_multiple && AnswerTarget(request.requestor, property, request.target))
    reply.property = property;
  XSendEvent(m_display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
}

bool CX11ClipboardImpl::AnswerTarget(Window requestor, Atom property, Atom target) {
  if (target == m_targets) {
    const long atoms[4] = {static_cast<long>(m_targets), static_cast<long>(m_timestamp), static_cast<long>(m_png),
                           static_cast<long>(m_bmp)};
    XChangeProperty(m_display, requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms), 4);
    return true;
  }
  if (target == m_timestamp) {
    const long stamp = static_cast<long>(m_ownTime);
    XChangeProperty(m_display, requestor, property, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&stamp), 1);
    return true;
  }
  if (target != m_png && target != m_bmp) return false;
  std::shared_ptr<const Bytes> data = Encoded(target);
  if (!data || data->empty()) return false;
  if (data->size() <= m_chunk) {
    XChangeProperty(m_display, requestor, property, target, 8, PropModeReplace, data->data(),
                    static_cast<int>(data->size()));
    return true;
  }
  // Too large for one request: announce the size and send pieces each time
  // the requestor deletes the property.
  // Our own window (a fetch of our own selection) keeps the mask it has.
  if (requestor != m_window) XSelectInput(m_display, requestor, PropertyChangeMask | StructureNotifyMask);
  const long size = static_cast<long>(data->size());
  XChangeProperty(m_display, requestor, property, m_incr, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&size), 1);
  m_transfers.push_back({requestor, property, target, std::move(data), 0, Clock::now()});
  return true;
}

std::shared_ptr<const Bytes> CX11ClipboardImpl::Encoded(Atom target) {
  std::shared_ptr<const Bytes>& cache = target == m_png ? m_pngData : m_bmpData;
  if (!cache && m_current)
    cache =
        std::make_shared<const Bytes>(target == m_png ? os::WritePngData(*m_current) : os::WriteBmpFile(*m_current));
  return cache;
}

void CX11ClipboardImpl::SendChunk(Transfer& t) {
  const std::size_t n = std::min(m_chunk, t.data->size() - t.offset);
  XChangeProperty(m_display, t.requestor, t.property, t.type, 8, PropModeReplace, t.data->data() + t.offset,
                  static_cast<int>(n));
  t.offset += n;
  t.touched = Clock::now();
  if (n == 0) {
    // The empty piece ends the transfer.
    const Window requestor = t.requestor;
    t.data.reset();
    const bool more = std::any_of(m_transfers.begin(), m_transfers.end(),
                                  [&](const Transfer& o) { return o.data && o.requestor == requestor; });
    if (!more && requestor != m_window) XSelectInput(m_display, requestor, NoEventMask);
  }
}

void CX11ClipboardImpl::DropTransfers(Window requestor) {
  std::erase_if(m_transfers, [&](const Transfer& t) { return t.requestor == requestor; });
}

}  // namespace

CX11Clipboard* CX11Clipboard::Instance() {
  static CX11Clipboard* instance = [] {
    // Lives as long as the process, so the picture stays pastable while the
    // program runs; its thread ends with the process.
    auto* impl = new CX11ClipboardImpl;
    if (impl->Start()) return static_cast<CX11Clipboard*>(impl);
    delete impl;
    return static_cast<CX11Clipboard*>(nullptr);
  }();
  return instance;
}

}  // namespace os_detail
