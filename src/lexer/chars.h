// Character classes of script text: blanks and the characters names are made of.
#pragma once
#include <windows.h>

namespace zel::lex {

// Space and tab.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Letters and digits of the ANSI code page, "_" and "@".
inline bool IsNameChar(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u == '_' || u == '@') return true;
  if (u < 0x80) return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
  return IsCharAlphaNumericA(c) != 0;
}

// ASCII lower case; other bytes unchanged.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace zel::lex
