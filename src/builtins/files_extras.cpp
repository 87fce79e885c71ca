// Further file functions: FileCompare, FileCreateTemp, FileVerInfo,
// ExeTypeInfo, InstallFile, the digests of the platform's cryptography
// service (FileDigest) and the thumbprint of a signed file's certificate
// (FileDigestGetKey).
#include <windows.h>
#include <wincrypt.h>
#include <winver.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "expr/eval.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kCompareNotFound = 1385;
constexpr uint16_t kOpenError = 1800;
constexpr uint16_t kReadError = 1801;
constexpr DWORD kChunk = 65536;  // bytes read at a time when comparing or hashing

// A file opened for reading, closed when it goes.
class InFile {
 public:
  explicit InFile(const wchar_t* name)
      : h_(CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~InFile() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  // Reads up to `n` bytes; the count, or -1 on failure.
  int64_t Read(void* p, DWORD n) {
    DWORD got = 0;
    return ReadFile(h_, p, n, &got, nullptr) ? got : -1;
  }

 private:
  HANDLE h_;
};

// 1 the same bytes, 0 different, -1 a read failure.
int SameContents(const wchar_t* a, const wchar_t* b) {
  InFile fa(a), fb(b);
  if (!fa.ok() || !fb.ok()) return -1;
  static uint8_t spare[2][kWorkBuf];  // when no larger buffer can be had
  DWORD chunk = kChunk;
  uint8_t *pa = spare[0], *pb = spare[1];
  HGLOBAL h = GlobalAlloc(GMEM_FIXED, 2 * kChunk);
  if (h) {
    pa = static_cast<uint8_t*>(h);
    pb = pa + kChunk;
  } else {
    chunk = kWorkBuf;
  }
  int result = 1;
  for (;;) {
    int64_t na = fa.Read(pa, chunk), nb = fb.Read(pb, chunk);
    if (na < 0 || nb < 0) {
      result = -1;
      break;
    }
    if (na != nb || memcmp(pa, pb, static_cast<size_t>(na)) != 0) {
      result = 0;
      break;
    }
    if (na == 0) break;
  }
  if (h) GlobalFree(h);
  return result;
}

// FileCompare(file1, file2): 0 when both hold the same bytes; otherwise 1
// when file1 was written later, -1 earlier, and for equal times 2 when file1
// is at least as large, -2 when it is smaller.
void FileCompare(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path a, b;
  if (!files::PathArg(ctx, &args[1], &a, files::kNameOverrun) ||
      !files::PathArg(ctx, &args[2], &b, files::kNameOverrun))
    return;
  WIN32_FILE_ATTRIBUTE_DATA da, db;
  files::QuietErrors quiet;
  if (!files::IsFile(files::Attributes(a.p)) || !files::IsFile(files::Attributes(b.p)) ||
      !GetFileAttributesExW(a.p, GetFileExInfoStandard, &da) ||
      !GetFileAttributesExW(b.p, GetFileExInfoStandard, &db))
    return err::Raise(ctx, kCompareNotFound);
  int64_t sa = files::SizeOf(a.p), sb = files::SizeOf(b.p);
  if (sa == sb) {
    int same = SameContents(a.p, b.p);
    if (same < 0) return files::RaiseSystem(ctx, kReadError, "ReadFile");
    if (same) return;  // 0
  }
  LONG t = CompareFileTime(&da.ftLastWriteTime, &db.ftLastWriteTime);
  r->ival = t != 0 ? t : sa >= sb ? 2 : -2;
}

// FileCreateTemp(prefix): creates an empty file of a new name in the
// temporary folder (the name begins with up to three characters of the
// prefix) and returns its full name.
void FileCreateTemp(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path prefix, folder, name;
  if (!files::PathArg(ctx, &args[1], &prefix, files::kNameOverrun)) return;
  if (prefix.len > 3) prefix.p[prefix.len = 3] = 0;
  DWORD n = GetTempPathW(files::kPathUnits, folder.p);
  if (n == 0 || n >= files::kPathUnits || !GetTempFileNameW(folder.p, prefix.p, 0, name.p))
    return files::RaiseSystem(ctx, kOpenError, "GetTempFileName");
  files::SetNameResult(ctx, r, name.p, wcslen(name.p));
}

// ---- version information

void Widen(const char* text, wchar_t* out, size_t size) {
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, static_cast<int>(size)) <= 0) out[0] = 0;
}

