// Statement speed: runs each bench/*.zlt script through ProcessDaBatBuffer
// in-process and prints the statements executed per second.
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/api.h"
#include "host/context.h"
#include "../tests/unit/testhost.h"

using namespace zel;

namespace {

bool ReadFile(const std::string& path, std::string* out) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
  fclose(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "..\\..\\..\\bench";
  test::HostBlocks host;
  if (!test::MakeBlocks(&host, 200, 64 * 1024, 256 * 1024 * 1024) ||
      !test::StartContext(&DoDaDllInit, &host)) {
    fprintf(stderr, "cannot start a context\n");
    return 1;
  }
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\*.zlt").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "no scripts in %s\n", dir.c_str());
    return 1;
  }
  int rc = 0;
  do {
    std::string text;
    if (!ReadFile(dir + "\\" + fd.cFileName, &text)) continue;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    memcpy(GlobalLock(h), text.data(), text.size());
    GlobalUnlock(h);
    auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    uint64_t before = ctx->statements;
    GlobalUnlock(host.context);
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    ProcessDaBatBuffer(nullptr, host.context, h, nullptr, nullptr);
    QueryPerformanceCounter(&t1);
    GlobalFree(h);
    ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    uint64_t count = ctx->statements - before;
    uint16_t error = static_cast<uint16_t>(ctx->runError);
    GlobalUnlock(host.context);
    double seconds = double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
    printf("%-18s %9llu statements in %6.2f s: %10.0f statements per second%s\n", fd.cFileName,
           static_cast<unsigned long long>(count), seconds, count / seconds,
           error && error != 9000 ? " (ended by an error)" : "");
    if (error && error != 9000) rc = 1;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return rc;
}
