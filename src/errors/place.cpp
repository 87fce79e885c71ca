// Where a failing statement and the open structures stand.
#include "errors/place.h"

#include <cstring>

#include "exec/udf.h"
#include "script/include.h"

namespace zel::err {
namespace {

// Traces `pos` in the locked text `script`, a function's body when `function`
// names a definition whose body it is.
bool LocateInText(ScriptContext* ctx, HGLOBAL script, uint16_t function, uint32_t pos,
                  script::Location* out) {
  if (!script) return false;
  const UdfRecord* r = exec::DefinedUdf(ctx, function);
  bool body = r && r->body == script;
  auto* text = static_cast<const uint8_t*>(GlobalLock(script));
  if (!text) return false;
  auto len = static_cast<uint32_t>(GlobalSize(script));
  bool inside = pos < len;
  if (inside) script::LocateIn(ctx, text, len, body ? r->bodyStart : 0, body, pos, out);
  GlobalUnlock(script);
  return inside;
}

}  // namespace

void LocateFailure(ScriptContext* ctx, Place* out) {
  out->known = false;
  out->tag = -1;
  out->loc = script::Location{};
  lstrcpynA(out->loc.path, ctx->scriptPath, sizeof out->loc.path);
  ctx->errorOffset = ctx->scriptHandle ? ctx->lineStart : kNoOffset;
  if (ctx->errorOffset == kNoOffset) return;
  out->known = LocateInText(ctx, ctx->scriptHandle, ctx->udfExecuting, ctx->errorOffset, &out->loc);
  if (out->known && out->loc.markerFlag) out->tag = out->loc.markerFlag - script::kMarkerFlagBase;
}

bool LocateFrame(ScriptContext* ctx, const StructFrame& f, script::Location* out) {
  *out = script::Location{};
  return LocateInText(ctx, f.script, f.function, f.linePos, out);
}

const char* RunningUdfName(const ScriptContext* ctx) {
  const UdfRecord* r = exec::DefinedUdf(ctx, ctx->udfExecuting);
  return r && ctx->inUdfBody ? r->name : "";
}

}  // namespace zel::err
