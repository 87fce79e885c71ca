// The Value cell: one datum in one or more representations, with its type
// flags. Variable records, array elements and extender arguments start with
// the same value part, so its layout is fixed.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <cstddef>
#include <cstdint>

namespace zel {

// A word that holds a heap offset or, for an array, the array block's address.
// On win32 it is 32 bits. On win64 every field that must hold a machine address
// widens to 64 bits: this word, the element address in an evaluator Value, the
// host heap descriptor's base word; and VARIANT is 24 bytes there. The 32-bit
// layouts below are the fixed ones that extenders and hosts rely on.
using AddrWord = uintptr_t;

// Type flags of a Value.
enum : uint32_t {
  kFlagUndefined = 0x000,  // the whole word: a free slot
  kFlagInt       = 0x001,
  kFlagString    = 0x002,
  kFlagFile      = 0x004,  // with kFlagInt: a file handle
  kFlagUninit    = 0x008,  // exactly this: named but never assigned
  kFlagFloat     = 0x020,
  kFlagBinBuf    = 0x040,  // with kFlagInt: a binary-buffer handle
  kFlagUnicode   = 0x080,
  kFlagArray     = 0x100,
  kFlagVariant   = 0x200,
  kFlagComObj    = 0x400,  // with kFlagVariant: a COM object reference
  kFlagComTemp   = 0x800,
  kDefinedMask   = 0x3a3,  // INT, STRING, FLOAT, UNICODE, ARRAY, VARIANT
};

constexpr uint16_t kOwnerElement = 65534;  // owner_var: read from an array element
constexpr uint16_t kOwnerNone    = 65535;  // owner_var / owner_frame: no owner

#pragma pack(push, 4)

// The value part, shared by variable records, array elements and evaluator
// Values. win32 offsets: variant 0 (16 bytes), fval 16, ival 24, flags 28,
// str 32, wstr 36; 40 bytes.
struct ValueCell {
  VARIANT variant;  // valid with kFlagVariant
  double fval;      // valid with kFlagFloat
  int32_t ival;     // valid with kFlagInt; also file and buffer handles
  uint32_t flags;
  AddrWord str;     // heap offset of the ANSI text; array block address with kFlagArray
  uint32_t wstr;    // heap offset of the UTF-16 text
};

// The evaluator's Value: the value part, a reserved word, then its owner.
// win32 offsets: reserved 40, owner_cell 44, owner_var 48, owner_frame 50; 52 bytes.
struct Value : ValueCell {
  uint32_t reserved;
  AddrWord owner_cell;   // the array element it was read from, else 0
  uint16_t owner_var;    // slot it was read from; kOwnerElement, kOwnerNone
  uint16_t owner_frame;  // variable frame of that slot; kOwnerNone
};

#pragma pack(pop)

#if !defined(_WIN64)
static_assert(sizeof(VARIANT) == 16, "VARIANT is 16 bytes on win32");
static_assert(offsetof(ValueCell, variant) == 0, "value layout");
static_assert(offsetof(ValueCell, fval) == 16, "value layout");
static_assert(offsetof(ValueCell, ival) == 24, "value layout");
static_assert(offsetof(ValueCell, flags) == 28, "value layout");
static_assert(offsetof(ValueCell, str) == 32, "value layout");
static_assert(offsetof(ValueCell, wstr) == 36, "value layout");
static_assert(sizeof(ValueCell) == 40, "value part is 40 bytes");
static_assert(sizeof(Value) == 52, "evaluator Value is 52 bytes");
#else
// win64: variant 0 (24 bytes), fval 24, ival 32, flags 36, str 40 (8 bytes),
// wstr 48; 52 bytes. Evaluator Value: reserved 52, owner_cell 56 (8 bytes),
// owner_var 64, owner_frame 66; 68 bytes.
static_assert(sizeof(VARIANT) == 24, "VARIANT is 24 bytes on win64");
static_assert(offsetof(ValueCell, str) == 40, "win64 value layout");
static_assert(offsetof(ValueCell, wstr) == 48, "win64 value layout");
static_assert(sizeof(ValueCell) == 52, "win64 value part");
static_assert(sizeof(Value) == 68, "win64 evaluator Value");
#endif

}  // namespace zel
