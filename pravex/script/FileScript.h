// A play script: an ordered list of capture files, each with its effect and
// play parameters, plus display parameters for the whole script, a comment and
// the folder the clips lie in. Stored as tagged text (extension "tvsf"):
//
//   <COMMENT>            comment text, unindented, may span lines
//   <DISPLAY>            SCALE, WINDOW, CONTROL, TITLE
//   <FOLDER>...</FOLDER>
//   <FILE>               one block per entry: NAME, EFFECT and a PARAMS block
//                        with AUDIO ... AUTOPLAY ("TRUE"/"FALSE") and CURSOR ...
//                        PREVIEW SCALE (decimal), in this order
//
// every line ended by CR LF and indented with one tab per level. Tags of a
// group are read in the written order; one placed earlier is not found and
// its value keeps the default.
#pragma once

#include "pravex/script/FileScriptData.h"
#include "pravex/script/PlayParams.h"

#include <memory>
#include <string>
#include <vector>

class CScriptBase;

class CFileScript {
 public:
  CFileScript() = default;
  // One entry per file name, each with the effect and the parameters given
  // (or the defaults); the display parameters are copied when given.
  CFileScript(const std::vector<std::string>& files, const std::string& effectName, const tag_playParams* params,
              const CDisplayParams* display);
  ~CFileScript();
  CFileScript(const CFileScript&) = delete;
  CFileScript& operator=(const CFileScript&) = delete;

  // Appends an entry; returns its index.
  int Add(const std::string& name, const std::string& effectName, const tag_playParams* params);
  int GetSize() const { return static_cast<int>(m_entries.size()); }
  // Null for an index outside the list.
  CFileScriptData* GetAt(int index);
  std::string& GetComment() { return m_comment; }
  std::string& GetFolder() { return m_folder; }
  CDisplayParams& GetDisplayParams() { return m_display; }
  // Ignored for null.
  void SetComment(const char* comment);
  // Ignored for null or an empty text.
  void SetFolder(const char* folder);
  // Removes every entry and empties comment and folder; the display parameters stay.
  void Clear();

  // Writes the script; with namesOnly each NAME loses its folder part. 1 when
  // everything was written, 0 at the first failure.
  int Save(const char* path, int namesOnly);
  // Reads a script; 0 only when the file cannot be loaded.
  int Load(const char* path);
  // Reads a script held in memory; 0 for no bytes.
  int LoadText(const unsigned char* bytes, unsigned long size);

 private:
  int SaveDisplay(CScriptBase& script);
  int SaveEntry(CScriptBase& script, const CFileScriptData& entry, int namesOnly);
  void LoadDisplay(const std::string& display);
  void LoadEntry(const std::string& file);
  void LoadFrom(CScriptBase& script);

  CDisplayParams m_display;
  std::vector<std::unique_ptr<CFileScriptData>> m_entries;
  std::string m_comment;
  std::string m_folder;
};
