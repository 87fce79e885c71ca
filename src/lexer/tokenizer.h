// Tokenizer: turns the current line into tokens on demand. The cursor and the
// current token live in the context; consumers pull tokens with get_token and
// may put one back.
#pragma once
#include <cstdint>
#include "host/api.h"
#include "host/context.h"

namespace zel::lex {

enum TokenKind : uint8_t {
  kTokEnd = 0,       // end of line (NUL or ";")
  kTokKeyword = 1,   // keyword, operator, function, @constant; tokenCode says which
  kTokVariable = 2,  // variable name
  kTokInteger = 3,
  kTokString = 4,    // string literal, or a bare word from GetStringToken
  kTokFloat = 5,
};

// Points the cursor at a line and forgets the previous token.
void SetLine(ScriptContext* ctx, const char* line);

// Reads the next token; sets the error number on failure.
void GetToken(ScriptContext* ctx);
// Reads a bare word of name characters as a string token with code -1.
void GetStringToken(ScriptContext* ctx);
// Moves the cursor back over the current token and clears its kind.
void Putback(ScriptContext* ctx);

}  // namespace zel::lex

ZEL_API int WINAPI get_token(zel::ScriptContext* ctx);
ZEL_API int WINAPI get_string_token(zel::ScriptContext* ctx);
ZEL_API void WINAPI putback(zel::ScriptContext* ctx);
