// Variable table: named variables of the current frame, their lookup, the
// frames of running user-defined functions, and access from outside by name.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::vars {

constexpr uint16_t kNoSlot = 65535;

// Lower-cases a name into `out` (at most kVarNameSize characters and the
// terminator); a first character with the top bit set is kept as it is.
// Returns false when the name is longer than kVarNameSize.
bool LowerName(const char* name, char out[kVarNameSize + 1]);

// Folds a name of any length handed in from outside into a key of at most
// kVarNameSize characters.
void FoldName(const char* name, char out[kVarNameSize + 1]);

// Slot of a used variable with this (already lower-case) name in the current
// frame, or kNoSlot.
uint16_t Lookup(const ScriptContext* ctx, const char* lowerName);

// Lookup by a name of any case: kNoSlot with 3051 when there is no such
// variable, with 3052 when it was never assigned (and, with `report`, the name
// recorded for the error report).
uint16_t FindVar(ScriptContext* ctx, const char* name, bool report);

// True when the variable's flags hold a value.
inline bool IsDefined(const ValueCell& v) { return (v.flags & kDefinedMask) != 0; }

// Creates a variable named `lowerName` as uninitialized (integer -1), or as the
// integer -1 when `asInteger`; reuses the last free slot seen, else appends.
// kNoSlot and 3097 when the table is full (at most capacity - 1 slots in use).
uint16_t Create(ScriptContext* ctx, const char* lowerName, bool asInteger);

// Releases a slot's value and frees the slot (flags 0, empty name); the count
// in use drops when it was the last slot.
void FreeSlot(ScriptContext* ctx, uint16_t slot);

// Replaces a variable's value by a copy of `value` (fresh strings, one more
// array reference). False with the error set when the copy fails; the
// variable then holds the integer 0.
bool Assign(ScriptContext* ctx, uint16_t slot, const ValueCell* value);

// Renders a variable (or, with "[...]" after the name, an element) as text.
// False when the name has no value; the error is cleared.
bool AsText(ScriptContext* ctx, const char* name, char* buf, size_t size);

// Creates or replaces a variable named from outside with a copy of `value`.
// Returns the slot, or kNoSlot with the error set.
uint16_t Define(ScriptContext* ctx, const char* name, const ValueCell* value);

// ---- frames

// Creates a frame with a table of `capacity` slots, slot 0 reserved as in the
// host's table: its number (1..100), or 0
// when no record is free or the table cannot be allocated.
uint16_t CreateFrame(ScriptContext* ctx, uint16_t capacity);
// Frees frame n's table (1..100 only) and clears its record. The caller has
// released the variables' values while the frame was current.
void FreeFrame(ScriptContext* ctx, uint16_t n);
// Makes frame n current, saving the current one into `save`. False when the
// new table cannot be locked; the previous frame is then current again.
bool EnterFrame(ScriptContext* ctx, uint16_t n, FrameSave* save);
// Returns to the frame saved by EnterFrame. False when its table cannot be locked.
bool LeaveFrame(ScriptContext* ctx, const FrameSave* save);

}  // namespace zel::vars
