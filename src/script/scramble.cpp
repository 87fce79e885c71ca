// Scramble tables (a random permutation of the byte values and its inverse).
#include "script/scramble.h"

#include <cstdlib>

namespace zel::scramble {

void BuildTables() {
  if (g_process.scrambleBuilt) return;
  // Byte i takes the r-th value not yet taken, counting upwards, with r drawn
  // below the number of values left.
  bool taken[256] = {};
  for (int i = 0; i < 256; ++i) {
    int r = rand() % (256 - i);
    int v = 0;
    for (;; ++v) {
      if (taken[v]) continue;
      if (r-- == 0) break;
    }
    taken[v] = true;
    g_process.scramble[i] = static_cast<uint8_t>(v);
    g_process.unscramble[v] = static_cast<uint8_t>(i);
  }
  g_process.scrambleBuilt = true;
}

}  // namespace zel::scramble
