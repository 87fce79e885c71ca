// Lines of comma-separated values: the delimiter argument, the fields of a
// line (quoted or bare, with their blanks) and a field's value. Shared by the
// CSV item functions and the CSV array files.
#pragma once
#include <cstring>

#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::csv {

using txt::LeadBytes;
using txt::Step;
using txt::Text;

// One field of a CSV line: code units from..to between its delimiters; a
// quoted field also has its content qFrom..qTo between the quotes (doubled
// quotes still doubled).
struct CsvField {
  size_t from, to;
  bool quoted;
  size_t qFrom, qTo;
};

// The blanks of a CSV line: space and tab, only space when tab delimits.
template <typename Ch>
bool IsCsvBlank(Ch c, Text<Ch> d) {
  return c == ' ' || (c == '\t' && d.p[0] != '\t');
}

// The delimiter argument of a CSV function (comma when omitted): exactly one
// character, and not a space, a double quote, CR or LF.
template <typename Ch>
bool CsvDelimiter(ScriptContext* ctx, const LeadBytes& lb, const Value* args, int argc, int slot,
                  uint16_t error, Text<Ch>* d) {
  static const Ch kComma[] = {',', 0};
  if (argc < slot) {
    *d = Text<Ch>{kComma, 1};
    return true;
  }
  *d = txt::Arg<Ch>(ctx, args[slot]);
  bool one = d->len > 0 && Step(lb, d->p, d->p + d->len) == d->len;
  Ch c = one ? d->p[0] : 0;
  if (!one || c == ' ' || c == '"' || c == '\r' || c == '\n') {
    err::Raise(ctx, error);
    return false;
  }
  return true;
}

template <typename Ch>
bool DelimiterAt(Text<Ch> line, size_t i, Text<Ch> d) {
  return line.len - i >= d.len && txt::SameUnits(line.p + i, d.p, d.len);
}

// Reads the field that starts at `from`; false when it is malformed (a quote
// after other characters, characters after a closing quote, or a line that
// ends inside quotes). *last tells whether it ends the line.
template <typename Ch>
bool ReadCsvField(const LeadBytes& lb, Text<Ch> line, size_t from, Text<Ch> d, CsvField* f,
                  bool* last) {
  size_t i = from;
  while (i < line.len && IsCsvBlank(line.p[i], d)) ++i;
  f->from = from;
  f->quoted = i < line.len && line.p[i] == '"';
  if (f->quoted) {
    f->qFrom = ++i;
    for (;;) {
      if (i >= line.len) return false;
      if (line.p[i] == '"') {
        if (i + 1 < line.len && line.p[i + 1] == '"') {
          i += 2;
          continue;
        }
        break;
      }
      i += Step(lb, line.p + i, line.p + line.len);
    }
    f->qTo = i++;
    while (i < line.len && IsCsvBlank(line.p[i], d)) ++i;
    if (i < line.len && !DelimiterAt(line, i, d)) return false;
  } else {
    while (i < line.len && !DelimiterAt(line, i, d)) {
      if (line.p[i] == '"') return false;
      i += Step(lb, line.p + i, line.p + line.len);
    }
  }
  f->to = i;
  *last = i >= line.len;
  return true;
}

// Walks the fields of a line: their number (0 for an empty line), or -1 when
// one is malformed. Field `want` (-1: the last) goes to *kept when it exists.
template <typename Ch>
int64_t WalkCsv(const LeadBytes& lb, Text<Ch> line, Text<Ch> d, int64_t want, CsvField* kept,
                bool* found) {
  *found = false;
  if (line.len == 0) return 0;
  int64_t n = 0;
  bool last = false;
  for (size_t from = 0; !last;) {
    CsvField f;
    if (!ReadCsvField(lb, line, from, d, &f, &last)) return -1;
    ++n;
    if (n == want || (want == -1 && last)) {
      *kept = f;
      *found = true;
    }
    from = f.to + d.len;
  }
  return n;
}

// Writes (or, with out null, measures) a field's value: without surrounding
// blanks unless `keepBlanks`, without its quotes, doubled quotes made single.
template <typename Ch>
size_t FieldValue(Text<Ch> line, Text<Ch> d, const CsvField& f, bool keepBlanks, Ch* out) {
  size_t n = 0;
  auto put = [&](size_t from, size_t to) {
    if (out) memcpy(out + n, line.p + from, (to - from) * sizeof(Ch));
    n += to - from;
  };
  if (!f.quoted) {
    size_t from = f.from, to = f.to;
    if (!keepBlanks) {
      while (from < to && IsCsvBlank(line.p[from], d)) ++from;
      while (to > from && IsCsvBlank(line.p[to - 1], d)) --to;
    }
    put(from, to);
    return n;
  }
  if (keepBlanks) put(f.from, f.qFrom - 1);
  for (size_t i = f.qFrom; i < f.qTo; ++i) {
    if (out) out[n] = line.p[i];
    ++n;
    if (line.p[i] == '"') ++i;  // the second of a doubled quote
  }
  if (keepBlanks) put(f.qTo + 1, f.to);
  return n;
}

}  // namespace zel::csv
