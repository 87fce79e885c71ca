// Limits of the interpreter: every bound has one name here, and code uses the
// name wherever the bound applies.
#pragma once
#include <cstdint>

namespace zel {

constexpr int kMaxLine       = 2048;  // characters of one logical script line
constexpr int kWorkBuf       = 2050;  // bytes of a working text buffer (a line, a token, an argument)
constexpr int kVarNameSize   = 30;    // characters of a variable name
constexpr int kPersistNameSize = 25;  // characters of a persistent variable's own name
constexpr int kMaxPathLen    = 260;   // characters of a path
constexpr int kIncludeDepth  = 16;    // #include nesting: a file this deep fails to merge
constexpr int kFileSlots     = 128;   // open files per context
constexpr int kBufferSlots   = 128;   // binary buffers per context
constexpr int kStructFrames  = 101;   // StructureStack frames
constexpr int kVarFrames     = 101;   // variable frames: 0 is the main script, 1..100 user functions
constexpr int kUdfBlocks     = 32;    // blocks of user-defined function records
constexpr int kUdfMax        = 512;   // user-defined functions
constexpr int kNativeLibs    = 10;    // libraries loaded for native calls
constexpr int kExtenders     = 10;    // extender libraries
constexpr int kDdeSlots      = 10;    // DDE conversations
constexpr int kErrorInfoSize = 1025;  // bytes of the additional-information block
constexpr int kCustomErrorText = 256; // bytes of a script-defined error's text
constexpr int kMessageText   = 201;   // bytes of a once-loaded menu message (200 characters)
constexpr int kButtonName    = 25;    // characters of a button caption set by ButtonNames

// String heap.
constexpr uint32_t kHeapMinBlock  = 28;     // smallest block, head and tail included
constexpr uint32_t kHeapFirstBlock = 40;    // offset of the first real block
constexpr uint32_t kHeapGrowStep  = 32768;  // growth beyond the request, before rounding to pages

// Pointer texts: "#VAR$PTR#" + frame (4) + table, serial, tick (8 each) + name.
constexpr int kPointerPrefixLen = 9;
constexpr int kPointerMinLen    = 38;
constexpr int kPointerMaxLen    = 67;

// Settings.
constexpr int kDecimalsDefault = -1;
constexpr uint32_t kDdeDefaultTimeout = 3000;  // milliseconds

// Keyword and function table.
constexpr int kKeyTokens      = 631;  // records of the built-in table: token IDs 0..630
constexpr int kFuncNameSize   = 34;   // bytes of a table record's name field
constexpr int kMaxArgs        = 16;   // arguments one table record can describe (4 bits each)
constexpr int kQuickLookChars = 128;  // first characters the keyword index covers
constexpr int kHostFunctions  = 999;  // records of a host's table that have token IDs
constexpr int kSubscriptNesting = 64; // brackets and parentheses the object-reference check follows

}  // namespace zel
