// Math functions.
#pragma once

namespace zel::calls {

void RegisterMath();

}  // namespace zel::calls
