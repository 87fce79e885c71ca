// The list of built-in function families: each binds its bodies by name.
#include "builtins/families.h"

#include "builtins/errorfns.h"
#include "builtins/intcontrol.h"
#include "builtins/math.h"
#include "exec/udf.h"

namespace zel::calls {

void RegisterFamilies() {
  RegisterMath();
  RegisterErrorFunctions();
  RegisterIntControl();
  exec::RegisterScriptCalls();
}

}  // namespace zel::calls
