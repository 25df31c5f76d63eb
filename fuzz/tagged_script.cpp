// Play scripts and the tagged reader under arbitrary bytes: the script loader,
// the line reader and nested tag reads must stay inside the text and end.
#include "pravex/script/FileScript.h"
#include "sintra/tagged/ScriptBase.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CFileScript script;
  script.LoadText(data, static_cast<unsigned long>(size));
  for (int i = 0; i < script.GetSize(); ++i) {
    const CFileScriptData* entry = script.GetAt(i);
    if (!entry || !entry->GetFilename()[0]) __builtin_trap();  // entries without a name are dropped
  }

  CScriptBase reader;
  if (!reader.Copy(data, static_cast<unsigned long>(size))) return 0;
  int lines = 0;
  for (unsigned char* line = reader.GetFirstLine(); line; line = reader.GetNextLine()) {
    if (++lines > static_cast<int>(size)) __builtin_trap();  // more lines than bytes: a loop
  }
  const std::string outer = reader.GetFirstTag("FILE");
  unsigned long pos = 0;
  int value = 0;
  CScriptBase::GetIntTag("VIDEO MODE", reinterpret_cast<const unsigned char*>(outer.c_str()), pos, value);
  CScriptBase::GetBOOLTag("AUDIO", reinterpret_cast<const unsigned char*>(outer.c_str()), pos, value);
  if (pos > outer.size()) __builtin_trap();
  return 0;
}
