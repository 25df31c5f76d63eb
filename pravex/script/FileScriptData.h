// One entry of a play script: a capture file, the transition effect after it
// and its play parameters.
#pragma once

#include "pravex/script/PlayParams.h"

#include <string>

// Effects at the end of a clip.
constexpr int SCRIPT_EFFECT_NONE = 0;
constexpr int SCRIPT_EFFECT_PAUSE = 1;  // pause replay at the end of the clip

class CFileScriptData {
 public:
  // Default parameters, then the name and effect, then a copy of params when given.
  CFileScriptData(const std::string& name, int effect, const tag_playParams* params);
  CFileScriptData(const std::string& name, const std::string& effectName, const tag_playParams* params);
  CFileScriptData(const CFileScriptData&) = default;
  CFileScriptData& operator=(const CFileScriptData&) = default;

  // 0 for "NONE", 1 for "PAUSE" (any case); any other name gives 0.
  static int MapEffect(const std::string& effectName);

  // A path, or a bare name looked up in the script's folder.
  const char* GetFilename() const { return m_name.c_str(); }
  const tag_playParams& GetPlayParams() const { return m_params; }
  int GetEffect() const { return m_effect; }
  // "PAUSE" for the pause effect, otherwise "NONE".
  const char* GetEffectName() const;

 private:
  std::string m_name;
  int m_effect = SCRIPT_EFFECT_NONE;
  tag_playParams m_params;
};
