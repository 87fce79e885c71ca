// Error functions.
#pragma once

namespace zel::calls {

void RegisterErrorFunctions();

}  // namespace zel::calls
