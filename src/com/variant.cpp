// VARIANT conversions for the Value cell, through the system's variant type
// change; every temporary VARIANT is cleared before returning.
#include "com/variant.h"

#include <oleauto.h>
#include <cstdio>

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

namespace zel::com {
namespace {

const char* BaseTypeName(VARTYPE base) {
  switch (base) {
    case VT_EMPTY: return "VT_EMPTY";
    case VT_NULL: return "VT_NULL";
    case VT_I2: return "VT_I2";
    case VT_I4: return "VT_I4";
    case VT_R4: return "VT_R4";
    case VT_R8: return "VT_R8";
    case VT_CY: return "VT_CY";
    case VT_DATE: return "VT_DATE";
    case VT_BSTR: return "VT_BSTR";
    case VT_DISPATCH: return "VT_DISPATCH";
    case VT_ERROR: return "VT_ERROR";
    case VT_BOOL: return "VT_BOOL";
    case VT_VARIANT: return "VT_VARIANT";
    case VT_UNKNOWN: return "VT_UNKNOWN";
    case VT_DECIMAL: return "VT_DECIMAL";
    case VT_I1: return "VT_I1";
    case VT_UI1: return "VT_UI1";
    case VT_UI2: return "VT_UI2";
    case VT_UI4: return "VT_UI4";
    case VT_I8: return "VT_I8";
    case VT_UI8: return "VT_UI8";
    case VT_INT: return "VT_INT";
    case VT_UINT: return "VT_UINT";
    case VT_VOID: return "VT_VOID";
    case VT_HRESULT: return "VT_HRESULT";
    case VT_PTR: return "VT_PTR";
    case VT_SAFEARRAY: return "VT_SAFEARRAY";
    case VT_CARRAY: return "VT_CARRAY";
    case VT_USERDEFINED: return "VT_USERDEFINED";
    case VT_LPSTR: return "VT_LPSTR";
    case VT_LPWSTR: return "VT_LPWSTR";
    case VT_RECORD: return "VT_RECORD";
    case VT_FILETIME: return "VT_FILETIME";
    case VT_BLOB: return "VT_BLOB";
    case VT_STREAM: return "VT_STREAM";
    case VT_STORAGE: return "VT_STORAGE";
    case VT_STREAMED_OBJECT: return "VT_STREAMED_OBJECT";
    case VT_STORED_OBJECT: return "VT_STORED_OBJECT";
    case VT_BLOB_OBJECT: return "VT_BLOB_OBJECT";
    case VT_CF: return "VT_CF";
    case VT_CLSID: return "VT_CLSID";
    default: return nullptr;
  }
}

}  // namespace

const char* VariantTypeName(VARTYPE vt) {
  if (vt == 0xffff) return "VT_ILLEGAL";
  const char* base = BaseTypeName(vt & VT_TYPEMASK);
  if (!base) return "<unknown>";
  // One static buffer per modifier combination keeps the result constant.
  static char names[4][48];
  int modifier = ((vt & VT_BYREF) ? 1 : 0) | ((vt & VT_ARRAY) ? 2 : 0);
  if (!modifier) return base;
  static const char* const prefixes[4] = {"", "VT_BYREF|", "VT_ARRAY|", "VT_BYREF|VT_ARRAY|"};
  snprintf(names[modifier], sizeof names[modifier], "%s%s", prefixes[modifier], base);
  return names[modifier];
}

}  // namespace zel::com
