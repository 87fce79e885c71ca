// Statement executor (classifies a statement by its first token: a structure
// keyword, a command word, or an expression).
#include <cstdio>
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "exec/exec.h"
#include "exec/pump.h"
#include "expr/eval.h"
#include "extender/hostcall.h"
#include "lexer/tokenizer.h"
#include "values/convert.h"

namespace zel::exec {
namespace {

constexpr uint8_t kRewrittenGosub = 158;
constexpr uint8_t kRewrittenGoto = 159;
constexpr int kExecuteQuiet = 2;     // Execute report mode: clear errors silently
constexpr int kExecuteOkOnly = 1;    // Execute report mode: OK button alone

// The position a rewritten jump holds: four bytes, six bits each, plus 64.
uint32_t RewrittenTarget(const char* p) {
  uint32_t n = 0;
  for (int i = 1; i <= 4; ++i) n = n << 6 | ((static_cast<uint8_t>(p[i]) - 64) & 63);
  return n;
}

int RewrittenJump(ScriptContext* ctx, Run* run, const char* stmt) {
  if (Skipping(ctx)) return kGoOn;
  if (static_cast<uint8_t>(stmt[0]) == kRewrittenGosub) {
    static const uint16_t kKinds[3] = {kFrameGosubFalse, kFrameGosubTrue, kFrameGosubNone};
    uint16_t kind = kKinds[ctx->pendingElse == 1 ? 1 : ctx->pendingElse == 0 ? 0 : 2];
    ctx->pendingElse = -1;
    StructFrame* f = Push(ctx, kind, 0, run->pos, run->lineStart);
    if (!f) return kStop;
    f->savedLoop = ctx->inLoop;
    ctx->inLoop = 0;
  }
  run->pos = RewrittenTarget(stmt);
  return kGoOn;
}

// The label of GoTo and GoSub: a bare word and nothing after it.
bool ReadLabel(ScriptContext* ctx, char* label, size_t size) {
  lex::GetStringToken(ctx);
  if (ctx->error) {
    if (ctx->error == 3054) ctx->error = 3073;
    return false;
  }
  if (ctx->tokenKind == lex::kTokEnd) {
    err::Raise(ctx, 3071);
    return false;
  }
  size_t n = strlen(ctx->tokenText);
  if (n >= size) n = size - 1;
  memcpy(label, ctx->tokenText, n);
  label[n] = 0;
  return true;
}

uint32_t StatementPosition(ScriptContext* ctx, const Run* run, const char* stmt) {
  return run->lineStart + static_cast<uint32_t>(stmt - ctx->lineBuf);
}

int Goto(ScriptContext* ctx, Run* run, const char* stmt, bool substituted) {
  if (Skipping(ctx)) return kGoOn;
  // Jumping out of a ForEach would leave its enumeration behind.
  for (int i = ctx->structDepth - 1; i >= 0; --i) {
    uint16_t kind = ctx->structs[i].kind;
    if (kind == kFrameUdf) break;
    if (kind == kFrameForEach) {
      err::Raise(ctx, 1725);
      return kStop;
    }
  }
  char label[kWorkBuf];
  if (!ReadLabel(ctx, label, sizeof label)) return kStop;
  return SearchLabel(ctx, run, label, StatementPosition(ctx, run, stmt), substituted) ? kGoOn : kStop;
}

int Execute(ScriptContext* ctx, Value* result, Run* run) {
  const char* p = ctx->prog;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == 0 || *p == ';') return kGoOn;
  uint32_t saved = ctx->inExecute;
  ctx->inExecute = 1;
  int r = ExecStatement(ctx, result, run, p, true);
  ctx->inExecute = saved;
  uint16_t e = ctx->error;
  bool reportable = (e && e < 9000) || e == 9013 || e == 9015 || e == 9016;
  if (!reportable) return r;
  int mode = ctx->executeReportMode;
  if (mode == kExecuteQuiet) {
    ctx->error = 0;
    return kGoOn;
  }
  char text[kWorkBuf], caption[kWorkBuf];
  msg::Load(ctx, e, text, sizeof text);
  snprintf(caption, sizeof caption, "EXECUTE::%s", text);
  UINT buttons = mode == kExecuteOkOnly ? MB_OK : MB_OKCANCEL;
  int answer = MessageBoxA(ctx->hostWindow, p, caption, buttons | MB_ICONEXCLAMATION | MB_TASKMODAL);
  if (answer == IDCANCEL && mode != kExecuteOkOnly) {
    ctx->error = 9013;
    return kStop;
  }
  ctx->error = 0;
  return kGoOn;
}

// A command of the host's table: the rest of the line goes to the host.
int HostCommand(ScriptContext* ctx, Value* result, int id) {
  const char* texts[5] = {ctx->prog, nullptr, nullptr, nullptr, nullptr};
  while (*texts[0] == ' ' || *texts[0] == '\t') ++texts[0];
  ext::CallHostTexts(ctx, id, result, texts);
  return ctx->error ? kStop : kGoOn;
}

int Command(ScriptContext* ctx, Value* result, Run* run, const char* stmt, int id, bool substituted) {
  if (id == kIdGoto) return Goto(ctx, run, stmt, substituted);
  if (Skipping(ctx)) return kGoOn;
  if (id >= kHostIdBase && id <= kHostIdLast) return HostCommand(ctx, result, id);
  switch (id) {
    case kIdBeep:
      MessageBeep(MB_OK);
      MessageBeep(0xFFFFFFFF);
      return kGoOn;
    case kIdExit:
      ctx->pendingElse = -1;
      err::Raise(ctx, 9000);
      return kStop;
    case kIdYield: PumpMessages(ctx); return kGoOn;
    case kIdExecute: return Execute(ctx, result, run);
    default:
      err::Raise(ctx, 3352);
      return kStop;
  }
}

int Expression(ScriptContext* ctx, Value* result, bool throughPointer) {
  if (Skipping(ctx)) return kGoOn;
  expr::Evaluate(ctx, result, true, throughPointer);
  if (ctx->error) return kStop;
  if (ctx->tokenKind != lex::kTokEnd) {
    err::RaiseWithDetail(ctx, 3074, 9505);
    return kStop;
  }
  return kGoOn;
}

}  // namespace

int ExecStatement(ScriptContext* ctx, Value* result, Run* run, const char* stmt, bool substituted) {
  ctx->lineStart = run->lineStart;
  ctx->scriptHandle = run->script;
  uint8_t first = static_cast<uint8_t>(stmt[0]);
  if (first == kRewrittenGosub || first == kRewrittenGoto) return RewrittenJump(ctx, run, stmt);
  bool throughPointer = first == '*';
  lex::SetLine(ctx, throughPointer ? stmt + 1 : stmt);
  if (throughPointer) ctx->noCreate = 1;
  lex::GetToken(ctx);
  if (ctx->error) {
    if (!Skipping(ctx)) return kStop;
    ctx->error = 0;
    return kGoOn;
  }
  if (ctx->tokenKind == lex::kTokEnd) {
    if (Skipping(ctx)) return kGoOn;
    err::Raise(ctx, 3071);
    return kStop;
  }
  if (ctx->tokenKind == lex::kTokKeyword && !throughPointer) {
    int id = ctx->tokenCode;
    uint32_t kind = fn::KindOf(ctx, id) & ~KIND_NOT_AVAILABLE;
    if (kind == KIND_STRUCTURE) return StructureKeyword(ctx, result, run, stmt, id, substituted);
    if (kind == KIND_COMMAND) return Command(ctx, result, run, stmt, id, substituted);
  }
  return Expression(ctx, result, throughPointer);
}

}  // namespace zel::exec
