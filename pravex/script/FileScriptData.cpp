#include "pravex/script/FileScriptData.h"

#include "platform/base/Strings.h"

CFileScriptData::CFileScriptData(const std::string& name, int effect, const tag_playParams* params)
    : m_name(name), m_effect(effect) {
  if (params) m_params = *params;
}

CFileScriptData::CFileScriptData(const std::string& name, const std::string& effectName, const tag_playParams* params)
    : CFileScriptData(name, MapEffect(effectName), params) {}

int CFileScriptData::MapEffect(const std::string& effectName) {
  if (str::EqualsNoCase(effectName, "PAUSE")) return SCRIPT_EFFECT_PAUSE;
  return SCRIPT_EFFECT_NONE;
}

const char* CFileScriptData::GetEffectName() const { return m_effect == SCRIPT_EFFECT_PAUSE ? "PAUSE" : "NONE"; }
