// Prompt functions: what the ready-made prompts and boxes with buttons share.
#pragma once

namespace zel::calls {

void RegisterPrompts();

}  // namespace zel::calls
