// Script text: preparing a buffer to run (Unicode conversion, line ends,
// #include merging, scrambling), reading it back one line at a time,
// percent-sign substitution, and tracing a position back to its file and line.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::script {

// ---- preparing

// Brings the host's movable block into runnable form in place: UTF-16 or UTF-8
// text converted to ANSI, line ends normalised, #include files merged when the
// include mode asks for it, the whole text scrambled (terminator included).
// The text is the block's string; merging may grow the block, which keeps its
// handle (GlobalReAlloc of a movable block). Marker lines name the text by
// ctx->scriptPath, and relative #include names are tried in its folder first.
// Sets *length to the text length. False when it cannot be prepared; the
// failure has been reported.
bool PrepareHostBuffer(ScriptContext* ctx, HGLOBAL script, uint32_t* length);

// Loads a script file into a new movable block prepared the same way, for
// `Call` and menu files; the caller runs it and frees it. A file whose first
// byte is 1, 2 or 3 is an encoded script, whose format is not available: it
// fails with 219. Marker lines carry the file's full path and relative
// #include names are tried in its folder first; ctx->scriptPath is left
// alone. nullptr when it cannot be loaded (reported).
HGLOBAL LoadScriptFile(ScriptContext* ctx, const char* path, uint32_t* length);

// Scrambles `len` bytes of text in place, the byte at index i as position
// base + i.
void ScrambleText(uint8_t* text, uint32_t len, uint32_t base);

// ---- reading

// Reads the line at *pos of a scrambled text of `len` bytes into ctx->lineBuf:
// leading blanks skipped, the line feed or byte 26 consumed, a NUL inside the
// text passed over, at most 2,048 characters kept (one more is allowed when it
// is a space right before the line feed). ctx->deferredLineError is 3722 when
// the line just read was cut (its rest read and dropped), else 0. *start
// receives the position of its first non-blank character. Positions are
// descrambled as ctx->bodyBase + offset. Returns false at the end of the text
// (an empty last line included).
bool ReadLine(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t* pos,
              uint32_t* start);
// The same into another buffer of kWorkBuf bytes (the label search's).
bool ReadLineInto(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t* pos,
                  uint32_t* start, char* buf);

// ---- substitution

// Replaces %name% in ctx->lineBuf by the variable's text (or @crlf, @tab,
// @cr, @lf; other names vanish), "%%" by "%". Returns 0 on error (3047, 3048,
// 3101 set), 1 when nothing was substituted, 2 when something was. Also turns a
// run-time "#include" line into a Call when the include mode asks for it.
int Substitute(ScriptContext* ctx);

// ---- locating

struct Location {
  char path[kMaxPathLen];  // file the position came from
  uint32_t line;           // line number in that file, from 1
  uint32_t bodyLine;       // in a body (ctx->inUdfBody): line number from its start; else 0
  uint8_t markerFlag;      // flag of the last marker line passed (64 + kind of source); 0 none
  char text[kWorkBuf];     // the line's text, from its first non-blank character
};

// Traces position `pos` of the running text back to its file and line
// through the marker lines; without one, the file is ctx->scriptPath. Lines
// are counted by line feeds, as the file's editor counts them.
void Locate(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t pos, Location* out);
// The same for a text that is not the one running: a body's scrambling
// starts at `base`, and `body` says whether it is a function's body.
void LocateIn(ScriptContext* ctx, const uint8_t* text, uint32_t len, uint32_t base, bool body,
              uint32_t pos, Location* out);

}  // namespace zel::script
