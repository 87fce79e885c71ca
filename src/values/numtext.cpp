// Texts of numbers: floats by the Decimals setting and back, integers in
// bases 2 to 36 and back, and the integer and hexadecimal text checks.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/errinfo.h"
#include "values/convert.h"

namespace zel::val {
namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kMinBase = 2, kMaxBase = 36;

// The Decimals setting's range and what values outside it become.
constexpr int32_t kDecimalsMax = 8;        // 9 or more becomes 8
constexpr int32_t kDecimalsMin = -3;       // below -3 becomes kDecimalsDefault
constexpr int32_t kDecimalsShortest = -2;  // "%g"
constexpr int32_t kDecimalsExponent = -3;  // "%e"
constexpr int kAutoPrecision = 8;          // digits printed when Decimals is negative

// FormatFloat's form thresholds.
constexpr double kWholeLimit = 2147483647.0;    // Decimals 0 prints an integer below this
constexpr double kExponentAbove = 999999999.0;  // the exponent form from here up
constexpr double kExponentBelow = 0.0001;       // and, with Decimals -1, below this

constexpr int kExponentDigits = 3;  // the exponent always shows at least three digits
constexpr int kPrintfPrecision = 6;  // what "%g" and "%e" print without a precision

// printf's text of a float is at most 20 characters here (eight decimals below
// 1e9, or an exponent form); this leaves room to widen the exponent.
constexpr size_t kFloatWork = 48;

int32_t ClampDecimals(int32_t d) {
  if (d > kDecimalsMax) return kDecimalsMax;
  if (d < kDecimalsMin) return kDecimalsDefault;
  return d;
}

// Widens the exponent of an "e" form to kExponentDigits digits in place.
void WidenExponent(char* text, size_t size) {
  char* e = strchr(text, 'e');
  if (!e) return;
  char* digits = e + 1;
  if (*digits == '+' || *digits == '-') ++digits;
  size_t have = strlen(digits);
  if (have >= kExponentDigits) return;
  size_t add = kExponentDigits - have;
  if (strlen(text) + add >= size) return;
  memmove(digits + add, digits, have + 1);
  memset(digits, '0', add);
}

void Print(char* text, size_t size, const char* format, int precision, double x) {
  snprintf(text, size, format, precision, x);
  WidenExponent(text, size);
}

// Fixed or exponent form with Decimals d in 0..8 or -1. With d >= 0 the text
// has d decimals (or more characters after the point, in the exponent form).
// With -1 a fixed form loses its trailing zeros but keeps one decimal.
void PrintPointed(int32_t d, double x, char* text, size_t size) {
  int precision = d < 0 ? kAutoPrecision : d;
  double ax = fabs(x);
  bool exponent = ax >= kExponentAbove || (ax < kExponentBelow && d == kDecimalsDefault);
  // The "#" flag makes printf always write the decimal point.
  Print(text, size, exponent ? "%#1.*e" : "%#1.*f", precision, x);
  if (d >= 0 || exponent) return;  // exactly d decimals, or the exponent form as printed
  size_t len = strlen(text);
  while (len > 0 && text[len - 1] == '0') text[--len] = 0;
  if (len > 0 && text[len - 1] == '.' && len + 1 < size) {  // keep one decimal
    text[len] = '0';
    text[len + 1] = 0;
  }
}

// The float's text by Decimals d into `text` (at least kFloatWork bytes).
void FloatText(int32_t d, double x, char* text, size_t size) {
  if (x == 0.0 && d == kDecimalsDefault) {
    snprintf(text, size, "0.0");
  } else if (d == 0 && fabs(x) < kWholeLimit) {
    IntToText(static_cast<int32_t>(RoundHalfAway(x)), 10, text, size);
  } else if (d == kDecimalsShortest || d == kDecimalsExponent) {
    // printf never begins these with ".", so no "0" is needed in front.
    Print(text, size, d == kDecimalsShortest ? "%.*g" : "%.*e", kPrintfPrecision, x);
  } else {
    PrintPointed(d, x, text, size);
  }
}

// A decimal number and nothing else: white space, an optional sign, digits
// with an optional point, an optional exponent of "e" or "E" and digits.
// Refuses the other forms the C library reads (hexadecimal, "inf", "nan") and
// exponents written with "d" or "D".
bool IsDecimalForm(const char* t) {
  auto digit = [](char ch) { return ch >= '0' && ch <= '9'; };
  while (*t == ' ' || (*t >= '\t' && *t <= '\r')) ++t;
  if (*t == '+' || *t == '-') ++t;
  bool mantissa = false;
  for (; digit(*t); ++t) mantissa = true;
  if (*t == '.')
    for (++t; digit(*t); ++t) mantissa = true;
  if (!mantissa) return false;
  if (*t == 'e' || *t == 'E') {
    ++t;
    if (*t == '+' || *t == '-') ++t;
    if (!digit(*t)) return false;
    while (digit(*t)) ++t;
  }
  return *t == 0;
}

template <typename Ch>
int IntToTextT(int32_t n, int base, Ch* buf, size_t size) {
  if (!buf || size == 0) return 0;
  buf[0] = 0;
  if (base < kMinBase || base > kMaxBase) return 0;
  // The magnitude in 32 unsigned bits, so the most negative number has one too.
  uint32_t mag = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
  Ch rev[32];  // base 2 needs 32 digits
  size_t k = 0;
  do {
    rev[k++] = static_cast<Ch>(kDigits[mag % base]);
    mag /= base;
  } while (mag);
  size_t len = k + (n < 0 ? 1 : 0);
  if (len >= size) return 0;
  size_t i = 0;
  if (n < 0) buf[i++] = '-';
  while (k) buf[i++] = rev[--k];
  buf[i] = 0;
  return static_cast<int>(len);
}

template <typename Ch>
int32_t TextToIntT(const Ch* p) {
  while (*p == ' ') ++p;
  bool neg = false;
  if (*p == '-' || *p == '+') neg = *p++ == '-';
  uint32_t n = 0;  // wraps in 32 bits: no overflow check
  while (*p >= '0' && *p <= '9') n = n * 10 + static_cast<uint32_t>(*p++ - '0');
  return static_cast<int32_t>(neg ? 0u - n : n);
}

// Blanks and tabs, one optional sign, digits that `isDigit` accepts, blanks and
// tabs, and the end. A blank text passes.
template <typename IsDigit>
bool IsNumberText(const char* t, IsDigit isDigit) {
  if (!t) return false;
  auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
  while (blank(*t)) ++t;
  if (*t == '+' || *t == '-') ++t;
  while (isDigit(*t)) ++t;
  while (blank(*t)) ++t;
  return *t == 0;
}

int DigitValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'Z') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'z') return ch - 'a' + 10;
  return kMaxBase;  // not a digit in any base
}

}  // namespace

