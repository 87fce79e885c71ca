// Function call dispatch: reads a call's arguments, converts each to the form
// the function's table entry asks for, and routes the call by token ID.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::calls {

constexpr int kMaxArgs = 16;

// A function body: reads its arguments from args[1..argc] (the field of each
// argument's type code), writes the result, sets the error on failure. `id`
// lets one body serve several functions.
using Body = void (*)(ScriptContext* ctx, Value* result, Value* args, int argc, bool wide, int id);

// Entered with the function's token current: parses "(" arguments ")",
// calls the function, releases the arguments and reads the token after ")".
void ParseCall(ScriptContext* ctx, Value* result);

// Converts the arguments and routes the call; the result starts as the integer 0.
void DispatchCall(ScriptContext* ctx, int id, Value* result, Value* args, int argc,
                  bool selfParsed, uint64_t argTypes);

// "(" must follow a function's or form's name: reads it, or raises 3067 with
// the name and message 9502 as additional information.
bool OpenParen(ScriptContext* ctx, int id);

// The ANSI text of an argument that its type code made a string; "" when it
// holds none.
const char* ArgText(const ScriptContext* ctx, const Value& arg);

// Binds a body to a built-in function by its name; families call it from
// their registration function. False for a name that is not a function.
bool Register(const char* name, Body body);

}  // namespace zel::calls
