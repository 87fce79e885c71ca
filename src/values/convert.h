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
// offsets are shared); addRef takes a reference to an array.
bool CopyValue(ScriptContext* ctx, const ValueCell* src, ValueCell* dst, bool dupStrings,
               bool addRef);

// The four conversions add a representation and keep the existing ones
// (ToInteger of a float drops the float). False on failure; the caller
// chooses the error number, except that a heap failure sets 3096.
bool ToInteger(ScriptContext* ctx, ValueCell* c, bool floatAllowed);
bool ToText(ScriptContext* ctx, ValueCell* c);
bool ToUnicode(ScriptContext* ctx, ValueCell* c);
bool ToFloat(ScriptContext* ctx, ValueCell* c);

// Texts of numbers.
bool FormatFloat(ScriptContext* ctx, double x, char* buf, size_t size);
bool ParseFloat(ScriptContext* ctx, const char* text, double* out);
int IntToText(int32_t n, int base, char* buf, size_t size);          // returns the length
int IntToText(int32_t n, int base, wchar_t* buf, size_t size);
int32_t TextToInt(const char* text);
int32_t TextToInt(const wchar_t* text);
int32_t TextToIntBase(const char* text, int base);  // -1 bad base, -2 bad digit
bool IsIntegerText(const char* text);
bool IsHexText(const char* text);

// The Decimals setting: stores n (9 or more becomes 8, below -3 becomes -1)
// and returns the previous setting.
int32_t SetDecimals(ScriptContext* ctx, int32_t n);

// VARIANT type of a name such as "VT_I4" or "bool"; category 1 integer kinds,
// 2 other kinds, 0 (and type -1) unknown.
int32_t VariantTypeOfName(const char* name, int32_t* category);

}  // namespace zel::val
