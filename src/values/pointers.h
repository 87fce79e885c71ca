// Variable pointers: texts that name a variable of a particular frame, so a
// script can reach it from another frame while that frame still exists.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::ptr {

// Writes the pointer text of variable `lowerName` of frame `frame` into buf
// (at least kPointerMaxLen + 1 bytes); returns its length, 0 when it does not fit.
int Format(const ScriptContext* ctx, uint16_t frame, const char* lowerName, char* buf, size_t size);

// Reads a pointer text: 3813 when it is not one, 3814 when its frame has
// ended or is not the frame it named.
bool Parse(ScriptContext* ctx, const char* text, uint16_t* frame, char name[kVarNameSize + 1]);

// Switching to another frame for a piece of work and back again.
struct FrameSwitch {
  bool switched;
  FrameSave save;
};
// Makes `frame` current when it is not (3815 when that fails).
bool SwitchTo(ScriptContext* ctx, uint16_t frame, FrameSwitch* sw);
// Returns to the frame that was current (3816 when that fails).
bool SwitchBack(ScriptContext* ctx, FrameSwitch* sw);

// Reads the variable a pointer names into `out`: fresh strings, one more array
// reference, owner fields naming that frame and slot. 3817 when the variable
// holds no value.
bool Read(ScriptContext* ctx, const char* text, Value* out);

// Assigns a copy of `value` to the variable a pointer names; 3813 when there
// is no such variable.
bool Write(ScriptContext* ctx, const char* text, const ValueCell* value);

// True when the pointer names a variable that holds an array.
bool NamesArray(ScriptContext* ctx, const char* text);

}  // namespace zel::ptr
