// Text helpers of the string, item and character functions: reading text
// arguments of either width, stepping over whole characters, case mapping,
// temporary work memory and results stored in the string heap.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "host/context.h"

namespace zel::txt {

// Most code units of a result: keeps its heap block, terminator included,
// within what the heap hands out.
constexpr size_t kMaxResultUnits = 0x3fff0000u;

// A text and its length in code units (bytes of ANSI text, UTF-16 code units).
template <typename Ch>
struct Text {
  const Ch* p;
  size_t len;
};

// The argument's text of width Ch: its ANSI or its UTF-16 heap string; an
// empty text when it has none.
template <typename Ch>
Text<Ch> Arg(const ScriptContext* ctx, const Value& v);

// ---- characters

// The lead bytes of the run's code page: in ANSI text a lead byte and the
// byte after it are one character.
struct LeadBytes {
  bool any;
  bool lead[256];
};
void ReadCodePageLeads(const ScriptContext* ctx, LeadBytes* lb);

// The lead bytes a call of width Ch steps by: none for UTF-16 text.
template <typename Ch>
void ReadLeadBytes(const ScriptContext* ctx, LeadBytes* lb) {
  if constexpr (sizeof(Ch) == 1) {
    ReadCodePageLeads(ctx, lb);
  } else {
    lb->any = false;
  }
}

// Code units of the character at p, which lies before `end`. A lead byte
// without a trail byte before `end` stands alone; every UTF-16 code unit is
// a character of its own.
inline size_t Step(const LeadBytes& lb, const char* p, const char* end) {
  return lb.any && lb.lead[static_cast<uint8_t>(*p)] && p + 1 < end ? 2 : 1;
}
inline size_t Step(const LeadBytes&, const wchar_t*, const wchar_t*) { return 1; }

// Characters of a text.
template <typename Ch>
size_t CountChars(const LeadBytes& lb, Text<Ch> t) {
  size_t n = 0;
  for (size_t i = 0; i < t.len; i += Step(lb, t.p + i, t.p + t.len)) ++n;
  return n;
}

// Offset of the character that follows the first `chars` characters (the
// text's length when it has fewer).
template <typename Ch>
size_t SkipChars(const LeadBytes& lb, Text<Ch> t, size_t chars) {
  size_t i = 0;
  for (; i < t.len && chars > 0; --chars) i += Step(lb, t.p + i, t.p + t.len);
  return i;
}

// Whether the character of `n` code units at p is one of the characters of `set`.
template <typename Ch>
bool InSet(const LeadBytes& lb, const Ch* p, size_t n, Text<Ch> set) {
  for (size_t i = 0; i < set.len;) {
    size_t step = Step(lb, set.p + i, set.p + set.len);
    if (step == n) {
      size_t k = 0;
      while (k < n && set.p[i + k] == p[k]) ++k;
      if (k == n) return true;
    }
    i += step;
  }
  return false;
}

// Whether the `n` code units at p and at q are the same.
template <typename Ch>
bool SameUnits(const Ch* p, const Ch* q, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] != q[i]) return false;
  return true;
}

// Space and tab.
template <typename Ch>
bool IsBlank(Ch c) {
  return c == ' ' || c == '\t';
}

// Maps `n` code units in place with the system's case mapping.
void Upper(char* p, size_t n);
void Upper(wchar_t* p, size_t n);
void Lower(char* p, size_t n);
void Lower(wchar_t* p, size_t n);

// ---- work memory

// Temporary memory for large work: movable global memory, locked while the
// object lives and freed with it.
class WorkMemory {
 public:
  WorkMemory() = default;
  WorkMemory(const WorkMemory&) = delete;
  WorkMemory& operator=(const WorkMemory&) = delete;
  ~WorkMemory();

  // Allocates `bytes` (at least one); false with 1588 when it cannot be had.
  bool Get(ScriptContext* ctx, size_t bytes);
  template <typename T>
  T* As() const {
    return static_cast<T*>(p_);
  }

 private:
  HGLOBAL h_ = nullptr;
  void* p_ = nullptr;
};

// An upper-cased copy of `t` in `w`; false with 1588 when there is no memory.
template <typename Ch>
bool UpperCopy(ScriptContext* ctx, Text<Ch> t, WorkMemory* w, Text<Ch>* out) {
  if (!w->Get(ctx, (t.len + 1) * sizeof(Ch))) return false;
  Ch* p = w->As<Ch>();
  for (size_t i = 0; i < t.len; ++i) p[i] = t.p[i];
  p[t.len] = 0;
  Upper(p, t.len);
  *out = Text<Ch>{p, t.len};
  return true;
}

// ---- results

// Makes the result a fresh heap string of `len` code units (terminated at
// len) and returns where its text goes; nullptr with 3096 when the heap is
// full or the text too long.
template <typename Ch>
Ch* NewResult(ScriptContext* ctx, Value* r, size_t len);

// Makes the result a heap copy of `len` code units at p.
template <typename Ch>
bool SetResult(ScriptContext* ctx, Value* r, const Ch* p, size_t len);

// ---- delimiters

// An item list's delimiter: one character, an empty text meaning tab. More
// than one character raises 1705.
template <typename Ch>
bool ItemDelimiter(ScriptContext* ctx, const LeadBytes& lb, Text<Ch> given, Text<Ch>* out);

// Offset of the first delimiter at or after `from`, or the list's length.
template <typename Ch>
size_t ItemEnd(const LeadBytes& lb, Text<Ch> list, size_t from, Text<Ch> d) {
  if (d.len == 1 && !lb.any) {  // the common case: one code unit, nothing to step over
    for (size_t i = from; i < list.len; ++i)
      if (list.p[i] == d.p[0]) return i;
    return list.len;
  }
  for (size_t i = from; i < list.len; i += Step(lb, list.p + i, list.p + list.len))
    if (list.len - i >= d.len && txt::SameUnits(list.p + i, d.p, d.len)) return i;
  return list.len;
}

// ---- choosing the width of a call

// A body over one character type; the call's `wide` flag picks which.
using WidthBody = void (*)(ScriptContext* ctx, Value* result, Value* args, int argc, int id);

template <WidthBody Ansi, WidthBody Wide>
void ByWidth(ScriptContext* ctx, Value* result, Value* args, int argc, bool wide, int id) {
  (wide ? Wide : Ansi)(ctx, result, args, argc, id);
}

}  // namespace zel::txt
