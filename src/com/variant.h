// VARIANT conversions for the Value cell: to an integer, a double, ANSI or
// UTF-16 text in the string heap; the kind tests and the counted copy.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <cstdint>

#include "host/context.h"

namespace zel::com {

// The conversions go through the system's variant type change and set no
// error number (the caller chooses it), except 3096 when the heap is full.
bool VariantToInt(const VARIANT* v, int32_t* out);
bool VariantToDouble(const VARIANT* v, double* out);

// The variant's text in a fresh heap block (ANSI with ctx->codePage, or
// UTF-16); VT_NULL gives "". 0 on failure.
uint32_t VariantToText(ScriptContext* ctx, const VARIANT* v);
uint32_t VariantToWide(ScriptContext* ctx, const VARIANT* v);

// A string variant: VT_BSTR, directly or by reference.
bool VariantHoldsString(const VARIANT* v);

// A floating kind: VT_R4 or VT_R8, directly or by reference.
bool VariantIsFloatKind(const VARIANT* v);

// The display name of a variant type, as the platform's type enumeration
// spells it ("VT_I4", "VT_BYREF|VT_BSTR", "VT_ARRAY|VT_VARIANT"); "<unknown>"
// for an unknown base type, "VT_ILLEGAL" for 0xffff.
const char* VariantTypeName(VARTYPE vt);

// Copies src into the uninitialised dst, duplicating strings and adding a
// reference to an object. False when the copy failed (dst then is VT_EMPTY).
bool VariantCopyTo(VARIANT* dst, const VARIANT* src);

}  // namespace zel::com
