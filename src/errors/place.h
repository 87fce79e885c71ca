// Where a failing statement and the open structures stand: their file, line
// and text, traced back through the include markers of the text they ran in.
#pragma once
#include <cstdint>
#include "host/context.h"
#include "script/script.h"

namespace zel::err {

constexpr uint32_t kNoOffset = ~0u;  // ctx->errorOffset: no statement is known

// The failing statement's place.
struct Place {
  bool known;          // a statement (and so a line number) is known
  int32_t tag;         // tag of the include marker in force; -1 none
  script::Location loc;
};

// Records the statement being executed as the failing one (ctx->errorOffset)
// and traces it in the running text.
void LocateFailure(ScriptContext* ctx, Place* out);

// Traces the statement that pushed structure frame `f`; false when the frame
// records none.
bool LocateFrame(ScriptContext* ctx, const StructFrame& f, script::Location* out);

// The name of the function whose body is running; "" in the main script.
const char* RunningUdfName(const ScriptContext* ctx);

}  // namespace zel::err
