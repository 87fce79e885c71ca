// Variable table (named variables of the current frame: lookup, creation,
// release, and access by name from outside the language).
#include "values/variables.h"

#include <cstdio>
#include <cstring>

#include "errors/errinfo.h"
#include "errors/messages.h"
#include "host/settings.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/render.h"

namespace zel::vars {
namespace {

constexpr int kFoldWrap = 5;  // after the last key byte, folding goes on from here

// True when the innermost open structure is being skipped: errors met there
// are not worth a report.
bool ReportsSuppressed(const ScriptContext* ctx) {
  return ctx->structDepth > 0 && ctx->structs[ctx->structDepth - 1].state != 0;
}

void ReportUninitialized(ScriptContext* ctx, const char* name) {
  settings::WriteIni("Error Reporting", "3052", name);
  char label[256];
  msg::Load(ctx, 880, label, sizeof label);
  char text[512];
  snprintf(text, sizeof text, "%s\n\n    %s", label, name);
  err::AddErrorInfo(ctx, text);
}

// Finds `lowerName` among the used slots; also reports the last free slot seen.
uint16_t Scan(const ScriptContext* ctx, const char* lowerName, uint16_t* lastFree) {
  if (lastFree) *lastFree = kNoSlot;
  if (!ctx->vars) return kNoSlot;
  uint16_t n = ctx->varInUse < ctx->varCapacity ? ctx->varInUse : ctx->varCapacity;
  for (uint16_t i = 0; i < n; ++i) {
    const VarRecord& r = ctx->vars[i];
    if (r.v.flags == kFlagUndefined) {
      if (lastFree) *lastFree = i;
      continue;
    }
    if (strcmp(r.name, lowerName) == 0) return i;
  }
  return kNoSlot;
}

// A slot for a new name: the last free slot seen, or a new one at the end.
// kNoSlot and 3097 when the count would reach the capacity.
uint16_t NewSlot(ScriptContext* ctx, uint16_t lastFree) {
  if (lastFree != kNoSlot) return lastFree;
  if (!ctx->vars || ctx->varInUse + 1 >= ctx->varCapacity) {
    err::Raise(ctx, 3097);
    return kNoSlot;
  }
  return ctx->varInUse++;
}

void SetName(VarRecord& r, const char* lowerName) {
  size_t n = strlen(lowerName);
  if (n > kVarNameSize) n = kVarNameSize;
  memcpy(r.name, lowerName, n);
  memset(r.name + n, 0, sizeof r.name - n);
  r.mark = 0;
}

}  // namespace

bool LowerName(const char* name, char out[kVarNameSize + 1]) {
  size_t n = strlen(name);
  if (n > kVarNameSize) return false;
  memcpy(out, name, n + 1);
  size_t from = static_cast<unsigned char>(out[0]) >= 0x80 ? 1 : 0;
  if (n > from) CharLowerBuffA(out + from, static_cast<DWORD>(n - from));
  return true;
}

void FoldName(const char* name, char out[kVarNameSize + 1]) {
  if (LowerName(name, out)) return;
  // Longer names: the first character lower-cased, then each further
  // character added into key bytes 1..29, wrapping back to byte 5.
  char lower[2] = {name[0], 0};
  LowerName(lower, out);
  memset(out + 1, 0, kVarNameSize);
  int pos = 1;
  for (const char* p = name + 1; *p; ++p) {
    char low[2] = {*p, 0};
    CharLowerBuffA(low, 1);
    out[pos] = static_cast<char>(static_cast<unsigned char>(out[pos]) +
                                 static_cast<unsigned char>(low[0]));
    if (++pos > kVarNameSize - 1) pos = kFoldWrap;
  }
  out[kVarNameSize] = 0;
}

uint16_t Lookup(const ScriptContext* ctx, const char* lowerName) {
  return Scan(ctx, lowerName, nullptr);
}

uint16_t FindVar(ScriptContext* ctx, const char* name, bool report) {
  char lower[kVarNameSize + 1];
  uint16_t slot = LowerName(name, lower) ? Lookup(ctx, lower) : kNoSlot;
  if (slot == kNoSlot) {
    err::Raise(ctx, 3051);
    return kNoSlot;
  }
  if (!IsDefined(ctx->vars[slot].v)) {
    err::Raise(ctx, 3052);
    if (report && !ReportsSuppressed(ctx)) ReportUninitialized(ctx, lower);
    return kNoSlot;
  }
  return slot;
}

uint16_t Create(ScriptContext* ctx, const char* lowerName, bool asInteger) {
  uint16_t lastFree;
  uint16_t slot = Scan(ctx, lowerName, &lastFree);
  if (slot != kNoSlot) return slot;
  slot = NewSlot(ctx, lastFree);
  if (slot == kNoSlot) return kNoSlot;
  VarRecord& r = ctx->vars[slot];
  val::InitCell(&r.v, -1);
  r.v.flags = asInteger ? kFlagInt : kFlagUninit;
  r.reserved = 0;
  SetName(r, lowerName);
  return slot;
}

void FreeSlot(ScriptContext* ctx, uint16_t slot) {
  if (!ctx->vars || slot >= ctx->varInUse) return;
  VarRecord& r = ctx->vars[slot];
  val::FreeValue(ctx, &r.v, val::kVarCell);
  r.v = ValueCell{};
  memset(r.name, 0, sizeof r.name);
  r.mark = 0;
  if (slot + 1 == ctx->varInUse) --ctx->varInUse;
}

bool Assign(ScriptContext* ctx, uint16_t slot, const ValueCell* value) {
  VarRecord& r = ctx->vars[slot];
  val::FreeValue(ctx, &r.v, val::kVarCell);
  val::InitCell(&r.v, 0);
  if (!val::CopyValue(ctx, value, &r.v, true, true)) {
    val::InitCell(&r.v, 0);
    return false;
  }
  return true;
}

uint16_t Define(ScriptContext* ctx, const char* name, const ValueCell* value) {
  char key[kVarNameSize + 1];
  FoldName(name, key);
  uint16_t lastFree;
  uint16_t slot = Scan(ctx, key, &lastFree);
  if (slot == kNoSlot) {
    slot = NewSlot(ctx, lastFree);
    if (slot == kNoSlot) return kNoSlot;
    val::InitCell(&ctx->vars[slot].v, 0);
    ctx->vars[slot].reserved = 0;
  }
  SetName(ctx->vars[slot], key);
  if (!Assign(ctx, slot, value)) return kNoSlot;
  return slot;
}

bool AsText(ScriptContext* ctx, const char* name, char* buf, size_t size) {
  if (!buf || !size) return false;
  buf[0] = 0;
  // The name stops at "[", and up to 40 characters before "]" are the subscript.
  char plain[kVarNameSize + 1];
  char subscript[41] = "";
  const char* bracket = strchr(name, '[');
  size_t nameLen = bracket ? static_cast<size_t>(bracket - name) : strlen(name);
  char whole[kWorkBuf];
  if (nameLen >= sizeof whole) return false;
  memcpy(whole, name, nameLen);
  whole[nameLen] = 0;
  FoldName(whole, plain);
  if (bracket) {
    const char* close = strchr(bracket + 1, ']');
    size_t n = close ? static_cast<size_t>(close - bracket - 1) : strlen(bracket + 1);
    if (n > 40) n = 40;
    memcpy(subscript, bracket + 1, n);
    subscript[n] = 0;
  }
  uint16_t saved = ctx->error;
  uint16_t slot = Lookup(ctx, plain);
  if (slot == kNoSlot || !IsDefined(ctx->vars[slot].v)) {
    ctx->error = saved;
    return false;
  }
  const ValueCell& v = ctx->vars[slot].v;
  bool ok;
  if (v.flags & kFlagArray) {
    ok = bracket ? RenderElement(ctx, &v, subscript, buf, size)
                 : (snprintf(buf, size, "<array>"), true);
  } else {
    ok = RenderCell(ctx, &v, buf, size);
  }
  ctx->error = saved;
  return ok;
}

// ---- frames

uint16_t CreateFrame(ScriptContext* ctx, uint16_t capacity) {
  for (uint16_t n = 1; n < kVarFrames; ++n) {
    FrameRecord& f = ctx->frames[n];
    if (f.table) continue;
    if (capacity < 1) return 0;
    HGLOBAL table = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                                static_cast<SIZE_T>(capacity) * sizeof(VarRecord));
    if (!table) return 0;
    // Slot 0 is reserved in every table, as in the host's.
    auto* records = static_cast<VarRecord*>(GlobalLock(table));
    if (!records) {
      GlobalFree(table);
      return 0;
    }
    records[0].v.ival = -1;
    records[0].v.flags = kFlagUninit;
    GlobalUnlock(table);
    f.number = n;
    f.table = table;
    f.serial = ctx->frameCounter++;
    f.tick = GetTickCount();
    f.capacity = capacity;
    f.inUse = 1;
    f.lastAssigned = kNoSlot;
    return n;
  }
  return 0;
}

