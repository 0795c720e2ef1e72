// Texts of the string table, loaded from the module that holds the program's resources.
#pragma once

#include <windows.h>

#include <string>

// The module searched for resources: the program's own executable, which carries the
// string table, the dialogs and the bitmaps.
HMODULE GetResourceModule();

// The text of a string-table entry; empty when no module holds the id.
std::wstring LoadResourceString(UINT id);
