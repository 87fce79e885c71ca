// Rendering of stored values as text, for substitution and for access by name
// from outside the language.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel {

// Writes the cell's value as text into buf (bounded): a string as it is, a
// UTF-16 string in the run's code page, an integer in decimal, a float by the
// Decimals setting, a COM value through the bridge. False when the cell holds
// nothing that has a text.
bool RenderCell(ScriptContext* ctx, const ValueCell* c, char* buf, size_t size);

// The cell's value as ANSI text, as RenderCell makes it but unbounded: *text
// points at it, and *made is a heap block made for it (0 when none) that the
// caller frees once done with the text. False when the cell has no text,
// with the error of a failed conversion set.
bool CellText(ScriptContext* ctx, const ValueCell* c, const char** text, uint32_t* made);

// Renders the element of the array in `c` that `subscript` ("1,2") selects.
// A never-assigned element is an empty text. False when the subscript is
// malformed or out of range, or the element has no text.
bool RenderElement(ScriptContext* ctx, const ValueCell* c, const char* subscript, char* buf,
                   size_t size);

}  // namespace zel
