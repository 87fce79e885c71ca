// The form script text is brought into before anything reads it: Unicode
// text converted to ANSI, every line ended by a line feed.
#pragma once
#include <cstdint>
#include "host/context.h"
#include "script/textblock.h"

namespace zel::script {

enum class TextMark { kNone, kUtf16, kUtf8 };

// The byte-order mark `text` starts with: bytes 255, 254 (UTF-16 little
// endian) or 239, 187, 191 (UTF-8).
TextMark MarkOf(const char* text, uint32_t len);

// Converts marked text in `block` (len bytes, mark included) to the context's
// ANSI code page in place, NUL-terminated, and sets *len to the converted
// length. Unmarked text is left alone. False when the result is empty or
// longer than the text it came from, or the conversion fails.
bool ConvertToAnsi(ScriptContext* ctx, TextBlock* block, uint32_t* len);

// Every carriage return followed by a line feed becomes a space, every other
// carriage return a line feed.
void NormaliseLineEnds(char* text, uint32_t len);

}  // namespace zel::script
