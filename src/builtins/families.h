// Registration of the built-in function families: each family binds its
// bodies to their names once, the first time a function is called.
#pragma once

namespace zel::calls {

void RegisterFamilies();

}  // namespace zel::calls
