// Character and code-page functions.
#pragma once

namespace zel::calls {

void RegisterChars();

}  // namespace zel::calls
