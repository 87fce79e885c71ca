// Registry keys as the script sees them: the key-and-value text and the keys
// opened below a handle for one operation.
#include "builtins/regkey.h"

#include <cstring>

#include "builtins/text.h"

namespace zel::reg {

// The texts are walked forwards, character by character, so that a trail
// byte of a double-byte character is never taken for a bracket or a
// backslash.
bool SplitKeyValue(ScriptContext* ctx, const char* text, KeyValue* out) {
  txt::LeadBytes lb;
  txt::ReadCodePageLeads(ctx, &lb);
  const size_t len = strlen(text);
  const char* end = text + len;

  // Pass 1: is there a "[", and the bracket depth in front of the last character.
  bool anyOpen = false;
  long depth = 0, depthBeforeLast = 0;
  size_t last = len;
  for (size_t i = 0; i < len; i += txt::Step(lb, text + i, end)) {
    depthBeforeLast = depth;
    last = i;
    if (text[i] == '[') {
      anyOpen = true;
      ++depth;
    } else if (text[i] == ']') {
      --depth;
    }
  }

  size_t subLen = len, nameAt = len, nameLen = 0;
  if (anyOpen) {
    if (last + 1 != len || text[last] != ']') return Fail(ctx, kBadDataItem);
    // Pass 2: the "[" that the final "]" closes is the last one opened at
    // one level less than the depth in front of that "]".
    long d = 0;
    size_t open = len, beforeOpen = len, prev = len;
    for (size_t i = 0; i < last; i += txt::Step(lb, text + i, end)) {
      if (text[i] == '[') {
        if (d == depthBeforeLast - 1) {
          open = i;
          beforeOpen = prev;
        }
        ++d;
      } else if (text[i] == ']') {
        --d;
      }
      prev = i;
    }
    if (open == len) return Fail(ctx, kBadDataItem);
    subLen = beforeOpen != len && text[beforeOpen] == '\\' ? beforeOpen : open;
    nameAt = open + 1;
    nameLen = last - nameAt;
  }
  if (subLen >= kSubkeyRoom) return Fail(ctx, kSubkeyTooLong);
  if (nameLen >= kValueNameRoom) return Fail(ctx, kBadDataItem);
  memcpy(out->subkey, text, subLen);
  out->subkey[subLen] = 0;
  memcpy(out->name, text + nameAt, nameLen);
  out->name[nameLen] = 0;
  return true;
}

LONG SubKey::Open(const ScriptContext* ctx, HKEY parent, const char* subkey, REGSAM access) {
  Close();
  if (!*subkey) {
    key_ = parent;
    return ERROR_SUCCESS;
  }
  LONG rc = RegOpenKeyExA(parent, subkey, 0, access | View(ctx), &key_);
  owned_ = rc == ERROR_SUCCESS;
  return rc;
}

LONG SubKey::Create(const ScriptContext* ctx, HKEY parent, const char* subkey, REGSAM access) {
  Close();
  if (!*subkey) {
    key_ = parent;
    return ERROR_SUCCESS;
  }
  LONG rc = RegCreateKeyExA(parent, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            access | View(ctx), nullptr, &key_, nullptr);
  owned_ = rc == ERROR_SUCCESS;
  return rc;
}

void SubKey::Close() {
  if (owned_) RegCloseKey(key_);
  key_ = nullptr;
  owned_ = false;
}

}  // namespace zel::reg
