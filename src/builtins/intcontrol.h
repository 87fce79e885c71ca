// IntControl.
#pragma once

namespace zel::calls {

void RegisterIntControl();

}  // namespace zel::calls
