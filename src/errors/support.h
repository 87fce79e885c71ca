// The support page offered by the error dialog: whether a web browser is
// registered, and opening the page.
#pragma once
#include <cstddef>
#include "host/context.h"

namespace zel::err {

// The program of the registered web browser (the open command of
// InternetShortcut, else of http, else of the class of .htm, else the
// profile's Extensions entry), up to its first blank, into `out`; false and
// "" when none is registered.
bool FindBrowser(char* out, size_t size);

// Opens the support page (ctx->supportPage, else the default address of the
// message table): through the shell, else with `browser`, else through a
// temporary Internet shortcut that is removed once the program showing it
// ends or the user stops the script.
void OpenSupportPage(ScriptContext* ctx, const char* browser);

}  // namespace zel::err
