// String-table texts handed out from a small rotating pool, so that callers can pass
// them around by reference without owning a copy.
#pragma once

#include <windows.h>

#include <string>

// Loads string-table text `id` into the next of 31 pool slots and returns that slot.
// The text stays intact through the next 30 calls; the 31st reuses the slot, so a
// caller that keeps a text longer copies it. An id that no module holds gives an
// empty text. User-interface thread only: the pool is not guarded.
const std::wstring& LoadPooledString(UINT id);
