// Item list and CSV item functions.
#pragma once

namespace zel::calls {

void RegisterItems();

}  // namespace zel::calls
