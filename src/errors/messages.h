// The message table: error texts, captions and labels, numbered, held in the
// library's string-table resource and replaceable by a translation file.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::msg {

// Copies message `id` into `buf` (at most `size` bytes with the terminator),
// translated when a translation file is in use; returns its length, 0 when
// there is none (buf then holds ""). Id 0 chooses the translation file anew.
int Load(ScriptContext* ctx, uint32_t id, char* buf, size_t size);

}  // namespace zel::msg
