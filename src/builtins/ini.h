// INI file functions.
#pragma once

namespace zel::calls {

void RegisterIni();

}  // namespace zel::calls
