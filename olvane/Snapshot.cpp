#include "olvane/Snapshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/base/Strings.h"
#include "platform/os/PackedDib.h"
#include "platform/os/Shell.h"
#include "pravex/support/ClipboardGrab.h"
#include "pravex/support/PathNames.h"

namespace snapshot {

namespace {

constexpr int kMaxCopies = 9999;

// Creates the file only when no file of that name exists, and writes all of it.
enum class WriteResult { Written, Exists, Failed };
WriteResult CreateExclusive(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST ? WriteResult::Exists : WriteResult::Failed;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool ok = ::close(fd) == 0 && done == bytes.size();
  if (!ok) ::unlink(path.c_str());
  return ok ? WriteResult::Written : WriteResult::Failed;
}

}  // namespace

std::string FileBaseName(const std::string& clipPath, DWORD timeMs) {
  std::string clip = GetFilenameFromPath(clipPath);
  if (clip.empty()) clip = "Olvane";
  const DWORD cs = timeMs / 10;
  return str::Format("%s %02u-%02u-%02u.%02u", clip.c_str(), static_cast<unsigned>(cs / 360000),
                     static_cast<unsigned>(cs / 6000 % 60), static_cast<unsigned>(cs / 100 % 60),
                     static_cast<unsigned>(cs % 100));
}

std::string PicturesFolder() {
  std::string folder = os::UserSpecialDir(os::SpecialDir::Pictures);
  if (folder.empty()) folder = os::HomeDir();
  return folder;
}

std::string WriteNewFile(const std::string& folder, const std::string& base, const std::vector<std::uint8_t>& bytes) {
  if (folder.empty() || base.empty() || bytes.empty()) return {};
  std::string stem = folder;
  if (stem.back() != '/') stem += '/';
  stem += base;
  for (int copy = 1; copy <= kMaxCopies; ++copy) {
    const std::string path = copy == 1 ? stem + ".png" : str::Format("%s (%d).png", stem.c_str(), copy);
    switch (CreateExclusive(path, bytes)) {
      case WriteResult::Written:
        return path;
      case WriteResult::Failed:
        return {};
      case WriteResult::Exists:
        break;
    }
  }
  return {};
}

std::string SaveView(CWnd* view, const std::string& folder, const std::string& base) {
  os::CRgbPicture picture;
  if (!GrabWindowPicture(view, FALSE, CRect(0, 0, 0, 0), picture)) return {};
  const std::vector<std::uint8_t> png = os::WritePngData(picture);
  return WriteNewFile(folder, base, png);
}

}  // namespace snapshot
