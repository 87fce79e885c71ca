// Clipboard text functions.
#pragma once

namespace zel::calls {

void RegisterClipboard();

}  // namespace zel::calls