// FileVerInfo(file, language, item): an item of the file's version
// resources ("CompanyName", "FileVersion", ...) for a language-and-code-page
// key such as "040904b0" (""= the file's first); "#FileVersion" and
// "#ProductVersion" read the fixed numbers as "a.b.c.d". "" when absent.
void FileVerInfo(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  wchar_t language[64], item[256], key[400];
  Widen(ArgText(ctx, args[2]), language, 64);
  Widen(ArgText(ctx, args[3]), item, 256);
  DWORD ignored = 0;
  files::QuietErrors quiet;
  DWORD size = GetFileVersionInfoSizeW(name.p, &ignored);
  txt::WorkMemory w;
  void* text = nullptr;
  UINT len = 0;
  if (size == 0 || !w.Get(ctx, size) || !GetFileVersionInfoW(name.p, 0, size, w.As<void>())) {
    files::SetNameResult(ctx, r, L"", 0);
    return;
  }
  if (item[0] == '#') {
    VS_FIXEDFILEINFO* f = nullptr;
    if (!VerQueryValueW(w.As<void>(), L"\\", reinterpret_cast<void**>(&f), &len) || !f) {
      files::SetNameResult(ctx, r, L"", 0);
      return;
    }
    bool product = lstrcmpiW(item, L"#ProductVersion") == 0;
    DWORD ms = product ? f->dwProductVersionMS : f->dwFileVersionMS;
    DWORD ls = product ? f->dwProductVersionLS : f->dwFileVersionLS;
    swprintf(key, 400, L"%u.%u.%u.%u", HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls));
    files::SetNameResult(ctx, r, key, wcslen(key));
    return;
  }
  if (!language[0]) {
    WORD* pair = nullptr;
    void* found = nullptr;
    if (VerQueryValueW(w.As<void>(), L"\\VarFileInfo\\Translation", &found, &len) && found &&
        len >= 4) {
      pair = static_cast<WORD*>(found);
      swprintf(language, 64, L"%04x%04x", pair[0], pair[1]);
    }
  }
  swprintf(key, 400, L"\\StringFileInfo\\%ls\\%ls", language, item);
  if (!VerQueryValueW(w.As<void>(), key, &text, &len) || !text) len = 0;
  size_t n = len ? wcsnlen(static_cast<wchar_t*>(text), len) : 0;
  files::SetNameResult(ctx, r, n ? static_cast<wchar_t*>(text) : L"", n);
}

// ExeTypeInfo(file): 0 not a program, 1 DOS, 2 16-bit Windows, 3 32-bit
// Windows, 4 64-bit Windows, 5 another kind.
void ExeTypeInfo(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  DWORD type = 0;
  files::QuietErrors quiet;
  if (!GetBinaryTypeW(name.p, &type)) return;
  switch (type) {
    case SCS_DOS_BINARY: r->ival = 1; break;
    case SCS_WOW_BINARY: r->ival = 2; break;
    case SCS_32BIT_BINARY: r->ival = 3; break;
    case SCS_64BIT_BINARY: r->ival = 4; break;
    default: r->ival = 5; break;
  }
}

// InstallFile(from, to, folder, deleteOld, flags): installs the file `from`
// as `to` in `folder` through the system's version-checking installer;
// `deleteOld` removes an older copy found elsewhere, `flags` are the
// installer's own. The result is the installer's answer bits, 0 on success.
void InstallFile(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path from, to, folder, sourceDir;
  if (!files::PathArg(ctx, &args[1], &from, files::kNameOverrun) ||
      !files::PathArg(ctx, &args[2], &to, files::kNameOverrun) ||
      !files::PathArg(ctx, &args[3], &folder, files::kNameOverrun))
    return;
  size_t start = files::NameStart(from.p, from.len);
  files::SetPath(&sourceDir, from.p, start);
  wchar_t current[files::kPathUnits] = L"", temp[files::kPathUnits] = L"";
  UINT curLen = files::kPathUnits, destLen = files::kPathUnits;
  VerFindFileW(0, to.p, nullptr, folder.p, current, &curLen, temp, &destLen);
  UINT tempLen = files::kPathUnits;
  DWORD flags = static_cast<DWORD>(args[5].ival) & (VIFF_FORCEINSTALL | VIFF_DONTDELETEOLD);
  if (!args[4].ival) flags |= VIFF_DONTDELETEOLD;
  files::QuietErrors quiet;
  DWORD result = VerInstallFileW(flags, from.p + start, to.p, sourceDir.p, folder.p,
                                 current[0] ? current : folder.p, temp, &tempLen);
  r->ival = static_cast<int32_t>(result);
}

// ---- digests

struct Algorithm {
  const char* name;
  ALG_ID id;
};
constexpr Algorithm kAlgorithms[] = {{"MD2", CALG_MD2},         {"MD4", CALG_MD4},
                                     {"MD5", CALG_MD5},         {"SHA1", CALG_SHA1},
                                     {"SHA256", CALG_SHA_256},  {"SHA384", CALG_SHA_384},
                                     {"SHA512", CALG_SHA_512}};

