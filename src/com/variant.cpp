// VARIANT conversions for the Value cell, through the system's variant type
// change; every temporary VARIANT is cleared before returning.
#include "com/variant.h"

#include <oleauto.h>

#include "values/codepage.h"
#include "values/heap.h"

namespace zel::com {
namespace {

VARTYPE BaseType(const VARIANT* v) { return static_cast<VARTYPE>(V_VT(v) & ~VT_BYREF); }

// Changes v into `out` (initialised here) of type vt.
bool Change(const VARIANT* v, VARTYPE vt, VARIANT* out) {
  VariantInit(out);
  return SUCCEEDED(VariantChangeType(out, const_cast<VARIANT*>(v), 0, vt));
}

// The variant as a BSTR in `out`; VT_NULL becomes an empty string.
bool ChangeToString(const VARIANT* v, VARIANT* out) {
  if (BaseType(v) != VT_NULL) return Change(v, VT_BSTR, out);
  VariantInit(out);
  V_VT(out) = VT_BSTR;
  V_BSTR(out) = nullptr;  // a null BSTR is the empty string
  return true;
}

}  // namespace

bool VariantToInt(const VARIANT* v, int32_t* out) {
  VARIANT t;
  if (!Change(v, VT_I4, &t)) return false;
  *out = V_I4(&t);
  VariantClear(&t);
  return true;
}

bool VariantToDouble(const VARIANT* v, double* out) {
  VARIANT t;
  if (!Change(v, VT_R8, &t)) return false;
  *out = V_R8(&t);
  VariantClear(&t);
  return true;
}

uint32_t VariantToText(ScriptContext* ctx, const VARIANT* v) {
  VARIANT t;
  if (!ChangeToString(v, &t)) return 0;
  uint32_t off = cp::StoreNarrowed(ctx, V_BSTR(&t), SysStringLen(V_BSTR(&t)));
  VariantClear(&t);
  return off;
}

uint32_t VariantToWide(ScriptContext* ctx, const VARIANT* v) {
  VARIANT t;
  if (!ChangeToString(v, &t)) return 0;
  const wchar_t* s = V_BSTR(&t) ? V_BSTR(&t) : L"";
  uint32_t off = heap::StoreWide(ctx, s, SysStringLen(V_BSTR(&t)));
  VariantClear(&t);
  return off;
}

bool VariantHoldsString(const VARIANT* v) { return BaseType(v) == VT_BSTR; }

bool VariantIsFloatKind(const VARIANT* v) {
  VARTYPE t = BaseType(v);
  return t == VT_R4 || t == VT_R8;
}

bool VariantCopyTo(VARIANT* dst, const VARIANT* src) {
  VariantInit(dst);
  return SUCCEEDED(VariantCopy(dst, const_cast<VARIANT*>(src)));
}

}  // namespace zel::com
