// The list of built-in function families: each binds its bodies by name.
#include "builtins/families.h"

#include "builtins/chars.h"
#include "builtins/errorfns.h"
#include "builtins/intcontrol.h"
#include "builtins/items.h"
#include "builtins/math.h"
#include "builtins/strings.h"
#include "builtins/time.h"
#include "exec/udf.h"

namespace zel::calls {

void RegisterFamilies() {
  RegisterMath();
  RegisterErrorFunctions();
  RegisterIntControl();
  RegisterStrings();
  RegisterItems();
  RegisterChars();
  RegisterTime();
  exec::RegisterScriptCalls();
}

}  // namespace zel::calls
