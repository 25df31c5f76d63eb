#include "sintra/overlay/ShapeLibrary.h"

#include <cstdlib>

#include "platform/base/File.h"
#include "platform/base/Strings.h"

const char* const CShapeLibrary::kPhaseKeys[CScriptShape::kPhases] = {
    "FILL_BEFORE1",    "FILL_BEFORE2",    "FILL",    "FILL_AFTER1",    "FILL_AFTER2",
    "TEXT_BEFORE",     "TEXT",            "TEXT_AFTER",
    "OUTLINE_BEFORE1", "OUTLINE_BEFORE2", "OUTLINE", "OUTLINE_AFTER1", "OUTLINE_AFTER2"};

namespace {

// The trimmed text between <name> and the next </name> from pos; pos moves past
// the closing tag. False (pos unchanged) when either tag is missing.
bool GetTag(const std::string& text, const char* name, size_t& pos, std::string& value) {
  const std::string open = std::string("<") + name + ">", close = std::string("</") + name + ">";
  const size_t start = text.find(open, pos);
  if (start == std::string::npos) return false;
  const size_t end = text.find(close, start + open.size());
  if (end == std::string::npos) return false;
  value = str::Trim(std::string_view(text).substr(start + open.size(), end - start - open.size()));
  pos = end + close.size();
  return true;
}

std::string TagValue(const std::string& text, const char* name) {
  size_t pos = 0;
  std::string value;
  GetTag(text, name, pos, value);
  return value;
}

}  // namespace

BOOL CShapeLibrary::LoadText(const std::string& text) {
  m_shapes.clear();
  // The text ends at its first zero byte, as loaded tagged files do.
  const std::string body = text.substr(0, text.find('\0'));
  m_icon = std::atoi(TagValue(body, "ICON").c_str());
  if (m_icon < 0) m_icon = 0;
  if (m_icon > 15) m_icon = 15;
  m_category = TagValue(body, "CATEGORY");
  if (m_category.empty()) m_category = "Shapes";
  const std::string shapes = TagValue(body, "SHAPES");
  size_t pos = 0;
  std::string element;
  while (GetTag(shapes, "SHAPE", pos, element) && m_shapes.size() < 1000) {
    const std::string name = TagValue(element, "NAME");
    if (name.empty()) continue;
    CScriptShape shape;
    shape.SetName(name);
    for (int phase = 0; phase < CScriptShape::kPhases; ++phase)
      shape.SetScript(phase, TagValue(element, kPhaseKeys[phase]));
    shape.SetScript(CScriptShape::kRestrict, TagValue(element, "RESTRICT"));
    m_shapes.push_back(shape);
  }
  return !m_shapes.empty();
}

BOOL CShapeLibrary::LoadFile(const char* path) {
  CFile file;
  if (!path || !file.Open(path, CFile::modeRead)) return FALSE;
  const std::int64_t length = file.GetLength();
  if (length <= 0 || length > (4 << 20)) return FALSE;
  std::string text(static_cast<size_t>(length), '\0');
  if (file.Read(text.data(), static_cast<std::uint32_t>(length)) != static_cast<std::uint32_t>(length)) return FALSE;
  return LoadText(text);
}

const CScriptShape* CShapeLibrary::GetShape(int index) const {
  return index >= 0 && index < GetCount() ? &m_shapes[static_cast<size_t>(index)] : nullptr;
}

const CScriptShape* CShapeLibrary::FindShape(const std::string& name) const {
  for (const CScriptShape& s : m_shapes)
    if (str::EqualsNoCase(s.GetName(), name)) return &s;
  return nullptr;
}
