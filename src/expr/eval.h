// Expression evaluator: recursive descent over the token stream, one function
// per precedence level, with assignment to variables, elements and pointers.
#pragma once
#include <cstdint>
#include "host/api.h"
#include "host/context.h"
#include "values/array.h"

namespace zel::expr {

// Evaluates the expression that starts at the current token into `result`
// (an evaluator Value the caller initialised and later frees). When the
// expression is a variable followed by "=" and `assignAllowed`, the value of the
// rest is stored into it and is also the result. `throughPointer` marks a
// statement "*p = ...", whose pointer variable's name the tokenizer left in
// slot 0. On return the current token is the first one after the expression.
void Evaluate(ScriptContext* ctx, Value* result, bool assignAllowed, bool throughPointer);

// An expression that may not assign (arguments, conditions, subscripts).
inline void EvaluatePlain(ScriptContext* ctx, Value* result) {
  Evaluate(ctx, result, false, false);
}

// Frees what a temporary owns, leaving arrays to their holders, and makes it
// the integer `n` with no owner.
void ResetValue(ScriptContext* ctx, Value* v, int32_t n);

// Makes `v` the ANSI text `text` in a fresh heap block; on a full heap `v`
// stays the integer 0 and 3096 is set.
void SetText(ScriptContext* ctx, Value* v, const char* text);

// The operations, each replacing `left` (or `v`) by its result; false with
// the error set on failure.
bool ApplyUnary(ScriptContext* ctx, int op, Value* v);
bool ApplyBinary(ScriptContext* ctx, int op, Value* left, Value* right);
bool Concatenate(ScriptContext* ctx, Value* left, Value* right);
bool ApplyComparison(ScriptContext* ctx, int op, Value* left, Value* right);

// ---- array elements (subscript.cpp)

// Entered with "[" current after the name of a variable that holds the array
// `b`: reads the subscripts, one expression per dimension separated by ","
// (a float is rounded), and returns the element they select, with "]" left
// current. nullptr with the error set: 1710 an empty array, 1637 no element
// storage, 1633 a bad delimiter, 1634 a subscript that is not a number, 1635
// fewer subscripts than dimensions, 1636 one outside its dimension.
ElementCell* ReadSubscript(ScriptContext* ctx, ArrayBlock* b);

// True when the text at p, just after an array variable's name, is a
// subscript followed by a single "=": an assignment to an element.
bool IsElementAssignment(const char* p);

// The element value of the array `b` whose "[" is current: its value with
// fresh strings and the element as owner (1640 when it was never assigned);
// leaves the token after "]" current.
void ElementValue(ScriptContext* ctx, Value* v, ArrayBlock* b);

// Assigns the value of the right side to the element of the array variable
// in `slot` whose subscript follows; `result` receives the value. An array
// value is 3647: elements never hold arrays.
void AssignElement(ScriptContext* ctx, Value* result, uint16_t slot);

// Special forms that take variable names: Drop, IsDefined, VarType,
// ObjectTypeGet, ?makepointer and the Ptr forms. Entered with the form's token
// current; leaves the token after ")" current.
void SpecialForm(ScriptContext* ctx, int id, Value* result);

}  // namespace zel::expr

ZEL_API int WINAPI ProcessSubExpression(zel::ScriptContext* ctx, zel::Value* result,
                                        int assignAllowed, int throughPointer, void* errorVar);
