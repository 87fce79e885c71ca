// Checksums of a buffer's data: an MD5 digest (through the system's
// cryptographic provider), CRC-16 and CRC-32.
#include <windows.h>
#include <wincrypt.h>
#include <zlib.h>

#include <cstdio>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "expr/eval.h"

namespace zel::bin {
namespace {

constexpr uint16_t kBadChecksumMode = 1704;

enum : int32_t { kModeMd5 = 0, kModeCrc16 = 1, kModeCrc32 = 2 };

// The MD5 digest of n bytes; false when the provider refuses.
bool Md5(const uint8_t* p, DWORD n, uint8_t digest[16]) {
  HCRYPTPROV prov = 0;
  HCRYPTHASH hash = 0;
  DWORD len = 16;
  bool ok = CryptAcquireContextA(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
            CryptCreateHash(prov, CALG_MD5, 0, 0, &hash) && CryptHashData(hash, p, n, 0) &&
            CryptGetHashParam(hash, HP_HASHVAL, digest, &len, 0) && len == 16;
  if (hash) CryptDestroyHash(hash);
  if (prov) CryptReleaseContext(prov, 0);
  return ok;
}

// CRC-16 with the reflected polynomial 0xA001, starting from 0.
uint16_t Crc16(const uint8_t* p, size_t n) {
  uint16_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? uint16_t(crc >> 1 ^ 0xA001) : uint16_t(crc >> 1);
  }
  return crc;
}

// BinaryChecksum(h, mode): the checksum text of bytes 0 to EOD.
void Checksum(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  char text[40];
  size_t n = size_t(b->eod);
  switch (args[2].ival) {
    case kModeMd5: {
      uint8_t d[16];
      if (!Md5(b->data, DWORD(n), d)) return err::Raise(ctx, kNoMemory);
      snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x%02x%02x-%02x%02x%02x%02x-%02x%02x%02x%02x",
               d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10], d[11], d[12], d[13],
               d[14], d[15]);
      break;
    }
    case kModeCrc16: snprintf(text, sizeof text, "%04x", Crc16(b->data, n)); break;
    case kModeCrc32:
      snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(crc32(0L, b->data, uInt(n))));
      break;
    default: return err::Raise(ctx, kBadChecksumMode);
  }
  expr::SetText(ctx, r, text);
}

}  // namespace

void RegisterChecksum() { calls::Register("binarychecksum", Checksum); }

}  // namespace zel::bin
