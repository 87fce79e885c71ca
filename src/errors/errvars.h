// The error variables: the array zlerrorarray and the single zlerror...
// variables that describe a handled error to the script.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::err {

// Elements of zlerrorarray.
enum : uint32_t {
  kElemNumber = 0,       // the error number (the real one behind a stand-in)
  kElemLine = 1,         // the failing statement's text
  kElemOffset = 2,       // its position in the script
  kElemAssignment = 3,   // the variable it assigns to, else ""
  kElemFile = 4,         // the file that holds it
  kElemText = 5,         // the message text
  kElemInfo = 6,         // the additional information
  kElemSegment = 7,      // the function it ran in, else ""
  kElemLineNumber = 8,   // its line number in that file
  kElemBodyLine = 9,     // its line number from the function body's start; 0 outside
  kElemTag = 10,         // the tag of the include marker in force; -1 none
  kElemResult = 11,      // what a handler function gives the failing assignment
  kErrorElements = 12,
};

// Describes error `number` (kCancel for a cancel) of the statement `line`: a
// fresh zlerrorarray in the current variable frame and, unless `arrayOnly`,
// the variables zlerrorhandlerline, zlerrorhandleroffset,
// zlerrorhandlerassignment, zlerrorhandlerfile, zlerrortextstring,
// zlerroradditionalinfo, zlerrorinsegment and zlerrorhandlerlinenumber. What
// cannot be stored is left out; the current error is kept.
void SetErrorVariables(ScriptContext* ctx, uint16_t number, const char* line, bool arrayOnly);

// Copies element `index` of the array that zlerrorarray holds into `out`
// (which holds nothing); false when there is no such array or element.
bool ErrorElement(ScriptContext* ctx, uint32_t index, Value* out);

}  // namespace zel::err
