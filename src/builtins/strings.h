// String functions.
#pragma once

namespace zel::calls {

void RegisterStrings();

}  // namespace zel::calls
