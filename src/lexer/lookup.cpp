// Keyword lookup (the first-character index of the built-in table, the
// object-reference test, and the searches of the built-in, user-defined,
// extender and host names).
#include "lexer/lookup.h"

#include <windows.h>
#include <cstring>

#include "exec/udf.h"
#include "host/process.h"
#include "lexer/chars.h"
#include "values/value.h"
#include "values/variables.h"

namespace zel::lex {
namespace {

struct Match {
  int id;
  uint16_t len;  // 0: nothing matched
};

constexpr Match kNoMatch{-1, 0};

// Shows a diagnostic box naming a record; the name field need not be terminated.
void ShowRecordBox(const FunctionTableEntry& e, const char* caption) {
  char name[kFuncNameSize + 1];
  size_t n = e.nameLen < kFuncNameSize ? e.nameLen : kFuncNameSize;
  memcpy(name, e.name, n);
  name[n] = 0;
  MessageBoxA(nullptr, name, caption, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

// Sets both arrays for the characters from..to (those the index covers).
void FillIndex(uint32_t* index, uint32_t* copy, uint32_t from, uint32_t to, uint32_t value) {
  for (uint32_t c = from; c <= to && c < kQuickLookChars; ++c) index[c] = copy[c] = value;
}

// The index is built once per process, on the first lookup; every build
// computes the same values, so it needs no lock.
void EnsureQuickLook() {
  if (g_process.quickLookBuilt) return;
  BuildQuickLook(kBuiltinTable, kKeyTokens, g_process.quickLook, g_process.quickLookCopy);
  g_process.quickLookBuilt = true;
}

// ---- matching one record

// True when the text begins with the lower-case `name` of `n` characters (the
// text lower-cased one character at a time) and, for a whole word, no name
// character follows.
bool NameMatches(const char* text, const char* name, uint16_t n, bool wholeWord) {
  for (uint16_t i = 0; i < n; ++i)
    if (text[i] == 0 || LowerAscii(text[i]) != name[i]) return false;
  return !wholeWord || !IsNameChar(text[n]);
}

// Keeps a name when it is longer than the best match so far and matches.
void Consider(const char* name, uint16_t n, int id, const char* text, bool wholeWord, Match* best) {
  if (n > best->len && NameMatches(text, name, n, wholeWord)) *best = Match{id, n};
}

void Consider(const FunctionTableEntry& e, int id, const char* text, bool wholeWord, Match* best) {
  if (e.nameLen == 0 || e.nameLen > kFuncNameSize) return;  // a host record may be damaged
  Consider(e.name, e.nameLen, id, text, wholeWord, best);
}

// ---- the searches, in the order a lookup makes them

Match SearchBuiltins(const char* text, bool wholeWord) {
  Match best = kNoMatch;
  auto c = static_cast<unsigned char>(LowerAscii(text[0]));
  if (c >= kQuickLookChars) return best;
  uint32_t first = g_process.quickLook[c];
  uint32_t end = c + 1 < kQuickLookChars ? g_process.quickLook[c + 1] : kKeyTokens;
  for (uint32_t i = first; i < end && i < kKeyTokens; ++i)
    Consider(kBuiltinTable[i], static_cast<int>(kBuiltinTable[i].id), text, wholeWord, &best);
  return best;
}

// The definitions whose end line has been read, in the order they were made.
Match SearchUdfs(const ScriptContext* ctx, const char* text, bool wholeWord) {
  Match best = kNoMatch;
  for (int i = 0; i < ctx->udfCount && i < kUdfMax; ++i) {
    const UdfRecord* r = exec::DefinedUdf(ctx, i);
    if (r && r->nameLen <= kVarNameSize) Consider(r->name, r->nameLen, kUdfIdBase + i, text, wholeWord, &best);
  }
  return best;
}

// The extender function table arrives with extenders; until then none match.
Match SearchExtenders(const ScriptContext*, const char*, bool) { return kNoMatch; }

// Host functions, up to the terminating record (nameLen 0); whole words only.
Match SearchHost(const ScriptContext* ctx, const char* text) {
  Match best = kNoMatch;
  auto table = static_cast<const FunctionTableEntry*>(ctx->hostTable);
  if (!table) return best;
  for (int i = 0; i < kHostFunctions && table[i].nameLen != 0; ++i)
    Consider(table[i], kHostIdBase + i, text, true, &best);
  return best;
}

// ---- object references

// Length of the identifier at `p` (name characters, "@" only first), counted
// up to one past kVarNameSize.
size_t IdentifierLength(const char* p) {
  size_t n = 0;
  while (n <= kVarNameSize && IsNameChar(p[n]) && (p[n] != '@' || n == 0)) ++n;
  return n;
}

bool IsQuote(char c) { return c == '"' || c == '\'' || c == '`'; }

}  // namespace

size_t SubscriptEnd(const char* p) {
  char closers[kSubscriptNesting];
  int depth = 0;
  char quote = 0;
  bool filled = false;  // the current part has something in it
  for (size_t i = 0; i < kWorkBuf && p[i] != 0; ++i) {
    char c = p[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (IsQuote(c)) {
      quote = c;
      filled = true;
    } else if (c == ';') {
      return 0;
    } else if (c == '[' || c == '(') {
      if (depth == kSubscriptNesting) return 0;
      closers[depth++] = c == '[' ? ']' : ')';
      filled = filled || depth > 1;
    } else if (c == ']' || c == ')') {
      if (depth == 0 || closers[depth - 1] != c) return 0;
      if (--depth == 0) return filled ? i : 0;
    } else if (c == ',' && depth == 1) {
      if (!filled) return 0;
      filled = false;
    } else if (!IsBlank(c)) {
      filled = true;
    }
  }
  return 0;
}

namespace {

// True when the identifier names a variable of the current frame that holds
// an array, a COM variant or a string: something a subscript and a member can
// follow.
bool NamesObjectBase(const ScriptContext* ctx, const char* p, size_t n) {
  char name[kVarNameSize + 1];
  char key[kVarNameSize + 1];
  memcpy(name, p, n);  // n <= kVarNameSize
  name[n] = 0;
  if (!vars::LowerName(name, key)) return false;
  uint16_t slot = vars::Lookup(ctx, key);
  if (slot == vars::kNoSlot || !ctx->vars) return false;
  return (ctx->vars[slot].v.flags & (kFlagArray | kFlagVariant | kFlagString | kFlagUnicode)) != 0;
}

// A name directly followed by "." is an object reference whatever it names; a
// name followed by a well-formed subscript and "." is one when it names an
// array, variant or string variable. Names over kVarNameSize never are.
bool IsObjectReference(const ScriptContext* ctx, const char* text) {
  size_t n = IdentifierLength(text);
  if (n == 0 || n > kVarNameSize) return false;
  if (text[n] == '.') return true;
  if (text[n] != '[') return false;
  size_t close = SubscriptEnd(text + n);
  return close != 0 && text[n + close + 1] == '.' && NamesObjectBase(ctx, text, n);
}

// The ID of the longest name that begins the text, searching the built-in
// table, then user-defined, extender and (whole words only) host names; -1.
int FindName(const ScriptContext* ctx, const char* text, bool wholeWord) {
  Match m = SearchBuiltins(text, wholeWord);
  if (m.len == 0) m = SearchUdfs(ctx, text, wholeWord);
  if (m.len == 0) m = SearchExtenders(ctx, text, wholeWord);
  if (m.len == 0 && wholeWord) m = SearchHost(ctx, text);
  return m.len ? m.id : -1;
}

}  // namespace

void BuildQuickLook(const FunctionTableEntry* table, uint32_t count,
                    uint32_t index[kQuickLookChars], uint32_t copy[kQuickLookChars]) {
  uint32_t previous = 0;
  index[0] = copy[0] = 0;
  for (uint32_t i = 0; i < count; ++i) {
    auto first = static_cast<unsigned char>(table[i].name[0]);
    if (first == previous) continue;
    if (first < previous) ShowRecordBox(table[i], "FSOP782");  // table out of order
    if (table[i].id != i) ShowRecordBox(table[i], "FNP983");   // id is not its index
    FillIndex(index, copy, previous + 1, first, i);
    previous = first;
  }
  FillIndex(index, copy, previous + 1, kQuickLookChars - 1, count);
}

QuickLookState QuickLookStatus() {
  if (!g_process.quickLookBuilt) return QuickLookState::kNotBuilt;
  bool same = memcmp(g_process.quickLook, g_process.quickLookCopy, sizeof g_process.quickLook) == 0;
  return same ? QuickLookState::kOkay : QuickLookState::kDamaged;
}

int LookupKeyword(ScriptContext* ctx, int wholeWord) {
  EnsureQuickLook();
  const char* text = ctx->prog;
  if (!text) return 0;
  bool word = wholeWord != 0;
  int id = word && IsObjectReference(ctx, text) ? kIdOleObject : FindName(ctx, text, word);
  if (id < 0) return 0;
  ctx->tokenCode = static_cast<int16_t>(id);
  return 1;
}

}  // namespace zel::lex
