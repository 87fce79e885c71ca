// Scrambling of script text in memory: every byte is replaced through a
// process-wide random permutation and mixed with its position.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zel::scramble {

// Builds the permutation and its inverse once per process (after the random
// generator is seeded).
void BuildTables();

inline uint8_t Encode(uint8_t plain, uint32_t pos);
inline uint8_t Decode(uint8_t stored, uint32_t pos);

}  // namespace zel::scramble

#include "host/process.h"

namespace zel::scramble {
inline uint8_t Encode(uint8_t plain, uint32_t pos) {
  return static_cast<uint8_t>(g_process.scramble[plain] ^ (pos & 0xff));
}
inline uint8_t Decode(uint8_t stored, uint32_t pos) {
  return g_process.unscramble[static_cast<uint8_t>(stored ^ (pos & 0xff))];
}
}  // namespace zel::scramble
