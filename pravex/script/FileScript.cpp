#include "pravex/script/FileScript.h"

#include "sintra/tagged/ScriptBase.h"

namespace {

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.c_str()); }

// The last part of a path; names written on either platform split at '/' or '\'.
std::string NameOnly(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* ScaleName(int mode) {
  if (mode == SCRIPT_SCALE_NONE) return "NONE";
  if (mode == SCRIPT_SCALE_SCALE) return "SCALE";
  return "SMARTSCALE";
}

const char* WindowName(int mode) {
  if (mode == SCRIPT_WINDOW_NOFRAME) return "NOFRAME";
  if (mode == SCRIPT_WINDOW_FRAME) return "FRAME";
  return "FULLSCREEN";
}

// Display values compare exactly; the mixed-case spellings are those of older scripts.
int ParseScale(const std::string& v) {
  if (v == "NONE" || v == "None") return SCRIPT_SCALE_NONE;
  if (v == "SCALE" || v == "Scale") return SCRIPT_SCALE_SCALE;
  return SCRIPT_SCALE_SMART;
}

int ParseWindow(const std::string& v) {
  if (v == "NOFRAME" || v == "No Frame") return SCRIPT_WINDOW_NOFRAME;
  if (v == "FRAME" || v == "Frame") return SCRIPT_WINDOW_FRAME;
  return SCRIPT_WINDOW_FULLSCREEN;
}

}  // namespace

CFileScript::CFileScript(const std::vector<std::string>& files, const std::string& effectName,
                         const tag_playParams* params, const CDisplayParams* display) {
  for (const std::string& file : files) Add(file, effectName, params);
  if (display) m_display = *display;
}

CFileScript::~CFileScript() = default;

int CFileScript::Add(const std::string& name, const std::string& effectName, const tag_playParams* params) {
  m_entries.push_back(std::make_unique<CFileScriptData>(name, effectName, params));
  return GetSize() - 1;
}

CFileScriptData* CFileScript::GetAt(int index) {
  if (index < 0 || index >= GetSize()) return nullptr;
  return m_entries[static_cast<std::size_t>(index)].get();
}

void CFileScript::SetComment(const char* comment) {
  if (comment) m_comment = comment;
}

void CFileScript::SetFolder(const char* folder) {
  if (folder && *folder) m_folder = folder;
}

void CFileScript::Clear() {
  m_entries.clear();
  m_comment.clear();
  m_folder.clear();
}

int CFileScript::SaveDisplay(CScriptBase& script) {
  return script.PushTag("DISPLAY", 1) && script.SaveStringTag("SCALE", ScaleName(m_display.scaleMode)) &&
         script.SaveStringTag("WINDOW", WindowName(m_display.windowMode)) &&
         script.SaveStringTag("CONTROL", m_display.control ? "SHOW" : "HIDE") &&
         script.SaveStringTag("TITLE", m_display.title.c_str()) && script.PopTag();
}

int CFileScript::SaveEntry(CScriptBase& script, const CFileScriptData& entry, int namesOnly) {
  const std::string name = namesOnly ? NameOnly(entry.GetFilename()) : std::string(entry.GetFilename());
  const tag_playParams& p = entry.GetPlayParams();
  return script.PushTag("FILE", 1) && script.SaveStringTag("NAME", name.c_str()) &&
         script.SaveStringTag("EFFECT", entry.GetEffectName()) && script.PushTag("PARAMS", 1) &&
         script.SaveBOOLTag("AUDIO", p.audio) && script.SaveBOOLTag("VIDEO", p.video) &&
         script.SaveBOOLTag("ANNOTATION", p.annotation) && script.SaveBOOLTag("QUALITY", p.quality) &&
         script.SaveBOOLTag("TOOLBAR", p.toolbar) && script.SaveBOOLTag("AUTOPLAY", p.autoplay) &&
         script.SaveIntTag("CURSOR", p.cursor) && script.SaveIntTag("VIDEO TRANSPARENCY", p.videoTransparency) &&
         script.SaveIntTag("VIDEO POSITION", p.videoPosition) && script.SaveIntTag("VIDEO MODE", p.videoMode) &&
         script.SaveIntTag("PREVIEW SCALE", p.previewScale) && script.PopTag() && script.PopTag();
}

