// Item functions: lists of items separated by a one-character delimiter
// (counting, extracting, inserting, locating, removing, replacing, sorting)
// and lines of comma-separated values. Every function walks its list once.
#include "builtins/items.h"

#include <cstring>

#include "builtins/csv.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::calls {
namespace {

using txt::Arg;
using txt::LeadBytes;
using txt::Step;
using txt::Text;
using txt::ItemEnd;
using csv::CsvField;
using csv::CsvDelimiter;
using csv::FieldValue;
using csv::WalkCsv;

constexpr uint16_t kCountCsvLine = 1706;
constexpr uint16_t kExtractCsvLine = 1707;
constexpr uint16_t kCountCsvDelimiter = 1712;
constexpr uint16_t kExtractCsvDelimiter = 1713;

// An item: code units from..to of its list, without delimiters.
struct Span {
  size_t from, to;
};

// Item k (from 1; -1 the last) of the list; false when the list is empty or
// has no such item.
template <typename Ch>
bool FindItem(const LeadBytes& lb, Text<Ch> list, Text<Ch> d, int64_t k, Span* s) {
  if (list.len == 0 || (k < 1 && k != -1)) return false;
  size_t from = 0;
  for (int64_t n = 1;; ++n) {
    size_t to = ItemEnd(lb, list, from, d);
    if (n == k || (k == -1 && to == list.len)) {
      *s = Span{from, to};
      return true;
    }
    if (to == list.len) return false;
    from = to + d.len;
  }
}

// Reads the list's lead bytes and delimiter (argument `slot`); false with 1705
// for a delimiter of more than one character.
template <typename Ch>
bool ListSetup(ScriptContext* ctx, const Value* args, int slot, LeadBytes* lb, Text<Ch>* d) {
  txt::ReadLeadBytes<Ch>(ctx, lb);
  return txt::ItemDelimiter(ctx, *lb, Arg<Ch>(ctx, args[slot]), d);
}

// The result is the pieces joined.
template <typename Ch>
void SetJoined(ScriptContext* ctx, Value* r, const Text<Ch>* parts, int n) {
  size_t len = 0;
  for (int i = 0; i < n; ++i) len += parts[i].len;
  Ch* out = txt::NewResult<Ch>(ctx, r, len);
  for (int i = 0; out && i < n; ++i) {
    memcpy(out, parts[i].p, parts[i].len * sizeof(Ch));
    out += parts[i].len;
  }
}

template <typename Ch>
Text<Ch> Piece(Text<Ch> t, size_t from, size_t to) {
  return Text<Ch>{t.p + from, to - from};
}

// ItemCount(list, delimiter): 0 for an empty list, else delimiters + 1.
template <typename Ch>
void ItemCount(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 2, &lb, &d)) return;
  Text<Ch> list = Arg<Ch>(ctx, args[1]);
  if (list.len == 0) return;
  int32_t n = 1;
  for (size_t i = ItemEnd(lb, list, 0, d); i < list.len; i = ItemEnd(lb, list, i + d.len, d)) ++n;
  r->ival = n;
}

// ItemExtract(index, list, delimiter): the item, blanks kept; "" for an
// index of 0 or past the last item.
template <typename Ch>
void ItemExtract(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 3, &lb, &d)) return;
  Text<Ch> list = Arg<Ch>(ctx, args[2]);
  Span s{0, 0};
  FindItem(lb, list, d, args[1].ival, &s);
  txt::SetResult<Ch>(ctx, r, list.p + s.from, s.to - s.from);
}

// ItemInsert(item, position, list, delimiter): the item after the item at
// the position; 0 puts it first; -1 (any negative position) or one past the
// last appends it.
template <typename Ch>
void ItemInsert(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 4, &lb, &d)) return;
  Text<Ch> item = Arg<Ch>(ctx, args[1]), list = Arg<Ch>(ctx, args[3]);
  int64_t pos = args[2].ival;
  Span s;
  if (list.len == 0) {
    txt::SetResult<Ch>(ctx, r, item.p, item.len);
  } else if (pos == 0) {
    Text<Ch> parts[] = {item, d, list};
    SetJoined(ctx, r, parts, 3);
  } else if (pos > 0 && FindItem(lb, list, d, pos, &s) && s.to < list.len) {
    Text<Ch> parts[] = {Piece(list, 0, s.to), d, item, Piece(list, s.to, list.len)};
    SetJoined(ctx, r, parts, 4);
  } else {
    Text<Ch> parts[] = {list, d, item};
    SetJoined(ctx, r, parts, 3);
  }
}

