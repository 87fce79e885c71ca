// Byte-pattern search in buffers, exact or ignoring case, shared by the
// index, count, replace and tag functions.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zel::bin {

// The system's upper-case mapping of every byte value.
struct Fold {
  uint8_t up[256];
};
void LoadFold(Fold* f);

// Whether the `n` bytes at a and b are the same, through `fold` when it is
// not null.
bool SameBytes(const uint8_t* a, const uint8_t* b, size_t n, const Fold* fold);

// Offset of the first match of pat[0..len) (len at least 1) that starts at
// or after `from` and ends at or before `end`; -1 when there is none.
int64_t FindForward(const uint8_t* data, int64_t from, int64_t end, const uint8_t* pat, size_t len,
                    const Fold* fold);

// Offset of the last match that starts at or before `last`; -1 for none.
int64_t FindBackward(const uint8_t* data, int64_t last, const uint8_t* pat, size_t len,
                     const Fold* fold);

}  // namespace zel::bin
