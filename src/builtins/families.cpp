// The list of built-in function families: each binds its bodies by name.
#include "builtins/families.h"

#include "binary/buffer.h"
#include "builtins/arrays.h"
#include "builtins/chars.h"
#include "builtins/clipboard.h"
#include "builtins/errorfns.h"
#include "builtins/files.h"
#include "builtins/ini.h"
#include "builtins/intcontrol.h"
#include "builtins/items.h"
#include "builtins/math.h"
#include "builtins/registry.h"
#include "builtins/prompts.h"
#include "builtins/strings.h"
#include "builtins/time.h"
#include "exec/udf.h"

namespace zel::calls {

void RegisterFamilies() {
  RegisterMath();
  RegisterErrorFunctions();
  RegisterPrompts();
  RegisterIntControl();
  RegisterStrings();
  RegisterItems();
  RegisterChars();
  RegisterFileTable();
  RegisterFileCopy();
  RegisterFileList();
  RegisterFileNames();
  RegisterFileInfo();
  RegisterFileTimes();
  RegisterFileArrays();
  RegisterFileWhole();
  RegisterFileExtras();
  RegisterDirs();
  RegisterDisks();
  bin::RegisterBinary();
  RegisterRegistry();
  RegisterIni();
  RegisterClipboard();
  RegisterArrays();
  RegisterTime();
  exec::RegisterScriptCalls();
}

}  // namespace zel::calls
