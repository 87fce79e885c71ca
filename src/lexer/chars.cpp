// Character classes of script text (built once from the ANSI code page).
#include "lexer/chars.h"

namespace zel::lex {

CharClasses g_charClasses;

void BuildCharClasses() {
  for (int c = 1; c < 256; ++c) {
    char ch = static_cast<char>(c);
    g_charClasses.alpha[c] = IsCharAlphaA(ch) != 0;
    g_charClasses.name[c] = IsCharAlphaNumericA(ch) || c == '_' || c == '@';
  }
  g_charClasses.built = true;
}

}  // namespace zel::lex
