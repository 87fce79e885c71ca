// Keyword lookup: classifies the word or symbol at the tokenizer's position as
// a built-in, user-defined, extender or host token, through a process-wide
// first-character index of the built-in table.
#pragma once
#include <cstddef>
#include <cstdint>
#include "builtins/functable.h"
#include "host/context.h"

namespace zel::lex {

// Looks up the text at ctx->prog. `wholeWord` is non-zero for text that begins
// with a letter, "@" or "_": a name then matches only when no name character
// follows it, a name directly followed by "." (or by a subscript and "." when
// it names an array, COM variant or string variable) is an object reference
// (kIdOleObject), and the host's functions are searched too. Otherwise the
// longest operator or keyword that begins the text matches. Built-in names hide
// user-defined, extender and host names. Returns 1 with the token ID in
// ctx->tokenCode, or 0 when nothing matched (ctx->tokenCode is left alone).
int LookupKeyword(ScriptContext* ctx, int wholeWord);

// Offset of the "]" that closes the subscript opened by the "[" at p[0], or 0
// when it is not well formed: brackets and parentheses must pair up, quotes
// must close, a ";" (a comment) ends the line, and neither the subscript nor
// any of its comma-separated parts may be blank.
size_t SubscriptEnd(const char* p);

// Builds a first-character index over `count` records: index[c] is the first
// record whose first character is not below c, and `count` for characters
// above the last one used; `copy` receives the same values. A record whose
// first character is below the previous record's shows a message box with its
// name captioned "FSOP782"; a record that starts a first character and whose
// id differs from its position one captioned "FNP983". The build goes on after
// either.
void BuildQuickLook(const FunctionTableEntry* table, uint32_t count,
                    uint32_t index[kQuickLookChars], uint32_t copy[kQuickLookChars]);

// The process-wide index as the diagnostics dump reports it.
enum class QuickLookState { kNotBuilt, kOkay, kDamaged };
QuickLookState QuickLookStatus();

}  // namespace zel::lex
