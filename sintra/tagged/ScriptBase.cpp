#include "sintra/tagged/ScriptBase.h"

#include "platform/base/Strings.h"

#include <climits>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kLineEnd = "\r\n";

const char* Safe(const char* s) { return s ? s : ""; }

}  // namespace

int CScriptBase::ToInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

// Writing ---------------------------------------------------------------------

int CScriptBase::WriteText(const std::string& text) {
  return Write(text.data(), static_cast<std::uint32_t>(text.size())) ? 1 : 0;
}

int CScriptBase::Create(const char* path) {
  m_tagStack.clear();
  return Open(Safe(path), modeCreate | modeWrite) ? 1 : 0;
}

int CScriptBase::PushTag(const char* name, int lineEnd) {
  m_tagStack.emplace_back(Safe(name));
  std::string line(m_tagStack.size() - 1, '\t');
  line += str::Format("<%s>", Safe(name));
  if (lineEnd) line += kLineEnd;
  return WriteText(line);
}

int CScriptBase::PopTag() {
  if (m_tagStack.empty()) return 0;
  const std::string name = m_tagStack.back();
  m_tagStack.pop_back();
  return WriteText(std::string(m_tagStack.size(), '\t') + str::Format("</%s>\r\n", name.c_str()));
}

int CScriptBase::SaveIntTag(const char* name, int value) {
  return WriteText(std::string(m_tagStack.size(), '\t') +
                   str::Format("<%s>%d</%s>\r\n", Safe(name), value, Safe(name)));
}

int CScriptBase::SaveBOOLTag(const char* name, int value) { return SaveStringTag(name, value ? "TRUE" : "FALSE"); }

int CScriptBase::SaveStringTag(const char* name, const char* value) {
  return WriteText(std::string(m_tagStack.size(), '\t') +
                   str::Format("<%s>%s</%s>\r\n", Safe(name), Safe(value), Safe(name)));
}

int CScriptBase::SaveData(const char* text, int lineEnd) {
  std::string data(Safe(text));
  if (lineEnd) data += kLineEnd;
  return WriteText(data);
}

void CScriptBase::Close() { CFile::Close(); }

// Reading ---------------------------------------------------------------------

void CScriptBase::ReleaseText() {
  std::vector<unsigned char>().swap(m_text);
  m_textSize = 0;
  m_textEnd = 0;
  m_readPos = 0;
}

void CScriptBase::SetText(const unsigned char* bytes, unsigned long size) {
  m_text.assign(bytes, bytes + size);
  m_text.push_back(0);
  m_textSize = size;
  const void* zero = std::memchr(m_text.data(), 0, size);
  m_textEnd = zero ? static_cast<unsigned long>(static_cast<const unsigned char*>(zero) - m_text.data()) : size;
  m_readPos = 0;
  if (m_lineBufferSize == 0) {
    m_lineBuffer.assign(kLineBufferSize, 0);
    m_lineBufferSize = kLineBufferSize;
  }
}

int CScriptBase::Load(const char* path) {
  ReleaseText();
  CFile file;
  if (!file.Open(Safe(path), modeRead | shareDenyNone)) return 0;
  const std::int64_t length = file.GetLength();
  if (length < 0 || static_cast<std::uint64_t>(length) > kMaxTextSize) return 0;
  try {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
    const std::uint32_t size = static_cast<std::uint32_t>(length);
    if (size > 0 && file.Read(bytes.data(), size) != size) return 0;
    SetText(bytes.data(), size);
  } catch (...) {
    ReleaseText();
    return 0;
  }
  return 1;
}

int CScriptBase::Copy(const unsigned char* bytes, unsigned long size) {
  ReleaseText();
  if (!bytes || size == 0 || size > kMaxTextSize) return 0;
  try {
    SetText(bytes, size);
  } catch (...) {
    ReleaseText();
    return 0;
  }
  return 1;
}

unsigned char* CScriptBase::GetBuffer() { return m_text.empty() ? nullptr : m_text.data(); }

std::string CScriptBase::FindTag(const char* name, const char* text, unsigned long size, unsigned long& pos) {
  if (!text || pos > size) return std::string();
  const std::string_view all(text, size);
  const std::string open = str::Format("<%s>", Safe(name));
  const std::string close = str::Format("</%s>", Safe(name));
  const std::size_t start = all.find(open, pos);
  if (start == std::string_view::npos) return std::string();
  const std::size_t valueStart = start + open.size();
  const std::size_t end = all.find(close, valueStart);
  if (end == std::string_view::npos) return std::string();
  pos = static_cast<unsigned long>(end + close.size());
  return str::Trim(all.substr(valueStart, end - valueStart));
}

std::string CScriptBase::GetFirstTag(const char* name) {
  m_readPos = 0;
  return GetNextTag(name);
}

std::string CScriptBase::GetNextTag(const char* name) {
  if (m_text.empty()) return std::string();
  return FindTag(name, reinterpret_cast<const char*>(m_text.data()), m_textEnd, m_readPos);
}

std::string CScriptBase::GetTag(const char* name, const unsigned char* text, unsigned long& pos) {
  if (!text) return std::string();
  const char* chars = reinterpret_cast<const char*>(text);
  return FindTag(name, chars, static_cast<unsigned long>(std::strlen(chars)), pos);
}

int CScriptBase::GetIntTag(const char* name, const unsigned char* text, unsigned long& pos, int& value) {
  const std::string found = GetTag(name, text, pos);
  if (found.empty()) return 0;
  value = ToInt(found);
  return 1;
}

int CScriptBase::GetBOOLTag(const char* name, const unsigned char* text, unsigned long& pos, int& value) {
  const std::string found = GetTag(name, text, pos);
  if (found.empty()) return 0;
  if (str::EqualsNoCase(found, "TRUE")) {
    value = 1;
  } else if (str::EqualsNoCase(found, "FALSE")) {
    value = 0;
  } else {
    value = ToInt(found) != 0 ? 1 : 0;
  }
  return 1;
}

unsigned char* CScriptBase::GetFirstLine() {
  m_readPos = 0;
  return GetNextLine();
}

unsigned char* CScriptBase::GetNextLine() {
  if (m_lineBufferSize == 0 || m_text.empty() || m_readPos > m_textEnd) return nullptr;
  const unsigned char* text = m_text.data();
  unsigned long p = m_readPos;
  int n = 0;
  while (p < m_textEnd && text[p] != '\r' && text[p] != '\n') {
    if (n + 1 >= m_lineBufferSize) return nullptr;  // does not fit
    m_lineBuffer[static_cast<std::size_t>(n++)] = text[p++];
  }
  if (p >= m_textEnd) {
    // A zero byte ends the text and the line before it; reading stops there.
    // The text's real end without a line end returns nothing.
    const bool zeroByte = m_textEnd < m_textSize;
    m_readPos = m_textEnd + 1;
    if (!zeroByte || n == 0) return nullptr;
    m_lineBuffer[static_cast<std::size_t>(n)] = 0;
    return m_lineBuffer.data();
  }
  while (p < m_textEnd && (text[p] == '\r' || text[p] == '\n')) ++p;
  m_lineBuffer[static_cast<std::size_t>(n)] = 0;
  m_readPos = p;
  return m_lineBuffer.data();
}
