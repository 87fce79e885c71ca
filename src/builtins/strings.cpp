// String functions: length, substrings, searching, comparison, case,
// trimming, filling and fixing, replacing, inserting and overlaying,
// cleaning, counting, wildcard matching, character classes and the
// self-parsed StrCat. Each body is one template over the character type.
#include "builtins/strings.h"

#include <climits>
#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "host/process.h"
#include "lexer/tokenizer.h"
#include "values/codepage.h"
#include "values/convert.h"

namespace zel::calls {
namespace {

using txt::Arg;
using txt::LeadBytes;
using txt::Step;
using txt::Text;

constexpr uint16_t kStrFixLength = 1571;
constexpr uint16_t kCleanMatchCase = 1616;
constexpr uint16_t kCleanMode = 1617;
constexpr uint16_t kCountStart = 1734;
constexpr uint16_t kCountEnd = 1735;
constexpr uint16_t kStrCatSyntax = 2058;
constexpr int kStrCatArgs = 1024;  // arguments StrCat reads at most

int32_t ClampInt(uint64_t n) { return n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n); }

template <typename Ch>
Text<Ch> Sub(Text<Ch> t, size_t from, size_t to) {
  return Text<Ch>{t.p + from, to - from};
}

// ---- length

template <typename Ch>
void StrLen(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  r->ival = ClampInt(txt::CountChars(lb, Arg<Ch>(ctx, args[1])));
}

// Bytes of a text converted to another form; 0 when it cannot be converted.
size_t WideBytes(UINT codePage, const wchar_t* p, size_t n) {
  if (n == 0) return 0;
  int k = WideCharToMultiByte(codePage, 0, p, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  return k > 0 ? static_cast<size_t>(k) : 0;
}
size_t WidenedUnits(UINT codePage, const char* p, size_t n) {
  if (n == 0) return 0;
  int k = MultiByteToWideChar(codePage, 0, p, static_cast<int>(n), nullptr, 0);
  return k > 0 ? static_cast<size_t>(k) : 0;
}

// The forms StrByteCount measures a text in.
enum ByteForm { kFormAnsi = 0, kFormUtf16 = 1, kFormUtf8 = 2 };

// StrByteCount(text, form): bytes of the text, terminator not counted, in
// the run's ANSI code page (0), UTF-16 (1) or UTF-8 (2).
template <typename Ch>
void StrByteCount(ScriptContext* ctx, Value* r, Value* args, int, int) {
  Text<Ch> t = Arg<Ch>(ctx, args[1]);
  int32_t form = args[2].ival;
  if (form < kFormAnsi || form > kFormUtf8) return err::Raise(ctx, 1822);
  UINT cp = ctx->codePage;
  size_t bytes = 0;
  if constexpr (sizeof(Ch) == 1) {
    if (form == kFormAnsi) {
      bytes = t.len;
    } else if (form == kFormUtf16) {
      bytes = WidenedUnits(cp, t.p, t.len) * sizeof(wchar_t);
    } else if (t.len > 0) {
      size_t units = WidenedUnits(cp, t.p, t.len);
      txt::WorkMemory w;
      if (!w.Get(ctx, (units + 1) * sizeof(wchar_t))) return;
      int k = MultiByteToWideChar(cp, 0, t.p, static_cast<int>(t.len), w.As<wchar_t>(),
                                  static_cast<int>(units));
      bytes = k > 0 ? WideBytes(CP_UTF8, w.As<wchar_t>(), static_cast<size_t>(k)) : 0;
    }
  } else {
    bytes = form == kFormAnsi    ? WideBytes(cp, t.p, t.len)
            : form == kFormUtf16 ? t.len * sizeof(wchar_t)
                                 : WideBytes(CP_UTF8, t.p, t.len);
  }
  r->ival = ClampInt(bytes);
}

// ---- substrings and searching

// StrSub(text, start, length): see the bounds below; bad positions give "".
template <typename Ch>
void StrSub(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> t = Arg<Ch>(ctx, args[1]);
  int64_t n = static_cast<int64_t>(txt::CountChars(lb, t));
  int64_t start = args[2].ival, len = args[3].ival;
  int64_t most = n - start + 1;
  if (len == -1 || len > most) len = most;
  if (len <= 0 || start < 1 || start > n) {
    txt::SetResult<Ch>(ctx, r, t.p, 0);
    return;
  }
  size_t from = txt::SkipChars(lb, t, static_cast<size_t>(start - 1));
  size_t to = from + txt::SkipChars(lb, Sub(t, from, t.len), static_cast<size_t>(len));
  txt::SetResult<Ch>(ctx, r, t.p + from, to - from);
}

// Position (from 1) of the first match of `sub` at character positions
// first..last of `t`; `lastMatch` takes the last match instead. 0 for none.
template <typename Ch>
int64_t FindAt(const LeadBytes& lb, Text<Ch> t, Text<Ch> sub, int64_t first, int64_t last,
               bool lastMatch) {
  int64_t found = 0, pos = 1;
  for (size_t i = 0; i < t.len && pos <= last; i += Step(lb, t.p + i, t.p + t.len), ++pos) {
    if (pos < first || t.len - i < sub.len || !txt::SameUnits(t.p + i, sub.p, sub.len)) continue;
    found = pos;
    if (!lastMatch) break;
  }
  return found;
}

// StrIndex and StrIndexNc (text, sub, start, direction): 0 @FWDSCAN, any
// other value scans backward from start.
template <typename Ch, bool kNoCase>
void StrIndex(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> t = Arg<Ch>(ctx, args[1]), sub = Arg<Ch>(ctx, args[2]);
  int64_t start = args[3].ival;
  bool forward = args[4].ival == 0;
  int64_t n = static_cast<int64_t>(txt::CountChars(lb, t));
  int64_t m = static_cast<int64_t>(txt::CountChars(lb, sub));
  if (start == 0) start = forward ? 1 : n;
  if (start < 1 || start > n) return;
  if (m == 0) {
    r->ival = static_cast<int32_t>(start);
    return;
  }
  txt::WorkMemory wt, ws;
  if (kNoCase && (!txt::UpperCopy(ctx, t, &wt, &t) || !txt::UpperCopy(ctx, sub, &ws, &sub))) return;
  if (forward) {
    r->ival = static_cast<int32_t>(FindAt(lb, t, sub, start, n - m + 1, false));
  } else {
    r->ival = static_cast<int32_t>(FindAt(lb, t, sub, 1, start - m + 1, true));
  }
}

// StrScan(text, delimiters, start, direction): position of a character of
// the set at or after start (forward), or at or before it (backward).
template <typename Ch>
void StrScan(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> t = Arg<Ch>(ctx, args[1]), set = Arg<Ch>(ctx, args[2]);
  int64_t start = args[3].ival;
  bool forward = args[4].ival == 0;
  int64_t n = static_cast<int64_t>(txt::CountChars(lb, t));
  if (n == 0) return;
  if (start == 0) start = forward ? 1 : n;
  if (start < 1 || start > n) return;
  if (set.len == 0) {
    r->ival = static_cast<int32_t>(start);
    return;
  }
  int64_t pos = 1, found = 0;
  for (size_t i = 0; i < t.len; ++pos) {
    size_t step = Step(lb, t.p + i, t.p + t.len);
    if (!forward && pos > start) break;
    if ((!forward || pos >= start) && txt::InSet(lb, t.p + i, step, set)) {
      found = pos;
      if (forward) break;
    }
    i += step;
  }
  r->ival = static_cast<int32_t>(found);
}

// ---- comparison and case

int Compare(const char* a, const char* b, bool noCase) {
  return noCase ? lstrcmpiA(a, b) : lstrcmpA(a, b);
}
int Compare(const wchar_t* a, const wchar_t* b, bool noCase) {
  return noCase ? lstrcmpiW(a, b) : lstrcmpW(a, b);
}

// StrCmp and StrICmp: the system's locale comparison, negative, 0 or positive.
template <typename Ch, bool kNoCase>
void StrCmp(ScriptContext* ctx, Value* r, Value* args, int, int) {
  r->ival = Compare(Arg<Ch>(ctx, args[1]).p, Arg<Ch>(ctx, args[2]).p, kNoCase);
}

// StrLower and StrUpper: a copy mapped by the system's case mapping.
template <typename Ch, bool kUpper>
void ChangeCase(ScriptContext* ctx, Value* r, Value* args, int, int) {
  Text<Ch> t = Arg<Ch>(ctx, args[1]);
  Ch* out = txt::NewResult<Ch>(ctx, r, t.len);
  if (!out) return;
  memcpy(out, t.p, t.len * sizeof(Ch));
  if (kUpper) {
    txt::Upper(out, t.len);
  } else {
    txt::Lower(out, t.len);
  }
}

// StrTrim: without leading and trailing blanks. A blank byte is never the
// trail byte of a double-byte character, so the end can be trimmed bytewise.
template <typename Ch>
void StrTrim(ScriptContext* ctx, Value* r, Value* args, int, int) {
  Text<Ch> t = Arg<Ch>(ctx, args[1]);
  size_t from = 0, to = t.len;
  while (from < to && txt::IsBlank(t.p[from])) ++from;
  while (to > from && txt::IsBlank(t.p[to - 1])) --to;
  txt::SetResult<Ch>(ctx, r, t.p + from, to - from);
}

// ---- filling and fixing

// What a length counts: characters, or bytes. A UTF-16 text counts the bytes
// its characters take in the run's ANSI code page, so a text lines up the
// same in either width.
struct Measure {
  bool bytes;
  UINT codePage;
};

template <typename Ch>
size_t Units(const Measure& m, const Ch* p, size_t step) {
  if (!m.bytes) return 1;
  if constexpr (sizeof(Ch) == 1) {
    return step;
  } else {
    if (*p < 0x80) return 1;
    int k = WideCharToMultiByte(m.codePage, 0, p, 1, nullptr, 0, nullptr, nullptr);
    return k > 0 ? static_cast<size_t>(k) : 1;
  }
}

// Fill of `units` units made of whole copies of `pad` and a cut copy; where a
// pad character is wider than the units left, blanks fill them. Writes the
// fill to `out` when it is given; returns its code units, or more than
// kMaxResultUnits for a fill that no heap block could hold.
template <typename Ch>
uint64_t Fill(const LeadBytes& lb, const Measure& m, Text<Ch> pad, uint64_t units, Ch* out) {
  uint64_t cycleUnits = 0;
  for (size_t i = 0; i < pad.len; i += Step(lb, pad.p + i, pad.p + pad.len))
    cycleUnits += Units(m, pad.p + i, Step(lb, pad.p + i, pad.p + pad.len));
  uint64_t cycles = units / cycleUnits;
  uint64_t written = cycles * pad.len;
  if (written > txt::kMaxResultUnits) return written;
  if (out)
    for (uint64_t c = 0; c < cycles; ++c) memcpy(out + c * pad.len, pad.p, pad.len * sizeof(Ch));
  uint64_t rest = units - cycles * cycleUnits;
  for (size_t i = 0; rest > 0 && i < pad.len;) {
    size_t step = Step(lb, pad.p + i, pad.p + pad.len);
    size_t w = Units(m, pad.p + i, step);
    if (w > rest) {
      for (; rest > 0; --rest) {
        if (out) out[written] = ' ';
        ++written;
      }
      break;
    }
    if (out) memcpy(out + written, pad.p + i, step * sizeof(Ch));
    written += step;
    rest -= w;
    i += step;
  }
  return written;
}

// The text cut to at most `units` units of whole characters, padded with the
// pad text on the right (or the left) to exactly `units` units.
template <typename Ch>
void Fix(ScriptContext* ctx, Value* r, Text<Ch> t, Text<Ch> pad, int64_t units, bool left,
         bool bytes) {
  static const Ch kBlank[] = {' ', 0};
  if (pad.len == 0) pad = Text<Ch>{kBlank, 1};
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Measure m{bytes, ctx->codePage};
  uint64_t used = 0;
  size_t keep = 0;
  while (keep < t.len) {
    size_t step = Step(lb, t.p + keep, t.p + t.len);
    size_t w = Units(m, t.p + keep, step);
    if (used + w > static_cast<uint64_t>(units)) break;
    used += w;
    keep += step;
  }
  uint64_t fillUnits = static_cast<uint64_t>(units) - used;
  uint64_t fillLen = Fill<Ch>(lb, m, pad, fillUnits, nullptr);
  if (fillLen + keep > txt::kMaxResultUnits) return err::Raise(ctx, 3096);
  Ch* out = txt::NewResult<Ch>(ctx, r, keep + static_cast<size_t>(fillLen));
  if (!out) return;
  Ch* text = left ? out + fillLen : out;
  memcpy(text, t.p, keep * sizeof(Ch));
  Fill<Ch>(lb, m, pad, fillUnits, left ? out : out + keep);
}

// StrFill(fill, length): copies of the fill text cut to `length` characters.
template <typename Ch>
void StrFill(ScriptContext* ctx, Value* r, Value* args, int, int) {
  int64_t length = args[2].ival;
  Text<Ch> none{Arg<Ch>(ctx, args[1]).p, 0};
  Fix(ctx, r, none, Arg<Ch>(ctx, args[1]), length < 0 ? 0 : length, false, false);
}

// StrFix and relatives (text, pad, length): padded or cut to exactly length
// characters (or bytes), filled on the right (or the left).
template <typename Ch, bool kLeft, bool kBytes>
void StrFix(ScriptContext* ctx, Value* r, Value* args, int, int) {
  int64_t length = args[3].ival;
  if (length < 0) return err::Raise(ctx, kStrFixLength);
  Fix(ctx, r, Arg<Ch>(ctx, args[1]), Arg<Ch>(ctx, args[2]), length, kLeft, kBytes);
}

// ---- replacing

// Every non-overlapping match of `from` in `t`, left to right, replaced by
// `to`; writes to `out` when it is given and returns the result's length.
template <typename Ch>
uint64_t ReplaceAll(const LeadBytes& lb, Text<Ch> t, Text<Ch> from, Text<Ch> to, Ch* out) {
  uint64_t n = 0;
  for (size_t i = 0; i < t.len;) {
    if (t.len - i >= from.len && txt::SameUnits(t.p + i, from.p, from.len)) {
      if (out) memcpy(out + n, to.p, to.len * sizeof(Ch));
      n += to.len;
      i += from.len;
      continue;
    }
    size_t step = Step(lb, t.p + i, t.p + t.len);
    if (out) memcpy(out + n, t.p + i, step * sizeof(Ch));
    n += step;
    i += step;
  }
  return n;
}

template <typename Ch>
void StrReplace(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> t = Arg<Ch>(ctx, args[1]), from = Arg<Ch>(ctx, args[2]), to = Arg<Ch>(ctx, args[3]);
  if (t.len == 0 || from.len == 0) {
    txt::SetResult<Ch>(ctx, r, t.p, t.len);
    return;
  }
  uint64_t len = ReplaceAll<Ch>(lb, t, from, to, nullptr);
  if (len > txt::kMaxResultUnits) return err::Raise(ctx, 3096);
  Ch* out = txt::NewResult<Ch>(ctx, r, static_cast<size_t>(len));
  if (out) ReplaceAll<Ch>(lb, t, from, to, out);
}

// ---- inserting and overlaying

// A text argument that came to the call as UTF-16 rather than being widened
// from ANSI text or a number.
bool CameWide(const Value& v) {
  if (v.flags & kFlagVariant) return true;
  return (v.flags & kFlagUnicode) && !(v.flags & (kFlagString | kFlagInt | kFlagFloat));
}

// StrInsert and StrOverlay (text, new[, pad[, start[, length]]]): the new
// text, cut or padded with the pad character to `length` characters (-1 or
// omitted: its own length), goes in at character `start` (0 or omitted: 1),
// inserted or written over the text. A start past the end pads the text up
// to it. The arguments arrive as UTF-16; the result is UTF-16 when one of the
// texts came as UTF-16, else ANSI.
template <bool kOverlay>
void StrInsert(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  Text<wchar_t> base = Arg<wchar_t>(ctx, args[1]), add = Arg<wchar_t>(ctx, args[2]);
  Text<wchar_t> pad = argc >= 3 ? Arg<wchar_t>(ctx, args[3]) : Text<wchar_t>{L"", 0};
  int64_t start = argc >= 4 ? args[4].ival : 0;
  int64_t length = argc >= 5 ? args[5].ival : -1;
  if (start < 0) return err::Raise(ctx, 1826);
  if (length < -1) return err::Raise(ctx, 1827);
  if (start == 0) start = 1;
  if (length == -1) length = static_cast<int64_t>(add.len);
  wchar_t padChar = pad.len ? pad.p[0] : L' ';
  uint64_t before = static_cast<uint64_t>(start - 1), width = static_cast<uint64_t>(length);
  uint64_t headKeep = before < base.len ? before : base.len;
  uint64_t headPad = before - headKeep;
  uint64_t addKeep = width < add.len ? width : add.len;
  uint64_t addPad = width - addKeep;
  uint64_t tailFrom = kOverlay ? headKeep + width : headKeep;
  if (tailFrom > base.len) tailFrom = base.len;
  uint64_t total = headKeep + headPad + width + (base.len - tailFrom);
  if (total > txt::kMaxResultUnits) return err::Raise(ctx, 3096);
  wchar_t* out = txt::NewResult<wchar_t>(ctx, r, static_cast<size_t>(total));
  if (!out) return;
  wchar_t* o = out;
  o = wmemcpy(o, base.p, headKeep) + headKeep;
  o = wmemset(o, padChar, headPad) + headPad;
  o = wmemcpy(o, add.p, addKeep) + addKeep;
  o = wmemset(o, padChar, addPad) + addPad;
  wmemcpy(o, base.p + tailFrom, base.len - tailFrom);
  if (CameWide(args[1]) || CameWide(args[2]) || (argc >= 3 && CameWide(args[3]))) return;
  uint32_t off = cp::StoreNarrowed(ctx, out, static_cast<size_t>(total));
  expr::ResetValue(ctx, r, 0);  // frees the UTF-16 form
  if (!off) {
    if (!ctx->error) err::Raise(ctx, 3056);
    return;
  }
  r->str = off;
  r->flags = kFlagString;
}

// ---- cleaning and counting

// StrClean(text, characters, replacement, match-case, mode): mode 1 replaces
// the characters of the set, mode 2 those not in it; match-case 0 compares
// without regard to case.
template <typename Ch>
void StrClean(ScriptContext* ctx, Value* r, Value* args, int, int) {
  Text<Ch> t = Arg<Ch>(ctx, args[1]), set = Arg<Ch>(ctx, args[2]), with = Arg<Ch>(ctx, args[3]);
  int32_t matchCase = args[4].ival, mode = args[5].ival;
  if (matchCase != 0 && matchCase != 1) return err::Raise(ctx, kCleanMatchCase);
  if (mode != 1 && mode != 2) return err::Raise(ctx, kCleanMode);
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> ct = t, cset = set;  // the texts compared: upper-cased copies without regard to case
  txt::WorkMemory wt, ws;
  if (matchCase == 0 && (!txt::UpperCopy(ctx, t, &wt, &ct) || !txt::UpperCopy(ctx, set, &ws, &cset)))
    return;
  uint64_t count = 0, replacedUnits = 0;
  for (size_t i = 0; i < t.len;) {
    size_t step = Step(lb, ct.p + i, ct.p + ct.len);
    if (txt::InSet(lb, ct.p + i, step, cset) == (mode == 1)) {
      ++count;
      replacedUnits += step;
    }
    i += step;
  }
  uint64_t len = t.len - replacedUnits + count * with.len;
  if (len > txt::kMaxResultUnits) return err::Raise(ctx, 3096);
  Ch* out = txt::NewResult<Ch>(ctx, r, static_cast<size_t>(len));
  if (!out) return;
  size_t n = 0;
  for (size_t i = 0; i < t.len;) {
    size_t step = Step(lb, ct.p + i, ct.p + ct.len);
    if (txt::InSet(lb, ct.p + i, step, cset) == (mode == 1)) {
      memcpy(out + n, with.p, with.len * sizeof(Ch));
      n += with.len;
    } else {
      memcpy(out + n, t.p + i, step * sizeof(Ch));
      n += step;
    }
    i += step;
  }
}

// A position of StrCnt: 0 means 1 and -1 the last code unit; false outside
// the text.
bool CountPosition(int64_t* pos, int64_t len) {
  if (*pos == 0) *pos = 1;
  if (*pos == -1) *pos = len;
  return *pos >= 1 && *pos <= len;
}

// StrCnt(text, sub, start, end, flags): matches that begin at code-unit
// positions start..end, without overlap; flags bit 0 matches case.
template <typename Ch>
void StrCnt(ScriptContext* ctx, Value* r, Value* args, int, int) {
  Text<Ch> t = Arg<Ch>(ctx, args[1]), sub = Arg<Ch>(ctx, args[2]);
  if (t.len == 0 || sub.len == 0) return;
  int64_t len = static_cast<int64_t>(t.len), start = args[3].ival, end = args[4].ival;
  if (!CountPosition(&start, len)) return err::Raise(ctx, kCountStart);
  if (!CountPosition(&end, len)) return err::Raise(ctx, kCountEnd);
  if (end < start) {
    int64_t s = start;
    start = end;
    end = s;
  }
  txt::WorkMemory wt, ws;
  if (!(args[5].ival & 1) && (!txt::UpperCopy(ctx, t, &wt, &t) || !txt::UpperCopy(ctx, sub, &ws, &sub)))
    return;
  int32_t count = 0;
  for (size_t i = static_cast<size_t>(start - 1); i < static_cast<size_t>(end);) {
    if (t.len - i >= sub.len && txt::SameUnits(t.p + i, sub.p, sub.len)) {
      ++count;
      i += sub.len;
    } else {
      ++i;
    }
  }
  r->ival = count;
}

// ---- wildcards

// How a wildcard match from one position ended. When the text ran out, a
// later start cannot match either: every part of the pattern would stand at
// the same place or further on.
enum WildOutcome { kWildMatch, kWildMismatch, kWildTextUsedUp };

// Matches `pat` ("*" any run, "?" one character, other runs literally)
// against `t` from offset `from`; a literal run that does not match where the
// text stands is looked for further on only after a "*". On a match, *end is
// the offset where it ends.
template <typename Ch>
WildOutcome WildMatch(const LeadBytes& lb, Text<Ch> t, size_t from, Text<Ch> pat, size_t* end) {
  size_t ti = from, pi = 0;
  bool star = false;
  while (pi < pat.len) {
    Ch c = pat.p[pi];
    if (c == '*') {
      star = true;
      ++pi;
      continue;
    }
    if (c == '?') {
      if (ti >= t.len) return kWildTextUsedUp;
      ti += Step(lb, t.p + ti, t.p + t.len);
      ++pi;
      continue;
    }
    size_t runEnd = pi;
    while (runEnd < pat.len && pat.p[runEnd] != '*' && pat.p[runEnd] != '?')
      runEnd += Step(lb, pat.p + runEnd, pat.p + pat.len);
    size_t runLen = runEnd - pi;
    while (t.len - ti < runLen || !txt::SameUnits(t.p + ti, pat.p + pi, runLen)) {
      if (t.len - ti < runLen) return kWildTextUsedUp;
      if (!star) return kWildMismatch;
      ti += Step(lb, t.p + ti, t.p + t.len);
    }
    ti += runLen;
    star = false;
    pi = runEnd;
  }
  *end = star ? t.len : ti;
  return kWildMatch;
}

enum WildAnswer { kWildPosition, kWildLength, kWildText };

// StrIndexWild, StrLenWild and StrSubWild (text, pattern, start): the first
// position from start where the pattern matches, the match's length, its text.
template <typename Ch, WildAnswer kAnswer>
void StrWild(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> t = Arg<Ch>(ctx, args[1]), pat = Arg<Ch>(ctx, args[2]);
  int64_t start = args[3].ival;
  if (start == 0) start = 1;
  int64_t pos = 0;
  size_t from = 0, to = 0;
  txt::WorkMemory wt, wp;
  Text<Ch> ut, up;
  if (t.len == 0 || start < 1) {
    // no match in an empty text, nor before its start
  } else if (pat.len == 0) {
    pos = start;
  } else if (txt::UpperCopy(ctx, t, &wt, &ut) && txt::UpperCopy(ctx, pat, &wp, &up)) {
    int64_t at = 1;
    for (size_t i = 0; i < t.len; i += Step(lb, t.p + i, t.p + t.len), ++at) {
      if (at < start) continue;
      WildOutcome o = WildMatch(lb, ut, i, up, &to);
      if (o == kWildTextUsedUp) break;
      if (o == kWildMismatch) continue;
      pos = at;
      from = i;
      break;
    }
  }
  if (ctx->error) return;
  if (kAnswer == kWildPosition) {
    r->ival = static_cast<int32_t>(pos);
  } else if (kAnswer == kWildLength) {
    r->ival = pos ? ClampInt(txt::CountChars(lb, Sub(t, from, to))) : 0;
  } else {
    txt::SetResult<Ch>(ctx, r, t.p + from, pos ? to - from : 0);
  }
}

// ---- character classes

// StrTypeInfo(text, flag): 0 the C1 class bits all characters share, 1 the
// bits of any character (both as decimal text); -1 names the bits of the
// number the text holds.
template <typename Ch>
bool ClassBits(ScriptContext* ctx, Text<Ch> t, bool any, uint32_t* bits) {
  txt::WorkMemory wide, types;
  const wchar_t* w;
  size_t n;
  if constexpr (sizeof(Ch) == 1) {
    n = WidenedUnits(ctx->codePage, t.p, t.len);
    if (!wide.Get(ctx, (n + 1) * sizeof(wchar_t))) return false;
    if (n)
      MultiByteToWideChar(ctx->codePage, 0, t.p, static_cast<int>(t.len), wide.As<wchar_t>(),
                          static_cast<int>(n));
    w = wide.As<wchar_t>();
  } else {
    w = t.p;
    n = t.len;
  }
  *bits = 0;
  if (n == 0) return true;
  if (!types.Get(ctx, n * sizeof(WORD))) return false;
  WORD* cls = types.As<WORD>();
  if (!GetStringTypeExW(LOCALE_USER_DEFAULT, CT_CTYPE1, w, static_cast<int>(n), cls)) {
    err::Raise(ctx, 1825);
    err::RecordSystemError(ctx, static_cast<long>(GetLastError()), "GetStringTypeEx", true);
    return false;
  }
  uint32_t acc = any ? 0 : 0xffffu;
  for (size_t i = 0; i < n; ++i) acc = any ? acc | cls[i] : acc & cls[i];
  *bits = acc;
  return true;
}

// The number a text holds, when it is a decimal integer text.
template <typename Ch>
bool DecimalOf(Text<Ch> t, int32_t* out) {
  char buf[val::kNumberTextSize * 2];
  if (t.len >= sizeof buf) return false;
  for (size_t i = 0; i < t.len; ++i) {
    if (static_cast<uint32_t>(t.p[i]) >= 0x80) return false;
    buf[i] = static_cast<char>(t.p[i]);
  }
  buf[t.len] = 0;
  if (!val::IsIntegerText(buf)) return false;
  *out = val::TextToInt(buf);
  return true;
}

template <typename Ch>
void StrTypeInfo(ScriptContext* ctx, Value* r, Value* args, int, int) {
  static const char* const kNames[] = {"Upper", "Lower", "Digit", "Space", "Punct",
                                       "Cntrl", "Blank", "HexDg", "Alpha"};
  Text<Ch> t = Arg<Ch>(ctx, args[1]);
  int32_t flag = args[2].ival;
  char out[128];
  size_t n = 0;
  if (flag == -1) {
    int32_t number;
    if (!DecimalOf(t, &number)) return err::Raise(ctx, 1824);
    for (unsigned b = 0; b < sizeof kNames / sizeof *kNames; ++b) {
      if (!(static_cast<uint32_t>(number) & (1u << b))) continue;
      if (n) out[n++] = ' ';
      size_t k = strlen(kNames[b]);
      memcpy(out + n, kNames[b], k);
      n += k;
    }
  } else if (flag == 0 || flag == 1) {
    uint32_t bits;
    if (!ClassBits(ctx, t, flag == 1, &bits)) return;
    n = static_cast<size_t>(val::IntToText(static_cast<int32_t>(bits), 10, out, sizeof out));
  } else {
    return err::Raise(ctx, 1822);
  }
  txt::SetResult<char>(ctx, r, out, n);
}

// ---- StrCat

bool IsToken(const ScriptContext* ctx, int id) {
  return ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == id;
}

// Joins the values: UTF-16 when one of them is UTF-16 or a COM value, else ANSI.
void JoinValues(ScriptContext* ctx, Value* r, Value* vals, int n) {
  bool wide = false;
  for (int i = 0; i < n; ++i) wide = wide || (vals[i].flags & (kFlagUnicode | kFlagVariant));
  uint64_t total = 0;
  for (int i = 0; i < n; ++i) {
    bool ok = wide ? val::ToUnicode(ctx, &vals[i]) : val::ToText(ctx, &vals[i]);
    if (!ok) {
      if (!ctx->error) err::Raise(ctx, wide ? 3820 : 3056);
      return;
    }
    total += wide ? Arg<wchar_t>(ctx, vals[i]).len : Arg<char>(ctx, vals[i]).len;
  }
  if (total > txt::kMaxResultUnits) return err::Raise(ctx, 3096);
  if (wide) {
    wchar_t* out = txt::NewResult<wchar_t>(ctx, r, static_cast<size_t>(total));
    for (int i = 0; out && i < n; ++i) {
      Text<wchar_t> t = Arg<wchar_t>(ctx, vals[i]);
      out = wmemcpy(out, t.p, t.len) + t.len;
    }
  } else {
    char* out = txt::NewResult<char>(ctx, r, static_cast<size_t>(total));
    for (int i = 0; out && i < n; ++i) {
      Text<char> t = Arg<char>(ctx, vals[i]);
      memcpy(out, t.p, t.len);
      out += t.len;
    }
  }
}

// StrCat reads its own list: expressions separated by ",", up to ")"; the
// ")" stays the current token.
void StrCat(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  txt::WorkMemory w;
  if (!w.Get(ctx, kStrCatArgs * sizeof(Value))) return;
  Value* vals = w.As<Value>();
  int n = 0;
  lex::GetToken(ctx);
  while (!ctx->error && !(n == 0 && IsToken(ctx, kIdCloseParen))) {
    if (n == kStrCatArgs) {
      err::Raise(ctx, kStrCatSyntax);
      break;
    }
    val::InitValue(&vals[n], 0);
    expr::EvaluatePlain(ctx, &vals[n++]);
    if (ctx->error || IsToken(ctx, kIdCloseParen)) break;
    if (!IsToken(ctx, kIdComma)) {
      err::Raise(ctx, kStrCatSyntax);
      break;
    }
    lex::GetToken(ctx);
  }
  if (!ctx->error) JoinValues(ctx, r, vals, n);
  for (int i = 0; i < n; ++i) expr::ResetValue(ctx, &vals[i], 0);
}

}  // namespace

void RegisterStrings() {
  using txt::ByWidth;
  Register("strlen", ByWidth<StrLen<char>, StrLen<wchar_t>>);
  Register("strcharcount", ByWidth<StrLen<char>, StrLen<wchar_t>>);
  Register("strbytecount", ByWidth<StrByteCount<char>, StrByteCount<wchar_t>>);
  Register("strsub", ByWidth<StrSub<char>, StrSub<wchar_t>>);
  Register("strindex", ByWidth<StrIndex<char, false>, StrIndex<wchar_t, false>>);
  Register("strindexnc", ByWidth<StrIndex<char, true>, StrIndex<wchar_t, true>>);
  Register("strscan", ByWidth<StrScan<char>, StrScan<wchar_t>>);
  Register("strcat", StrCat);
  Register("strcmp", ByWidth<StrCmp<char, false>, StrCmp<wchar_t, false>>);
  Register("stricmp", ByWidth<StrCmp<char, true>, StrCmp<wchar_t, true>>);
  Register("strlower", ByWidth<ChangeCase<char, false>, ChangeCase<wchar_t, false>>);
  Register("strupper", ByWidth<ChangeCase<char, true>, ChangeCase<wchar_t, true>>);
  Register("strtrim", ByWidth<StrTrim<char>, StrTrim<wchar_t>>);
  Register("strfill", ByWidth<StrFill<char>, StrFill<wchar_t>>);
  Register("strfix", ByWidth<StrFix<char, false, false>, StrFix<wchar_t, false, false>>);
  Register("strfixchars", ByWidth<StrFix<char, false, false>, StrFix<wchar_t, false, false>>);
  Register("strfixleft", ByWidth<StrFix<char, true, false>, StrFix<wchar_t, true, false>>);
  Register("strfixcharsl", ByWidth<StrFix<char, true, false>, StrFix<wchar_t, true, false>>);
  Register("strfixbytes", ByWidth<StrFix<char, false, true>, StrFix<wchar_t, false, true>>);
  Register("strfixbytesl", ByWidth<StrFix<char, true, true>, StrFix<wchar_t, true, true>>);
  Register("strreplace", ByWidth<StrReplace<char>, StrReplace<wchar_t>>);
  Register("strinsert", StrInsert<false>);
  Register("stroverlay", StrInsert<true>);
  Register("strclean", ByWidth<StrClean<char>, StrClean<wchar_t>>);
  Register("strcnt", ByWidth<StrCnt<char>, StrCnt<wchar_t>>);
  Register("strindexwild", ByWidth<StrWild<char, kWildPosition>, StrWild<wchar_t, kWildPosition>>);
  Register("strlenwild", ByWidth<StrWild<char, kWildLength>, StrWild<wchar_t, kWildLength>>);
  Register("strsubwild", ByWidth<StrWild<char, kWildText>, StrWild<wchar_t, kWildText>>);
  // The text arrives in the width the process's Unicode switch chooses.
  Register("strtypeinfo", [](ScriptContext* ctx, Value* r, Value* args, int argc, bool, int id) {
    (UnicodeSwitch() ? StrTypeInfo<wchar_t> : StrTypeInfo<char>)(ctx, r, args, argc, id);
  });
}

}  // namespace zel::calls
