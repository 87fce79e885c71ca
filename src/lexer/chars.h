// Character classes of script text: blanks and the characters names are made of.
#pragma once
#include <windows.h>

namespace zel::lex {

// Space and tab.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Classes of the 256 byte values, worked out once from the ANSI code page.
struct CharClasses {
  bool built;
  bool name[256];   // letters and digits of the code page, "_" and "@"
  bool alpha[256];  // letters of the code page
};
extern CharClasses g_charClasses;
void BuildCharClasses();

// Letters and digits of the ANSI code page, "_" and "@".
inline bool IsNameChar(char c) {
  if (!g_charClasses.built) BuildCharClasses();
  return g_charClasses.name[static_cast<unsigned char>(c)];
}

// Letters of the ANSI code page.
inline bool IsAlpha(char c) {
  if (!g_charClasses.built) BuildCharClasses();
  return g_charClasses.alpha[static_cast<unsigned char>(c)];
}

// ASCII lower case; other bytes unchanged.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace zel::lex
