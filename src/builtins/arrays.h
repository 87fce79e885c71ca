// Array functions.
#pragma once

namespace zel::calls {

void RegisterArrays();

}  // namespace zel::calls
