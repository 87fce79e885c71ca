// Compression of buffers with zlib, and the exported in-place decompression.
#pragma once
#include "host/api.h"

// Decompresses the first `length` bytes of `buffer` (zlib format) and copies
// the result back over them, followed by a NUL; `buffer` must hold
// capacity + 1 bytes. Returns the decompressed length, or -1 for a null
// buffer, a length or capacity not above 0, a result larger than
// `capacity`, damaged data or no memory.
ZEL_API int WINAPI UncompressBuffer(char* buffer, int length, int capacity);
