#include "platform/os/Resources.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "resources/ResourceData.h"

CResourceBlock FindResourceData(const char* type, UINT id) {
  if (!type) return {};
  for (unsigned long i = 0; i < g_olvaneResourceCount; ++i) {
    const OlvaneResourceEntry& e = g_olvaneResources[i];
    if (e.id == id && e.type && std::strcmp(e.type, type) == 0) return {e.data, static_cast<std::size_t>(e.size)};
  }
  return {};
}

namespace {

std::string Unescape(const char* p, const char* end) {
  std::string out;
  out.reserve(static_cast<std::size_t>(end - p));
  for (; p < end; ++p) {
    if (*p != '\\' || p + 1 == end) {
      out.push_back(*p);
      continue;
    }
    ++p;
    out.push_back(*p == 'n' ? '\n' : (*p == 't' ? '\t' : *p));
  }
  return out;
}

void ParseLine(const char* p, const char* end, void (*add)(void*, UINT, std::string), void* ctx) {
  if (p < end && end[-1] == '\r') --end;
  if (p == end || *p == '#') return;
  std::uint64_t id = 0;
  const char* digits = p;
  while (p < end && *p >= '0' && *p <= '9' && id <= 0xFFFFFFFFu) id = id * 10 + static_cast<unsigned>(*p++ - '0');
  if (p == digits || id > 0xFFFFFFFFu || p == end || (*p != ' ' && *p != '\t')) return;
  add(ctx, static_cast<UINT>(id), Unescape(p + 1, end));
}

const std::map<UINT, std::string>& StringTable() {
  static const std::map<UINT, std::string> table = [] {
    std::map<UINT, std::string> t;
    for (unsigned long i = 0; i < g_olvaneResourceCount; ++i) {
      const OlvaneResourceEntry& e = g_olvaneResources[i];
      if (!e.type || std::strcmp(e.type, "STRINGS") != 0) continue;
      ParseStringTable(reinterpret_cast<const char*>(e.data), e.size,
                       [](void* c, UINT id, std::string text) {
                         (*static_cast<std::map<UINT, std::string>*>(c))[id] = std::move(text);
                       },
                       &t);
    }
    return t;
  }();
  return table;
}

}  // namespace

void ParseStringTable(const char* text, std::size_t size, void (*add)(void*, UINT, std::string), void* ctx) {
  if (!text || !add) return;
  const char* p = text;
  const char* end = text + size;
  while (p < end) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (!eol) eol = end;
    ParseLine(p, eol, add, ctx);
    p = eol + (eol < end ? 1 : 0);
  }
}

BOOL LoadResourceString(UINT id, std::string& text) {
  const auto& table = StringTable();
  auto it = table.find(id);
  if (it == table.end()) {
    text.clear();
    return FALSE;
  }
  text = it->second;
  return TRUE;
}

int LoadString(UINT id, char* buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  std::string text;
  if (!LoadResourceString(id, text)) {
    buffer[0] = 0;
    return 0;
  }
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}
