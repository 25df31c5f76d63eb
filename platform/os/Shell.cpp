// Shell services over GIO. This file is the only user of GLib/GIO in the tree.
#include "platform/os/Shell.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>

namespace os {
namespace {

namespace fs = std::filesystem;

struct GObjectUnref {
  void operator()(gpointer p) const { g_object_unref(p); }
};
struct GFree {
  void operator()(gpointer p) const { g_free(p); }
};
struct BookmarkFree {
  void operator()(GBookmarkFile* p) const { g_bookmark_file_free(p); }
};
struct DateTimeUnref {
  void operator()(GDateTime* p) const { g_date_time_unref(p); }
};
using CharPtr = std::unique_ptr<gchar, GFree>;

// Takes over a GError: copies its message into `error` (when wanted) and frees it.
bool Fail(GError* err, std::string* error, const char* fallback = "failed") {
  if (error) *error = err && err->message ? err->message : fallback;
  if (err) g_error_free(err);
  return false;
}

bool Fail(const std::string& message, std::string* error) {
  if (error) *error = message;
  return false;
}

// "scheme:..." with a scheme of two or more characters (so "C:\..." is a path).
bool HasUriScheme(const std::string& s) {
  const std::size_t colon = s.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path abs = fs::absolute(path, ec);
  return ec ? std::string() : abs.lexically_normal().string();
}

// A path or URL as a URI GIO can launch; empty when it cannot be expressed.
std::string ToUri(const std::string& pathOrUrl) {
  if (HasUriScheme(pathOrUrl)) return pathOrUrl;
  const std::string abs = AbsolutePath(pathOrUrl);
  if (abs.empty()) return {};
  CharPtr uri(g_filename_to_uri(abs.c_str(), nullptr, nullptr));
  return uri ? std::string(uri.get()) : std::string();
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

GUserDirectory ToGlib(SpecialDir which) {
  switch (which) {
    case SpecialDir::Desktop:
      return G_USER_DIRECTORY_DESKTOP;
    case SpecialDir::Documents:
      return G_USER_DIRECTORY_DOCUMENTS;
    case SpecialDir::Download:
      return G_USER_DIRECTORY_DOWNLOAD;
    case SpecialDir::Music:
      return G_USER_DIRECTORY_MUSIC;
    case SpecialDir::Pictures:
      return G_USER_DIRECTORY_PICTURES;
    case SpecialDir::PublicShare:
      return G_USER_DIRECTORY_PUBLIC_SHARE;
    case SpecialDir::Templates:
      return G_USER_DIRECTORY_TEMPLATES;
    case SpecialDir::Videos:
      return G_USER_DIRECTORY_VIDEOS;
  }
  return G_USER_DIRECTORY_DOCUMENTS;
}

// The conventional English folder name used when the user has none configured.
const char* ConventionalName(SpecialDir which) {
  switch (which) {
    case SpecialDir::Desktop:
      return "Desktop";
    case SpecialDir::Documents:
      return "Documents";
    case SpecialDir::Download:
      return "Downloads";
    case SpecialDir::Music:
      return "Music";
    case SpecialDir::Pictures:
      return "Pictures";
    case SpecialDir::PublicShare:
      return "Public";
    case SpecialDir::Templates:
      return "Templates";
    case SpecialDir::Videos:
      return "Videos";
  }
  return "Documents";
}

std::string WithoutTrailingSlash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// The application that opens a URI: the handler of its scheme, else the
// default application for the file's content type.
GAppInfo* DefaultHandler(const std::string& uri, GError** err) {
  CharPtr scheme(g_uri_parse_scheme(uri.c_str()));
  GAppInfo* app =
      scheme && g_strcmp0(scheme.get(), "file") != 0 ? g_app_info_get_default_for_uri_scheme(scheme.get()) : nullptr;
  if (app) return app;
  std::unique_ptr<GFile, GObjectUnref> file(g_file_new_for_uri(uri.c_str()));
  return g_file_query_default_handler(file.get(), nullptr, err);
}

// Starts the application on one URI. Desktop applications are started detached
// (spawned through an intermediate child), so no zombie is left behind in a
// program that runs no GLib main loop to reap them.
bool LaunchUri(GAppInfo* app, const std::string& uri, GError** err) {
  GList uris{};
  uris.data = const_cast<char*>(uri.c_str());
  if (G_IS_DESKTOP_APP_INFO(app)) {
    return g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(app), &uris, nullptr, G_SPAWN_SEARCH_PATH,
                                                     nullptr, nullptr, nullptr, nullptr, err);
  }
  return g_app_info_launch_uris(app, &uris, nullptr, err);
}

std::mutex g_recentLock;  // one writer of the recently-used list per process

}  // namespace

bool MoveToTrash(const std::string& path, std::string* error) {
  if (path.empty()) return Fail("empty path", error);
  std::unique_ptr<GFile, GObjectUnref> file(g_file_new_for_path(path.c_str()));
  GError* err = nullptr;
  if (!g_file_trash(file.get(), nullptr, &err)) return Fail(err, error);
  return true;
}

bool DeletePath(const std::string& path, std::string* error) {
  if (path.empty()) return Fail("empty path", error);
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return Fail("no such file or folder", error);
  fs::remove_all(path, ec);
  if (ec) return Fail(ec.message(), error);
  return true;
}

bool LaunchDefault(const std::string& pathOrUrl, std::string* error) {
  const std::string uri = ToUri(pathOrUrl);
  if (uri.empty()) return Fail("not a path or URL", error);
  GError* err = nullptr;
  std::unique_ptr<GAppInfo, GObjectUnref> app(DefaultHandler(uri, &err));
  if (!app) return Fail(err, error, "no application handles it");
  if (!LaunchUri(app.get(), uri, &err)) return Fail(err, error);
  return true;
}

bool LaunchDefaultForType(const std::string& mimeType, const std::string& pathOrUrl, std::string* error) {
  const std::string uri = ToUri(pathOrUrl);
  if (uri.empty()) return Fail("not a path or URL", error);
  CharPtr contentType(g_content_type_from_mime_type(mimeType.c_str()));
  std::unique_ptr<GAppInfo, GObjectUnref> app(
      g_app_info_get_default_for_type(contentType ? contentType.get() : mimeType.c_str(), FALSE));
  if (!app) return Fail("no application handles " + mimeType, error);
  GError* err = nullptr;
  if (!LaunchUri(app.get(), uri, &err)) return Fail(err, error);
  return true;
}

std::string HomeDir() { return WithoutTrailingSlash(g_get_home_dir()); }
std::string UserConfigDir() { return WithoutTrailingSlash(g_get_user_config_dir()); }
std::string UserDataDir() { return WithoutTrailingSlash(g_get_user_data_dir()); }
std::string UserCacheDir() { return WithoutTrailingSlash(g_get_user_cache_dir()); }

std::string UserSpecialDir(SpecialDir which) {
  const gchar* dir = g_get_user_special_dir(ToGlib(which));
  if (dir && *dir) return WithoutTrailingSlash(dir);
  const std::string home = HomeDir();
  const std::string conventional = home + "/" + ConventionalName(which);
  return IsFolder(conventional) ? conventional : home;
}

std::string RecentFilesList() { return UserDataDir() + "/recently-used.xbel"; }

bool AddRecentFile(const std::string& path, std::string* error) {
  if (path.empty()) return Fail("empty path", error);
  std::string abs = CanonicalPath(path);
  if (abs.empty()) abs = AbsolutePath(path);
  CharPtr uri(g_filename_to_uri(abs.c_str(), nullptr, nullptr));
  if (!uri) return Fail("not a file name", error);

  std::lock_guard<std::mutex> lock(g_recentLock);
  const std::string list = RecentFilesList();
  std::unique_ptr<GBookmarkFile, BookmarkFree> bookmarks(g_bookmark_file_new());
  GError* err = nullptr;
  if (access(list.c_str(), F_OK) == 0 && !g_bookmark_file_load_from_file(bookmarks.get(), list.c_str(), &err)) {
    return Fail(err, error);  // never overwrite a list we could not read
  }
  CharPtr contentType(g_content_type_guess(abs.c_str(), nullptr, 0, nullptr));
  CharPtr mime(contentType ? g_content_type_get_mime_type(contentType.get()) : nullptr);
  g_bookmark_file_set_mime_type(bookmarks.get(), uri.get(), mime ? mime.get() : "application/octet-stream");
  const std::string module = ModuleFile();
  const std::string program = module.substr(module.rfind('/') + 1);
  const std::string appName = program.empty() ? "olvane" : program;
  g_bookmark_file_add_application(bookmarks.get(), uri.get(), appName.c_str(), (appName + " %u").c_str());
  std::unique_ptr<GDateTime, DateTimeUnref> now(g_date_time_new_now_utc());
  g_bookmark_file_set_visited_date_time(bookmarks.get(), uri.get(), now.get());

  const std::string folder = UserDataDir();
  if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) return Fail("cannot create " + folder, error);
  if (!g_bookmark_file_to_file(bookmarks.get(), list.c_str(), &err)) return Fail(err, error);
  return true;
}

std::string CanonicalPath(const std::string& path) {
  if (path.empty()) return {};
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

std::string ModuleFile() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

}  // namespace os
