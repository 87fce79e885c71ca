// ANSI <-> UTF-16 conversion into the string heap, with the run's code page.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/context.h"

namespace zel::cp {

// Stores `len` characters of ANSI text, widened with ctx->codePage, in a fresh
// heap block; returns its offset. 0 on failure: 3096 when the heap is full,
// no error when the code page cannot convert the text.
uint32_t StoreWidened(ScriptContext* ctx, const char* text, size_t len);

// Stores `len` UTF-16 code units, narrowed with ctx->codePage (characters the
// code page lacks become its default character), in a fresh heap block.
uint32_t StoreNarrowed(ScriptContext* ctx, const wchar_t* text, size_t len);

}  // namespace zel::cp
