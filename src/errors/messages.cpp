// The message table (error texts, captions and labels by number).
#include "errors/messages.h"

#include "host/process.h"

namespace zel::msg {

int Load(ScriptContext* ctx, uint32_t id, char* buf, size_t size) {
  if (!buf || !size) return 0;
  buf[0] = 0;
  int n = LoadStringA(ModuleInstance(), id, buf, static_cast<int>(size > 0x7fffffff ? 0x7fffffff : size));
  if (n <= 0) {
    buf[0] = 0;
    return 0;
  }
  return n;
}

}  // namespace zel::msg
