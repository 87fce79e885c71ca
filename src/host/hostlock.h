// Locking of the host's movable context block for the length of one entry call.
#pragma once
#include <windows.h>
#include "host/context.h"

namespace zel {

// Locks the block and checks it is large enough to be a context; unlocks on
// scope exit. get() is nullptr when the block cannot serve as a context.
class ContextLock {
 public:
  explicit ContextLock(HGLOBAL h) : h_(h) {
    if (!h_) return;
    if (GlobalSize(h_) < sizeof(ScriptContext)) return;
    ctx_ = static_cast<ScriptContext*>(GlobalLock(h_));
  }
  ~ContextLock() {
    if (ctx_) GlobalUnlock(h_);
  }
  ContextLock(const ContextLock&) = delete;
  ContextLock& operator=(const ContextLock&) = delete;
  ScriptContext* get() const { return ctx_; }

 private:
  HGLOBAL h_;
  ScriptContext* ctx_ = nullptr;
};

}  // namespace zel
