// Scramble tables (a random permutation of the byte values and its inverse).
#include "script/scramble.h"

#include <cstdlib>

namespace zel::scramble {

void BuildTables() {
  if (g_process.scrambleBuilt) return;
  uint8_t* fwd = g_process.scramble;
  for (int i = 0; i < 256; ++i) fwd[i] = static_cast<uint8_t>(i);
  for (int i = 255; i > 0; --i) {  // Fisher-Yates over the seeded generator
    int j = (rand() * 32768 + rand()) % (i + 1);
    uint8_t t = fwd[i];
    fwd[i] = fwd[j];
    fwd[j] = t;
  }
  for (int i = 0; i < 256; ++i) g_process.unscramble[fwd[i]] = static_cast<uint8_t>(i);
  g_process.scrambleBuilt = true;
}

}  // namespace zel::scramble