// The cryptography service's provider and one hash object, released together.
class Hash {
 public:
  explicit Hash(ALG_ID id) {
    if (CryptAcquireContextW(&prov_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
        !CryptCreateHash(prov_, id, 0, 0, &hash_))
      hash_ = 0;
  }
  ~Hash() {
    if (hash_) CryptDestroyHash(hash_);
    if (prov_) CryptReleaseContext(prov_, 0);
  }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  bool ok() const { return hash_ != 0; }
  bool Add(const void* p, DWORD n) {
    return CryptHashData(hash_, static_cast<const BYTE*>(p), n, 0) != 0;
  }
  // The digest in upper-case hexadecimal.
  bool Hex(char* out, size_t size) {
    BYTE value[64];
    DWORD n = sizeof value;
    if (!CryptGetHashParam(hash_, HP_HASHVAL, value, &n, 0) || n * 2 + 1 > size) return false;
    for (DWORD i = 0; i < n; ++i) snprintf(out + 2 * i, 3, "%02X", value[i]);
    return true;
  }

 private:
  HCRYPTPROV prov_ = 0;
  HCRYPTHASH hash_ = 0;
};

// FileDigest(file, algorithm): the file's digest in hexadecimal by MD2, MD4,
// MD5, SHA1, SHA256, SHA384 or SHA512.
void FileDigest(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  const char* wanted = ArgText(ctx, args[2]);
  const Algorithm* alg = nullptr;
  for (const Algorithm& a : kAlgorithms)
    if (lstrcmpiA(a.name, wanted) == 0) alg = &a;
  if (!alg) return err::Raise(ctx, files::kBadRequest);
  files::QuietErrors quiet;
  InFile in(name.p);
  if (!in.ok()) return files::RaiseSystem(ctx, kOpenError, "CreateFile");
  Hash hash(alg->id);
  if (!hash.ok()) return files::RaiseSystem(ctx, 1825, "CryptCreateHash");
  txt::WorkMemory w;
  if (!w.Get(ctx, kChunk)) return;
  for (;;) {
    int64_t n = in.Read(w.As<void>(), kChunk);
    if (n < 0) return files::RaiseSystem(ctx, kReadError, "ReadFile");
    if (n == 0) break;
    if (!hash.Add(w.As<void>(), static_cast<DWORD>(n)))
      return files::RaiseSystem(ctx, 1825, "CryptHashData");
  }
  char hex[129];
  if (!hash.Hex(hex, sizeof hex)) return files::RaiseSystem(ctx, 1825, "CryptGetHashParam");
  expr::SetText(ctx, r, hex);
}

// The signer's certificate of a file signed with an embedded signature.
class SignerCertificate {
 public:
  explicit SignerCertificate(const wchar_t* name) {
    DWORD encoding = 0, content = 0, format = 0;
    if (!CryptQueryObject(CERT_QUERY_OBJECT_FILE, name,
                          CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED, CERT_QUERY_FORMAT_FLAG_BINARY,
                          0, &encoding, &content, &format, &store_, &msg_, nullptr))
      return;
    DWORD size = 0;
    if (!CryptMsgGetParam(msg_, CMSG_SIGNER_INFO_PARAM, 0, nullptr, &size) || size == 0) return;
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, size);
    auto* info = static_cast<CMSG_SIGNER_INFO*>(static_cast<void*>(h));
    if (info && CryptMsgGetParam(msg_, CMSG_SIGNER_INFO_PARAM, 0, info, &size)) {
      CERT_INFO wanted{};
      wanted.Issuer = info->Issuer;
      wanted.SerialNumber = info->SerialNumber;
      cert_ = CertFindCertificateInStore(store_, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                         CERT_FIND_SUBJECT_CERT, &wanted, nullptr);
    }
    if (h) GlobalFree(h);
  }
  ~SignerCertificate() {
    if (cert_) CertFreeCertificateContext(cert_);
    if (store_) CertCloseStore(store_, 0);
    if (msg_) CryptMsgClose(msg_);
  }
  SignerCertificate(const SignerCertificate&) = delete;
  SignerCertificate& operator=(const SignerCertificate&) = delete;

  // The certificate's SHA-1 thumbprint in hexadecimal; "" when there is none.
  void Thumbprint(char* out, size_t size) const {
    out[0] = 0;
    BYTE value[20];
    DWORD n = sizeof value;
    if (!cert_ || !CertGetCertificateContextProperty(cert_, CERT_SHA1_HASH_PROP_ID, value, &n) ||
        n * 2 + 1 > size)
      return;
    for (DWORD i = 0; i < n; ++i) snprintf(out + 2 * i, 3, "%02X", value[i]);
  }

 private:
  HCERTSTORE store_ = nullptr;
  HCRYPTMSG msg_ = nullptr;
  PCCERT_CONTEXT cert_ = nullptr;
};

// FileDigestGetKey(file): the SHA-1 thumbprint of the certificate that
// signed the file; "" for a file without an embedded signature.
void FileDigestGetKey(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  files::QuietErrors quiet;
  if (!files::IsFile(files::Attributes(name.p))) return err::Raise(ctx, kOpenError);
  char hex[41];
  SignerCertificate(name.p).Thumbprint(hex, sizeof hex);
  expr::SetText(ctx, r, hex);
}

}  // namespace

void RegisterFileExtras() {
  Register("filecompare", FileCompare);
  Register("filecreatetemp", FileCreateTemp);
  Register("fileverinfo", FileVerInfo);
  Register("exetypeinfo", ExeTypeInfo);
  Register("installfile", InstallFile);
  Register("filedigest", FileDigest);
  Register("filedigestgetkey", FileDigestGetKey);
}

}  // namespace zel::calls
