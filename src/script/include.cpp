// #include merging (recursive, in one pass over each text) and marker lines.
#include "script/include.h"

#include <cstring>

#include "lexer/chars.h"
#include "script/failure.h"
#include "script/paths.h"
#include "script/textform.h"

namespace zel::script {
namespace {

enum class Fail { kNone, kMemory, kNesting, kFile };

// Lines after which the merger writes a marker line.
enum class Keyword { kNone, kInclude, kDefinition };

constexpr size_t kFirstOutput = 4096;       // first size of the merged text's block
constexpr size_t kMaxMerged = 0x7ffffffe;   // bytes of merged text, terminator included

// The merged text as it grows.
struct Output {
  TextBlock block;
  size_t len = 0;

  bool Put(const char* p, size_t n) {
    if (n > kMaxMerged - len) return false;
    if (len + n + 1 > block.size()) {
      size_t want = block.size() * 2;
      if (want < len + n + 1) want = len + n + 1;
      if (want < kFirstOutput) want = kFirstOutput;
      if (!(block.data() ? block.Reserve(want) : block.Alloc(want))) return false;
    }
    memcpy(block.data() + len, p, n);
    len += n;
    return true;
  }
  bool EndsLine() const { return len == 0 || block.data()[len - 1] == '\n'; }
};

struct Merge {
  Merge(ScriptContext* c, const char* base) : ctx(c), baseFolder(base) {}
  ScriptContext* ctx;
  const char* baseFolder;
  Output out;
  Fail fail = Fail::kNone;
  char name[kMaxPathLen] = "";  // the #include name that failed

  bool Failed(Fail why) {
    fail = why;
    return false;
  }
  bool FailedName(const char* p, size_t n) {
    if (n >= sizeof name) n = sizeof name - 1;
    memcpy(name, p, n);
    name[n] = 0;
    return Failed(Fail::kFile);
  }
  bool Put(const char* p, size_t n) { return out.Put(p, n) || Failed(Fail::kMemory); }
};

bool StartsWithNoCase(const char* p, const char* end, const char* word) {
  for (; *word; ++p, ++word) {
    if (p == end || lex::LowerAscii(*p) != *word) return false;
  }
  return true;
}

Keyword KeywordOf(const char* p, const char* end) {
  if (StartsWithNoCase(p, end, "#include")) return Keyword::kInclude;
  if (StartsWithNoCase(p, end, "#definefunction") || StartsWithNoCase(p, end, "#definesubroutine"))
    return Keyword::kDefinition;
  return Keyword::kNone;
}

// Text that begins (after one optional space) with ";" and byte 11, or ";",
// byte 12 and a byte other than "@", has been merged before.
bool AlreadyMerged(const char* t, uint32_t len) {
  uint32_t i = len > 0 && t[0] == ' ' ? 1 : 0;
  if (len < i + 2 || t[i] != ';') return false;
  if (t[i + 1] == kMarkerTag) return true;
  return t[i + 1] == 12 && len >= i + 3 && t[i + 2] != '@';
}

// Kind of source for the marker flag: 0 for text that begins with ";",
// byte 12, "@", else 1.
uint8_t SourceKind(const char* t, uint32_t len) {
  uint32_t i = len > 0 && t[0] == ' ' ? 1 : 0;
  return len >= i + 3 && t[i] == ';' && t[i + 1] == 12 && t[i + 2] == '@' ? 0 : 1;
}

bool PutMarker(Merge* m, const char* path, uint32_t line, uint8_t kind) {
  if (line > kMarkerMaxLine) line = kMarkerMaxLine;
  char head[kMarkerHead] = {';', kMarkerTag, static_cast<char>(kMarkerFlagBase + kind), '@'};
  for (int i = 0; i < 4; ++i)
    head[4 + i] = static_cast<char>(kMarkerFlagBase + ((line >> (18 - 6 * i)) & 63));
  return m->Put(head, sizeof head) && m->Put(path, strlen(path)) && m->Put("\n", 1);
}

bool MergeText(Merge* m, char* text, uint32_t len, const char* path, int depth);

// Reads the named file into `block`, NUL-terminated, as ANSI text.
bool ReadInclude(Merge* m, HANDLE file, TextBlock* block, uint32_t* len, const char* name) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size) || size.QuadPart >= 0x7fffffff)
    return m->FailedName(name, strlen(name));
  DWORD want = static_cast<DWORD>(size.QuadPart);
  if (!block->Alloc(want + 1)) return m->Failed(Fail::kMemory);
  DWORD got = 0;
  if (!ReadFile(file, block->data(), want, &got, nullptr) || got != want)
    return m->FailedName(name, strlen(name));
  block->data()[want] = 0;
  *len = want;
  if (!ConvertToAnsi(m->ctx, block, len)) return m->FailedName(name, strlen(name));
  return true;
}

