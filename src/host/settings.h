// Settings: ZELPREFS.INI in the user's application-data folder under
// "Drovane\Settings", and the registry key "Software\Fenwold Softworks\Settings\".
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::settings {

// Full path of the settings file; the folder is created when missing.
// Returns false when no folder could be found or made.
bool FilePath(char* buf, size_t size);

// Reads and writes a key of the settings file.
bool WriteIni(const char* section, const char* key, const char* value);
void ReadIni(const char* section, const char* key, const char* def, char* buf, size_t size);

// Reads a numeric setting stored as a string under the local-machine root
// ("...\ZELPREFS\<section>", value `key`); when absent, writes `def` as "%d"
// and returns it.
int32_t ReadRegistryInt(const char* section, const char* key, int32_t def);

// Reads every setting the context keeps.
void Load(ScriptContext* ctx);

}  // namespace zel::settings
