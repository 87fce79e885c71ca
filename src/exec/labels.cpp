// Label search (finds ":label" lines by reading the running text from its
// start) and the in-place rewrite that turns a GoTo or GoSub into a direct jump.
#include <cstring>

#include "errors/errinfo.h"
#include "exec/exec.h"
#include "script/scramble.h"
#include "script/script.h"

namespace zel::exec {
namespace {

constexpr size_t kLabelMax = 256;
constexpr uint8_t kRewrittenGosub = 158;
constexpr uint8_t kRewrittenGoto = 159;
constexpr uint32_t kMaxJumpTarget = 1u << 24;  // positions a rewritten line can hold

bool StartsWithWord(const char* line, const char* word) {
  size_t n = strlen(word);
  return _strnicmp(line, word, n) == 0;
}

// True when `line` is ":" + label followed by a blank, ";" or the end.
bool IsLabelLine(const char* line, const char* upperLabel, size_t n) {
  if (line[0] != ':') return false;
  char head[kLabelMax + 2];
  size_t i = 0;
  for (; i < n + 1 && line[1 + i]; ++i) head[i] = line[1 + i];
  head[i] = 0;
  CharUpperBuffA(head, static_cast<DWORD>(i));
  if (i < n || memcmp(head, upperLabel, n) != 0) return false;
  char after = line[1 + n];
  return after == 0 || after == ' ' || after == '\t' || after == ';';
}

// Rewrites the statement at `stmtPos` into a jump to `target`: its first byte
// becomes 159 (GoTo) or 158 (GoSub), the next four hold the target six bits at
// a time, each plus 64, all stored scrambled for their positions.
void RewriteJump(ScriptContext* ctx, Run* run, uint32_t stmtPos, uint32_t target) {
  if (stmtPos + 5 > run->len || target >= kMaxJumpTarget) return;
  uint8_t* p = run->text + stmtPos;
  uint32_t base = ctx->bodyBase + stmtPos;
  uint8_t first = scramble::Decode(p[0], base);
  uint8_t third = scramble::Decode(p[2], base + 2);
  if (first != 'G' && first != 'g') return;
  uint8_t bytes[5];
  bytes[0] = (third == 'T' || third == 't') ? kRewrittenGoto : kRewrittenGosub;
  for (int i = 0; i < 4; ++i) bytes[1 + i] = static_cast<uint8_t>(((target >> (18 - 6 * i)) & 63) + 64);
  for (uint32_t i = 0; i < 5; ++i) p[i] = scramble::Encode(bytes[i], base + i);
}

}  // namespace

bool SearchLabel(ScriptContext* ctx, Run* run, const char* label, uint32_t stmtPos, bool noRewrite) {
  char upper[kLabelMax + 1];
  size_t n = strlen(label);
  if (n > kLabelMax) n = kLabelMax;
  memcpy(upper, label, n);
  upper[n] = 0;
  CharUpperBuffA(upper, static_cast<DWORD>(n));
  uint16_t savedDeferred = ctx->deferredLineError;
  uint32_t pos = 0, start = 0;
  bool inDefinition = false, found = false;
  while (script::ReadLineInto(ctx, run->text, run->len, &pos, &start, ctx->labelLine)) {
    const char* line = ctx->labelLine;
    if (line[0] == '#') {
      if (StartsWithWord(line, "#DefineFunction") || StartsWithWord(line, "#DefineSubroutine"))
        inDefinition = true;
      else if (StartsWithWord(line, "#EndFunction") || StartsWithWord(line, "#EndSubroutine"))
        inDefinition = false;
      continue;
    }
    if (!inDefinition && IsLabelLine(line, upper, n)) {
      found = true;
      break;
    }
  }
  ctx->deferredLineError = savedDeferred;  // lines read here are not being executed
  if (!found) {
    err::Raise(ctx, 3033);
    return false;
  }
  if (!noRewrite) RewriteJump(ctx, run, stmtPos, start);
  run->pos = start;
  return true;
}

}  // namespace zel::exec