int CFileScript::Save(const char* path, int namesOnly) {
  CScriptBase script;
  if (!script.Create(path)) return 0;
  int ok = script.PushTag("COMMENT", 1) && script.SaveData(m_comment.c_str(), 1) && script.PopTag() &&
           SaveDisplay(script) && script.SaveStringTag("FOLDER", m_folder.c_str());
  for (std::size_t i = 0; ok && i < m_entries.size(); ++i) ok = SaveEntry(script, *m_entries[i], namesOnly);
  script.Close();
  return ok ? 1 : 0;
}

void CFileScript::LoadDisplay(const std::string& display) {
  unsigned long pos = 0;
  m_display.scaleMode = ParseScale(CScriptBase::GetTag("SCALE", Bytes(display), pos));
  m_display.windowMode = ParseWindow(CScriptBase::GetTag("WINDOW", Bytes(display), pos));
  m_display.control = CScriptBase::GetTag("CONTROL", Bytes(display), pos) == "SHOW" ? 1 : 0;
  const std::string title = CScriptBase::GetTag("TITLE", Bytes(display), pos);
  m_display.title = title.empty() ? kDefaultScriptTitle : title;
}

void CFileScript::LoadEntry(const std::string& file) {
  unsigned long pos = 0;
  const std::string name = CScriptBase::GetTag("NAME", Bytes(file), pos);
  const std::string effect = CScriptBase::GetTag("EFFECT", Bytes(file), pos);
  const std::string params = CScriptBase::GetTag("PARAMS", Bytes(file), pos);
  if (name.empty()) return;
  tag_playParams p;
  if (!params.empty()) {
    const unsigned char* text = Bytes(params);
    unsigned long at = 0;
    for (auto [tag, field] : {std::pair{"AUDIO", &p.audio},
                              {"VIDEO", &p.video},
                              {"ANNOTATION", &p.annotation},
                              {"QUALITY", &p.quality},
                              {"TOOLBAR", &p.toolbar},
                              {"AUTOPLAY", &p.autoplay}}) {
      CScriptBase::GetBOOLTag(tag, text, at, *field);
    }
    for (auto [tag, field] : {std::pair{"CURSOR", &p.cursor},
                              {"VIDEO TRANSPARENCY", &p.videoTransparency},
                              {"VIDEO POSITION", &p.videoPosition},
                              {"VIDEO MODE", &p.videoMode},
                              {"PREVIEW SCALE", &p.previewScale}}) {
      CScriptBase::GetIntTag(tag, text, at, *field);
    }
  }
  m_entries.push_back(std::make_unique<CFileScriptData>(name, effect, &p));
}

void CFileScript::LoadFrom(CScriptBase& script) {
  m_comment = script.GetFirstTag("COMMENT");
  const std::string display = script.GetFirstTag("DISPLAY");
  if (!display.empty()) LoadDisplay(display);
  const std::string folder = script.GetFirstTag("FOLDER");
  if (!folder.empty()) m_folder = folder;
  for (std::string file = script.GetFirstTag("FILE"); !file.empty(); file = script.GetNextTag("FILE")) {
    LoadEntry(file);
  }
}

int CFileScript::Load(const char* path) {
  m_entries.clear();
  CScriptBase script;
  if (!script.Load(path)) return 0;
  LoadFrom(script);
  return 1;
}

int CFileScript::LoadText(const unsigned char* bytes, unsigned long size) {
  m_entries.clear();
  CScriptBase script;
  if (!script.Copy(bytes, size)) return 0;
  LoadFrom(script);
  return 1;
}
