// Variable pointers (format, parse, and access through a pointer).
#include "values/pointers.h"

#include <cstdio>
#include <cstring>

#include "errors/errinfo.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/variables.h"

namespace zel::ptr {
namespace {

constexpr char kPrefix[] = "#VAR$PTR#";

// A frame's table handle as the 8 hexadecimal digits a pointer holds.
uint32_t TableId(HGLOBAL table) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(table)); }

bool ReadHex(const char* p, int digits, uint32_t* out) {
  uint32_t n = 0;
  for (int i = 0; i < digits; ++i) {
    char c = p[i];
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                   : -1;
    if (d < 0) return false;
    n = n * 16 + static_cast<uint32_t>(d);
  }
  *out = n;
  return true;
}

// Parses, switches to the pointer's frame and finds its variable. On success
// the caller must SwitchBack.
uint16_t Locate(ScriptContext* ctx, const char* text, FrameSwitch* sw) {
  uint16_t frame;
  char name[kVarNameSize + 1];
  if (!Parse(ctx, text, &frame, name)) return vars::kNoSlot;
  if (!SwitchTo(ctx, frame, sw)) return vars::kNoSlot;
  return vars::Lookup(ctx, name);
}

}  // namespace

int Format(const ScriptContext* ctx, uint16_t frame, const char* lowerName, char* buf, size_t size) {
  const FrameRecord& f = ctx->frames[frame < kVarFrames ? frame : 0];
  int n = snprintf(buf, size, "%s%04X%08lX%08lX%08lX%s", kPrefix, static_cast<unsigned>(frame),
                   static_cast<unsigned long>(TableId(f.table)),
                   static_cast<unsigned long>(f.serial), static_cast<unsigned long>(f.tick),
                   lowerName);
  return n > 0 && static_cast<size_t>(n) < size ? n : 0;
}

bool Parse(ScriptContext* ctx, const char* text, uint16_t* frame, char name[kVarNameSize + 1]) {
  size_t len = text ? strlen(text) : 0;
  if (len < kPointerMinLen || len > kPointerMaxLen || strncmp(text, kPrefix, kPointerPrefixLen) != 0) {
    err::Raise(ctx, 3813);
    return false;
  }
  const char* p = text + kPointerPrefixLen;
  uint32_t number, table, serial, tick;
  if (!ReadHex(p, 4, &number) || !ReadHex(p + 4, 8, &table) || !ReadHex(p + 12, 8, &serial) ||
      !ReadHex(p + 20, 8, &tick)) {
    err::Raise(ctx, 3813);
    return false;
  }
  // The name is the rest: at most kVarNameSize characters by the length check.
  vars::LowerName(p + 28, name);
  const FrameRecord* f = number < kVarFrames ? &ctx->frames[number] : nullptr;
  if (!f || !f->table || TableId(f->table) != table || f->serial != serial || f->tick != tick) {
    err::Raise(ctx, 3814);
    return false;
  }
  *frame = static_cast<uint16_t>(number);
  return true;
}

bool SwitchTo(ScriptContext* ctx, uint16_t frame, FrameSwitch* sw) {
  sw->switched = false;
  if (frame == ctx->frameNumber) return true;
  if (!vars::EnterFrame(ctx, frame, &sw->save)) {
    err::Raise(ctx, 3815);
    return false;
  }
  sw->switched = true;
  return true;
}

bool SwitchBack(ScriptContext* ctx, FrameSwitch* sw) {
  if (!sw->switched) return true;
  sw->switched = false;
  if (!vars::LeaveFrame(ctx, &sw->save)) {
    err::Raise(ctx, 3816);
    return false;
  }
  return true;
}

bool Read(ScriptContext* ctx, const char* text, Value* out) {
  FrameSwitch sw{};
  uint16_t slot = Locate(ctx, text, &sw);
  if (ctx->error) {
    SwitchBack(ctx, &sw);
    return false;
  }
  bool ok = false;
  if (slot == vars::kNoSlot || !vars::IsDefined(ctx->vars[slot].v)) {
    err::Raise(ctx, 3817);
  } else {
    val::InitValue(out, 0);
    // Strings are duplicated and a COM object copied; an array is referred
    // to without a reference, as by every value read from a variable.
    ok = val::CopyValue(ctx, &ctx->vars[slot].v, out, true, true);
    if (ok && (out->flags & kFlagArray) && out->str) arr::Unpin(ctx, arr::BlockOf(out));
    if (ok) {
      out->owner_var = slot;
      out->owner_frame = ctx->frameNumber;
    }
  }
  if (!SwitchBack(ctx, &sw)) return false;
  return ok;
}

bool Write(ScriptContext* ctx, const char* text, const ValueCell* value) {
  FrameSwitch sw{};
  uint16_t slot = Locate(ctx, text, &sw);
  if (ctx->error) {
    SwitchBack(ctx, &sw);
    return false;
  }
  bool ok = false;
  if (slot == vars::kNoSlot)
    err::Raise(ctx, 3813);
  else
    ok = vars::Assign(ctx, slot, value);
  if (!SwitchBack(ctx, &sw)) return false;
  return ok;
}

bool NamesArray(ScriptContext* ctx, const char* text) {
  uint16_t saved = ctx->error;
  FrameSwitch sw{};
  uint16_t slot = Locate(ctx, text, &sw);
  bool isArray = !ctx->error && slot != vars::kNoSlot && (ctx->vars[slot].v.flags & kFlagArray);
  SwitchBack(ctx, &sw);
  ctx->error = saved;
  return isArray;
}

}  // namespace zel::ptr
