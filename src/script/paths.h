// Script file names: absolute or relative, folders, and the search that
// finds an #include file (or a run-time #include) from its name.
#pragma once
#include <windows.h>
#include <cstddef>
#include "host/context.h"

namespace zel::script {

// A name is absolute when it starts with a drive letter, a colon and a
// backslash, or with two backslashes.
bool IsAbsoluteName(const char* name);

// Length of the folder part of `path`: up to and including its last
// backslash, 0 when it has none.
size_t FolderLength(const char* path);

// Writes `folderLen` characters of `folder` followed by `name` into `out`
// (kMaxPathLen bytes). False when the result does not fit.
bool JoinPath(const char* folder, size_t folderLen, const char* name, char out[kMaxPathLen]);

// Opens a file for reading, others may read it too. INVALID_HANDLE_VALUE when
// it cannot be opened.
HANDLE OpenForRead(const char* path);

// Finds and opens the file that an #include names. An absolute name is
// opened as it is. A relative one is tried in `baseFolder` (when not empty),
// then unchanged (the current directory), then in the folder of the script
// now running (ctx->scriptPath), then, when it has no folder of its own, in
// the folders of PATH and through the system's search path. `found` receives
// the full path of the file that opened. INVALID_HANDLE_VALUE when no try
// opens a file.
HANDLE OpenIncludeFile(ScriptContext* ctx, const char* name, const char* baseFolder,
                       char found[kMaxPathLen]);

// Finds the script file that Call names: a name without a folder in the
// folders of PATH, then through the system's search order; a name with a
// folder, or one still not found, relative to the current directory. `found`
// receives the file's full path. False when no such file exists.
bool FindCallFile(const char* name, char found[kMaxPathLen]);

}  // namespace zel::script