void FreeFrame(ScriptContext* ctx, uint16_t n) {
  if (n < 1 || n >= kVarFrames) return;
  FrameRecord& f = ctx->frames[n];
  if (!f.table) return;
  while (GlobalFlags(f.table) & GMEM_LOCKCOUNT) GlobalUnlock(f.table);
  GlobalFree(f.table);
  f = FrameRecord{};
}

namespace {

// Loads frame n into the working fields and locks its table.
bool Activate(ScriptContext* ctx, uint16_t n, uint16_t number, HGLOBAL table, uint32_t serial,
              uint32_t tick, uint16_t capacity) {
  ctx->frameNumber = number;
  ctx->varTable = table;
  ctx->frameSerial = serial;
  ctx->frameTick = tick;
  ctx->varCapacity = capacity;
  ctx->varInUse = ctx->frames[n].inUse;
  ctx->vars = table ? static_cast<VarRecord*>(GlobalLock(table)) : nullptr;
  return ctx->vars != nullptr;
}

void Deactivate(ScriptContext* ctx) {
  ctx->frames[ctx->frameNumber].inUse = ctx->varInUse;
  if (ctx->vars && ctx->varTable) GlobalUnlock(ctx->varTable);
  ctx->vars = nullptr;
}

}  // namespace

bool EnterFrame(ScriptContext* ctx, uint16_t n, FrameSave* save) {
  if (n >= kVarFrames) return false;
  save->number = ctx->frameNumber;
  save->table = ctx->varTable;
  save->serial = ctx->frameSerial;
  save->tick = ctx->frameTick;
  save->capacity = ctx->varCapacity;
  Deactivate(ctx);
  const FrameRecord& f = ctx->frames[n];
  if (Activate(ctx, n, n, f.table, f.serial, f.tick, f.capacity)) return true;
  // The new table cannot be used: the frame left is current again.
  Activate(ctx, save->number, save->number, save->table, save->serial, save->tick, save->capacity);
  return false;
}

bool LeaveFrame(ScriptContext* ctx, const FrameSave* save) {
  Deactivate(ctx);
  return Activate(ctx, save->number, save->number, save->table, save->serial, save->tick,
                  save->capacity);
}

}  // namespace zel::vars
