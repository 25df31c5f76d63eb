#include "pravex/support/StandardFolders.h"

#include "platform/os/Shell.h"
#include "pravex/support/PathRules.h"
#include "pravex/support/SupportSettings.h"

namespace {

std::string UnderModule(const char* sub) {
  const std::string module = GetModuleFolder();
  return module.empty() ? std::string() : module + sub;
}

}  // namespace

std::string GetModuleFolder() {
  const std::string file = os::ModuleFile();
  const std::size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string GetShapesFolder() { return UnderModule("Shapes/"); }
std::string GetInstallFolder() { return UnderModule("Installs/"); }
std::string GetTemplateFolder() { return UnderModule("Templates/"); }
std::string GetExportAVIFolder() { return UnderModule("Exports/AVI/"); }
std::string GetExportQuilletFolder() { return UnderModule("Exports/Quillet/"); }
std::string GetExportPowerPointFolder() { return UnderModule("Exports/PowerPoint/"); }
std::string GetTempFolder() { return UnderModule("Temp/"); }
std::string GetSkinFolder() { return UnderModule("Skin/"); }

std::string GetOutputFolder() {
  std::string folder = GetProjectFolder();
  if (!folder.empty() && !support::IsSeparator(folder.back())) folder += '/';
  folder += GetProjectName() + "/";
  return folder.size() <= support::kMaxPathBytes ? folder : std::string();
}

std::string GetProjectDrive() {
  const std::string folder = GetProjectFolder();
  return !folder.empty() && folder[0] == '/' ? "/" : "";
}

BOOL SHGetSpecialFolder(std::string& out, int csidl) {
  out.clear();
  switch (csidl) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
      out = os::UserSpecialDir(os::SpecialDir::Desktop);
      break;
    case CSIDL_PERSONAL:
      out = os::UserSpecialDir(os::SpecialDir::Documents);
      break;
    case CSIDL_MYMUSIC:
      out = os::UserSpecialDir(os::SpecialDir::Music);
      break;
    case CSIDL_MYVIDEO:
      out = os::UserSpecialDir(os::SpecialDir::Videos);
      break;
    case CSIDL_MYPICTURES:
      out = os::UserSpecialDir(os::SpecialDir::Pictures);
      break;
    case CSIDL_TEMPLATES:
      out = os::UserSpecialDir(os::SpecialDir::Templates);
      break;
    case CSIDL_APPDATA:
      out = os::UserConfigDir();
      break;
    case CSIDL_LOCAL_APPDATA:
      out = os::UserDataDir();
      break;
    case CSIDL_INTERNET_CACHE:
      out = os::UserCacheDir();
      break;
    case CSIDL_PROFILE:
      out = os::HomeDir();
      break;
    default:
      return FALSE;
  }
  return out.empty() ? FALSE : TRUE;
}

std::string MyDocuments() {
  std::string folder;
  SHGetSpecialFolder(folder, CSIDL_PERSONAL);
  return folder;
}
