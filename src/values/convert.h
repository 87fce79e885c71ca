// Value conversions: between the representations of a cell, and between
// numbers and their texts.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::val {

// What kind of cell a conversion or release works on: an evaluator Value (with
// owner fields), a variable record's value part, or an array element.
enum CellKind { kEvalValue, kVarCell, kElementCell };

// The cell becomes the integer `i` alone, with no strings; an evaluator Value
// also gets owner_cell 0 and both owner numbers 65535.
void InitCell(ValueCell* c, int32_t i);
void InitValue(Value* v, int32_t i);

// Releases what the cell owns: its array reference (unless keepArray), its
// ANSI and UTF-16 heap blocks, and a COM object it owns. Only the bits of what
// was released are cleared; INT and FLOAT stay.
void FreeValue(ScriptContext* ctx, ValueCell* c, CellKind kind, bool keepArray = false);

// Copies the representations of `src` into `dst` (which must hold nothing the
// copy would leak). dupStrings makes fresh heap blocks for the texts (else the
// offsets are shared); addRef takes a reference to an array and copies a
// VARIANT through the COM bridge, which adds a reference to its object (else
// the VARIANT is shared). False when a copy failed (3096 for the heap); dst is
// then unchanged.
bool CopyValue(ScriptContext* ctx, const ValueCell* src, ValueCell* dst, bool dupStrings,
               bool addRef);

// The four conversions add a representation and keep the existing ones
// (ToInteger of a float drops the float and its texts). False on failure,
// with the cell's representations intact; the caller chooses the error number,
// except that a heap failure sets 3096, a float that cannot be formatted sets
// FormatFloat's number, and ToInteger turns a pending math error into the
// context's error.
bool ToInteger(ScriptContext* ctx, ValueCell* c, bool floatAllowed);
bool ToText(ScriptContext* ctx, ValueCell* c);
bool ToUnicode(ScriptContext* ctx, ValueCell* c);
bool ToFloat(ScriptContext* ctx, ValueCell* c);

// Texts of numbers. A number's text (an integer's, or a float's by any
// Decimals setting) is at most 31 characters.
constexpr size_t kNumberTextSize = 32;

// The float's text by ctx->decimals. Fails for a NaN (1599) and for an
// infinity (1342, the overflow that made it); fails with no error number when
// `buf` cannot hold the text. A negative zero prints as zero.
bool FormatFloat(ScriptContext* ctx, double x, char* buf, size_t size);

// Reads a whole decimal text (leading white space allowed; exponents with "e"
// or "E" only). False for anything else, with no error number; an overflow
// sets 1342 and fails, an underflow is accepted.
bool ParseFloat(ScriptContext* ctx, const char* text, double* out);

// Digits 0-9 then A-Z; a negative number is "-" and its magnitude. Returns the
// length, 0 (and "" when size > 0) for a base outside 2..36 or a buffer too small.
int IntToText(int32_t n, int base, char* buf, size_t size);
int IntToText(int32_t n, int base, wchar_t* buf, size_t size);

// Spaces, one optional sign, decimal digits up to the first non-digit; wraps in 32 bits.
int32_t TextToInt(const char* text);
int32_t TextToInt(const wchar_t* text);

// Digits 0-9, A-Z or a-z below `base`; -1 for a base outside 2..36, -2 for a
// bad digit; an empty text is 0. Wraps in 32 bits.
int32_t TextToIntBase(const char* text, int base);

// Blanks and tabs, one optional sign, decimal (or hexadecimal) digits, blanks
// and tabs; a blank text passes, a null one does not.
bool IsIntegerText(const char* text);
bool IsHexText(const char* text);

// x rounded half away from zero (0.5 added or subtracted, then truncated).
double RoundHalfAway(double x);

// The Decimals setting: stores n (9 or more becomes 8, below -3 becomes -1)
// and returns the previous setting.
int32_t SetDecimals(ScriptContext* ctx, int32_t n);

// VARIANT type of a name such as "VT_I4" or "bool" (an optional "VT_" prefix,
// any case); category 1 integer kinds, 2 other kinds, 0 (and type -1) unknown.
// `category` may be null.
int32_t VariantTypeOfName(const char* name, int32_t* category);

}  // namespace zel::val
