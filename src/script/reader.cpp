// Reading scrambled script text back: one logical line at a time for the run
// loop, and a position traced back to its file and line through the marker
// lines.
#include <cstring>

#include "lexer/chars.h"
#include "script/include.h"
#include "script/scramble.h"
#include "script/script.h"

namespace zel::script {
namespace {

constexpr char kEndOfFile = 26;  // ends a line like a line feed
constexpr uint16_t kErrLineTooLong = 3722;

bool EndsLine(char c) { return c == '\n' || c == kEndOfFile; }

// Decodes the scrambled text of the running script or body.
struct Decoder {
  const uint8_t* text;
  uint32_t len;
  uint32_t base;
  char operator[](uint32_t p) const {
    return static_cast<char>(scramble::Decode(text[p], base + p));
  }
};

// End of the line that starts at p: the position of its line feed, or len.
uint32_t LineEnd(const Decoder& d, uint32_t p) {
  while (p < d.len && d[p] != '\n') ++p;
  return p;
}

uint32_t SkipBlanks(const Decoder& d, uint32_t p, uint32_t end) {
  while (p < end && lex::IsBlank(d[p])) ++p;
  return p;
}

bool IsMarker(const Decoder& d, uint32_t p, uint32_t end) {
  return p + kMarkerHead <= end && d[p] == ';' && d[p + 1] == kMarkerTag;
}

// Takes the flag, the line number and the path of the marker line [p, end).
void ReadMarker(const Decoder& d, uint32_t p, uint32_t end, Location* out) {
  out->markerFlag = static_cast<uint8_t>(d[p + 2]);
  uint32_t line = 0;
  for (uint32_t i = 0; i < 4; ++i)
    line = line << 6 | ((static_cast<uint8_t>(d[p + 4 + i]) - kMarkerFlagBase) & 63);
  out->line = line;
  uint32_t n = 0;
  for (uint32_t q = p + kMarkerHead; q < end && n + 1 < sizeof out->path; ++q)
    out->path[n++] = d[q];
  out->path[n] = 0;
}

// The text of the reader's line around `pos` (which may begin after a byte 26
// within the line [lineStart, lineEnd)), blanks skipped, up to its end.
void CopyLineText(const Decoder& d, uint32_t lineStart, uint32_t lineEnd, uint32_t pos,
                  Location* out) {
  uint32_t p = pos < lineEnd ? pos : lineEnd;
  while (p > lineStart && d[p - 1] != kEndOfFile) --p;
  p = SkipBlanks(d, p, lineEnd);
  size_t n = 0;
  for (; p < lineEnd && n + 1 < sizeof out->text; ++p) {
    char c = d[p];
    if (c == 0 || c == kEndOfFile) break;
    out->text[n++] = c;
  }
  out->text[n] = 0;
}

}  // namespace

bool ReadLine(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t* pos,
              uint32_t* start) {
  return ReadLineInto(ctx, text, len, pos, start, ctx->lineBuf);
}

bool ReadLineInto(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t* pos,
                  uint32_t* start, char* out) {
  Decoder d{text, len, ctx->bodyBase};
  uint32_t p = *pos;
  int n = 0;
  bool begun = false, cut = false;
  ctx->deferredLineError = 0;
  uint32_t lineEnd = len;  // where the line's terminator stands
  while (p < len) {
    char c = d[p++];
    if (EndsLine(c)) {
      lineEnd = p - 1;
      break;
    }
    if (c == 0) continue;  // a NUL inside the text is passed over
    if (!begun) {
      if (lex::IsBlank(c)) continue;
      begun = true;
      *start = p - 1;
    }
    if (n < kMaxLine) {
      out[n++] = c;
    } else if (!cut) {
      // One more is allowed when it is the space left of a CR LF.
      if (c == ' ' && p < len && d[p] == '\n') continue;
      cut = true;  // the rest of the line is read and dropped
      ctx->deferredLineError = kErrLineTooLong;
    }
  }
  *pos = p;
  out[n] = 0;
  if (!begun) *start = lineEnd;  // an empty line starts where it ends
  return n > 0 || p < len;
}

void Locate(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t pos, Location* out) {
  LocateIn(ctx, text, len, ctx->bodyBase, ctx->inUdfBody != 0, pos, out);
}

void LocateIn(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t base, bool body,
              uint32_t pos, Location* out) {
  Decoder d{text, len, base};
  lstrcpynA(out->path, ctx->scriptPath, sizeof out->path);
  out->line = 1;
  out->bodyLine = 0;
  out->markerFlag = 0;
  out->text[0] = 0;
  if (pos > len) pos = len;
  uint32_t counted = 1;  // lines from the start of this text, marker lines not counted
  uint32_t p = 0;
  for (;;) {
    uint32_t end = LineEnd(d, p);
    uint32_t first = SkipBlanks(d, p, end);
    if (IsMarker(d, first, end)) {
      ReadMarker(d, first, end, out);
    } else if (pos <= end) {
      CopyLineText(d, p, end, pos, out);
      break;
    } else {
      ++out->line;
      ++counted;
    }
    if (end >= len) break;
    p = end + 1;
  }
  if (body) out->bodyLine = counted;
}

}  // namespace zel::script