// ItemLocate(item, list, delimiter): position of the first item equal to
// the given one, code unit for code unit; 0 when there is none.
template <typename Ch>
void ItemLocate(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 3, &lb, &d)) return;
  Text<Ch> item = Arg<Ch>(ctx, args[1]), list = Arg<Ch>(ctx, args[2]);
  if (list.len == 0) return;
  size_t from = 0;
  for (int32_t n = 1;; ++n) {
    size_t to = ItemEnd(lb, list, from, d);
    if (to - from == item.len && txt::SameUnits(list.p + from, item.p, item.len)) {
      r->ival = n;
      return;
    }
    if (to == list.len) return;
    from = to + d.len;
  }
}

// ItemRemove(position, list, delimiter): without the item and the delimiter
// after it (before it, for the last item); -1 is the last item; a position
// outside the list leaves it as it is.
template <typename Ch>
void ItemRemove(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 3, &lb, &d)) return;
  Text<Ch> list = Arg<Ch>(ctx, args[2]);
  Span s;
  if (!FindItem(lb, list, d, args[1].ival, &s)) {
    txt::SetResult<Ch>(ctx, r, list.p, list.len);
    return;
  }
  size_t cutFrom = s.from, cutTo = s.to;
  if (s.to < list.len) {
    cutTo += d.len;
  } else if (s.from > 0) {
    cutFrom -= d.len;
  }
  Text<Ch> parts[] = {Piece(list, 0, cutFrom), Piece(list, cutTo, list.len)};
  SetJoined(ctx, r, parts, 2);
}

// ItemReplace(item, position, list, delimiter): the item at the position
// replaced; -1 is the last item; a position outside the list leaves it.
template <typename Ch>
void ItemReplace(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 4, &lb, &d)) return;
  Text<Ch> item = Arg<Ch>(ctx, args[1]), list = Arg<Ch>(ctx, args[3]);
  Span s;
  if (!FindItem(lb, list, d, args[2].ival, &s)) {
    txt::SetResult<Ch>(ctx, r, list.p, list.len);
    return;
  }
  Text<Ch> parts[] = {Piece(list, 0, s.from), item, Piece(list, s.to, list.len)};
  SetJoined(ctx, r, parts, 3);
}

// ---- sorting

template <typename Ch>
using CompareFn = int(WINAPI*)(const Ch*, const Ch*);

// Stable merge sort of the spans of `text` (each span terminated in it),
// bottom-up, with a scratch array of the same size.
template <typename Ch>
void MergeSort(const Ch* text, Span* items, Span* scratch, size_t n, CompareFn<Ch> compare) {
  Span* from = items;
  Span* to = scratch;
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      size_t mid = lo + width < n ? lo + width : n;
      size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
      size_t a = lo, b = mid, k = lo;
      while (a < mid && b < hi)  // the left run wins ties: equal items keep their order
        to[k++] = compare(text + from[b].from, text + from[a].from) < 0 ? from[b++] : from[a++];
      while (a < mid) to[k++] = from[a++];
      while (b < hi) to[k++] = from[b++];
    }
    Span* t = from;
    from = to;
    to = t;
  }
  if (from != items) memcpy(items, from, n * sizeof(Span));
}

// The items of the list in ascending order by `compare`: one split into a
// terminated copy, one sort, one join.
template <typename Ch>
void SortItems(ScriptContext* ctx, Value* r, Text<Ch> list, Text<Ch> d, const LeadBytes& lb,
               CompareFn<Ch> compare) {
  if (list.len == 0) {
    txt::SetResult<Ch>(ctx, r, list.p, 0);
    return;
  }
  size_t n = 1;
  for (size_t i = ItemEnd(lb, list, 0, d); i < list.len; i = ItemEnd(lb, list, i + d.len, d)) ++n;
  txt::WorkMemory copy, spans;
  if (!copy.Get(ctx, (list.len + 1) * sizeof(Ch)) || !spans.Get(ctx, 2 * n * sizeof(Span))) return;
  Ch* text = copy.As<Ch>();
  memcpy(text, list.p, list.len * sizeof(Ch));
  text[list.len] = 0;
  Span* items = spans.As<Span>();
  size_t from = 0;
  for (size_t k = 0; k < n; ++k) {
    size_t to = ItemEnd(lb, list, from, d);
    items[k] = Span{from, to};
    text[to < list.len ? to : list.len] = 0;  // each item ends at its delimiter
    from = to + d.len;
  }
  MergeSort(text, items, items + n, n, compare);
  Ch* out = txt::NewResult<Ch>(ctx, r, list.len);
  if (!out) return;
  for (size_t k = 0; k < n; ++k) {
    if (k > 0) out = static_cast<Ch*>(memcpy(out, d.p, d.len * sizeof(Ch))) + d.len;
    size_t len = items[k].to - items[k].from;
    out = static_cast<Ch*>(memcpy(out, list.p + items[k].from, len * sizeof(Ch))) + len;
  }
}

