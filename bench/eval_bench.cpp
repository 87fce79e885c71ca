// Expression speed: evaluates a mix of lines (arithmetic, comparison,
// concatenation, assignment) in a loop and prints lines per second.
#include <windows.h>

#include <cstdio>

#include "benchhost.h"

using namespace zel;

int main() {
  test::HostBlocks host;
  ScriptContext* ctx = bench::StartContext(&host, 100, 64 * 1024 * 1024);
  if (!ctx) return 1;
  static const char* const kLines[] = {
      "a = 1", "b = 2.5", "s = \"abc\"",
      "a = a + 1", "c = (a * 3 + 7) mod 11 - a / 2", "d = b * 2.0 + a",
      "e = a < 100 && b >= 2.5", "f = s : \"def\" : a", "g = \"10\" == 10",
      "h = a << 2 | 1",
  };
  const int kRounds = 200000;
  const int n = sizeof kLines / sizeof *kLines;
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  for (int r = 0; r < kRounds; ++r) {
    for (int i = (r == 0 ? 0 : 3); i < n; ++i) {
      if (!bench::Line(ctx, kLines[i])) return 1;
    }
  }
  QueryPerformanceCounter(&t1);
  double seconds = double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
  double lines = double(kRounds) * (n - 3) + 3;
  printf("expression lines: %.0f in %.2f s: %.0f lines per second\n", lines, seconds, lines / seconds);
  return 0;
}
