// Report text written to disk as UTF-8.
#pragma once

#include <windows.h>

#include <string_view>

// Appends `text` as UTF-8 (no byte-order mark, no terminator) at the file position of
// `file`. Text of any length is written whole, in pieces that never split a surrogate
// pair. A failed write is not reported: the rest of the text is then dropped.
void WriteUtf8(HANDLE file, std::wstring_view text);
