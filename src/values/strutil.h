// Bounded string helpers: copying and appending that never write past the
// caller's limit and never split a double-byte character of the ANSI code page.
#pragma once
#include <cstddef>

#include "host/context.h"

namespace zel::str {

// Copies `src` into `dst`, whose room is `n` characters counting the
// terminator: at most n - 1 characters are copied and dst is always
// terminated (n = 0 writes nothing). A double-byte character of the context's
// code page (CP_ACP without a context) that does not fit whole is dropped.
// Returns the length of dst afterwards. A missing src or dst sets 3098 and
// returns 0.
size_t Copy(ScriptContext* ctx, char* dst, const char* src, size_t n);
size_t Copy(ScriptContext* ctx, wchar_t* dst, const wchar_t* src, size_t n);

// Appends `src` to the text in `dst`, whose whole room is `n` characters
// counting the terminator, by the same rules. Returns the length of dst
// afterwards; a dst with no terminator within its room is left alone and n is
// returned.
size_t Append(ScriptContext* ctx, char* dst, const char* src, size_t n);
size_t Append(ScriptContext* ctx, wchar_t* dst, const wchar_t* src, size_t n);

}  // namespace zel::str
