// Registry functions: the key functions and the value functions.
#pragma once

namespace zel::calls {

// Binds every registry function (the value functions included).
void RegisterRegistry();

// Binds the value functions: the queries and the sets.
void RegisterRegistryValues();

}  // namespace zel::calls
