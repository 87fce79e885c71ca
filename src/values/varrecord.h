// The variable record and the variable frame record. Extenders receive the
// address of variable records, so the record's layout is fixed.
#pragma once
#include "host/limits.h"
#include "values/value.h"

namespace zel {

constexpr uint8_t kMarkGlobal = 0x01;  // declared global by PtrGlobalDefine

#pragma pack(push, 4)

// win32 offsets: value part 0..39, reserved 40, name 44..74, mark 75; 76 bytes,
// records contiguous from slot 0.
struct VarRecord {
  ValueCell v;
  uint32_t reserved;
  char name[kVarNameSize + 1];  // lower-case, NUL-terminated
  uint8_t mark;
};

#pragma pack(pop)

#if !defined(_WIN64)
static_assert(offsetof(VarRecord, reserved) == 40, "variable record layout");
static_assert(offsetof(VarRecord, name) == 44, "variable record layout");
static_assert(offsetof(VarRecord, mark) == 75, "variable record layout");
static_assert(sizeof(VarRecord) == 76, "variable record is 76 bytes");
#else
static_assert(sizeof(VarRecord) == 88, "win64 variable record: name at 56, mark at 87");
#endif

// One variable frame: 0 is the main script's (the host's table), 1..100 belong
// to running user-defined functions. table == nullptr means the record is free.
// The table, serial and tick are the frame's identity, which a pointer text
// names; a pointer is valid only while all three still match.
struct FrameRecord {
  uint16_t number;
  HGLOBAL table;
  uint32_t serial;
  uint32_t tick;
  uint16_t capacity;
  uint16_t inUse;         // saved here while the frame is not current
  uint16_t lastAssigned;  // slot the last assignment stored into; 65535 none
};

// What entering a frame saves of the frame it leaves.
struct FrameSave {
  uint16_t number;
  HGLOBAL table;
  uint32_t serial;
  uint32_t tick;
  uint16_t capacity;
};

}  // namespace zel