// Merges the file named after "#include" and its blank, in [p, end), into
// the output in place of the line.
bool MergeFile(Merge* m, const char* p, const char* end, int depth) {
  while (p < end && lex::IsBlank(*p)) ++p;
  const char* stop;
  if (p < end && (*p == '"' || *p == '\'' || *p == '`')) {
    char quote = *p++;
    stop = static_cast<const char*>(memchr(p, quote, static_cast<size_t>(end - p)));
    if (!stop) {  // no closing quote: the rest of the line names the file
      while (end > p && lex::IsBlank(end[-1])) --end;
      return m->FailedName(p, static_cast<size_t>(end - p));
    }
  } else {
    stop = end;
    while (stop > p && lex::IsBlank(stop[-1])) --stop;
  }
  size_t n = static_cast<size_t>(stop - p);
  if (n >= static_cast<size_t>(kMaxPathLen)) return m->FailedName(p, n);
  char name[kMaxPathLen];
  memcpy(name, p, n);
  name[n] = 0;

  char found[kMaxPathLen];
  HANDLE file = OpenIncludeFile(m->ctx, name, m->baseFolder, found);
  if (file == INVALID_HANDLE_VALUE) return m->FailedName(name, n);
  TextBlock block;
  uint32_t len = 0;
  bool read = ReadInclude(m, file, &block, &len, name);
  CloseHandle(file);
  if (!read) return false;
  if (!MergeText(m, block.data(), len, found, depth + 1)) return false;
  return m->out.EndsLine() || m->Put("\n", 1);
}

bool MergeText(Merge* m, char* text, uint32_t len, const char* path, int depth) {
  if (depth >= kIncludeDepth) return m->Failed(Fail::kNesting);
  if (AlreadyMerged(text, len)) return m->Put(text, len);
  NormaliseLineEnds(text, len);
  uint8_t kind = SourceKind(text, len);
  if (!PutMarker(m, path, 1, kind)) return false;
  const char* end = text + len;
  uint32_t line = 1;
  for (const char* s = text; s < end;) {
    const char* lf = static_cast<const char*>(memchr(s, '\n', static_cast<size_t>(end - s)));
    const char* e = lf ? lf : end;
    const char* b = s;
    while (b < e && lex::IsBlank(*b)) ++b;
    if (e - b >= 2 && b[0] == ';' && b[1] == kMarkerTag) {  // a marker line is copied, not counted
      if (!m->Put(s, static_cast<size_t>(e - s) + (lf ? 1 : 0))) return false;
      s = lf ? lf + 1 : end;
      continue;
    }
    Keyword kw = KeywordOf(b, e);
    constexpr size_t kIncludeLen = 8;  // "#include"
    if (kw == Keyword::kInclude && e - b > static_cast<ptrdiff_t>(kIncludeLen) &&
        lex::IsBlank(b[kIncludeLen])) {
      // The whole line gives way to the file's merged text.
      if (!MergeFile(m, b + kIncludeLen + 1, e, depth)) return false;
    } else {
      if (!m->Put(s, static_cast<size_t>(e - s) + (lf ? 1 : 0))) return false;
      // A marker after a last line without its line feed needs one.
      if (kw != Keyword::kNone && !lf && !m->Put("\n", 1)) return false;
    }
    ++line;
    if (kw != Keyword::kNone && !PutMarker(m, path, line, kind)) return false;
    s = lf ? lf + 1 : end;
  }
  return true;
}

}  // namespace

bool MergeIncludes(ScriptContext* ctx, char* text, uint32_t len, const char* path,
                   const char* baseFolder, TextBlock* out, uint32_t* outLen) {
  Merge m(ctx, baseFolder);
  bool ok = MergeText(&m, text, len, path, 0) && m.Put("", 1);  // the terminator
  if (!ok) {
    switch (m.fail) {
      case Fail::kNesting: ReportMessage(ctx, kMsgIncludeTooDeep); break;
      case Fail::kFile: ReportNamed(ctx, kMsgIncludeFailed, m.name); break;
      default: ReportMessage(ctx, kMsgNoWorkBuffer); break;
    }
    return false;
  }
  *outLen = static_cast<uint32_t>(m.out.len - 1);
  out->Take(&m.out.block);
  return true;
}

}  // namespace zel::script
