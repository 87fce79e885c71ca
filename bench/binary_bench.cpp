// Binary buffer speed: fills a 16 MB buffer, searches it, sorts 100,000
// fixed-size records by a text key and by a 32-bit key, and compresses and
// decompresses the 16 MB; every step runs as a script line and prints its
// time.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "benchhost.h"

using namespace zel;

namespace {

ScriptContext* g_ctx;
LARGE_INTEGER g_freq;

double Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / double(g_freq.QuadPart);
}

// Runs one line; its integer result, or ends the program on an error.
int32_t Line(const char* text) {
  int32_t n = 0;
  if (!bench::Line(g_ctx, text, &n)) ExitProcess(1);
  return n;
}

// Runs a line `times` times and prints the time each took and the rate in MB/s
// over `bytes` (0: no rate).
int32_t Timed(const char* label, const char* text, int times, double bytes) {
  double t0 = Now();
  int32_t n = 0;
  for (int i = 0; i < times; ++i) n = Line(text);
  double each = (Now() - t0) / times;
  if (bytes > 0)
    printf("binary %-34s %8.1f ms  %8.1f MB/s\n", label, each * 1000, bytes / each / 1e6);
  else
    printf("binary %-34s %8.1f ms\n", label, each * 1000);
  return n;
}

}  // namespace

int main() {
  test::HostBlocks host;
  g_ctx = bench::StartContext(&host, 100, 64 * 1024 * 1024);
  if (!g_ctx) return 1;
  QueryPerformanceFrequency(&g_freq);
  const double kBig = 16.0 * 1024 * 1024;

  // Fill: a 64-byte text, doubled by copying the buffer onto its own end.
  Line("b = BinaryAlloc(16777216)");
  double t0 = Now();
  Line("n = BinaryPokeStr(b, 0, 'The quick brown fox jumps over the lazy dog; 0123456789 ABCDEFG')");
  for (int have = 64; have < 16 * 1024 * 1024; have *= 2) {
    char line[80];
    snprintf(line, sizeof line, "n = BinaryCopy(b, %d, b, 0, %d)", have, have);
    Line(line);
  }
  printf("binary %-34s %8.1f ms\n", "fill 16 MB (copy doubling)", (Now() - t0) * 1000);
  Line("n = BinaryPokeStr(b, 16777000, 'needle')");

  Timed("index forward, exact", "BinaryIndexEx(b, 0, 'needle', 0, 1)", 5, kBig);
  Timed("index forward, ignoring case", "BinaryIndexEx(b, 0, 'NEEDLE', 0, 0)", 3, kBig);
  Timed("index backward, exact", "BinaryIndexEx(b, 16777215, 'zzz', 1, 1)", 3, kBig);
  Timed("count 'fox'", "BinaryStrCnt(b, 0, 16777215, 'fox')", 3, kBig);
  Timed("checksum CRC-32", "StrLen(BinaryChecksum(b, 2))", 3, kBig);

  // 100,000 records of 16 bytes: an 8-byte text key and a 32-bit key.
  Line("r = BinaryAlloc(1600000)");
  uint8_t* rec = g_ctx->buffers[1].data;
  uint32_t s = 1;
  for (int i = 0; i < 100000; ++i) {
    uint8_t* p = rec + i * 16;
    for (int k = 0; k < 8; ++k) {
      s = s * 1103515245u + 12345u;
      p[k] = static_cast<uint8_t>('A' + (s >> 16) % 52 % 26 + ((s >> 24) & 1) * 32);
    }
    s = s * 1103515245u + 12345u;
    memcpy(p + 8, &s, 4);
  }
  g_ctx->buffers[1].eod = 1600000;
  Timed("sort 100,000 records, text key", "BinarySort(r, 16, 0, 8, 0)", 1, 0);
  Timed("sort 100,000 records, 32-bit key", "BinarySort(r, 16, 8, 4, 4)", 1, 0);
  Timed("sort 100,000 records, sorted again", "BinarySort(r, 16, 8, 4, 4)", 1, 0);

  Line("c = BinaryAlloc(17000000)");
  Line("u = BinaryAlloc(16777216)");
  int32_t packed = Timed("compress 16 MB, level 6", "BinaryComp(b, c, 6)", 1, kBig);
  Timed("compress 16 MB, level 1", "BinaryComp(b, c, 1)", 1, kBig);
  Timed("decompress to 16 MB", "BinaryUncomp(c, u)", 3, kBig);
  printf("binary %-34s %8d bytes\n", "compressed size (level 1)", packed ? Line("BinaryEodGet(c)") : 0);
  if (Line("BinaryCompare(b, 0, u, 0, 16777216)") != 1) {
    fprintf(stderr, "the round trip changed the data\n");
    return 1;
  }
  return 0;
}
