// #include merging: the text of every included file put in place of its
// #include line, with marker lines that trace each stretch back to its file
// and line.
#pragma once
#include <cstdint>
#include "host/context.h"
#include "script/textblock.h"

namespace zel::script {

// Marker line: ";", byte 11, flag (64 + kind of source), "@", the number of
// the next line in four bytes of six bits (most significant first, each plus
// 64), the file path, a line feed.
constexpr char kMarkerTag = 11;
constexpr uint8_t kMarkerFlagBase = 64;
constexpr uint32_t kMarkerHead = 8;      // bytes before the path
constexpr uint32_t kMarkerMaxLine = 0xffffff;  // 24 bits

// Merges the #include files of `text` (len bytes; its line ends are
// normalised in place) into a new block `out`, NUL-terminated, with *outLen
// its length. `path` names the text in the marker lines; relative #include
// names are looked for in `baseFolder` first. False when merging fails; the
// failure has been reported (216 or 218 under the caption of 111, or the
// file name under the caption of 217).
bool MergeIncludes(ScriptContext* ctx, char* text, uint32_t len, const char* path,
                   const char* baseFolder, TextBlock* out, uint32_t* outLen);

}  // namespace zel::script
