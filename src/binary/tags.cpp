// Tag structures: texts that carry the state of a search for start-tag /
// end-tag pairs in a buffer, so that a script can walk the pairs, extract
// the data between them and replace them.
#include <cstdio>
#include <cstring>

#include "binary/buffer.h"
#include "binary/search.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "expr/eval.h"

namespace zel::bin {
namespace {

constexpr uint16_t kBlankTag = 1580;
constexpr uint16_t kBadStructure = 1581;
constexpr uint16_t kBadTagMode = 1655;

enum : uint32_t { kStateInit = 0x49, kStateFound = 0x46, kStateReplaced = 0x52 };

// The fixed fields: length 4, slot 4, offset 8, state 4, start-tag length 4,
// end-tag length 4, data length 8 hexadecimal digits.
constexpr size_t kFixedLen = 36;
constexpr size_t kMaxStructure = 0xFFFF;  // the length field's four digits

struct Tag {
  uint32_t slot;
  int64_t offset;
  uint32_t state;
  size_t startLen, endLen;
  int64_t dataLen;
  const char* startTag;  // inside the structure's text
  const char* endTag;
};

bool HexField(const char* p, int digits, uint32_t* out) {
  uint32_t v = 0;
  for (int i = 0; i < digits; ++i) {
    char c = p[i];
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    v = v << 4 | uint32_t(d);
  }
  *out = v;
  return true;
}

// Reads a structure; 1581 unless every field is sound and the tags sit where
// their lengths say, and 3023 when its buffer is no longer open.
bool ParseTag(ScriptContext* ctx, const Value& arg, Tag* t, BufferSlot** b) {
  txt::Text<char> s = txt::Arg<char>(ctx, arg);
  uint32_t len, slot, offset, state, startLen, endLen, dataLen;
  const char* p = s.p;
  bool ok = s.len >= kFixedLen && HexField(p, 4, &len) && HexField(p + 4, 4, &slot) &&
            HexField(p + 8, 8, &offset) && HexField(p + 16, 4, &state) &&
            HexField(p + 20, 4, &startLen) && HexField(p + 24, 4, &endLen) &&
            HexField(p + 28, 8, &dataLen) && len == s.len && int32_t(offset) >= 0 &&
            int32_t(dataLen) >= 0 &&
            (state == kStateInit || state == kStateFound || state == kStateReplaced) &&
            startLen >= 1 && endLen >= 1 && kFixedLen + startLen + endLen + 2 == s.len &&
            p[kFixedLen + startLen] == ' ' && p[s.len - 1] == ' ';
  if (!ok) {
    err::Raise(ctx, kBadStructure);
    return false;
  }
  *t = Tag{slot, offset, state, startLen, endLen, dataLen, p + kFixedLen, p + kFixedLen + startLen + 1};
  *b = Get(ctx, kHandleBase + int32_t(slot < kBufferSlots ? slot : kBufferSlots));
  return *b != nullptr;
}

// Makes the result the text of a structure.
void SetTag(ScriptContext* ctx, Value* r, const Tag& t) {
  size_t len = kFixedLen + t.startLen + t.endLen + 2;
  char* out = txt::NewResult<char>(ctx, r, len);
  if (!out) return;
  snprintf(out, kFixedLen + 1, "%04X%04X%08X%04X%04X%04X%08X", unsigned(len), unsigned(t.slot),
           unsigned(t.offset), unsigned(t.state), unsigned(t.startLen), unsigned(t.endLen),
           unsigned(t.dataLen));
  char* q = out + kFixedLen;
  memcpy(q, t.startTag, t.startLen);
  q[t.startLen] = ' ';
  memcpy(q + t.startLen + 1, t.endTag, t.endLen);
  q[t.startLen + 1 + t.endLen] = ' ';
}

// BinaryTagInit(h, start tag, end tag): a structure at offset 0.
void TagInit(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  txt::Text<char> st = txt::Arg<char>(ctx, args[2]), et = txt::Arg<char>(ctx, args[3]);
  if (!st.len || !et.len) return err::Raise(ctx, kBlankTag);
  if (kFixedLen + st.len + et.len + 2 > kMaxStructure) return err::Raise(ctx, kBadStructure);
  Tag t{uint32_t(b - ctx->buffers), 0, kStateInit, st.len, et.len, 0, st.p, et.p};
  SetTag(ctx, r, t);
}

// Where the pair of a structure ends.
int64_t PairEnd(const Tag& t) { return t.offset + int64_t(t.startLen) + t.dataLen + int64_t(t.endLen); }

// BinaryTagFind(structure): the structure of the next pair, searched without
// regard to case below the EOD; "" when either tag is missing.
void TagFind(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Tag t;
  BufferSlot* b;
  if (!ParseTag(ctx, args[1], &t, &b)) return;
  int64_t from = t.state == kStateFound ? PairEnd(t) : t.offset;
  Fold fold;
  LoadFold(&fold);
  auto st = reinterpret_cast<const uint8_t*>(t.startTag);
  auto et = reinterpret_cast<const uint8_t*>(t.endTag);
  int64_t at = from < b->eod ? FindForward(b->data, from, b->eod, st, t.startLen, &fold) : -1;
  int64_t end = at >= 0 ? FindForward(b->data, at + int64_t(t.startLen), b->eod, et, t.endLen, &fold) : -1;
  if (end < 0) {
    txt::SetResult<char>(ctx, r, "", 0);
    return;
  }
  t.state = kStateFound;
  t.offset = at;
  t.dataLen = end - at - int64_t(t.startLen);
  SetTag(ctx, r, t);
}

// The found data of a structure, which must still lie below the EOD.
bool FoundData(ScriptContext* ctx, const Tag& t, const BufferSlot* b) {
  if (PairEnd(t) <= b->eod) return true;
  err::Raise(ctx, kBadStructure);
  return false;
}

// BinaryTagExtr(structure, flags): the data between the found tags. Flag 1
// turns line breaks and tabs into single blanks.
void TagExtr(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Tag t;
  BufferSlot* b;
  if (!ParseTag(ctx, args[1], &t, &b)) return;
  if (t.state != kStateFound || !FoundData(ctx, t, b)) {
    if (!ctx->error) txt::SetResult<char>(ctx, r, "", 0);
    return;
  }
  const char* p = reinterpret_cast<const char*>(b->data + t.offset + int64_t(t.startLen));
  size_t n = size_t(t.dataLen);
  if (const void* nul = memchr(p, 0, n)) n = static_cast<const char*>(nul) - p;
  char* out = txt::NewResult<char>(ctx, r, n);
  if (!out) return;
  size_t o = 0;
  for (size_t i = 0; i < n; ++i) {
    char c = p[i];
    bool space = c == '\t' || c == '\r' || c == '\n';
    if (!(args[2].ival & 1) || !space) {
      out[o++] = c;
      continue;
    }
    // A break next to a blank (the one written before it, or the next when
    // it comes first) goes; any other becomes a blank.
    bool dropped = (o > 0 && out[o - 1] == ' ') || (o == 0 && i + 1 < n && p[i + 1] == ' ');
    if (!dropped) out[o++] = ' ';
  }
  out[o] = 0;
}

// BinaryTagRepl(structure, replacement): replaces the found pair and its
// data when the buffer has room; the structure returned continues after it.
void TagRepl(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Tag t;
  BufferSlot* b;
  if (!ParseTag(ctx, args[1], &t, &b)) return;
  if (t.state != kStateFound) return SetTag(ctx, r, t);
  if (!FoundData(ctx, t, b)) return;
  txt::Text<char> rep = txt::Arg<char>(ctx, args[2]);
  int64_t pair = PairEnd(t) - t.offset;
  if (int64_t(b->size) - b->eod + pair >= int64_t(rep.len)) {
    uint8_t* at = b->data + t.offset;
    memmove(at + rep.len, at + pair, size_t(b->eod - PairEnd(t)));
    memcpy(at, rep.p, rep.len);
    b->eod = static_cast<int32_t>(b->eod - pair + int64_t(rep.len));
    t.offset += int64_t(rep.len);
  } else {
    t.offset += pair;
  }
  t.state = kStateReplaced;
  t.dataLen = 0;
  SetTag(ctx, r, t);
}

// BinaryTagIndex(structure, mode): 0 the data's offset, 1 the start tag's.
void TagIndex(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Tag t;
  BufferSlot* b;
  if (!ParseTag(ctx, args[1], &t, &b)) return;
  if (args[2].ival == 0) r->ival = static_cast<int32_t>(t.offset + int64_t(t.startLen));
  else if (args[2].ival == 1) r->ival = static_cast<int32_t>(t.offset);
  else err::Raise(ctx, kBadTagMode);
}

// BinaryTagLen(structure, mode): 0 the data's length, 1 with both tags.
void TagLen(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Tag t;
  BufferSlot* b;
  if (!ParseTag(ctx, args[1], &t, &b)) return;
  if (args[2].ival == 0) r->ival = static_cast<int32_t>(t.dataLen);
  else if (args[2].ival == 1) r->ival = static_cast<int32_t>(PairEnd(t) - t.offset);
  else err::Raise(ctx, kBadTagMode);
}

}  // namespace

void RegisterTags() {
  calls::Register("binarytaginit", TagInit);
  calls::Register("binarytagfind", TagFind);
  calls::Register("binarytagextr", TagExtr);
  calls::Register("binarytagrepl", TagRepl);
  calls::Register("binarytagindex", TagIndex);
  calls::Register("binarytaglen", TagLen);
}

}  // namespace zel::bin
