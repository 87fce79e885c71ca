// The error variables that describe a handled error to the script.
#include "errors/errvars.h"

#include <cstring>

#include "errors/errinfo.h"
#include "errors/messages.h"
#include "errors/place.h"
#include "expr/eval.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::err {
namespace {

constexpr char kArrayName[] = "zlerrorarray";
constexpr char kCancelText[] = "Cancel";
constexpr char kCancelInfo[] = "User pressed Cancel";
constexpr uint32_t kNoAssignment = ~0u;

// Everything the variables say, gathered once.
struct Description {
  int32_t number;
  const char* line;
  uint32_t offset;
  char assignment[kVarNameSize + 1];
  Place place;
  char text[kWorkBuf];
  char info[kErrorInfoSize];
  const char* segment;
};

// The name of the variable that the failing statement assigns to, "" when
// none was recorded or its frame is gone.
void AssignmentName(ScriptContext* ctx, char* out) {
  out[0] = 0;
  uint32_t target = ctx->assignTarget;
  if (target == kNoAssignment) return;
  uint32_t frame = target >> 16, slot = target & 0xffff;
  if (frame >= kVarFrames || !ctx->frames[frame].table) return;
  bool current = frame == ctx->frameNumber;
  uint32_t capacity = current ? ctx->varCapacity : ctx->frames[frame].capacity;
  if (slot >= capacity) return;
  HGLOBAL table = current ? ctx->varTable : ctx->frames[frame].table;
  auto* records = static_cast<const VarRecord*>(GlobalLock(table));
  if (!records) return;
  memcpy(out, records[slot].name, kVarNameSize);
  out[kVarNameSize] = 0;
  GlobalUnlock(table);
}

void Describe(ScriptContext* ctx, uint16_t number, const char* line, Description* d) {
  bool cancel = number == kCancel;
  d->number = StandsForAnother(number) ? static_cast<int32_t>(ctx->substitutedError) : number;
  d->line = line ? line : "";
  LocateFailure(ctx, &d->place);
  d->offset = ctx->errorOffset;
  AssignmentName(ctx, d->assignment);
  if (cancel)
    lstrcpynA(d->text, kCancelText, sizeof d->text);
  else if (HasCustomText(number))
    lstrcpynA(d->text, ctx->customErrorText, sizeof d->text);
  else
    msg::Load(ctx, number, d->text, sizeof d->text);
  if (cancel)
    lstrcpynA(d->info, kCancelInfo, sizeof d->info);
  else
    CopyErrorInfo(ctx, d->info, sizeof d->info);
  d->segment = RunningUdfName(ctx);
}

// Element setters: a fresh heap block for a text; one that cannot be had
// leaves the element unassigned.
void SetInt(ElementCell* e, int32_t n) {
  val::InitCell(&e->v, n);
}
void SetString(ScriptContext* ctx, ElementCell* e, const char* text) {
  uint32_t off = heap::StoreText(ctx, text, strlen(text));
  if (!off) return;
  val::InitCell(&e->v, 0);
  e->v.flags = kFlagString;
  e->v.str = off;
}

// A fresh zlerrorarray in the current frame.
void StoreArray(ScriptContext* ctx, const Description& d) {
  Value cell;
  val::InitValue(&cell, 0);
  const int32_t sizes[1] = {kErrorElements};
  if (arr::Create(ctx, &cell, sizes, 1, 0) != 1) return;
  ElementCell* e = arr::Elements(arr::BlockOf(&cell));
  SetInt(&e[kElemNumber], d.number);
  SetString(ctx, &e[kElemLine], d.line);
  SetInt(&e[kElemOffset], static_cast<int32_t>(d.offset));
  SetString(ctx, &e[kElemAssignment], d.assignment);
  SetString(ctx, &e[kElemFile], d.place.loc.path);
  SetString(ctx, &e[kElemText], d.text);
  SetString(ctx, &e[kElemInfo], d.info);
  SetString(ctx, &e[kElemSegment], d.segment);
  SetInt(&e[kElemLineNumber], d.place.known ? static_cast<int32_t>(d.place.loc.line) : 0);
  SetInt(&e[kElemBodyLine], static_cast<int32_t>(d.place.loc.bodyLine));
  SetInt(&e[kElemTag], d.place.tag);
  SetInt(&e[kElemResult], 0);
  // The variable takes its own reference; a block no variable took is
  // disposed of after the statement like any other.
  vars::Define(ctx, kArrayName, &cell);
}

void DefineText(ScriptContext* ctx, const char* name, const char* text) {
  Value v;
  val::InitValue(&v, 0);
  expr::SetText(ctx, &v, text);
  if (v.flags & kFlagString) vars::Define(ctx, name, &v);
  expr::ResetValue(ctx, &v, 0);
}

void DefineInt(ScriptContext* ctx, const char* name, int32_t n) {
  ValueCell c;
  val::InitCell(&c, n);
  vars::Define(ctx, name, &c);
}

}  // namespace

void SetErrorVariables(ScriptContext* ctx, uint16_t number, const char* line, bool arrayOnly) {
  if (!ctx->vars) return;
  uint16_t saved = ctx->error;
  ctx->error = 0;
  auto* d = static_cast<Description*>(HeapAlloc(GetProcessHeap(), 0, sizeof(Description)));
  if (d) {
    Describe(ctx, number, line, d);
    StoreArray(ctx, *d);
    if (!arrayOnly) {
      DefineText(ctx, "zlerrorhandlerline", d->line);
      DefineInt(ctx, "zlerrorhandleroffset", static_cast<int32_t>(d->offset));
      DefineText(ctx, "zlerrorhandlerassignment", d->assignment);
      DefineText(ctx, "zlerrorhandlerfile", d->place.loc.path);
      DefineText(ctx, "zlerrortextstring", d->text);
      DefineText(ctx, "zlerroradditionalinfo", d->info);
      DefineText(ctx, "zlerrorinsegment", d->segment);
      DefineInt(ctx, "zlerrorhandlerlinenumber",
               d->place.known ? static_cast<int32_t>(d->place.loc.line) : 0);
    }
    HeapFree(GetProcessHeap(), 0, d);
  }
  ctx->error = saved;
}

bool ErrorElement(ScriptContext* ctx, uint32_t index, Value* out) {
  if (!ctx->vars) return false;
  uint16_t slot = vars::Lookup(ctx, kArrayName);
  if (slot == vars::kNoSlot) return false;
  const ValueCell& v = ctx->vars[slot].v;
  if (!(v.flags & kFlagArray) || !v.str) return false;
  ArrayBlock* b = arr::BlockOf(&v);
  if (index >= b->count || !b->data) return false;
  const ElementCell& e = arr::Elements(b)[index];
  if (!vars::IsDefined(e.v)) return false;
  return val::CopyValue(ctx, &e.v, out, true, false);
}

}  // namespace zel::err
