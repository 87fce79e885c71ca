// Array functions: making arrays (ArrDimension, Arrayize), inspecting and
// filling them (ArrInfo, ArrInitialize, ArraySwapElements), and arrays of a
// file's lines or CSV fields (ArrayFileGet, ArrayFileGetCSV, ArrayFilePut,
// ArrayFilePutCSV).
#include "builtins/arrays.h"

#include <cstring>

#include "builtins/csv.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "host/process.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/render.h"

namespace zel::calls {
namespace {

using txt::Text;

constexpr uint16_t kErrNotArray = 1641;
constexpr uint16_t kErrBadRequest = 1642;
constexpr uint16_t kErrEmpty = 1710;
constexpr uint16_t kErrNoData = 1637;
constexpr uint16_t kErrOpen = 1800;
constexpr uint16_t kErrRead = 1801;
constexpr uint16_t kErrWrite = 1802;
constexpr uint16_t kErrNullChar = 1803;
constexpr uint16_t kErrDims = 1805;
constexpr uint16_t kErrNulInFile = 1806;
constexpr uint16_t kErrCsvDelimiter = 1807;
constexpr uint16_t kErrCsvLine = 1808;
constexpr uint16_t kErrLineTooLong = 1591;

constexpr size_t kWriteChunk = 64 * 1024;  // bytes gathered before a write to the file

ArrayBlock* BlockArg(const Value& v) { return arr::BlockOf(&v); }

// An array argument with elements: false with 1710 (empty) or 1637 (no storage).
bool HasElements(ScriptContext* ctx, const ArrayBlock* b) {
  uint16_t e = b && b->dims == 0 ? kErrEmpty : !b || !b->data ? kErrNoData : 0;
  if (e) err::Raise(ctx, e);
  return e == 0;
}

// A one-dimensional array of `count` elements in the result.
bool NewList(ScriptContext* ctx, Value* r, uint32_t count) {
  int32_t size = static_cast<int32_t>(count);
  if (count > INT32_MAX) size = -1;  // too many for a dimension: reported as such
  return arr::Create(ctx, r, &size, 1, 0) >= 0;
}

// Stores `len` bytes of text into the element as its string; 3096 on a full heap.
bool StoreString(ScriptContext* ctx, ElementCell* e, const char* text, size_t len) {
  uint32_t off = heap::StoreText(ctx, text, len);
  if (!off) return false;
  val::FreeValue(ctx, &e->v, val::kElementCell);
  val::InitCell(&e->v, 0);
  e->v.str = off;
  e->v.flags = kFlagString;
  return true;
}

// ---- ArrDimension, ArrInfo, ArrInitialize, Arrayize, ArraySwapElements

void ArrDimension(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  int32_t sizes[kMaxDims] = {};
  for (int k = 0; k < argc && k < kMaxDims; ++k) sizes[k] = args[k + 1].ival;
  arr::Create(ctx, r, sizes, argc, 0);
}

void ArrInfo(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t request = args[2].ival;
  if (!(args[1].flags & kFlagArray)) {
    if (request == -1) return;  // the result is already 0: not an array
    return err::Raise(ctx, kErrNotArray);
  }
  const ArrayBlock* b = BlockArg(args[1]);
  if (!b) return err::Raise(ctx, kErrNoData);
  if (request == -1)
    r->ival = 1;
  else if (request == 0)
    r->ival = b->dims;
  else if (request >= 1 && request <= kMaxDims)
    r->ival = b->sizes[request - 1];
  else if (request == kMaxDims + 1)
    r->ival = static_cast<int32_t>(b->count);
  else
    err::Raise(ctx, kErrBadRequest);
}

// What ArrInitialize stores in every element, by the value's flags.
enum class Fill { kNone, kInt, kFloat, kString, kWide };

Fill FillOf(uint32_t flags) {
  bool wide = (flags & kFlagUnicode) != 0;
  uint32_t f = flags & ~kFlagUnicode;
  if ((f & kFlagInt) && !(f & ~(kFlagInt | kFlagString | kFlagFloat))) return Fill::kInt;
  if ((f & kFlagFloat) && !(f & ~(kFlagFloat | kFlagString))) return Fill::kFloat;
  if (f == kFlagString || (f == 0 && wide)) return wide ? Fill::kWide : Fill::kString;
  return Fill::kNone;
}

void ArrInitialize(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  ArrayBlock* b = BlockArg(args[1]);
  if (!HasElements(ctx, b)) return;
  const Value& v = args[2];
  Fill fill = FillOf(v.flags);
  if (fill == Fill::kNone) return err::Raise(ctx, 1671);
  const char* text = fill == Fill::kString ? heap::At(ctx, static_cast<uint32_t>(v.str)) : nullptr;
  const wchar_t* wide = fill == Fill::kWide ? heap::WideAt(ctx, v.wstr) : nullptr;
  ElementCell* e = arr::Elements(b);
  for (uint32_t i = 0; i < b->count; ++i) {
    ValueCell& c = e[i].v;
    val::FreeValue(ctx, &c, val::kElementCell);
    val::InitCell(&c, 0);
    if (fill == Fill::kInt) {
      c.ival = v.ival;
    } else if (fill == Fill::kFloat) {
      c.fval = v.fval;
      c.flags = kFlagFloat;
    } else if (fill == Fill::kString) {
      c.str = heap::StoreText(ctx, text ? text : "", text ? strlen(text) : 0);
      if (!c.str) return;  // 3096; the elements before this one are set
      c.flags = kFlagString;
    } else {
      c.wstr = heap::StoreWide(ctx, wide ? wide : L"", wide ? wcslen(wide) : 0);
      if (!c.wstr) return;
      c.flags = kFlagUnicode;
    }
  }
  r->ival = 1;
}

void Arrayize(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  txt::LeadBytes lb;
  txt::ReadCodePageLeads(ctx, &lb);
  Text<char> d;
  if (!txt::ItemDelimiter(ctx, lb, txt::Arg<char>(ctx, args[2]), &d)) return;
  Text<char> list = txt::Arg<char>(ctx, args[1]);
  uint32_t count = 0;
  for (size_t from = 0; list.len > 0; from += d.len) {
    ++count;
    from = txt::ItemEnd(lb, list, from, d);
    if (from == list.len) break;
  }
  if (!NewList(ctx, r, count)) return;
  ElementCell* e = arr::Elements(BlockArg(*r));
  size_t from = 0;
  for (uint32_t i = 0; i < count; ++i) {
    size_t to = txt::ItemEnd(lb, list, from, d);
    if (!StoreString(ctx, &e[i], list.p + from, to - from)) return;
    from = to + d.len;
  }
}

// The linear index of five subscripts over the array's own dimensions (the
// extra ones ignored), or -1 when it falls outside the array.
int64_t SwapIndex(const ArrayBlock* b, const Value* subs) {
  int64_t index = 0;
  for (int k = 0; k < b->dims; ++k) index = index * b->sizes[k] + subs[k].ival;
  return index >= 0 && index < static_cast<int64_t>(b->count) ? index : -1;
}

void ArraySwapElements(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  ArrayBlock* b = BlockArg(args[1]);
  if (!HasElements(ctx, b)) return;
  int64_t i = SwapIndex(b, &args[2]);
  int64_t j = SwapIndex(b, &args[2 + kMaxDims]);
  if (i < 0 || j < 0) return err::Raise(ctx, 1636);
  ElementCell* e = arr::Elements(b);
  ElementCell t = e[i];  // the cells change places as they are: no payload is copied
  e[i] = e[j];
  e[j] = t;
  r->ival = 1;
}

// ---- files

// Opens the file that a text argument names: for reading an existing file,
// or created anew for writing. INVALID_HANDLE_VALUE on failure.
HANDLE OpenArgFile(ScriptContext* ctx, const Value& name, bool write) {
  DWORD access = write ? GENERIC_WRITE : GENERIC_READ;
  DWORD share = static_cast<DWORD>(write ? ctx->fileShareWrite : ctx->fileShareRead);
  DWORD how = write ? CREATE_ALWAYS : OPEN_EXISTING;
  if ((name.flags & kFlagUnicode) && UnicodeSwitch()) {
    const wchar_t* w = heap::WideAt(ctx, name.wstr);
    return CreateFileW(w ? w : L"", access, share, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  return CreateFileA(ArgText(ctx, name), access, share, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (ok()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// What the line reader does with a NUL byte.
enum class Nul { kError, kDrop, kReplace };

// Reads the lines of a file: a line ends at a line feed, carriage returns
// are dropped wherever they stand, and a last line without a line feed
// counts when it is not empty. `onLine(text, len)` sees each line and returns
// false (with the error set) to stop. A line may hold the line-length
// setting's bytes (the file's size when it is below 1); a longer one is 1591.
template <typename OnLine>
bool ReadLines(ScriptContext* ctx, const Value& name, Nul nul, char nulChar, OnLine onLine) {
  FileHandle f(OpenArgFile(ctx, name, false));
  if (!f.ok()) {
    err::Raise(ctx, kErrOpen);
    return false;
  }
  LARGE_INTEGER fileSize;
  if (!GetFileSizeEx(f.get(), &fileSize)) {
    err::Raise(ctx, kErrRead);
    return false;
  }
  size_t limit = ctx->fileReadBuffer >= 1 ? static_cast<size_t>(ctx->fileReadBuffer)
                                          : static_cast<size_t>(fileSize.QuadPart);
  size_t chunkSize = limit ? limit : 1;
  txt::WorkMemory chunkMem, lineMem;
  if (!chunkMem.Get(ctx, chunkSize) || !lineMem.Get(ctx, limit + 1)) return false;
  char* chunk = chunkMem.As<char>();
  char* line = lineMem.As<char>();
  size_t len = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f.get(), chunk, static_cast<DWORD>(chunkSize), &got, nullptr)) {
      err::Raise(ctx, kErrRead);
      return false;
    }
    if (got == 0) break;
    for (DWORD i = 0; i < got; ++i) {
      char c = chunk[i];
      if (c == '\n') {
        line[len] = 0;
        if (!onLine(line, len)) return false;
        len = 0;
        continue;
      }
      if (c == '\r') continue;
      if (c == 0) {
        if (nul == Nul::kError) {
          err::Raise(ctx, kErrNulInFile);
          return false;
        }
        if (nul == Nul::kDrop) continue;
        c = nulChar;
      }
      if (len == limit) {
        err::Raise(ctx, kErrLineTooLong);
        return false;
      }
      line[len++] = c;
    }
  }
  if (len == 0) return true;
  line[len] = 0;
  return onLine(line, len);
}

void ArrayFileGet(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  Text<char> nulArg = txt::Arg<char>(ctx, args[2]);
  if (nulArg.len > 1) return err::Raise(ctx, kErrNullChar);
  Nul nul = nulArg.len ? Nul::kReplace : Nul::kDrop;
  char nulChar = nulArg.len ? nulArg.p[0] : 0;
  int64_t extra = argc >= 3 && args[3].ival > 0 ? args[3].ival : 0;
  uint32_t lines = 0;
  auto count = [&](const char*, size_t) {
    ++lines;
    return true;
  };
  if (!ReadLines(ctx, args[1], nul, nulChar, count)) return;
  int64_t total = lines + extra;
  if (!NewList(ctx, r, total > INT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total))) return;
  ElementCell* e = arr::Elements(BlockArg(*r));
  uint32_t n = 0;
  ReadLines(ctx, args[1], nul, nulChar, [&](const char* text, size_t len) {
    // The file may have grown since it was counted: its new lines are left out.
    return n >= lines || StoreString(ctx, &e[n++], text, len);
  });
}

// The CSV mode and delimiter of ArrayFileGetCSV and ArrayFilePutCSV.
struct CsvSetup {
  txt::LeadBytes lb;
  Text<char> d;
};

bool ReadCsvSetup(ScriptContext* ctx, const Value* args, int argc, CsvSetup* s) {
  txt::ReadCodePageLeads(ctx, &s->lb);
  return csv::CsvDelimiter(ctx, s->lb, args, argc, 3, kErrCsvDelimiter, &s->d);
}

void ArrayFileGetCsv(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  CsvSetup s;
  if (!ReadCsvSetup(ctx, args, argc, &s)) return;
  bool keepBlanks = (args[2].ival & 1) != 0;
  int64_t extraRows = argc >= 4 && args[4].ival > 0 ? args[4].ival : 0;
  int64_t extraCols = argc >= 5 && args[5].ival > 0 ? args[5].ival : 0;
  uint32_t lines = 0;
  int64_t width = 0;
  bool counted = ReadLines(ctx, args[1], Nul::kError, 0, [&](const char* text, size_t len) {
    csv::CsvField f;
    bool found;
    int64_t n = csv::WalkCsv(s.lb, Text<char>{text, len}, s.d, 0, &f, &found);
    if (n < 0) {
      err::Raise(ctx, kErrCsvLine);
      return false;
    }
    if (n > width) width = n;
    ++lines;
    return true;
  });
  if (!counted) return;
  // Lines without fields still make rows: the array is two-dimensional.
  if (lines && width == 0) width = 1;
  int64_t rows = lines + extraRows, cols = width + extraCols;
  int32_t sizes[2] = {rows > INT32_MAX ? -1 : static_cast<int32_t>(rows),
                      cols > INT32_MAX ? -1 : static_cast<int32_t>(cols)};
  if (arr::Create(ctx, r, sizes, 2, 0) <= 0) return;
  ArrayBlock* b = BlockArg(*r);
  ElementCell* e = arr::Elements(b);
  txt::WorkMemory field;
  uint32_t row = 0;
  ReadLines(ctx, args[1], Nul::kError, 0, [&](const char* text, size_t len) {
    if (row >= lines) return true;  // lines added since the count are left out
    Text<char> line{text, len};
    if (!field.Get(ctx, len + 1)) return false;
    ElementCell* cell = e + static_cast<size_t>(row) * static_cast<size_t>(cols);
    int64_t col = 0;
    bool last = len == 0;
    for (size_t from = 0; !last && col < width; ++col) {
      csv::CsvField f;
      if (!csv::ReadCsvField(s.lb, line, from, s.d, &f, &last)) {
        err::Raise(ctx, kErrCsvLine);
        return false;
      }
      size_t n = csv::FieldValue(line, s.d, f, keepBlanks, field.As<char>());
      if (!StoreString(ctx, &cell[col], field.As<char>(), n)) return false;
      from = f.to + s.d.len;
    }
    for (; col < width; ++col)
      if (!StoreString(ctx, &cell[col], "", 0)) return false;
    ++row;
    return true;
  });
}

// Gathers bytes for a file and writes them in chunks; counts what it wrote.
class FileWriter {
 public:
  FileWriter(ScriptContext* ctx, HANDLE f) : ctx_(ctx), f_(f) {}
  bool Start() { return buf_.Get(ctx_, kWriteChunk); }
  bool Put(const char* p, size_t n) {
    while (n > 0) {
      if (used_ == kWriteChunk && !Flush()) return false;
      size_t take = kWriteChunk - used_ < n ? kWriteChunk - used_ : n;
      memcpy(buf_.As<char>() + used_, p, take);
      used_ += take;
      p += take;
      n -= take;
    }
    return true;
  }
  bool Flush() {
    DWORD wrote = 0;
    if (used_ && (!WriteFile(f_, buf_.As<char>(), static_cast<DWORD>(used_), &wrote, nullptr) ||
                  wrote != used_)) {
      err::Raise(ctx_, kErrWrite);
      return false;
    }
    written_ += used_;
    used_ = 0;
    return true;
  }
  int64_t written() const { return written_; }

 private:
  ScriptContext* ctx_;
  HANDLE f_;
  txt::WorkMemory buf_;
  size_t used_ = 0;
  int64_t written_ = 0;
};

// The line terminator of the file-write setting: none, CR LF, LF, CR or tab.
const char* LineEnd(const ScriptContext* ctx) {
  static const char* const kEnds[] = {"", "\r\n", "\n", "\r", "\t"};
  int32_t i = ctx->fileLineEnd;
  return i >= 0 && i <= 4 ? kEnds[i] : kEnds[1];
}

// Writes an assigned element as text (a string as it is); 3056 when it has none.
bool PutCell(ScriptContext* ctx, FileWriter* w, const ValueCell& c, bool quoted) {
  const char* text;
  uint32_t made;
  if (!CellText(ctx, &c, &text, &made)) {
    if (!ctx->error) err::Raise(ctx, 3056);
    return false;
  }
  bool ok = true;
  const char* run = text;  // a quoted field doubles each of its quotes
  for (const char* p = text; ok; ++p) {
    if (*p && (*p != '"' || !quoted)) continue;
    ok = w->Put(run, static_cast<size_t>(p - run));
    if (!*p) break;
    ok = ok && w->Put("\"\"", 2);
    run = p + 1;
  }
  heap::Free(ctx, made);
  return ok;
}

// Runs `write` over a file created for the array file functions; the result
// is the number of bytes written.
template <typename WriteAll>
void WriteArrayFile(ScriptContext* ctx, Value* r, const Value& name, WriteAll writeAll) {
  FileHandle f(OpenArgFile(ctx, name, true));
  if (!f.ok()) return err::Raise(ctx, kErrOpen);
  FileWriter w(ctx, f.get());
  if (!w.Start() || !writeAll(&w) || !w.Flush()) return;
  r->ival = static_cast<int32_t>(w.written());
}

void ArrayFilePut(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  ArrayBlock* b = BlockArg(args[2]);
  if (!b || b->dims > 1) return err::Raise(ctx, kErrDims);
  bool writeEmpty = argc >= 3 && args[3].ival != 0;
  const char* end = LineEnd(ctx);
  WriteArrayFile(ctx, r, args[1], [&](FileWriter* w) {
    ElementCell* e = b->dims ? arr::Elements(b) : nullptr;
    for (uint32_t i = 0; e && i < b->count; ++i) {
      const ValueCell& c = e[i].v;
      if (c.flags == kFlagUndefined && !writeEmpty) continue;
      if (c.flags != kFlagUndefined && !PutCell(ctx, w, c, false)) return false;
      if (!w->Put(end, strlen(end))) return false;
    }
    return true;
  });
}

void ArrayFilePutCsv(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  CsvSetup s;
  if (!ReadCsvSetup(ctx, args, argc, &s)) return;
  ArrayBlock* b = BlockArg(args[2]);
  if (!b || (b->dims != 2 && b->dims != 0)) return err::Raise(ctx, kErrDims);
  bool writeEmpty = argc >= 4 && args[4].ival != 0;
  bool bare = argc >= 5 && (args[5].ival & 2) != 0;
  const char* end = LineEnd(ctx);
  WriteArrayFile(ctx, r, args[1], [&](FileWriter* w) {
    uint32_t rows = b->dims ? static_cast<uint32_t>(b->sizes[0]) : 0;
    uint32_t cols = b->dims ? static_cast<uint32_t>(b->sizes[1]) : 0;
    ElementCell* e = b->dims ? arr::Elements(b) : nullptr;
    for (uint32_t row = 0; row < rows; ++row) {
      const ElementCell* cell = e + static_cast<size_t>(row) * cols;
      bool any = writeEmpty;
      for (uint32_t c = 0; !any && c < cols; ++c) any = cell[c].v.flags != kFlagUndefined;
      if (!any) continue;
      if (!bare && !w->Put("\"", 1)) return false;
      for (uint32_t c = 0; c < cols; ++c) {
        if (c > 0) {
          bool ok = bare ? w->Put(s.d.p, s.d.len)
                         : w->Put("\"", 1) && w->Put(s.d.p, s.d.len) && w->Put("\"", 1);
          if (!ok) return false;
        }
        if (cell[c].v.flags != kFlagUndefined && !PutCell(ctx, w, cell[c].v, !bare)) return false;
      }
      if (!bare && !w->Put("\"", 1)) return false;
      if (!w->Put(end, strlen(end))) return false;
    }
    return true;
  });
}

}  // namespace

void RegisterArrays() {
  Register("arrdimension", ArrDimension);
  Register("arrinfo", ArrInfo);
  Register("arrinitialize", ArrInitialize);
  Register("arrayize", Arrayize);
  Register("arrayswapelements", ArraySwapElements);
  Register("arrayfileget", ArrayFileGet);
  Register("arrayfilegetcsv", ArrayFileGetCsv);
  Register("arrayfileput", ArrayFilePut);
  Register("arrayfileputcsv", ArrayFilePutCsv);
}

}  // namespace zel::calls