double RoundHalfAway(double x) { return std::trunc(x >= 0.0 ? x + 0.5 : x - 0.5); }

bool FormatFloat(ScriptContext* ctx, double x, char* buf, size_t size) {
  if (buf && size) buf[0] = 0;
  if (std::isnan(x)) {
    err::Raise(ctx, 1599);
    return false;
  }
  // An infinity is what an overflow leaves; it has no text of its own here.
  if (std::isinf(x)) {
    err::Raise(ctx, 1342);
    return false;
  }
  if (x == 0.0) x = 0.0;  // a negative zero prints as zero, so 0.0 and -0.0 compare equal as text
  char text[kFloatWork];
  FloatText(ClampDecimals(ctx->decimals), x, text, sizeof text);
  size_t len = strlen(text);
  if (!buf || len >= size) return false;  // the caller's buffer is too small
  memcpy(buf, text, len + 1);
  return true;
}

bool ParseFloat(ScriptContext* ctx, const char* text, double* out) {
  if (!text || !*text) return false;
  if (!IsDecimalForm(text)) return false;  // checked whole, so strtod reads all of it
  errno = 0;
  double x = strtod(text, nullptr);
  if (errno == ERANGE && std::isinf(x)) {
    err::Raise(ctx, 1342);
    return false;
  }
  *out = x;  // an underflow is accepted as what the library made of it: 0.0 or a tiny number
  return true;
}

int IntToText(int32_t n, int base, char* buf, size_t size) {
  return IntToTextT(n, base, buf, size);
}
int IntToText(int32_t n, int base, wchar_t* buf, size_t size) {
  return IntToTextT(n, base, buf, size);
}

int32_t TextToInt(const char* text) { return TextToIntT(text); }
int32_t TextToInt(const wchar_t* text) { return TextToIntT(text); }

int32_t TextToIntBase(const char* text, int base) {
  if (base < kMinBase || base > kMaxBase) return -1;
  uint32_t n = 0;  // wraps in 32 bits
  for (const char* p = text; p && *p; ++p) {
    int v = DigitValue(*p);
    if (v >= base) return -2;
    n = n * static_cast<uint32_t>(base) + static_cast<uint32_t>(v);
  }
  return static_cast<int32_t>(n);
}

bool IsIntegerText(const char* text) {
  return IsNumberText(text, [](char ch) { return ch >= '0' && ch <= '9'; });
}

bool IsHexText(const char* text) {
  return IsNumberText(text, [](char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
  });
}

int32_t SetDecimals(ScriptContext* ctx, int32_t n) {
  int32_t previous = ctx->decimals;
  ctx->decimals = ClampDecimals(n);
  return previous;
}

}  // namespace zel::val
