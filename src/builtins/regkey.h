// Registry keys as the script sees them: key handles carried in integers,
// the registry view added to every open and create, and the key-and-value
// text ("subkey[value]") that names a value. Shared by the key and the value
// functions.
#pragma once
#include <windows.h>
#include <cstdint>

#include "errors/errinfo.h"
#include "host/context.h"
#include "host/limits.h"

namespace zel::reg {

// Bytes of a subkey part, terminator included; a longer one is 1460.
constexpr size_t kSubkeyRoom = kWorkBuf;
// Bytes of a value name, terminator included: the platform's longest name.
constexpr size_t kValueNameRoom = 16384;

constexpr uint16_t kBadDataItem = 1402;     // "[" without a closing "]" at the end
constexpr uint16_t kSubkeyTooLong = 1460;
constexpr uint16_t kCannotOpenSubkey = 1452;

// Sets error `n` and returns false.
inline bool Fail(ScriptContext* ctx, uint16_t n) {
  err::Raise(ctx, n);
  return false;
}

// A key handle travels in a 32-bit integer: the predefined roots are
// sign-extended constants and the system's key handles are 32-bit values
// even in a 64-bit process.
inline HKEY KeyOf(int32_t handle) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(handle)); }
inline int32_t HandleOf(HKEY key) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(key)); }

// The registry view flag added to every open and create.
inline REGSAM View(const ScriptContext* ctx) { return static_cast<REGSAM>(ctx->regViewFlag); }

// A value's address: the subkey below a handle ("" the handle itself) and
// the value's name ("" the default value).
struct KeyValue {
  char subkey[kSubkeyRoom];
  char name[kValueNameRoom];
};

// Splits a key-and-value text. Without "[" the whole text is the subkey and
// the value is the default one. A text ending in "]" names the value between
// that "]" and the "[" that balances it; the part before is the subkey, its
// trailing backslash dropped. A "[" without that closing "]" is 1402, a
// subkey part that does not fit is 1460 and a value name longer than the
// platform allows is 1402.
bool SplitKeyValue(ScriptContext* ctx, const char* text, KeyValue* out);

// A key opened below a handle for one operation and closed when the object
// goes; an empty subkey stands for the handle itself, which is left open.
class SubKey {
 public:
  SubKey() = default;
  SubKey(const SubKey&) = delete;
  SubKey& operator=(const SubKey&) = delete;
  ~SubKey() { Close(); }

  // Open and create add the registry view to `access`; both return the
  // platform's result (ERROR_SUCCESS when the key is there to use).
  LONG Open(const ScriptContext* ctx, HKEY parent, const char* subkey, REGSAM access);
  LONG Create(const ScriptContext* ctx, HKEY parent, const char* subkey, REGSAM access);
  HKEY get() const { return key_; }

 private:
  void Close();
  HKEY key_ = nullptr;
  bool owned_ = false;
};

}  // namespace zel::reg
