// The tagged text format of small configuration files such as play scripts:
// each value stands between an opening tag "<NAME>" and a closing tag
// "</NAME>", and tags nest. Writing streams lines to a file, indented with one
// tab per nesting level and ended with CR LF. Reading loads the whole file and
// finds tags by plain text search from a moving position, so values are taken
// in the order they were written; a tag standing before the position is not
// found. A line reader walks the same loaded text.
#pragma once

#include "platform/base/File.h"

#include <string>
#include <vector>

class CScriptBase : public CFile {
 public:
  // Files larger than this are refused by Load: scripts are small texts.
  static constexpr unsigned long kMaxTextSize = 16ul << 20;
  // Capacity of the line reader's buffer, terminating zero included.
  static constexpr int kLineBufferSize = 8192;

  CScriptBase() = default;
  ~CScriptBase() = default;
  CScriptBase(const CScriptBase&) = delete;
  CScriptBase& operator=(const CScriptBase&) = delete;

  // Writing. Each call returns 1, or 0 when the file refused the bytes.
  // Empties the tag stack and creates (or truncates) the file.
  int Create(const char* path);
  // Opens a block: "<name>" after (depth - 1) tabs, with CR LF when lineEnd is non-zero.
  int PushTag(const char* name, int lineEnd);
  // Closes the innermost block at the indentation of its opening tag; 0 when none is open.
  int PopTag();
  int SaveIntTag(const char* name, int value);
  // "TRUE" or "FALSE".
  int SaveBOOLTag(const char* name, int value);
  int SaveStringTag(const char* name, const char* value);
  // Free text, unindented, with CR LF when lineEnd is non-zero.
  int SaveData(const char* text, int lineEnd);
  void Close();

  // Reading. Load and Copy replace the text; 0 on failure, with the previous text released.
  int Load(const char* path);
  int Copy(const unsigned char* bytes, unsigned long size);
  // The loaded text, zero-terminated; null before anything was loaded.
  unsigned char* GetBuffer();
  // The value of the first tag of that name in the loaded text.
  std::string GetFirstTag(const char* name);
  // The value of the next tag of that name after the previous find.
  std::string GetNextTag(const char* name);

  // Searches the zero-terminated text from pos for "<name>" and then for
  // "</name>"; returns the trimmed text between them and moves pos past the
  // closing tag. When either is missing: empty, and pos stays.
  static std::string GetTag(const char* name, const unsigned char* text, unsigned long& pos);
  // atoi of the value when it is not empty (1 returned); otherwise 0 and value untouched.
  static int GetIntTag(const char* name, const unsigned char* text, unsigned long& pos, int& value);
  // As GetIntTag; "TRUE" reads 1 and "FALSE" 0 (any case), anything else atoi != 0.
  static int GetBOOLTag(const char* name, const unsigned char* text, unsigned long& pos, int& value);
  // atoi with the result clamped to the int range instead of overflowing.
  static int ToInt(const std::string& text);

  // Line reader: the next line without its end; consecutive line ends are
  // skipped together, so empty lines are not returned. Null when the text
  // ends before a line end (a last line without one is not returned), when
  // a line does not fit the buffer, and before Load. A zero byte ends the
  // text for the reader: nothing at or after it is returned.
  unsigned char* GetFirstLine();
  unsigned char* GetNextLine();

 private:
  static std::string FindTag(const char* name, const char* text, unsigned long size, unsigned long& pos);
  void SetText(const unsigned char* bytes, unsigned long size);
  void ReleaseText();
  int WriteText(const std::string& text);

  // Names of the blocks opened and not yet closed, outermost first.
  std::vector<std::string> m_tagStack;
  // Offset in the text for GetNextTag and the line reader.
  unsigned long m_readPos = 0;
  // The loaded bytes plus a terminating zero.
  std::vector<unsigned char> m_text;
  // Number of bytes loaded.
  unsigned long m_textSize = 0;
  // Where the text ends for searching: the first zero byte or the end.
  unsigned long m_textEnd = 0;
  int m_lineBufferSize = 0;
  std::vector<unsigned char> m_lineBuffer;
};