// ItemSort(list, delimiter): by the system's locale comparison with regard
// to case; equal items keep their order.
template <typename Ch>
void ItemSort(ScriptContext* ctx, Value* r, Value* args, int, int) {
  LeadBytes lb;
  Text<Ch> d;
  if (!ListSetup(ctx, args, 2, &lb, &d)) return;
  if constexpr (sizeof(Ch) == 1) {
    SortItems<char>(ctx, r, Arg<char>(ctx, args[1]), d, lb, lstrcmpA);
  } else {
    SortItems<wchar_t>(ctx, r, Arg<wchar_t>(ctx, args[1]), d, lb, lstrcmpW);
  }
}

// ItemSortNc(list, delimiter): the same without regard to case; ANSI text.
void ItemSortNc(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  LeadBytes lb;
  Text<char> d;
  if (!ListSetup(ctx, args, 2, &lb, &d)) return;
  SortItems<char>(ctx, r, Arg<char>(ctx, args[1]), d, lb, lstrcmpiA);
}

// ---- comma-separated values

// ItemCountCsv(line, flags[, delimiter]): the number of fields.
template <typename Ch>
void ItemCountCsv(ScriptContext* ctx, Value* r, Value* args, int argc, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> d;
  if (!CsvDelimiter(ctx, lb, args, argc, 3, kCountCsvDelimiter, &d)) return;
  CsvField f;
  bool found;
  int64_t n = WalkCsv(lb, Arg<Ch>(ctx, args[1]), d, 0, &f, &found);
  if (n < 0) return err::Raise(ctx, kCountCsvLine);
  r->ival = static_cast<int32_t>(n);
}

// ItemExtractCsv(index, line, flags[, delimiter]): field `index` (-1 the
// last; "" when there is none); flags bit 0 keeps the blanks around it.
template <typename Ch>
void ItemExtractCsv(ScriptContext* ctx, Value* r, Value* args, int argc, int) {
  LeadBytes lb;
  txt::ReadLeadBytes<Ch>(ctx, &lb);
  Text<Ch> d;
  if (!CsvDelimiter(ctx, lb, args, argc, 4, kExtractCsvDelimiter, &d)) return;
  Text<Ch> line = Arg<Ch>(ctx, args[2]);
  CsvField f;
  bool found;
  if (WalkCsv(lb, line, d, args[1].ival, &f, &found) < 0) return err::Raise(ctx, kExtractCsvLine);
  if (!found) {
    txt::SetResult<Ch>(ctx, r, line.p, 0);
    return;
  }
  bool keepBlanks = (args[3].ival & 1) != 0;
  Ch* out = txt::NewResult<Ch>(ctx, r, FieldValue<Ch>(line, d, f, keepBlanks, nullptr));
  if (out) FieldValue<Ch>(line, d, f, keepBlanks, out);
}

}  // namespace

void RegisterItems() {
  using txt::ByWidth;
  Register("itemcount", ByWidth<ItemCount<char>, ItemCount<wchar_t>>);
  Register("itemextract", ByWidth<ItemExtract<char>, ItemExtract<wchar_t>>);
  Register("iteminsert", ByWidth<ItemInsert<char>, ItemInsert<wchar_t>>);
  Register("itemlocate", ByWidth<ItemLocate<char>, ItemLocate<wchar_t>>);
  Register("itemremove", ByWidth<ItemRemove<char>, ItemRemove<wchar_t>>);
  Register("itemreplace", ByWidth<ItemReplace<char>, ItemReplace<wchar_t>>);
  Register("itemsort", ByWidth<ItemSort<char>, ItemSort<wchar_t>>);
  Register("itemsortnc", ItemSortNc);
  Register("itemcountcsv", ByWidth<ItemCountCsv<char>, ItemCountCsv<wchar_t>>);
  Register("itemextractcsv", ByWidth<ItemExtractCsv<char>, ItemExtractCsv<wchar_t>>);
}

}  // namespace zel::calls
