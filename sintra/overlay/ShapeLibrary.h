// A shape library: a tagged text file with an ICON number (0-15), a CATEGORY
// (default "Shapes") and a SHAPES element holding SHAPE elements, each with a
// NAME, a RESTRICT script and the thirteen phase scripts FILL_BEFORE1 ...
// OUTLINE_AFTER2. Shapes without a name are skipped. The frames shipped with
// the program are in resources/shapes/Frames.shapes (copied beside the programs).
#pragma once

#include <string>
#include <vector>

#include "sintra/overlay/ScriptShape.h"

class CShapeLibrary {
 public:
  // Parses the library text; FALSE when it holds no usable shape.
  BOOL LoadText(const std::string& text);
  // Reads and parses a file (at most 4 MiB); FALSE when it cannot be read or parsed.
  BOOL LoadFile(const char* path);

  int GetIcon() const { return m_icon; }
  const std::string& GetCategory() const { return m_category; }
  int GetCount() const { return static_cast<int>(m_shapes.size()); }
  const CScriptShape* GetShape(int index) const;
  // The shape of that name (case-insensitive), or null.
  const CScriptShape* FindShape(const std::string& name) const;

  // The names of the phase scripts in plane order.
  static const char* const kPhaseKeys[CScriptShape::kPhases];

 private:
  int m_icon = 0;
  std::string m_category = "Shapes";
  std::vector<CScriptShape> m_shapes;
};
