#include "pravex/support/SupportSettings.h"

#include <array>
#include <mutex>

namespace {

struct Settings {
  std::string capturePrefix;
  std::string projectName;
  std::string projectFolder;
  std::string comment;
  std::array<std::string, 4> save;
  std::array<std::string, 5> load;
};

std::mutex g_lock;
Settings g_settings;  // guarded by g_lock

std::string Get(const std::string Settings::*member, const char* fallback) {
  std::lock_guard<std::mutex> lock(g_lock);
  const std::string& value = g_settings.*member;
  return value.empty() ? std::string(fallback) : value;
}

void Set(std::string Settings::*member, const std::string& value) {
  std::lock_guard<std::mutex> lock(g_lock);
  g_settings.*member = value;
}

}  // namespace

std::string GetCapturePrefix() { return Get(&Settings::capturePrefix, "Capture"); }
void SetCapturePrefix(const std::string& prefix) { Set(&Settings::capturePrefix, prefix); }
std::string GetProjectName() { return Get(&Settings::projectName, "Default"); }
void SetProjectName(const std::string& name) { Set(&Settings::projectName, name); }
std::string GetProjectFolder() { return Get(&Settings::projectFolder, ""); }
void SetProjectFolder(const char* folder) {
  if (folder) Set(&Settings::projectFolder, folder);
}
void SetProjectFolder(const std::string& folder) { Set(&Settings::projectFolder, folder); }
std::string GetComment() { return Get(&Settings::comment, ""); }
void SetComment(const std::string& comment) { Set(&Settings::comment, comment); }

void SetCaptureSaveDetails(const std::string& first, const std::string& second, const std::string& folder,
                           const std::string& prefix) {
  std::lock_guard<std::mutex> lock(g_lock);
  g_settings.save = {first, second, folder, prefix};
}

void GetCaptureSaveDetails(std::string& first, std::string& second, std::string& folder, std::string& prefix) {
  std::lock_guard<std::mutex> lock(g_lock);
  first = g_settings.save[0];
  second = g_settings.save[1];
  folder = g_settings.save[2];
  prefix = g_settings.save[3];
}

void SetCaptureLoadDetails(const std::string& first, const std::string& second, const std::string& third,
                           const std::string& fourth, const std::string& fifth) {
  std::lock_guard<std::mutex> lock(g_lock);
  g_settings.load = {first, second, third, fourth, fifth};
}

void GetCaptureLoadDetails(std::string& first, std::string& second, std::string& third, std::string& fourth,
                           std::string& fifth) {
  std::lock_guard<std::mutex> lock(g_lock);
  first = g_settings.load[0];
  second = g_settings.load[1];
  third = g_settings.load[2];
  fourth = g_settings.load[3];
  fifth = g_settings.load[4];
}
